#!/usr/bin/env python3
"""Runs packed games, made by krin-pack or written byte by byte here, and checks what the
launcher stub does with them: exit codes, what the interpreter is given, and clean-up.

A shell script stands in for the interpreter: it prints its arguments, its working directory
and the files beside it, then does what the test asks.
"""

import argparse
import os
import re
import shutil
import signal
import stat
import struct
import subprocess
import sys
import tempfile
import time
import unittest

STUB = ""
PACK = ""
KRIN = ""

from sfx_support import MARKER, Run, entry, read_payload  # noqa: E402

STAND_IN = r"""#!/bin/sh
printf 'arg=%s\n' "$0" "$@"
echo "cwd=$(pwd)"
(cd "$(dirname "$0")" && find . -type f | sort | sed 's|^\./|file=|')
"""


def stand_in(then="exit 0"):
    return (STAND_IN + then + "\n").encode()


def stub_bytes():
    with open(STUB, "rb") as f:
        return f.read()


def packed(payload, length=None, marker=MARKER):
    if length is None:
        length = len(payload)
    return stub_bytes() + payload + struct.pack("<Q", length) + marker


class SfxTestCase(unittest.TestCase):
    """Gives every test a private temp directory (with a space in its path), a working
    directory and a folder for game sources."""

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="krin-sfx-test-")
        self.temp = os.path.join(self.root, "temp dir")
        self.work = os.path.join(self.root, "work dir")
        self.game = os.path.join(self.root, "game")
        for folder in (self.temp, self.work, self.game):
            os.mkdir(folder)

    def tearDown(self):
        for folder, dirs, _ in os.walk(self.root):
            for d in dirs:
                os.chmod(os.path.join(folder, d), 0o755)
        shutil.rmtree(self.root)

    def write(self, relative, content, mode=0o644):
        path = os.path.join(self.root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content if isinstance(content, bytes) else content.encode())
        os.chmod(path, mode)
        return path

    def write_game(self, payload, **trailer):
        return self.write("packed-game", packed(payload, **trailer), 0o755)

    def run_game(self, game, args=(), temp=None, leaves_directory=False, **options):
        env = dict(os.environ, TMPDIR=temp or self.temp)
        completed = subprocess.run(
            [game, *args], cwd=self.work, env=env, capture_output=True, timeout=60, **options
        )
        if not leaves_directory:
            self.assertEqual(os.listdir(self.temp), [], "the extraction directory stayed")
        return Run(completed)

    def pack(self, *args, interpreter=None, stub=None, output=None):
        if interpreter is None:
            interpreter = self.write("stand-in", stand_in(), 0o755)
        output = output or os.path.join(self.root, "packed-game")
        command = [PACK, "-o", output, "--stub", stub or STUB, "--interpreter", interpreter]
        completed = subprocess.run(command + list(args), capture_output=True, timeout=60)
        return Run(completed), output

    def pack_ok(self, *args, **options):
        result, output = self.pack(*args, **options)
        self.assertEqual(result.code, 0, result.stderr)
        return output

    def standard_payload(self, then="exit 0"):
        return entry("krin.exe", stand_in(then)) + entry("main.krin", b'print("hi")\n')


