"""KWin on its virtual backend: one output at a fractional scale, a
private runtime folder, ended by its process id; input through the test
seat, which speaks KWin's fake input there. KWinPlayer's hands learn where
windows are and which holds the keyboard from the tool's own protocol log
(WAYLAND_DEBUG).
"""

import math
import os
import re
import shutil
import subprocess
import tempfile
import time

import processes
from game import BOX_CAPTIONS, BUTTONS, CHECKBOXES, MAIN_TITLE
from player import Player
from results import Failure
from seat import Seat
from session import Session

SCREEN = (1280, 1024)  # logical pixels
SCALE_120THS = 180
KEY_ENTER = 28
# evdev codes of the keys the scenarios press.
KEYS = {"Tab": 15, "space": 57, "Return": 28, "F4": 62, "alt": 56, "shift": 42}

# The middle of the message box's OK button, in its client area.
BOX_OK = (93, 40)

TOPLEVEL = re.compile(r'(xdg_toplevel@\d+)\.(?:set_title\("([^"]*)"\)|(destroy)\(\))')
KEYBOARD = re.compile(r"wl_keyboard@\d+\.(enter|leave)\(\d+, (wl_surface@\d+)")
POINTER = re.compile(r"wl_pointer@\d+\.(?:enter\(\d+, wl_surface@\d+,|motion\(\d+,) ([-\d.]+), ([-\d.]+)\)")
ENTERED = re.compile(r"wl_pointer@\d+\.enter\(\d+, (wl_surface@\d+),")
TOUCH = re.compile(r"wl_touch@\d+\.(down|up|motion|cancel|frame)\(")


def fake_input_built(seat):
    with open(seat, "rb") as f:
        return b"org_kde_kwin_fake_input" in f.read()


class KWin(Session):
    def __init__(self, program, seat, scale_120ths=SCALE_120THS):
        super().__init__(program)
        self.seat_program = os.path.abspath(seat)
        self.scale_120ths = scale_120ths
        self.quarters = scale_120ths * 4 // 120
        self.kwin = None
        self.seat = None
        self.runtime = None

    def start_display(self):
        self.runtime = tempfile.mkdtemp(prefix="sorvane-kwin-", dir="/tmp")
        os.chmod(self.runtime, 0o700)
        # The package gives kwin_wayland a file capability, which a container
        # may refuse to exec; a copy has none. The name must stay, since
        # KWin's own Qt platform loads only into a kwin_wayland.
        binary = os.path.join(self.runtime, "bin", "kwin_wayland")
        os.mkdir(os.path.dirname(binary))
        shutil.copy(shutil.which("kwin_wayland"), binary)
        env = {k: v for k, v in os.environ.items() if k not in (
            "WAYLAND_DISPLAY", "DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM")}
        # The fake input is for trusted clients only, unless this is set.
        env.update(XDG_RUNTIME_DIR=self.runtime, XDG_CONFIG_HOME=os.path.join(self.runtime, "config"),
                   KWIN_WAYLAND_NO_PERMISSION_CHECKS="1")
        # Windows in the middle of the screen, where the player looks first.
        os.mkdir(env["XDG_CONFIG_HOME"])
        with open(os.path.join(env["XDG_CONFIG_HOME"], "kwinrc"), "w") as f:
            f.write("[Windows]\nPlacement=Centered\n")
        socket = "sorvane-kwin"
        self.log = open(os.path.join(self.runtime, "kwin.log"), "w")
        self.kwin = subprocess.Popen(
            [binary, "--virtual", "--width", str(SCREEN[0]), "--height", str(SCREEN[1]),
             "--scale", "%g" % (self.scale_120ths / 120), "--socket", socket],
            env=env, stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT, start_new_session=True,
            preexec_fn=processes.die_with_parent)
        self.env = dict(env, WAYLAND_DISPLAY=socket, WAYLAND_DEBUG="1")
        for name in ("SORVANE_DISPLAY", "SORVANE_TEST_IGNORE_XDG_DECORATION", "KWIN_WAYLAND_NO_PERMISSION_CHECKS"):
            self.env.pop(name, None)
        deadline = time.monotonic() + 30
        while not os.path.exists(os.path.join(self.runtime, socket)):
            if self.kwin.poll() is not None or time.monotonic() > deadline:
                raise Failure("KWin did not start: " + self.kwin_log())
            time.sleep(0.05)
        self.seat = Seat(self.seat_program, dict(self.env, WAYLAND_DEBUG="0"))

    def kwin_log(self):
        with open(os.path.join(self.runtime, "kwin.log")) as f:
            return " | ".join(f.read().strip().splitlines()[-3:])

    def point(self, line):
        self.seat.point(line)

    def stop(self):
        if self.seat is not None:
            self.seat.close()
        processes.end(self.kwin)
        if self.runtime is not None:
            shutil.rmtree(self.runtime, ignore_errors=True)


