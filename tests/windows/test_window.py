#!/usr/bin/env python3
"""A window through raylib's RGFW platform, under Wine and an X server (run it under
xvfb-run when there is no DISPLAY): the script opens a window, draws frames, retitles it, and the window shows up
on the X display with its title while the frame loop runs.

Usage: test_window.py KRIN   (KRIN: a wrapper that runs krin.exe under Wine)
"""
import os
import subprocess
import sys
import tempfile
import time

SCRIPT = """
var w = Window.new("krin smoke", Vector2(320, 240))
var frames = 0
while !raylib_shouldClose() && frames < 240 {
    raylib_clear("black")
    raylib_drawRect(10, 10, 100, 50, "red")
    raylib_drawCircle(200, 120, 30, { r = 0, g = 255, b = 0, a = 255 })
    raylib_drawText("hi", 20, 200, 20, "white")
    raylib_display()
    frames = frames + 1
    if frames == 30 { w.Title = "krin smoke retitled" }
}
print(frames)
print(textWidth("hi", 20) > 0)
"""


def window_names():
    try:
        tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, timeout=20)
    except FileNotFoundError:
        return None
    return tree.stdout.decode(errors="replace")


def main():
    if not os.environ.get("DISPLAY"):
        # Wine's desktop process takes the display of the first program that starts it.
        command = ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -nolisten tcp",
                   sys.executable, *sys.argv]
        return subprocess.run(command).returncode
    krin = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="krin-win-window-") as folder:
        with open(os.path.join(folder, "smoke.krin"), "w") as f:
            f.write(SCRIPT)
        out_path = os.path.join(folder, "out.txt")
        with open(out_path, "wb") as out:
            proc = subprocess.Popen([krin, "smoke.krin"], cwd=folder, stdout=out,
                                    stderr=subprocess.DEVNULL)
            seen = None
            deadline = time.time() + 60
            while proc.poll() is None and time.time() < deadline:
                names = window_names()
                if names is None:
                    seen = "no xwininfo"
                    break
                if "krin smoke retitled" in names:
                    seen = "retitled"
                    break
                time.sleep(0.2)
            try:
                proc.wait(timeout=max(1, deadline - time.time()))
            except subprocess.TimeoutExpired:
                proc.kill()
                print("FAIL the frame loop did not end")
                return 1
        with open(out_path, "rb") as f:
            lines = f.read().decode(errors="replace").splitlines()
    problems = []
    if proc.returncode != 0 or lines != ["240", "true"]:
        problems.append(f"status {proc.returncode}, output {lines}")
    if seen is None:
        problems.append("the retitled window never showed on the display")
    for p in problems:
        print("FAIL " + p)
    print("window smoke test: " + ("failed" if problems else f"passed (window {seen})"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
