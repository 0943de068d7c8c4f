#!/usr/bin/python3
"""The portal of bench.py's contrast row: a private session bus whose XDG
desktop portal (tests/support/portal.py) asks for more contrast with a dark
colour scheme. Prints the bus's address, then serves until its standard
input is closed.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))

from bus import GLib, SessionBus  # noqa: E402
from portal import Portal  # noqa: E402

session_bus = SessionBus()
session_bus.start()
portal = Portal(session_bus.address, {("org.freedesktop.appearance", "contrast"): GLib.Variant("u", 1),
                                      ("org.freedesktop.appearance", "color-scheme"): GLib.Variant("u", 1)})
portal.start()
print(session_bus.address, flush=True)
sys.stdin.read()
portal.stop()
session_bus.stop()
