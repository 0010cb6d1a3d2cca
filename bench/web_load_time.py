#!/usr/bin/env python3
"""Cold loads of the web build in headless Chromium: the time from the
navigation to the first frame that shows the board, each load in a fresh
browser with a fresh profile (no HTTP cache, no service worker, no compiled
code kept), then the median. See docs/performance.md.

    bench/web_load_time.py [URL] [RUNS]     (http://127.0.0.1:8015/, 10)

The page is watched from inside, at every animation frame, by a script that
the browser runs before the page's own: it reads the window's canvas and
takes the first frame in which the board's cells hold the black blank tile
and the window around them its light lavender blue. The time is that
frame's, from the navigation's start (performance.now()).
"""

import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))

from devtools import Chromium  # noqa: E402

# The board's cells on the canvas, in CSS pixels: from the cell template at
# (2280, 480) twips, four cells of 495 twips and a tile of 500 (15 twips a
# pixel); and a point of the window's own background.
WATCH = r"""
(() => {
    const board = { x: 152, y: 32, width: 133, height: 133 };
    const background = { x: 2, y: 2 };
    const watch = () => {
        const host = document.querySelector('#qt-shadow-container');
        const canvas = host && host.shadowRoot && host.shadowRoot.querySelector('canvas');
        if (canvas && canvas.width >= 450) {
            const scale = canvas.width / canvas.getBoundingClientRect().width;
            const context = canvas.getContext('2d');
            const pixels = context.getImageData(board.x * scale, board.y * scale,
                                                board.width * scale, board.height * scale).data;
            let black = 0;
            for (let i = 0; i < pixels.length; i += 4)
                if (pixels[i] === 0 && pixels[i + 1] === 0 && pixels[i + 2] === 0 && pixels[i + 3] === 255)
                    ++black;
            const back = context.getImageData(background.x * scale, background.y * scale, 1, 1).data;
            const blank = 28 * 28 * scale * scale;
            if (black >= blank && back[0] === 192 && back[1] === 192 && back[2] === 255) {
                window.puzzle15FirstBoard = performance.now();
                return;
            }
        }
        requestAnimationFrame(watch);
    };
    requestAnimationFrame(watch);
})();
"""


def cold_load(url):
    with Chromium() as browser:
        page = browser.new_page(800, 600)
        page.call("Page.addScriptToEvaluateOnNewDocument", {"source": WATCH})
        page.navigate(url, timeout=60)
        return page.wait_for("window.puzzle15FirstBoard", timeout=60)


def main():
    url = sys.argv[1] if len(sys.argv) > 1 else "http://127.0.0.1:8015/"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    times = []
    for run in range(runs):
        times.append(cold_load(url))
        print("load %d: first board after %.0f ms" % (run + 1, times[-1]), flush=True)
    print("median of %d cold loads: %.0f ms (fastest %.0f, slowest %.0f)"
          % (runs, statistics.median(times), min(times), max(times)))


if __name__ == "__main__":
    main()
