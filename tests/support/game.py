"""The game as the scenarios see it: the tool's titles and controls, the
list the scenarios play with, the table and state file it must make of a
selection, and the game folders each scenario runs in.
"""

import os
import shutil
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLE_GAME = os.path.join(HERE, "..", "..", "examples", "game")
REFERENCES = os.path.join(HERE, "..", "data")

MAIN_TITLE = "Vorthane Sorvane for TXT by Ondrik"
BOX_CAPTIONS = ("Vorthane Sorvane", "Sorvane")
CLIENT_WIDTH, CLIENT_HEIGHT = 540, 300
TABLE = os.path.join("data", "global", "excel", "gamble.txt")
STATE = "sorvane.sav"
SUCCESS = "Generated a new gamble table  "

# Top-left corners of the 27 checkboxes, by category index.
CHECKBOXES = [(35, 65), (35, 90), (35, 115), (35, 140), (35, 165), (35, 190), (35, 215),
              (125, 65), (125, 90), (125, 115), (125, 140), (125, 165), (125, 190),
              (285, 65), (285, 90), (285, 115), (285, 140), (285, 165), (285, 190), (285, 215),
              (415, 65), (415, 90), (415, 115), (415, 140), (415, 165), (415, 190), (415, 215)]
# The categories as the window names them, by index.
CATEGORIES = ["Axes", "Bows", "Crossbows", "Daggers", "Javelins", "Maces", "Polearms", "Scepters", "Spears",
              "Staves", "Swords", "Throwing Weapons", "Wands", "Helms", "Body Armor", "Shields", "Gloves", "Belts",
              "Boots", "Misc.", "Amazon", "Assassin", "Barbarian", "Druid", "Necromancer", "Paladin", "Sorceress"]
BUTTONS = {"Check All": (60, 272), "Uncheck All": (155, 272), "Set Filter": (385, 272), "Exit": (480, 272)}
AXES, SWORDS, BODY, MISC, PALADIN, SORCERESS = 0, 10, 14, 19, 25, 26
ALL = set(range(27))
EVERY_THIRD = set(range(0, 27, 3))

# The scenarios' list: an always section met twice, a split category, an item
# under two categories, a comment, blank lines and a section with no items.
SECTIONS = {"#ALWAYS": "always", "#AXES": AXES, "#SWORDS": SWORDS, "#BODY": BODY, "#MISC": MISC,
            "#PALADIN": PALADIN, "#SORCERESS": SORCERESS}
LIST_LINES = [
    "' Player test list",
    "",
    "#ALWAYS",
    "Ember Ring\terg",
    "#AXES",
    "Hand Hatchet\thht",
    "#SWORDS",
    "Short Blade\tsbl",
    "Crystal Edge\tcre",
    "#PALADIN",
    "Crystal Edge\tcre",
    "Holy Buckler\thbk",
    "",
    "#AXES",
    "Twin Moon Axe\ttma",
    "#ALWAYS",
    "Tidestone Amulet\ttam",
    "#BODY",
    "Quilted Coat\tqco",
    "#SORCERESS",
    "Glass Orb\tgob",
    "#MISC",
]


def expected_table(checked):
    rows = ["name\tcode"]
    section = None
    for line in LIST_LINES:
        if line == "" or line.startswith("'"):
            continue
        if line in SECTIONS:
            section = SECTIONS[line]
        elif section == "always" or section in checked:
            rows.append(line)
    return "".join(row + "\r\n" for row in rows).encode()


def state_bytes(checked):
    return bytes(1 if i in checked else 0 for i in range(27))


def describe(data):
    if data is None:
        return "missing"
    if isinstance(data, str):
        return data
    if len(data) <= 40:
        return repr(data)
    return "%d bytes %r..." % (len(data), data[:40])


def write_game(folder):
    with open(os.path.join(folder, "sorvane.lst"), "wb") as f:
        f.write("".join(line + "\r\n" for line in LIST_LINES).encode())


def new_folder():
    """A game folder holding the scenarios' list."""
    folder = tempfile.mkdtemp(prefix="sorvane-game-", dir="/tmp")
    write_game(folder)
    return folder


def example_folder(selection):
    """A game folder holding the bundled example list and this selection."""
    folder = tempfile.mkdtemp(prefix="sorvane-example-", dir="/tmp")
    shutil.copy(os.path.join(EXAMPLE_GAME, "sorvane.lst"), folder)
    with open(os.path.join(folder, STATE), "wb") as f:
        f.write(state_bytes(selection))
    return folder


def remove_folder(folder):
    """Removed whatever a scenario made read-only in it."""
    for root, dirs, files in os.walk(folder):
        for entry in dirs + files:
            os.chmod(os.path.join(root, entry), 0o755, follow_symlinks=False)
    shutil.rmtree(folder, ignore_errors=True)
