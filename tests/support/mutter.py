"""Headless mutter, GNOME's compositor: one virtual monitor, on a private
session bus (bus.SessionBus) and runtime folder, both ended by their
process ids. Input comes from mutter's remote desktop D-Bus API, as GNOME's
remote desktop gives it: relative pointer motion, the left button and keys.
MutterPlayer learns where windows are from the tool's protocol log.
"""

import os
import re
import shutil
import subprocess
import tempfile
import time

import processes
from bus import SessionBus
from frame import FRAME, framed
from game import CLIENT_HEIGHT, CLIENT_WIDTH
from kwin import KWinPlayer
from results import Failure
from session import Session

SCREEN = (1280, 1024)
SOCKET = "sorvane-mutter"
REMOTE_DESKTOP = "org.gnome.Mutter.RemoteDesktop"
SESSION = REMOTE_DESKTOP + ".Session"
BUTTON_LEFT = 272
# evdev codes of the keys the scenarios press.
KEYS = {"Tab": 15, "space": 57, "Return": 28, "Alt_L": 56, "F4": 62, "Shift_L": 42}
FRAMED = framed((CLIENT_WIDTH, CLIENT_HEIGHT))
BOX_FRAMED = framed((178, 60))


class Mutter(Session):
    def __init__(self, program):
        super().__init__(program)
        self.bus = None
        self.mutter = None
        self.runtime = None
        self.session = None
        self.pointer_at = (0.0, 0.0)

    def start_display(self):
        self.runtime = tempfile.mkdtemp(prefix="sorvane-mutter-", dir="/tmp")
        os.chmod(self.runtime, 0o700)
        self.bus = SessionBus()
        address = self.bus.start()
        env = {k: v for k, v in os.environ.items() if k not in (
            "WAYLAND_DISPLAY", "DISPLAY", "SORVANE_DISPLAY", "SORVANE_TEST_IGNORE_XDG_DECORATION")}
        # GNOME's defaults, none of this machine's settings.
        env.update(XDG_RUNTIME_DIR=self.runtime, DBUS_SESSION_BUS_ADDRESS=address, GSETTINGS_BACKEND="memory")
        self.log = open(os.path.join(self.runtime, "mutter.log"), "w")
        self.mutter = subprocess.Popen(
            ["mutter", "--headless", "--wayland", "--no-x11", "--virtual-monitor", "%dx%d" % SCREEN,
             "--wayland-display", SOCKET],
            env=env, stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT, start_new_session=True,
            preexec_fn=processes.die_with_parent)
        deadline = time.monotonic() + 30
        while not (os.path.exists(os.path.join(self.runtime, SOCKET)) and self.bus.has_owner(REMOTE_DESKTOP)):
            if self.mutter.poll() is not None or time.monotonic() > deadline:
                raise Failure("mutter did not start: " + self.mutter_log())
            time.sleep(0.02)
        self.session = self.bus.call(REMOTE_DESKTOP, "/org/gnome/Mutter/RemoteDesktop", REMOTE_DESKTOP,
                                     "CreateSession")[0]
        self.remote("Start")
        # Mutter makes the session's pointer and keyboard on first use: both
        # now, so that the tool's seat has them from the start. The pointer
        # stops at the screen's top-left corner, where moves are counted from.
        self.remote("NotifyPointerMotionRelative", "(dd)", -2 * SCREEN[0], -2 * SCREEN[1])
        self.key(KEYS["Shift_L"])
        self.env = dict(env, WAYLAND_DISPLAY=SOCKET, WAYLAND_DEBUG="1")

    def mutter_log(self):
        with open(os.path.join(self.runtime, "mutter.log")) as f:
            return " | ".join(f.read().strip().splitlines()[-3:])

    def remote(self, method, signature=None, *arguments):
        return self.bus.call(REMOTE_DESKTOP, self.session, SESSION, method, signature, *arguments)

    def move_pointer(self, x, y):
        """To (x, y) in logical pixels: mutter moves the pointer by exactly
        what it is told, without acceleration."""
        self.remote("NotifyPointerMotionRelative", "(dd)", x - self.pointer_at[0], y - self.pointer_at[1])
        self.pointer_at = (x, y)

    def button(self, pressed):
        self.remote("NotifyPointerButton", "(ib)", BUTTON_LEFT, pressed)

    def key(self, code, pressed=None):
        for state in ((True, False) if pressed is None else (pressed,)):
            self.remote("NotifyKeyboardKeycode", "(ub)", code, state)

    def stop(self):
        if self.session is not None and self.mutter.poll() is None:
            try:
                self.remote("Stop")
            except Failure:
                pass
        processes.end(self.mutter)
        if self.bus is not None:
            self.bus.stop()
        if self.runtime is not None:
            shutil.rmtree(self.runtime, ignore_errors=True)


