"""The Windows build under Wine: a fresh prefix of its own for one run, and
a persistent wineserver that keeps it warm between scenarios.
"""

import os
import shutil
import subprocess
import tempfile

from results import Failure


def loader():
    """wine64 from PATH, else Debian's own path, else wine; None without any."""
    if shutil.which("wine64"):
        return shutil.which("wine64")
    if os.access("/usr/lib/wine/wine64", os.X_OK):
        return "/usr/lib/wine/wine64"
    return shutil.which("wine")


class Prefix:
    def __init__(self, env):
        self.env = env
        self.folder = None
        self.loader = loader()
        self.server = shutil.which("wineserver") or "/usr/lib/wine/wineserver64"

    def prepare(self):
        self.folder = tempfile.mkdtemp(prefix="sorvane-wine-", dir="/tmp")
        self.env.update(WINEPREFIX=self.folder, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        subprocess.run([self.server, "-p"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        boot = subprocess.run([self.loader, "wineboot", "--init"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=300)
        if boot.returncode != 0:
            raise Failure("wineboot --init failed with %d" % boot.returncode)

    def command(self, program):
        return [self.loader, program]

    def stop(self):
        if self.folder is None:
            return
        for flag in ("-k", "-w"):
            subprocess.run([self.server, flag], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder = None
