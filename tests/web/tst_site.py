#!/usr/bin/env python3
"""The built site in Debian's Chromium, headless: what only the web build
has to prove (the harness's scenarios play the game itself).

    tests/web/tst_site.py [SITE]        (build-web/ of the checkout)

Each test serves the site with scripts/web.sh --serve, drives a browser of
its own through the DevTools protocol with real mouse, touch and key
events, and judges by the screenshot and by Chromium's accessibility tree.
"""

import gzip
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import website as web  # noqa: E402
from devtools import Chromium, deadline_loop  # noqa: E402

SITE = web.site_dir()
TIMEOUT = 60

with open(os.path.join(web.ROOT, "resources", "texts.json"), encoding="utf-8") as f:
    TEXTS = json.load(f)

SWITCH = "Включване на екранния четец"
TILE_NAME = re.compile(r"^(?:Плочка (\d+)|Празно поле), ред (\d+), колона (\d+)$")


def eventually(probe, what, timeout=20):
    """The first true value of PROBE() within TIMEOUT seconds."""
    for _ in deadline_loop(timeout, 0.1):
        value = probe()
        if value:
            return value
    raise TimeoutError("%s: not within %s s" % (what, timeout))


def shown(page, timeout=TIMEOUT):
    """Waits until the screenshot shows the whole window with a board on
    it; returns the screenshot and the window's box."""
    def probe():
        image = page.screenshot()
        window = web.find_window(image)
        if window and window[2:] == web.WINDOW and web.find_blank(image, window, 4) is not None:
            return image, window
        return None
    return eventually(probe, "the window with its board on the screen", timeout)


def wait_screen(page, predicate, what, timeout=20):
    """The first screenshot for which PREDICATE holds."""
    def probe():
        image = page.screenshot()
        return image if predicate(image) else None
    return eventually(probe, what + " on the screen", timeout)


def tree_text(page):
    return " ".join(node["name"] for node in page.accessibility_tree())


class SiteTest(unittest.TestCase):
    def setUp(self):
        self.server = web.Server(SITE)
        self.browser = Chromium()
        self.page = self.browser.new_page(800, 600)

    def tearDown(self):
        self.browser.close()
        self.server.stop()

    def load(self):
        self.page.navigate(self.server.url, timeout=TIMEOUT)
        return shown(self.page)

    def blank(self, image, window, size=4):
        return web.find_blank(image, window, size)


class Page(SiteTest):
    def test_the_page_is_bulgarian(self):
        self.load()
        self.assertEqual(self.page.evaluate("document.documentElement.lang"), "bg")

    def test_every_file_comes_from_the_site(self):
        self.page.call("Network.enable")
        self.load()
        self.page.wait_for("navigator.serviceWorker.ready.then(() => true)", TIMEOUT)
        # Every request that goes out; data: addresses (Qt's own little
        # images) never leave the page.
        urls = [event["params"]["request"]["url"] for event in self.browser.connection.events
                if event["method"] == "Network.requestWillBeSent"
                and not event["params"]["request"]["url"].startswith("data:")]
        self.assertGreater(len(urls), 4)
        for url in urls:
            self.assertTrue(url.startswith(self.server.url), url)

    def test_the_manifest_makes_an_installable_app(self):
        with urllib.request.urlopen(self.server.url + "manifest.webmanifest") as response:
            manifest = json.load(response)
        self.assertEqual(manifest["name"], "Пъзел 15")
        self.assertEqual(manifest["display"], "standalone")
        sizes = {}
        for icon in manifest["icons"]:
            with urllib.request.urlopen(self.server.url + icon["src"]) as response:
                header = response.read(24)
            self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n", icon["src"])
            width, height = struct.unpack(">II", header[16:24])
            sizes[icon["sizes"]] = (width, height)
        self.assertEqual(sizes, {"192x192": (192, 192), "512x512": (512, 512)})

    def test_the_compressed_copies_hold_the_files(self):
        copies = [name for name in os.listdir(SITE) if name.endswith((".br", ".gz"))]
        self.assertTrue({"puzzle15.wasm.br", "puzzle15.wasm.gz", "puzzle15.js.br", "puzzle15.js.gz"}
                        <= set(copies), copies)
        for name in copies:
            path = os.path.join(SITE, name)
            with open(path[:-3], "rb") as f:
                original = f.read()
            if name.endswith(".gz"):
                with gzip.open(path) as f:
                    unpacked = f.read()
            else:
                unpacked = subprocess.run(["brotli", "-d", "-c", path], check=True,
                                          stdout=subprocess.PIPE).stdout
            self.assertEqual(unpacked, original, name)


