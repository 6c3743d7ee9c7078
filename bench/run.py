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


def medians(cmds, runs):
    """Runs the commands in turn, round after round, so that a slow spell of a
    shared machine hits them all alike; gives each one's median and output."""
    times = [[] for _ in cmds]
    outputs = [None] * len(cmds)
    for _ in range(runs):
        for i, cmd in enumerate(cmds):
            t, outputs[i] = timed(cmd)
            times[i].append(t)
    return [(statistics.median(t), out) for t, out in zip(times, outputs)]


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
        cmds = [[krin, base + ".krin"], [lua, base + ".lua"], [python, base + ".py"]]
        if baseline:
            cmds.append([baseline, base + ".krin"])
        results = medians(cmds, runs)
        (k, kout), (l, lout), (p, pout) = results[:3]
        if not (kout == lout == pout):
            print(f"  warning: outputs differ: {kout!r} {lout!r} {pout!r}")
        before = f"{results[3][0]:8.3f} " if baseline else ""
        print(f"{name:<10} {before}{k:8.3f} {l:8.3f} {p:8.3f} {k / l:6.2f} {k / p:6.2f}")


if __name__ == "__main__":
    main()
