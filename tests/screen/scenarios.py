#!/usr/bin/python3
"""The program as a player meets it: started, played and judged only through
a driver (drivers.py), which gives real input and reads the screen back. What
the window should show comes from design.py.

Usage:
  scenarios.py native PROGRAM --dpi DPI --plugins QT_PLUGIN_DIR --lsan-suppressions FILE
  scenarios.py wine WINE_RUN PREFIX EXE --dpi DPI
Each scenario starts the program afresh. One line per check: PASS, FAIL (with
what the screen showed) or N/A (with the capability the driver lacks); the
exit code is 1 when any check failed. PUZZLE15_SCREENSHOT_DIR, when set,
receives the first shot of each run and the shot of each failure, as PNG.
"""

import sys

sys.dont_write_bytecode = True  # nothing written beside the sources

import argparse  # noqa: E402
import os  # noqa: E402
import signal  # noqa: E402
import time  # noqa: E402

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
        s = v / 255.0
        return s / 12.92 if s <= 0.03928 else ((s + 0.055) / 1.055) ** 2.4
    return 0.2126 * linear(c[0]) + 0.7152 * linear(c[1]) + 0.0722 * linear(c[2])


def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


class Stop(Exception):
    """A step failed that the rest of the scenario builds on."""


class Run:
    def __init__(self, driver):
        self.driver, self.s = driver, driver.scale
        self.failures, self.scenario, self.solved = 0, "", None
        self.shots = os.environ.get("PUZZLE15_SCREENSHOT_DIR")

    # Results.
    def check(self, ok, what, seen="", shot=None):
        if ok:
            print("PASS: %s" % what)
        else:
            self.failures += 1
            print("FAIL: %s: %s" % (what, seen or "no"))
            self.save(shot, "fail%d" % self.failures)
        sys.stdout.flush()
        return ok

    def can(self, capability, what):
        if capability in self.driver.capabilities:
            return True
        print("N/A: %s: the %s driver has no %r" % (what, self.driver.name, capability))
        return False

    def save(self, shot, what):
        if self.shots and shot is not None:
            name = "%s-%s-%s-%s.png" % (self.driver.name, self.s, self.scenario, what)
            shot.save(os.path.join(self.shots, name.replace(" ", "_").replace("/", "_")))

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
        cell shows a numbered tile; or None, and why."""
        blank = None
        for i in range(n * n):
            c = self.at(shot, d.cell_sample(i, n))
            if near(c, d.BLACK):
                if blank is not None:
                    return None, "cells %d and %d are both black" % (blank, i)
                blank = i
            elif not near(c, d.TILE):
                return None, "cell %d of a %dx%d board shows %s" % (i, n, n, rgb(c))
        return blank, ("the blank in cell %d" % blank if blank is not None else "no cell is black")

    def blank(self, shot, n=4):
        return self.board(shot, n)[0]

    def board_seen(self, shot):
        return "; ".join(self.board(shot, n)[1] for n in (4, 3, 5))

    def blank_becomes(self, cell, what, n=4):
        return self.wait(lambda shot: self.blank(shot, n) == cell, what)

    def board_area(self, shot):
        """The largest board's square, 5 by 5 cells."""
        side = 4 * d.PITCH + d.TILE_SIZE
        return shot.crop(*self.s.area(d.CELLS[0], d.CELLS[1], side, side))

    def counter_area(self, shot):
        x, y, w, h = self.s.area(d.COUNTER.left, d.COUNTER.top, d.COUNTER.width, d.COUNTER.height)
        inset = self.s.pixels(3)  # inside its border
        return shot.crop(x + inset, y + inset, w - 2 * inset, h - 2 * inset)

    def beyond(self, shot, n):
        """Spots past the n by n board that show something else than the
        window's background: the band right of it and below it, and every
        cell of a 5 by 5 board outside it."""
        end_x, end_y = d.board_end(n)
        spots = [(end_x + 45, d.cell_click(i * n, n)[1]) for i in range(n)]
        spots += [(d.cell_click(i, n)[0], end_y + 20) for i in range(n)]
        spots += [d.cell_sample(i, 5) for i in range(25) if i % 5 >= n or i // 5 >= n]
        return ["%d,%d shows %s" % (p + (rgb(self.at(shot, p)),)) for p in spots if not near(self.at(shot, p), d.LAVENDER)]

    def focus_mark(self, shot, corner, background):
        """The strongest contrast against the background along the top edge
        of the focus mark of the tile or button with that corner."""
        y = self.s.inside(corner[1], d.FOCUS_INSET)
        first, last = (self.s.inside(corner[0], p) for p in d.FOCUS_SPAN)
        return max(contrast(shot.pixel(x, y), background) for x in range(first, last + 1))

    def cell_focus(self, shot, cell, background=d.TILE):
        return self.focus_mark(shot, d.cell_corner(cell, 4), background)

    def shows_focus(self, shot, control):
        return self.focus_mark(shot, (control.left, control.top), control.colour) >= 3

    def focus_on_board(self, shot):
        blank = self.blank(shot)
        return blank is not None and any(self.cell_focus(shot, i, d.BLACK if i == blank else d.TILE) >= 3
                                         for i in range(16))

    def any_focus(self, shot):
        return self.focus_on_board(shot) or any(self.shows_focus(shot, c) for c in d.COMMANDS)

    # Input.
    def click(self, point):
        self.driver.click(*self.s.point(*point))

    def click_cell(self, cell, n=4):
        self.click(d.cell_click(cell, n))

    def press(self, key):
        self.driver.press(key)

    # Steps.
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
            self.blank_becomes(14, "cell 14 moves into the blank bottom right")
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
    size = (s.px(d.CLIENT[0]), s.px(d.CLIENT[1]))
    r.check((shot.width, shot.height) == size, "the client area is %dx%d pixels at %s" % (size + (s,)),
            "it is %dx%d" % (shot.width, shot.height))
    if r.can("title", "the window's title"):
        title = driver.title()
        r.check(title == d.TITLE, "the window's title is %r" % d.TITLE, "it is %r" % title)
    if r.can("placement", "the window's edges on the screen"):
        # The window's background ends at its last column and row, where
        # the bare screen begins.
        x, y, w, h = driver.geometry()
        screen = driver.screen()
        middle, left = y + s.px(2950), x + s.px(60)
        edges = [screen.pixel(x + w - 1, middle), screen.pixel(left, y + h - 1)]
        outside = [screen.pixel(x + w, middle), screen.pixel(left, y + h)]
        r.check((w, h) == size and all(near(c, d.LAVENDER) for c in edges)
                and not any(near(c, d.LAVENDER) for c in outside),
                "the window is %dx%d on the screen, its background up to its edges" % size,
                "%dx%d; its last column and row show %s, beyond them %s"
                % (w, h, " ".join(map(rgb, edges)), " ".join(map(rgb, outside))), screen)
    if r.can("centring", "the window's place when it opens"):
        (dx0, dx1), (dy0, dy1) = driver.centring

        def offset():
            screen = driver.screen()
            x, y, w, h = driver.geometry()
            return (x + w / 2 - screen.width / 2, y + h / 2 - screen.height / 2)
        # Some platforms map the window first and move it afterwards.
        deadline = time.monotonic() + WAIT
        while True:
            dx, dy = offset()
            if dx0 <= dx <= dx1 and dy0 <= dy <= dy1 or time.monotonic() > deadline:
                break
            time.sleep(0.1)
        r.check(dx0 <= dx <= dx1 and dy0 <= dy <= dy1, "the window opens centred on the screen",
                "the client area's centre is off by %+.1f, %+.1f" % (dx, dy))
    if r.can("frame", "the window's frame"):
        frame = driver.frame()
        print("     (%s)" % frame["hints"])
        r.check(frame["close"], "the frame has a close button", frame["hints"])
        r.check(frame["minimise"] is False, "the frame has no minimise button", frame["hints"])
        r.check(frame["maximise"] is False, "the frame has no maximise button", frame["hints"])
        r.check(frame["resize"] is False or frame["min"] == frame["max"] == size,
                "the frame is fixed: no resizing, or its least and largest size the window's", frame["hints"])

    r.check(not r.beyond(shot, 4), "nothing of the board beyond 4x4", "; ".join(r.beyond(shot, 4)), shot)
    # The title in the window's serif font fits its label with room to
    # spare; a wider font (one standing in for the serif's Cyrillic) is cut
    # off at both ends.
    label = d.TITLE_LABEL
    ends = [shot.pixel(s.px(x), y) for x in (label.left + 45, label.left + label.width - 45)
            for y in range(s.px(60), s.px(315))]
    ink = [c for c in ends if not near(c, d.PEACH)]
    r.check(not ink, "the title fits its label", "%d of %d pixels at its ends are not peach, e.g. %s"
            % (len(ink), len(ends), ink[:1] and rgb(ink[0])), shot)
    # Text in the description's first line.
    x, y, w, h = s.area(120, 3060, 6480, 240)
    dark = sum(1 for j in range(y, y + h) for i in range(x, x + w) if max(shot.pixel(i, j)) < 80)
    r.check(dark > 50 * s.factor(), "the description shows dark text",
            "%d dark pixels in its first line" % dark, shot)


def check_designed(r, shot, state):
    """Every background as designed, black text on it at a contrast of at
    least 4.5:1, black tile numbers and an all-black blank."""
    s = r.s
    wrong = ["%s at %d,%d shows %s, not %s" % (what, p[0], p[1], rgb(r.at(shot, p)), rgb(c))
             for what, p, c in d.SPOTS if r.at(shot, p) != c]
    r.check(not wrong, "%s: every background as designed" % state, "; ".join(wrong), shot)

    def darkest(area):
        x, y, w, h = s.area(*area)
        return min((shot.pixel(i, j) for j in range(y, y + h) for i in range(x, x + w)), key=luminance)
    weak = []
    weakest = (21, "")
    for what, area, background in d.captions():
        ink = darkest(area)
        ratio = contrast(ink, background)
        weakest = min(weakest, (ratio, what))
        if ratio < 4.5 or luminance(ink) >= luminance(background):
            weak.append("%s: ink %s on %s, %.2f:1" % (what, rgb(ink), rgb(background), ratio))
    r.check(not weak, "%s: dark captions at 4.5:1 or more (the weakest, %s, at %.2f:1)"
            % (state, weakest[1], weakest[0]), "; ".join(weak), shot)

    # Tile numbers are black: on the tiles' colour nothing reaches 4.5:1,
    # black comes closest (3.8:1). The blank is black through and through.
    blank = r.blank(shot)
    wrong = []
    for cell in range(16):
        x, y = d.cell_corner(cell, 4)
        if cell == blank:
            bevel = s.pixels(2)
            bx, by, bw, bh = s.area(x, y, d.TILE_SIZE, d.TILE_SIZE)
            wrong += ["the blank shows %s at %d,%d" % (rgb(shot.pixel(i, j)), i, j)
                      for j in range(by + bevel, by + bh - bevel) for i in range(bx + bevel, bx + bw - bevel)
                      if shot.pixel(i, j) != d.BLACK][:1]
        else:
            ink = darkest((x + 100, y + 150, 300, 200))
            if max(ink) >= 40 or r.at(shot, d.cell_sample(cell, 4)) != d.TILE:
                wrong.append("cell %d shows %s, its number %s" % (cell, rgb(r.at(shot, d.cell_sample(cell, 4))), rgb(ink)))
    r.check(blank is not None and not wrong, "%s: black tile numbers on tiles of %s, a black blank" % (state, rgb(d.TILE)),
            "; ".join(wrong) or "no blank", shot)


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
    r.start(appearance)
    if not r.can("focus", "%s: the window active and inactive" % name):
        check_designed(r, r.driver.shot(), name)
        return
    driver.activate()
    blank = r.blank(r.wait(r.any_focus, "%s: the active window shows a focus mark" % name))
    # The focus off the blank, onto the next tile.
    r.press("Tab")
    check_designed(r, r.wait(lambda shot: r.cell_focus(shot, blank, d.BLACK) == 1 and r.focus_on_board(shot),
                             "%s: Tab moves the focus from the blank to a tile" % name), "%s, active" % name)
    driver.deactivate()
    check_designed(r, r.wait(lambda shot: not r.any_focus(shot), "%s: the inactive window shows no focus mark" % name),
                   "%s, inactive" % name)

    # The frozen tiles look the same with every scheme, active or not.
    r.click(d.click_point(d.SOLUTION))
    solved = r.board_area(r.blank_becomes(15, "%s: %s shows the solved board" % (name, d.SOLUTION.name)))
    if appearance is None:
        r.solved, plain = solved, "inactive"
    elif r.solved is None:
        r.check(False, "%s: the solved board as without a scheme" % name, "that was not seen")
        return
    else:
        plain = "without a scheme"
        r.check(solved == r.solved, "%s, inactive: the solved board as %s" % (name, plain), "it differs")
    driver.activate()
    r.wait(lambda shot: r.board_area(shot) == r.solved, "%s, active: the solved board as %s" % (name, plain),
           lambda shot: "it differs")


@scenario("space right after the start")
def space_after_start(r):
    if not r.can("focus", "the focus mark at the start"):
        return
    r.start()
    r.driver.activate()
    # The focus starts on the blank, and shows there once the window is active.
    before = r.wait(lambda shot: r.cell_focus(shot, r.blank(shot), d.BLACK) >= 3,
                    "the blank has the focus, marked", lambda shot: "the blank's mark at %.2f:1"
                    % r.cell_focus(shot, r.blank(shot), d.BLACK))
    blank = r.blank(before)
    r.press("space")
    # Tab, handled after the space, moves the focus off the blank; once that
    # shows, the space has been handled too. Shift+Tab brings the focus back,
    # and then the window must look as it did.
    r.press("Tab")
    r.wait(lambda shot: r.cell_focus(shot, blank, d.BLACK) == 1 and r.focus_on_board(shot),
           "Tab after the space bar moves the focus to a tile")
    r.press("shift+Tab")
    r.wait(lambda shot: shot == before, "the space bar on the blank tile changed nothing",
           lambda shot: "the window differs; " + r.board_seen(shot))

    # The keys do reach the program: the space bar on "Нова игра" deals anew.
    # The click deals first and takes the focus to the button.
    started = r.board_area(before)
    r.click(d.click_point(d.NEW_GAME))
    dealt = r.board_area(r.wait(lambda shot: r.shows_focus(shot, d.NEW_GAME) and r.board_area(shot) != started
                                and r.blank(shot) is not None, "a click on %s deals a new game" % d.NEW_GAME.name))
    r.press("space")
    r.wait(lambda shot: r.board_area(shot) != dealt and r.blank(shot) is not None,
           "the space bar on %s deals a new game" % d.NEW_GAME.name)


@scenario("moves, the counter and taking back")
def moves(r):
    first = r.start()
    blank = r.blank(first)
    neighbour = blank - 1 if blank % 4 > 0 else blank + 1
    r.click_cell(neighbour)
    moved = r.wait(lambda shot: r.blank(shot) == neighbour and r.counter_area(shot) != r.counter_area(first),
                   "a click on cell %d beside the blank moves its tile, and the counter counts" % neighbour,
                   lambda shot: r.board_seen(shot) + "; the counter %s" % (
                       "unchanged" if r.counter_area(shot) == r.counter_area(first) else "changed"))
    r.click(d.click_point(d.MOVE_BACK))
    r.wait(lambda shot: r.blank(shot) == blank and r.counter_area(shot) == r.counter_area(first)
           and r.shows_focus(shot, d.MOVE_BACK), "%s takes the move back, and the counter with it" % d.MOVE_BACK.name,
           lambda shot: r.board_seen(shot) + "; the counter %s the start's; the focus %son the button" % (
               "as" if r.counter_area(shot) == r.counter_area(first) else "unlike",
               "" if r.shows_focus(shot, d.MOVE_BACK) else "not "))
    # A tile two cells away does not move. The neighbour's click, handled
    # after it, must then give the very window of the first move: the same
    # tiles in the same cells, the counter at "1", the focus on the tile.
    far = blank - 2 if blank % 4 >= 2 else blank + 2
    r.click_cell(far)
    r.click_cell(neighbour)
    r.wait(lambda shot: shot == moved, "a tile two cells from the blank does not move; its neighbour moves again",
           lambda shot: "the window differs from the first move's; " + r.board_seen(shot))


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
    r.press("Tab")
    shot = r.wait(lambda shot: r.shows_focus(shot, d.MOVE_BACK),
                  "Tab takes the focus on to %s: no click on the frozen tiles took it" % d.MOVE_BACK.name)
    r.check(r.blank(shot) == 15 and r.board_area(shot) == r.board_area(frozen), "a click moves no frozen tile",
            r.board_seen(shot), shot)
    r.check(r.counter_area(shot) == r.counter_area(frozen), "the counter stands still", "it changed", shot)


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
                      lambda shot: "%s; %s" % (r.board(shot, n)[1], "; ".join(r.beyond(shot, n))))
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
        r.press(key)
        shot = r.blank_becomes(blank, "%s slides a tile: the blank in cell %d" % (key, blank))
        after_right = after_right or r.board_area(shot)
        mark = r.cell_focus(shot, moved)
        r.check(mark >= 3 and r.cell_focus(shot, 0) == 1, "the focus goes with the tile into cell %d" % moved,
                "its mark at %.2f:1, cell 0's at %.2f:1" % (mark, r.cell_focus(shot, 0)), shot)
    # Toward the edges no tile lies on the blank's right or below it. Right,
    # handled after them, must then make the very board of the first step.
    for key in ("Left", "Up", "Right"):
        r.press(key)
    r.wait(lambda shot: r.board_area(shot) == after_right, "Left and Up toward the edges move nothing",
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
    board = r.board_area(r.show_preset(d.UNSOLVABLE))
    r.click_cell(14)
    r.blank_becomes(14, "cell 14 moves")
    r.click_cell(10)
    r.blank_becomes(10, "cell 10 moves")
    # Taking back, with the focus in the counter and in the description.
    r.click((d.COUNTER.left + 100, d.COUNTER.top + 200))
    r.press("ctrl+z")
    r.blank_becomes(14, "Ctrl+Z takes a move back, from the counter")
    r.click((d.DESCRIPTION.left + 3000, d.DESCRIPTION.top + 1000))
    r.press("BackSpace")
    r.wait(lambda shot: r.board_area(shot) == board, "Backspace takes a move back, from the description: "
           "the unsolvable board again")
    for key in ("F2", "ctrl+n"):
        r.click(d.click_point(d.UNSOLVABLE))
        r.wait(lambda shot: r.board_area(shot) == board and r.shows_focus(shot, d.UNSOLVABLE),
               "%s lays the unsolvable board out again" % d.UNSOLVABLE.name)
        r.press(key)
        r.wait(lambda shot: r.board_area(shot) != board and r.blank(shot) is not None,
               "%s deals a new game" % key.replace("ctrl+n", "Ctrl+N"))
    if r.can("exit", "Ctrl+Q ends the program"):
        # Closing the window ends the program.
        r.press("ctrl+q")
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
    wine.add_argument("wine_run")
    wine.add_argument("prefix")
    wine.add_argument("exe")
    for place in (native, wine):
        place.add_argument("--dpi", type=int, default=96)
    args = parser.parse_args(argv)
    # CTest's timeout ends this process; its children and its X server end with it.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        if args.place == "native":
            driver = NativeDriver(args.program, args.dpi, args.plugins, args.lsan_suppressions, args.scale)
        else:
            driver = WineDriver(args.wine_run, args.prefix, args.exe, args.dpi)
    except (DriverError, OSError, ValueError) as error:
        print("FAIL: the %s driver does not start: %s" % (args.place, error))
        return 1
    r = Run(driver)
    started = time.monotonic()
    try:
        for name, appearances, body in SCENARIOS:
            runs = [None] + (driver.appearances if appearances else [])
            for appearance in runs:
                r.scenario = name + (" " + appearance.name if appearance else "")
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
