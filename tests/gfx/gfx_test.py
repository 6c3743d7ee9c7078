#!/usr/bin/env python3
"""Runs krin against real windows, each run on a private Xvfb server.

  gfx_test.py display CMD...        run CMD with DISPLAY set
  gfx_test.py messages KRIN         every error message of the graphics natives
  gfx_test.py no-display KRIN       opening a window without a display fails cleanly
  gfx_test.py input KRIN            keys, buttons, pointer and wheel through xdotool
  gfx_test.py window KRIN           window table setters seen through X
  gfx_test.py example KRIN GAME     plays a game for a few seconds, then Escape
"""
import concurrent.futures
import os
import queue
import re
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from xserver import xserver  # noqa: E402


def write_script(folder, source):
    path = os.path.join(folder, "case.krin")
    with open(path, "w") as f:
        f.write(source)
    return path


def sanitizer_report(stderr):
    """A sanitizer build exits with 1 too, so an error line alone proves nothing."""
    return re.search(rb"ERROR: \w+Sanitizer|runtime error:", stderr) is not None


def run_krin(krin, source, env, timeout=20, expect_display=True):
    with tempfile.TemporaryDirectory() as folder:
        path = write_script(folder, source)
        for attempt in range(3):
            proc = subprocess.run([krin, path], env=env, capture_output=True, timeout=timeout)
            # A loaded machine can make the GL context of a fresh window fail
            # to come up; that is the X server's hiccup, not the script's.
            if not expect_display or b"couldnt open a window" not in proc.stdout:
                break
            sys.stderr.write("window did not open, retrying; raylib said:\n" +
                             proc.stderr.decode(errors="replace")[-1500:] + "\n")
            time.sleep(1)
    if sanitizer_report(proc.stderr):
        return -1, "sanitizer report:\n" + proc.stderr.decode(errors="replace")[-3000:]
    return proc.returncode, proc.stdout.decode(errors="replace")


