"""A private X server: Xvfb on a display number it picks itself, with a
screen sized for the session's scale and Xft.dpi set as a desktop would,
for the X11 build or (with wine) the Windows build under Wine.
"""

import os
import select
import subprocess
import time

import processes
import wine
import xlib
from results import Failure
from session import Session, to_device


def free_display_number():
    """A display no server holds, for a tool that must find none."""
    number = 50
    while os.path.exists("/tmp/.X11-unix/X%d" % number) or os.path.exists("/tmp/.X%d-lock" % number):
        number += 1
    return ":%d" % number


class Xvfb(Session):
    def __init__(self, program, with_wine=False, dpi=None, screen=None):
        super().__init__(program, dpi, 120.0 if with_wine else 30.0)
        self.screen = screen or "%dx%d" % (to_device(1280, self.quarters), to_device(1024, self.quarters))
        self.with_wine = with_wine
        self.xvfb = None
        self.x = None
        # The X server started here, even inside a Wayland session.
        self.env["SORVANE_DISPLAY"] = "x11"

    def start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen + "x24", "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True,
            preexec_fn=processes.die_with_parent)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], deadline - time.monotonic())
            if not ready:
                break
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            raise Failure("Xvfb did not start")
        self.display = ":" + number.decode().strip()
        self.env["DISPLAY"] = self.display
        self.env.pop("XAUTHORITY", None)
        self.x = xlib.Connection(self.display)
        if self.dpi:
            self.x.set_resources("Xft.dpi:\t%d\n" % self.dpi)

    def prepare_wine(self):
        self.wine = wine.Prefix(self.env)
        self.wine.prepare()

    def command(self):
        return self.wine.command(self.program) if self.wine else [self.program]

    def stop(self):
        if self.wine is not None:
            self.wine.stop()
        if self.x is not None:
            self.x.close()
            self.x = None
        processes.end(self.xvfb, group=True)
