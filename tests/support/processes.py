"""Processes a test starts: tied to the test's life, ended by their process
id (never by name), and run as a mapped non-root user where a component
refuses root or root would get past a permission being tested.
"""

import ctypes
import os
import shutil
import signal
import subprocess
import sys

# The user a root run becomes inside its own user namespace.
MAPPED_USER = 1000


def die_with_parent():
    """Run in a child before exec: it is ended with us, even if we are
    killed outright (a test driver's time limit)."""
    libc = ctypes.CDLL(None)
    libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def send(process, number, group=False):
    try:
        if group:
            os.killpg(process.pid, number)
        else:
            os.kill(process.pid, number)
    except ProcessLookupError:
        if group:  # it leads no group of its own: the process alone
            try:
                os.kill(process.pid, number)
            except ProcessLookupError:
                pass


def end(process, group=False, grace=10):
    """SIGTERM to the process (or its whole group), SIGKILL to the group
    when it has not ended within grace seconds; then reaped."""
    if process is None or process.poll() is not None:
        return
    send(process, signal.SIGTERM, group)
    try:
        process.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        send(process, signal.SIGKILL, True)
        process.wait()


def kill(process):
    """At once, with everything it started in its group."""
    if process is not None and process.poll() is None:
        send(process, signal.SIGKILL, True)
        process.wait()


def mapped_libraries(pid):
    """The names of the shared libraries the process maps."""
    names = set()
    with open("/proc/%d/maps" % pid) as maps:
        for line in maps:
            path = line.split()[-1] if len(line.split()) >= 6 else ""
            if ".so" in os.path.basename(path):
                names.add(os.path.basename(path))
    return names


def mapping_needed():
    return os.geteuid() == 0


def mapping_available():
    return not mapping_needed() or shutil.which("unshare") is not None


def as_mapped_user(command):
    """The command as user 1000 in a user namespace of its own when we are
    root: it then has no capability, so the permission bits hold for it, and
    whatever root owns it sees as its own."""
    if not mapping_needed():
        return list(command)
    return ["unshare", "--user", "--map-user=%d" % MAPPED_USER, "--map-group=%d" % MAPPED_USER] + list(command)


def on_signals_exit():
    """A signal ends the run through the same clean-up as an error."""
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, lambda *_: sys.exit(1))
