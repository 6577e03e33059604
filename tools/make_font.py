#!/usr/bin/python3
# Renders the game's bitmap font data/font_32.bmp from DejaVu Sans Bold and copies its licence.
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
# Usage: /usr/bin/python3 tools/make_font.py   (no arguments; writes into data/)

import os
import shutil
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(REPO, "data")
FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
LICENCE_FILE = "/usr/share/doc/fonts-dejavu-core/copyright"

CELL = 32            # cell width and height in pixels
FIRST = 33           # character code of cell 0
LAST = 255           # character code of the last cell
FONT_SIZE = 20       # em size in pixels
HIRES = 4            # glyphs are drawn this many times larger, fitted, then reduced
BASELINE = 23        # cell row of the baseline: the body ends on row 22, descenders start on 23
# Every glyph's face lies on rows FACE_TOP..FACE_BOTTOM and its dark rim one row around it,
# rows 7..26: twenty rows, so lines 20 pixels apart (the language list, the credits) never
# overlap, and the faces of two such lines always keep two rows of rim between them.
FACE_TOP = BASELINE - 15
FACE_BOTTOM = BASELINE + 2
LINE_SPACING = 20
MARK_GAP = 1.25      # rows between an accent and a capital squeezed to make room for it
MARK_MAX = 3.0       # an accent above a capital is at most this many rows tall
INK_LEFT = 1         # cell column where each glyph's leftmost lit pixel goes
SPACER_GAP = 2       # spacer column = rightmost ink column + 2: one blank column between rims
SPACER_ROW = CELL - 1     # bottom row: at 2x its one drawn column stays clear of the text

# Colours (R, G, B); none of them may be pure black, which is the transparent background.
FACE_TOP_COLOUR = np.array([255, 255, 255], dtype=np.float64)     # white at the cap height
FACE_BOTTOM_COLOUR = np.array([255, 240, 190], dtype=np.float64)  # pale warm yellow at the baseline
OUTLINE = np.array([28, 22, 56], dtype=np.float64)         # dark ink-blue rim
SPACER = (28, 22, 56)                                      # as dark as the rim
OUTLINE_THRESHOLD = 0.30     # dilated coverage above which a pixel belongs to the rim
CAP_TOP = BASELINE - 14      # row where the face gradient starts

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
CHEVRON_WIDTH = 5.2      # face width in pixels
CHEVRON_HEIGHT = 11.0    # face height in pixels
CHEVRON_STROKE = 2.6     # horizontal thickness of each arm
CHEVRON_GAP = 2
CURSOR_CLEARANCE = 2


def faceColours():
    """Face colour of every cell row: a gradient from the cap height to the baseline."""
    rows = np.zeros((CELL, 3))
    for r in range(CELL):
        t = min(max((r - CAP_TOP) / float(BASELINE - CAP_TOP), 0.0), 1.0)
        rows[r] = FACE_TOP_COLOUR * (1.0 - t) + FACE_BOTTOM_COLOUR * t
    return rows


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


def fitRows(big):
    """Fits a glyph into rows FACE_TOP..FACE_BOTTOM: what rises above FACE_TOP is
    squeezed down to it (an accent over a capital keeps its shape and the capital
    under it gets shorter; a glyph in one piece is squeezed whole), what hangs below
    FACE_BOTTOM is squeezed up to it."""
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


def coverage(font, text, sharp=False):
    """Coverage (0..1) of the text fitted into the face rows, at 1x on a roomy canvas whose
    rows 8..8+CELL-1 are the cell; the pen starts at column 8."""
    big = fitRows(hiresCoverage(font, text))
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
    """Centre row of the solid part of a coverage (pixels at least half covered)."""
    rows = np.nonzero((a >= 0.5).any(axis=1))[0]
    return (rows.min() + rows.max()) / 2.0


def mathsAxis(font):
    """Canvas row half way up the digits: where + - x : = sit."""
    return float(np.mean([faceCentre(coverage(font, d)) for d in "0123456789"]))


def renderGlyph(font, code, faces, axis):
    ch = chr(code)
    if code in (ord("<"), ord(">")):
        a = chevron(code == ord(">"), axis)
    elif ch == "_":
        a = underscore(font)
    else:
        a = coverage(font, SUBSTITUTES.get(code, ch), sharp=ch in CRISP)
        if ch in AXIS_SIGNS:
            a = np.roll(a, int(round(axis - faceCentre(a))), axis=0)
    rim = dilate(a)
    lit = rim > OUTLINE_THRESHOLD
    rowFaces = np.zeros(a.shape + (3,))
    rowFaces[8:8 + CELL] = faces[:, None, :]
    rowFaces[:8] = faces[0]
    rowFaces[8 + CELL:] = faces[-1]
    rgb = OUTLINE[None, None, :] * (1.0 - a[..., None]) + rowFaces * a[..., None]
    rgb = np.clip(np.rint(rgb), 0, 255).astype(np.uint8)
    if not lit.any():
        sys.exit("make_font.py: glyph %d has no ink" % code)
    return placeGlyph(code, rgb, lit,
                      CHEVRON_GAP if code in (ord("<"), ord(">")) else SPACER_GAP)


def boxGlyph():
    """The stand-in for control codes 127..159: an empty box, so a stray byte shows."""
    out = np.zeros((CELL, CELL, 3), dtype=np.uint8)
    top, bottom, left, right = BASELINE - 14, BASELINE - 1, INK_LEFT, INK_LEFT + 10
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
    each other, a sign off the digits' maths axis, '*' and '/' not drawn as x and :, or
    a menu cursor that would run into the menu texts."""
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
    shutil.copyfile(LICENCE_FILE, os.path.join(DATA, "LICENSE-fonts.txt"))


if __name__ == "__main__":
    main()
