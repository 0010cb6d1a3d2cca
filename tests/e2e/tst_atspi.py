#!/usr/bin/python3
"""The built program as a screen reader meets it: on the AT-SPI bus, read
through pyatspi, the library screen readers' own test tools use.

The program runs in its own X server (Xvfb on a free display), with a
private session bus and its own accessibility bus (at-spi-bus-launcher);
nothing of the caller's desktop is touched. It is found on the bus by its
process id. Every test starts the program afresh; all the processes are
stopped afterwards whatever happens, and die with this test should it
crash.

Usage: tst_atspi.py PROGRAM [unittest arguments]
"""

import ctypes
import os
import re
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

PROGRAM = None  # from the command line

# Generous: a sanitized build on a busy machine starts slowly.
START_TIMEOUT = 60
EVENT_TIMEOUT = 20

TILE = re.compile(r"^(?:Плочка ([1-9][0-9]*)|Празно поле), ред ([1-9]), колона ([1-9])$")

COMMANDS = ("Нова игра", "Нерешима", "Решение", "Ход назад")
WINDOW_TITLE = "www.puzzle15.example.org  Информатика - нареждане на матрица"

_libc = ctypes.CDLL(None, use_errno=True)
PR_SET_PDEATHSIG = 1
PR_SET_CHILD_SUBREAPER = 36


def _die_with_parent(sig=signal.SIGKILL):
    return lambda: _libc.prctl(PR_SET_PDEATHSIG, sig)


def _stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def _children():
    """This process's children, from /proc."""
    result = []
    for entry in os.listdir("/proc"):
        try:
            with open("/proc/%s/stat" % entry) as stat:
                # The parent is the second field after the parenthesised name.
                if int(stat.read().rsplit(")", 1)[1].split()[1]) == os.getpid():
                    result.append(int(entry))
        except (OSError, ValueError, IndexError):
            pass
    return result


def _wait(condition, timeout, what, found=None):
    """Polls condition (pumping the bus's events) until it holds; found()
    tells what there was instead."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what + (": " + found() if found else ""))
        _pump(0.05)


def _pump(seconds):
    """Delivers the events that arrive within the given time."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not context.iteration(False):
            time.sleep(0.01)


class Session:
    """Xvfb, a session bus and the accessibility bus, for the whole run."""

    def __init__(self):
        # The buses the launcher starts become this process's children when
        # the launcher ends, to be waited for here.
        _libc.prctl(PR_SET_CHILD_SUBREAPER, 1)
        self.processes = []
        self.runtime = tempfile.TemporaryDirectory(prefix="tst_atspi.")
        try:
            self._start()
        except BaseException:
            self.stop()
            raise

    def start(self, arguments, death_signal=signal.SIGKILL, **options):
        options.setdefault("env", self.env)
        process = subprocess.Popen(arguments, preexec_fn=_die_with_parent(death_signal), **options)
        self.processes.append(process)
        return process

    def _start(self):
        self.env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime.name)
        for name in ("AT_SPI_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)

        # Xvfb picks a free display and writes its number to the descriptor.
        read_end, write_end = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                    "-noreset"], pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as display:
            number = display.readline().strip()
        if not number:
            raise RuntimeError("Xvfb named no display")
        self.env["DISPLAY"] = ":" + number

        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL)
        address = bus.stdout.readline().decode().strip()
        if not address:
            raise RuntimeError("the session bus gave no address")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

        # Told to terminate, not killed, the launcher stops the bus it made.
        self.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], death_signal=signal.SIGTERM,
                   stderr=subprocess.DEVNULL)

        # pyatspi finds the accessibility bus through the launcher, asked on
        # this process's session bus when pyatspi is first imported.
        global pyatspi, GLib
        from gi.repository import Gio, GLib
        connection = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        launched = lambda: connection.call_sync(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
            GLib.Variant("(s)", ("org.a11y.Bus",)), GLib.VariantType("(b)"), Gio.DBusCallFlags.NONE, -1).unpack()[0]
        deadline = time.monotonic() + START_TIMEOUT
        while not launched():
            if time.monotonic() > deadline:
                raise RuntimeError("at-spi-bus-launcher did not take its name on the session bus")
            time.sleep(0.05)
        connection.close_sync()
        os.environ.update(self.env)
        import pyatspi

    def stop(self):
        for process in reversed(self.processes):
            _stop(process)
            if process.stdout:
                process.stdout.close()
        self._reap_orphans()
        self.processes.clear()
        self.runtime.cleanup()

    @staticmethod
    def _reap_orphans():
        """Waits for whatever children are left; kills them after a while."""
        deadline = time.monotonic() + 5
        while True:
            try:
                pid, _ = os.waitpid(-1, os.WNOHANG)
            except ChildProcessError:
                return
            if pid == 0:
                if time.monotonic() > deadline:
                    for child in _children():
                        os.kill(child, signal.SIGKILL)
                time.sleep(0.05)


