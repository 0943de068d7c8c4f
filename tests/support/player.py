"""The player: one run of the tool in its own game folder, with a time
limit; it waits for the tool's windows, clicks and types, answers boxes and
reads the files the tool wrote. These hands are X11's, through xdotool;
each compositor's module derives its own from Player (sway.WaylandPlayer,
kwin.KWinPlayer, mutter.MutterPlayer), and the scenarios run unchanged with
any of them. (player.cpp beside it is the scripted player of the headless
display, for the C++ tests.)
"""

import os
import subprocess
import tempfile
import time

import processes
from game import BOX_CAPTIONS, BUTTONS, CHECKBOXES, CLIENT_HEIGHT, CLIENT_WIDTH, MAIN_TITLE, STATE, TABLE
from game import describe, expected_table, state_bytes
from results import Failure
from session import to_device


class Player:
    def __init__(self, run, folder):
        self.run = run
        self.folder = folder
        self.deadline = time.monotonic() + run.limit
        self.process = None
        self.main = None
        self.offset = (0, 0)
        # Appending: output() seeks to the start of the file the tool writes
        # through, and the tool's next line must not land there.
        path = os.path.join(tempfile.gettempdir(), "sorvane-player-%d.log" % os.getpid())
        open(path, "wb").close()
        self.log = open(path, "a+b")

    def close(self):
        """The tool killed if it still runs; its log removed."""
        self.kill()
        self.log.close()
        try:
            os.remove(self.log.name)
        except FileNotFoundError:
            pass

    # -- the program

    def start(self):
        self.process = subprocess.Popen(self.run.command(), cwd=self.folder, env=self.run.env,
                                        stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log,
                                        start_new_session=True, preexec_fn=processes.die_with_parent)

    def left(self):
        left = self.deadline - time.monotonic()
        if left <= 0:
            raise Failure("time limit reached")
        return left

    def kill(self):
        processes.kill(self.process)

    def running(self):
        return self.process.poll() is None

    def expect_exit(self, code=0):
        try:
            status = self.process.wait(timeout=self.left())
        except subprocess.TimeoutExpired:
            raise Failure("the tool did not end")
        if status != code:
            raise Failure("the tool ended with %d, not %d" % (status, code))

    def output(self):
        # Read through a file of its own: the tool's writes move the offset
        # it shares with self.log to the end, so a seek there and a read could
        # see only the last lines.
        with open(self.log.name, "rb") as log:
            return log.read().decode("latin-1", "replace")

    # -- xdotool

    def xdotool(self, *arguments, check=True):
        try:
            done = subprocess.run(["xdotool"] + [str(a) for a in arguments], env=self.run.env,
                                  capture_output=True, timeout=min(10, self.left()))
        except subprocess.TimeoutExpired:
            raise Failure("xdotool %s did not finish" % " ".join(map(str, arguments)))
        if check and done.returncode != 0:
            raise Failure("xdotool %s failed: %s" % (" ".join(map(str, arguments)), done.stderr.decode().strip()))
        return done.stdout.decode()

    def visible(self, pattern):
        found = self.xdotool("search", "--onlyvisible", "--name", pattern, check=False)
        return [int(w) for w in found.split()]

    def name_of(self, window):
        return self.xdotool("getwindowname", window, check=False).rstrip("\n")

    def boxes(self):
        return [(w, self.name_of(w)) for w in self.visible("^(Vorthane Sorvane|Sorvane)$")
                if self.name_of(w) in BOX_CAPTIONS]

    def main_windows(self):
        return [w for w in self.visible("^Vorthane Sorvane for TXT by Ondrik$") if self.name_of(w) == MAIN_TITLE]

    def poll(self, what, probe, while_waiting=None):
        while True:
            try:
                found = probe()
            except Failure:
                if self.deadline - time.monotonic() <= 0:
                    raise Failure("no %s within the time limit" % what)
                raise
            if found:
                return found
            if while_waiting is not None:
                while_waiting()
            if not self.running():
                # What it wrote just before it ended may have come after the probe.
                found = probe()
                if found:
                    return found
                raise Failure("the tool ended (code %d) while waiting for %s" % (self.process.returncode, what))
            if self.deadline - time.monotonic() <= 0:
                raise Failure("no %s within the time limit" % what)
            time.sleep(0.02)

    def wait_main(self):
        windows = self.poll("main window", self.main_windows)
        self.main = windows[0]
        geometry = dict(line.split("=") for line in self.xdotool("getwindowgeometry", "--shell", self.main).split())
        width, height = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
        # The X window is the client area; should a build draw its own
        # frame, the client sits inside it.
        side = (width - self.device(CLIENT_WIDTH)) // 2
        self.offset = (side, height - self.device(CLIENT_HEIGHT) - side)
        return self.main

    def no_main_window(self):
        if self.main_windows():
            raise Failure("the main window was shown")

    def wait_box(self, caption, main_never_shown=False):
        check = self.no_main_window if main_never_shown else None
        found = self.poll('"%s" box' % caption, self.boxes, check)
        window, name = found[0]
        if name != caption:
            raise Failure('a "%s" box instead of "%s"' % (name, caption))
        return window

    def focus(self, window):
        self.xdotool("windowfocus", "--sync", window)

    def answer(self, box):
        self.focus(box)
        self.xdotool("key", "Return")
        self.poll("box to close", lambda: box not in self.visible("^(Vorthane Sorvane|Sorvane)$") or not self.running())

    # -- the player's hands

    def device(self, logical):
        return to_device(logical, self.run.quarters)

    def click(self, x, y):
        # The middle of the device pixels the logical pixel spans.
        self.xdotool("mousemove", "--window", self.main, (self.device(x) + self.device(x + 1)) // 2 + self.offset[0],
                     (self.device(y) + self.device(y + 1)) // 2 + self.offset[1], "click", 1)

    def click_device(self, x, y):
        """A click at the device pixel (x, y) of the client area."""
        self.xdotool("mousemove", "--window", self.main, x + self.offset[0], y + self.offset[1], "click", 1)

    def reaches(self, hand, device):
        """Whether the hand (a method's name) can point at that device pixel."""
        return True

    def click_checkbox(self, index):
        x, y = CHECKBOXES[index]
        self.click(x + 6, y + 10)

    def press(self, button):
        self.click(*BUTTONS[button])

    def keys(self, *names):
        self.focus(self.main)
        self.xdotool("key", *names)

    def close_box(self):
        self.run.x.delete_window(self.main)

    # -- the files

    def path(self, name):
        """The name as the tool sees it: without regard to case, one
        component at a time, an exact match first."""
        path = self.folder
        for part in name.split(os.sep):
            try:
                entries = sorted(os.listdir(path))
            except OSError:
                entries = []
            if part not in entries:
                part = next((e for e in entries if e.lower() == part.lower()), part)
            path = os.path.join(path, part)
        return path

    def read(self, name):
        try:
            with open(self.path(name), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None
        except IsADirectoryError:
            return "a folder"

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def expect_file(self, name, want):
        got = self.read(name)
        if got != want:
            raise Failure("%s is %s, not %s" % (name, describe(got), describe(want)))

    def expect_selection(self, checked):
        self.expect_file(TABLE, expected_table(checked))
        self.expect_file(STATE, state_bytes(checked))

    def expect_still_running(self):
        if not self.running():
            raise Failure("the tool ended after the box")
        if not self.main_windows():
            raise Failure("the main window is gone")
        if self.boxes():
            raise Failure("a box is still up")
