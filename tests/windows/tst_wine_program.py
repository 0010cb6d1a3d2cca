#!/usr/bin/python3
"""puzzle15.exe under Wine, as a player meets it: started in its own X server
(Xvfb on a free display, no window manager) at a given Windows DPI (Wine's
LogPixels), driven only by real X input through xdotool and judged by what
the screen shows, read back with ImageMagick's import at points computed from
the window's layout in twips.

Usage: tst_wine_program.py WINE_RUN PREFIX PUZZLE15_EXE DPI
Every wait is a poll with a deadline; the program and the X server are ended
whatever happens.
"""

import os
import shutil
import subprocess
import sys
import time

WINE_RUN, PREFIX, EXE, DPI = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
SCALE = DPI / 96.0
TITLE = "www.puzzle15.example.org  Информатика - нареждане на матрица"

LAVENDER = (192, 192, 255)
BLACK = (0, 0, 0)
TILE = (120, 100, 100)
PERIWINKLE = (128, 128, 255)
PEACH = (255, 192, 128)
NEW_GAME = ("Нова игра", 120, 480, 1575, (0, 255, 0))
UNSOLVABLE = ("Нерешима", 5280, 2520, 1335, (255, 0, 0))
SOLUTION = ("Решение", 5280, 2040, 1335, (255, 128, 128))
MOVE_BACK = ("Ход назад", 120, 1080, 1575, (255, 128, 0))

failures = []


def px(twips):
    """Twips to pixels: 1440 twips to the logical inch."""
    return int(round(twips * DPI / 1440.0))


def near(a, b, tolerance=10):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def check(condition, what):
    if condition:
        print("PASS: %s" % what)
    else:
        print("FAIL: %s" % what)
        failures.append(what)
    return condition


