"""How a check ends and how the checks of a run are counted.

A check raises Failure (with what went wrong) or Skip (with why it cannot
run here); anything else it raises is a fault of the script and fails that
check alone. Counts prints one line per check and the closing
"N passed, N failed, N skipped" line that scripts/count-results reads.
"""

import sys


class Failure(Exception):
    pass


class Skip(Exception):
    pass


def expect(condition, what):
    if not condition:
        raise Failure(what)


def reason(failure):
    """A Failure's own words; the kind of anything else, since a bare
    KeyError or TypeError says nothing alone."""
    if isinstance(failure, Failure):
        return str(failure)
    return "%s: %s" % (type(failure).__name__, failure)


class Counts:
    def __init__(self):
        self.passed = self.failed = self.skipped = 0

    def ok(self, name):
        print("ok      %s" % name)
        self.passed += 1

    def skip(self, name, why):
        print("skipped %s: %s" % (name, why))
        self.skipped += 1

    def fail(self, name, why):
        print("FAILED  %s: %s" % (name, why))
        self.failed += 1

    def check(self, name, function, *arguments):
        """Runs one check and counts it; True when it passed."""
        try:
            function(*arguments)
            self.ok(name)
            return True
        except Skip as why:
            self.skip(name, why)
        except Exception as failure:  # a fault of the script fails one check, not the run
            self.fail(name, reason(failure))
        finally:
            sys.stdout.flush()
        return False

    def summary(self, with_skipped=True):
        if with_skipped:
            return "%d passed, %d failed, %d skipped" % (self.passed, self.failed, self.skipped)
        return "%d passed, %d failed" % (self.passed, self.failed)

    def status(self):
        return 1 if self.failed else 0
