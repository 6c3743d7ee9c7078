#!/usr/bin/env python3
"""Tests that need more than a script's own output: an HTTP server on
127.0.0.1, a stand-in sound player first on PATH, and the bytes of the
files that `save` writes.

Usage: run_services.py KRIN
"""
import http.server
import os
import re
import resource
import shutil
import stat
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPTS = os.path.join(HERE, "..", "scripts", "modules")
SPRITE = os.path.join(SCRIPTS, "_data", "sprite.png")

failures = []
passed = 0
skipped = 0


def check(name, ok, detail=""):
    global passed
    if ok:
        passed += 1
    else:
        failures.append(f"FAIL {name}" + (f"\n     {detail}" if detail else ""))


def run(krin, work, script, env=None, limit_files=None, path="main.krin", cwd=None):
    """Runs a script; returns (stdout lines, exit status, seconds taken)."""
    if script is not None:
        with open(os.path.join(work, path), "w") as f:
            f.write(script)

    def limit():
        if limit_files:
            resource.setrlimit(resource.RLIMIT_NOFILE, (limit_files, limit_files))

    start = time.monotonic()
    proc = subprocess.run([krin, path], cwd=cwd or work, env=env, capture_output=True,
                          stdin=subprocess.DEVNULL, timeout=60, preexec_fn=limit)
    taken = time.monotonic() - start
    out = proc.stdout.decode("utf-8", "replace").split("\n")
    if out and out[-1] == "":
        out.pop()
    return out, proc.returncode, taken


def without_position(lines):
    return [re.sub(r" \[\d+:\d+\]$", "", line) for line in lines]


def read(path):
    with open(path, "rb") as f:
        return f.read().decode("utf-8", "replace")


# --- files written by save -------------------------------------------------

def test_saved_text(krin, work):
    shutil.copy(SPRITE, os.path.join(work, "sprite.png"))
    open(os.path.join(work, "tone.wav"), "w").close()
    # (table literal, accepted texts of the file)
    cases = [
        ('{ title = "cave", hp = 10 }',
         ['{\n    title = "cave",\n    hp = 10\n}', '{\n    hp = 10,\n    title = "cave"\n}']),
        ("{}", ["{\n\n}"]),
        ("{ a = { b = { c = true } } }",
         ["{\n    a = {\n        b = {\n            c = true\n        }\n    }\n}"]),
        ("{ n = null, f = print }", ["{\n    n = null,\n    f = null\n}",
                                     "{\n    f = null,\n    n = null\n}"]),
        ("{ v = Vector2(1, 2) }", ['{\n    v = "Vector2(1, 2)"\n}']),
        ("{ v = Vector3(1.5, 1000000, -3) }", ['{\n    v = "Vector3(1.5, 1e+06, -3)"\n}']),
        ('{ i = load("sprite.png") }', ['{\n    i = "[image:sprite.png]"\n}']),
        ('{ s = load("tone.wav") }', ['{\n    s = "[audio:tone.wav]"\n}']),
    ]
    numbers = [("1000000", "1000000"), ("0.00001", "0.00001"), ("0.5", "0.5"), ("10", "10"),
               ("-2.25", "-2.25"), ("pow(10, 21)", "1000000000000000000000"),
               ("pow(2, 0 - 30)", "0.0000000009313225746154785"),
               ("1 / 3", "0.3333333333333333"), ("123456789012", "123456789012"),
               ("0 - 0", "0")]
    for expr, text in numbers:
        cases.append((f"{{}}\nt.n = {expr}", [f"{{\n    n = {text}\n}}"]))
    for i, (literal, accepted) in enumerate(cases):
        out, status, _ = run(krin, work, f'var t = {literal}\nsave(t, "s{i}.kcat")\nprint("ok")\n')
        got = read(os.path.join(work, f"s{i}.kcat")) if status == 0 else None
        check(f"save writes {literal}", out == ["ok"] and got in accepted,
              f"output {out}, file {got!r}")


