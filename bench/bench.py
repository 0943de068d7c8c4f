#!/usr/bin/env python3
"""Start-up and Set Filter benchmark of the tool against a bare Xlib floor,
and on Wayland against a bare wl_shm floor.

Run through scripts/bench, which installs the packages and builds the tool
first. On one private Xvfb (started with -noreset, so that no server reset
falls inside a measurement) it starts the floor, the Linux build and, with
--wine, the Windows build under a warm Wine, one after the other, N rounds,
each run in a fresh copy of the example game folder, with the state file an
earlier Set Filter left, as every start but the first finds it. bench/watch
times each run from outside: start -> window mapped, start -> first frame
painted (the last control's pixel on screen), the Set Filter click ->
message box mapped, and the peak RSS. Then it times the growth with big lists, and counts the
system calls of a start and of a Set Filter under strace (not timed).

Then, where sway is installed, the Wayland row: the same headless sway the
tests start (tests/wayland/run-sway), the wl_shm floor (bench/floor_wayland.c)
and the Linux build on its Wayland backend taking turns, each timed from
its start to its window's first committed frame, which is when sway maps
the window and says so on its IPC socket (a "new" window event).
"""

import argparse
import json
import os
import re
import select
import shutil
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BENCH_BUILD = os.path.join(ROOT, "build", "bench")
EXAMPLE_GAME = os.path.join(ROOT, "examples", "game")

# A black pixel of the "E" of "Exit", the last control the window draws,
# and the middle of "Set Filter", in client coordinates.
LAST_PIXEL = "471,271,000000"
SET_FILTER = "385,272"
# At GDK_SCALE=2 the window is twice as large and its text is drawn at twice
# the size, so the marks move: the same glyph's ink and the button's centre.
SCALE_2_PIXEL = "944,537,000000"
SCALE_2_SET_FILTER = "770,544"
SCALE_2_NAME = "the Linux build at scale 2"
COLD_NAME = "the Linux build, cold (no glyph cache)"
# Rows measured and shown but not held to a goal.
UNJUDGED = (COLD_NAME,)
# With a portal asking for more contrast and a dark scheme (bench/contrast_portal.py),
# the same ink is white.
CONTRAST_NAME = "the Linux build, portal: more contrast"
CONTRAST_PIXEL = "471,271,ffffff"

WINE_ENV = {
    "WINEARCH": "win64",
    "WINEDEBUG": "-all",
    # No Mono or Gecko install dialogs, no menu entries written.
    "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
}


def say(text):
    print("bench: " + text, file=sys.stderr, flush=True)


def build_helpers(wine):
    os.makedirs(BENCH_BUILD, exist_ok=True)
    flags = ["-O2", "-Wall", "-Wextra", "-Werror"]
    subprocess.run(["cc", *flags, "-o", os.path.join(BENCH_BUILD, "floor"),
                    os.path.join(ROOT, "bench", "floor.c"), "-lX11"], check=True)
    subprocess.run(["cc", *flags, "-o", os.path.join(BENCH_BUILD, "watch"),
                    os.path.join(ROOT, "bench", "watch.c"), "-lX11", "-lXdamage", "-lXtst"], check=True)
    if wayland_available():
        scanner = subprocess.run(["pkg-config", "--variable=wayland_scanner", "wayland-scanner"],
                                 capture_output=True, text=True, check=True).stdout.strip()
        protocols = subprocess.run(["pkg-config", "--variable=pkgdatadir", "wayland-protocols"],
                                   capture_output=True, text=True, check=True).stdout.strip()
        xml = os.path.join(protocols, "stable", "xdg-shell", "xdg-shell.xml")
        header = os.path.join(BENCH_BUILD, "xdg-shell-client-protocol.h")
        code = os.path.join(BENCH_BUILD, "xdg-shell-protocol.c")
        subprocess.run([scanner, "client-header", xml, header], check=True)
        subprocess.run([scanner, "private-code", xml, code], check=True)
        subprocess.run(["cc", *flags, "-I", BENCH_BUILD, "-o", os.path.join(BENCH_BUILD, "floor_wayland"),
                        os.path.join(ROOT, "bench", "floor_wayland.c"), code, "-lwayland-client"], check=True)
    if wine:
        subprocess.run(["x86_64-w64-mingw32-gcc", *flags, "-mwindows", "-o",
                        os.path.join(BENCH_BUILD, "wine_keep_alive.exe"),
                        os.path.join(ROOT, "bench", "wine_keep_alive.c")], check=True)


