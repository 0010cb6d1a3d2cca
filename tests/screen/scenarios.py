#!/usr/bin/python3
"""The program as a player meets it: started, played and judged only through
a driver (drivers.py), which gives it real input and reads its screen back,
against the window as design.py has it.

Usage:
  scenarios.py native PROGRAM --plugins QT_PLUGIN_DIR --lsan-suppressions FILE [--dpi DPI] [--scale FACTOR]
  scenarios.py wine WINE_RUN PREFIX EXE [--dpi DPI]
  scenarios.py chromium SITE [--ratio RATIO]
Each scenario starts the program afresh. One line per check: PASS, FAIL with
what the screen showed, or N/A with the capability the driver lacks; the exit
code is 1 when a check failed. PUZZLE15_SCREENSHOT_DIR, when set, receives
the first shot of a run and the shot of each failure (PPM).
"""

import argparse
import os
import re
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # nothing written beside the sources
import design as d  # noqa: E402
from drivers import DriverError, NativeDriver, WineDriver  # noqa: E402

WAIT = 20  # seconds for anything to show; a sanitized build on a busy machine is slow


def near(a, b, tolerance=10):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def rgb(c):
    return "(%d,%d,%d)" % c


def luminance(c):
    """Relative luminance as WCAG 2 defines it."""
    def linear(v):
        return v / 255 / 12.92 if v / 255 <= 0.03928 else ((v / 255 + 0.055) / 1.055) ** 2.4
    return 0.2126 * linear(c[0]) + 0.7152 * linear(c[1]) + 0.0722 * linear(c[2])


def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


def difference(seen, expected):
    """Where two pictures of a size differ."""
    spots = [(x, y) for y in range(seen.height) for x in range(seen.width) if seen.pixel(x, y) != expected.pixel(x, y)]
    if not spots:
        return "no pixel differs"
    x, y = spots[0]
    return "%d pixels differ, in %d,%d to %d,%d; the first shows %s for %s" % (
        len(spots), min(p[0] for p in spots), y, max(p[0] for p in spots), spots[-1][1],
        rgb(seen.pixel(x, y)), rgb(expected.pixel(x, y)))


class Stop(Exception):
    """A step failed that the rest of the scenario builds on."""


