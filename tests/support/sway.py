"""Headless sway: one output at a whole scale, started as a mapped non-root
user (sway refuses root) with a private runtime folder, optionally with
XWayland, and ended by its process id; with the player's hands there:
keys through wtype, clicks through the test seat, focus and the close box
through swaymsg, windows from sway's tree.
"""

import json
import os
import shutil
import subprocess
import tempfile
import time

import processes
from frame import FRAME
from game import BOX_CAPTIONS, CLIENT_WIDTH, MAIN_TITLE
from player import Player
from program_identity import APP_ID
from results import Failure
from seat import Seat
from session import Session

SCREEN = (1280, 1024)  # logical pixels, whatever the output's scale


class Sway(Session):
    def __init__(self, program, seat, scale=1, xwayland=False, framed=False):
        super().__init__(program)
        self.scale = scale
        self.quarters = 4 * scale
        self.seat_program = os.path.abspath(seat)
        self.xwayland = xwayland
        self.framed = framed
        self.sway = None
        self.seat = None
        self.runtime = None

    def start_display(self):
        self.runtime = tempfile.mkdtemp(prefix="sorvane-sway-", dir="/tmp")
        os.chmod(self.runtime, 0o700)
        config = os.path.join(self.runtime, "config")
        with open(config, "w") as f:
            f.write("output HEADLESS-1 mode %dx%d position 0 0 scale %d\n"
                    % (SCREEN[0] * self.scale, SCREEN[1] * self.scale, self.scale))
            f.write("xwayland %s\n" % ("enable" if self.xwayland else "disable"))
            f.write("focus_follows_mouse no\n")
            if self.framed:
                # As on GNOME: nothing of the compositor's around the window.
                f.write("default_border none\ndefault_floating_border none\n")
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                   WLR_LIBINPUT_NO_DEVICES="1")
        for name in ("WAYLAND_DISPLAY", "DISPLAY", "SWAYSOCK", "I3SOCK"):
            env.pop(name, None)
        # Root outside is user 1000 inside: the runtime folder is its own.
        command = processes.as_mapped_user(["sway", "-c", config])
        self.log = open(os.path.join(self.runtime, "sway.log"), "w")
        self.sway = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=self.log,
                                     stderr=subprocess.STDOUT, start_new_session=True,
                                     preexec_fn=processes.die_with_parent)
        deadline = time.monotonic() + 20
        socket = ipc = None
        while time.monotonic() < deadline and (socket is None or ipc is None):
            if self.sway.poll() is not None:
                raise Failure("sway ended with %d: %s" % (self.sway.returncode, self.sway_log()))
            names = os.listdir(self.runtime)
            socket = next((n for n in names if n.startswith("wayland-") and not n.endswith(".lock")), None)
            ipc = next((n for n in names if n.startswith("sway-ipc.")), None)
            time.sleep(0.02)
        if socket is None or ipc is None:
            raise Failure("sway did not start: " + self.sway_log())
        # No SORVANE_DISPLAY: the tool chooses Wayland itself.
        self.env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=socket,
                        SWAYSOCK=os.path.join(self.runtime, ipc))
        for name in ("DISPLAY", "SORVANE_DISPLAY", "SORVANE_TEST_IGNORE_XDG_DECORATION"):
            self.env.pop(name, None)
        if self.framed:
            # The test switch: sway's xdg-decoration unused, as where none is offered.
            self.env["SORVANE_TEST_IGNORE_XDG_DECORATION"] = "1"
        self.swaymsg("-t", "get_version")  # answers once sway is ready
        if self.xwayland:
            self.env["DISPLAY"] = self.xwayland_display()
        self.start_seat()

    def xwayland_display(self):
        """The X display of sway's XWayland, as sway hands it to what it starts."""
        path = os.path.join(self.runtime, "display")
        self.swaymsg("exec", "printf %%s \"$DISPLAY\" > %s.part && mv %s.part %s" % (path, path, path))
        deadline = time.monotonic() + 10
        while not os.path.exists(path):
            if time.monotonic() > deadline:
                raise Failure("sway gave no X display")
            time.sleep(0.02)
        with open(path) as f:
            name = f.read().strip()
        if not name:
            raise Failure("sway runs no XWayland")
        return name

    def sway_log(self):
        with open(os.path.join(self.runtime, "sway.log")) as f:
            return " | ".join(f.read().strip().splitlines()[-3:])

    def swaymsg(self, *arguments):
        done = subprocess.run(["swaymsg"] + list(arguments), env=self.env, capture_output=True, timeout=10)
        if done.returncode != 0:
            raise Failure("swaymsg %s failed: %s" % (" ".join(arguments), (done.stdout + done.stderr).decode()))
        return done.stdout.decode()

    def tree(self):
        return json.loads(self.swaymsg("-r", "-t", "get_tree"))

    def start_seat(self):
        self.seat = Seat(self.seat_program, self.env)

    def point(self, line):
        self.seat.point(line)

    def stop(self):
        if self.seat is not None:
            self.seat.close()
        processes.end(self.sway)
        if self.runtime is not None:
            shutil.rmtree(self.runtime, ignore_errors=True)


def views(node, floating=False):
    """Every window in the tree, with whether it floats."""
    if node.get("type") in ("con", "floating_con") and node.get("pid"):
        yield node, floating
    for child in node.get("nodes", []):
        yield from views(child, floating)
    for child in node.get("floating_nodes", []):
        yield from views(child, True)