def test_save_refusals(krin, work):
    # Each value cannot be held by the format: save reports it and leaves the
    # file that was there alone.
    open(os.path.join(work, 'say "hi".wav'), "w").close()
    string_msg = "error: save() can't write a string with a \" in it or a \\ at its end"
    cases = [
        ("'say \"hi\"'", string_msg),
        ('substr("a\\\\", 0, 2)', string_msg),
        ("load('say \"hi\".wav')", string_msg),
        ("pow(10, 400)", "error: save() can't write the number inf, a .kcat file only keeps"
                         " normal numbers"),
        ("0 - pow(10, 400)", "error: save() can't write the number -inf,"),
        ("pow(10, 400) - pow(10, 400)", "error: save() can't write the number "),
        ("pow(10, 0 - 310)", "error: save() can't write the number 1e-310,"),
        ("""{ deeper = { x = fromJson('{"a.b":1}') } }""",
         "error: save() can't write the key 'a.b', a .kcat key must be one word"),
        ("fromJson('{\"\":1}')", "error: save() can't write the key '',"),
        ("fromJson('{\"a b\":1}')", "error: save() can't write the key 'a b',"),
        ("fromJson('{\"}\":1}')", "error: save() can't write the key '}',"),
        ("fromJson('{\",\":1}')", "error: save() can't write the key ',',"),
        ("fromJson('{\"1x\":1}')", "error: save() can't write the key '1x',"),
        ("fromJson('{\"//\":1}')", "error: save() can't write the key '//',"),
        ("bad", "error: save() can't write a table that holds itself"),
    ]
    kept = "{\n    ok = 1\n}"
    for expr, message in cases:
        script = (f'save({{ ok = 1 }}, "kept.kcat")\nvar bad = {{}}\nbad.v = {expr}\n'
                  f'save(bad, "kept.kcat")\nprint("saved anyway")\n')
        out, status, _ = run(krin, work, script)
        got = read(os.path.join(work, "kept.kcat"))
        check(f"save refuses {expr}",
              status == 1 and len(out) == 1 and out[0].startswith(message) and got == kept,
              f"status {status}, output {out}, file {got!r}")


def test_other_directory(krin):
    # Started from elsewhere, the script's own directory anchors its paths.
    for name in ["import_modules.krin", "module_signals.krin"]:
        script = os.path.join(SCRIPTS, name)
        with open(script) as f:
            expected = [m.group(1) for m in re.finditer(r"// expect: ?(.*)", f.read())]
        parent = os.path.dirname(os.path.dirname(SCRIPTS))
        out, status, _ = run(krin, parent, None, path=os.path.relpath(script, parent))
        check(f"{name} from another directory", out == expected and status == 0,
              f"status {status}, output {out}")


# --- http ------------------------------------------------------------------

class Handler(http.server.BaseHTTPRequestHandler):
    requests = []
    bodies = {
        "/text": "hello from the server",
        "/num": "42",
        "/empty": "",
        "/blank": "  \n\t ",
        "/table": '{ name = "krin", n = 3 }',
        "/object": '{"a":1}',
        "/emptyobject": "{}",
        "/return": "return 5",
        "/big": "x" * 300000,
    }

    def reply(self, body):
        data = body.encode()
        self.send_response(200)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        Handler.requests.append(("GET", self.path))
        self.reply(self.bodies.get(self.path, "path:" + self.path))

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0))).decode()
        Handler.requests.append(("POST", self.path))
        self.reply(f"{self.headers.get('Content-Type')}|{body}")

    def log_message(self, *args):
        pass


def test_http(krin, work):
    global skipped
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}"
    tricky = "/q\"a'b;touch$IFS'pwned'&&$(touch$IFS'pwned2')|x>y<z`touch$IFS'pwned3'`%41"
    # A script text building that URL: the double quote goes in a single-quoted part.
    tricky_expr = f"'{url}/q\"a' + \"" + tricky[4:] + '"'
    cases = [
        (f'print(http.get("{url}/text"))', ["hello from the server"]),
        (f'var n = http.json("{url}/num")\nprint(type(n))\nprint(n + 1)', ["number", "43"]),
        (f'print(type(http.json("{url}/empty")))\nprint(type(http.json("{url}/blank")))',
         ["null", "null"]),
        (f'print(strlen(http.get("{url}/empty")))', ["0"]),
        (f'print(strlen(http.get("{url}/big")))', ["300000"]),
        (f'var t = http.json("{url}/table")\nprint(t.name)\nprint(t.n * 2)', ["krin", "6"]),
        (f'var t = http.json("{url}/emptyobject")\nprint(type(t))\nprint(keys(t).length)',
         ["table", "0"]),
        (f'http.json("{url}/object")', ["error: Expected = in table definition"]),
        (f'print(type(http.json("{url}/return")))\nprint("still running")',
         ["null", "still running"]),
        (f'print(http.post("{url}/echo", "plain body"))', ["application/json|plain body"]),
        (f'print(http.post("{url}/echo", {{ s = \'say "hi" & bye\' }}))',
         ['application/json|{"s":"say \\"hi\\" & bye"}']),
        (f'print(http.post("{url}/echo", 5))', ["application/json|5"]),
        (f'print(http.post("{url}/echo", "@/etc/hostname"))', ["application/json|@/etc/hostname"]),
        (f"print(http.get({tricky_expr}))", ["path:" + tricky]),
        # Read as an option, "-h" would print curl's help.
        ('print(strlen(http.get("-h")))', ["0"]),
        ("http.get()", ["error: http.get needs url"]),
        (f'http.post("{url}/echo")', ["error: http.post needs (url, data)"]),
        ("http.json()", ["error: http.json needs url"]),
    ]
    for script, expected in cases:
        out, status, _ = run(krin, work, script + "\n")
        want_status = 1 if expected[-1].startswith("error: ") else 0
        check(f"http: {script}", without_position(out) == expected and status == want_status,
              f"status {status}, output {out}")
    made = [n for n in os.listdir(work) if n.startswith("pwned")]
    check("http: nothing in a URL runs", not made, f"files made: {made}")
    check("http: requests reach the server as sent",
          ("GET", "/text") in Handler.requests and ("POST", "/echo") in Handler.requests
          and ("GET", tricky) in Handler.requests, f"{Handler.requests}")

    # Without curl a fetch gives what a failed command gives: nothing.
    env = dict(os.environ, PATH=os.path.join(work, "no-such-dir"))
    out, status, _ = run(krin, work, f'print(strlen(http.get("{url}/text")))\n', env=env)
    check("http: missing curl yields an empty response", out == ["0"] and status == 0,
          f"status {status}, output {out}")

    # With no file descriptors left there is no stream to read from. Some
    # builds (sanitizers) cannot start at all under such a limit.
    _, status, _ = run(krin, work, "", limit_files=5)
    if status != 0:
        skipped += 3
    for script, message in [(f'http.get("{url}/text")', f"couldn't fetch from {url}/text"),
                            (f'http.json("{url}/num")', f"couldn't fetch from {url}/num"),
                            (f'http.post("{url}/echo", "x")', f"couldn't POST to {url}/echo")]:
        if status != 0:
            break
        out, code, _ = run(krin, work, script + "\n", limit_files=4)
        check(f"http: no stream for {script}",
              without_position(out) == ["error: " + message] and code == 1,
              f"status {code}, output {out}")
    server.shutdown()