class Run:
    def __init__(self, driver):
        self.driver, self.s = driver, driver.scale
        self.failures, self.scenario, self.solved = 0, "", None

    def check(self, ok, what, seen="", shot=None):
        print("PASS: %s" % what if ok else "FAIL: %s: %s" % (what, seen or "no"), flush=True)
        if not ok:
            self.failures += 1
            self.save(shot, "fail%d" % self.failures)
        return ok

    def can(self, capability, what):
        if capability in self.driver.capabilities:
            return True
        print("N/A: %s: the %s driver has no %r" % (what, self.driver.name, capability))
        return False

    def save(self, shot, what):
        folder = os.environ.get("PUZZLE15_SCREENSHOT_DIR")
        if folder and shot is not None:
            name = re.sub(r"[^\w.+-]+", "_", "%s %s %s %s" % (self.driver.name, self.s, self.scenario, what))
            shot.save(os.path.join(folder, name.strip("_") + ".ppm"))

    def wait(self, condition, what, seen=None, timeout=WAIT):
        """Polls shots until condition(shot) holds, and returns that shot; or
        fails with what the last one showed, and stops the scenario."""
        deadline = time.monotonic() + timeout
        while True:
            shot = self.driver.shot()
            if shot is not None and condition(shot):
                self.check(True, what)
                return shot
            if time.monotonic() > deadline:
                self.check(False, what, "no shot" if shot is None else (seen or self.board_seen)(shot), shot)
                raise Stop()
            time.sleep(0.05)

    # What a shot shows.
    def at(self, shot, point):
        return shot.pixel(*self.s.point(*point))

    def board(self, shot, n):
        """The cell of an n by n board that shows the blank, when every other
        cell shows a numbered tile; or None; and what the board shows."""
        blank = None
        for i in range(n * n):
            c = self.at(shot, d.cell_sample(i, n))
            if near(c, d.BLACK) and blank is None:
                blank = i
            elif not near(c, d.TILE):
                return None, "cell %d of a %dx%d board shows %s" % (i, n, n, rgb(c))
        return blank, ("the blank in cell %d" % blank if blank is not None else "no cell is black")

    def blank(self, shot, n=4):
        return self.board(shot, n)[0]

    def board_seen(self, shot):
        """What the board shows: the first size that fits, else why not 4x4."""
        for n in (4, 3, 5):
            blank, seen = self.board(shot, n)
            if blank is not None:
                return "a %dx%d board, %s" % (n, n, seen)
        return self.board(shot, 4)[1]

    def blank_becomes(self, cell, what, n=4):
        return self.wait(lambda shot: self.blank(shot, n) == cell, what)

    def area(self, shot, area):
        return shot.crop(*self.s.area(*area))

    def beyond(self, shot, n):
        return ["%d,%d shows %s" % (p + (rgb(self.at(shot, p)),))
                for p in d.beyond_board(n) if not near(self.at(shot, p), d.LAVENDER)]

    def focus_mark(self, shot, corner, background):
        """The strongest contrast against the background along the top edge
        of the focus mark of the tile or button with that corner."""
        y = self.s.inside(corner[1], d.FOCUS_INSET)
        first, last = (self.s.inside(corner[0], p) for p in d.FOCUS_SPAN)
        return max(contrast(shot.pixel(x, y), background) for x in range(first, last + 1))

    def cell_focus(self, shot, cell, background=d.TILE):
        return self.focus_mark(shot, d.cell_corner(cell, 4), background)

    def shows_focus(self, shot, control):
        return self.focus_mark(shot, control[1:3], control.colour) >= 3

    def focus_on_board(self, shot):
        blank = self.blank(shot)
        return blank is not None and any(self.cell_focus(shot, i, d.BLACK if i == blank else d.TILE) >= 3
                                         for i in range(16))

    def any_focus(self, shot):
        return self.focus_on_board(shot) or any(self.shows_focus(shot, c) for c in d.COMMANDS)

    # Input and steps.
    def click(self, point):
        self.driver.click(*self.s.point(*point))

    def click_cell(self, cell, n=4):
        self.click(d.cell_click(cell, n))

    def start(self, appearance=None):
        started = time.monotonic()
        self.driver.start(appearance)
        shot = self.wait(lambda shot: self.blank(shot) is not None, "the program shows a 4x4 board with one blank tile",
                         timeout=60)
        print("     (shown and painted %.1f s after the start)" % (time.monotonic() - started))
        return shot

    def show_preset(self, command):
        """"Нерешима" or "Решение", waited for until its board shows, with the
        blank bottom right. Where the blank stands there already, the tile
        beside it moves first, so that the blank's return shows the press."""
        if self.blank(self.driver.shot()) == 15:
            self.click_cell(14)
            self.blank_becomes(14, "the tile in cell 14 moves into the blank in cell 15")
        self.click(d.click_point(command))
        return self.blank_becomes(15, "%s puts the blank bottom right" % command.name)


SCENARIOS = []


def scenario(name, appearances=False):
    def add(body):
        SCENARIOS.append((name, appearances, body))
        return body
    return add


