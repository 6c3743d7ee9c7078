#!/usr/bin/env python3
"""Runs every code example in the Krin docs and checks the output they show.

  check_docs.py KRIN DOC.md [DOC.md ...]

The conventions, which each doc also explains to its readers:

- A block fenced as ```krin is an example. It is saved as a script and run with KRIN.
- The ```text block that follows it (only blank lines or nothing in between) is what the
  example prints on standard output, exactly. No ```text block means it prints nothing.
  When the last line shown starts with "error: ", the example must end with exit status 1,
  otherwise with status 0. The token dump on standard error is ignored.
- ```krin window marks an example that opens a window. It runs under a private Xvfb
  server, with a prelude that lets it draw 30 frames and then stops it (the prelude
  calls a missing name, and that one error line is taken as a clean end). An example
  that ends by itself before that is fine too.
- A block whose info string holds file=PATH (```krin file=lib/ball.krin,
  ```text file=levels/1.kcat) is not run: it is written to PATH in the folder where the
  examples of that doc run, before any of them runs, so examples can import or load it.

Blocks in other languages (```sh and so on) are not run. Exit status 0 when every example
printed what its doc shows.
"""
import contextlib
import difflib
import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from xserver import xserver  # noqa: E402

FRAMES = 30
STOP_NAME = "__docs_frames_done"
STOP_LINE = re.compile(r"^error: yo, '" + STOP_NAME + r"' doesn't exist bruh \[\d+:\d+\]$")

# Runs before a window example (as its .kkit prelude): raylib_display, in both its names,
# counts frames and ends the script through an error once FRAMES have been shown.
WINDOW_PRELUDE = f"""
var __docs_frames = 0
var __docs_display = raylib_display
def raylib_display() {{
    __docs_display()
    __docs_frames = __docs_frames + 1
    if __docs_frames >= {FRAMES} {{ {STOP_NAME}() }}
}}
raylib.display = raylib_display
"""


class Example:
    def __init__(self, doc, line, source, window):
        self.doc, self.line, self.source, self.window = doc, line, source, window
        self.expected = None

    def where(self):
        return f"{self.doc}:{self.line}"


def fences(path):
    """Yields (info words, first line number, body) for every fenced block."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        m = re.match(r"^(\s*)(```+)(.*)$", lines[i])
        if not m:
            yield None, i + 1, lines[i]
            i += 1
            continue
        indent, fence, info = m.group(1), m.group(2), m.group(3).strip()
        start = i + 1
        body = []
        i += 1
        while i < len(lines) and not re.match(r"^\s*" + fence + r"\s*$", lines[i]):
            line = lines[i]
            body.append(line[len(indent):] if line.startswith(indent) else line.lstrip())
            i += 1
        if i >= len(lines):
            sys.exit(f"{path}:{start}: unclosed code block")
        i += 1
        yield info.split(), start, "\n".join(body)


def collect(path):
    examples, files = [], {}
    last = None  # the example a following ```text block belongs to
    for info, line, body in fences(path):
        if info is None:
            if body.strip():
                last = None
            continue
        lang = info[0] if info else ""
        options = dict(w.split("=", 1) for w in info[1:] if "=" in w)
        flags = {w for w in info[1:] if "=" not in w}
        if "file" in options:
            files[options["file"]] = body + "\n"
            last = None
        elif lang == "krin":
            last = Example(path, line, body + "\n", "window" in flags)
            examples.append(last)
        elif lang == "text" and last is not None and last.expected is None:
            last.expected = body + "\n" if body else ""
            last = None
        else:
            last = None
    return examples, files


def run(krin, example, folder, index, env):
    name = f"example_{index}"
    script = os.path.join(folder, name + ".krin")
    prelude = os.path.join(folder, name + ".kkit")
    with open(script, "w", encoding="utf-8") as f:
        f.write(example.source)
    if example.window:
        with open(prelude, "w", encoding="utf-8") as f:
            f.write(WINDOW_PRELUDE)
    try:
        proc = subprocess.run([krin, name + ".krin"], cwd=folder, env=env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
    except subprocess.TimeoutExpired:
        return "did not end within 30 seconds"
    finally:
        for path in (script, prelude):
            if os.path.exists(path):
                os.remove(path)
    stderr = proc.stderr.decode(errors="replace")
    if re.search(r"ERROR: \w+Sanitizer|runtime error:", stderr):
        return "sanitizer report:\n" + stderr[-3000:]
    out = proc.stdout.decode(errors="replace")
    status = proc.returncode
    if example.window:
        lines = out.split("\n")
        if len(lines) >= 2 and lines[-1] == "" and STOP_LINE.match(lines[-2]):
            out = "\n".join(lines[:-2]) + ("\n" if len(lines) > 2 else "")
            status = 0
    expected = example.expected or ""
    shown = expected.rstrip("\n").split("\n")[-1]
    want_status = 1 if shown.startswith("error: ") else 0
    problems = []
    if out != expected:
        diff = difflib.unified_diff(expected.splitlines(), out.splitlines(),
                                    "shown in the doc", "printed", lineterm="")
        problems.append("output differs:\n" + "\n".join(diff))
    if status != want_status:
        problems.append(f"exit status {status}, expected {want_status}")
    return "\n".join(problems) or None


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    krin = os.path.abspath(argv[1])
    failures, count = 0, 0
    with contextlib.ExitStack() as stack:
        window_env = None
        for doc in argv[2:]:
            examples, files = collect(doc)
            if not examples:
                print(f"{doc}: no examples found")
                failures += 1
                continue
            folder = stack.enter_context(tempfile.TemporaryDirectory())
            for rel, text in files.items():
                path = os.path.join(folder, rel)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
            for index, example in enumerate(examples):
                env = dict(os.environ)
                if example.window:
                    if window_env is None:
                        window_env = stack.enter_context(xserver())
                    env = window_env
                count += 1
                problem = run(krin, example, folder, index, env)
                if problem:
                    failures += 1
                    print(f"FAIL {example.where()}: {problem}\n")
    print(f"{count} examples run, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
