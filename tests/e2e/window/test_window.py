#!/usr/bin/env python3
"""The gtk backend's windows on a private Xvfb display, with no compositing
manager, with one, or with a window manager: a layered, shaped,
translucent window and an owned, colour-keyed window over it
(tests/e2e/window/window_probe.cpp) are checked on screenshots, dragged
with real pointer input, minimised, restored and asked to close; message
boxes are answered and ended by a quit request.

    test_window.py PROBE [--compositor] [--window-manager]
"""

import ctypes
import os
import random
import re
import subprocess
import sys
import tempfile
import threading
import time

X, Y = 400, 300  # where the probe puts its layered window
ORANGE = (255, 128, 0)
UNDERLAY = (224, 224, 255)
GREEN = (0, 200, 0)
RED = (255, 0, 0)
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

    def __init__(self, compositor, window_manager=False):
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
            if window_manager:
                self.start_window_manager()
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

    def start_window_manager(self):
        manager = subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self.procs.append(manager)

        def running():
            if manager.poll() is not None:
                raise RuntimeError("openbox ended with %d" % manager.returncode)
            return "window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK").stdout.decode()
        wait_until(running, "the window manager")

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
        ("native widget over the panel's see-through part", (left + 90, top + 150), RED),
    ]
    pixel = desktop.screenshot()
    return ["%s at %s: %s, expected %s" % (what, at, pixel(*at), expected)
            for what, at, expected in cases if not near(pixel(*at), expected)]


class Probe:
    """The probe program, its output lines read as they come."""

    def __init__(self, path, desktop):
        self.proc = subprocess.Popen([path, str(X), str(Y)], env=desktop.env, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        desktop.procs.append(self.proc)
        self.lines = []
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        for line in self.proc.stdout:
            self.lines.append(line.decode(errors="replace").rstrip("\n"))

    def send(self, command):
        self.proc.stdin.write((command + "\n").encode())
        self.proc.stdin.flush()

    def said(self, line):
        return self.lines.count(line)


def window_property(desktop, title, name):
    ids = desktop.xdotool("search", "--name", "^%s$" % re.escape(title)).split()
    assert len(ids) == 1, (title, ids)
    return desktop.run("xprop", "-id", ids[0], name).stdout.decode()


def visible(desktop, title):
    return bool(desktop.xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(title)).split())


def save_screenshot(desktop, name):
    """Keeps a screenshot to look at when QUORIN_SCREENSHOT_DIR is set."""
    folder = os.environ.get("QUORIN_SCREENSHOT_DIR")
    if folder:
        os.makedirs(folder, exist_ok=True)
        desktop.run("import", "-window", "root", os.path.join(folder, name + ".png"))


def expect_pixels(desktop, left, top, composited, when):
    """Waits for the windows to look right (painting is asynchronous) and
    fails with what differs."""
    problems = []

    def right():
        problems[:] = check_pixels(desktop, left, top, composited)
        return not problems
    try:
        wait_until(right, "the windows' pixels " + when, timeout=15)
    except AssertionError:
        raise AssertionError("pixels %s: %s" % (when, "; ".join(problems)))


