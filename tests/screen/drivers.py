"""The places where the program runs, one driver each, with one face
towards the scenarios (scenarios.py), which know nothing else of them.

Every driver has
  name, scale             "native", "wine", ...; a design.Scale: the logical DPI
                          the program lays out at, device pixels to a logical one
  start(appearance=None)  the program afresh (ending a run before it), returned
                          from once its window is on the screen, painted or not;
                          DriverError when none comes
  stop(), close()         end the program, and everything the driver started;
                          safe at any time, and more than once
  shot()                  the client area as an Image of device pixels, or None
  click(x, y)             the left button at a point of the shot
  press(key)              a key to the focused control, named as xdotool does:
                          "Right", "Left", "Up", "Down", "space", "Tab",
                          "shift+Tab", "BackSpace", "F2", "ctrl+n", "ctrl+z",
                          "ctrl+q"
  capabilities            the names of what else the place can do, below; a
                          check that needs one the driver lacks says N/A
    "title"        title(): the window's title
    "placement"    geometry(): the client area on the screen, (x, y, width,
                   height); screen(): the whole screen as an Image
    "centring"     the window opens centred: `centring` is the client area's
                   allowed offset from the screen's centre, ((dx0, dx1), (dy0, dy1))
    "frame"        frame(): "close", "minimise", "maximise", "resize" (bools, or
                   None where the place does not say), "min" and "max" (the
                   least and largest size, or None), "hints" (the place's words)
    "focus"        activate(), deactivate(): the window active, or another one
    "active"       the window is active from its start and nothing makes it
                   inactive: the checks of the active window run without
                   activate(), those of the inactive one say N/A
    "exit"         Ctrl+Q ends a process: wait_exit(timeout) gives its exit code,
                   None while it runs
    "appearances"  `appearances`: [Appearance(name, settings, files)], desktop
                   schemes and widget styles for start(); settings are the
                   driver's (the native one's, environment variables), and the
                   files must exist, else the appearance would quietly not apply
Every call returns once its request is on its way; the scenarios wait for what
follows by polling shot() against a deadline.

A browser has the same face: browser.py, the web build in Chromium through
its DevTools protocol, scale = Scale(96, the page's devicePixelRatio).
"""

import collections
import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import time

import design

Appearance = collections.namedtuple("Appearance", "name settings files")


class DriverError(Exception):
    pass