session = None


class Program:
    """The program on the bus, and the events it raises."""

    def __init__(self):
        self.events = []
        self.process = session.start([PROGRAM], env=dict(session.env, QT_QPA_PLATFORM="xcb",
                                                          QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
        self.app = _wait(self._application, START_TIMEOUT, "the program on the accessibility bus")
        # Every read asks the program, not a copy kept by the library.
        self.app.set_cache_mask(pyatspi.Atspi.Cache.NONE)
        self.window = _wait(self._window, START_TIMEOUT, "the program's window on the bus")
        self.wait_for_tiles(16)

    def _application(self):
        if self.process.poll() is not None:
            raise AssertionError("the program ended with %d" % self.process.returncode)
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    def _window(self):
        for i in range(self.app.childCount):
            window = self.app.getChildAtIndex(i)
            if window.getRole() == pyatspi.ROLE_FRAME and window.get_state_set().contains(pyatspi.STATE_SHOWING):
                return window
        return None

    def stop(self):
        _stop(self.process)

    def children(self):
        return [self.window.getChildAtIndex(i) for i in range(self.window.childCount)]

    def tiles(self):
        """Tile number (0 for the blank) -> (accessible, row, column)."""
        result = {}
        for child in self.children():
            match = TILE.match(child.name) if child.getRole() == pyatspi.ROLE_PUSH_BUTTON else None
            if match:
                number = int(match.group(1) or 0)
                if number in result:
                    raise AssertionError("two tiles named %d" % number)
                result[number] = (child, int(match.group(2)), int(match.group(3)))
        return result

    def wait_for_tiles(self, count):
        buttons = lambda: ", ".join(repr(child.name) for child in self.children()
                                    if child.getRole() == pyatspi.ROLE_PUSH_BUTTON)
        _wait(lambda: len(self.tiles()) == count, EVENT_TIMEOUT, "%d named tiles" % count, buttons)

    def control(self, role, name):
        found = [child for child in self.children() if child.getRole() == role and child.name == name]
        if len(found) != 1:
            raise AssertionError("%d controls named %r" % (len(found), name))
        return found[0]

    def option(self, name):
        group = self.control(pyatspi.ROLE_PANEL, "Брой")
        for i in range(group.childCount):
            if group.getChildAtIndex(i).name == name:
                return group.getChildAtIndex(i)
        raise AssertionError("no option " + name)

    def counter(self):
        return self.control(pyatspi.ROLE_TEXT, "Брой ходове")


def press(accessible, action="Press"):
    """A button's Press action (an option's is Toggle), as a screen reader
    does it."""
    actions = accessible.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action not in names:
        raise AssertionError("%r has no %s action (%s)" % (accessible.name, action, names))
    actions.doAction(names.index(action))


def described(accessible):
    """Role and name. The role as a constant: the names AT-SPI spells roles
    with changed (a push button is "push-button" in 2.46, "button" in 2.56)."""
    return accessible.getRole(), accessible.name


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def sensitive(accessible):
    return accessible.get_state_set().contains(pyatspi.STATE_SENSITIVE)


class AccessibilityBus(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        global session
        # pyatspi's own calls into the library are out of date.
        warnings.filterwarnings("ignore", category=DeprecationWarning, module="pyatspi")
        warnings.filterwarnings("ignore", category=ImportWarning)
        session = Session()
        # Listening before the program starts: it raises only the events a
        # listener has asked for, and learns of listeners when it starts.
        cls.events = []
        pyatspi.Registry.registerEventListener(cls._record, "object:property-change:accessible-name",
                                               "object:text-changed")

    @classmethod
    def tearDownClass(cls):
        global session
        if session:
            session.stop()
            session = None

    @classmethod
    def _record(cls, event):
        cls.events.append((event.type, event.source, event.any_data))

    def setUp(self):
        self.events.clear()
        self.program = Program()
        self.addCleanup(self.program.stop)

    def tearDown(self):
        # Ended early, the program crashed or a sanitizer stopped it.
        self.assertIsNone(self.program.process.poll(), "the program ended")

    def check_window(self, n):
        """Every shown control with its role and name, nothing else."""
        p = self.program
        self.assertEqual(p.window.name, WINDOW_TITLE)
        p.wait_for_tiles(n * n)
        tiles = p.tiles()
        expected = sorted([(pyatspi.ROLE_LABEL, "Брой: "), (pyatspi.ROLE_LABEL, "Информатика - логическа игра, пъзел 15"),
                           (pyatspi.ROLE_PANEL, "Брой"), (pyatspi.ROLE_TEXT, "Брой ходове"),
                           (pyatspi.ROLE_TEXT, "Описание")]
                          + [(pyatspi.ROLE_PUSH_BUTTON, name) for name in COMMANDS]
                          + [(pyatspi.ROLE_PUSH_BUTTON, tile.name) for tile, _, _ in tiles.values()])
        # The hidden list boxes, the spare text box and the cell template
        # would be more children: lists, a third text, an unnamed label.
        self.assertEqual(sorted(described(child) for child in p.children()), expected)
        for child in p.children():
            states = child.get_state_set()
            self.assertTrue(states.contains(pyatspi.STATE_VISIBLE) and states.contains(pyatspi.STATE_SHOWING),
                            child.name)
        group = p.control(pyatspi.ROLE_PANEL, "Брой")
        self.assertEqual([described(group.getChildAtIndex(i)) for i in range(group.childCount)],
                         [(pyatspi.ROLE_RADIO_BUTTON, name) for name in ("5", "4", "3")])
        self.assertTrue(p.option(str(n)).get_state_set().contains(pyatspi.STATE_CHECKED))

        # The numbers 1 to n²-1 and the blank, one to a cell; the cell in
        # the name is where the tile stands on the screen.
        self.assertEqual(sorted(tiles), list(range(n * n)))
        extents = {number: tile.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
                   for number, (tile, _, _) in tiles.items()}
        lefts = sorted({e.x for e in extents.values()})
        tops = sorted({e.y for e in extents.values()})
        self.assertEqual((len(lefts), len(tops)), (n, n))
        for number, (_, row, column) in tiles.items():
            self.assertEqual((row, column), (tops.index(extents[number].y) + 1, lefts.index(extents[number].x) + 1),
                             "tile %d" % number)

    def test_controls_at_each_size(self):
        p = self.program
        self.assertEqual(text_of(p.counter()), "0")
        self.check_window(4)
        for n in (3, 5, 4):
            with self.subTest(size="%dx%d" % (n, n)):
                press(p.option(str(n)), "Toggle")
                self.check_window(n)
        # The numbers also stand where "Нерешима" puts them.
        press(p.control(pyatspi.ROLE_PUSH_BUTTON, "Нерешима"))
        self.check_window(4)

    def test_move_is_announced(self):
        p = self.program
        tiles = p.tiles()
        blank, row, column = tiles[0]
        beside = [number for number, (_, r, c) in tiles.items() if abs(r - row) + abs(c - column) == 1]
        tile, tile_row, tile_column = tiles[beside[0]]
        self.events.clear()
        press(tile)

        # The program's name events carry the object, not its new name.
        announced = lambda accessible: lambda event: event[0] == "object:property-change:accessible-name" \
            and event[1] == accessible
        wanted = {
            "the tile's name change": announced(tile),
            "the blank's name change": announced(blank),
            "the counter's new text": lambda event: event[0] == "object:text-changed:insert" and event[1] == p.counter()
                                                    and event[2] == "1",
        }
        for what, matches in wanted.items():
            with self.subTest(event=what):
                _wait(lambda: any(matches(event) for event in self.events), EVENT_TIMEOUT, what,
                      lambda: ", ".join("%s from %r" % (event[0], event[1].name) for event in self.events))
        moved = "Плочка %d, ред %d, колона %d" % (beside[0], row, column)
        emptied = "Празно поле, ред %d, колона %d" % (tile_row, tile_column)
        self.assertEqual((tile.name, blank.name), (moved, emptied))
        self.assertEqual(text_of(p.counter()), "1")

    def test_solution_freezes_the_tiles(self):
        p = self.program
        press(p.control(pyatspi.ROLE_PUSH_BUTTON, "Решение"))
        tiles = p.tiles()
        self.assertEqual(len(tiles), 16)
        for number, (tile, row, column) in tiles.items():
            with self.subTest(tile=number):
                cell = (number or 16) - 1
                self.assertEqual((row, column), (cell // 4 + 1, cell % 4 + 1))
                self.assertFalse(sensitive(tile))
                actions = tile.queryAction()
                self.assertNotIn("Press", [actions.getName(i) for i in range(actions.nActions)])
        for name in COMMANDS:
            self.assertTrue(sensitive(p.control(pyatspi.ROLE_PUSH_BUTTON, name)), name)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
