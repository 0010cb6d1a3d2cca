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
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)  # the text boxes
TILE = (120, 100, 100)  # every numbered tile; the blank is black

Control = collections.namedtuple("Control", "name left top width height colour")

NEW_GAME = Control('"Нова игра"', 120, 480, 1575, 375, (0, 255, 0))
UNSOLVABLE = Control('"Нерешима"', 5280, 2520, 1335, 375, (255, 0, 0))
SOLUTION = Control('"Решение"', 5280, 2040, 1335, 375, (255, 128, 128))
MOVE_BACK = Control('"Ход назад"', 120, 1080, 1575, 375, (255, 128, 0))
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
BOARD = CELLS + (4 * PITCH + TILE_SIZE,) * 2  # the largest board's square
BEVEL = 2  # logical pixels of a button's edge, tiles included

# Bare background: beside and below the board, between the columns; and
# at the right and bottom edges of the window.
BACKGROUND = ((1900, 2700), (4900, 1000), (60, 2400), (6700, 2900), (3000, 2800))
RIGHT_EDGE_Y, BOTTOM_EDGE_X = 2950, 60


def cell_corner(i, n):
    """The top-left corner of cell i of an n by n board."""
    return (CELLS[0] + PITCH * (i % n), CELLS[1] + PITCH * (i // n))


class Scale:
    """Twips to the device pixels of a shot. The program places a control at
    twips * dpi / 1440 logical pixels, rounded half away from zero; a shot
    holds `ratio` device pixels to a logical one."""

    def __init__(self, dpi, ratio=1.0):
        self.dpi, self.ratio = dpi, ratio

    def __str__(self):
        return "%g DPI" % (self.dpi * self.ratio) + (" (96 scaled by %g)" % self.ratio if self.ratio != 1 else "")

    def logical(self, twips):
        return math.floor(twips * self.dpi / 1440.0 + 0.5)

    def px(self, twips):
        return int(math.floor(self.logical(twips) * self.ratio + 0.5))

    def point(self, left, top):
        return (self.px(left), self.px(top))

    def area(self, left, top, width, height):
        """A rectangle as device pixels: x, y, width, height."""
        x, y = self.point(left, top)
        return (x, y, self.px(left + width) - x, self.px(top + height) - y)

    def inside(self, twips, logical):
        """The device pixel that a line the program draws `logical` pixels
        inside a control's edge at `twips` falls on."""
        return int(math.floor((self.logical(twips) + logical) * self.ratio))

    def factor(self):
        """Device pixels to one pixel at 96 DPI."""
        return self.dpi / 96.0 * self.ratio


# Where the tests click.
def click_point(control):
    return (control.left + control.width / 2, control.top + control.height / 2)


def cell_click(i, n):
    x, y = cell_corner(i, n)
    return (x + TILE_SIZE / 2, y + TILE_SIZE / 2)


def option_click(i):
    """On the round mark at the option's left."""
    return (OPTIONS[i].left + 105, OPTIONS[i].top + 150)


COUNTER_CLICK = (COUNTER.left + 100, COUNTER.top + 200)
DESCRIPTION_CLICK = (DESCRIPTION.left + 3000, DESCRIPTION.top + 1000)


# Where the tests read.
def cell_sample(i, n):
    """100 twips inside the tile's corner: past the bevel and the focus mark,
    clear of the number."""
    x, y = cell_corner(i, n)
    return (x + 100, y + 100)


def tile_number(i):
    """The middle of the tile in cell i of a 4 by 4 board, where its number is."""
    x, y = cell_corner(i, 4)
    return (x + 100, y + 150, 300, 200)


def beyond_board(n):
    """Spots that an n by n board leaves bare: a band right of it and below
    it, and each cell of a 5 by 5 board outside it."""
    end = CELLS[0] + PITCH * (n - 1) + TILE_SIZE, CELLS[1] + PITCH * (n - 1) + TILE_SIZE
    return ([(end[0] + 45, cell_click(i * n, n)[1]) for i in range(n)]
            + [(cell_click(i, n)[0], end[1] + 20) for i in range(n)]
            + [cell_sample(i, 5) for i in range(25) if i % 5 >= n or i // 5 >= n])


COUNTER_TEXT = (COUNTER.left + 45, COUNTER.top + 45, COUNTER.width - 90, COUNTER.height - 90)  # inside its border
DESCRIPTION_FIRST_LINE = (DESCRIPTION.left, DESCRIPTION.top + 60, 6480, 240)
# Two columns at the title label's ends, from top to bottom, where a font
# too wide for it would cut off its first and last letters.
TITLE_ENDS = ((TITLE_LABEL.left + 45, TITLE_LABEL.left + TITLE_LABEL.width - 45), (60, 315))

# Each visible background as designed, where nothing else is drawn on it.
SPOTS = ([("the window", p, LAVENDER) for p in BACKGROUND]
         + [(FRAME.name, (FRAME.left + 795, FRAME.top + 600), LAVENDER),
            (TITLE_LABEL.name, (TITLE_LABEL.left + 60, 60), PEACH),
            (COUNT_LABEL.name, (COUNT_LABEL.left + 60, COUNT_LABEL.top + 60), PEACH),
            (COUNTER.name, (COUNTER.left + 90, COUNTER.top + 200), WHITE),
            # Above the first line of the description, inside its border.
            (DESCRIPTION.name, (DESCRIPTION.left + 3000, DESCRIPTION.top + 60), WHITE)]
         # An option's right end, beyond its one-digit caption.
         + [(o.name, (o.left + o.width - 60, o.top + 150), o.colour) for o in OPTIONS]
         # A command button's left end, past its bevel and its focus mark,
         # above the caption (which may span nearly the whole button).
         + [(c.name, (c.left + 100, c.top + 60), c.colour) for c in COMMANDS])


def _middle(c):  # a caption, clear of bevels and focus marks
    return (c.left + c.width * 0.2, c.top + c.height * 0.3, c.width * 0.6, c.height * 0.4)


# Each caption's area, with the background it is drawn on: the frame's at
# its top-left corner; an option's right of its round mark, whatever the
# style; the description's first line.
CAPTIONS = ([(c.name, _middle(c), c.colour) for c in (TITLE_LABEL, COUNT_LABEL, COUNTER) + COMMANDS]
            + [(FRAME.name, (FRAME.left + 120, FRAME.top + 45, 495, 195), LAVENDER),
               (DESCRIPTION.name, (DESCRIPTION.left + 150, DESCRIPTION.top + 90, 4200, 210), WHITE)]
            + [(o.name, (o.left + 315, o.top + 60, o.width - 315, 195), o.colour) for o in OPTIONS])

# The program marks the focused tile or button with a dotted rectangle 3
# logical pixels inside its edges; the tests read along its top edge, from 4
# to 27 pixels right of the corner.
FOCUS_INSET = 3
FOCUS_SPAN = (4, 27)