def wait_for(condition, timeout=10.0, interval=0.05):
    """Polls condition() until it returns a true value or the deadline passes."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result or time.monotonic() > deadline:
            return result
        time.sleep(interval)


class Screen:
    """A screenshot of the whole X screen, as RGB rows."""

    def __init__(self, ppm):
        # Binary PPM: "P6\n<w> <h>\n<max>\n" then the pixels.
        fields = []
        pos = 0
        while len(fields) < 4:
            while ppm[pos:pos + 1].isspace():
                pos += 1
            if ppm[pos:pos + 1] == b"#":
                pos = ppm.index(b"\n", pos) + 1
                continue
            end = pos
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[pos:end])
            pos = end
        self.width, self.height = int(fields[1]), int(fields[2])
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise RuntimeError("not an 8-bit binary PPM: %r" % fields)
        self.data = ppm[pos + 1:]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def region(self, x, y, w, h):
        return b"".join(self.data[((y + r) * self.width + x) * 3:((y + r) * self.width + x + w) * 3]
                        for r in range(h))


class Session:
    def __init__(self):
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24",
                                      "-nolisten", "tcp", "-noreset"],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        number = self.xvfb.stdout.readline().strip().decode()
        if not number:
            raise RuntimeError("Xvfb named no display")
        self.env = dict(os.environ, DISPLAY=":" + number)
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "QT_FONT_DPI"):
            self.env.pop(name, None)
        self.program = None
        self.window = None
        self.origin = (0, 0)
        self.size = (0, 0)

    def run(self, *command, timeout=30):
        # The X tools match and print the window's UTF-8 name only in a
        # UTF-8 locale, whatever the caller's (CI runs with LC_ALL=C).
        return subprocess.run(command, env=dict(self.env, LC_ALL="C.UTF-8"), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              timeout=timeout, check=False).stdout

    def wine(self, *command, timeout=120):
        return subprocess.run([WINE_RUN, PREFIX] + list(command), env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=timeout, check=False)

    def set_dpi(self, dpi):
        # Wine reads the first; older Wines the second.
        for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
            result = self.wine("reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
            if result.returncode != 0:
                raise RuntimeError("reg add %s LogPixels failed" % key)
        # Wine 10 reads the DPI when its desktop starts and keeps it while
        # the prefix's server runs: let that end, so the program starts anew.
        wineserver = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
        subprocess.run([wineserver, "-w"], env=dict(self.env, WINEPREFIX=PREFIX), timeout=60, check=True)

    def start(self):
        self.stop()
        self.program = subprocess.Popen([WINE_RUN, PREFIX, EXE], env=self.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def find():
            if self.program.poll() is not None:
                raise RuntimeError("the program ended with %s" % self.program.returncode)
            ids = self.run("xdotool", "search", "--onlyvisible", "--name", "Информатика").split()
            return ids
        ids = wait_for(find, timeout=60)
        if not ids:
            raise RuntimeError("no window appeared:\n%s" % self.run("xwininfo", "-root", "-tree").decode())
        check(len(ids) == 1, "the program shows one window (%d)" % len(ids))
        self.window = ids[0].decode()

        # Wine maps the window first and centres it afterwards: read where
        # it is until the board shows there.
        def placed():
            self.read_geometry()
            return self.blank_cell(self.grab(), 4) is not None
        if not wait_for(placed, timeout=30):
            raise RuntimeError("the board never showed one blank tile (window at %s, %s)" % (self.origin, self.size))

    def read_geometry(self):
        values = {}
        for line in self.run("xdotool", "getwindowgeometry", "--shell", self.window).decode().split():
            name, _, value = line.partition("=")
            values[name] = int(value) if value.isdigit() else value
        self.origin = (values.get("X", 0), values.get("Y", 0))
        self.size = (values.get("WIDTH", 0), values.get("HEIGHT", 0))

    def stop(self):
        if self.program and self.program.poll() is None:
            self.program.kill()
            self.program.wait(10)
        self.program = None

    def close(self):
        self.stop()
        self.xvfb.kill()
        self.xvfb.wait(10)

    def screen(self):
        # 8 bits a channel: ImageMagick reads the X screen at 16.
        return Screen(self.run("import", "-window", "root", "-depth", "8", "ppm:-"))

    def grab(self):
        """The screen with the client area's origin: (screen, ox, oy)."""
        return (self.screen(), self.origin[0], self.origin[1])

    def at(self, shot, left, top):
        screen, ox, oy = shot
        return screen.pixel(ox + px(left), oy + px(top))

    def cell_corner(self, i, n):
        return (2280 + 495 * (i % n), 480 + 495 * (i // n))

    def cell_colour(self, shot, i, n):
        x, y = self.cell_corner(i, n)
        return self.at(shot, x + 100, y + 100)

    def blank_cell(self, shot, n):
        """The one cell of an n-board showing the blank, when every other cell shows a tile."""
        blank = None
        for i in range(n * n):
            c = self.cell_colour(shot, i, n)
            if near(c, BLACK):
                if blank is not None:
                    return None
                blank = i
            elif not near(c, TILE):
                return None
        return blank

    def board_area(self, shot):
        screen, ox, oy = shot
        return screen.region(ox + px(2280), oy + px(480), px(495 * 4 + 500), px(495 * 4 + 500))

    def tiles(self, shot, n):
        """Each cell's middle, where its number is, inside any focus mark."""
        screen, ox, oy = shot
        return [screen.region(ox + px(x + 100), oy + px(y + 100), px(295), px(295))
                for x, y in (self.cell_corner(i, n) for i in range(n * n))]

    def counter_area(self, shot):
        # The counter box at (960, 1680), inside its border.
        screen, ox, oy = shot
        return screen.region(ox + px(960) + 3, oy + px(1680) + 3, px(735) - 6, px(375) - 6)

    def click(self, left, top):
        self.run("xdotool", "mousemove", "0", "0")
        self.run("xdotool", "mousemove", "--sync", str(self.origin[0] + px(left)), str(self.origin[1] + px(top)),
                 "click", "1")

    def click_command(self, command):
        self.click(command[1] + command[3] / 2, command[2] + 187)

    def click_cell(self, i, n):
        x, y = self.cell_corner(i, n)
        self.click(x + 250, y + 250)

    def click_option(self, index):
        self.click(5520 + 120 + 105, 480 + 300 * (index + 1) + 150)

    def press(self, key):
        # The pointer rests on the bare background; the key goes to the focus.
        self.run("xdotool", "mousemove", str(self.origin[0] + px(1900)), str(self.origin[1] + px(2700)),
                 "key", key)

    def shows_focus(self, shot, command):
        """The dotted focus mark, 3 pixels inside the button: pixels of
        another colour in its top-left corner, left of any caption."""
        _, left, top, _, colour = command
        marks = 0
        for y in range(int(2 * SCALE), int(6 * SCALE) + 1):
            for x in range(int(4 * SCALE), int(18 * SCALE)):
                c = shot[0].pixel(shot[1] + px(left) + x, shot[2] + px(top) + y)
                if not near(c, colour, 80):
                    marks += 1
        return marks >= 3

    def blank_becomes(self, n, cell, timeout=10):
        return wait_for(lambda: self.blank_cell(self.grab(), n) == cell, timeout=timeout)


def window_and_colours(s):
    check(s.run("xdotool", "getwindowname", s.window).decode().rstrip("\n") == TITLE, "the exact title")
    expected = (px(6750), px(5190))
    check(s.size == expected, "client area %dx%d at %d DPI (got %dx%d)" % (expected + (DPI,) + s.size))
    screen = s.screen()
    # Windows centres the whole window, title bar and borders included:
    # the client area sits right of and below the screen's centre by the
    # frame, a few pixels across and the title bar's height down.
    dx = s.origin[0] + s.size[0] / 2 - screen.width / 2
    dy = s.origin[1] + s.size[1] / 2 - screen.height / 2
    check(-4 <= dx <= 4 and 5 <= dy <= 25 * SCALE + 10, "centred (client centre off by %+.1f, %+.1f)" % (dx, dy))

    # The frame: fixed, with a close button and no minimise or maximise.
    # Wine tells X through the Motif hints what the window's style allows.
    hints = s.run("xprop", "-id", s.window, "_MOTIF_WM_HINTS").decode()
    print("  %s" % hints.strip())
    normal = s.run("xprop", "-id", s.window, "WM_NORMAL_HINTS").decode()
    print("  %s" % " ".join(normal.split()))
    check_frame(hints, normal)

    shot = s.grab()
    for left, top in ((1900, 2700), (4900, 1000), (60, 2400), (6700, 2900), (3000, 2800)):
        c = s.at(shot, left, top)
        check(near(c, LAVENDER), "background at %d,%d is lavender %s" % (left, top, c))
    # Just inside the bevel and above the caption, which may span nearly the
    # whole button ("Нерешима") and whose top differs between Wine's fonts.
    for caption, left, top, _, colour in (NEW_GAME, UNSOLVABLE, SOLUTION, MOVE_BACK):
        c = s.at(shot, left + 100, top + 45)
        check(near(c, colour), "%s shows %s (%s)" % (caption, colour, c))
    c = s.at(shot, 1200 + 60, 60)
    check(near(c, PEACH), "the title label is peach (%s)" % (c,))
    # The title in the window's serif font fits its label with room to spare;
    # a wider font (one standing in for the serif's Cyrillic) is cut off at
    # both ends.
    screen, ox, oy = shot
    edges = [screen.pixel(ox + px(left), oy + y) for left in (1200 + 45, 1200 + 4695 - 45)
             for y in range(px(60), px(315))]
    peach = sum(1 for c in edges if near(c, PEACH))
    check(peach == len(edges), "the title fits its label (%d of %d pixels at its ends peach)" % (peach, len(edges)))
    for i in range(3):
        c = s.at(shot, 5520 + 120 + 615 - 60, 480 + 300 * (i + 1) + 150)
        check(near(c, PERIWINKLE), "option %d is periwinkle (%s)" % (i, c))
    check(s.blank_cell(shot, 4) is not None, "a 4x4 board with one blank tile")
    check(all(near(s.cell_colour(shot, 4 + 5 * i, 5), LAVENDER) and near(s.cell_colour(shot, 20 + i, 5), LAVENDER)
              for i in range(5)), "nothing of the board beyond 4x4")
    # Black text on the description: dark pixels in its first line.
    screen, ox, oy = shot
    dark = sum(1 for x in range(px(120), px(6600)) for y in range(px(3060), px(3060) + px(240))
               if max(screen.pixel(ox + x, oy + y)) < 80)
    check(dark > 50 * SCALE, "the description shows dark text (%d dark pixels in its first line)" % dark)


def check_frame(hints, normal):
    # _MOTIF_WM_HINTS = flags, functions, decorations, ...; functions bits:
    # 2 resize, 8 minimise, 16 maximise, 32 close.
    values = [int(v.strip(), 0) for v in hints.split("=", 1)[1].split(",")] if "=" in hints else []
    if not check(len(values) >= 3, "Wine states the window's functions"):
        return
    functions = values[1]
    check(functions & 32, "a close button")
    check(not functions & 8, "no minimise button")
    check(not functions & 16, "no maximise button")
    check(not functions & 2, "no resizing")


def moves_counter_and_back(s):
    shot = s.grab()
    blank = s.blank_cell(shot, 4)
    counter_before = s.counter_area(shot)
    neighbour = blank - 1 if blank % 4 > 0 else blank + 1
    s.click_cell(neighbour, 4)
    check(s.blank_becomes(4, neighbour), "a click on the tile beside the blank moves it")
    check(wait_for(lambda: s.counter_area(s.grab()) != counter_before), "the counter changes with the move")
    moved = s.board_area(s.grab())
    s.click_command(MOVE_BACK)
    check(s.blank_becomes(4, blank), "\"Ход назад\" takes the move back")
    check(wait_for(lambda: s.counter_area(s.grab()) == counter_before), "the counter is back where it was")
    far = blank - 2 if blank % 4 >= 2 else blank + 2
    s.click_cell(far, 4)
    # The far click must change nothing. The neighbour's click after it is
    # handled after it: once that move shows, the board must be the one
    # that move alone made.
    s.click_cell(neighbour, 4)
    check(s.blank_becomes(4, neighbour), "the tile beside the blank moves again")
    check(s.board_area(s.grab()) == moved, "a tile two cells away does not move")


def presets(s):
    s.click_command(SOLUTION)
    check(s.blank_becomes(4, 15) and wait_for(lambda: s.shows_focus(s.grab(), SOLUTION)),
          "\"Решение\" puts the blank bottom right and keeps the focus")
    frozen = s.grab()
    # The blank's neighbours and the blank itself. Tab, handled after the
    # clicks, takes the focus from "Решение" to "Ход назад"; once it shows
    # there, nothing else may have changed.
    for cell in (14, 11, 15):
        s.click_cell(cell, 4)
    s.press("Tab")
    check(wait_for(lambda: s.shows_focus(s.grab(), MOVE_BACK)), "Tab takes the focus on to \"Ход назад\"")
    shot = s.grab()
    check(s.board_area(shot) == s.board_area(frozen), "the solved board is frozen")
    check(s.counter_area(shot) == s.counter_area(frozen), "and the counter stands still")
    s.click_command(UNSOLVABLE)
    check(s.blank_becomes(4, 15), "\"Нерешима\" puts the blank bottom right")
    s.click_cell(14, 4)
    check(s.blank_becomes(4, 14), "and there the tile beside it moves")


def board_sizes(s):
    for option, size in ((0, 3), (2, 5), (1, 4)):
        s.click_option(option)
        check(wait_for(lambda: s.blank_cell(s.grab(), size) is not None), "option %d gives a %dx%d board"
              % (option, size, size))
        if size < 5:
            shot = s.grab()
            check(all(near(s.cell_colour(shot, size + (size + 1) * i, size + 1), LAVENDER) for i in range(size + 1)),
                  "the %dx%d board ends there" % (size, size))


def keys(s):
    s.click_command(UNSOLVABLE)
    check(s.blank_becomes(4, 15), "\"Нерешима\" again")
    unsolvable = s.tiles(s.grab(), 4)
    # The focus on a tile far from the blank; X delivers the click before
    # the keys that follow.
    s.click_cell(0, 4)
    s.press("Right")
    check(s.blank_becomes(4, 14), "Right slides the tile left of the blank")
    s.press("Down")
    check(s.blank_becomes(4, 10), "Down slides the tile above the blank")
    s.press("ctrl+z")
    check(s.blank_becomes(4, 14), "Ctrl+Z takes a move back")
    s.press("BackSpace")
    check(s.blank_becomes(4, 15), "Backspace takes a move back")
    # The focus mark went with the moved tiles: compare the numbers.
    check(s.tiles(s.grab(), 4) == unsolvable, "back at the unsolvable board")
    s.press("F2")
    check(wait_for(lambda: s.tiles(s.grab(), 4) != unsolvable and s.blank_cell(s.grab(), 4) is not None),
          "F2 deals a new game")
    s.press("ctrl+q")
    try:
        code = s.program.wait(30)
    except subprocess.TimeoutExpired:
        code = None
    check(code == 0, "Ctrl+Q ends the program with 0 (%s)" % code)


def main():
    s = Session()
    try:
        s.set_dpi(DPI)
        started = time.monotonic()
        s.start()
        print("window shown and painted %.1f s after start" % (time.monotonic() - started))
        window_and_colours(s)
        moves_counter_and_back(s)
        presets(s)
        board_sizes(s)
        keys(s)
        shots = os.environ.get("PUZZLE15_SCREENSHOT_DIR")
        if shots:
            s.start()
            s.run("import", "-window", "root", os.path.join(shots, "wine-%ddpi.png" % DPI))
    except Exception as error:  # a failed start or a broken tool: a failure, said plainly
        failures.append(str(error))
        print("FAIL: %s" % error)
    finally:
        s.stop()
        s.close()
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
