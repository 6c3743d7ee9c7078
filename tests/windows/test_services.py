#!/usr/bin/env python3
"""HTTP and sound on Windows: the natives hand their command lines to the command processor
(cmd.exe under Wine), which finds stand-ins for curl.exe and powershell.exe first on PATH.
The stand-ins log the command line they were given; curl's prints a response, which the
script must get back.

Usage: test_services.py KRIN STAND_IN   (KRIN: a wrapper that runs krin.exe under Wine)
"""
import os
import shutil
import subprocess
import sys
import tempfile

SCRIPT = """
print(http.get("http://example.test/a b"))
print(http.post("http://example.test/p", "plain"))
print(http.json("http://example.test/n") + 1)
audio.play(load("tone.wav"))
audio.stream(load("tone.wav"))
print("end")
"""

EXPECTED_LINES = [
    'curl -s "http://example.test/a b"',
    'curl -s -X POST -H "Content-Type: application/json" -d "plain" "http://example.test/p"',
    'curl -s "http://example.test/n"',
    "powershell -Command \"(New-Object Media.SoundPlayer 'tone.wav').PlaySync()\" ",
    "powershell -Command \"(New-Object Media.SoundPlayer 'tone.wav').Play()\" ",
]


def main():
    krin, stand_in = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory(prefix="krin-win-services-") as work:
        tools = os.path.join(work, "tools")
        os.mkdir(tools)
        for name in ("curl.exe", "powershell.exe"):
            shutil.copy(stand_in, os.path.join(tools, name))
        with open(os.path.join(tools, "then.txt"), "w") as f:
            f.write("print 41\n")
        open(os.path.join(work, "tone.wav"), "w").close()
        with open(os.path.join(work, "main.krin"), "w") as f:
            f.write(SCRIPT)
        env = dict(os.environ, WINEPATH="Z:" + tools.replace("/", "\\"))
        proc = subprocess.run([krin, "main.krin"], cwd=work, env=env, capture_output=True,
                              timeout=120)
        out = proc.stdout.decode(errors="replace").splitlines()
        with open(os.path.join(work, "stand-in.log"), "rb") as f:
            lines = [l[len("cmdline="):] for l in f.read().decode().splitlines()
                     if l.startswith("cmdline=")]
    problems = []
    if proc.returncode != 0 or out != ["41", "41", "42", "end"]:
        problems.append(f"status {proc.returncode}, output {out}")
    if lines != EXPECTED_LINES:
        problems.append(f"command lines {lines}")
    for p in problems:
        print("FAIL " + p)
    print("services: " + ("failed" if problems else "passed"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