class ExitCodesOfTheStub(SfxTestCase):
    def test_stub_without_payload_has_no_marker(self):
        self.assertEqual(self.run_game(STUB).code, 3)

    def test_trailer_faults(self):
        payload = self.standard_payload()
        size = len(stub_bytes()) + len(payload) + 16
        cases = [
            ("length 0", dict(length=0), 4),
            ("length beyond the file", dict(length=size + 1), 4),
            ("marker without its zero", dict(marker=b"KRINSFX1"), 3),
            ("length equal to the file", dict(length=size), 7),
            ("payload starting 1 byte before the file", dict(length=size - 15), 7),
        ]
        for name, trailer, code in cases:
            with self.subTest(name):
                self.assertEqual(self.run_game(self.write_game(payload, **trailer)).code, code)

    def test_missing_interpreter(self):
        game = self.write_game(entry("main.krin", b"") + entry("sub/krin.exe", stand_in()))
        self.assertEqual(self.run_game(game).code, 7)

    def test_interpreter_that_cannot_start(self):
        cases = [
            ("not a program", entry("krin.exe", b"\x01\x02 no program here")),
            ("a directory", entry("krin.exe/inside", b"x")),
        ]
        for name, payload in cases:
            with self.subTest(name):
                game = self.write_game(payload + entry("main.krin", b""))
                self.assertEqual(self.run_game(game).code, 8)

    def test_temp_directory_unusable(self):
        game = self.write_game(self.standard_payload())
        not_a_folder = self.write("plain-file", b"")
        cases = [("a file", not_a_folder), ("missing", os.path.join(self.root, "missing"))]
        if os.geteuid() != 0:  # root writes anywhere
            read_only = os.path.join(self.root, "read-only")
            os.mkdir(read_only, 0o500)
            cases.append(("read-only", read_only))
        for name, temp in cases:
            with self.subTest(name):
                self.assertEqual(self.run_game(game, temp=temp).code, 5)

    def test_own_file_unreadable(self):
        # A program file that may be executed but not read. Root reads everything, so as root
        # the stub runs as nobody.
        folder = tempfile.mkdtemp(prefix="krin-sfx-unreadable-")
        try:
            os.chmod(folder, 0o755)
            game = os.path.join(folder, "game")
            with open(game, "wb") as f:
                f.write(packed(self.standard_payload()))
            os.chmod(game, 0o111)
            options = {"user": 65534} if os.geteuid() == 0 else {}
            try:
                run = self.run_game(game, **options)
            except PermissionError:
                self.skipTest("cannot run a program as another user here")
            self.assertEqual(run.code, 1)
        finally:
            shutil.rmtree(folder)

    def test_entry_names(self):
        outside = os.path.join(self.root, "escaped-absolute").encode()
        cases = [
            (outside, 6),
            (b"../escaped", 6),
            (b"a/../../escaped", 6),
            (b"..", 6),
            (b"..\\escaped", 6),
            (b"a\\..\\..\\escaped", 6),
            (b"C:\\escaped", 6),
            (b"c:escaped", 6),
            (b"\\escaped", 6),
            (b"\xffescaped", 6),
            (b"\xc0\xafescaped", 6),
            (b"...", 0),
            (b"a..b/..c", 0),
            (b"caf\xc3\xa9.txt", 0),
        ]
        for name, code in cases:
            with self.subTest(name):
                game = self.write_game(self.standard_payload() + entry(name, b"data"))
                run = self.run_game(game, leaves_directory=True)
                escaped = [
                    os.path.join(folder, f)
                    for folder, dirs, files in os.walk(self.root)
                    for f in files + dirs
                    if "escaped" in f
                ]
                for path in escaped:
                    os.remove(path)
                self.assertEqual(run.code, code)
                self.assertEqual(os.listdir(self.temp), [])
                self.assertEqual(escaped, [])

    def test_write_failure(self):
        limit = 1 << 20

        def limit_file_size():
            import resource

            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

        # A large overrun fails while copying; a small one only when the file is closed.
        for size in (3 * limit, limit + 100):
            with self.subTest(size=size):
                payload = self.standard_payload() + entry("big.bin", bytes(size))
                game = self.write_game(payload)
                self.assertEqual(self.run_game(game, preexec_fn=limit_file_size).code, 6)