@scenario("start-up")
def start_up(r):
    s, driver = r.s, r.driver
    shot = r.start()
    r.save(shot, "start")
    size = s.point(*d.CLIENT)
    r.check((shot.width, shot.height) == size, "the client area is %dx%d pixels at %s" % (size + (s,)),
            "it is %dx%d" % (shot.width, shot.height))
    if r.can("title", "the window's title"):
        title = driver.title()
        r.check(title == d.TITLE, "the window's title is %r" % d.TITLE, "it is %r" % title)
    if r.can("placement", "the window's edges on the screen"):
        # Its background reaches its last column and row; the bare screen
        # begins right after them.
        x, y, w, h = driver.geometry()
        screen = driver.screen()
        right, bottom = (x + w - 1, y + s.px(d.RIGHT_EDGE_Y)), (x + s.px(d.BOTTOM_EDGE_X), y + h - 1)
        edges = [screen.pixel(*right), screen.pixel(*bottom)]
        outside = [screen.pixel(right[0] + 1, right[1]), screen.pixel(bottom[0], bottom[1] + 1)]
        r.check((w, h) == size and all(near(c, d.LAVENDER) for c in edges)
                and not any(near(c, d.LAVENDER) for c in outside),
                "the window is %dx%d on the screen, its background up to its edges" % size,
                "%dx%d; its last column and row show %s, beyond them %s"
                % (w, h, " ".join(map(rgb, edges)), " ".join(map(rgb, outside))), screen)
    if r.can("centring", "the window's place when it opens"):
        (dx0, dx1), (dy0, dy1) = driver.centring

        def offset():
            x, y, w, h = driver.geometry()
            screen = driver.screen()
            return (x + w / 2 - screen.width / 2, y + h / 2 - screen.height / 2)
        # Polled: some platforms map the window first and move it afterwards.
        off, deadline = offset(), time.monotonic() + WAIT
        while not (dx0 <= off[0] <= dx1 and dy0 <= off[1] <= dy1) and time.monotonic() < deadline:
            time.sleep(0.1)
            off = offset()
        r.check(dx0 <= off[0] <= dx1 and dy0 <= off[1] <= dy1, "the window opens centred on the screen",
                "the client area's centre is off by %+.1f, %+.1f" % off)
    if r.can("frame", "the window's frame"):
        frame = driver.frame()
        print("     (%s)" % frame["hints"])
        r.check(frame["close"], "the frame has a close button", frame["hints"])
        r.check(frame["minimise"] is False, "the frame has no minimise button", frame["hints"])
        r.check(frame["maximise"] is False, "the frame has no maximise button", frame["hints"])
        r.check(frame["min"] == frame["max"] == size, "the window's least and largest size are its size",
                frame["hints"])
        if frame["resize"] is not None:
            r.check(not frame["resize"], "the frame offers no resizing", frame["hints"])

    r.check(not r.beyond(shot, 4), "nothing of the board beyond 4x4", "; ".join(r.beyond(shot, 4)), shot)
    # The title in the window's serif font fits its label with room to
    # spare; a wider font (one standing in for the serif's Cyrillic) is cut
    # off at both ends.
    columns, (top, bottom) = d.TITLE_ENDS
    ends = [shot.pixel(s.px(x), y) for x in columns for y in range(s.px(top), s.px(bottom))]
    ink = [c for c in ends if not near(c, d.PEACH)]
    r.check(not ink, "the title fits its label", "%d of %d pixels at its ends are not peach, e.g. %s"
            % (len(ink), len(ends), ink[:1] and rgb(ink[0])), shot)
    line = r.area(shot, d.DESCRIPTION_FIRST_LINE)
    dark = sum(1 for i in range(0, len(line.data), 3) if max(line.data[i:i + 3]) < 80)
    r.check(dark > 50 * s.factor(), "the description shows dark text", "%d dark pixels in its first line" % dark, shot)