# --- audio -----------------------------------------------------------------

PLAYER = """#!/bin/sh
# Stands in for the sound player: notes its arguments, then plays for a while.
log="$KRIN_PLAYER_LOG"
line="start"
for a in "$@"; do line="$line [$a]"; done
echo "$line" >> "$log"
echo "player noise"
echo "player noise" >&2
case "$*" in
*music*) sleep 2 ;;
*) sleep 1 ;;
esac
echo "end" >> "$log"
"""


def test_audio(krin, work):
    bin_dir = os.path.join(work, "bin")
    os.makedirs(bin_dir, exist_ok=True)
    player = os.path.join(bin_dir, "ffplay")
    with open(player, "w") as f:
        f.write(PLAYER)
    os.chmod(player, os.stat(player).st_mode | stat.S_IXUSR)
    log = os.path.join(work, "player.log")
    odd = "it's; $(touch pwned) \"x\".wav"
    for name in ["tone.wav", "music.ogg", odd]:
        open(os.path.join(work, name), "w").close()
    env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"],
               KRIN_PLAYER_LOG=log)
    quoted_odd = "'it' + \"'s; $(touch pwned) \" + '\"x\".wav'"
    script = ('audio.play(load("tone.wav"))\nprint("played")\n'
              f"audio.play(load({quoted_odd}))\n"
              'audio.stream(load("music.ogg"))\nprint("streaming")\n')
    out, status, taken = run(krin, work, script, env=env)
    check("audio: play waits, stream does not, player output stays out",
          out == ["played", "streaming"] and status == 0 and 2.0 <= taken < 3.8,
          f"status {status}, output {out}, took {taken:.2f} s")
    time.sleep(2.5)
    lines = read(log).splitlines()
    flags = "[-nodisp] [-autoexit] [-loglevel] [quiet]"
    expected = [f"start {flags} [file:tone.wav]", "end", f"start {flags} [file:{odd}]", "end",
                f"start {flags} [file:music.ogg]", "end"]
    check("audio: the player is asked for each file as it is", lines == expected, f"{lines}")
    check("audio: nothing in a path runs", not os.path.exists(os.path.join(work, "pwned")))

    env = dict(os.environ, PATH=os.path.join(work, "no-such-dir"))
    out, status, _ = run(krin, work, 'var s = load("tone.wav")\naudio.play(s)\naudio.stream(s)\n'
                                     'print("no player, no fuss")\n', env=env)
    check("audio: a missing player is silent", out == ["no player, no fuss"] and status == 0,
          f"status {status}, output {out}")

    for script, message in [('audio.play("tone.wav")', "audio.play needs audio object"),
                            ("audio.play()", "audio.play needs audio object"),
                            ('audio.stream(load("sprite.png"))', "audio.stream needs audio object"),
                            ("audio.stream()", "audio.stream needs audio object")]:
        shutil.copy(SPRITE, os.path.join(work, "sprite.png"))
        out, status, _ = run(krin, work, script + "\n")
        check(f"audio: {script}", without_position(out) == ["error: " + message] and status == 1,
              f"status {status}, output {out}")


def main():
    krin = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        for test in [test_saved_text, test_save_refusals, test_http, test_audio]:
            sub = os.path.join(work, test.__name__)
            os.makedirs(sub)
            test(krin, sub)
    test_other_directory(krin)
    for f in failures:
        print(f)
    print(f"{passed} passed, {len(failures)} failed" + (f", {skipped} skipped" if skipped else ""))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
