"""The window of Пъзел 15 as the tests expect to see it, held here once: its
geometry in twips (1/1440 inch, from the client area's top-left corner), its
colours and its texts; and the helpers that turn them into device pixels of a
driver's shots, at the driver's scale.
"""

import collections
import math

TITLE = "www.puzzle15.example.org  Информатика - нареждане на матрица"
CLIENT = (6750, 5190)  # width, height

LAVENDER = (192, 192, 255)
PERIWINKLE = (128, 128, 255)
PEACH = (255, 192, 128)
GREEN = (0, 255, 0)
RED = (255, 0, 0)
SALMON = (255, 128, 128)
ORANGE = (255, 128, 0)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)  # the text boxes
TILE = (120, 100, 100)  # every numbered tile; the blank is black

Control = collections.namedtuple("Control", "name left top width height colour")

NEW_GAME = Control('"Нова игра"', 120, 480, 1575, 375, GREEN)
UNSOLVABLE = Control('"Нерешима"', 5280, 2520, 1335, 375, RED)
SOLUTION = Control('"Решение"', 5280, 2040, 1335, 375, SALMON)
MOVE_BACK = Control('"Ход назад"', 120, 1080, 1575, 375, ORANGE)
COMMANDS = (NEW_GAME, UNSOLVABLE, SOLUTION, MOVE_BACK)
TITLE_LABEL = Control('the title "Информатика - логическа игра, пъзел 15"', 1200, 0, 4695, 375, PEACH)
COUNT_LABEL = Control('"Брой: "', 120, 1680, 855, 375, PEACH)
COUNTER = Control("the counter", 960, 1680, 735, 405, WHITE)
DESCRIPTION = Control("the description", 120, 3000, 6495, 2055, WHITE)
FRAME = Control('the frame "Брой"', 5520, 480, 855, 1215, LAVENDER)
# The options "3", "4" and "5" lie in the frame at (120, 300 + 300 i).
OPTIONS = tuple(Control('option "%d"' % (3 + i), FRAME.left + 120, FRAME.top + 300 * (i + 1), 615, 300, PERIWINKLE)
                for i in range(3))

# The cell template: cell 0's corner and the pitch; tiles are 500 square.
CELLS = (2280, 480)
PITCH = 495
TILE_SIZE = 500

# Bare background: beside and below the board, between the columns.
BACKGROUND = ((1900, 2700), (4900, 1000), (60, 2400), (6700, 2900), (3000, 2800))


def cell_corner(i, n):
    """The top-left corner of cell i of an n by n board, in twips."""
    return (CELLS[0] + PITCH * (i % n), CELLS[1] + PITCH * (i // n))


def board_end(n):
    """Where the last column and row of an n by n board end, in twips."""
    return (CELLS[0] + PITCH * (n - 1) + TILE_SIZE, CELLS[1] + PITCH * (n - 1) + TILE_SIZE)


class Scale:
    """Twips to the device pixels of a shot. The program places a control at
    twips * dpi / 1440 logical pixels, rounded half away from zero; a shot
    holds `ratio` device pixels to a logical one."""

    def __init__(self, dpi, ratio=1.0):
        self.dpi, self.ratio = dpi, ratio

    def __str__(self):
        return "%d DPI" % self.dpi + (" scaled %g" % self.ratio if self.ratio != 1 else "")

    def px(self, twips):
        return int(math.floor(math.floor(twips * self.dpi / 1440.0 + 0.5) * self.ratio + 0.5))

    def point(self, left, top):
        return (self.px(left), self.px(top))

    def pixels(self, logical):
        """A length the program draws in logical pixels."""
        return int(math.floor(logical * self.ratio + 0.5))

    def inside(self, twips, logical):
        """The device pixel that a line drawn `logical` pixels inside a
        control's edge at `twips` falls on."""
        return int(math.floor(math.floor(twips * self.dpi / 1440.0 + 0.5) * self.ratio + logical * self.ratio))

    def factor(self):
        """Device pixels to one pixel at 96 DPI."""
        return self.dpi / 96.0 * self.ratio

    def area(self, left, top, width, height):
        """A rectangle in twips as device pixels: x, y, width, height."""
        x, y = self.point(left, top)
        return (x, y, self.px(left + width) - x, self.px(top + height) - y)


# Where the tests click, in twips.
def click_point(control):
    return (control.left + control.width / 2, control.top + control.height / 2)


def cell_click(i, n):
    x, y = cell_corner(i, n)
    return (x + TILE_SIZE / 2, y + TILE_SIZE / 2)


def option_click(i):
    """On the round mark at the option's left."""
    return (OPTIONS[i].left + 105, OPTIONS[i].top + 150)


# Where the tests read a colour, in twips.
def command_sample(command):
    """Inside a command button's left end, past its bevel and its focus mark,
    above the caption (which may span nearly the whole button)."""
    return (command.left + 100, command.top + 60)


def cell_sample(i, n):
    """100 twips inside the tile's corner: past the bevel and the focus mark,
    clear of the number."""
    x, y = cell_corner(i, n)
    return (x + 100, y + 100)


def option_sample(i):
    """The option's right end, beyond its one-digit caption."""
    return (OPTIONS[i].left + OPTIONS[i].width - 60, OPTIONS[i].top + 150)


# Each visible background as designed, where nothing else is drawn on it.
SPOTS = tuple(("the window at %d,%d" % p, p, LAVENDER) for p in BACKGROUND[:2]) + (
    (FRAME.name, (FRAME.left + 795, FRAME.top + 600), LAVENDER),
    (TITLE_LABEL.name, (TITLE_LABEL.left + 60, 60), PEACH),
    (COUNT_LABEL.name, (COUNT_LABEL.left + 60, COUNT_LABEL.top + 60), PEACH),
    (OPTIONS[0].name, option_sample(0), PERIWINKLE),
    (OPTIONS[2].name, option_sample(2), PERIWINKLE),
    (COUNTER.name, (COUNTER.left + 90, COUNTER.top + 200), WHITE),
    # Above the first line of the description, inside its border.
    (DESCRIPTION.name, (DESCRIPTION.left + 3000, DESCRIPTION.top + 60), WHITE),
) + tuple((c.name, command_sample(c), c.colour) for c in COMMANDS)


def captions():
    """Each caption's area in twips, with the background it is drawn on:
    (what, (left, top, width, height), colour)."""
    def middle(c):  # clear of bevels and focus marks
        return (c.left + c.width * 0.2, c.top + c.height * 0.3, c.width * 0.6, c.height * 0.4)
    # The frame's caption at its top-left corner; an option's right of its
    # round mark, whatever the style; the description's first line.
    return ([(c.name, middle(c), c.colour) for c in (TITLE_LABEL, COUNT_LABEL, COUNTER) + COMMANDS]
            + [(FRAME.name, (FRAME.left + 120, FRAME.top + 45, 495, 195), LAVENDER),
               (DESCRIPTION.name, (DESCRIPTION.left + 150, DESCRIPTION.top + 90, 4200, 210), WHITE)]
            + [(o.name, (o.left + 315, o.top + 60, o.width - 315, 195), o.colour) for o in OPTIONS])


# The program marks the focused tile or button with a dotted rectangle 3
# logical pixels inside its edges; the tests read along its top edge, from 4
# to 27 pixels right of the corner.
FOCUS_INSET = 3
FOCUS_SPAN = (4, 27)