def check_designed(r, shot, state):
    """Every background as designed, black text on it at a contrast of at
    least 4.5:1, black numbers on the tiles' colour and an all-black blank."""
    wrong = ["%s at %d,%d shows %s, not %s" % (what, p[0], p[1], rgb(r.at(shot, p)), rgb(c))
             for what, p, c in d.SPOTS if r.at(shot, p) != c]
    r.check(not wrong, "%s: every background as designed" % state, "; ".join(wrong), shot)

    def darkest(area):
        part = r.area(shot, area)
        return min((part.pixel(i, j) for j in range(part.height) for i in range(part.width)), key=luminance)
    weak, weakest = [], (21, "")
    for what, area, background in d.CAPTIONS:
        ink = darkest(area)
        weakest = min(weakest, (contrast(ink, background), what))
        if contrast(ink, background) < 4.5 or luminance(ink) >= luminance(background):
            weak.append("%s: ink %s on %s, %.2f:1" % (what, rgb(ink), rgb(background), contrast(ink, background)))
    r.check(not weak, "%s: dark captions at 4.5:1 or more (the weakest, %s, at %.2f:1)"
            % (state, weakest[1], weakest[0]), "; ".join(weak), shot)

    # Tile numbers are black: on the tiles' colour nothing reaches 4.5:1,
    # black comes closest (3.8:1). The blank is black through and through.
    blank, wrong = r.blank(shot), []
    for cell in range(16):
        if cell == blank:
            inside = r.area(shot, d.cell_corner(cell, 4) + (d.TILE_SIZE, d.TILE_SIZE))
            bevel = int(d.BEVEL * r.s.ratio + 0.5)
            inside = inside.crop(bevel, bevel, inside.width - 2 * bevel, inside.height - 2 * bevel)
            if inside.data.strip(b"\0"):
                wrong.append("the blank is not all black")
        elif max(darkest(d.tile_number(cell))) >= 40 or r.at(shot, d.cell_sample(cell, 4)) != d.TILE:
            wrong.append("cell %d shows %s, its number %s"
                         % (cell, rgb(r.at(shot, d.cell_sample(cell, 4))), rgb(darkest(d.tile_number(cell)))))
    r.check(blank is not None and not wrong, "%s: black numbers on tiles of %s, an all-black blank"
            % (state, rgb(d.TILE)), "; ".join(wrong) or "no blank", shot)


@scenario("designed colours", appearances=True)
def designed_colours(r, appearance):
    driver = r.driver
    name = appearance.name if appearance else "no desktop scheme"
    if appearance:
        # Qt quietly falls back to its own theme and style when one asked
        # for is missing, which would pass without testing anything.
        missing = [f for f in appearance.files if not os.path.exists(f)]
        if not r.check(not missing, "%s: its plugins are installed" % name,
                       "%s missing: scripts/deps.sh --tests installs them" % " ".join(missing)):
            return
    shot = r.start(appearance)
    active = "active" in driver.capabilities
    if not active and not r.can("focus", "%s: the window active and inactive" % name):
        check_designed(r, shot, name)
        return
    if not active:
        driver.activate()
    blank = r.blank(r.wait(r.any_focus, "%s: the active window shows a focus mark" % name))
    # The focus off the blank, onto the next tile.
    driver.press("Tab")
    check_designed(r, r.wait(lambda shot: r.cell_focus(shot, blank, d.BLACK) == 1 and r.focus_on_board(shot),
                             "%s: Tab moves the focus from the blank to a tile" % name), "%s, active" % name)
    if not r.can("focus", "%s: the window inactive" % name):
        return
    driver.deactivate()
    check_designed(r, r.wait(lambda shot: not r.any_focus(shot), "%s: the inactive window shows no focus mark" % name),
                   "%s, inactive" % name)

    # The frozen tiles look the same with every scheme, active or not.
    r.click(d.click_point(d.SOLUTION))
    solved = r.area(r.blank_becomes(15, "%s: %s shows the solved board" % (name, d.SOLUTION.name)), d.BOARD)
    if appearance is None:
        r.solved, plain = solved, "inactive"
        r.save(solved, "solved board")
    elif not r.check(r.solved is not None and solved == r.solved, "%s, inactive: the solved board as without a scheme"
                     % name, difference(solved, r.solved) if r.solved else "that was not seen", solved):
        return
    driver.activate()
    r.wait(lambda shot: r.area(shot, d.BOARD) == r.solved, "%s, active: the solved board as %s"
           % (name, "inactive" if appearance is None else "without a scheme"),
           lambda shot: difference(r.area(shot, d.BOARD), r.solved))