def wine_tool(name):
    found = shutil.which(name)
    return found if found else os.path.join("/usr/lib/wine", name)


class Session:
    """The private Xvfb and, with --wine, the warm Wine beside it."""

    def __init__(self, work):
        self.work = work
        self.processes = []
        # The X server started here, even inside a Wayland session.
        self.env = dict(os.environ, SORVANE_DISPLAY="x11")

    def start_xvfb(self):
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            # 4K, so that the window the program places for its 96-DPI screen stays
            # on screen at scale 2 too.
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "3840x2160x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        self.processes.append(xvfb)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise SystemExit("bench: Xvfb did not start")
        self.env["DISPLAY"] = ":" + number
        say("Xvfb on :" + number)

    def start_wine(self):
        self.env.update(WINE_ENV)
        self.env["WINEPREFIX"] = os.path.join(self.work, "wineprefix")
        say("preparing a Wine prefix")
        subprocess.run([wine_tool("wine64"), "wineboot", "-i"], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        subprocess.run([wine_tool("wineserver"), "-w"], env=self.env, check=True)
        # A persistent wineserver, and a windowless program that keeps the
        # desktop process up between the runs.
        subprocess.run([wine_tool("wineserver"), "-p"], env=self.env, check=True)
        keeper = subprocess.Popen([wine_tool("wine64"), os.path.join(BENCH_BUILD, "wine_keep_alive.exe")],
                                  env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(keeper)
        time.sleep(2)

    def stop(self):
        if "WINEPREFIX" in self.env:
            subprocess.run([wine_tool("wineserver"), "-k"], env=self.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for process in reversed(self.processes):
            process.kill()
            process.wait()


# A player's selection as Set Filter keeps it: one byte a category, 1 when
# checked. Every start but a player's very first finds it.
SELECTION = bytes([1, 0] * 13 + [1])


def game_folder(work, list_writer=None):
    """A fresh copy of the example game folder as a player's start finds
    it, with the selection of an earlier Set Filter; its list replaced if
    asked."""
    folder = tempfile.mkdtemp(dir=work, prefix="game.")
    shutil.rmtree(folder)
    shutil.copytree(EXAMPLE_GAME, folder)
    with open(os.path.join(folder, "sorvane.sav"), "wb") as state:
        state.write(SELECTION)
    if list_writer:
        list_writer(os.path.join(folder, "sorvane.lst"))
    return folder


def watch(session, command, folder, click, timeout, pixel=LAST_PIXEL, click_at=SET_FILTER, maps=None):
    arguments = [os.path.join(BENCH_BUILD, "watch"), "--pixel", pixel, "--dir", folder,
                 "--timeout", str(timeout)]
    if maps:
        arguments += ["--maps", maps]
    if click:
        arguments += ["--click", click_at]
    # A leading "env NAME=VALUE" is given to watch instead, whose child
    # inherits it: the run is timed from the program's exec, not env's
    # (half a millisecond on this machine).
    env = dict(session.env)
    if command[0] == "env":
        command = list(command[1:])
        while command and "=" in command[0]:
            name, _, value = command.pop(0).partition("=")
            env[name] = value
    result = subprocess.run(arguments + ["--"] + command, env=env,
                            stdout=subprocess.PIPE, text=True)
    values = dict(field.split("=") for field in result.stdout.split())
    run = {key: float(value) for key, value in values.items()}
    if run.get("paint", -1) < 0 or (click and run.get("click", -1) < 0):
        say("a run of %s did not finish: %s" % (os.path.basename(command[-1]), result.stdout.strip()))
        return None
    return run


def summary(values, unit):
    """Median (range), as "14.0 ms (12.3-21.0)"."""
    if not values:
        return "-"
    number, name = unit
    return "%s %s (%s-%s)" % (number(statistics.median(values)), name, number(min(values)), number(max(values)))


def milliseconds(value):
    return "%.1f" % value if value < 100 else "%.0f" % value


MS = (milliseconds, "ms")
MB = (lambda kb: "%.1f" % (kb / 1024), "MB")


def ratio(values, floor_values):
    if not values or not floor_values:
        return "-"
    return "%.1f x" % (statistics.median(values) / statistics.median(floor_values))


def startup_table(programs, runs):
    floor = runs["floor"]
    lines = ["| program | start -> mapped | start -> painted | painted / floor | "
             "Set Filter -> box | peak RSS | RSS / floor |",
             "|---|---|---|---|---|---|---|"]
    for name, _, click in programs:
        got = runs[name]
        column = lambda key: [run[key] for run in got]
        judged = name not in UNJUDGED
        lines.append("| %s | %s | %s | %s | %s | %s | %s |" % (
            name, summary(column("map"), MS), summary(column("paint"), MS),
            ratio(column("paint"), [r["paint"] for r in floor]) if judged else "(not judged)",
            summary(column("click"), MS) if click else "-",
            summary(column("rss"), MB), ratio(column("rss"), [r["rss"] for r in floor])))
    wine_name = next((name for name, _, _ in programs if name.startswith("Windows build")), None)
    if wine_name is not None:
        wine, linux = runs[wine_name], runs[programs[1][0]]
        lines.append("\nThe Windows build under Wine paints %s slower than the Linux build." %
                     ratio([r["paint"] for r in wine], [r["paint"] for r in linux]))
    if runs.get(COLD_NAME):
        lines.append("\nA cold start (an empty glyph cache each run) paints in %s the warm start's time." %
                     ratio([r["paint"] for r in runs[COLD_NAME]], [r["paint"] for r in runs[programs[1][0]]]))
    if runs.get(SCALE_2_NAME):
        lines.append("\nAt scale 2 the Linux build paints in %s its time at scale 1." %
                     ratio([r["paint"] for r in runs[SCALE_2_NAME]], [r["paint"] for r in runs[programs[1][0]]]))
    return "\n".join(lines)


def library_names(maps):
    """The shared libraries a /proc/PID/maps copy names, by file name."""
    names = set()
    for line in maps.splitlines():
        fields = line.split()
        if len(fields) >= 6 and ".so" in os.path.basename(fields[-1]):
            names.add(os.path.basename(fields[-1]))
    return sorted(names)


def libraries_table(session, programs, work):
    """One more run of each program: what it maps when its frame is painted."""
    lines = ["| program | shared libraries mapped at the first frame |", "|---|---|"]
    for name, command, _ in programs:
        folder = game_folder(work)
        maps = os.path.join(work, "maps")
        pixel, _ = marks(name)
        watch(session, resolve(command), folder, False, 60, pixel, maps=maps)
        shutil.rmtree(folder)
        found = library_names(open(maps).read()) if os.path.exists(maps) else []
        if os.path.exists(maps):
            os.remove(maps)
        lines.append("| %s | %d: %s |" % (name, len(found), ", ".join(found)))
    return "\n".join(lines)


def marks(name):
    """The pixel that says painted and the Set Filter button, for a row."""
    if name.startswith(SCALE_2_NAME):
        return SCALE_2_PIXEL, SCALE_2_SET_FILTER
    return (CONTRAST_PIXEL if name.startswith(CONTRAST_NAME) else LAST_PIXEL), SET_FILTER


def resolve(command):
    """A row's command; a callable makes it afresh for each run."""
    return command() if callable(command) else command


def first_line_list(megabytes):
    """The example list with a comment of that many megabytes as line one."""
    def write(path):
        with open(os.path.join(EXAMPLE_GAME, "sorvane.lst"), "rb") as source:
            rest = source.read().split(b"\n", 1)[1]
        with open(path, "wb") as target:
            target.write(b"'" + b"x" * (int(megabytes * 1024 * 1024) - 3) + b"\r\n")
            target.write(rest)
    return write


def selected_lines_list(kilobytes):
    """429 item lines of that many kilobytes, all in the always section."""
    def write(path):
        with open(path, "wb") as target:
            target.write(b"#ALWAYS\r\n")
            for i in range(429):
                name = (b"Item %03d " % i).ljust(int(kilobytes * 1024) - 6, b"y")
                target.write(name + b"\tabc\r\n")
    return write


def growth_table(session, programs, rounds, work):
    cases = [
        ("first line 5 MB", first_line_list(5), 5, False),
        ("first line 10 MB", first_line_list(10), 10, False),
        ("429 selected lines of 30 KB", selected_lines_list(30), 429 * 30 / 1024, True),
        ("429 selected lines of 60 KB", selected_lines_list(60), 429 * 60 / 1024, True),
    ]
    lines = ["| program | list | start -> painted | per MB | Set Filter -> box | per MB | peak RSS |",
             "|---|---|---|---|---|---|---|"]
    for name, command, _ in programs:
        for label, writer, megabytes, click in cases:
            got = []
            for _ in range(rounds):
                folder = game_folder(work, writer)
                run = watch(session, command, folder, click, timeout=600)
                shutil.rmtree(folder)
                if run:
                    got.append(run)
            paints = [run["paint"] for run in got]
            clicks = [run["click"] for run in got] if click else []
            per_mb = lambda values: "%s ms" % milliseconds(statistics.median(values) / megabytes) if values else "-"
            lines.append("| %s | %s | %s | %s | %s | %s | %s |" % (
                name, label, summary(paints, MS), per_mb(paints),
                summary(clicks, MS) if click else "-", per_mb(clicks) if click else "-",
                summary([run["rss"] for run in got], MB)))
            say("growth: %s, %s done" % (name, label))
    return "\n".join(lines)


SYSCALL_LINE = re.compile(r"^(\d+) +([a-z_0-9]+)\((.*)$")
RESUMED_LINE = re.compile(r"^(\d+) +<\.\.\. ([a-z_0-9]+) resumed>(.*)$")
OPENED = re.compile(r'"([^"]*)".* = (\d+)$')


def count_syscalls(trace):
    """All calls, and read and write calls per file name, of an strace -f file."""
    total = 0
    names = {}
    per_file = {}
    pending = {}
    for line in open(trace, errors="replace"):
        line = line.rstrip("\n")
        resumed = RESUMED_LINE.match(line)
        if resumed:
            pid, call, rest = resumed.groups()
            text = pending.pop(pid, "") + rest
        else:
            started = SYSCALL_LINE.match(line)
            if not started:
                continue
            pid, call, text = started.groups()
            total += 1
            if text.endswith("<unfinished ...>"):
                pending[pid] = text[:-len("<unfinished ...>")]
                continue
        if call in ("open", "openat"):
            opened = OPENED.search(text)
            if opened:
                names[opened.group(2)] = os.path.basename(opened.group(1))
        elif call in ("read", "pread64", "readv", "write", "pwrite64", "writev"):
            name = names.get(text.split(",", 1)[0])
            if name:
                key = (name, "write" if "write" in call else "read")
                per_file[key] = per_file.get(key, 0) + 1
        elif call == "close":
            names.pop(text.split(")", 1)[0], None)
    return total, per_file


def traced_run(session, tool, work, click):
    """One run of the tool under strace -f; the tool is ended by its pid."""
    folder = game_folder(work)
    trace = os.path.join(work, "trace")
    # The tool's output goes nowhere, so that nothing of it holds watch's pipe.
    command = ["strace", "-f", "-qq", "-o", trace, "sh", "-c", 'exec "$0" >/dev/null 2>&1', tool]
    watch(session, command, folder, click, timeout=120)
    # SIGKILL on strace leaves its tracee running, detached: end it here.
    with open(trace, errors="replace") as lines:
        first = lines.readline().split(" ", 1)[0]
    if first.isdigit():
        try:
            os.kill(int(first), 9)
        except ProcessLookupError:
            pass
    counted = count_syscalls(trace)
    shutil.rmtree(folder)
    os.remove(trace)
    return counted


def syscall_table(session, tool, work):
    lines = ["| run | system calls | read: sorvane.lst | read: sorvane.sav | write: sorvane.sav | write: gamble.txt |",
             "|---|---|---|---|---|---|"]
    for label, click in (("start -> painted", False), ("start, Set Filter -> box", True)):
        total, per_file = traced_run(session, tool, work, click)
        lines.append("| %s | %d | %d | %d | %d | %d |" % (
            label, total, per_file.get(("sorvane.lst", "read"), 0), per_file.get(("sorvane.sav", "read"), 0),
            per_file.get(("sorvane.sav", "write"), 0), per_file.get(("gamble.txt", "write"), 0)))
    return "\n".join(lines)


def wayland_available():
    return all(shutil.which(tool) for tool in ("sway", "swaymsg", "wayland-scanner")) and (
        os.geteuid() != 0 or shutil.which("unshare") is not None)


def load_sway_tests():
    sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
    import sway
    return sway


class SwayWindows:
    """sway's IPC socket, subscribed to window events (the i3 IPC framing)."""

    MAGIC = b"i3-ipc"
    SUBSCRIBE = 2

    def __init__(self, path):
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.socket.connect(path)
        self.buffer = b""
        payload = json.dumps(["window"]).encode()
        self.socket.sendall(self.MAGIC + struct.pack("=II", len(payload), self.SUBSCRIBE) + payload)
        _, reply = self.message(10)
        if not (reply or {}).get("success"):
            raise SystemExit("bench: sway refused the window subscription")

    def message(self, timeout):
        """The next message, (type, parsed payload); (None, None) on a timeout."""
        deadline = time.monotonic() + timeout
        header = len(self.MAGIC) + 8
        while True:
            if len(self.buffer) >= header:
                length, kind = struct.unpack("=II", self.buffer[len(self.MAGIC):header])
                if len(self.buffer) >= header + length:
                    payload = self.buffer[header:header + length]
                    self.buffer = self.buffer[header + length:]
                    return kind, json.loads(payload)
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.socket], [], [], left)[0]:
                return None, None
            chunk = self.socket.recv(65536)
            if not chunk:
                return None, None
            self.buffer += chunk

    def wait_mapped(self, pid, timeout):
        """The monotonic time of the "new" event of a window of pid."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            _, event = self.message(deadline - time.monotonic())
            if event is None:
                return None
            if event.get("change") == "new" and (event.get("container") or {}).get("pid") == pid:
                return time.monotonic()
        return None

    def close(self):
        self.socket.close()


def peak_rss_kb(pid):
    try:
        with open("/proc/%d/status" % pid) as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return float(line.split()[1])
    except OSError:
        pass
    return -1.0


def wayland_run(env, windows, command, folder):
    started = time.monotonic()
    process = subprocess.Popen(command, cwd=folder, env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = windows.wait_mapped(process.pid, 60)
    rss = peak_rss_kb(process.pid)
    try:
        with open("/proc/%d/maps" % process.pid) as maps:
            libraries = library_names(maps.read())
    except OSError:
        libraries = []
    process.kill()
    process.wait()
    if mapped is None:
        say("a Wayland run of %s did not map a window" % os.path.basename(command[0]))
        return None
    return {"commit": (mapped - started) * 1e3, "rss": rss, "libraries": libraries}


def wayland_table(tool, also, rounds, work):
    sway_tests = load_sway_tests()

    class Sway(sway_tests.Sway):
        def start_seat(self):
            pass  # nothing is clicked here

    run = Sway(tool, "", scale=1)
    programs = [("floor (wl_shm)", [os.path.join(BENCH_BUILD, "floor_wayland"), LAST_PIXEL]),
                ("Linux build (Wayland)", [os.path.abspath(tool)])]
    for label, _, path in (entry.partition("=") for entry in also):
        programs.append(("Linux build, %s (Wayland)" % label, [os.path.abspath(path)]))
    runs = {name: [] for name, _ in programs}
    windows = None
    try:
        run.start_display()
        windows = SwayWindows(run.env["SWAYSOCK"])
        env = dict(run.env, SORVANE_DISPLAY="wayland")
        for round_number in range(rounds + 1):
            for name, command in programs:
                folder = game_folder(work)
                got = wayland_run(env, windows, command, folder)
                shutil.rmtree(folder)
                if got and round_number > 0:
                    runs[name].append(got)
    finally:
        if windows is not None:
            windows.close()
        run.stop()
    floor = runs[programs[0][0]]
    lines = ["| program | start -> first frame committed | committed / floor | peak RSS | RSS / floor |",
             "|---|---|---|---|---|"]
    for name, _ in programs:
        got = runs[name]
        lines.append("| %s | %s | %s | %s | %s |" % (
            name, summary([r["commit"] for r in got], MS), ratio([r["commit"] for r in got], [r["commit"] for r in floor]),
            summary([r["rss"] for r in got], MB), ratio([r["rss"] for r in got], [r["rss"] for r in floor])))
    lines += ["", "| program | shared libraries mapped at the first committed frame |", "|---|---|"]
    for name, _ in programs:
        found = runs[name][-1]["libraries"] if runs[name] else []
        lines.append("| %s | %d: %s |" % (name, len(found), ", ".join(found)))
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("-n", "--runs", type=int, default=15, help="rounds of start-up runs (default 15)")
    parser.add_argument("--tool", default=os.path.join(ROOT, "build", "linux", "app", "sorvane"),
                        help="the Linux build to measure")
    parser.add_argument("--wine", metavar="EXE", help="also measure this Windows build under a warm Wine")
    parser.add_argument("--also", metavar="LABEL=PATH", action="append", default=[],
                        help="measure another Linux build in the same rounds and growth cases "
                        "(before and after a change)")
    parser.add_argument("--growth-runs", type=int, default=3, help="rounds of each growth case (default 3)")
    parser.add_argument("--no-growth", action="store_true", help="skip the growth cases")
    parser.add_argument("--no-wayland", action="store_true", help="skip the Wayland row")
    parser.add_argument("--wayland-only", action="store_true", help="only the Wayland row")
    parser.add_argument("--wine-growth", action="store_true",
                        help="time the growth under Wine too (minutes: every byte is a ReadFile)")
    arguments = parser.parse_args()

    build_helpers(arguments.wine)
    work = tempfile.mkdtemp(prefix="sorvane-bench.")
    programs = x11_programs(arguments, work)
    if arguments.wayland_only:
        try:
            print_wayland(arguments, work)
        finally:
            shutil.rmtree(work, ignore_errors=True)
        return
    session = Session(work)
    # The warm rows' glyph cache, filled by the round that warms the file
    # caches; the cold row makes an empty one for each run.
    session.env["XDG_CACHE_HOME"] = os.path.join(work, "glyph-cache")
    portal = None
    try:
        session.start_xvfb()
        if shutil.which("dbus-daemon") and os.access("/usr/bin/python3", os.X_OK):
            portal = subprocess.Popen(["/usr/bin/python3", os.path.join(ROOT, "bench", "contrast_portal.py")],
                                      stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
            address = portal.stdout.readline().strip()
            if address:
                programs.append((CONTRAST_NAME, ["env", "DBUS_SESSION_BUS_ADDRESS=" + address,
                                                 os.path.abspath(arguments.tool)], True))
                for also in arguments.also:
                    label, _, path = also.partition("=")
                    programs.append((CONTRAST_NAME + ", " + label, ["env", "DBUS_SESSION_BUS_ADDRESS=" + address,
                                                                    os.path.abspath(path)], True))
        if arguments.wine:
            session.start_wine()
        runs = {name: [] for name, _, _ in programs}
        # One round to warm the file caches, then the counted ones; the
        # programs take turns so that a busy moment hits them all alike.
        for round_number in range(arguments.runs + 1):
            for name, command, click in programs:
                folder = game_folder(work)
                pixel, click_at = marks(name)
                run = watch(session, resolve(command), folder, click, 60, pixel, click_at)
                shutil.rmtree(folder)
                if run and round_number > 0:
                    runs[name].append(run)
        say("%d rounds done" % arguments.runs)
        print("Start-up, median (range) of %d runs:\n" % arguments.runs)
        print(startup_table(programs, runs))
        print("\nShared libraries, one more run each:\n")
        print(libraries_table(session, programs, work))
        if shutil.which("strace"):
            print("\nSystem calls of the Linux build under strace -f (the example list, no state file):\n")
            print(syscall_table(session, os.path.abspath(arguments.tool), work))
        if not arguments.no_growth:
            growing = [(name, resolve(command), click) for name, command, click in programs[1:]
                       if arguments.wine_growth or name.startswith("Linux build")]
            print("\nGrowth, median (range) of %d runs:\n" % arguments.growth_runs)
            print(growth_table(session, growing, arguments.growth_runs, work))
    finally:
        if portal is not None:
            portal.stdin.close()
            portal.wait()
        session.stop()
    try:
        if not arguments.no_wayland:
            print_wayland(arguments, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def x11_programs(arguments, work):
    """The X11 rows, in the order they take turns: (name, command, click).
    A row another change adds (a setting, a portal answering) goes here;
    a command may be a callable that makes it afresh for each run."""
    tool = os.path.abspath(arguments.tool)
    programs = [("floor", [os.path.join(BENCH_BUILD, "floor"), LAST_PIXEL], False),
                ("Linux build", [tool], True)]
    if arguments.wine:
        programs.append(("Windows build, warm Wine", [wine_tool("wine64"), os.path.abspath(arguments.wine)], True))
    for also in arguments.also:
        label, _, path = also.partition("=")
        programs.append(("Linux build, " + label, [os.path.abspath(path)], True))
    programs.append((SCALE_2_NAME, ["env", "GDK_SCALE=2", tool], True))
    for also in arguments.also:
        label, _, path = also.partition("=")
        programs.append((SCALE_2_NAME + ", " + label, ["env", "GDK_SCALE=2", os.path.abspath(path)], True))

    def cold():
        return ["env", "XDG_CACHE_HOME=" + tempfile.mkdtemp(dir=work, prefix="cold-cache."), tool]
    programs.append((COLD_NAME, cold, True))
    return programs


def print_wayland(arguments, work):
    if not wayland_available():
        say("no Wayland row: sway, swaymsg or wayland-scanner is not installed")
        return
    print("\nOn Wayland (headless sway, pixman), median (range) of %d runs:\n" % arguments.runs)
    print(wayland_table(arguments.tool, arguments.also, arguments.runs, work))


if __name__ == "__main__":
    main()