class Krin:
    """A running script whose output lines are collected as they come."""

    def __init__(self, krin, path, env):
        self.errors = tempfile.TemporaryFile()
        self.proc = subprocess.Popen([krin, path], env=env, stdout=subprocess.PIPE,
                                     stderr=self.errors)
        self.lines = []
        self.fresh = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for raw in self.proc.stdout:
            line = raw.decode(errors="replace").rstrip("\n")
            self.lines.append(line)
            self.fresh.put(line)

    def wait_for(self, pattern, timeout=10):
        """Waits for a new line matching pattern; returns it or fails."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            try:
                line = self.fresh.get(timeout=0.1)
            except queue.Empty:
                if self.proc.poll() is not None and self.fresh.empty():
                    break
                continue
            if re.fullmatch(pattern, line):
                return line
        raise AssertionError(f"no line matching {pattern!r}; output so far: {self.lines}")

    def finish(self, timeout=10):
        try:
            status = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise AssertionError(f"script did not end; output: {self.lines}")
        self.errors.seek(0)
        stderr = self.errors.read()
        if sanitizer_report(stderr):
            raise AssertionError(stderr.decode(errors="replace")[-3000:])
        return status


def xdo(env, *args):
    return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True,
                          timeout=10).stdout.strip()


def find_window(env, title, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline:
        ids = xdo(env, "search", "--onlyvisible", "--name", title).split()
        if ids:
            return ids[0]
        time.sleep(0.1)
    raise AssertionError(f"no window named {title!r}")


def focus(env, window):
    xdo(env, "mousemove", "--window", window, "20", "20")
    xdo(env, "windowfocus", window)


def tap(env, key, hold=0.2):
    """Held across several frames: a press and release in one frame is never seen."""
    xdo(env, "keydown", key)
    time.sleep(hold)
    xdo(env, "keyup", key)
    time.sleep(0.15)


def click(env, button, hold=0.2):
    xdo(env, "mousedown", button)
    time.sleep(hold)
    xdo(env, "mouseup", button)
    time.sleep(0.15)


# (script, expected standard output). Each ends in an error and exit status 1.
MESSAGES = [
    ('raylib_init(1, 2)', "raylib_init requires (width, height, title)"),
    ('Window.new("t")', "Window.new requires (title, Vector2)"),
    ('Window.new("t", 5)', "Window.new second argument must be Vector2"),
    ('raylib_clear()', "Window not initialized"),
    ('raylib_display()', "Window not initialized"),
    ('raylib_drawRect(1, 2, 3)',
     "drawRect requires (x, y, width, height) or (x, y, width, height, color)"),
    ('raylib_drawRect(1, 2, 3, 4)', "Window not initialized"),
    ('fillRect(1, 2, 3)', "fillRect requires (x, y, width, height, color)"),
    ('fillRect(1, 2, 3, 4)', "Window not initialized"),
    ('raylib_drawCircle(1, 2)', "drawCircle requires (x, y, radius) or (x, y, radius, color)"),
    ('raylib_drawCircle(1, 2, 3)', "Window not initialized"),
    ('fillCircle(1, 2)', "fillCircle requires (x, y, radius, color)"),
    ('fillCircle(1, 2, 3)', "Window not initialized"),
    ('raylib_drawLine(1, 2, 3)',
     "drawLine requires (x1, y1, x2, y2) or (x1, y1, x2, y2, color)"),
    ('raylib_drawLine(1, 2, 3, 4)', "Window not initialized"),
    ('raylib_drawText("a", 1, 2)',
     "drawText requires (text, x, y, size) or (text, x, y, size, color)"),
    ('raylib_drawText("a", 1, 2, 3)', "Window not initialized"),
    ('drawTriangle(Vector2(0, 0), Vector2(1, 1), Vector2(2, 0))',
     "drawTriangle needs (v1, v2, v3, color)"),
    ('drawTriangle(1, 2, 3, 4)', "Window not initialized"),
    ('drawPoly(Vector2(0, 0), 3, 4)', "drawPoly needs (center, sides, radius, color)"),
    ('drawPoly(1, 2, 3, 4)', "Window not initialized"),
    ('drawArc(Vector2(0, 0), 3, 4, 5)',
     "drawArc needs (center, radius, startAngle, endAngle, color)"),
    ('drawArc(1, 2, 3, 4, 5)', "Window not initialized"),
    ('textWidth("abc")', "textWidth needs (text, fontSize)"),
    ('textHeight()', "textHeight needs fontSize"),
    ('raylib_isKeyDown()', "isKeyDown requires a key name"),
    ('isKeyPressed()', "isKeyPressed needs key name"),
    ('Color.new(1, 2)', "Color.new needs (r, g, b) or (r, g, b, a)"),
    ('Color.fromRGB(1, 2)', "Color.fromRGB needs (r, g, b)"),
    ('Color.fromRGBA(1, 2, 3)', "Color.fromRGBA needs (r, g, b, a)"),
    ('Color.fromHEX()', "Color.fromHEX needs (hex_string)"),
    ('Color.fromHEX("#fff")', "Color.fromHEX needs valid hex string"),
    ('Color.fromHEX("#12345")', "Color.fromHEX needs valid hex string"),
    # With a window: kind checks come after the count and the window.
    ('raylib_init(50, 50, "t")\ndrawTriangle(Vector2(0, 0), Vector2(1, 1), 5, "red")',
     "Triangle vertices must be Vector2"),
    ('raylib_init(50, 50, "t")\ndrawPoly(5, 3, 4, "red")', "Center must be Vector2"),
    ('raylib_init(50, 50, "t")\ndrawArc(null, 3, 4, 5, "red")', "Center must be Vector2"),
    ('var w = Window.new("t", Vector2(50, 50))\nw.Title = 5', "Window.Title must be a string"),
    ('var w = Window.new("t", Vector2(50, 50))\nw.Size = 5', "Window.Size must be a Vector2"),
    ('var w = Window.new("t", Vector2(50, 50))\nw.FPS = "60"', "Window.FPS must be a number"),
    ('var w = Window.new("t", Vector2(50, 50))\nw.IsOpen = 0', "Window.IsOpen must be a boolean"),
    ('var w = Window.new("t", Vector2(50, 50))\nw.SetTitle()', "Window.SetTitle requires a string"),
    ('var w = Window.new("t", Vector2(50, 50))\nw:SetTitle("x")',
     "Window.SetTitle requires a string"),
    ('var w = Window.new("t", Vector2(50, 50))\nw.SetSize(Vector3(1, 2, 3))',
     "Window.SetSize requires a Vector2"),
    ('var w = Window.new("t", Vector2(50, 50))\nw.SetFPS(true)', "Window.SetFPS requires a number"),
    # A window closed through its table is gone for the frame and drawing natives.
    ('var w = Window.new("t", Vector2(50, 50))\nw.Close()\nraylib_clear("red")',
     "Window not initialized"),
    ('var w = Window.new("t", Vector2(50, 50))\nw.IsOpen = false\nraylib_display()',
     "Window not initialized"),
    ('var w = Window.new("t", Vector2(50, 50))\nw.Close()\nfillRect(1, 2, 3, 4)',
     "Window not initialized"),
    ('raylib_init(50, 50, "t")\nraylib_close()\nraylib_drawCircle(1, 2, 3)',
     "Window not initialized"),
]


def messages(krin):
    failures = []
    with xserver() as env:
        def check(case):
            source, message = case
            status, out = run_krin(krin, source + "\n", env)
            lines = out.splitlines()
            ok = status == 1 and len(lines) == 1 and re.fullmatch(
                re.escape("error: " + message) + r" \[\d+:\d+\]", lines[0])
            return None if ok else f"{source!r}: status {status}, output {out!r}"

        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            failures = [f for f in pool.map(check, MESSAGES) if f]
    for f in failures:
        print("FAIL " + f)
    print(f"{len(MESSAGES) - len(failures)} of {len(MESSAGES)} messages right")
    return 1 if failures else 0


def sdl_loaded(krin, source, env):
    with tempfile.TemporaryDirectory() as folder:
        path = write_script(folder, source)
        proc = subprocess.run([krin, path], env=dict(env, LD_DEBUG="libs"), capture_output=True,
                              timeout=20)
    return b"libSDL2" in proc.stderr


def no_display(krin, loading):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["SDL_VIDEODRIVER"] = "x11"
    failures = 0
    if loading == "lazy":
        # SDL2 and what it brings load with the first window, not before.
        for source, wanted in (('print(1)\n', False), ('raylib_init(100, 100, "t")\n', True)):
            if sdl_loaded(krin, source, env) != wanted:
                print(f"FAIL {source!r}: SDL2 {'not ' if wanted else ''}loaded")
                failures += 1
    for source in ['print("before")\nraylib_init(100, 100, "t")\nprint("after")\n',
                   'print("before")\nvar w = Window.new("t", Vector2(100, 100))\nprint("after")\n']:
        status, out = run_krin(krin, source, env, expect_display=False)
        lines = out.splitlines()
        if status != 1 or len(lines) != 2 or lines[0] != "before" or not re.fullmatch(
                r"error: couldnt open a window, is there a screen to show it on\? \[2:\d+\]",
                lines[1]):
            print(f"FAIL {source!r}: status {status}, output {out!r}")
            failures += 1
    return 1 if failures else 0


INPUT_SCRIPT = r'''
raylib_init(300, 200, "input test")
def flag(name, on) {
    if on { return name + " " }
    return ""
}
var last = ""
var lastMouse = ""
var frames = 0
print("ready")
while frames < 1800 {
    if raylib_shouldClose() { break }
    raylib_clear("black")
    var held = flag("W", raylib_isKeyDown("w")) + flag("SPACE", raylib_isKeyDown("Space"))
    held = held + flag("LEFT", raylib_isKeyDown("LEFT")) + flag("Q", raylib_isKeyDown("q"))
    held = held + flag("ENTER", raylib.isKeyDown("enter"))
    held = held + flag("mouse", raylib_isMouseDown()) + flag("mouseRight", raylib_isMouseDown("right"))
    held = held + flag("mouseMiddle", raylib_isMouseDown("MIDDLE"))
    held = held + flag("mouseX1", raylib_isMouseDown("x1"))
    if held != last {
        print("held: " + held)
        last = held
    }
    if isKeyPressed("space") { print("pressed space") }
    if isKeyPressed("q") { print("pressed q") }
    var wheel = mouseWheelDelta()
    if wheel != 0 { print("wheel " + wheel) }
    var m = raylib_mousePos()
    var where = "mouse " + m.x + " " + m.y
    if where != lastMouse {
        print(where)
        lastMouse = where
    }
    raylib_display()
    frames = frames + 1
}
print("bye")
'''


def input_test(krin):
    with xserver() as env, tempfile.TemporaryDirectory() as folder:
        run = Krin(krin, write_script(folder, INPUT_SCRIPT), env)
        run.wait_for("ready")
        window = find_window(env, "input test")
        focus(env, window)
        xdo(env, "mousemove", "--window", window, "123", "45")
        run.wait_for("mouse 123 45")

        tap(env, "w")
        run.wait_for("held: W ")
        run.wait_for("held: ")
        tap(env, "space")
        run.wait_for("held: SPACE ")
        tap(env, "Left")
        run.wait_for("held: LEFT ")
        tap(env, "q")
        tap(env, "Return")
        run.wait_for("held: ENTER ")
        click(env, "1")
        run.wait_for("held: mouse ")
        click(env, "3")
        run.wait_for("held: mouseRight ")
        click(env, "2")
        run.wait_for("held: mouseMiddle ")
        xdo(env, "click", "4")
        run.wait_for("wheel 1")
        xdo(env, "click", "5")
        run.wait_for("wheel -1")
        tap(env, "Escape")
        status = run.finish()

    out = run.lines
    problems = []
    if status != 0 or out[-1:] != ["bye"]:
        problems.append(f"status {status}, last line {out[-1:]}")
    # One press is one "pressed" report, the same frame as the key went down.
    if out.count("pressed space") != 1:
        problems.append("space press not reported exactly once")
    # An unlisted name asks isKeyPressed about W, and isKeyDown says false.
    if out.count("pressed q") != 1:
        problems.append("isKeyPressed of q did not follow the W key")
    if out.index("pressed q") != out.index("held: W ") + 1:
        problems.append("isKeyPressed of q did not fire with the W press")
    if any("Q " in line or "mouseX1" in line for line in out):
        problems.append("an unlisted key or button reported down")
    for p in problems:
        print("FAIL " + p)
    if problems:
        print("\n".join(out))
    return 1 if problems else 0


WINDOW_SCRIPT = r'''
var w = Window.new("first title", Vector2(320.7, 240.2))
var phase = 1
print("phase 1 " + w.Size)
while true {
    if raylib_shouldClose() { break }
    if isKeyPressed("space") {
        phase = phase + 1
        if phase == 2 {
            w.Title = "second title"
            w.Size = Vector2(400.9, 300.9)
        }
        if phase == 3 {
            w.SetTitle("third title")
            w.SetSize(Vector2(360, 280))
            window_title("flat title")
        }
        if phase == 4 {
            w.Close()
            w = Window.new("reopened", Vector2(250, 200))
        }
        print("phase " + phase + " " + w.Title + " " + w.Size)
    }
    raylib_clear("skyblue")
    raylib_display()
}
'''


def geometry(env, window):
    text = xdo(env, "getwindowgeometry", window)
    return re.search(r"Geometry: (\d+x\d+)", text).group(1)


def window_test(krin):
    problems = []

    def expect(what, actual, wanted):
        if actual != wanted:
            problems.append(f"{what}: {actual!r}, expected {wanted!r}")

    with xserver() as env, tempfile.TemporaryDirectory() as folder:
        run = Krin(krin, write_script(folder, WINDOW_SCRIPT), env)
        run.wait_for(r"phase 1 Vector2\(320, 240\)")
        window = find_window(env, "first title")
        focus(env, window)
        expect("first size", geometry(env, window), "320x240")

        def next_phase(line):
            tap(env, "space")
            run.wait_for(line)
            time.sleep(0.3)  # let X settle the new title and size

        next_phase(r"phase 2 second title Vector2\(400, 300\)")
        expect("setter title", xdo(env, "getwindowname", window), "second title")
        expect("setter size", geometry(env, window), "400x300")

        next_phase(r"phase 3 third title Vector2\(360, 280\)")
        # window_title retitles the window but not the table.
        expect("flat title", xdo(env, "getwindowname", window), "flat title")
        expect("method size", geometry(env, window), "360x280")

        next_phase(r"phase 4 reopened Vector2\(250, 200\)")
        reopened = find_window(env, "reopened")
        focus(env, reopened)
        expect("reopened size", geometry(env, reopened), "250x200")
        expect("old window gone", xdo(env, "search", "--name", "flat title"), "")
        tap(env, "Escape")
        expect("status", run.finish(), 0)

    for p in problems:
        print("FAIL " + p)
    return 1 if problems else 0


def example(krin, game):
    """Plays a few seconds with the arrow keys, W/S and Space, then quits."""
    with xserver() as env:
        run = Krin(krin, game, env)
        deadline = time.time() + 10
        while time.time() < deadline and not xdo(env, "search", "--onlyvisible", "--name", "."):
            time.sleep(0.1)
        ids = xdo(env, "search", "--onlyvisible", "--name", ".").split()
        if not ids:
            print("FAIL no window")
            run.proc.kill()
            return 1
        focus(env, ids[0])
        for key in ["space", "Up", "w", "Right", "Down", "s", "Left", "space", "Up", "Return"]:
            tap(env, key, hold=0.3)
        if run.proc.poll() is not None:
            print(f"FAIL ended early with {run.proc.returncode}: {run.lines}")
            return 1
        tap(env, "Escape")
        status = run.finish()
    errors = [line for line in run.lines if line.startswith("error")]
    if status != 0 or errors:
        print(f"FAIL status {status}, output {run.lines}")
        return 1
    return 0


def main(argv):
    command, rest = argv[1], argv[2:]
    if command == "display":
        with xserver() as env:
            return subprocess.run(rest, env=env).returncode
    if command == "messages":
        return messages(rest[0])
    if command == "no-display":
        return no_display(rest[0], rest[1] if len(rest) > 1 else "eager")
    if command == "input":
        return input_test(rest[0])
    if command == "window":
        return window_test(rest[0])
    if command == "example":
        return example(rest[0], os.path.abspath(rest[1]))
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
