#!/usr/bin/python3
# Renders the game's bitmap font data/font_32.bmp from DejaVu Sans Bold and copies its licence.
#
# The letters come from an 18-pixel em; the digits and the signs between them from a
# 22-pixel one, so that a problem's numbers stand 16 rows tall; the ring of a is drawn
# pixel by pixel with an open hole, and the cursor's chevrons are drawn as shapes.
#
# The game measures every 32x32 cell by its lit (non-black) pixels: a glyph is drawn from
# its leftmost lit column, and its width and pen advance are the rightmost lit column
# minus the leftmost one, so the rightmost lit column itself is never drawn at 1x. Each
# glyph therefore ends in a faint spacer pixel two columns right of its ink: it sets
# the letter spacing, and all the real ink stays inside the drawn columns. At 2x the
# game does draw that column, once; the spacer sits in the cell's bottom row, well
# below the descenders, where it is at most a dark speck (and off the screen for the
# answer prompt at the bottom).
#
# Usage: /usr/bin/python3 makers/make_font.py   (no arguments; writes into data/)

import os
import shutil
import sys
import unicodedata

import numpy as np
from PIL import Image, ImageDraw, ImageFont

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(REPO, "data")
FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
LICENCE_FILE = "/usr/share/doc/fonts-dejavu-core/copyright"

CELL = 32            # cell width and height in pixels
FIRST = 33           # character code of cell 0
LAST = 255           # character code of the last cell
FONT_SIZE = 18       # em size in pixels: capitals 13 rows tall, room above them for accents
HIRES = 4            # glyphs are drawn this many times larger, fitted, then reduced
BASELINE = 23        # cell row of the baseline: the body ends on row 22, descenders start on 23
# Every glyph's face lies on rows FACE_TOP..FACE_BOTTOM and its dark rim one row around it,
# rows 7..26: twenty rows, so lines 20 pixels apart (the language list, the credits) never
# overlap, and the faces of two such lines always keep two rows of rim between them.
FACE_TOP = BASELINE - 15
FACE_BOTTOM = BASELINE + 2
LINE_SPACING = 20
# The problems' figures: the digits come from a larger em, fitted to rows
# FIGURE_TOP..FIGURE_BOTTOM (16 rows, from the accents' top row down to the first row under
# the letters' baseline: centred on the capitals and three rows taller), so that a child
# reads the numbers of a problem at a glance; the signs between them come from that em too.
FIGURE_SIZE = 22     # em size in pixels of the digits and the problems' signs
FIGURE_TOP = FACE_TOP
FIGURE_BOTTOM = BASELINE
FIGURE_MIN_ROWS = 16     # rows of face every digit shows at least
FIGURES = "0123456789"
# An accent above a capital takes the two face rows above the capitals' top and one row of
# rim under it; the capital under it loses only that much height (12 of 13 rows).
MARK_GAP = 1.0       # rows between an accent and a capital squeezed to make room for it
MARK_MAX = 2.0       # an accent above a capital is at most this many rows tall
ACCENTED_CAPITAL_SHARE = 0.9   # an accented capital's base is at least this share of the capital
INK_LEFT = 1         # cell column where each glyph's leftmost lit pixel goes
SPACER_GAP = 2       # spacer column = rightmost ink column + 2: one blank column between rims
SPACER_ROW = CELL - 1     # bottom row: at 2x its one drawn column stays clear of the text

# Colours (R, G, B); none of them may be pure black, which is the transparent background.
# Problems are small text: each glyph first darkens the screen through its own ink moved
# one pixel down and right, then its face is averaged with what is there. Inside a stroke
# the darkening comes from the face itself, so a face lane f ends as
# (f + s * (255 - f) / 256) / 2 over a screen lane s: white gives the brightest face the
# blend allows over any ground, the dark red highlight of the leading problem included
# (checkContrast proves it lane by lane and pins the figures).
FACE = np.array([255, 255, 255], dtype=np.float64)         # white face
OUTLINE = np.array([28, 22, 56], dtype=np.float64)         # dark ink-blue rim
SPACER = (28, 22, 56)                                      # as dark as the rim
FACE_LEVELS = 24     # steps of the blend from the rim to the face
# coverage above which a face pixel stands out from the rim (by 60 of 765 summed lanes)
FACE_SHOWS = 60.0 / (3 * 255 - 106)
OUTLINE_THRESHOLD = 0.30     # dilated coverage above which a pixel belongs to the rim

