"""The main window on a real X server: shaped by its picture's alpha, with
and without a compositing manager, dragged as one with its panel."""

import os
import subprocess
import unittest

from desktop import Display, OperatorDemo, Shell, SOURCE_DIR, wait_until

PICTURE = os.path.join(SOURCE_DIR, "src", "res", "art", "background_155.png")
WIDTH, HEIGHT = 1334, 725


def picture_pixel(x, y):
    out = subprocess.run(["convert", PICTURE, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-"],
                         check=True, stdout=subprocess.PIPE, text=True).stdout
    rgba = out.strip().splitlines()[-1].split("(")[1].split(")")[0].split(",")
    return tuple(int(float(v)) if i < 3 else float(v) for i, v in enumerate(rgba))


def opaque_point():
    """A point of the picture that is fully opaque and lies outside the
    browser and button areas of the panel."""
    for x, y in [(300, 400), (200, 360), (400, 600), (450, 250), (667, 120), (120, 500)]:
        r, g, b, a = picture_pixel(x, y)
        if a >= 1.0 or a == 255:
            return x, y, (r, g, b)
    raise AssertionError("no opaque point found in the picture")


class MainWindowTest(unittest.TestCase):
    def start_shell(self, compositor=False):
        """The shell on a display of its own; answers the display, the shell,
        its main window and the window's corner once it has the picture's size."""
        display = Display(compositor=compositor)
        self.addCleanup(display.close)
        demo = OperatorDemo()
        self.addCleanup(demo.close)
        shell = Shell(display, demo.host)
        self.addCleanup(shell.close)
        window = shell.main_window()
        wait_until(lambda: display.geometry(window)[2:] == (WIDTH, HEIGHT), what="the picture's size")
        x0, y0, _, _ = display.geometry(window)
        return display, shell, window, x0, y0

    def run_case(self, compositor):
        display, shell, window, x0, y0 = self.start_shell(compositor)
        self.assertEqual((x0, y0), ((1920 - WIDTH) // 2, (1080 - HEIGHT) // 2))
        px, py, colour = opaque_point()
        shot = display.screenshot(os.path.join(shell.dir, "shell.png"))
        got = display.pixel(x0 + px, y0 + py, shot)
        for a, b in zip(got, colour):
            self.assertLessEqual(abs(a - b), 2, "picture pixel %s on screen is %s" % (colour, got))
        # The fully transparent corner shows what lies beneath: the same as
        # the desktop far from the window.
        self.assertEqual(display.pixel(x0, y0, shot), display.pixel(5, 5, shot))

        # A press on a transparent pixel does not move the window.
        display.drag(x0 + 1, y0 + 1, x0 + 101, y0 + 51)
        self.assertEqual(display.geometry(window)[:2], (x0, y0))
        # A drag on a visible pixel moves it, and the panel with it.
        display.drag(x0 + px, y0 + py, x0 + px - 120, y0 + py + 60)
        wait_until(lambda: display.geometry(window)[:2] == (x0 - 120, y0 + 60), what="the window to follow the drag")
        panels = [wid for wid in display.all_windows(shell.proc.pid) if wid != window and display.is_mapped(wid)
                  and display.geometry(wid)[2:] == (WIDTH, HEIGHT)]
        self.assertTrue(panels, "the panel is on screen")
        self.assertEqual(display.geometry(panels[0])[:2], (x0 - 120, y0 + 60))
        self.assertIsNone(shell.proc.poll())

    def test_without_compositing_manager(self):
        self.run_case(compositor=False)

    def test_with_compositing_manager(self):
        self.run_case(compositor=True)

    def test_alt_f4_closes_with_exit_status_zero(self):
        display, shell, _, x0, y0 = self.start_shell()
        px, py, _ = opaque_point()
        display.move(x0 + px, y0 + py)
        display.run("xdotool", "key", "alt+F4")
        self.assertEqual(shell.wait_exit(30), 0)


if __name__ == "__main__":
    unittest.main()