MODIFIERS = {"alt": "Alt_L", "shift": "Shift_L"}


class WaylandPlayer(Player):
    """The player's hands on Wayland; the scenarios are the X11 ones."""

    def ours(self, node):
        return node.get("shell") == "xdg_shell" and node.get("app_id") == APP_ID

    def windows(self, names):
        return [node for node, _ in views(self.run.tree()) if self.ours(node) and node.get("name") in names
                and node.get("pid") == self.process.pid]

    def main_windows(self):
        return [node["id"] for node in self.windows([MAIN_TITLE])]

    def boxes(self):
        return [(node["id"], node["name"]) for node in self.windows(BOX_CAPTIONS)]

    def node(self, con_id):
        return next((node for node, _ in views(self.run.tree()) if node["id"] == con_id), None)

    def client_rect(self, con_id):
        """Where the client area is, in logical pixels of the layout."""
        node = self.node(con_id)
        if node is None:
            raise Failure("window %d is gone" % con_id)
        return (node["rect"]["x"] + node["window_rect"]["x"], node["rect"]["y"] + node["window_rect"]["y"],
                node["window_rect"]["width"], node["window_rect"]["height"])

    def wait_main(self):
        self.main = self.poll("main window", self.main_windows)[0]
        # Mapped with its size once the first frame is committed.
        self.poll("main window's first frame", lambda: self.client_rect(self.main)[2] == CLIENT_WIDTH)
        self.offset = self.client_rect(self.main)[:2]
        return self.main

    def focus(self, con_id):
        self.run.swaymsg("[con_id=%d] focus" % con_id)
        self.poll("focus", lambda: (self.node(con_id) or {}).get("focused"))

    def answer(self, box):
        self.focus(box)
        self.wtype("-k", "Return")
        self.poll("box to close", lambda: box not in [b for b, _ in self.boxes()] or not self.running())

    def wtype(self, *arguments):
        done = subprocess.run(["wtype"] + list(arguments), env=self.run.env, capture_output=True,
                              timeout=min(10, self.left()))
        if done.returncode != 0:
            raise Failure("wtype %s failed: %s" % (" ".join(arguments), done.stderr.decode().strip()))

    def move_pointer(self, x, y):
        self.run.point("move %.1f %.1f %d %d" % (x, y, SCREEN[0], SCREEN[1]))

    def click(self, x, y):
        self.offset = self.client_rect(self.main)[:2]
        self.move_pointer(self.offset[0] + x + 0.5, self.offset[1] + y + 0.5)
        self.run.point("down")
        self.run.point("up")

    def click_device(self, x, y):
        """The device pixel's middle: the seat moves in half logical pixels,
        which at scale 1 and 2 reach every device pixel."""
        scale = self.run.scale
        if scale > 1 and not getattr(self, "placed", False):
            # Sway centres a floating window, at a half logical pixel for an
            # odd size (the frame's 325), and its tree says the whole one
            # below: put where the tree says, it is where clicks go.
            x, y = self.node(self.main)["rect"]["x"], self.node(self.main)["rect"]["y"]
            self.run.swaymsg("[con_id=%d] move absolute position %d %d" % (self.main, x, y))
            self.placed = True
        self.offset = self.client_rect(self.main)[:2]
        self.move_pointer(self.offset[0] + (x + 0.5) / scale, self.offset[1] + (y + 0.5) / scale)
        self.run.point("down")
        self.run.point("up")

    def keys(self, *names):
        self.focus(self.main)
        for name in names:
            if "+" in name:
                # A key press of the modifier, as a keyboard sends, not a modifier alone.
                modifier, key = name.split("+")
                held = MODIFIERS[modifier]
                self.wtype("-P", held, "-k", key, "-p", held)
            else:
                self.wtype("-k", name)

    def close_box(self):
        self.run.swaymsg("[con_id=%d] kill" % self.main)


class FramedPlayer(WaylandPlayer):
    """The same hands where the layer draws the frame: the client area is
    inside it, and the close box is the one drawn."""

    def window_rect(self, con_id):
        return super().client_rect(con_id)

    def client_rect(self, con_id):
        x, y, width, height = self.window_rect(con_id)
        return (x + FRAME[0], y + FRAME[1], width - FRAME[0] - FRAME[2], height - FRAME[1] - FRAME[3])

    def close_box(self, con_id=None):
        x, y, width, _ = self.window_rect(con_id or self.main)
        self.move_pointer(x + width - FRAME[2] - 2 - 8 + 0.5, y + FRAME[0] + 2 + 7 + 0.5)
        self.run.point("down")
        self.run.point("up")


class XWaylandPlayer(WaylandPlayer):
    """The X11 build under sway's XWayland, with the same hands."""

    def ours(self, node):
        return node.get("shell") == "xwayland" and (node.get("window_properties") or {}).get("class") == APP_ID

    # Under XWayland, wtype's Tab then Space toggled nothing, and XTest's
    # Alt+F4 ended nothing: each through what worked.
    def keys(self, *names):
        for name in names:
            if name.startswith("alt+"):
                super().keys(name)
            else:
                self.focus(self.main)
                self.xdotool("key", name)
