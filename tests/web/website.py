"""What the web tests share: the built site served on a free port of
127.0.0.1, and the window found in a screenshot by its own pixels.

The window's geometry comes from the design in twips (tests/screen/design.py,
15 twips a CSS pixel at 96 dots per inch), not from the program.
"""

import os
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, os.path.join(ROOT, "tests", "screen"))

import design  # noqa: E402

# CSS pixels at 100 %.
CSS = design.Scale(96)
WINDOW = CSS.point(*design.CLIENT)           # 450 by 346
LAVENDER = design.LAVENDER                   # the window's background
BLACK = design.BLACK


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Server:
    """scripts/web.sh --serve on a free port, for as long as it is wanted."""

    def __init__(self, site):
        self.port = free_port()
        self.url = "http://127.0.0.1:%d/" % self.port
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen([os.path.join(ROOT, "scripts", "web.sh"), "--serve", str(self.port)],
                                        env=dict(os.environ, PUZZLE15_WEB_SITE=site),
                                        stdout=self.log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        end = time.monotonic() + 20
        while time.monotonic() < end:
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return
            except OSError:
                time.sleep(0.05)
        self.stop()
        raise TimeoutError("the server on port %d did not start" % self.port)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()


def find_window(image):
    """The top-left corner of the window in a screenshot: the bounding box
    of its lavender background, which must be the window's size."""
    xs, ys = [], []
    for y in range(image.height):
        row = image.rows[y]
        for x in range(0, image.width, 1):
            if tuple(row[3 * x:3 * x + 3]) == LAVENDER:
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    return min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def cell_box(window, index, size):
    """The inner part of cell INDEX (row-major) of a SIZE by SIZE board,
    clear of the tile's edges, as (x, y, width, height) in the screenshot."""
    x, y = CSS.point(*design.cell_corner(index, size))
    margin, tile = 5, CSS.px(design.TILE_SIZE)
    return window[0] + x + margin, window[1] + y + margin, tile - 2 * margin, tile - 2 * margin


def black_share(image, box):
    x, y, width, height = box
    part = image.crop(x, y, width, height)
    return part.count(BLACK, 8) / float(width * height)


def find_blank(image, window, size):
    """The cell of the blank tile: the one cell that is nearly all black."""
    blanks = [i for i in range(size * size) if black_share(image, cell_box(window, i, size)) > 0.6]
    return blanks[0] if len(blanks) == 1 else None


def point(window, twips):
    """A point of the window, given in twips, on the page."""
    x, y = CSS.point(*twips)
    return window[0] + x, window[1] + y


def cell_centre(window, index, size):
    return point(window, design.cell_click(index, size))


def neighbours(index, size):
    row, column = divmod(index, size)
    for r, c in ((row - 1, column), (row + 1, column), (row, column - 1), (row, column + 1)):
        if 0 <= r < size and 0 <= c < size:
            yield r * size + c


def site_dir():
    """The site a test runs on: the folder given first on its command line,
    or the checkout's build-web/."""
    if len(sys.argv) > 1 and os.path.isdir(sys.argv[1]):
        return os.path.abspath(sys.argv[1])
    return os.path.join(ROOT, "build-web")
