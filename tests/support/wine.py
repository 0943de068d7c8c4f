"""The Windows build under Wine: a fresh prefix and home of its own for one
run, and a persistent wineserver that keeps the prefix warm between
scenarios.

When we are root, every Wine process runs as user 1000 in a user namespace
(processes.as_mapped_user), as a player's Wine runs: root would be let
write a file without write permission, and the scenarios of a read-only or
locked state file would test nothing. The prefix and the home are root's
outside, and so the mapped user's own inside, as Wine requires.
"""

import os
import shutil
import subprocess
import tempfile

import processes
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

    def as_user(self, command):
        """The command as the user the tool runs as under Wine."""
        return processes.as_mapped_user(command)

    def prepare(self):
        self.folder = tempfile.mkdtemp(prefix="sorvane-wine-", dir="/tmp")
        home, scratch = os.path.join(self.folder, "home"), os.path.join(self.folder, "tmp")
        os.mkdir(home)
        os.mkdir(scratch)
        # The server's socket folder goes into TMPDIR: in ours it goes with the prefix.
        self.env.update(WINEPREFIX=os.path.join(self.folder, "prefix"), HOME=home, TMPDIR=scratch,
                        XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                        XDG_CACHE_HOME=os.path.join(home, ".cache"), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        subprocess.run(self.as_user([self.server, "-p"]), env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        boot = subprocess.run(self.as_user([self.loader, "wineboot", "--init"]), env=self.env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        if boot.returncode != 0:
            raise Failure("wineboot --init failed with %d" % boot.returncode)

    def command(self, program):
        return self.as_user([self.loader, program])

    def stop(self):
        if self.folder is None:
            return
        # The server is found through the user's own folder, so as that user.
        for flag in ("-k", "-w"):
            subprocess.run(self.as_user([self.server, flag]), env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder = None
