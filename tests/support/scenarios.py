"""The player's scenarios: what a player does with the tool and what must
come of it, as a table of (name, scenario). Each scenario takes a player
and uses only Player's methods, so every display's hands play the same
table: run-scenarios on Xvfb and under Wine, run-sway, run-kwin and
run-mutter pick from it by name (by_name).
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from game import ALL, AXES, CHECKBOXES, BODY, MISC, PALADIN, REFERENCES, SORCERESS, STATE, SWORDS, TABLE
from game import describe, expected_table, state_bytes
from results import Failure, Skip
import program_identity
import xlib


def start_without_state_file(p):
    p.start()
    p.wait_main()
    p.expect_file(STATE, b"")
    p.press("Set Filter")
    p.answer(p.wait_box("Vorthane Sorvane"))
    p.expect_selection(ALL)
    p.press("Exit")
    p.expect_exit(0)


def check_uncheck_and_single_boxes(p):
    p.write(STATE, state_bytes({AXES}))
    p.start()
    p.wait_main()
    p.press("Check All")
    p.click_checkbox(AXES)
    p.press("Set Filter")
    p.answer(p.wait_box("Vorthane Sorvane"))
    p.expect_selection(ALL - {AXES})
    p.expect_still_running()
    p.press("Uncheck All")
    for index in (SWORDS, BODY, SORCERESS, BODY):
        p.click_checkbox(index)
    p.press("Set Filter")
    p.answer(p.wait_box("Vorthane Sorvane"))
    p.expect_selection({SWORDS, SORCERESS})
    p.expect_still_running()
    p.press("Exit")
    p.expect_exit(0)


def set_filter_twice(p):
    p.write(STATE, state_bytes({SWORDS, PALADIN}))
    p.start()
    p.wait_main()
    p.press("Set Filter")
    p.answer(p.wait_box("Vorthane Sorvane"))
    first = p.read(TABLE)
    if first != expected_table({SWORDS, PALADIN}):
        raise Failure("first table is %s" % describe(first))
    # Something longer in between shows the second table is written anew.
    p.write(TABLE, b"stale\r\n" * 100)
    p.press("Set Filter")
    p.answer(p.wait_box("Vorthane Sorvane"))
    p.expect_file(TABLE, first)
    p.expect_file(STATE, state_bytes({SWORDS, PALADIN}))
    p.press("Exit")
    p.expect_exit(0)


def ending_saves_nothing(end):
    def scenario(p):
        saved = state_bytes({AXES, MISC}) + b"\x07\x08"
        p.write(STATE, saved)
        p.start()
        p.wait_main()
        p.press("Check All")
        p.click_checkbox(AXES)
        end(p)
        p.expect_exit(0)
        p.expect_file(STATE, saved)
        p.expect_file(TABLE, None)
    return scenario


def tab_then_space(p):
    p.start()
    p.wait_main()
    p.keys("Tab", "space")
    p.press("Set Filter")
    p.answer(p.wait_box("Vorthane Sorvane"))
    p.expect_selection(ALL - {AXES})
    p.press("Exit")
    p.expect_exit(0)


def shift_tab_then_space(p):
    """Shift must reach the key state: shift+Tab goes back to Axes, where
    Tab alone would go on to Crossbows."""
    p.start()
    p.wait_main()
    p.keys("Tab", "Tab", "shift+Tab", "space")
    p.press("Set Filter")
    p.answer(p.wait_box("Vorthane Sorvane"))
    p.expect_selection(ALL - {AXES})
    p.press("Exit")
    p.expect_exit(0)


# Which edge of which checkbox (each 90 x 20 at its corner): the tops and
# bottoms are of boxes whose edge meets the device grid at 1.5 too.
EDGES = [(0, "left"), (1, "right"), (2, "bottom"), (3, "top")]


def edge_pixels(p, hand):
    """The device pixel just inside each edge in EDGES, or the nearest one
    inside it that the hand reaches (p.reaches). Mapped a pixel off either
    way, a click there misses into the gap or the next box."""
    points = []
    for index, edge in EDGES:
        x, y = CHECKBOXES[index]
        left, top, right, bottom = p.device(x), p.device(y), p.device(x + 90) - 1, p.device(y + 20) - 1
        step = {"left": 1, "top": 1, "right": -1, "bottom": -1}[edge]
        along = left if edge == "left" else right if edge == "right" else top if edge == "top" else bottom
        while not p.reaches(hand, along):
            along += step
        middle = ((left + right) // 2, (top + bottom) // 2)
        points.append((index, (along, middle[1]) if edge in ("left", "right") else (middle[0], along)))
    return points


def inside_each_edge(hand):
    """A click (hand "click_device") or a tap ("tap_device") one device
    pixel inside each edge of a checkbox unchecks it."""
    def scenario(p):
        p.start()
        p.wait_main()
        for _, (x, y) in edge_pixels(p, hand):
            getattr(p, hand)(x, y)
        p.press("Set Filter")
        p.answer(p.wait_box("Vorthane Sorvane"))
        p.expect_selection(ALL - {index for index, _ in EDGES})
        p.press("Exit")
        p.expect_exit(0)
    return scenario


def list_missing(p):
    os.remove(p.path("sorvane.lst"))
    p.start()
    p.answer(p.wait_box("Sorvane", main_never_shown=True))
    p.expect_exit(0)
    p.no_main_window()
    p.expect_file(TABLE, None)


def expect_write_refused(p, name):
    """Under Wine the refusal is the system's: the user the tool runs as
    (not root, who would be let write) cannot open the file for writing."""
    if p.run.wine is None:
        return
    probe = [sys.executable, "-c", "import os, sys; os.open(sys.argv[1], os.O_WRONLY)", p.path(name)]
    done = subprocess.run(p.run.wine.as_user(probe), capture_output=True, timeout=min(20, p.left()))
    if done.returncode == 0:
        raise Failure("%s is writable to the user the tool runs as under Wine" % name)


def state_read_only(p):
    p.write(STATE, state_bytes({AXES}))
    os.chmod(p.path(STATE), 0o444)
    expect_write_refused(p, STATE)
    p.start()
    p.answer(p.wait_box("Sorvane", main_never_shown=True))
    p.expect_exit(0)
    p.expect_file(STATE, state_bytes({AXES}))
    p.expect_file(TABLE, None)


def state_is_a_folder(p):
    os.mkdir(p.path(STATE))
    p.start()
    p.answer(p.wait_box("Sorvane", main_never_shown=True))
    p.expect_exit(0)
    p.expect_file(TABLE, None)


def state_locked_after_start(p):
    p.write(STATE, state_bytes({PALADIN}))
    p.start()
    p.wait_main()
    os.chmod(p.path(STATE), 0o444)
    expect_write_refused(p, STATE)
    p.press("Set Filter")
    p.answer(p.wait_box("Vorthane Sorvane"))
    p.expect_exit(0)
    p.expect_file(TABLE, expected_table({PALADIN}))
    p.expect_file(STATE, state_bytes({PALADIN}))


def data_is_a_file(p):
    p.write("Data", b"not a folder")
    p.write(STATE, state_bytes({AXES}))
    p.start()
    p.wait_main()
    p.press("Uncheck All")
    p.press("Set Filter")
    p.answer(p.wait_box("Sorvane"))
    p.expect_exit(0)
    p.expect_file("Data", b"not a folder")
    p.expect_file(STATE, state_bytes({AXES}))


def saved_selection_shown(p):
    chosen = {AXES, BODY, PALADIN}
    p.write(STATE, state_bytes(chosen))
    p.start()
    p.wait_main()
    p.press("Set Filter")
    p.answer(p.wait_box("Vorthane Sorvane"))
    p.expect_selection(chosen)
    p.press("Exit")
    p.expect_exit(0)


def expect_picture(p, window, reference):
    """The window's pixels, with the pointer away from it, are the reference's."""
    p.xdotool("mousemove", 0, 0)
    shot = tempfile.NamedTemporaryFile(prefix="sorvane-shot-", suffix=".png", dir="/tmp", delete=False)
    shot.close()
    try:
        capture(p, window, shot.name)
        result = subprocess.run(["compare", "-metric", "AE", shot.name, os.path.join(REFERENCES, reference), "null:"],
                                capture_output=True, text=True, timeout=min(20, p.left()))
    finally:
        os.remove(shot.name)
    if result.returncode != 0:
        raise Failure("the picture differs from %s: %s" % (reference, result.stderr.strip() or result.returncode))


def shows_the_programs_icon(p):
    """The window manager is handed the program's own icon at 16 and 32: our
    layer sets it from the class icon, Wine from the class icon Windows
    would show on the taskbar. The default icon would differ in pixels."""
    p.start()
    p.wait_main()
    queries = xlib.Queries(p.run.display)
    try:
        # Set after the first frame, so it may follow the window by a moment.
        icons = p.poll("the window's icon",
                       lambda: program_identity.icons_in(queries.property(p.main, "_NET_WM_ICON")[1]))
    finally:
        queries.close()
    for side in (16, 32):
        if icons.get(side) != program_identity.icon_pixels(side):
            raise Failure("the window's %d-pixel icon is not the program's (it has %s)" % (side, sorted(icons)))
    p.press("Exit")
    p.expect_exit(0)


def looks_like_the_references(p):
    if shutil.which("import") is None or shutil.which("compare") is None:
        raise Skip("ImageMagick is not installed")
    p.write(STATE, state_bytes(set(range(0, 27, 3))))
    p.start()
    p.wait_main()
    expect_picture(p, p.main, "reference-window.pgm")
    p.press("Set Filter")
    box = p.wait_box("Vorthane Sorvane")
    expect_picture(p, box, "reference-message-box.pgm")
    p.answer(box)
    p.press("Exit")
    p.expect_exit(0)


SCENARIOS = [
    ("start-up without a state file checks every box", start_without_state_file),
    ("Check All, Uncheck All and single checkboxes reach the table and the state file",
     check_uncheck_and_single_boxes),
    ("Set Filter twice writes identical tables", set_filter_twice),
    ("Exit ends with 0 and saves nothing", ending_saves_nothing(lambda p: p.press("Exit"))),
    ("the close box ends with 0 and saves nothing", ending_saves_nothing(lambda p: p.close_box())),
    ("Alt+F4 ends with 0 and saves nothing", ending_saves_nothing(lambda p: p.keys("alt+F4"))),
    ("Tab then Space toggles Axes", tab_then_space),
    ("Tab, Tab, Shift+Tab then Space toggles Axes: Shift reaches the key state", shift_tab_then_space),
    ("a click one device pixel inside each edge of a checkbox lands", inside_each_edge("click_device")),
    ("a missing list is reported before any window", list_missing),
    ("a read-only state file is reported before any window", state_read_only),
    ("a state file that is a folder is reported before any window", state_is_a_folder),
    ("a state file locked after start-up is reported after the table", state_locked_after_start),
    ("a file named Data stops the table and ends the tool", data_is_a_file),
    ("a saved selection is shown at start", saved_selection_shown),
    ("the window and the message box match the reference pictures pixel for pixel", looks_like_the_references),
    ("the window shows the program's icon at 16 and 32", shows_the_programs_icon),
]


def capture(player, window, path):
    """Saves the window once its picture has settled."""
    previous = None
    while True:
        shot = subprocess.run(["import", "-window", str(window), "png:-"], env=player.run.env,
                              capture_output=True, timeout=min(20, player.left())).stdout
        if shot and shot == previous:
            break
        previous = shot
        time.sleep(0.1)
    with open(path, "wb") as f:
        f.write(shot)


def by_label(name):
    """(label, scenario) of the scenario whose name begins so."""
    return next((label, scenario) for label, scenario in SCENARIOS if label.startswith(name))


def by_name(name):
    """The scenario whose name begins so."""
    return next(scenario for label, scenario in SCENARIOS if label.startswith(name))
