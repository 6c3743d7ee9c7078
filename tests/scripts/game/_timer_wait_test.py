#!/usr/bin/env python3
"""timer.wait blocks for its duration; zero, negative, tiny and out-of-range
waits return at once. Output alone cannot show this, so the scripts are timed.

Usage: _timer_wait_test.py KRIN
"""
import os
import subprocess
import sys
import tempfile
import time

# (script, expected output, least seconds, most seconds); the upper bounds
# leave room for a busy machine.
CASES = [
    ("print(timer.wait(0.25))\n", "nil\n", 0.25, 2.5),
    ("timer.wait(0.1, 99)\ntimer.wait(0.15)\nprint(1)\n", "1\n", 0.25, 2.5),
    # -1, 0, under a millisecond, a NaN and a product beyond 32 bits.
    ("timer.wait(-1)\ntimer.wait(0)\ntimer.wait(0.0009)\n"
     "timer.wait(smoothstep(1, 1, 1))\ntimer.wait(3000000)\nprint(timer.wait(-3000000))\n",
     "nil\n", 0.0, 1.5),
]


def main():
    krin = sys.argv[1]
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        script = os.path.join(folder, "wait.krin")
        for source, expected, least, most in CASES:
            with open(script, "w") as f:
                f.write(source)
            start = time.monotonic()
            try:
                proc = subprocess.run([krin, script], capture_output=True, text=True, timeout=30)
                output = proc.stdout
            except subprocess.TimeoutExpired:
                output = "timed out"
            took = time.monotonic() - start
            if output != expected or not least <= took <= most:
                failures += 1
                print(f"FAIL {source!r}: output {output!r}, took {took:.3f}s, "
                      f"wanted {expected!r} in {least}..{most}s")
    print(f"{len(CASES) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
