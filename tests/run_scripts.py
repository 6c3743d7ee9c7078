#!/usr/bin/env python3
"""Runs every .krin test script and compares its output with its comments.

  // expect: text      one line of standard output, in order
  // stdin: text       one line fed to standard input
  // exit: N           the exit status (default: 1 if an expected line is an
                       error line, else 0)
  // args: a b         extra command-line arguments
  // stderr: text      one line of standard error; when present, standard
                       error must match exactly

Files and folders whose names start with "_" are fixtures, not tests.
Usage: run_scripts.py KRIN DIR [FILTER]
"""
import concurrent.futures
import os
import re
import subprocess
import sys

EXPECT = re.compile(r"//\s*expect: ?(.*)$")
STDIN = re.compile(r"//\s*stdin: ?(.*)$")
EXIT = re.compile(r"//\s*exit:\s*(-?\d+)")
ARGS = re.compile(r"//\s*args:\s*(.*)$")
STDERR = re.compile(r"//\s*stderr: ?(.*)$")


def collect(root, pattern):
    for dirpath, dirnames, filenames in os.walk(root):
        dirnames[:] = sorted(d for d in dirnames if not d.startswith("_"))
        for name in sorted(filenames):
            if name.endswith(".krin") and not name.startswith("_"):
                path = os.path.join(dirpath, name)
                if pattern in path:
                    yield path


def run_one(krin, path):
    expected, stdin, status, extra, errors = [], [], None, [], []
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        for line in f:
            line = line.rstrip("\n")
            if m := EXPECT.search(line):
                expected.append(m.group(1))
            elif m := STDIN.search(line):
                stdin.append(m.group(1))
            elif m := EXIT.search(line):
                status = int(m.group(1))
            elif m := ARGS.search(line):
                extra = m.group(1).split()
            elif m := STDERR.search(line):
                errors.append(m.group(1))
    if status is None:
        status = 1 if any(e.startswith("error: ") for e in expected) else 0
    data = "".join(s + "\n" for s in stdin).encode()
    try:
        proc = subprocess.run([krin, os.path.basename(path)] + extra, input=data,
                              capture_output=True, timeout=60, cwd=os.path.dirname(path))
    except subprocess.TimeoutExpired:
        return path, ["timed out"]
    actual = proc.stdout.decode("utf-8", errors="replace").split("\n")
    if actual and actual[-1] == "":
        actual.pop()
    problems = []
    if actual != expected:
        for i in range(max(len(actual), len(expected))):
            a = actual[i] if i < len(actual) else "<nothing>"
            e = expected[i] if i < len(expected) else "<nothing>"
            if a != e:
                problems.append(f"line {i + 1}: expected {e!r}, got {a!r}")
                break
    if errors:
        got = proc.stderr.decode("utf-8", errors="replace").split("\n")
        if got and got[-1] == "":
            got.pop()
        if got != errors:
            problems.append(f"standard error: expected {errors!r}, got {got[:8]!r}")
    if proc.returncode != status:
        problems.append(f"exit status {proc.returncode}, expected {status}")
        tail = proc.stderr.decode(errors="replace").splitlines()[-5:]
        problems += ["  stderr: " + t for t in tail if "TOKENS" not in t]
    return path, problems


def main():
    krin, root = os.path.abspath(sys.argv[1]), sys.argv[2]
    pattern = sys.argv[3] if len(sys.argv) > 3 else ""
    paths = list(collect(root, pattern))
    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
        for path, problems in pool.map(lambda p: run_one(krin, p), paths):
            if problems:
                failed += 1
                print("FAIL " + os.path.relpath(path, root))
                for p in problems:
                    print("     " + p)
    print(f"{len(paths) - failed} passed, {failed} failed")
    return 1 if failed or not paths else 0


if __name__ == "__main__":
    sys.exit(main())