@scenario("space right after the start")
def space_after_start(r):
    active = "active" in r.driver.capabilities
    if not active and not r.can("focus", "the focus mark at the start"):
        return
    r.start()
    if not active:
        r.driver.activate()
    # The focus starts on the blank, and shows there once the window is active.
    before = r.wait(lambda shot: r.cell_focus(shot, r.blank(shot), d.BLACK) >= 3, "the blank has the focus, marked",
                    lambda shot: "the blank's mark at %.2f:1" % r.cell_focus(shot, r.blank(shot), d.BLACK))
    blank = r.blank(before)
    r.driver.press("space")
    # Tab, handled after the space, moves the focus off the blank; once that
    # shows, the space has been handled too. Shift+Tab brings the focus back,
    # and then the window must look as it did.
    r.driver.press("Tab")
    r.wait(lambda shot: r.cell_focus(shot, blank, d.BLACK) == 1 and r.focus_on_board(shot),
           "Tab after the space bar moves the focus to a tile",
           lambda shot: "the blank was in cell %d before the space bar; now %s" % (blank, r.board_seen(shot)))
    r.driver.press("shift+Tab")
    r.wait(lambda shot: shot == before, "the space bar on the blank tile changes nothing",
           lambda shot: "%s; %s" % (difference(shot, before), r.board_seen(shot)))

    # The keys do reach the program: the space bar on "Нова игра" deals anew.
    # The click deals first and takes the focus to the button.
    r.click(d.click_point(d.NEW_GAME))
    started = r.area(before, d.BOARD)
    dealt = r.area(r.wait(lambda shot: r.shows_focus(shot, d.NEW_GAME) and r.area(shot, d.BOARD) != started
                          and r.blank(shot) is not None, "a click on %s deals a new game" % d.NEW_GAME.name), d.BOARD)
    r.driver.press("space")
    r.wait(lambda shot: r.area(shot, d.BOARD) != dealt and r.blank(shot) is not None,
           "the space bar on %s deals a new game" % d.NEW_GAME.name)


@scenario("moves, the counter and taking back")
def moves(r):
    first = r.start()
    blank = r.blank(first)
    counter = r.area(first, d.COUNTER_TEXT)
    neighbour = blank - 1 if blank % 4 > 0 else blank + 1
    r.click_cell(neighbour)

    def seen(shot):
        return "%s; the counter %s as at the start; the focus %son %s" % (
            r.board_seen(shot), "the same" if r.area(shot, d.COUNTER_TEXT) == counter else "not",
            "" if r.shows_focus(shot, d.MOVE_BACK) else "not ", d.MOVE_BACK.name)
    moved = r.wait(lambda shot: r.blank(shot) == neighbour and r.area(shot, d.COUNTER_TEXT) != counter,
                   "a click on cell %d beside the blank moves its tile, and the counter counts" % neighbour, seen)
    r.click(d.click_point(d.MOVE_BACK))
    r.wait(lambda shot: r.blank(shot) == blank and r.area(shot, d.COUNTER_TEXT) == counter
           and r.shows_focus(shot, d.MOVE_BACK), "%s takes the move back, and the count with it" % d.MOVE_BACK.name,
           seen)
    # A tile two cells away does not move. The neighbour's click, handled
    # after it, must then give the very window of the first move: the same
    # tiles in the same cells, the counter at "1", the focus on the tile.
    far = blank - 2 if blank % 4 >= 2 else blank + 2
    r.click_cell(far)
    r.click_cell(neighbour)
    r.wait(lambda shot: shot == moved, "a tile two cells from the blank does not move; its neighbour moves again",
           lambda shot: "unlike the first move's window, %s; %s" % (difference(shot, moved), r.board_seen(shot)))


