#!/usr/bin/env python3
"""Runs each benchmark in Krin, Lua 5.4 and Python 3, several times each, and
prints the median times and the Krin/Lua and Krin/Python ratios.
Usage: bench/run.py [KRIN] [RUNS] [--baseline OLD_KRIN]
With --baseline, an older krin runs in the same session for a before/after column."""
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PROGRAMS = ["fib", "arith", "strings", "pushpop", "methods", "frameloop"]


def timed(cmd):
    start = time.perf_counter()
    out = subprocess.run(cmd, capture_output=True, text=True)
    elapsed = time.perf_counter() - start
    if out.returncode != 0:
        sys.exit(f"{' '.join(cmd)} failed:\n{out.stdout}{out.stderr}")
    return elapsed, out.stdout.strip()


def median(cmd, runs):
    times, output = [], None
    for _ in range(runs):
        t, output = timed(cmd)
        times.append(t)
    return statistics.median(times), output


def main():
    args = sys.argv[1:]
    baseline = None
    if "--baseline" in args:
        i = args.index("--baseline")
        baseline = args[i + 1]
        del args[i:i + 2]
    krin = args[0] if args else os.path.join(HERE, "..", "build", "src", "krin")
    runs = int(args[1]) if len(args) > 1 else 5
    lua = shutil.which("lua5.4") or "lua5.4"
    python = sys.executable
    print(f"{'program':<10} " + (f"{'before':>8} " if baseline else "") +
          f"{'krin':>8} {'lua5.4':>8} {'python3':>8} {'k/lua':>6} {'k/py':>6}")
    for name in PROGRAMS:
        base = os.path.join(HERE, "programs", name)
        k, kout = median([krin, base + ".krin"], runs)
        l, lout = median([lua, base + ".lua"], runs)
        p, pout = median([python, base + ".py"], runs)
        if not (kout == lout == pout):
            print(f"  warning: outputs differ: {kout!r} {lout!r} {pout!r}")
        before = f"{median([baseline, base + '.krin'], runs)[0]:8.3f} " if baseline else ""
        print(f"{name:<10} {before}{k:8.3f} {l:8.3f} {p:8.3f} {k / l:6.2f} {k / p:6.2f}")


if __name__ == "__main__":
    main()