# Glyphs drawn from another code point. Problems are written with the keyboard's '*' and
# '/', and a child learns x and : as the multiplication cross and the division sign, so
# those two cells hold the cross and the obelus; the soft hyphen shows as a hyphen.
SUBSTITUTES = {ord("*"): "\u00d7", ord("/"): "\u00f7", 0xAD: "-"}
# Signs centred on the digits' maths axis, half way up a digit.
AXIS_SIGNS = "*/+-=\u00b1\u00d7\u00f7<>"
# The glyphs the game draws 2x (the answer prompt, the score feedback): their strokes are
# made crisp at 1x so that each pixel doubles into a clean 2x2 block, with soft corners.
CRISP = "0123456789-+_"
# The menu cursor ">>" stands 20 pixels left of the menu texts, so "<" and ">" are
# drawn here as narrow, tall chevrons advancing 8 pixels each; their ink (and the
# menu text's 2-pixel shadow) ends at least CURSOR_CLEARANCE columns before the text.
# They are the one pair of glyphs taller than the 20 rows of a line: the cursor stands
# alone in its column left of the texts (and beside the language picture), so it meets
# no other line, and the menu texts may not use them (make_content.py refuses them).
CURSOR_GLYPHS = "<>"
CHEVRON_WIDTH = 6.2      # face width in pixels
CHEVRON_HEIGHT = 21.0    # face height in pixels
CURSOR_MIN_ROWS = 20     # rows of face each chevron shows at least
CHEVRON_STROKE = 3.0     # horizontal thickness of each arm
CHEVRON_GAP = 1
CURSOR_CLEARANCE = 2


# The ring of a, drawn pixel for pixel on the four face rows above the a (where the other
# small letters keep their accents): face coverage per pixel, its 2x2 middle left open so
# the ground shows through it; neither face nor rim fills that hole. Reduced from the
# outline font, the ring closes into a bar and reads as a macron.
RING = np.array([[0.5, 1, 1, 1, 1, 0.5],
                 [1, 1, 0, 0, 1, 1],
                 [1, 1, 0, 0, 1, 1],
                 [0.5, 1, 1, 1, 1, 0.5]])
RING_HOLE = RING == 0
RINGED = "\u00e5"

_figureFont = None


def figureFont():
    """DejaVu Sans Bold at FIGURE_SIZE, drawn HIRES times larger."""
    global _figureFont
    if _figureFont is None:
        _figureFont = ImageFont.truetype(FONT_FILE, FIGURE_SIZE * HIRES)
    return _figureFont


def faceColours():
    """Face colour of every cell row."""
    return np.tile(FACE, (CELL, 1))


def hiresCoverage(font, text):
    """Coverage (0..1) of the text drawn HIRES times larger on a roomy canvas whose rows
    8..8+CELL-1 (times HIRES) are the cell; the pen starts at column 8."""
    k = HIRES
    canvas = Image.new("L", ((CELL + 32) * k, (CELL + 16) * k), 0)
    ImageDraw.Draw(canvas).text((8 * k, (8 + BASELINE) * k), text, font=font, fill=255,
                                anchor="ls")
    return np.asarray(canvas, dtype=np.float64) / 255.0


def squeeze(big, top, bottom, newTop, newBottom):
    """Moves rows top..bottom-1 of big into rows newTop..newBottom-1 (fewer or as many),
    averaging the rows that fall together."""
    out = np.zeros_like(big)
    src = big[top:bottom]
    if newBottom <= newTop or len(src) == 0:
        return out
    img = Image.fromarray(src.astype(np.float32), "F")
    img = img.resize((big.shape[1], newBottom - newTop), Image.BOX)
    out[newTop:newBottom] = np.asarray(img, dtype=np.float64)
    return out


def fitRows(big, capTop=None):
    """Fits a glyph into rows FACE_TOP..FACE_BOTTOM: what rises above FACE_TOP is
    squeezed down to it (an accent over a capital keeps its shape and the capital
    under it gets shorter; a glyph in one piece is squeezed whole), what hangs below
    FACE_BOTTOM is squeezed up to it. capTop, the hires row of the plain capital's top,
    parts an accent that touches its capital (the ring of A) from it."""
    k = HIRES
    base = (8 + BASELINE) * k
    top, bottom = (8 + FACE_TOP) * k, (8 + FACE_BOTTOM + 1) * k
    rows = np.nonzero(big.max(axis=1) > 0.02)[0]
    if len(rows) == 0:
        return big
    above, below = big.copy(), big.copy()
    above[base:] = 0
    below[:base] = 0
    first, last = rows.min(), rows.max() + 1
    if first < top:
        # a mark above the body: a run of empty rows between the glyph's top and its body
        blank = [r for r in range(first, base) if big[r].max() <= 0.02]
        if not blank and capTop is not None:
            blank = [capTop - 1]
        if blank:
            markEnd, bodyTop = blank[0], blank[-1] + 1
            markH = min(markEnd - first, int(MARK_MAX * k))
            gap = int(MARK_GAP * k)
            newBodyTop = top + markH + gap
            body = squeeze(above, bodyTop, base, newBodyTop, base)
            mark = squeeze(above, first, markEnd, top, top + markH)
            above = np.maximum(body, mark)
        else:
            above = squeeze(above, first, base, top, base)
    if last > bottom:
        below = squeeze(below, base, last, base, bottom)
    return np.maximum(above, below)