class RunningTheGame(SfxTestCase):
    def test_what_the_interpreter_is_given(self):
        self.write("game/main.krin", 'print("hi")\n')
        self.write("game/assets/ball.txt", "ball")
        self.write("game/levels/1.txt", "level")
        interpreter = self.write(
            "stand-in", stand_in('read line; echo "read=$line"; echo "to stderr" >&2'), 0o755
        )
        game = self.pack_ok(
            os.path.join(self.game, "main.krin"),
            os.path.join(self.game, "assets"),
            os.path.join(self.game, "levels", "1.txt"),
            interpreter=interpreter,
        )
        before = time.time_ns()
        run = self.run_game(game, args=["--stub-takes-no-arguments"], input=b"typed\n")
        self.assertEqual(run.code, 0, run.stderr)

        directory = run.extraction_directory()
        self.assertEqual(os.path.dirname(directory), self.temp)
        match = re.fullmatch(r"krin_sfx_([1-9][0-9]*)", os.path.basename(directory))
        self.assertTrue(match, directory)
        self.assertLess(abs(int(match.group(1)) - before), 60 * 10**9)

        interpreter_path = os.path.join(directory, "krin.exe")
        self.assertEqual(run.values("arg"), [interpreter_path, os.path.join(directory, "main.krin")])
        self.assertEqual(run.values("cwd"), [self.work])
        self.assertEqual(
            run.values("file"), ["assets/ball.txt", "krin.exe", "levels/1.txt", "main.krin"]
        )
        self.assertEqual(run.values("read"), ["typed"])
        self.assertEqual(run.stderr, "to stderr\n")

    def test_exit_status_passed_on(self):
        cases = [
            ("exit 0", 0),
            ("exit 1", 1),
            ("exit 42", 42),
            ("exit 255", 255),
            ("kill -TERM $$", 128 + signal.SIGTERM),
        ]
        for then, code in cases:
            with self.subTest(then):
                game = self.write_game(self.standard_payload(then))
                self.assertEqual(self.run_game(game).code, code)

    def test_without_a_top_level_script(self):
        cases = [
            ("no script", entry("readme.txt", b"")),
            ("script in a subdirectory", entry("sub/main.krin", b"")),
            ("extension in another case", entry("main.KRIN", b"")),
        ]
        for name, others in cases:
            with self.subTest(name):
                game = self.write_game(entry("krin.exe", stand_in("exit 9")) + others)
                run = self.run_game(game)
                self.assertEqual(run.code, 9)
                self.assertEqual(len(run.values("arg")), 1, run.stdout)

    def test_later_duplicate_wins(self):
        payload = (
            self.standard_payload('cat "$(dirname "$0")/data.txt"')
            + entry("data.txt", b"the earlier, longer bytes")
            + entry("data.txt", b"later")
        )
        run = self.run_game(self.write_game(payload))
        self.assertTrue(run.stdout.endswith("\nlater"), run.stdout)

    def test_payload_cut_short(self):
        whole = self.standard_payload() + entry("kept.txt", b"kept")
        last = entry("lost.txt", b"0123456789")
        cases = [
            ("inside the name length", 1),
            ("inside the name", 5),
            ("inside the data length", 2 + 8 + 4),
            ("inside the data", len(last) - 1),
            ("after the whole entry, one stray byte", len(last) + 1),
        ]
        for name, cut in cases:
            with self.subTest(name):
                payload = (whole + last + b"\0")[: len(whole) + cut]
                run = self.run_game(self.write_game(payload))
                self.assertEqual(run.code, 0)
                files = run.values("file")
                self.assertIn("kept.txt", files)
                self.assertEqual("lost.txt" in files, cut > len(last), files)

    def test_two_quick_runs_get_their_own_directories(self):
        game = self.write_game(self.standard_payload("sleep 0.3"))
        env = dict(os.environ, TMPDIR=self.temp)
        runs = [
            subprocess.Popen([game], cwd=self.work, env=env, stdout=subprocess.PIPE)
            for _ in range(2)
        ]
        outputs = [run.communicate(timeout=60)[0].decode() for run in runs]
        directories = [re.search(r"^arg=(.*)/krin.exe$", out, re.M).group(1) for out in outputs]
        self.assertNotEqual(directories[0], directories[1])
        self.assertEqual(os.listdir(self.temp), [])

    def test_interrupt_ends_the_game_not_the_stub(self):
        # Ctrl-C reaches the whole foreground process group. The game ends by it; the stub
        # lives on to remove the directory and reports the signal as shells do.
        game = self.write_game(self.standard_payload("echo ready; exec sleep 30"))
        env = dict(os.environ, TMPDIR=self.temp)
        run = subprocess.Popen(
            [game], cwd=self.work, env=env, stdout=subprocess.PIPE, start_new_session=True
        )
        for line in run.stdout:
            if line == b"ready\n":
                break
        os.killpg(run.pid, signal.SIGINT)
        self.assertEqual(run.wait(timeout=60), 128 + signal.SIGINT)
        run.stdout.close()
        self.assertEqual(os.listdir(self.temp), [])

    def test_files_the_game_saves_are_removed(self):
        save = 'd=$(dirname "$0"); mkdir -p "$d/saves/deep" && echo 1 > "$d/saves/deep/slot1"'
        game = self.write_game(self.standard_payload(save))
        self.assertEqual(self.run_game(game).code, 0)