def main():
    path = sys.argv[1]
    composited = "--compositor" in sys.argv[2:]
    managed = "--window-manager" in sys.argv[2:]
    mode = "managed" if managed else "composited" if composited else "plain"
    desktop = Desktop(composited, managed)
    try:
        probe = Probe(path, desktop)
        wait_until(lambda: desktop.window_position("Probe") == (X, Y), "the layered window at its place")
        wait_until(lambda: desktop.window_position("Probe panel") == (X, Y), "the panel over it")
        expect_pixels(desktop, X, Y, composited, "at the start")
        save_screenshot(desktop, "window-" + mode)

        # What the window manager is told: the icon, the owner, the
        # task-bar entry only for the unowned window.
        assert "Icon (32 x 32)" in window_property(desktop, "Probe", "_NET_WM_ICON")
        probe_id = int(desktop.xdotool("search", "--name", "^Probe$").split()[0])
        transient = window_property(desktop, "Probe panel", "WM_TRANSIENT_FOR")
        assert re.search(r"window id # (0x[0-9a-f]+)", transient) and \
            int(re.search(r"window id # (0x[0-9a-f]+)", transient).group(1), 16) == probe_id, transient
        assert "_NET_WM_STATE_SKIP_TASKBAR" in window_property(desktop, "Probe panel", "_NET_WM_STATE")
        assert "_NET_WM_STATE_SKIP_TASKBAR" not in window_property(desktop, "Probe", "_NET_WM_STATE")

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
        if managed:
            # The window manager raised the window clicked on, the underlay,
            # as it should; bring ours back on top.
            desktop.xdotool("windowactivate", probe_id)
        desktop.drag((moved[0] + 200, moved[1] + 150), (-30, 20))
        at = (moved[0] - 30, moved[1] + 20)
        wait_until(lambda: desktop.window_position("Probe") == at, "the second drag")
        wait_until(lambda: desktop.window_position("Probe panel") == at, "the panel after the second drag")
        expect_pixels(desktop, at[0], at[1], composited, "after moving")
        assert [line for line in probe.lines if line.startswith("moved")][-1] == "moved %d %d" % at

        # A press on the native widget is the widget's own.
        desktop.xdotool("mousemove", at[0] + 90, at[1] + 150, "sleep", "0.1", "click", "1")
        wait_until(lambda: probe.said("native press"), "the native widget's press")

        # Alt+F4 over the window is a close request (the window manager's,
        # for the window that has the focus, when one runs).
        if managed:
            desktop.xdotool("windowactivate", probe_id)
        desktop.xdotool("mousemove", at[0] + 200, at[1] + 150, "sleep", "0.1", "key", "alt+F4")
        wait_until(lambda: probe.said("close"), "the close request")

        # Minimised, the window leaves the screen (iconified by the window
        # manager, or simply unmapped without one) and its owned window with
        # it; restored, both come back in order, where they were.
        def minimised(how):
            wait_until(lambda: not visible(desktop, "Probe") and not visible(desktop, "Probe panel"),
                       "both windows to leave the screen (%s)" % how)
            wait_until(lambda: near(desktop.screenshot()(at[0] + 200, at[1] + 150), UNDERLAY),
                       "the window beneath (%s)" % how)

        def restored(how):
            wait_until(lambda: visible(desktop, "Probe") and visible(desktop, "Probe panel"),
                       "both windows back (%s)" % how)
            wait_until(lambda: desktop.window_position("Probe") == at, "the window in its place (%s)" % how)
            wait_until(lambda: desktop.window_position("Probe panel") == at, "the panel in its place (%s)" % how)
            expect_pixels(desktop, at[0], at[1], composited, "after restoring (%s)" % how)

        probe.send("minimize")
        minimised("by the program")
        if managed:
            assert "Iconic" in window_property(desktop, "Probe", "WM_STATE")
        probe.send("restore")
        restored("by the program")
        if managed:
            # The window manager's own minimise and restore reach the program.
            window = desktop.xdotool("search", "--name", "^Probe$").split()[0]
            desktop.xdotool("windowminimize", window)
            minimised("by the window manager")
            desktop.xdotool("windowactivate", window)
            restored("by the window manager")

        # A message box is a real dialog that the user answers ...
        probe.send("box")
        wait_until(lambda: visible(desktop, "Probe box"), "the message box")
        save_screenshot(desktop, "message-box-" + mode)
        box = desktop.xdotool("search", "--onlyvisible", "--name", "^Probe box$").split()[0]
        match = re.search(r"Position: (-?\d+),(-?\d+).*?Geometry: (\d+)x(\d+)",
                          desktop.xdotool("getwindowgeometry", box), re.S)
        left, top, width, height = (int(v) for v in match.groups())
        desktop.xdotool("mousemove", left + width // 2, top + height // 2, "sleep", "0.2", "key", "Return")
        wait_until(lambda: probe.said("box 1"), "the box's answer")
        wait_until(lambda: not visible(desktop, "Probe box"), "the box to go")

        # ... and that a quit request ends at once, the quit code intact.
        probe.send("box")
        wait_until(lambda: visible(desktop, "Probe box"), "the second message box")
        probe.send("quit 4")
        code = probe.proc.wait(timeout=20)
        assert code == 4, "probe ended with %d" % code
        assert probe.said("box 1") == 2, probe.lines[-3:]
        assert not probe.said("child press"), "a press on the native widget reached the window model"
    finally:
        desktop.close()
    print("ok (%s)" % mode)


if __name__ == "__main__":
    main()
