"""A desktop with a real window manager: Xvfb with openbox managing its
windows, and a player that also asks the window manager's view of a window
(xlib.Queries: properties, geometry, stacking).
"""

import os
import shutil
import subprocess
import tempfile
import time

import processes
import xlib
from player import Player
from results import Failure
from xvfb import Xvfb


class Desktop(Xvfb):
    def __init__(self, program, screen="1366x768", dpi=None):
        super().__init__(program, False, dpi, screen)
        self.openbox = None
        self.xlib = None
        self.config = None

    def start_display(self):
        super().start_display()
        self.xlib = xlib.Queries(self.display)
        self.start_openbox()

    def start_openbox(self):
        config = os.path.join(tempfile.gettempdir(), "sorvane-openbox-%d" % os.getpid())
        os.makedirs(config, exist_ok=True)
        self.config = config
        env = dict(self.env, XDG_CONFIG_HOME=config, HOME=config)
        self.openbox = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        preexec_fn=processes.die_with_parent)
        # Its check window on the root comes before it takes every request; it
        # manages windows once a window of ours shows in its client list. A
        # map request made while it was still starting may be passed over,
        # so a probe not taken within a second is made anew.
        deadline = time.monotonic() + 20
        probe, probed = None, 0.0
        try:
            while time.monotonic() < deadline:
                if self.openbox.poll() is not None:
                    raise Failure("openbox ended with %d" % self.openbox.returncode)
                if probe is not None and probe in self.xlib.managed():
                    return
                _, check = self.xlib.property(self.xlib.root, "_NET_SUPPORTING_WM_CHECK")
                ready = check and self.xlib.property(check[0], "_NET_SUPPORTING_WM_CHECK")[1] == check
                if ready and time.monotonic() - probed > 1:
                    if probe is not None:
                        self.xlib.destroy(probe)
                    probe, probed = self.xlib.probe_window(), time.monotonic()
                time.sleep(0.05)
        finally:
            if probe is not None:
                self.xlib.destroy(probe)
        raise Failure("openbox did not start managing windows")

    def stop(self):
        if self.xlib is not None:
            self.xlib.close()
            self.xlib = None
        processes.end(self.openbox)
        if self.config:
            shutil.rmtree(self.config, ignore_errors=True)
        super().stop()


class DesktopPlayer(Player):
    def geometry(self, window):
        return self.run.xlib.geometry(window)
