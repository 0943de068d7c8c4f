"""Where the tool runs for a player: its program and environment, the time
limit of one scenario, and the device scale. Each display server's module
(xvfb, openbox, sway, kwin, mutter) derives its session from Session and
fills start_display and stop; Player takes any of them.
"""

import os


def desktop_quarters(dpi):
    """The device scale in quarters for Xft.dpi, as the Linux build picks it:
    the step at or above dpi / 96."""
    for step in (4, 5, 6, 7, 8, 10, 12, 16):
        if not dpi or step * 24 >= dpi:
            return step
    return 16


def to_device(logical, quarters):
    """A logical edge on the device: round half up, as the drawing layer maps it."""
    return (2 * logical * quarters + 4) // 8


class Session:
    def __init__(self, program, dpi=None, limit=30.0):
        self.program = os.path.abspath(program)
        self.dpi = dpi
        # Program pixels to screen pixels, as the Linux build draws them.
        self.quarters = desktop_quarters(dpi)
        self.env = dict(os.environ)
        self.limit = limit
        self.display = None
        self.wine = None

    def command(self):
        return [self.program]

    def start_display(self):
        pass

    def stop(self):
        pass
