"""Shared by the launcher tests: the packed-file layout, written and read
independently of the C++ code, and what a run of a packed game reported."""
import os
import struct

MARKER = b"KRINSFX\0"


def entry(name, data):
    """One payload entry: name length, name, data length, data."""
    if isinstance(name, str):
        name = name.encode()
    return struct.pack("<H", len(name)) + name + struct.pack("<Q", len(data)) + data


def read_payload(path):
    """Parses a packed file: (stub image, [(name, data)])."""
    with open(path, "rb") as f:
        content = f.read()
    assert content[-8:] == MARKER, "no marker"
    (length,) = struct.unpack("<Q", content[-16:-8])
    payload = content[-16 - length : -16]
    entries, at = [], 0
    while at < len(payload):
        (n,) = struct.unpack("<H", payload[at : at + 2])
        name = payload[at + 2 : at + 2 + n].decode()
        (m,) = struct.unpack("<Q", payload[at + 2 + n : at + 10 + n])
        entries.append((name, payload[at + 10 + n : at + 10 + n + m]))
        at += 10 + n + m
    return content[: -16 - length], entries


class Run:
    """A finished run; the stand-in interpreters print `key=value` lines."""

    def __init__(self, completed):
        self.code = completed.returncode
        self.stdout = completed.stdout.decode(errors="replace")
        self.stderr = completed.stderr.decode(errors="replace")

    def values(self, key):
        prefix = key + "="
        return [l[len(prefix) :] for l in self.stdout.splitlines() if l.startswith(prefix)]

    def extraction_directory(self):
        return os.path.dirname(self.values("arg")[0])
