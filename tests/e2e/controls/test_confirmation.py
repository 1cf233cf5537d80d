"""The close confirmation over the running shell on a real X server: where
it appears, what it shows (a screenshot is kept for looking at), and what
its buttons and keys do."""

import os
import subprocess
import time
import unittest

from desktop import BINARY_DIR, SOURCE_DIR, Display, OperatorDemo, Shell, wait_until

ART = os.path.join(SOURCE_DIR, "src", "res", "art")
BACKDROP = os.path.join(ART, "confirm_backdrop_177.bmp")
SHELL_W, SHELL_H = 1334, 725
BOX_W, BOX_H = 256, 110
CLOSE_BUTTON = (1208 + 27, 115 + 27)  # centre of the panel's close button
CONFIRM = (60, 80)                     # inside the visible confirm frame
CANCEL = (150, 80)                     # inside the visible cancel frame
SCREENSHOT_DIR = os.path.join(BINARY_DIR or ".", "e2e-artifacts")


def backdrop_pixel(x, y):
    out = subprocess.run(["convert", BACKDROP, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-"],
                         check=True, stdout=subprocess.PIPE, text=True).stdout
    hexcode = out.strip().splitlines()[-1].split("#")[1][:6]  # after the "# ImageMagick ..." header
    return tuple(int(hexcode[i:i + 2], 16) for i in (0, 2, 4))


def close_to(a, b, tolerance=2):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


class ConfirmationTest(unittest.TestCase):
    def setUp(self):
        self.display = Display()
        self.addCleanup(self.display.close)
        self.demo = OperatorDemo()
        self.addCleanup(self.demo.close)
        self.shell = Shell(self.display, self.demo.host)
        self.addCleanup(self.shell.close)
        window = self.shell.main_window()
        self.origin = wait_until(lambda: self.display.geometry(window)[2:] == (SHELL_W, SHELL_H)
                                 and self.display.geometry(window)[:2], what="the shell at its picture's size")
        time.sleep(0.5)  # let the panel and its buttons paint

    def box(self):
        """The confirmation's X window, once it is on screen."""
        def find():
            for wid in self.display.all_windows(self.shell.proc.pid):
                if self.display.is_mapped(wid) and self.display.geometry(wid)[2:] == (BOX_W, BOX_H):
                    return wid
            return None
        return wait_until(find, what="the confirmation box")

    def box_gone(self):
        def gone():
            return not any(self.display.is_mapped(w) and self.display.geometry(w)[2:] == (BOX_W, BOX_H)
                           for w in self.display.all_windows(self.shell.proc.pid))
        wait_until(gone, what="the confirmation box to close")

    def open_box(self):
        x0, y0 = self.origin
        self.display.click(x0 + CLOSE_BUTTON[0], y0 + CLOSE_BUTTON[1])
        bx, by, _, _ = self.display.geometry(self.box())
        time.sleep(0.3)  # first paint
        return bx, by

    def test_appears_centred_over_the_shell_with_its_picture_texts_and_buttons(self):
        x0, y0 = self.origin
        bx, by = self.open_box()
        self.assertEqual((bx, by), (x0 + (SHELL_W - BOX_W) // 2, y0 + (SHELL_H - BOX_H) // 2))

        os.makedirs(SCREENSHOT_DIR, exist_ok=True)
        shot = self.display.screenshot(os.path.join(SCREENSHOT_DIR, "confirmation.png"))
        subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (BOX_W + 40, BOX_H + 40, bx - 20, by - 20),
                        "+repage", os.path.join(SCREENSHOT_DIR, "confirmation-box.png")], check=True)
        # The picture, where no text or button lies over it.
        for x, y in [(3, 3), (250, 104), (125, 60), (20, 80)]:
            got, want = self.display.pixel(bx + x, by + y, shot), backdrop_pixel(x, y)
            self.assertTrue(close_to(got, want), "(%d,%d): %s on screen, %s in the picture" % (x, y, got, want))
        # White text in the title's and the question's places.
        for name, (left, top, right, bottom) in [("title", (79, 10, 179, 40)), ("question", (28, 34, 228, 70))]:
            crop = subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, bx + left,
                                                                               by + top),
                                   "-depth", "8", "txt:-"], check=True, stdout=subprocess.PIPE, text=True).stdout
            white = 0
            for line in crop.splitlines()[1:]:  # "x,y: (...)  #RRGGBB  ..."
                code = line.split("#")[1][:6]
                white += all(int(code[i:i + 2], 16) >= 0xE0 for i in (0, 2, 4))
            self.assertGreater(white, 10, name)
        # The two frames cover the picture where they are drawn.
        for x, y in [(76, 84), (176, 84)]:
            self.assertFalse(close_to(self.display.pixel(bx + x, by + y, shot), backdrop_pixel(x, y), 8), (x, y))

        # Resting on the cancel frame shows its hover frame.
        before = self.display.pixel(bx + 176, by + 84)
        self.display.move(bx + CANCEL[0], by + CANCEL[1])
        wait_until(lambda: self.display.pixel(bx + 176, by + 84) != before, what="the hover frame")

        self.display.click(bx + CANCEL[0], by + CANCEL[1])
        self.box_gone()
        time.sleep(0.5)
        self.assertIsNone(self.shell.proc.poll(), "cancel leaves the shell running")

    def test_escape_cancels_and_confirm_quits_with_16(self):
        bx, by = self.open_box()
        self.display.move(bx + 120, by + 50)  # keys go where the pointer is when no window manager runs
        self.display.run("xdotool", "key", "Escape")
        self.box_gone()
        self.assertIsNone(self.shell.proc.poll(), "Escape leaves the shell running")

        bx, by = self.open_box()
        self.display.click(bx + CONFIRM[0], by + CONFIRM[1])
        self.assertEqual(self.shell.wait_exit(30), 16)


if __name__ == "__main__":
    unittest.main()
