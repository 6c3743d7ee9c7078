#!/usr/bin/env python3
"""The launcher stub and the packer as Windows programs, under Wine.

Games are packed by krin-pack.exe or written byte by byte here; a small Windows program
(stand_in.cpp) takes the interpreter's place where the test needs to see how it was started,
and the real krin.exe plays the packed game at the end. Every run checks that no extraction
directory is left in the Windows temp directory (Wine takes it from the prefix's registry).

The stub starts the interpreter without a console window, so what the game prints is not
seen: the stand-in reports to a file, and the real game saves to an absolute path. The
streams go to files rather than pipes: Wine's console host for the hidden console would
hold a pipe open after the game has ended.

Usage: test_launcher.py --wine-run WINE_RUN --stub krin-sfx.exe --pack krin-pack.exe
                        --krin krin.exe --stand-in stand_in.exe
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

OPTIONS = None
TEMP = None
WINE = os.environ.get("KRIN_WINE") or shutil.which("wine64") or "/usr/lib/wine/wine64"
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sfx"))
from sfx_support import MARKER, Run, entry, read_payload  # noqa: E402


def windows_path(path):
    """The Windows name of a Unix path: Wine's drive Z: is the Unix root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def unix_path(path):
    """The Unix name of a path on Wine's drives: Z: is the Unix root, C: the prefix's drive_c."""
    drive, rest = path[:2].upper(), path[2:].replace("\\", "/").lstrip("/")
    if drive == "Z:":
        return "/" + rest
    if drive == "C:":
        return os.path.join(os.environ["WINEPREFIX"], "drive_c", rest)
    raise ValueError(f"no Unix name for {path}")


def windows_temp():
    """The Windows temp directory as the stub sees it: (Windows name, Unix name)."""
    completed = subprocess.run(
        [OPTIONS.wine_run, "cmd", "/c", "echo %TEMP%"], capture_output=True, timeout=120
    )
    name = completed.stdout.decode().strip()
    return name, unix_path(name)


def leftovers(folder):
    return sorted(n for n in os.listdir(folder) if n.startswith("krin_sfx_"))


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


class LauncherTestCase(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="krin-win-sfx-")
        self.work = os.path.join(self.root, "work dir")
        self.game = os.path.join(self.root, "game")
        for folder in (self.work, self.game):
            os.mkdir(folder)
        self.temp_name, self.temp = TEMP
        self.before = leftovers(self.temp)

    def tearDown(self):
        shutil.rmtree(self.root)

    def write(self, relative, content):
        path = os.path.join(self.root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content if isinstance(content, bytes) else content.encode())
        return path

    def stand_in(self, then=""):
        return entry("krin.exe", read_bytes(OPTIONS.stand_in)) + entry("then.txt", then.encode())

    def write_game(self, payload, length=None, marker=MARKER):
        if length is None:
            length = len(payload)
        image = read_bytes(OPTIONS.stub) + payload + struct.pack("<Q", length) + marker
        return self.write("packed game.exe", image)

    def run_exe(self, program, *args, stdin=b""):
        # Wine itself, not the wrapper: the console host of the hidden console would keep the
        # wrapper's line-end filter waiting. The stub and the packer write no lines to compare.
        env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            completed = subprocess.run(
                [WINE, program, *args],
                cwd=self.work,
                env=env,
                input=stdin,
                stdout=out,
                stderr=err,
                timeout=120,
            )
            out.seek(0)
            err.seek(0)
            completed.stdout, completed.stderr = out.read(), err.read()
        run = Run(completed)
        log = os.path.join(self.work, "stand-in.log")
        if os.path.exists(log):
            run.stdout = read_bytes(log).decode(errors="replace")
            os.remove(log)
        return run

    def run_game(self, game, stdin=b"", leaves_directory=False):
        run = self.run_exe(game, stdin=stdin)
        if not leaves_directory:
            self.assertEqual(leftovers(self.temp), self.before, "the extraction directory stayed")
        return run

    def pack(self, *args, interpreter=None, stub=None):
        output = os.path.join(self.root, "packed game.exe")
        command = ["-o", windows_path(output), "--stub", windows_path(stub or OPTIONS.stub)]
        command += ["--interpreter", windows_path(interpreter or OPTIONS.stand_in)]
        run = self.run_exe(OPTIONS.pack, *command, *[windows_path(a) for a in args])
        self.assertEqual(run.code, 0, run.stderr)
        return output


class ExitCodes(LauncherTestCase):
    def test_stub_without_payload_has_no_marker(self):
        self.assertEqual(self.run_game(OPTIONS.stub).code, 3)

    def test_trailer_faults(self):
        payload = self.stand_in() + entry("main.krin", b"")
        size = os.path.getsize(OPTIONS.stub) + len(payload) + 16
        cases = [
            ("length 0", dict(length=0), 4),
            ("length beyond the file", dict(length=size + 1), 4),
            ("marker without its zero", dict(marker=b"KRINSFX1"), 3),
            ("length equal to the file", dict(length=size), 7),
        ]
        for name, trailer, code in cases:
            with self.subTest(name):
                self.assertEqual(self.run_game(self.write_game(payload, **trailer)).code, code)

    def test_missing_interpreter(self):
        game = self.write_game(entry("main.krin", b"") + entry("sub/krin.exe", b"MZ"))
        self.assertEqual(self.run_game(game).code, 7)

    def test_interpreter_that_cannot_start(self):
        game = self.write_game(entry("krin.exe", b"\x01\x02 no program here") + entry("a.krin", b""))
        self.assertEqual(self.run_game(game).code, 8)

    def test_names_that_leave_the_directory(self):
        for name in [b"..\\escaped", b"C:\\escaped", b"\\escaped", b"\xffescaped"]:
            with self.subTest(name):
                game = self.write_game(self.stand_in() + entry(name, b"x"))
                self.assertEqual(self.run_game(game).code, 6)