SURFACE_OF = re.compile(r"get_xdg_surface\(new id (xdg_surface@\d+), (wl_surface@\d+)\)")
ENTER = re.compile(r"wl_pointer@\d+\.enter\(\d+, (wl_surface@\d+), ([-\d.]+), ([-\d.]+)\)")
KEYBOARD = re.compile(r"wl_keyboard@\d+\.(enter|leave)\(\d+, (wl_surface@\d+|nil)")
AT = re.compile(r"wl_pointer@\d+\.(?:enter\(\d+, wl_surface@\d+,|motion\(\d+,) ([-\d.]+), ([-\d.]+)\)")


class MutterPlayer(KWinPlayer):
    """The player's hands under mutter: the remote desktop's pointer and
    keys, and the window's place from where the tool hears the pointer."""

    def made(self, toplevel):
        """Where the toplevel was last made in the log, and its wl_surface."""
        return self.poll("the toplevel %s made in the log" % toplevel, lambda: self.made_now(toplevel))

    def made_now(self, toplevel):
        # The log is read while the tool writes it: a line may not be whole yet.
        log = self.output()
        made = list(re.finditer(r"(xdg_surface@\d+)\.get_toplevel\(new id %s\)" % toplevel, log))
        if not made:
            return None
        surfaces = [s for x, s in SURFACE_OF.findall(log[:made[-1].start()]) if x == made[-1].group(1)]
        return (made[-1].start(), surfaces[-1]) if surfaces else None

    def surface(self, toplevel):
        return self.made(toplevel)[1]

    def has_keys(self, toplevel):
        """Whether the tool last heard the keyboard enter this toplevel: a
        key sent before goes to the window that had it."""
        at, surface = self.made(toplevel)
        focus = KEYBOARD.findall(self.output()[at:])
        return bool(focus) and focus[-1] == ("enter", surface)

    def wait_main(self):
        self.main = self.poll("main window", self.main_windows)[0]
        self.poll("main window's first frame", self.first_frame_shown)
        self.origin = self.locate(self.surface(self.main))
        self.offset = (self.origin[0] + FRAME[0], self.origin[1] + FRAME[1])
        return self.main

    def first_frame_shown(self):
        log = self.output()
        shown = log.find("%s.configure(%d, %d" % ((self.main,) + FRAMED))
        return shown >= 0 and re.search(r"wl_callback@\d+\.done\(", log[shown:]) is not None

    def locate(self, surface):
        """The surface's top-left on the screen. The pointer crosses the
        screen until the tool hears it enter the surface; then it is put a
        quarter pixel off the grid, where the tool's next report tells the
        offset exactly."""
        before = len(self.output())
        points = [(x + 0.5, y + 0.5) for y in range(10, SCREEN[1], 40) for x in range(10, SCREEN[0], 40)]
        step = iter(points)

        def entered():
            return [(float(x), float(y)) for name, x, y in ENTER.findall(self.output()[before:]) if name == surface]

        def sweep():
            try:
                self.move_pointer(*next(step))
            except StopIteration:
                raise Failure("the pointer never entered the window")
        self.poll("the pointer on the window", entered, sweep)
        x, y = self.run.pointer_at
        mark = len(self.output())
        self.move_pointer(x + 0.25, y + 0.25)

        def heard():
            at = [(float(a), float(b)) for a, b in AT.findall(self.output()[mark:])]
            return [p for p in at if p[0] % 1 == 0.75 or p[0] % 1 == 0.25]
        local = self.poll("the pointer's new place", heard)[-1]
        return (round(x + 0.25 - local[0]), round(y + 0.25 - local[1]))

    def move_pointer(self, x, y):
        self.run.move_pointer(x, y)

    def click(self, x, y):
        self.move_pointer(self.offset[0] + x + 0.5, self.offset[1] + y + 0.5)
        self.run.button(True)
        self.run.button(False)

    def click_device(self, x, y):
        """At scale 1 a device pixel is a logical one: its middle."""
        self.click(x, y)

    def keys(self, *names):
        self.poll("the keyboard on the window", lambda: self.has_keys(self.main))
        for name in names:
            if "+" in name:
                modifier, key = name.split("+")
                held = KEYS[{"alt": "Alt_L", "shift": "Shift_L"}[modifier]]
                self.run.key(held, True)
                self.run.key(KEYS[key])
                self.run.key(held, False)
            else:
                self.run.key(KEYS[name])

    def answer(self, box):
        self.poll("the keyboard on the box", lambda: self.has_keys(box))
        self.run.key(KEYS["Return"])
        self.poll("box to close", lambda: box not in [b for b, _ in self.boxes()] or not self.running())

    def close_box(self):
        """The close box the tool draws, 16 x 14, 2 in from the caption's
        right end and top."""
        self.move_pointer(self.origin[0] + FRAMED[0] - FRAME[2] - 2 - 8 + 0.5, self.origin[1] + FRAME[0] + 2 + 7 + 0.5)
        self.run.button(True)
        self.run.button(False)
