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
FONT_SIZE = 22       # em size in pixels
BASELINE = 24        # cell row of the baseline: accents reach row 2, descenders row 30
INK_LEFT = 1         # cell column where each glyph's leftmost lit pixel goes
SPACER_GAP = 2       # spacer column = rightmost ink column + 2: one blank column between rims
SPACER_ROW = CELL - 1     # bottom row: at 2x its one drawn column stays clear of the text

# Colours (R, G, B); none of them may be pure black, which is the transparent background.
FACE_TOP = np.array([255, 255, 255], dtype=np.float64)     # white at the cap height
FACE_BOTTOM = np.array([255, 240, 190], dtype=np.float64)  # pale warm yellow at the baseline
OUTLINE = np.array([28, 22, 56], dtype=np.float64)         # dark ink-blue rim
SPACER = (28, 22, 56)                                      # as dark as the rim
OUTLINE_THRESHOLD = 0.30     # dilated coverage above which a pixel belongs to the rim
CAP_TOP = BASELINE - 16      # row where the face gradient starts

# Glyphs drawn from another code point: the operator asterisk sits on the maths axis
# like + and -, so "7 * 8" reads as a product; the soft hyphen shows as a hyphen.
SUBSTITUTES = {ord("*"): "\u2217", 0xAD: "-"}
# The menu cursor ">>" stands 20 pixels left of the menu texts, so "<" and ">" are
# drawn here as narrow, tall chevrons advancing at most 10 pixels each.
# Their rims touch (gap 1), so a pair reads as one double arrow.
CHEVRON_WIDTH = 8.0      # face width in pixels
CHEVRON_HEIGHT = 13.0    # face height in pixels
CHEVRON_STROKE = 3.6     # horizontal thickness of each arm
CHEVRON_GAP = 1


def faceColours():
    """Face colour of every cell row: a gradient from the cap height to the baseline."""
    rows = np.zeros((CELL, 3))
    for r in range(CELL):
        t = min(max((r - CAP_TOP) / float(BASELINE - CAP_TOP), 0.0), 1.0)
        rows[r] = FACE_TOP * (1.0 - t) + FACE_BOTTOM * t
    return rows


def coverage(font, text):
    """Anti-aliased coverage (0..1) of the text on a roomy canvas; the cell occupies
    rows 8..8+CELL-1 and the pen starts at column 8."""
    canvas = Image.new("L", (CELL + 32, CELL + 16), 0)
    ImageDraw.Draw(canvas).text((8, 8 + BASELINE), text, font=font, fill=255, anchor="ls")
    return np.asarray(canvas, dtype=np.float64) / 255.0


def chevron(pointsRight, centre):
    """Coverage of a chevron centred on canvas row centre (the maths axis of "+")."""
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


def renderGlyph(font, code, faces):
    if code in (ord("<"), ord(">")):
        a = chevron(code == ord(">"), rowCentre(coverage(font, "+")))
    else:
        a = coverage(font, SUBSTITUTES.get(code, chr(code)))
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
    top, bottom, left, right = BASELINE - 16, BASELINE - 1, INK_LEFT, INK_LEFT + 10
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


def checkWritten(path):
    """Re-reads the font as the game will and fails on a cell without ink (the no-break
    space aside) or a menu cursor that would run into the menu texts."""
    img = Image.open(path)
    if img.mode != "RGB" or img.size != (CELL, CELL * (LAST - FIRST + 1)):
        sys.exit("make_font.py: %s is not a 24-bit %d-pixel-wide font" % (path, CELL))
    lit = np.asarray(img).astype(np.int64).sum(axis=2) != 0
    advance = {}
    for i in range(LAST - FIRST + 1):
        cols = np.nonzero(lit[i * CELL:(i + 1) * CELL].any(axis=0))[0]
        advance[FIRST + i] = int(cols.max() - cols.min()) if len(cols) else -CELL
        inked = lit[i * CELL:(i + 1) * CELL].sum() >= 4 or FIRST + i == 160
        if advance[FIRST + i] <= 0 or not inked:
            sys.exit("make_font.py: character %d has no ink" % (FIRST + i))
    if 2 * advance[ord(">")] > 20:
        sys.exit("make_font.py: the cursor >> is wider than 20 pixels")


def main():
    font = ImageFont.truetype(FONT_FILE, FONT_SIZE)
    faces = faceColours()
    cells = []
    for code in range(FIRST, LAST + 1):
        if 127 <= code <= 159:
            cells.append(boxGlyph())
        elif code == 160:
            cells.append(nbspGlyph())
        else:
            cells.append(renderGlyph(font, code, faces))
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
