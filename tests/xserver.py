"""A private Xvfb server for tests that open windows."""
import contextlib
import os
import select
import shutil
import subprocess
import sys
import time


@contextlib.contextmanager
def xserver():
    """Yields an environment whose DISPLAY is a fresh Xvfb; -displayfd lets the
    server choose a free display number itself. -noreset: a script that closes its
    window and opens another drops its last connection, and a server resetting then
    cuts the new one off mid-setup."""
    if not shutil.which("Xvfb"):
        sys.exit("Xvfb is needed to open windows in tests")
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
         "-noreset"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.time() + 20
    while not number.endswith(b"\n") and time.time() < deadline:
        ready, _, _ = select.select([read_end], [], [], 1)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip():
        server.kill()
        sys.exit("Xvfb did not start")
    try:
        yield dict(os.environ, DISPLAY=":" + number.decode().strip(), SDL_VIDEODRIVER="x11")
    finally:
        server.terminate()
        server.wait()