class Window(SiteTest):
    def test_sharp_at_twice_the_pixels(self):
        self.page.call("Emulation.setDeviceMetricsOverride", {"width": 800, "height": 600,
                                                              "deviceScaleFactor": 2, "mobile": False})
        self.page.navigate(self.server.url, timeout=TIMEOUT)
        image = wait_screen(self.page, lambda image: web.find_window(image) is not None, "the window")
        image = wait_screen(self.page, lambda image: (web.find_window(image) or (0, 0, 0, 0))[2:] == (900, 692),
                            "the window at twice the pixels")
        # The canvas has a device pixel for each pixel on the screen.
        self.assertEqual(self.page.evaluate(
            "(c => [c.width, c.height])(document.querySelector('#qt-shadow-container')"
            ".shadowRoot.querySelector('canvas'))"), [900, 692])

    def test_the_widest_caption_fits_in_the_window_s_font(self):
        # "Нерешима" leaves the red at both ends of its button in the serif
        # font; a sans font fills the button (the harness checks the title).
        image, window = self.load()
        bx, by, bw, bh = web.CSS.area(*web.design.UNSOLVABLE[1:5])
        inked = [c for c in range(bx + 3, bx + bw - 3)
                 if image.crop(window[0] + c, window[1] + by + 4, 1, bh - 8).count((255, 0, 0), 40) < bh - 8]
        self.assertTrue(inked, "no caption on the button")
        self.assertGreaterEqual(min(inked) - bx, 8, "caption at the left end")
        self.assertGreaterEqual(bx + bw - 1 - max(inked), 8, "caption at the right end")


