"""The web build in Debian's Chromium, headless, with the face of the other
drivers (drivers.py): the site served by scripts/web.sh --serve on a free
port, a fresh browser and profile for each start, input as the browser's own
mouse and key events through the DevTools protocol (tests/web/devtools.py),
and shots from its screenshots, cut to the window's canvas. Positions are
device pixels, CSS pixels times the page's device pixel ratio.

The page shows the window's caption as its title and the window in its
middle ("title", "placement", "centring"); the window is active from the
start, with the focus on the blank tile, and nothing in the page makes it
inactive ("active", not "focus"). The window has no frame and Ctrl+Q ends
no process: "frame" and "exit" stay out.
"""

import os
import sys

import design
from drivers import DriverError, Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "web"))
import devtools  # noqa: E402
import website  # noqa: E402

# xdotool's key names, as the scenarios give them, to the browser's.
KEYS = {"Right": ("ArrowRight",), "Left": ("ArrowLeft",), "Up": ("ArrowUp",), "Down": ("ArrowDown",),
        "space": ("Space",), "Tab": ("Tab",), "shift+Tab": ("Tab", "Shift"), "BackSpace": ("Backspace",),
        "F2": ("F2",), "ctrl+n": ("n", "Ctrl"), "ctrl+z": ("z", "Ctrl"), "ctrl+q": ("q", "Ctrl")}

# The page's own size: room around the window, as a browser's would give.
VIEWPORT = (1280, 800)
CANVAS = ("document.querySelector('#qt-shadow-container') && "
          "document.querySelector('#qt-shadow-container').shadowRoot.querySelector('canvas')")


class ChromiumDriver:
    name = "chromium"
    capabilities = {"title", "placement", "centring", "active"}
    appearances = []

    def __init__(self, site, ratio=1.0):
        self.scale = design.Scale(96, ratio)
        self.ratio = ratio
        # The page centres the window to the CSS pixel.
        self.centring = ((-ratio, ratio),) * 2
        self.browser = self.page = None
        try:
            self.server = website.Server(site)
        except (OSError, TimeoutError) as error:
            raise DriverError("the site is not served: %s" % error)

    def start(self, appearance=None):
        self.stop()
        try:
            self.browser = devtools.Chromium()
            self.page = self.browser.new_page(*VIEWPORT)
            self.page.call("Emulation.setDeviceMetricsOverride", {"width": VIEWPORT[0], "height": VIEWPORT[1],
                                                                  "deviceScaleFactor": self.ratio, "mobile": False})
            self.page.navigate(self.server.url, timeout=60)
            self.page.wait_for("(c => c && c.width > 0)(%s)" % CANVAS, timeout=60)
        except (devtools.ProtocolError, TimeoutError, RuntimeError, OSError) as error:
            self.stop()
            raise DriverError("the page shows no window: %s" % error)

    def stop(self):
        if self.browser:
            self.browser.close()
        self.browser = self.page = None

    def close(self):
        self.stop()
        self.server.stop()

    def canvas(self):
        """The window's canvas on the page, in CSS pixels: x, y, width, height."""
        return self.page.evaluate("(c => c && (r => [r.x, r.y, r.width, r.height])(c.getBoundingClientRect()))(%s)"
                                  % CANVAS)

    def screen(self):
        if not self.page:
            return None
        picture = self.page.screenshot()
        return Image(picture.width, picture.height, b"".join(picture.rows))

    def geometry(self):
        return tuple(int(round(v * self.ratio)) for v in self.canvas())

    def shot(self):
        # The browser cuts the screenshot to the canvas: a shot of device
        # pixels, as many as the canvas covers.
        try:
            box = self.canvas() if self.page else None
            if not box or box[2] <= 0 or box[3] <= 0:
                return None
            picture = self.page.screenshot(clip=box)
        except (devtools.ProtocolError, TimeoutError):
            return None
        if (picture.width, picture.height) != tuple(int(round(v * self.ratio)) for v in box[2:]):
            return None
        return Image(picture.width, picture.height, b"".join(picture.rows))

    def click(self, x, y):
        left, top = self.canvas()[:2]
        self.page.click(left + x / self.ratio, top + y / self.ratio)

    def press(self, key):
        self.page.key(*KEYS[key])

    def title(self):
        # The caption as written; the browser's tab shows it with its blanks
        # run together, as HTML shows any text.
        return self.page.evaluate("document.querySelector('title').textContent")