class Packer(SfxTestCase):
    def test_layout_of_a_packed_game(self):
        self.write("game/main.krin", "main")
        self.write("game/main.kkit", "prelude")
        self.write("game/assets/a.txt", "a")
        self.write("game/assets/deep/b.bin", bytes(range(256)) * 1000)
        self.write("game/notes.txt", "notes")
        # The game folder holds the script and an older build; neither goes in twice.
        old_build = self.write("game/packed", "old build")
        output = self.pack_ok(
            os.path.join(self.game, "main.krin"), self.game, output=old_build
        )
        self.assertTrue(os.stat(output).st_mode & stat.S_IXUSR)
        image, entries = read_payload(output)
        self.assertEqual(image, stub_bytes())
        with open(os.path.join(self.root, "stand-in"), "rb") as f:
            interpreter = f.read()
        self.assertEqual(
            entries,
            [
                ("krin.exe", interpreter),
                ("main.krin", b"main"),
                ("main.kkit", b"prelude"),
                ("assets/a.txt", b"a"),
                ("assets/deep/b.bin", bytes(range(256)) * 1000),
                ("notes.txt", b"notes"),
            ],
        )

    def test_default_stub_and_interpreter_beside_the_packer(self):
        bin_dir = os.path.join(self.root, "bin")
        os.mkdir(bin_dir)
        shutil.copy(PACK, os.path.join(bin_dir, "krin-pack"))
        shutil.copy(STUB, os.path.join(bin_dir, "krin-sfx"))
        self.write("bin/krin", stand_in("exit 5"), 0o755)
        script = self.write("game/main.krin", "")
        output = os.path.join(self.root, "packed-game")
        completed = subprocess.run(
            [os.path.join(bin_dir, "krin-pack"), "-o", output, script], capture_output=True
        )
        self.assertEqual(completed.returncode, 0, completed.stderr)
        self.assertEqual(self.run_game(output).code, 5)

    def test_refusals(self):
        script = self.write("game/main.krin", "")
        self.write("game/other.krin", "")
        self.write("game/dots/..\\escape", "")
        os.mkdir(os.path.join(self.game, "bad-name"))
        open(os.fsencode(os.path.join(self.game, "bad-name")) + b"/\xff.png", "wb").close()
        self.write("elsewhere.txt", "")
        not_a_script = self.write("game/main.txt", "")
        interpreter = self.write("stand-in", stand_in(), 0o755)
        g = lambda *parts: os.path.join(self.game, *parts)
        cases = [
            ("missing script", [g("none.krin")], {}, "script not found"),
            ("script without .krin", [not_a_script], {}, "must end in .krin"),
            ("missing extra", [script, g("none.png")], {}, "no such file or folder"),
            ("file outside the folder", [script, self.root + "/elsewhere.txt"], {}, "outside"),
            ("second top-level script", [script, g("other.krin")], {}, "second script"),
            ("name with '..'", [script, g("dots")], {}, "'..'"),
            ("name not UTF-8", [script, g("bad-name")], {}, "UTF-8"),
            ("missing interpreter", [script], dict(interpreter=g("none")), "interpreter not"),
            ("missing stub", [script], dict(stub=g("none")), "stub not found"),
            ("output over the script", [script], dict(output=script), "overwrite"),
        ]
        for name, args, options, message in cases:
            with self.subTest(name):
                options.setdefault("interpreter", interpreter)
                run, output = self.pack(*args, **options)
                self.assertEqual(run.code, 1)
                self.assertTrue(run.stderr.startswith("krin-pack: "), run.stderr)
                self.assertIn(message, run.stderr)
                if output == script:
                    self.assertEqual(os.path.getsize(script), 0)
                else:
                    self.assertFalse(os.path.exists(output))

    def test_only_a_top_level_krin_exe_is_reserved(self):
        script = self.write("game/main.krin", "")
        self.write("game/tools/krin.exe", "")
        self.pack_ok(script, os.path.join(self.game, "tools"))
        self.write("game/krin.exe", "")
        run, _ = self.pack(script, self.game)
        self.assertEqual(run.code, 1)
        self.assertIn("take the place of the interpreter", run.stderr)

    def test_usage(self):
        cases = [
            [],
            ["-o"],
            ["main.krin"],
            ["-o", "out"],
            ["-o", "out", "--bogus", "main.krin"],
            ["-o", "a", "-o", "b", "main.krin"],
        ]
        for args in cases:
            with self.subTest(args):
                completed = subprocess.run([PACK, *args], capture_output=True, cwd=self.work)
                self.assertEqual(completed.returncode, 2)
                self.assertIn(b"usage: krin-pack -o OUTPUT", completed.stderr)
        completed = subprocess.run([PACK, "--help"], capture_output=True)
        self.assertEqual(completed.returncode, 0)
        self.assertTrue(completed.stdout.startswith(b"usage: krin-pack"))


class WithTheRealInterpreter(SfxTestCase):
    def test_packed_script_prints(self):
        if not KRIN or not os.path.exists(KRIN):
            self.skipTest("the krin interpreter is not built")
        script = self.write("game/main.krin", 'print("hi")\n')
        game = self.pack_ok(script, interpreter=KRIN)
        run = self.run_game(game)
        self.assertEqual((run.code, run.stdout), (0, "hi\n"), run.stderr)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--stub", required=True)
    parser.add_argument("--pack", required=True)
    parser.add_argument("--krin", default="")
    options, rest = parser.parse_known_args()
    STUB, PACK = os.path.abspath(options.stub), os.path.abspath(options.pack)
    KRIN = os.path.abspath(options.krin) if options.krin else ""
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
