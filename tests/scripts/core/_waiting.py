#!/usr/bin/env python3
"""sleep and wait block for their time, measured from outside, with slack
for a loaded machine. Usage: _waiting.py KRIN"""
import os
import subprocess
import sys
import tempfile
import time

# (script, least seconds, most seconds)
CASES = [
    ("wait(0.25)", 0.25, 2.5),
    ("sleep(300)", 0.3, 2.5),
    ("sleep(20.9) sleep(20.9) sleep(20.9) sleep(20.9) sleep(20.9)", 0.1, 2.0),
    # Milliseconds are truncated: 1000 sleeps of 0.99 ms wait not at all.
    ("var i = 0 while i < 1000 { sleep(0.99) i = i + 1 }", 0.0, 0.6),
    # Neither a non-number nor a negative span waits.
    ('sleep("2000") sleep(null) sleep(-5000) wait(-3) wait("2")', 0.0, 0.6),
]


def main():
    krin = sys.argv[1]
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        script = os.path.join(tmp, "case.krin")
        for source, least, most in CASES:
            with open(script, "w") as f:
                f.write(source + '\nprint("done")\n')
            start = time.monotonic()
            proc = subprocess.run([krin, script], capture_output=True, timeout=30)
            took = time.monotonic() - start
            if proc.stdout != b"done\n" or not least <= took <= most:
                failures += 1
                print(f"FAIL {source}: {took:.3f}s, output {proc.stdout!r}")
    print(f"{len(CASES) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
