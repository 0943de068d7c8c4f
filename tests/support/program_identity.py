"""Who the tool's windows say they are: the desktop entry's id, which the
X11 window class and the Wayland app id repeat, and the icon the program
carries, as the pictures app/icon/ keeps beside its drawing."""

import importlib.util
import os

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
APP_ID = "invalid.sorvane.Sorvane"
# The sizes the Linux program carries (app/CMakeLists.txt); the packages'
# icon theme has these and 128 and 256.
PROGRAM_ICON_SIZES = (16, 24, 32, 48, 64)
THEME_ICON_SIZES = PROGRAM_ICON_SIZES + (128, 256)


def _icon_resource():
    found = importlib.util.spec_from_file_location("icon_resource", os.path.join(ROOT, "cmake", "icon-resource.py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def icon_pixels(size):
    """The icon at that size as 0xAARRGGBB values in rows, read from its PNG."""
    width, height, pixels = _icon_resource().read_png(os.path.join(ROOT, "app", "icon", "sorvane-%d.png" % size))
    assert width == height == size
    return pixels


def icons_in(values):
    """_NET_WM_ICON's pictures by side, as 0xAARRGGBB values (Xlib hands
    format 32 back sign-extended)."""
    icons, at = {}, 0
    while values and at + 2 <= len(values):
        side = values[at]
        icons[side] = [v & 0xFFFFFFFF for v in values[at + 2:at + 2 + side * values[at + 1]]]
        at += 2 + side * values[at + 1]
    return icons