class Play(SiteTest):
    def counter(self, image, window):
        x, y, width, height = web.CSS.area(*web.design.COUNTER_TEXT)
        return image.crop(window[0] + x, window[1] + y, width, height).rows

    def test_a_tap_moves_a_tile(self):
        image, window = self.load()
        start, zero = self.blank(image, window), self.counter(image, window)
        tile = next(web.neighbours(start, 4))
        self.page.call("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 1})
        self.page.tap(*web.cell_centre(window, tile, 4))
        image = wait_screen(self.page, lambda image: self.blank(image, window) == tile, "the tapped tile moved")
        self.assertNotEqual(self.counter(image, window), zero, "the counter counts")

    def test_closing_the_window_leaves_a_message(self):
        self.load()
        self.page.key("q", "Ctrl")
        self.page.wait_for("!document.getElementById('closed').hidden", 20)
        self.assertIn("„Пъзел 15“ е затворен.", tree_text(self.page))
        self.assertIsNone(web.find_window(self.page.screenshot()))


class ScreenReader(SiteTest):
    def tiles(self):
        """The tiles in the tree: cell index by tile number (0 the blank)."""
        tiles = {}
        for node in self.page.accessibility_tree():
            match = TILE_NAME.match(node["name"]) if node["role"] == "button" else None
            if match:
                number = int(match.group(1) or 0)
                self.assertNotIn(number, tiles, "tile %d twice" % number)
                tiles[number] = (int(match.group(2)) - 1, int(match.group(3)) - 1)
        return tiles

    def test_the_switch_comes_first_and_speaks_bulgarian(self):
        self.load()
        switch = [n for n in self.page.accessibility_tree() if n["role"] == "button" and n["name"] == SWITCH]
        self.assertEqual(len(switch), 1)
        # From the start of the page, as when coming from the browser's
        # address bar, the first Tab reaches the switch.
        self.page.evaluate("document.body.tabIndex = -1; document.body.focus(); "
                           "document.body.removeAttribute('tabindex')")
        self.page.key("Tab")
        focused = [n for n in self.page.accessibility_tree() if n.get("focused") and n["role"] == "button"]
        self.assertEqual([n["name"] for n in focused], [SWITCH])

    def test_the_controls_by_name_before_and_after_a_move(self):
        image, window = self.load()
        switch = [n for n in self.page.accessibility_tree() if n["name"] == SWITCH][0]
        self.page.press_node(switch["backend"])
        tree = eventually(lambda: (lambda tree: tree if ("textbox", "Брой ходове") in tree else None)(
            {(n["role"], n["name"]): n for n in self.page.accessibility_tree()}), "the window's controls in the tree")
        for name in TEXTS["Command2"]:
            self.assertIn(("button", name), tree)
        self.assertEqual({n: tree[("radio", n)].get("checked") for n in TEXTS["Option1"]},
                         {"3": "false", "4": "true", "5": "false"})
        self.assertEqual(tree[("textbox", "Брой ходове")]["value"], "0")
        self.assertNotIn(SWITCH, [name for _, name in tree])
        self.assertNotIn(("textbox", ""), tree, "a text field without a name")
        tiles = self.tiles()
        self.assertEqual(sorted(tiles), list(range(16)))
        self.assertEqual(sorted(tiles.values()), [(r, c) for r in range(4) for c in range(4)])
        blank = self.blank(image, window)
        self.assertEqual(tiles[0], divmod(blank, 4), "the blank's name and the screen")
        # A move: the names follow the tiles, the counter's value counts.
        tile = next(web.neighbours(blank, 4))
        moved = [number for number, cell in tiles.items() if cell == divmod(tile, 4)][0]
        self.page.click(*web.cell_centre(window, tile, 4))
        wait_screen(self.page, lambda image: self.blank(image, window) == tile, "the tile moved")
        tiles = eventually(lambda: (lambda tiles: tiles if tiles[0] == divmod(tile, 4) else None)(self.tiles()),
                           "the blank's new name")
        self.assertEqual(tiles[moved], divmod(blank, 4))
        counter = [n for n in self.page.accessibility_tree() if n["name"] == "Брой ходове"][0]
        self.assertEqual(counter["value"], "1")
        # Another size: the tree holds that board's tiles only.
        self.page.click(*web.point(window, web.design.option_click(2)))
        tiles = eventually(lambda: (lambda tiles: tiles if len(tiles) == 25 else None)(self.tiles()),
                           "the 5 by 5 board's tiles")
        self.assertEqual(sorted(tiles.values()), [(r, c) for r in range(5) for c in range(5)])


class Offline(SiteTest):
    def test_the_second_visit_needs_no_network(self):
        self.load()
        self.page.wait_for("navigator.serviceWorker.ready.then(() => !!navigator.serviceWorker.controller)",
                           TIMEOUT)
        # No server and no HTTP cache: only the service worker can answer.
        self.server.stop()
        self.page.call("Network.enable")
        self.page.call("Network.setCacheDisabled", {"cacheDisabled": True})
        self.page.reload(timeout=TIMEOUT)
        shown(self.page)

    def test_a_new_release_replaces_the_cached_one(self):
        # A copy of the site, served and visited; then changed as a new
        # release changes it: another page, and a service worker of another
        # release.
        copy = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, copy)
        shutil.copytree(SITE, copy, dirs_exist_ok=True)
        self.server.stop()
        self.server = web.Server(copy)
        self.load()
        self.page.wait_for("navigator.serviceWorker.ready.then(() => !!navigator.serviceWorker.controller)",
                           TIMEOUT)
        old = eventually(lambda: self.page.evaluate("caches.keys()"), "the release's cache")
        with open(os.path.join(copy, "sw.js"), encoding="utf-8") as f:
            worker = f.read()
        self.assertEqual(len(old), 1)
        self.assertIn("'%s'" % old[0], worker)
        with open(os.path.join(copy, "sw.js"), "w", encoding="utf-8") as f:
            f.write(worker.replace("'%s'" % old[0], "'%s-next'" % old[0]))
        with open(os.path.join(copy, "index.html"), encoding="utf-8") as f:
            page = f.read()
        with open(os.path.join(copy, "index.html"), "w", encoding="utf-8") as f:
            f.write(page.replace("<head>", '<head><meta name="release" content="next">', 1))
        for compressed in ("index.html.br", "index.html.gz"):
            os.remove(os.path.join(copy, compressed))
        # The visit after it finds the new worker, which takes over and
        # clears the old cache; the one after that is the new release.
        self.page.reload(timeout=TIMEOUT)
        eventually(lambda: self.page.evaluate("caches.keys()") == [old[0] + "-next"], "the new release's cache alone")
        self.page.reload(timeout=TIMEOUT)
        shown(self.page)
        self.assertEqual(self.page.evaluate("document.querySelector('meta[name=release]')?.content"), "next")


class Unable(SiteTest):
    def test_without_javascript_a_message(self):
        self.page.call("Emulation.setScriptExecutionDisabled", {"value": True})
        self.page.navigate(self.server.url, timeout=TIMEOUT)
        self.assertIn("„Пъзел 15“ работи в браузъра с JavaScript.", tree_text(self.page))
        self.assertIsNone(web.find_window(self.page.screenshot()))

    def test_without_webassembly_a_message(self):
        # A browser without WebAssembly, as old or locked-down ones are.
        self.page.call("Page.addScriptToEvaluateOnNewDocument", {"source": "delete window.WebAssembly;"})
        self.page.navigate(self.server.url, timeout=TIMEOUT)
        self.page.wait_for("!document.getElementById('no-webassembly').hidden", 20)
        self.assertIn("не може да изпълни „Пъзел 15“", tree_text(self.page))
        self.assertIsNone(web.find_window(self.page.screenshot()))


if __name__ == "__main__":
    # The site's folder, when given, comes first; the rest is unittest's.
    arguments = sys.argv[2:] if len(sys.argv) > 1 and os.path.isdir(sys.argv[1]) else sys.argv[1:]
    unittest.main(argv=[sys.argv[0]] + arguments, verbosity=2)
