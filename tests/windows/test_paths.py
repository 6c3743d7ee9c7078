#!/usr/bin/env python3
"""Windows paths under Wine: the script path with a drive letter and backslashes sets the
directory globals, modules and data files resolve against them (backslashes, "..\\"), the
prelude is found beside the script, and drive-letter paths in a script are absolute.

Usage: test_paths.py KRIN   (KRIN: a wrapper that runs krin.exe under Wine)
"""
import os
import subprocess
import sys
import tempfile

FILES = {
    "games/pong.krin": (
        "print(greeting)\n"
        'var util = import("lib\\util.krin")\n'
        "print(util.name)\n"
        'print(import(".\\top.kcat").n)\n'
        'save({ saved = true }, "out.kcat")\n'
        'print(import("out.kcat").saved)\n'
        "print(import(ABSOLUTE).n)\n"
    ),
    "games/pong.kkit": 'var greeting = "prelude"\n',
    # A module resolves against its own folder, and "..\" climbs out of it.
    "games/lib/util.krin": 'var name = import("..\\levels\\cave.kcat").name\n',
    "games/levels/cave.kcat": '{ name = "cave" }\n',
    "games/top.kcat": "{ n = 7 }\n",
    "elsewhere/far.kcat": "{ n = 9 }\n",
    # The last point of the whole path picks the prelude, even one in a folder name.
    "my.games/run": 'print("ran")\n',
    "my.kkit": 'print("prelude by the folder point")\n',
}
EXPECTED = ["prelude", "cave", "7", "true", "9"]


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def main():
    krin = os.path.abspath(sys.argv[1])
    failures = 0
    with tempfile.TemporaryDirectory(prefix="krin-win-paths-") as root:
        absolute = windows_path(os.path.join(root, "elsewhere", "far.kcat"))
        for name, text in FILES.items():
            path = os.path.join(root, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text.replace("ABSOLUTE", '"' + absolute + '"'))
        work = os.path.join(root, "elsewhere")
        script = os.path.join(root, "games", "pong.krin")
        cases = [
            ("drive letter and backslashes", windows_path(script), work, EXPECTED),
            ("drive letter and slashes", "Z:" + script, work, EXPECTED),
            ("relative with backslashes", "games\\pong.krin", root, EXPECTED),
            ("relative with a climb", "..\\games\\pong.krin", work, EXPECTED),
            ("point in a folder name", "my.games\\run", root,
             ["prelude by the folder point", "ran"]),
        ]
        for name, argument, cwd, expected in cases:
            saved = os.path.join(root, "games", "out.kcat")
            if os.path.exists(saved):
                os.remove(saved)
            proc = subprocess.run([krin, argument], cwd=cwd, capture_output=True, timeout=60)
            out = proc.stdout.decode(errors="replace").splitlines()
            problems = []
            if out != expected or proc.returncode != 0:
                problems.append(f"status {proc.returncode}, output {out}, wanted {expected}")
            if expected is EXPECTED and not os.path.exists(saved):
                problems.append("save did not write beside the script")
            if problems:
                failures += 1
                print(f"FAIL {name} ({argument}): " + "; ".join(problems))
    print(f"{len(cases) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
