#!/usr/bin/env python3
"""Every argument-check message of the core, collection and JSON natives.

Each case is a one-line script that must fail with exactly that error line
and status 1. Usage: _messages.py KRIN
"""
import os
import subprocess
import sys
import tempfile

NOT_A_NUMBER = "can't convert that string to a number, it's not a number!!"

CASES = [
    ('type()', "type() requires an argument [1:1]"),
    ('tonumber("")', f"{NOT_A_NUMBER} [1:1]"),
    ('tonumber("abc")', f"{NOT_A_NUMBER} [1:1]"),
    ('tonumber(".")', f"{NOT_A_NUMBER} [1:1]"),
    ('var n = tonumber("1e999")', f"{NOT_A_NUMBER} [1:9]"),
    ('strlen()', "strlen() requires a string [1:1]"),
    ('strupper()', "strupper() requires a string [1:1]"),
    ('strlower()', "strlower() requires a string [1:1]"),
    ('substr("ab", 1)', "substr() requires 3 arguments: (string, start, length) [1:1]"),
    ('sqrt()', "sqrt() requires a number [1:1]"),
    ('floor()', "floor() requires a number [1:1]"),
    ('ceil()', "ceil() requires a number [1:1]"),
    ('round()', "round needs a number [1:1]"),
    ('abs()', "abs needs a number [1:1]"),
    ('sin()', "sin needs a number [1:1]"),
    ('cos()', "cos needs a number [1:1]"),
    ('pow(2)', "pow() requires 2 numbers [1:1]"),
    ('min(1)', "min needs 2+ numbers [1:1]"),
    ('max(1)', "max needs 2+ numbers [1:1]"),
    ('nand(true)', "nand needs 2 values [1:1]"),
    ('nor(true)', "nor needs 2 values [1:1]"),
    ('xnor(true)', "xnor needs 2 values [1:1]"),
    ('xor(true)', "xor needs 2 values [1:1]"),
    ('wait()', "wait needs seconds [1:1]"),
    ('push({})', "push needs (array, value) [1:1]"),
    ('push("a", 1)', "first arg must be table [1:1]"),
    ('pop()', "pop needs (array) [1:1]"),
    ('pop(3)', "arg must be table [1:1]"),
    ('split("a")', "split needs (string, delimiter) [1:1]"),
    ('trim()', "trim needs string [1:1]"),
    ('replace("a", "b")', "replace needs (string, find, replace) [1:1]"),
    ('repeat("a")', "repeat needs (string, times) [1:1]"),
    ('keys()', "keys needs table [1:1]"),
    ('keys("t")', "keys needs table [1:1]"),
    ('range()', "range needs (max) or (min, max) or (min, max, step) [1:1]"),
    ('range(0, 5, 0)', "range step can't be 0, that loop would never end bruh [1:1]"),
    ('join({})', "join needs (array, delimiter) [1:1]"),
    ('join("a", ",")', "first arg must be array [1:1]"),
    ('toJson()', "toJson needs a value [1:1]"),
    ('fromJson()', "fromJson needs a string [1:1]"),
]


def main():
    krin = sys.argv[1]
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        script = os.path.join(tmp, "case.krin")
        for source, message in CASES:
            with open(script, "w") as f:
                f.write(source + "\n")
            proc = subprocess.run([krin, script], capture_output=True, timeout=30)
            got = proc.stdout.decode(errors="replace").rstrip("\n")
            if got != "error: " + message or proc.returncode != 1:
                failures += 1
                print(f"FAIL {source}: got {got!r} (status {proc.returncode})")
    print(f"{len(CASES) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