class KWinPlayer(Player):
    """The player's hands under KWin: what the tool's protocol log tells."""

    def toplevels(self, names):
        """The toplevels shown now with one of the titles, in the order of
        the log, since a destroyed one's id is given again."""
        shown = {}
        for toplevel, title, destroyed in TOPLEVEL.findall(self.output()):
            if destroyed:
                shown.pop(toplevel, None)
            else:
                shown[toplevel] = title
        return [toplevel for toplevel, title in shown.items() if title in names]

    def boxes(self):
        return [(toplevel, BOX_CAPTIONS[0]) for toplevel in self.toplevels(BOX_CAPTIONS)]

    def main_windows(self):
        return self.toplevels([MAIN_TITLE])

    def wait_main(self):
        self.main = self.poll("main window", self.main_windows)[0]
        self.poll("main window's first frame", self.first_frame_shown)
        self.offset = self.locate(self.main)
        return self.main

    def surface(self, toplevel):
        """The wl_surface the toplevel was last made for."""
        log = self.output()
        made = log.rfind("get_toplevel(new id %s)" % toplevel)
        role = re.findall(r"(xdg_surface@\d+)\.get_toplevel\(new id %s\)" % toplevel, log[:made + 80])
        surfaces = re.findall(r"get_xdg_surface\(new id %s, (wl_surface@\d+)\)" % role[-1], log[:made]) if role else []
        return surfaces[-1] if surfaces else None

    def locate(self, toplevel):
        """Where KWin put the toplevel, which it centres on the screen: the
        pointer at the screen's middle, and where the toplevel's surface says
        it is. Whole logical pixels, which KWin reports exactly (it rounds
        half ones)."""
        at = (SCREEN[0] // 2, SCREEN[1] // 2)
        surface = self.surface(toplevel)
        mark = len(self.output())
        self.move_pointer(at[0] + 1, at[1] + 1)
        self.move_pointer(*at)

        def heard():
            log = self.output()
            entered = ENTERED.findall(log)
            moves = POINTER.findall(log[mark:])
            return moves if len(moves) >= 2 and entered and entered[-1] == surface else None
        local = self.poll("the pointer on the window", heard)[-1]
        return (at[0] - int(float(local[0])), at[1] - int(float(local[1])))

    def first_frame_shown(self):
        log = self.output()
        shown = log.find("set_destination(540, 300)")
        return shown >= 0 and re.search(r"wl_callback@\d+\.done\(", log[shown:]) is not None

    def move_pointer(self, x, y):
        self.run.point("move %d %d %d %d" % (x, y, SCREEN[0], SCREEN[1]))

    def click(self, x, y):
        self.move_pointer(self.offset[0] + x, self.offset[1] + y)
        self.run.point("down")
        self.run.point("up")

    def layout_point(self, x, y, offset=None):
        """The middle of device pixel (x, y) of a client area, in the
        layout's logical pixels."""
        offset = offset or self.offset
        scale = self.run.quarters / 4
        return offset[0] + (x + 0.5) / scale, offset[1] + (y + 0.5) / scale

    def reaches(self, hand, device):
        """KWin hands the client the pointer in whole logical pixels (a
        motion to 35.67 arrives as 36, one by 0.67 as 1), so the pointer
        reaches only the device pixels under them; a touch keeps wl_fixed's
        1/256."""
        if hand != "click_device":
            return True
        scale = self.run.quarters / 4
        return math.floor(math.ceil(device / scale) * scale) == device

    def click_device(self, x, y):
        scale = self.run.quarters / 4
        self.move_pointer(self.offset[0] + math.ceil(x / scale), self.offset[1] + math.ceil(y / scale))
        self.run.point("down")
        self.run.point("up")

    # -- a finger, through KWin's fake touch

    def touch_count(self):
        return len(TOUCH.findall(self.output()))

    def touch(self, line, expect_events=True):
        """One touch command; waits until the tool has heard its events."""
        before = self.touch_count()
        self.run.point("touch " + line)
        if expect_events:
            self.poll("the tool to hear the touch", lambda: self.touch_count() > before)

    def tap_device(self, x, y, offset=None):
        self.touch("down 1 %.4f %.4f" % self.layout_point(x, y, offset))
        self.touch("up 1")

    def tap(self, x, y, offset=None):
        """A tap in the middle of logical pixel (x, y)."""
        self.tap_device(self.device(x), self.device(y), offset)

    def checkbox_middle(self, index):
        x, y = CHECKBOXES[index]
        return x + 6, y + 10

    def tap_button(self, button):
        self.tap(*BUTTONS[button])

    def tap_ok(self, box):
        """The box's OK, where KWin centred the box."""
        self.poll("the box's keyboard focus", lambda: self.keyboard_on(box))
        self.tap(*BOX_OK, offset=self.locate(box))
        self.poll("box to close", lambda: box not in [b for b, _ in self.boxes()] or not self.running())

    def keys(self, *names):
        self.poll("the keyboard on the window", lambda: self.keyboard_on(self.main))
        for name in names:
            self.run.point("key " + " ".join(str(KEYS[key]) for key in name.split("+")))

    def keyboard_on(self, toplevel):
        """Whether the toplevel's surface holds the keyboard now: a key sent
        before KWin moves the focus to a new box reaches the window below."""
        log = self.output()
        made = log.rfind("get_toplevel(new id %s)" % toplevel)
        surface = self.surface(toplevel)
        focus = KEYBOARD.findall(log[made:])
        return bool(surface and focus) and focus[-1] == ("enter", surface)

    def answer(self, box):
        self.poll("the box's keyboard focus", lambda: self.keyboard_on(box))
        self.run.point("key %d" % KEY_ENTER)
        self.poll("box to close", lambda: box not in [b for b, _ in self.boxes()] or not self.running())
