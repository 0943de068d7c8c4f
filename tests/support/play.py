"""Plays a table of checks: each (name, check) in a game folder of its own
with a fresh player, counted, the tool's last lines shown when it failed,
and the tool, its log and the folder gone afterwards whatever happened.
"""

import sys

import game
from player import Player
from results import Skip, reason


def one(run, name, check, counts, hands=Player, tail=5, call=None):
    """call(check, p) runs the check, check(p) unless given; tail is how many
    of the tool's last lines a failure shows (None: all)."""
    folder = game.new_folder()
    p = hands(run, folder)
    try:
        if call is None:
            check(p)
        else:
            call(check, p)
        counts.ok(name)
    except Skip as why:
        counts.skip(name, why)
    except Exception as failure:  # a fault of the script fails one check, not the run
        counts.fail(name, reason(failure))
        lines = p.output().strip().splitlines()
        for line in lines[-tail:] if tail else lines:
            print("        | " + line)
    finally:
        p.close()
        game.remove_folder(folder)
    sys.stdout.flush()


def table(run, checks, counts, hands=Player, tail=5, call=None):
    for name, check in checks:
        one(run, name, check, counts, hands, tail, call)