class Image:
    """An RGB picture, 8 bits a channel, row by row."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, bytes(data)

    @classmethod
    def from_ppm(cls, ppm):
        """A binary PPM with no comment, as ImageMagick writes it."""
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        if not header or len(ppm) != header.end() + int(header[1]) * int(header[2]) * 3:
            raise DriverError("not a whole 8-bit binary PPM: %r" % ppm[:20])
        return cls(int(header[1]), int(header[2]), ppm[header.end():])

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError("%d,%d lies outside the %dx%d picture" % (x, y, self.width, self.height))
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, width, height):
        rows = (self.data[((y + r) * self.width + x) * 3:((y + r) * self.width + x + width) * 3] for r in range(height))
        return Image(width, height, b"".join(rows))

    def __eq__(self, other):
        return isinstance(other, Image) and (self.width, self.height, self.data) == (
            other.width, other.height, other.data)

    def save(self, path):
        with open(path, "wb") as file:
            file.write(b"P6\n%d %d\n255\n" % (self.width, self.height) + self.data)


def _die_with_parent():
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def _poll(condition, timeout, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result or time.monotonic() > deadline:
            return result
        time.sleep(interval)


class XDriver:
    """The program in an X server of its own (Xvfb, no window manager),
    played through xdotool's XTest input and read with ImageMagick's import."""

    capabilities = {"title", "placement", "centring", "frame", "focus", "exit"}
    appearances = []

    def __init__(self, scale):
        self.scale, self.program, self.window = scale, None, None
        # Xvfb picks a free display and names it on the descriptor. Without
        # -noreset it would reset whenever its last client leaves, and refuse
        # the next program while it does.
        read, write = os.pipe()
        try:
            self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                                          "-nolisten", "tcp", "-noreset"], pass_fds=(write,), stdout=subprocess.DEVNULL,
                                         stderr=subprocess.DEVNULL, preexec_fn=_die_with_parent)
        except OSError as error:
            raise DriverError("Xvfb does not start (scripts/deps.sh --tests installs it): %s" % error)
        finally:
            os.close(write)
        number, deadline = b"", time.monotonic() + 30
        while not number.endswith(b"\n") and time.monotonic() < deadline and self.xvfb.poll() is None:
            if select.select([read], [], [], 0.2)[0]:
                number += os.read(read, 16) or b"\n"
        os.close(read)
        if not number.strip():
            XDriver.close(self)
            raise DriverError("Xvfb named no display")
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith("QT_") and k not in ("WAYLAND_DISPLAY", "GTK_THEME")}
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def x(self, *command):
        """An X tool's output. They match and print the window's UTF-8 name
        only in a UTF-8 locale, whatever the caller's (CI runs in C)."""
        try:
            return subprocess.run(command, env=dict(self.env, LC_ALL="C.UTF-8"), stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, timeout=30, check=False).stdout
        except subprocess.TimeoutExpired:
            return b""

    def start(self, appearance=None):
        self.stop()
        self.program = self.launch(appearance)

        def found():
            if self.program.poll() is not None:
                raise DriverError("the program ended with %s before its window showed" % self.program.returncode)
            return self.find_windows()
        ids = _poll(found, 60)
        if len(ids) != 1:
            raise DriverError("the program shows %d windows:\n%s"
                              % (len(ids), self.x("xwininfo", "-root", "-tree").decode()))
        self.window = ids[0]

    def stop(self):
        if self.program and self.program.poll() is None:
            self.program.kill()
            self.program.wait(10)
        self.program = None
        # Gone from the screen too, so that the next start finds no window
        # of this run.
        if self.window and self.xvfb.poll() is None:
            _poll(lambda: not self.x("xwininfo", "-id", self.window), 10)
        self.window = None

    def close(self):
        self.stop()
        if self.xvfb.poll() is None:
            self.xvfb.kill()
        self.xvfb.wait(10)

    def grab(self, window):
        # 8 bits a channel: ImageMagick reads the X screen at 16.
        ppm = self.x("import", "-window", window, "-depth", "8", "ppm:-")
        try:
            return Image.from_ppm(ppm)
        except DriverError:
            return None

    def shot(self):
        return self.grab(self.window)

    def screen(self):
        return self.grab("root")

    def geometry(self):
        values = dict(line.partition("=")[::2] for line in
                      self.x("xdotool", "getwindowgeometry", "--shell", self.window).decode().split())
        return tuple(int(values.get(k, 0)) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def title(self):
        return self.x("xdotool", "getwindowname", self.window).decode().rstrip("\n")

    def click(self, x, y):
        # Away first, so that the move has somewhere to go and --sync an end.
        self.x("xdotool", "mousemove", "0", "0", "mousemove", "--window", self.window, "--sync", str(x), str(y),
               "click", "1")

    def press(self, key):
        # Without a window manager the server may send keys to the window
        # under the pointer: it rests on the bare background, and the program
        # gives the key to its focused control.
        x, y = self.scale.point(*design.BACKGROUND[0])
        self.x("xdotool", "mousemove", "--window", self.window, str(x), str(y), "key", key)

    def activate(self):
        # X input focus on the window: nothing else moves it without a window manager.
        self.x("xdotool", "windowfocus", "--sync", self.window)

    def deactivate(self):
        # On the root window; only a client's window can be waited for.
        root = self.x("xwininfo", "-root").decode().split("Window id: ", 1)[1].split()[0]
        self.x("xdotool", "windowfocus", root)

    def frame(self):
        # _MOTIF_WM_HINTS = flags, functions, decorations, ...; the function
        # bits: 2 resize, 8 minimise, 16 maximise, 32 close.
        hints = self.x("xprop", "-id", self.window, "_MOTIF_WM_HINTS").decode()
        values = [int(v, 0) for v in hints.split("=", 1)[1].split(",")] if "=" in hints else []
        functions = values[1] if len(values) > 1 and values[0] & 1 else None
        normal = self.x("xprop", "-id", self.window, "WM_NORMAL_HINTS").decode()
        result = {"hints": " ".join((hints + " " + normal).split())}
        for which in ("min", "max"):
            size = re.search(r"specified %simum size: (\d+) by (\d+)" % which, normal)
            result[which] = (int(size[1]), int(size[2])) if size else None
        for name, bit in (("resize", 2), ("minimise", 8), ("maximise", 16), ("close", 32)):
            result[name] = None if functions is None else bool(functions & bit)
        return result

    def wait_exit(self, timeout):
        try:
            return self.program.wait(timeout)
        except subprocess.TimeoutExpired:
            return None


class NativeDriver(XDriver):
    """The Linux program on Qt's xcb platform: at 96 DPI, at another with
    the font DPI forced and Qt's scaling off, or scaled by Qt."""

    name = "native"
    capabilities = XDriver.capabilities | {"appearances"}

    def __init__(self, program, dpi, plugins, lsan_suppressions, ratio=1.0):
        super().__init__(design.Scale(dpi, ratio))
        self.path = program
        self.env["QT_QPA_PLATFORM"] = "xcb"
        if dpi != 96:
            self.env.update(QT_FONT_DPI=str(dpi), QT_ENABLE_HIGHDPI_SCALING="0")
        if ratio != 1:
            self.env["QT_SCALE_FACTOR"] = "%g" % ratio
        # Centred to the logical pixel, which rounds to a device pixel or two.
        self.centring = ((-ratio - 0.5, ratio + 0.5),) * 2
        # A sanitized program checks for leaks when it exits (Ctrl+Q), with
        # whole allocation stacks (Qt has no frame pointers) so that a
        # suppression can name the Qt function a leak comes from.
        lsan = [self.env["LSAN_OPTIONS"]] if self.env.get("LSAN_OPTIONS") else []
        self.env["LSAN_OPTIONS"] = ":".join(lsan + ["fast_unwind_on_malloc=0", "suppressions=" + lsan_suppressions])
        # What Debian's GNOME desktop gives Qt programs in its dark scheme,
        # with and without the Adwaita style for Qt; and the light Adwaita
        # style, which fades the captions of an inactive window. Debian 12
        # and 13 both package the theme (qt6-gtk-platformtheme) and the style
        # (adwaita-qt6).
        gtk = os.path.join(plugins, "platformthemes/libqgtk3.so")
        adwaita = os.path.join(plugins, "styles/adwaita.so")
        dark = {"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": "Adwaita:dark"}
        self.appearances = [
            Appearance("GTK dark scheme", dark, [gtk]),
            Appearance("GTK dark scheme, Adwaita-Dark style", dict(dark, QT_STYLE_OVERRIDE="Adwaita-Dark"),
                       [gtk, adwaita]),
            Appearance("Adwaita style", {"QT_STYLE_OVERRIDE": "Adwaita"}, [adwaita]),
        ]

    def launch(self, appearance):
        # The program's own messages (a sanitizer's report) go to the log.
        return subprocess.Popen([self.path], env=dict(self.env, **(appearance.settings if appearance else {})),
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, preexec_fn=_die_with_parent)

    def find_windows(self):
        return self.x("xdotool", "search", "--onlyvisible", "--pid", str(self.program.pid)).split()

    def frame(self):
        # Qt's xcb leaves the resize function in a fixed window's Motif hints
        # and fixes its size through the size hints alone.
        return dict(super().frame(), resize=None)


class WineDriver(XDriver):
    """puzzle15.exe under Wine, in the build's private prefix, at a Windows
    DPI (Wine's LogPixels)."""

    name = "wine"

    def __init__(self, wine_run, prefix, exe, dpi):
        # Qt scales a window on Windows by the DPI over 96: its pixels stay
        # logical ones at 96 DPI.
        super().__init__(design.Scale(96, dpi / 96.0))
        self.wine_run, self.prefix, self.exe = wine_run, os.path.abspath(prefix), exe
        # Windows centres the whole window, title bar and borders included,
        # and Wine without a window manager draws neither: the client area
        # sits a few pixels across and about a title bar's height below.
        self.centring = ((-4, 4), (5, 25 * self.scale.factor() + 10))
        try:
            # Wine reads the first; older Wines the second.
            for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
                done = subprocess.run([wine_run, self.prefix, "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD",
                                       "/d", str(dpi), "/f"], env=self.env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL, timeout=300, check=False)
                if done.returncode != 0:
                    raise DriverError("reg add %s LogPixels failed" % key)
            # Wine 10 reads the DPI when its desktop starts and keeps it while
            # the prefix's server runs: let that end, so the program starts anew.
            self.wineserver("-w")
        except BaseException:
            self.close()
            raise

    def wineserver(self, *arguments):
        wineserver = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
        subprocess.run([wineserver] + list(arguments), env=dict(self.env, WINEPREFIX=self.prefix), timeout=120,
                       check=False)

    def launch(self, appearance):
        return subprocess.Popen([self.wine_run, self.prefix, self.exe], env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=_die_with_parent)

    def find_windows(self):
        # By name: Wine's windows belong to its own processes.
        return self.x("xdotool", "search", "--onlyvisible", "--name", "Информатика").split()

    def close(self):
        super().close()
        # What is left of the prefix's processes (its server, its desktop).
        self.wineserver("-k")