class RunningTheGame(LauncherTestCase):
    def test_what_the_interpreter_is_given(self):
        self.write("game/main.krin", 'print("hi")\n')
        self.write("game/assets/ball.txt", "ball")
        self.write("game/then.txt", "exit 42\n")
        before = time.time_ns()
        game = self.pack(
            os.path.join(self.game, "main.krin"),
            os.path.join(self.game, "assets"),
            os.path.join(self.game, "then.txt"),
        )
        run = self.run_game(game)
        self.assertEqual(run.code, 42, run.stdout + run.stderr)
        self.assertEqual(run.stderr, "")

        (line,) = run.values("cmdline")
        match = re.fullmatch(r'"(.*)\\krin\.exe" "(.*)\\main\.krin"', line)
        self.assertTrue(match, line)
        directory = match.group(1)
        self.assertEqual(match.group(2), directory)
        self.assertEqual(directory.rsplit("\\", 1)[0].lower(), self.temp_name.lower())
        stamp = re.fullmatch(r"krin_sfx_([1-9][0-9]*)", directory.rsplit("\\", 1)[1])
        self.assertTrue(stamp, directory)
        self.assertLess(abs(int(stamp.group(1)) - before), 120 * 10**9)

        self.assertEqual(run.values("cwd")[0].lower(), windows_path(self.work).lower())
        self.assertEqual(
            run.values("file"), ["assets/ball.txt", "krin.exe", "main.krin", "then.txt"]
        )

    def test_without_a_top_level_script(self):
        for name, others in [
            ("no script", entry("readme.txt", b"")),
            ("script in a subdirectory", entry("sub/main.krin", b"")),
            ("extension in another case", entry("main.KRIN", b"")),
        ]:
            with self.subTest(name):
                game = self.write_game(self.stand_in("exit 9") + others)
                run = self.run_game(game)
                self.assertEqual(run.code, 9)
                (line,) = run.values("cmdline")
                self.assertRegex(line, r'^"[^"]*\\krin\.exe"$')

    def test_later_duplicate_wins(self):
        payload = (
            self.stand_in("cat data.txt")
            + entry("data.txt", b"the earlier, longer bytes")
            + entry("data.txt", b"later")
        )
        self.assertEqual(self.run_game(self.write_game(payload)).values("cat"), ["later"])

    def test_payload_cut_short(self):
        whole = self.stand_in() + entry("kept.txt", b"kept")
        last = entry("lost.txt", b"0123456789")
        payload = whole + last[:-1]
        run = self.run_game(self.write_game(payload))
        self.assertEqual(run.code, 0)
        self.assertIn("kept.txt", run.values("file"))
        self.assertNotIn("lost.txt", run.values("file"))


class Packer(LauncherTestCase):
    def test_layout_of_a_packed_game(self):
        self.write("game/main.krin", "main")
        self.write("game/main.kkit", "prelude")
        self.write("game/assets/deep/b.bin", bytes(range(256)) * 100)
        output = self.pack(os.path.join(self.game, "main.krin"), self.game)
        image, entries = read_payload(output)
        self.assertEqual(image, read_bytes(OPTIONS.stub))
        self.assertEqual(
            entries,
            [
                ("krin.exe", read_bytes(OPTIONS.stand_in)),
                ("main.krin", b"main"),
                ("main.kkit", b"prelude"),
                ("assets/deep/b.bin", bytes(range(256)) * 100),
            ],
        )


class WithTheRealInterpreter(LauncherTestCase):
    def test_packed_game_runs(self):
        # Saved by a drive-letter path, which the interpreter takes as it is.
        result = os.path.join(self.work, "result.kcat")
        target = windows_path(result).replace("\\", "\\\\")
        self.write(
            "game/main.krin",
            'var level = import("levels/one.kcat")\n'
            'save({ score = 3 }, "saved.kcat")\n'
            f'save({{ name = level.name, score = import("saved.kcat").score, first = first }}, "{target}")\n',
        )
        self.write("game/main.kkit", "var first = 1\n")
        self.write("game/levels/one.kcat", '{ name = "cave" }\n')
        game = self.pack(
            os.path.join(self.game, "main.krin"),
            os.path.join(self.game, "main.kkit"),
            os.path.join(self.game, "levels"),
            interpreter=OPTIONS.krin,
        )
        run = self.run_game(game)
        self.assertEqual(run.code, 0, run.stderr)
        saved = read_bytes(result).decode()
        for line in ['name = "cave"', "score = 3", "first = 1"]:
            self.assertIn(line, saved)

    def test_script_error_is_the_exit_code(self):
        self.write("game/main.krin", 'print("before")\nprint(1 / 0)\n')
        game = self.pack(os.path.join(self.game, "main.krin"), interpreter=OPTIONS.krin)
        self.assertEqual(self.run_game(game).code, 1)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for option in ("--wine-run", "--stub", "--pack", "--krin", "--stand-in"):
        parser.add_argument(option, required=True)
    OPTIONS, rest = parser.parse_known_args()
    for key, value in vars(OPTIONS).items():
        setattr(OPTIONS, key, os.path.abspath(value))
    TEMP = windows_temp()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