@scenario("the solved board is frozen")
def solved_board(r):
    r.start()
    r.show_preset(d.SOLUTION)
    frozen = r.wait(lambda shot: r.shows_focus(shot, d.SOLUTION), "%s keeps the focus" % d.SOLUTION.name)
    # Its neighbours above and to the left, and the blank itself. Tab,
    # handled after the clicks, takes the focus on from "Решение" to
    # "Ход назад"; once it shows there, nothing else may have changed.
    for cell in (14, 11, 15):
        r.click_cell(cell)
    r.driver.press("Tab")
    shot = r.wait(lambda shot: r.shows_focus(shot, d.MOVE_BACK),
                  "Tab takes the focus on to %s: no click on the frozen tiles took it" % d.MOVE_BACK.name)
    r.check(r.area(shot, d.BOARD) == r.area(frozen, d.BOARD), "a click moves no frozen tile", r.board_seen(shot), shot)
    r.check(r.area(shot, d.COUNTER_TEXT) == r.area(frozen, d.COUNTER_TEXT), "the counter stands still", "it changed",
            shot)


@scenario("the unsolvable board plays")
def unsolvable_board(r):
    r.start()
    r.show_preset(d.UNSOLVABLE)
    r.click_cell(14)
    r.blank_becomes(14, "on it the tile in cell 14 moves")


@scenario("the three sizes")
def sizes(r):
    r.start()
    for option, n in ((0, 3), (2, 5), (1, 4)):
        r.click(d.option_click(option))
        shot = r.wait(lambda shot: r.blank(shot, n) is not None and not r.beyond(shot, n),
                      "%s gives a %dx%d board that ends there" % (d.OPTIONS[option].name, n, n),
                      lambda shot: "; ".join([r.board(shot, n)[1]] + r.beyond(shot, n)))
        # And plays at that size: a neighbour of the blank moves.
        blank = r.blank(shot, n)
        neighbour = blank - n if blank >= n else blank + n
        r.click_cell(neighbour, n)
        r.blank_becomes(neighbour, "the tile above or below the blank moves on the %dx%d board" % (n, n), n)


@scenario("the arrow keys")
def arrow_keys(r):
    r.start()
    # The blank bottom right, cells 13 and 14 holding 15 and 14; the focus
    # on a tile far from the blank, which a click does not move.
    r.show_preset(d.UNSOLVABLE)
    r.click_cell(0)
    r.wait(lambda shot: r.cell_focus(shot, 0) >= 3, "a click on a tile gives it the focus")
    after_right = None
    # Each key, where the blank is afterwards, and the cell of the moved
    # tile, which has the focus.
    for key, blank, moved in (("Right", 14, 15), ("Left", 15, 14), ("Down", 11, 15), ("Up", 15, 11)):
        r.driver.press(key)
        shot = r.blank_becomes(blank, "%s slides a tile: the blank in cell %d" % (key, blank))
        after_right = after_right or r.area(shot, d.BOARD)
        marks = (r.cell_focus(shot, moved), r.cell_focus(shot, 0))
        r.check(marks[0] >= 3 and marks[1] == 1, "the focus goes with the tile into cell %d" % moved,
                "its mark at %.2f:1, cell 0's at %.2f:1" % marks, shot)
    # Toward the edges no tile lies on the blank's right or below it. Right,
    # handled after them, must then make the very board of the first step.
    for key in ("Left", "Up", "Right"):
        r.driver.press(key)
    r.wait(lambda shot: r.area(shot, d.BOARD) == after_right, "Left and Up toward the edges move nothing",
           lambda shot: "after Left, Up and Right: " + r.board_seen(shot))
    # The five moves went into the history: "Ход назад" takes them back.
    for blank in (15, 11, 15, 14, 15):
        r.click(d.click_point(d.MOVE_BACK))
        r.blank_becomes(blank, "%s takes a key's move back: the blank in cell %d" % (d.MOVE_BACK.name, blank))
    # On the blank the mark is light.
    r.click_cell(15)
    r.wait(lambda shot: r.cell_focus(shot, 15, d.BLACK) >= 3, "the blank's focus mark stands out",
           lambda shot: "at %.2f:1" % r.cell_focus(shot, 15, d.BLACK))


