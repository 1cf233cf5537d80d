"""The whole shell against the operator demo site: logins by page and by
code callback, the close and minimise buttons, failed downloads."""

import json
import os
import socket
import time
import unittest
from urllib.parse import quote

from desktop import Display, OperatorDemo, Shell, wait_until

TEST_LAUNCHER = os.environ["QUORIN_TEST_LAUNCHER"]
WIDTH, HEIGHT = 1334, 725
# In window pixels: the browser's corner, the page's login button (page
# pixels 315, 354), the buttons.
BROWSER = (560, 177)
LOGIN_BUTTON = (560 + 315, 177 + 354)
CLOSE_BUTTON = (1208 + 27, 115 + 27)
MINIMISE_BUTTON = (1173 + 19, 137 + 19)
PAYLOAD = '{"uid":"player1001","token":"tok-13-42","server_id":"7","other":"lang=zh&client=desktop","sign":"sig 42"}'
AUTH = "tok-13-42&7&lang=zh&client=desktop&sig 42"


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


class ShellFlows(unittest.TestCase):
    def start(self, redirect=None, delay=None, download_host=None, launcher=None, window_manager=False):
        self.display = Display(window_manager=window_manager)
        self.addCleanup(self.display.close)
        self.demo = OperatorDemo(launcher=TEST_LAUNCHER)
        self.addCleanup(self.demo.close)
        if redirect or delay:
            q = []
            if redirect:
                q.append("redirect=" + quote(redirect, safe=""))
            if delay:
                q.append("delay=%s" % delay)
            self.demo.get("/control/client?" + "&".join(q))
        self.shell = Shell(self.display, self.demo.host, download_host=download_host, launcher=launcher)
        self.addCleanup(self.shell.close)
        self.window = self.shell.main_window()
        geometry = wait_until(lambda: (lambda g: g if g[2:] == (WIDTH, HEIGHT) else None)(self.display.geometry(self.window)),
                              what="the main window at the picture's size")
        self.origin = geometry[:2]

    def at(self, point):
        return self.origin[0] + point[0], self.origin[1] + point[1]

    def wait_for_page(self):
        # The browser shows itself once its first navigation completes.
        wait_until(lambda: "/client" in " ".join(self.demo.requests()), what="the login page request")
        time.sleep(2.0)

    def record(self, timeout=30):
        path = self.shell.record_path
        wait_until(lambda: os.path.exists(path), timeout=timeout, what="the launcher to start")
        with open(path) as f:
            return json.load(f)

    def log_lines(self):
        path = os.path.join(self.shell.workdir, "log.txt")
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8") as f:
            return f.read().splitlines()

    def test_login_by_page_downloads_and_starts_the_launcher(self):
        self.start()
        self.assertFalse(os.path.exists(self.shell.launcher_path))
        self.wait_for_page()
        self.display.click(*self.at(LOGIN_BUTTON))
        self.assertEqual(self.shell.wait_exit(60), 16)
        self.assertEqual(self.log_lines(), [PAYLOAD, AUTH])
        self.assertTrue(os.access(self.shell.launcher_path, os.X_OK))
        rec = self.record()
        path = self.shell.launcher_path
        self.assertEqual(rec["argv"], [path, ",id^player1001,auth_key^tok-13-42&7&lang=zh&client=desktop&sig", "42"])
        self.assertEqual(rec["command_line"], '"%s" ,id^player1001,auth_key^%s' % (path, AUTH))

    def test_login_by_callback_passes_the_whole_address(self):
        self.start(redirect="/code-login?code=XYZ-1")
        rec = self.record(timeout=60)
        url = "http://%s/plandor/codeCallback.htm?code=XYZ-1" % self.demo.host
        path = self.shell.launcher_path
        self.assertEqual(rec["command_line"], '"%s"%s' % (path, url))
        self.assertEqual(rec["argv"], [path + url])  # joined to the quoted path, as a Windows launcher sees it
        self.assertEqual(self.shell.wait_exit(30), 16)

    def test_callback_in_a_frame_starts_the_launcher(self):
        self.start(redirect="/frame-callback?code=F7")
        rec = self.record(timeout=60)
        self.assertTrue(rec["command_line"].endswith("/plandor/codeCallback.htm?code=F7"))
        self.assertEqual(self.shell.wait_exit(30), 16)

    def test_callbacks_that_must_not_start_anything(self):
        for redirect in ("/code-login?code=A&extra=needCode%3D1", "/plandor/codecallback.htm?code=B"):
            with self.subTest(redirect=redirect):
                self.start(redirect=redirect)
                wait_until(lambda: any("allback.htm" in r for r in self.demo.requests()), what="the callback page")
                time.sleep(3)
                self.assertIsNone(self.shell.proc.poll(), "the shell keeps running")
                self.assertFalse(os.path.exists(self.shell.launcher_path))
                self.assertFalse(os.path.exists(self.shell.record_path))
                self.doCleanups()

    def test_close_button_cancel_keeps_running_and_confirm_quits_with_16(self):
        self.start()
        self.wait_for_page()
        dialog = (self.origin[0] + (WIDTH - 256) // 2, self.origin[1] + (HEIGHT - 110) // 2)
        self.display.click(*self.at(CLOSE_BUTTON))
        time.sleep(1.0)
        shot = self.display.screenshot(os.path.join(self.shell.dir, "confirm.png"))
        self.assertNotEqual(self.display.pixel(dialog[0] + 128, dialog[1] + 5, shot), (0, 0, 0))
        self.display.click(dialog[0] + 140 + 37, dialog[1] + 72 + 13)  # cancel
        time.sleep(1.0)
        self.assertIsNone(self.shell.proc.poll())
        self.display.click(*self.at(CLOSE_BUTTON))
        time.sleep(1.0)
        self.display.click(dialog[0] + 40 + 37, dialog[1] + 72 + 13)  # confirm
        self.assertEqual(self.shell.wait_exit(30), 16)

    def test_minimise_hides_both_windows_and_restore_brings_both_back(self):
        # Restoring is the window manager's business: through its task bar
        # on a desktop, through an activation request here.
        self.start(window_manager=True)
        self.wait_for_page()
        panels = [w for w in self.display.all_windows(self.shell.proc.pid)
                  if w != self.window and self.display.is_mapped(w) and self.display.geometry(w)[2:] == (WIDTH, HEIGHT)]
        self.assertTrue(panels)
        self.display.click(*self.at(MINIMISE_BUTTON))
        wait_until(lambda: not self.display.is_mapped(self.window), what="the main window to go")
        wait_until(lambda: not self.display.is_mapped(panels[0]), what="the panel to go")
        self.display.run("xdotool", "windowactivate", str(self.window))
        wait_until(lambda: self.display.is_mapped(self.window) and self.display.is_mapped(panels[0]),
                   what="both windows back")
        self.assertIsNone(self.shell.proc.poll())

    def test_browser_is_not_on_screen_before_its_first_navigation_completes(self):
        self.start(delay=6)
        time.sleep(2.0)
        shot = self.display.screenshot(os.path.join(self.shell.dir, "loading.png"))
        # The picture's own "connecting" plate shows where the page will be.
        inside = self.display.pixel(*self.at((BROWSER[0] + 300, BROWSER[1] + 100)), shot=shot)
        self.assertLess(sum(inside), 3 * 80, "dark picture, not a white browser page")
        wait_until(lambda: "/client" in " ".join(self.demo.requests()), timeout=30, what="the page")
        time.sleep(6)
        shot = self.display.screenshot(os.path.join(self.shell.dir, "loaded.png"))
        button = self.display.pixel(*self.at(LOGIN_BUTTON), shot=shot)
        self.assertGreater(button[0], 150, "the page's golden login button is shown")

    def test_failed_downloads_leave_the_shell_on_the_page_until_a_login_succeeds(self):
        port = free_port()
        self.start(download_host="127.0.0.1:%d" % port)
        self.wait_for_page()
        self.display.click(*self.at(LOGIN_BUTTON))  # download server down
        time.sleep(3)
        self.assertIsNone(self.shell.proc.poll())
        self.assertFalse(os.path.exists(self.shell.launcher_path))
        download = OperatorDemo(launcher=TEST_LAUNCHER, port=port)
        self.addCleanup(download.close)
        download.set_download_status(404)
        self.display.click(*self.at(LOGIN_BUTTON))  # 404
        wait_until(lambda: any("tavrek_launch.exe" in r for r in download.requests()), what="the download attempt")
        time.sleep(2)
        self.assertIsNone(self.shell.proc.poll())
        self.assertFalse(os.path.exists(self.shell.launcher_path))
        self.assertEqual(len(self.log_lines()), 4)
        download.set_download_status(200)
        self.display.click(*self.at(LOGIN_BUTTON))
        self.assertEqual(self.shell.wait_exit(60), 16)
        self.assertEqual(self.record()["argv"][2], "42")


if __name__ == "__main__":
    unittest.main()
