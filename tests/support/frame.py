"""The classic frame the window layer draws where a compositor draws none
(sway with the test switch, mutter): its measures and colours, and
check_frame, which reads a picture of a window with its frame.
"""

from game import CLIENT_HEIGHT, CLIENT_WIDTH
from results import expect

# A fixed frame of 3 and a caption of 19 around the client area (left, top,
# right, bottom); the close box 16 x 14, 2 in from the caption's right end
# and top.
FRAME = (3, 22, 3, 3)
# The program's icon down its column 12 (of 16), at rows 1, 4 and 11: its
# window's black frame and blue caption and its die's middle pip.
ICON_COLUMN = [(0, 0, 0), (0, 0, 0x80), (0x80, 0, 0)]
FACE, ACTIVE_CAPTION, INACTIVE_CAPTION, CAPTION_TEXT = (0xF5,) * 3, (0x0A, 0x24, 0x6A), (0x80,) * 3, (0xFF,) * 3


def framed(client):
    """The size of a window with this client area and its frame."""
    return (client[0] + FRAME[0] + FRAME[2], client[1] + FRAME[1] + FRAME[3])


def runs_of(row, colour, left, right):
    """The lengths of the runs of colour in row[left:right]."""
    runs, length = [], 0
    for x in range(left, right):
        if row[x] == colour:
            length += 1
        elif length:
            runs.append(length)
            length = 0
    return runs + ([length] if length else [])


def check_frame(picture, active, what, client=(CLIENT_WIDTH, CLIENT_HEIGHT), icon=False):
    height, width = len(picture), len(picture[0])
    want = (client[0] + FRAME[0] + FRAME[2], client[1] + FRAME[1] + FRAME[3])
    expect((width, height) == want, "%s is %dx%d with its frame, not %dx%d" % ((what, width, height) + want))
    caption = picture[FRAME[0]:FRAME[1] - 1]
    expect(picture[FRAME[1] - 1][width // 2] == FACE, "%s: no face line under the caption" % what)
    expect(caption[0][0 + FRAME[0]] == (ACTIVE_CAPTION if active else INACTIVE_CAPTION),
           "%s: the caption begins in %r, not the %s colour" % (what, caption[0][FRAME[0]],
                                                                 "active" if active else "inactive"))
    # The small icon, 16 x 16 from 2 in and 1 down: the program's own.
    title_left = FRAME[0]
    if icon:
        left, top = FRAME[0] + 2, 1
        got = [caption[top + y][left + 12] for y in (1, 4, 11)]
        expect(got == ICON_COLUMN, "%s: no small icon in the caption: %r" % (what, got))
        title_left = left + 16 + 2
    # The title: caption text pixels from the left, after the icon, none in
    # the caption's far right but for the close box; the close box face with
    # its cross.
    close_left = width - FRAME[2] - 2 - 16
    title = [x for row in caption for x in range(title_left, close_left) if row[x] == CAPTION_TEXT]
    expect(active or not title, "%s: white text on an inactive caption" % what)
    if active:
        expect(title and min(title) <= title_left + 5, "%s: no title at the caption's left" % what)
        # Inside the caption with a row to spare, and bold: its stems two
        # pixels wide, so nearly every run along a row is.
        rows = [y for y, row in enumerate(caption) if CAPTION_TEXT in row[title_left:close_left]]
        expect(min(rows) > 0 and max(rows) < len(caption) - 1, "%s: the title leaves the caption" % what)
        runs = [n for row in caption for n in runs_of(row, CAPTION_TEXT, title_left, close_left)]
        expect(sum(1 for n in runs if n >= 2) >= 0.85 * len(runs),
               "%s: the title is not bold: runs %r" % (what, sorted(runs)))
    box = [row[close_left:close_left + 16] for row in caption[2:16]]
    expect(sum(1 for row in box for pixel in row if pixel == (0, 0, 0)) == 26, "%s: no close box cross" % what)
    expect(box[11][3] == FACE, "%s: the close box is not the button face" % what)
    return title