@scenario("the shortcuts")
def shortcuts(r):
    r.start()
    board = r.area(r.show_preset(d.UNSOLVABLE), d.BOARD)
    r.click_cell(14)
    r.blank_becomes(14, "cell 14 moves")
    r.click_cell(10)
    r.blank_becomes(10, "cell 10 moves")
    # Taking back, with the focus in the counter and in the description.
    r.click(d.COUNTER_CLICK)
    r.driver.press("ctrl+z")
    r.blank_becomes(14, "Ctrl+Z takes a move back, from the counter")
    r.click(d.DESCRIPTION_CLICK)
    r.driver.press("BackSpace")
    r.wait(lambda shot: r.area(shot, d.BOARD) == board, "Backspace takes a move back, from the description: "
           "the unsolvable board again")
    for key, label in (("F2", "F2"), ("ctrl+n", "Ctrl+N")):
        r.click(d.click_point(d.UNSOLVABLE))
        r.wait(lambda shot: r.area(shot, d.BOARD) == board and r.shows_focus(shot, d.UNSOLVABLE),
               "%s lays the unsolvable board out again" % d.UNSOLVABLE.name)
        r.driver.press(key)
        r.wait(lambda shot: r.area(shot, d.BOARD) != board and r.blank(shot) is not None, "%s deals a new game" % label)
    if r.can("exit", "Ctrl+Q ends the program"):
        r.driver.press("ctrl+q")
        code = r.driver.wait_exit(30)
        r.check(code == 0, "Ctrl+Q ends the program with exit code 0",
                "it runs on" if code is None else "exit code %s" % code)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    places = parser.add_subparsers(dest="place", required=True)
    native = places.add_parser("native")
    native.add_argument("program")
    native.add_argument("--plugins", required=True, help="Qt's plugin folder")
    native.add_argument("--lsan-suppressions", required=True)
    native.add_argument("--scale", type=float, default=1.0, help="Qt's scale factor")
    wine = places.add_parser("wine")
    for argument in ("wine_run", "prefix", "exe"):
        wine.add_argument(argument)
    for place in (native, wine):
        place.add_argument("--dpi", type=int, default=96)
    chromium = places.add_parser("chromium")
    chromium.add_argument("site", help="the web build's site folder")
    chromium.add_argument("--ratio", type=float, default=1.0, help="the page's device pixel ratio")
    args = parser.parse_args(argv)
    # CTest's timeout ends this process; its children and its X server end with it.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        if args.place == "native":
            driver = NativeDriver(args.program, args.dpi, args.plugins, args.lsan_suppressions, args.scale)
        elif args.place == "wine":
            driver = WineDriver(args.wine_run, args.prefix, args.exe, args.dpi)
        else:
            from browser import ChromiumDriver
            driver = ChromiumDriver(args.site, args.ratio)
    except (DriverError, OSError, ValueError, subprocess.SubprocessError) as error:
        print("FAIL: the %s driver does not start: %s" % (args.place, error))
        return 1
    r, started = Run(driver), time.monotonic()
    try:
        for name, appearances, body in SCENARIOS:
            for appearance in [None] + (driver.appearances if appearances else []):
                r.scenario = name + (", " + appearance.name if appearance else "")
                print("--- %s (%s, %s)" % (r.scenario, driver.name, driver.scale))
                if appearances and appearance is None:
                    r.can("appearances", "%s under desktop schemes and styles" % name)
                try:
                    body(r, appearance) if appearances else body(r)
                except Stop:
                    pass
                except (DriverError, OSError, ValueError, IndexError) as error:
                    r.check(False, "the scenario runs to its end", "%s: %s" % (type(error).__name__, error))
                finally:
                    driver.stop()
    finally:
        driver.close()
    print("%d failed, %.0f s" % (r.failures, time.monotonic() - started))
    return 1 if r.failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
