#!/usr/bin/env python3
"""The built site in Debian's Firefox ESR, headless, driven through WebDriver
BiDi: the window is painted whole with its board, and a click moves a
tile, as its screenshots show.

    tests/web/tst_firefox.py [SITE]        (build-web/ of the checkout)
"""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import website as web  # noqa: E402
from bidi import Firefox  # noqa: E402

SITE = web.site_dir()
TIMEOUT = 90


class InFirefox(unittest.TestCase):
    def setUp(self):
        self.server = web.Server(SITE)
        self.browser = Firefox(width=800, height=600)
        self.context = self.browser.new_context()

    def tearDown(self):
        self.browser.close()
        self.server.stop()

    def screen(self, predicate, what, timeout=TIMEOUT):
        """The first screenshot, with the window's box, that PREDICATE
        accepts."""
        deadline = time.monotonic() + timeout
        while True:
            image = self.browser.screenshot(self.context)
            window = web.find_window(image)
            if window and window[2:] == web.WINDOW and predicate(image, window):
                return image, window
            if time.monotonic() > deadline:
                raise TimeoutError("%s: not on the screen within %s s (window %s)" % (what, timeout, window))
            time.sleep(0.2)

    def test_the_window_shows_and_a_click_moves_a_tile(self):
        self.browser.navigate(self.context, self.server.url)
        image, window = self.screen(lambda image, window: web.find_blank(image, window, 4) is not None,
                                    "the window with its board")
        # Centred in the viewport (its width without a scroll bar).
        viewport = self.browser.evaluate(self.context, "[innerWidth, innerHeight]")
        self.assertEqual(window[:2], ((viewport[0] - web.WINDOW[0]) // 2, (viewport[1] - web.WINDOW[1]) // 2))
        blank = web.find_blank(image, window, 4)
        tile = next(web.neighbours(blank, 4))
        self.browser.click(self.context, *web.cell_centre(window, tile, 4))
        self.screen(lambda image, window: web.find_blank(image, window, 4) == tile, "the blank where the tile was")


if __name__ == "__main__":
    arguments = sys.argv[2:] if len(sys.argv) > 1 and os.path.isdir(sys.argv[1]) else sys.argv[1:]
    unittest.main(argv=[sys.argv[0]] + arguments, verbosity=2)
