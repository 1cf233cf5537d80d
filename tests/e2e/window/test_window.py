#!/usr/bin/env python3
"""The gtk backend's windows on a private Xvfb display, with or without a
compositing manager: a layered, shaped, translucent window and an owned,
colour-keyed window over it (tests/e2e/window/window_probe.cpp) are checked
on screenshots, dragged with real pointer input, and closed with Alt+F4.

    test_window.py PROBE [--compositor]
"""

import ctypes
import os
import random
import re
import subprocess
import sys
import tempfile
import time

X, Y = 400, 300  # where the probe puts its layered window
ORANGE = (255, 128, 0)
UNDERLAY = (224, 224, 255)
GREEN = (0, 200, 0)
# Blue at alpha 128 (premultiplied 0, 0, 128): over the underlay where a
# compositing manager blends it, as stored where none does.
BAND_COMPOSITED = (112, 112, 255)
BAND_PLAIN = (0, 0, 128)


def wait_until(predicate, what, timeout=30.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


def xlib():
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XGetSelectionOwner.restype = ctypes.c_ulong
    x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return x11


class Desktop:
    """Xvfb on a free display number, optionally with xcompmgr."""

    def __init__(self, compositor):
        self.procs = []
        self.x11 = xlib()
        try:
            # Display numbers are picked at random from a high range: other
            # test runs on this machine start their own servers meanwhile,
            # and the low numbers are the ones they contend for.
            for _ in range(10):
                if self.start_xvfb(random.randint(300, 899)):
                    break
            else:
                raise RuntimeError("no Xvfb display could be started")
            if compositor:
                self.start_compositor()
        except BaseException:
            self.close()
            raise

    def start_xvfb(self, number):
        if os.path.exists("/tmp/.X%d-lock" % number):
            return False
        self.name = ":%d" % number
        self.env = dict(os.environ, DISPLAY=self.name)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.pop("GDK_BACKEND", None)
        xvfb = subprocess.Popen(
            ["Xvfb", self.name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
             "+extension", "Composite"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(xvfb)
        try:
            # Ready once it answers; a server that lost the number ends.
            # (-noreset: the server would reset when this probe's connection
            # closes, refusing the next client meanwhile.)
            wait_until(lambda: xvfb.poll() is not None or self.query(lambda display: True), "Xvfb", timeout=20)
        except AssertionError:
            pass
        if xvfb.poll() is None and self.query(lambda display: True):
            return True
        self.close()
        return False

    def query(self, ask):
        """ask(display) on a fresh connection to our display, or None."""
        display = self.x11.XOpenDisplay(self.name.encode())
        if not display:
            return None
        try:
            return ask(display)
        finally:
            self.x11.XCloseDisplay(display)

    def composited(self):
        """Whether a compositing manager owns the screen's selection."""
        return self.query(lambda display: self.x11.XGetSelectionOwner(
            display, self.x11.XInternAtom(display, b"_NET_WM_CM_S0", 0)) != 0)

    def start_compositor(self):
        # Its complaints go to a file: a pipe nobody reads could stall it.
        log = tempfile.TemporaryFile()
        compositor = subprocess.Popen(["xcompmgr"], env=self.env, stdout=subprocess.DEVNULL, stderr=log)
        self.procs.append(compositor)

        def running():
            if compositor.poll() is not None:
                log.seek(0)
                raise RuntimeError("xcompmgr on %s ended with %d: %s" % (
                    self.name, compositor.returncode, log.read().decode(errors="replace")))
            return self.composited()
        wait_until(running, "the compositing manager")

    def run(self, *args):
        return subprocess.run(list(args), env=self.env, capture_output=True, timeout=30, check=False)

    def xdotool(self, *args):
        return self.run("xdotool", *[str(a) for a in args]).stdout.decode()

    def screenshot(self):
        """The root window as rows of (r, g, b) tuples."""
        data = self.run("import", "-window", "root", "-depth", "8", "ppm:-").stdout
        tokens = []
        pos = 0
        while len(tokens) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos)
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            tokens.append(data[pos:end])
            pos = end
        assert tokens[0] == b"P6" and tokens[3] == b"255", tokens
        width, height = int(tokens[1]), int(tokens[2])
        pixels = data[pos + 1:]
        return lambda x, y: tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3])

    def window_position(self, title):
        ids = self.xdotool("search", "--name", "^%s$" % re.escape(title)).split()
        if len(ids) != 1:
            return None
        match = re.search(r"Position: (-?\d+),(-?\d+)", self.xdotool("getwindowgeometry", ids[0]))
        return (int(match.group(1)), int(match.group(2))) if match else None

    def drag(self, start, delta, steps=4):
        x, y = start
        args = ["mousemove", x, y, "sleep", "0.1", "mousedown", "1"]
        for i in range(1, steps + 1):
            args += ["sleep", "0.05", "mousemove", x + delta[0] * i // steps, y + delta[1] * i // steps]
        args += ["sleep", "0.05", "mouseup", "1"]
        self.xdotool(*args)

    def close(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        self.procs = []


def near(actual, expected, tolerance=3):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


def check_pixels(desktop, left, top, composited):
    """The probe's windows as they should look with the layered window at
    (left, top); answers the list of mismatches."""
    cases = [
        ("opaque body", (left + 200, top + 150), ORANGE),
        ("transparent corner shows the window beneath", (left + 3, top + 3), UNDERLAY),
        ("just outside the rounded corner", (left + 24, top + 24), UNDERLAY),
        ("translucent band", (left + 200, top + 35), BAND_COMPOSITED if composited else BAND_PLAIN),
        ("panel's key colour shows the layered window", (left + 100, top + 200), ORANGE),
        ("panel's own square", (left + 330, top + 220), GREEN),
    ]
    pixel = desktop.screenshot()
    return ["%s at %s: %s, expected %s" % (what, at, pixel(*at), expected)
            for what, at, expected in cases if not near(pixel(*at), expected)]


def main():
    probe = sys.argv[1]
    composited = "--compositor" in sys.argv[2:]
    desktop = Desktop(composited)
    proc = None
    try:
        proc = subprocess.Popen([probe, str(X), str(Y)], env=desktop.env, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT)
        desktop.procs.append(proc)
        wait_until(lambda: desktop.window_position("Probe") == (X, Y), "the layered window at its place")
        wait_until(lambda: desktop.window_position("Probe panel") == (X, Y), "the panel over it")
        # Painting is asynchronous: wait for the picture, then compare all.
        wait_until(lambda: not check_pixels(desktop, X, Y, composited), "the windows' pixels", timeout=15)
        problems = check_pixels(desktop, X, Y, composited)
        assert not problems, problems

        # A press-drag-release on a visible pixel moves the window, and the
        # owned window follows it.
        desktop.drag((X + 200, Y + 150), (60, 40))
        moved = (X + 60, Y + 40)
        wait_until(lambda: desktop.window_position("Probe") == moved, "the window to follow the drag")
        wait_until(lambda: desktop.window_position("Probe panel") == moved, "the panel to follow")

        # A press on a fully transparent pixel reaches the window beneath,
        # so the layered window stays. A real drag afterwards shows where
        # it was: it lands at the old place plus its own delta only.
        desktop.drag((moved[0] + 3, moved[1] + 3), (50, 50))
        desktop.drag((moved[0] + 200, moved[1] + 150), (-30, 20))
        final = (moved[0] - 30, moved[1] + 20)
        wait_until(lambda: desktop.window_position("Probe") == final, "the second drag")
        wait_until(lambda: desktop.window_position("Probe panel") == final, "the panel after the second drag")
        wait_until(lambda: not check_pixels(desktop, final[0], final[1], composited), "the pixels after moving",
                   timeout=15)

        # Alt+F4 over the window asks it to close; the probe then ends with 0.
        desktop.xdotool("mousemove", final[0] + 200, final[1] + 150, "sleep", "0.1", "key", "alt+F4")
        code = proc.wait(timeout=20)
        assert code == 0, "probe ended with %d" % code
        moves = [line for line in proc.stdout.read().decode().splitlines() if line.startswith("moved")]
        assert moves and moves[-1] == "moved %d %d" % final, moves[-3:]
    finally:
        desktop.close()
    print("ok (%s)" % ("composited" if composited else "no compositing manager"))


if __name__ == "__main__":
    main()