def crisp(a):
    """Sharpens anti-aliased edges so that most pixels are either face or background and
    doubled strokes look drawn, keeping a partial pixel where a curve turns."""
    t = np.clip((a - 0.22) / 0.5, 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def fitFigure(big):
    """A digit's hires coverage stretched or squeezed so that its ink fills rows
    FIGURE_TOP..FIGURE_BOTTOM exactly."""
    k = HIRES
    rows = np.nonzero(big.max(axis=1) > 0.02)[0]
    return squeeze(big, rows.min(), rows.max() + 1, (8 + FIGURE_TOP) * k,
                   (8 + FIGURE_BOTTOM + 1) * k)


def coverage(font, text, sharp=False):
    """Coverage (0..1) of the text fitted into the face rows, at 1x on a roomy canvas whose
    rows 8..8+CELL-1 are the cell; the pen starts at column 8. A digit comes from the
    figures' em whatever font is given."""
    capTop = None
    parts = unicodedata.decomposition(text).split() if len(text) == 1 else []
    if len(parts) == 2 and parts[1] in MARKS_ABOVE:
        plain = hiresCoverage(font, chr(int(parts[0], 16)))
        capTop = int(np.nonzero(plain.max(axis=1) > 0.02)[0].min())
    if len(text) == 1 and text in FIGURES:
        big = fitFigure(hiresCoverage(figureFont(), text))
    else:
        big = fitRows(hiresCoverage(font, text), capTop)
    img = Image.fromarray(big.astype(np.float32), "F")
    img = img.resize((CELL + 32, CELL + 16), Image.BOX)
    a = np.clip(np.asarray(img, dtype=np.float64), 0.0, 1.0)
    return crisp(a) if sharp else a


def chevron(pointsRight, centre):
    """Coverage of a chevron centred on canvas row centre (the maths axis)."""
    k = 8  # drawn 8x larger and reduced, for smooth diagonals
    w, h, t = CHEVRON_WIDTH * k, CHEVRON_HEIGHT * k, CHEVRON_STROKE * k
    x0, y0 = 8 * k, (centre + 0.5) * k - h / 2.0
    shape = [(0, 0), (t, 0), (w, h / 2.0), (t, h), (0, h), (w - t, h / 2.0)]
    if not pointsRight:
        shape = [(w - x, y) for x, y in shape]
    big = Image.new("L", ((CELL + 32) * k, (CELL + 16) * k), 0)
    ImageDraw.Draw(big).polygon([(x0 + x, y0 + y) for x, y in shape], fill=255)
    small = big.resize((CELL + 32, CELL + 16), Image.BOX)
    return np.asarray(small, dtype=np.float64) / 255.0


def rowCentre(a):
    rows = np.nonzero(a.any(axis=1))[0]
    return (rows.min() + rows.max()) / 2.0


def dilate(a):
    """3x3 maximum filter: the coverage of a one-pixel rim around the glyph."""
    p = np.pad(a, 1)
    out = np.zeros_like(a)
    h, w = a.shape
    for dy in range(3):
        for dx in range(3):
            out = np.maximum(out, p[dy:dy + h, dx:dx + w])
    return out


def placeGlyph(cell, rgb, lit, gap=SPACER_GAP):
    """Moves the glyph's lit area into the cell at INK_LEFT, adds the spacer pixel and
    returns the cell (CELL x CELL x 3). Fails when the glyph does not fit."""
    ys, xs = np.nonzero(lit)
    top, bottom, left, right = ys.min(), ys.max(), xs.min(), xs.max()
    if top < 8 or bottom > 8 + CELL - 1:
        sys.exit("make_font.py: glyph %d does not fit the cell vertically" % cell)
    width = right - left + 1
    if INK_LEFT + width - 1 + gap > CELL - 1:
        sys.exit("make_font.py: glyph %d is too wide for the cell" % cell)
    out = np.zeros((CELL, CELL, 3), dtype=np.uint8)
    block = rgb[8:8 + CELL, left:right + 1]
    mask = lit[8:8 + CELL, left:right + 1]
    region = out[:, INK_LEFT:INK_LEFT + width]
    region[mask] = block[mask]
    out[SPACER_ROW, INK_LEFT + width - 1 + gap] = SPACER
    return out


def underscore(font):
    """The answer prompt's blank: a bar two rows thick on the lowest face rows, as wide as
    a digit's face, so that doubled it reads as a slot for a digit."""
    digit = coverage(font, "0", sharp=True)
    cols = np.nonzero((digit >= 0.5).any(axis=0))[0]
    a = np.zeros_like(digit)
    a[8 + FACE_BOTTOM - 1:8 + FACE_BOTTOM + 1, cols.min():cols.max() + 1] = 1.0
    return a


def faceCentre(a):
    """Centre row of the face of a coverage: the rows where the face shows brighter than
    the rim (as checkWritten reads the written cells)."""
    rows = np.nonzero((a > FACE_SHOWS).any(axis=1))[0]
    return (rows.min() + rows.max()) / 2.0


def mathsAxis(font):
    """Canvas row half way up the digits: where + - x : = sit."""
    return float(np.mean([faceCentre(coverage(font, d)) for d in "0123456789"]))


def plusBar(plus):
    """The horizontal bar of the plus's coverage: its full-width face rows and the partly
    covered rows next to them, with the vertical bar taken out (where it crosses those
    edge rows, the arm's coverage beside it is copied across)."""
    face = plus >= 0.5
    widths = face.sum(axis=1)
    bar = np.nonzero(widths >= 0.8 * widths.max())[0]
    cols = np.nonzero(face[bar].any(axis=0))[0]
    arm = cols.min() + (cols.max() - cols.min()) // 4
    out = np.zeros_like(plus)
    out[bar] = plus[bar]
    for r in (bar.min() - 1, bar.max() + 1):
        out[r, cols.min() - 1:cols.max() + 2] = plus[r, arm]
        out[r, cols.min() - 1] = plus[r, cols.min() - 1]
        out[r, cols.max() + 1] = plus[r, cols.max() + 1]
    return out


def axisSign(font, text, axis):
    """Coverage of a sign moved onto the digits' maths axis."""
    a = coverage(font, text, sharp=True)
    return np.roll(a, int(round(axis - faceCentre(a))), axis=0)


def ringed(font):
    """Coverage of the plain a with RING on the face rows above it, centred where the
    outline font centres its ring, and where RING leaves its hole."""
    k = HIRES
    a = coverage(font, "a")
    body = np.nonzero(hiresCoverage(font, "a").max(axis=1) > 0.02)[0].min()
    ring = hiresCoverage(font, RINGED)[:body - k]
    cols = np.nonzero(ring.max(axis=0) > 0.02)[0]
    left = int(round((cols.min() + cols.max() + 1) / 2.0 / k - RING.shape[1] / 2.0))
    top = 8 + FACE_TOP
    h, w = RING.shape
    a[top:top + h, left:left + w] = np.maximum(a[top:top + h, left:left + w], RING)
    hole = np.zeros(a.shape, dtype=bool)
    hole[top:top + h, left:left + w] = RING_HOLE
    return a, hole


def renderGlyph(font, code, faces, axis):
    ch = chr(code)
    hole = None
    if ch in CURSOR_GLYPHS:
        a = chevron(ch == ">", axis)
    elif ch == "_":
        a = underscore(font)
    elif ch == "-":
        # the minus of every problem and answer: the plus's own bar, so that in
        # "-6 x -10" the sign reads as clearly as a plus would
        a = plusBar(axisSign(figureFont(), "+", axis))
    elif ch == RINGED:
        a, hole = ringed(font)
    else:
        sign = ch in AXIS_SIGNS
        a = coverage(figureFont() if sign else font, SUBSTITUTES.get(code, ch),
                     sharp=ch in CRISP)
        if sign:
            a = np.roll(a, int(round(axis - faceCentre(a))), axis=0)
    rim = dilate(a)
    lit = rim > OUTLINE_THRESHOLD
    if hole is not None:
        lit &= ~hole
    rowFaces = np.zeros(a.shape + (3,))
    rowFaces[8:8 + CELL] = faces[:, None, :]
    rowFaces[:8] = faces[0]
    rowFaces[8 + CELL:] = faces[-1]
    # the face's edge blends into the rim in FACE_LEVELS steps: the texts keep few
    # colours, so pictures that show them (the language cards) hold them in a palette
    a = np.round(a * FACE_LEVELS) / FACE_LEVELS
    rgb = OUTLINE[None, None, :] * (1.0 - a[..., None]) + rowFaces * a[..., None]
    rgb = np.clip(np.rint(rgb), 0, 255).astype(np.uint8)
    if not lit.any():
        sys.exit("make_font.py: glyph %d has no ink" % code)
    return placeGlyph(code, rgb, lit, CHEVRON_GAP if ch in CURSOR_GLYPHS else SPACER_GAP)


def boxGlyph():
    """The stand-in for control codes 127..159: an empty box, so a stray byte shows."""
    out = np.zeros((CELL, CELL, 3), dtype=np.uint8)
    top, bottom, left, right = BASELINE - 13, BASELINE - 1, INK_LEFT, INK_LEFT + 9
    out[top - 1:bottom + 2, left:right + 3] = OUTLINE.astype(np.uint8)
    out[top:bottom + 1, left + 1:right + 2] = (255, 255, 255)
    out[top + 2:bottom - 1, left + 3:right] = OUTLINE.astype(np.uint8)
    out[SPACER_ROW, right + 2 + SPACER_GAP] = SPACER
    return out


def nbspGlyph():
    """The no-break space: two faint marks one space width (CELL / 4) apart, so it
    advances like a space; only the left mark is drawn, a near-black speck in row 0."""
    out = np.zeros((CELL, CELL, 3), dtype=np.uint8)
    out[0, INK_LEFT] = (1, 1, 1)
    out[0, INK_LEFT + CELL // 4] = (1, 1, 1)
    return out


def cellOf(sheet, ch):
    i = ord(ch) - FIRST
    return sheet[i * CELL:(i + 1) * CELL]


def inkRows(cell, faceOnly=False):
    """Rows of the cell holding ink (or only face, brighter than the rim), the spacer
    row left out."""
    level = cell.astype(np.int64).sum(axis=2)
    lit = level > (OUTLINE.sum() + 60 if faceOnly else 0)
    lit[SPACER_ROW] = False
    return np.nonzero(lit.any(axis=1))[0]


def checkWritten(path):
    """Re-reads the font as the game will and fails on a cell without ink (the no-break
    space aside), a glyph that leaves the rows that keep lines 20 pixels apart clear of
    each other, a sign off the digits' maths axis, '*' and '/' not drawn as x and :, a
    menu cursor that would run into the menu texts, or glyphs too small for a child to
    read (digits, the cursor, the ring of a)."""
    img = Image.open(path)
    if img.mode != "RGB" or img.size != (CELL, CELL * (LAST - FIRST + 1)):
        sys.exit("make_font.py: %s is not a 24-bit %d-pixel-wide font" % (path, CELL))
    sheet = np.asarray(img)
    lit = sheet.astype(np.int64).sum(axis=2) != 0
    advance, inkLeft, inkRight = {}, {}, {}
    for i in range(LAST - FIRST + 1):
        code = FIRST + i
        cell = lit[i * CELL:(i + 1) * CELL]
        cols = np.nonzero(cell.any(axis=0))[0]
        advance[code] = int(cols.max() - cols.min()) if len(cols) else -CELL
        inked = cell.sum() >= 4 or code == 160
        if advance[code] <= 0 or not inked:
            sys.exit("make_font.py: character %d has no ink" % code)
        ink = np.nonzero(cell[:SPACER_ROW].any(axis=0))[0]
        inkLeft[code], inkRight[code] = int(cols.min()), int(ink.max()) if len(ink) else 0
        if code == 160:
            continue
        cell = sheet[i * CELL:(i + 1) * CELL]
        if chr(code) in CURSOR_GLYPHS:
            faces = inkRows(cell, faceOnly=True)
            if len(faces) < CURSOR_MIN_ROWS:
                sys.exit("make_font.py: the cursor's '%s' stands %d rows tall, under %d"
                         % (chr(code), len(faces), CURSOR_MIN_ROWS))
            continue
        # lines LINE_SPACING apart: ink within one window of that many rows, faces inside it
        rows = inkRows(sheet[i * CELL:(i + 1) * CELL])
        faces = inkRows(sheet[i * CELL:(i + 1) * CELL], faceOnly=True)
        if rows.min() < FACE_TOP - 1 or rows.max() > FACE_BOTTOM + 1 or \
                (len(faces) and (faces.min() < FACE_TOP or faces.max() > FACE_BOTTOM)):
            sys.exit("make_font.py: character %d reaches rows %d..%d, outside %d..%d where "
                     "lines %d pixels apart keep clear of each other"
                     % (code, rows.min(), rows.max(), FACE_TOP - 1, FACE_BOTTOM + 1,
                        LINE_SPACING))
    if (FACE_BOTTOM + 1) - (FACE_TOP - 1) + 1 > LINE_SPACING:
        sys.exit("make_font.py: the glyph rows are taller than the line spacing")
    # the signs of a problem sit on the digits' maths axis, and the keyboard's signs are the
    # school's: '*' is the multiplication cross and '/' the division sign, pixel for pixel
    def centre(ch):
        r = inkRows(cellOf(sheet, ch), faceOnly=True)
        return (r.min() + r.max()) / 2.0
    axis = np.mean([centre(d) for d in "0123456789"])
    for ch in "*/+-=":
        if abs(centre(ch) - axis) > 0.5:
            sys.exit("make_font.py: '%s' is centred on row %.1f, the digits' axis on %.1f"
                     % (ch, centre(ch), axis))
    for ch, sign in (("*", "\u00d7"), ("/", "\u00f7")):
        if not np.array_equal(cellOf(sheet, ch), cellOf(sheet, sign)):
            sys.exit("make_font.py: '%s' is not drawn as %s" % (ch, sign))
    # ">>" at x = 220 with the menu text's 2-pixel shadow ends before the text at x = 240
    right = 220 + advance[ord(">")] + inkRight[ord(">")] - inkLeft[ord(">")] + 2
    if right > 240 - 1 - CURSOR_CLEARANCE:
        sys.exit("make_font.py: the cursor >> reaches column %d, touching the text at 240"
                 % right)
    for d in FIGURES:
        faces = inkRows(cellOf(sheet, d), faceOnly=True)
        solid = faceRuns(cellOf(sheet, d))
        if len(faces) < FIGURE_MIN_ROWS or solid[-1][1] - solid[0][0] + 1 < FIGURE_MIN_ROWS:
            sys.exit("make_font.py: the digit %s stands %d rows tall, under %d"
                     % (d, len(faces), FIGURE_MIN_ROWS))
    if not enclosedBlank(lit[(ord(RINGED) - FIRST) * CELL:(ord(RINGED) - FIRST + 1) * CELL]):
        sys.exit("make_font.py: the ring of %s has no open hole" % RINGED)
    checkCapitals(sheet)
    checkMinus(sheet)


def enclosedBlank(lit):
    """Whether some unlit pixel of the cell is closed in by lit ones (4-connected), so
    that the ground shows through a hole in the glyph."""
    outside = np.zeros_like(lit)
    outside[0, :], outside[-1, :], outside[:, 0], outside[:, -1] = True, True, True, True
    outside &= ~lit
    while True:
        grown = outside.copy()
        grown[1:] |= outside[:-1]
        grown[:-1] |= outside[1:]
        grown[:, 1:] |= outside[:, :-1]
        grown[:, :-1] |= outside[:, 1:]
        grown &= ~lit
        if np.array_equal(grown, outside):
            return bool((~lit & ~outside).any())
        outside = grown


# Capitals whose accent stands above them: each is checked against its plain capital.
MARKS_ABOVE = ("0300", "0301", "0302", "0303", "0308", "030A")


def faceRuns(cell):
    """Runs of consecutive rows of a cell holding solid face (at least half way from the
    rim's colour to the face's), (first, last), top first."""
    solid = cell.astype(np.int64).sum(axis=2) > (OUTLINE.sum() + FACE.sum()) / 2
    solid[SPACER_ROW] = False
    rows = np.nonzero(solid.any(axis=1))[0]
    runs = []
    for r in rows:
        if runs and r == runs[-1][1] + 1:
            runs[-1][1] = r
        else:
            runs.append([r, r])
    return runs


def checkCapitals(sheet):
    """Every Latin-1 capital with an accent above keeps a base at least
    ACCENTED_CAPITAL_SHARE of its plain capital's height, standing on the baseline, with
    its accent above it, apart from it and inside the cell. Returns the worst share."""
    worst = 1.0
    for code in range(0xC0, 0xDF):
        parts = unicodedata.decomposition(chr(code)).split()
        if len(parts) != 2 or parts[1] not in MARKS_ABOVE:
            continue
        plain = faceRuns(cellOf(sheet, chr(int(parts[0], 16))))[-1]
        runs = faceRuns(cellOf(sheet, chr(code)))
        base = runs[-1]
        share = (base[1] - base[0] + 1) / float(plain[1] - plain[0] + 1)
        worst = min(worst, share)
        if base[1] != plain[1] or share < ACCENTED_CAPITAL_SHARE:
            sys.exit("make_font.py: %s stands %d rows tall on row %d, its plain capital %d "
                     "on row %d: an accented capital keeps at least %d%% of the height"
                     % (chr(code), base[1] - base[0] + 1, base[1], plain[1] - plain[0] + 1,
                        plain[1], round(100 * ACCENTED_CAPITAL_SHARE)))
        if len(runs) < 2 or runs[0][0] < 0:
            sys.exit("make_font.py: %s has no accent of its own above the capital"
                     % chr(code))
    return worst


def checkMinus(sheet):
    """The minus is the plus's bar: as wide, as thick and on the same rows."""
    def face(ch):
        cell = cellOf(sheet, ch).astype(np.int64).sum(axis=2) > OUTLINE.sum() + 60
        cell[SPACER_ROW] = False
        return cell
    plus, minus = face("+"), face("-")
    widths = plus.sum(axis=1)
    bar = np.nonzero(widths >= 0.8 * widths.max())[0]
    plusCols = np.nonzero(plus.any(axis=0))[0]
    minusCols = np.nonzero(minus.any(axis=0))[0]
    minusRows = np.nonzero(minus.any(axis=1))[0]
    if (len(minusCols) != len(plusCols) or len(minusRows) != len(bar)
            or minusRows.min() != bar.min()):
        sys.exit("make_font.py: the minus's face is %dx%d on rows %d..%d; the plus's bar is "
                 "%dx%d on rows %d..%d"
                 % (len(minusCols), len(minusRows), minusRows.min(), minusRows.max(),
                    len(plusCols), len(bar), bar.min(), bar.max()))


# Contrast of the problems' small text: the median face pixel as drawn against the ground
# (WCAG ratio of relative luminances). The leading problem stands on the highlight, the
# others on the field of the three in-game pictures. Pinned: both may only get better.
PROBLEM_SAMPLES = ("7 + 5", "-6 * -10", "63 / 7", "12 - 9", "-9 * 9", "48 / -8")
LEADING_CONTRAST_MIN = 2.10
OTHERS_CONTRAST_MIN = 4.60


def luminance(rgb):
    c = np.asarray(rgb, dtype=np.float64) / 255.0
    c = np.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4)
    return float(c[0] * 0.2126 + c[1] * 0.7152 + c[2] * 0.0722)


def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


def problemContrast(font, ground):
    """Contrast of the sample problems drawn in small text on a flat ground."""
    screen = np.zeros((40, 200, 3), dtype=np.int64)
    faces = []
    for text in PROBLEM_SAMPLES:
        screen[:] = ground
        drawn = np.zeros(screen.shape[:2], dtype=bool)
        drawText(screen, font, 4, 2, text, "small", drawn)
        glyphs = np.zeros_like(screen)
        drawText(glyphs, font, 4, 2, text, "menu")
        face = drawn & (glyphs.sum(axis=2) > OUTLINE.sum() + 60)
        faces.append(screen[face])
    return contrast(np.median(np.concatenate(faces), axis=0), ground)


def fieldColours():
    """The median colour of the field where the problems fly, in each in-game picture."""
    out = []
    for mood in ("good", "neutral", "bad"):
        pic = np.asarray(Image.open(os.path.join(DATA, "ingame_%s.bmp" % mood)).convert("RGB"))
        out.append(tuple(int(v) for v in np.median(pic[0:400, 220:640].reshape(-1, 3), axis=0)))
    return out


def checkContrast(path, verbose=False):
    """The leading problem's text over the highlight as bright as the blend allows (no face
    colour does better inside a stroke, lane by lane), the others' not below their pin."""
    font = loadFont(path)
    lanes = np.arange(1, 256)
    best = [int(np.max((lanes + ((h * (255 - lanes)) >> 8)) >> 1)) for h in HIGHLIGHT]
    bound = contrast(best, HIGHLIGHT)
    leading = problemContrast(font, HIGHLIGHT)
    others = {ground: problemContrast(font, ground) for ground in fieldColours()}
    if verbose:
        print("leading problem over the highlight %.2f:1 (the blend allows %.2f:1); others %s"
              % (leading, bound, ", ".join("%.2f:1 over #%02x%02x%02x" % ((c,) + g)
                                           for g, c in others.items())))
    if leading < LEADING_CONTRAST_MIN or leading < bound - 0.02:
        sys.exit("make_font.py: the leading problem's text over the highlight measures "
                 "%.2f:1; the blend allows %.2f:1 and %.2f:1 is pinned"
                 % (leading, bound, LEADING_CONTRAST_MIN))
    for ground, c in others.items():
        if c < OTHERS_CONTRAST_MIN:
            sys.exit("make_font.py: problems over the field #%02x%02x%02x measure %.2f:1, "
                     "under the pinned %.2f:1" % (ground + (c, OTHERS_CONTRAST_MIN)))


# ---------------------------------------------------------------- drawing as the game does
# The other generators draw texts exactly as the game will (language pictures, help
# pictures) and this one measures its own contrast with them.

SCREEN_W, SCREEN_H = 640, 480
HIGHLIGHT = (0x9F, 0x00, 0x00)   # the leading problem's highlight and the end burst


def loadFont(path=None):
    """The font as the game measures it: {'sheet': cells (int64 rows x CELL x 3), 'cell',
    'left', 'width'} with left and width indexed by character code."""
    img = np.asarray(Image.open(path or os.path.join(DATA, "font_32.bmp")).convert("RGB"))
    sheet = img.astype(np.int64)
    w = sheet.shape[1]
    lit = sheet.sum(axis=2) != 0
    left, width = {}, {}
    for i in range(min(sheet.shape[0] // w, 256)):
        cols = np.nonzero(lit[i * w:(i + 1) * w].any(axis=0))[0]
        left[FIRST + i] = int(cols.min()) if len(cols) else w
        width[FIRST + i] = int(cols.max() - cols.min()) if len(cols) else -w
    return {"sheet": sheet, "cell": w, "left": left, "width": width}


def _glyph(screen, font, x, y, ch, mode, doubled, mask=None):
    """One glyph as the game's 1x or 2x glyph writer draws it into screen (rows x cols x 3,
    int64), clipped to the array; mode 'shadow', 'average' or 'copy'. mask, when given,
    gets True where a lit glyph pixel was written."""
    w = font["cell"]
    if ch not in font["width"]:
        return
    g, left, width = ch - FIRST, font["left"][ch], font["width"][ch]
    cell = font["sheet"][g * w:(g + 1) * w]
    scale = 2 if doubled else 1
    cols = np.arange(scale * width) if width > 0 else np.arange(0)
    src = left + ((cols + 1) // 2 if doubled else cols)
    h, wd = screen.shape[:2]
    for r in range(w):
        top = y + scale * r
        if not 0 <= top < h:
            continue
        row = cell[r, src]
        xs = x + cols
        ok = (row.sum(axis=1) != 0) & (xs >= 0) & (xs < wd)
        if not ok.any():
            continue
        G, X = row[ok], xs[ok]
        S = screen[top, X]
        if mode == "shadow":
            out = (S * (255 - G)) >> 8
        elif mode == "average":
            out = (S + G) >> 1
        else:
            out = G
        # at 2x the value made from the upper row is written to both rows of the pair
        for yy in range(top, min(top + scale, h)):
            screen[yy, X] = out
            if mask is not None:
                mask[yy, X] = True


STYLES = {  # shadow offset, face mode, 2x
    "menu": (2, "copy", False),
    "small": (1, "average", False),
    "big": (1, "average", True),
}


def drawText(screen, font, x, y, data, style, faceMask=None):
    """drawMenuText, drawSmallText or drawBigText (style 'menu', 'small', 'big') of the
    byte string data at (x, y) into screen; faceMask, when given, gets True on every pixel
    a face glyph wrote. Returns the pen's end."""
    offset, mode, doubled = STYLES[style]
    scale = 2 if doubled else 1
    if isinstance(data, str):
        data = data.encode("latin-1")
    for ch in data:
        if ch == 32:
            x += scale * (font["cell"] // 4)
            continue
        if ch < FIRST:
            continue
        _glyph(screen, font, x + offset, y + offset, ch, "shadow", doubled)
        _glyph(screen, font, x, y, ch, mode, doubled, faceMask)
        x += scale * font["width"].get(ch, 0)
    return x


def textWidth(font, data, scale=1):
    if isinstance(data, str):
        data = data.encode("latin-1")
    return sum(scale * (font["cell"] // 4 if b == 32 else font["width"].get(b, 0))
               for b in data)


def fillEllipse(screen, cx, cy, rx, ry, colour):
    """The game's filled rounded shape: rows cy - ry + 1 .. cy + ry - 1, each span
    trunc(sqrt(cos(d * pi/2 / ry)) * 2 rx) wide, centred on cx."""
    h, w = screen.shape[:2]
    half = np.float32(np.pi / 2)
    for i in range(2 * ry):
        row = cy + i - ry
        if row < 0 or row >= h:
            continue
        d = i - ry
        q = float(np.cos(np.float32(np.float32(d) * half) / np.float32(ry)))
        n = int(np.sqrt(q) * rx * 2) if q > 0 else 0
        left = cx - n // 2
        if left < 0:
            n, left = n + left, 0
        if left + n >= w:
            n = w - left
        if n > 0:
            screen[row, left:left + n] = colour


def main():
    font = ImageFont.truetype(FONT_FILE, FONT_SIZE * HIRES)
    faces = faceColours()
    axis = mathsAxis(font)
    cells = []
    for code in range(FIRST, LAST + 1):
        if 127 <= code <= 159:
            cells.append(boxGlyph())
        elif code == 160:
            cells.append(nbspGlyph())
        else:
            cells.append(renderGlyph(font, code, faces, axis))
    sheet = np.concatenate(cells, axis=0)
    if (sheet.sum(axis=2) > 0).sum() == 0:
        sys.exit("make_font.py: empty font")
    os.makedirs(DATA, exist_ok=True)
    path = os.path.join(DATA, "font_32.bmp")
    Image.fromarray(sheet, "RGB").save(path, format="BMP")
    checkWritten(path)
    checkContrast(path, "-v" in sys.argv[1:])
    shutil.copyfile(LICENCE_FILE, os.path.join(DATA, "LICENSE-fonts.txt"))


if __name__ == "__main__":
    main()
