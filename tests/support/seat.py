"""The test seat (tests/wayland/seat.c), a Wayland client of ours that
moves the pointer, presses buttons and keys where a compositor lets it
(wlroots' virtual pointer, KWin's fake input). One line a command on its
standard input; it answers "ready" once, then "ok" to each.
"""

import select
import subprocess

import processes
from results import Failure


class Seat:
    def __init__(self, program, env):
        self.process = subprocess.Popen([program], env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        preexec_fn=processes.die_with_parent)
        if self.answer() != "ready":
            raise Failure("the test seat did not start")

    def answer(self):
        ready, _, _ = select.select([self.process.stdout], [], [], 10)
        return self.process.stdout.readline().decode().strip() if ready else None

    def point(self, line):
        self.process.stdin.write((line + "\n").encode())
        self.process.stdin.flush()
        if self.answer() != "ok":
            raise Failure("the test seat did not do " + line)

    def close(self):
        """Its input closed, it ends."""
        self.process.stdin.close()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            processes.kill(self.process)
