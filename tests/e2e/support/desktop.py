"""Helpers for end-to-end tests: a private X display (Xvfb), an optional
compositing manager, the operator demo site, the shell itself, pointer
input with xdotool and screen pixels read from screenshots."""

import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

BINARY_DIR = os.environ.get("QUORIN_BINARY_DIR", "")
SOURCE_DIR = os.environ.get("QUORIN_SOURCE_DIR", "")


def wait_until(predicate, timeout=20.0, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    raise AssertionError("timed out waiting for " + what)


def read_text(path):
    """The file's text, or None while it does not exist."""
    try:
        with open(path) as f:
            return f.read()
    except FileNotFoundError:
        return None


class Display:
    """An Xvfb server on a free display number, stopped on close."""

    def __init__(self, width=1920, height=1080, compositor=False, window_manager=False):
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp", "-noreset", "+extension", "Composite", "+extension", "RANDR"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(read_fd, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_fd)
        if not number.strip():
            self.proc.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.compositor = None
        self.manager = None
        if window_manager:
            self.manager = subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL)
            wait_until(lambda: "window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False).stdout,
                       what="the window manager")
        if compositor:
            self.compositor = subprocess.Popen(["xcompmgr", "-n"], env=self.env,
                                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(0.5)

    def close(self):
        for p in (self.compositor, self.manager, self.proc):
            if p and p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()

    def run(self, *args, check=True):
        return subprocess.run(list(args), env=self.env, check=check, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True, timeout=30)

    def screenshot(self, path):
        self.run("import", "-window", "root", path)
        return path

    def pixel(self, x, y, shot=None):
        """The screen's colour at (x, y) as (r, g, b)."""
        path = shot or self.screenshot(tempfile.mktemp(suffix=".png"))
        out = self.run("convert", path, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-").stdout
        if not shot:
            os.unlink(path)
        # "0,0: (r,g,b)  #RRGGBB  srgb(...)"
        hexcode = out.strip().splitlines()[-1].split("#")[1][:6]
        return tuple(int(hexcode[i:i + 2], 16) for i in (0, 2, 4))

    def move(self, x, y):
        self.run("xdotool", "mousemove", "--sync", str(x), str(y))

    def click(self, x, y):
        self.move(x, y)
        self.run("xdotool", "click", "1")

    def drag(self, x0, y0, x1, y1, steps=8):
        self.move(x0, y0)
        self.run("xdotool", "mousedown", "1")
        for i in range(1, steps + 1):
            self.run("xdotool", "mousemove", str(x0 + (x1 - x0) * i // steps), str(y0 + (y1 - y0) * i // steps))
            time.sleep(0.03)
        time.sleep(0.1)
        self.run("xdotool", "mouseup", "1")

    def windows(self, name):
        out = self.run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % name, check=False).stdout
        return [int(w) for w in out.split()]

    def all_windows(self, pid):
        out = self.run("xdotool", "search", "--pid", str(pid), check=False).stdout
        return [int(w) for w in out.split()]

    def geometry(self, window):
        out = self.run("xdotool", "getwindowgeometry", "--shell", str(window)).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def is_mapped(self, window):
        out = self.run("xwininfo", "-id", str(window), check=False).stdout
        return "IsViewable" in out


class OperatorDemo:
    """The operator demo site on a free loopback port."""

    def __init__(self, launcher=None, port=0):
        self.dir = tempfile.mkdtemp(prefix="operator-demo-")
        port_file = os.path.join(self.dir, "port")
        args = [os.path.join(SOURCE_DIR, "tools", "operator-demo", "operator-demo"), "--port", str(port),
                "--port-file", port_file]
        if launcher:
            args += ["--launcher", launcher]
        self.proc = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.port = int(wait_until(lambda: read_text(port_file), what="operator-demo"))
        self.host = "127.0.0.1:%d" % self.port

    def get(self, path):
        import urllib.request
        with urllib.request.urlopen("http://%s%s" % (self.host, path), timeout=10) as r:
            return r.read()

    def requests(self):
        return json.loads(self.get("/control/requests"))

    def set_download_status(self, status):
        self.get("/control/download-status?status=%d" % status)

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(5)
        shutil.rmtree(self.dir, ignore_errors=True)


class Shell:
    """quorin-login copied into a directory of its own (so the launcher is
    looked for and downloaded there), started on a display."""

    def __init__(self, display, login_host, download_host=None, launcher=None, workdir=None, extra_env=None):
        self.dir = tempfile.mkdtemp(prefix="quorin-shell-")
        self.bin = os.path.join(self.dir, "bin")
        os.makedirs(self.bin)
        install_tree(self.dir)
        if launcher:
            shutil.copy(launcher, os.path.join(self.bin, "tavrek_launch.exe"))
        self.workdir = workdir or os.path.join(self.dir, "work")
        os.makedirs(self.workdir, exist_ok=True)
        env = dict(display.env, QUORIN_LOGIN_HOST=login_host, QUORIN_DOWNLOAD_HOST=download_host or login_host,
                   QUORIN_TEST_LAUNCHER_RECORD=os.path.join(self.dir, "launcher-record.json"),
                   QUORIN_DEMO_LAUNCHER_OUT=os.path.join(self.dir, "launcher-received.txt"))
        env.update(extra_env or {})
        self.display = display
        self.log = open(os.path.join(self.dir, "shell.log"), "w")
        self.proc = subprocess.Popen([os.path.join(self.bin, "quorin-login")], cwd=self.workdir, env=env,
                                     stdout=self.log, stderr=subprocess.STDOUT)

    @property
    def launcher_path(self):
        return os.path.join(self.bin, "tavrek_launch.exe")

    @property
    def record_path(self):
        return os.path.join(self.dir, "launcher-record.json")

    def main_window(self, timeout=90):
        return wait_until(lambda: self.display.windows("Quorin"), timeout=timeout, what="the main window")[0]

    def wait_exit(self, timeout=30):
        return self.proc.wait(timeout)

    def close(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.log.close()

    def output(self):
        with open(os.path.join(self.dir, "shell.log")) as f:
            return f.read()


def install_tree(prefix):
    """Installs the built program into prefix (bin/, lib/quorin-login/)."""
    subprocess.run(["cmake", "--install", BINARY_DIR, "--prefix", prefix], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)
