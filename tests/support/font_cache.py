"""What the font cache tests share: a private home whose fonts, fontconfig
configuration and cache are the test's own, a face renamed into another
family, and a look at a running tool's window (its pixels once they have
settled)."""

import os
import shutil
import struct
import subprocess
import tempfile
import time

LIBERATION_DIR = "/usr/share/fonts/truetype/liberation"
DEJAVU_SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def renamed_face(source, target, family):
    """A copy of a TrueType face whose name table says it is of family: the
    new table goes at the end and the table directory points to it."""
    with open(source, "rb") as f:
        font = bytearray(f.read())
    names = [family, "Regular", family, family]
    table = struct.pack(">HHH", 0, 4, 6 + 12 * 4)
    strings = b""
    for name_id, text in zip((1, 2, 4, 6), names):
        encoded = text.encode("utf-16-be")
        table += struct.pack(">HHHHHH", 3, 1, 0x409, name_id, len(encoded), len(strings))
        strings += encoded
    table += strings
    font += b"\0" * (-len(font) % 4)
    at = len(font)
    font += table
    for i in range(struct.unpack(">H", font[4:6])[0]):
        record = 12 + 16 * i
        if font[record:record + 4] == b"name":
            font[record + 8:record + 16] = struct.pack(">II", at, len(table))
            with open(target, "wb") as f:
                f.write(font)
            return
    raise RuntimeError("%s has no name table" % source)


class FontHome:
    """A home of the test's own: HOME, XDG_DATA_HOME and XDG_CACHE_HOME in a
    temporary folder, and FONTCONFIG_FILE naming a configuration that reads
    only the Liberation faces and the home's fonts/ folder."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="sorvane-font-home-")
        self.fonts = os.path.join(self.root, "fonts")
        os.makedirs(self.fonts)
        self.cache = os.path.join(self.root, "cache")
        configuration = os.path.join(self.root, "fonts.conf")
        with open(configuration, "w") as f:
            f.write("<?xml version=\"1.0\"?>\n<fontconfig><dir>%s</dir><dir>%s</dir><cachedir>%s</cachedir>"
                    "</fontconfig>\n" % (LIBERATION_DIR, self.fonts, os.path.join(self.root, "fc-cache")))
        self.env = {"HOME": self.root, "XDG_DATA_HOME": os.path.join(self.root, "share"),
                    "XDG_CACHE_HOME": self.cache, "FONTCONFIG_FILE": configuration}

    def forget_cache(self):
        shutil.rmtree(self.cache, ignore_errors=True)

    def install(self, source, family):
        renamed_face(source, os.path.join(self.fonts, family.replace(" ", "") + ".ttf"), family)

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


def settled_pixels(env, window, deadline):
    """The window's pixels (raw RGB) once two looks in a row agree."""
    previous = None
    while time.monotonic() < deadline:
        shot = subprocess.run(["import", "-window", str(window), "rgb:-"], env=env, capture_output=True,
                              timeout=20).stdout
        if shot and shot == previous:
            return shot
        previous = shot
        time.sleep(0.1)
    raise RuntimeError("the window's picture did not settle")
