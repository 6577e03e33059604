#!/usr/bin/python3
# Draws the LanguagePick pictures data/lang_<code>.bmp: a card that shows the whole language
# list with the picture's own language marked, and a greeting in that language.
#
# The game draws the list of every language's name at x 240, y 40, 60, ... 260, then blits
# the current language's picture centred over it, then writes the language's name at
# (280, 370) and the arrows at y 230 left of x 160 and from x 470 on. A picture that
# covers a name must show it again, so each card covers the whole list (x 200..439,
# y 40..439) and redraws every name exactly where the game drew it, in the game's own
# menu text, the card's language on a bright bar with a star before it. The name at
# (280, 370) lands on a black plate on which the card already holds it: drawing it
# again changes no pixel, so the screen shows the card exactly. Outside its rounded
# corners the card holds the menu picture it stands on. Cards are 8-bit: the texts'
# colours exactly, the rest of the art in the palette's other entries.
#
# checkScreens renders the screen as the game draws it for every language and fails
# unless every name's text shows whole, the current one marked apart from the others.
#
# Usage: /usr/bin/python3 makers/make_lang_pictures.py   (no arguments; run make_font.py and
# make_content.py first, and make_pictures.py for the menu picture under the cards)

import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_content  # noqa: E402
import make_font  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(REPO, "data")
FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

SCREEN_W, SCREEN_H = 640, 480
WIDTH, HEIGHT = 240, 400
LEFT, TOP = (SCREEN_W - WIDTH) // 2, (SCREEN_H - HEIGHT) // 2   # where the game blits it
LIST_X, LIST_Y, LIST_STEP = 240, 40, 20                          # the game's language list
NAME_X, NAME_Y = 280, 370                                        # the current language's name
ARROWS = (("<<", 130, 140), (">>", 470, 480))   # text, leftmost and rightmost x of its swing
ARROW_Y = 230
SCALE = 4                     # art drawn at 4x and reduced, for smooth edges
CORNER = 14
CARD_TOP = (22, 30, 78)       # the card's dark night, top and bottom
CARD_BOTTOM = (12, 16, 44)
OUTLINE = (28, 22, 56)        # outlines, as dark as the font's rim
FACE_YELLOW = (255, 214, 64)
MARK_MIN_DIFFERENCE = 60      # the current row's ground stands apart by this much (0..255)

# code, greeting, the card's colour at the top and at the bottom (the bar and the rim).
GREETINGS = [
    ("en", "Hello!", (244, 96, 88), (214, 52, 70)),
    ("de", "Hallo!", (255, 164, 40), (236, 112, 20)),
    ("fr", "Bonjour !", (80, 150, 250), (48, 96, 214)),
    ("es", "¡Hola!", (240, 84, 150), (200, 44, 112)),
    ("it", "Ciao!", (96, 190, 90), (52, 142, 64)),
    ("nl", "Hoi!", (30, 184, 170), (0, 130, 128)),
    ("pt", "Olá!", (150, 110, 220), (110, 70, 186)),
    ("sv", "Hej!", (40, 186, 250), (10, 130, 210)),
    ("da", "Hej!", (250, 116, 70), (218, 72, 40)),
    ("no", "Hei!", (112, 128, 220), (74, 88, 190)),
    ("fi", "Moi!", (150, 200, 70), (100, 160, 40)),
    ("ca", "Hola!", (255, 190, 40), (230, 140, 10)),
]
GREETING_TOP, GREETING_BOTTOM = 252, 330    # card rows between the list and the name plate
PLATE = (58, 332, 230, 364)                  # the name plate, card pixels


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def bigFont(size):
    return ImageFont.truetype(FONT_FILE, size * SCALE)


def drawCard(img, top, bottom):
    """The dark rounded card with a rim in the language's colour."""
    s = SCALE
    grad = Image.new("RGB", img.size)
    g = ImageDraw.Draw(grad)
    for y in range(img.size[1]):
        g.line([(0, y), (img.size[0], y)], fill=mix(CARD_TOP, CARD_BOTTOM, y / (img.size[1] - 1.0)))
    mask = Image.new("L", img.size, 0)
    box = (0, 0, WIDTH * s - 1, HEIGHT * s - 1)
    ImageDraw.Draw(mask).rounded_rectangle(box, radius=CORNER * s, fill=255)
    img.paste(grad, (0, 0), mask)
    ImageDraw.Draw(img).rounded_rectangle(box, radius=CORNER * s, outline=top, width=3 * s)


def drawBar(img, row, top, bottom):
    """The bright bar behind the current language's name and a star before it."""
    s = SCALE
    d = ImageDraw.Draw(img)
    y0, y1 = LIST_Y - TOP + LIST_STEP * row + 5, LIST_Y - TOP + LIST_STEP * row + 29
    d.rounded_rectangle((8 * s, y0 * s, (WIDTH - 8) * s, y1 * s), radius=9 * s,
                        fill=mix(top, bottom, 0.5), outline=(255, 255, 255), width=2 * s)
    cx, cy, r = 22 * s, (y0 + y1) / 2.0 * s, 8 * s
    pts = []
    for i in range(10):
        rr = r if i % 2 == 0 else r * 0.45
        a = np.radians(-90 + 36 * i)
        pts.append((cx + rr * np.cos(a), cy + rr * np.sin(a)))
    d.polygon(pts, fill=(255, 255, 255), outline=OUTLINE)


def drawSmiley(img, cx, cy, r):
    """A round yellow face with rosy cheeks and a wide smile."""
    s = SCALE
    d = ImageDraw.Draw(img)
    cx, cy, r = cx * s, cy * s, r * s
    d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=FACE_YELLOW, outline=OUTLINE, width=2 * s)
    for side in (-1, 1):
        ex = cx + side * r * 0.36
        d.ellipse((ex - r * 0.13, cy - r * 0.38, ex + r * 0.13, cy + r * 0.02), fill=OUTLINE)
        chx = cx + side * r * 0.62
        d.ellipse((chx - r * 0.17, cy + r * 0.08, chx + r * 0.17, cy + r * 0.30),
                  fill=(250, 140, 120))
    d.chord((cx - r * 0.55, cy - r * 0.25, cx + r * 0.55, cy + r * 0.68), 10, 170,
            fill=(150, 40, 60), outline=OUTLINE, width=2 * s)


def drawGreeting(img, text, colour, left, right):
    """The greeting as large as fits between left and right in the greeting rows, in the
    language's colour with a dark rim."""
    s = SCALE
    size = 40
    while size > 12:
        f = bigFont(size)
        box = f.getbbox(text, anchor="ls", stroke_width=2 * s)
        if box[2] - box[0] <= (right - left) * s:
            break
        size -= 1
    f = bigFont(size)
    box = f.getbbox(text, anchor="ls", stroke_width=2 * s)
    x = (left + right) * s / 2.0 - (box[2] - box[0]) / 2.0 - box[0]
    capTop = f.getbbox("H", anchor="ls")[1]
    y = (GREETING_TOP + GREETING_BOTTOM) * s / 2.0 - capTop / 2.0
    ImageDraw.Draw(img).text((x, y), text, font=f, fill=colour, anchor="ls",
                             stroke_width=2 * s, stroke_fill=OUTLINE)


def listNames():
    """Every language's list text, in the content file's order, as the content file holds it."""
    return [langpick for _, langpick, _, _ in make_content.wordHyphens(make_content.LANGUAGES)]


def makeCard(font, row, greeting, name, top, bottom):
    """The card of the language at list position row; returns (pixels, exact) where exact
    marks the pixels whose colour must survive the palette unchanged."""
    img = Image.new("RGB", (WIDTH * SCALE, HEIGHT * SCALE), (0, 0, 0))
    drawCard(img, top, bottom)
    drawBar(img, row, top, bottom)
    drawSmiley(img, 36, (GREETING_TOP + GREETING_BOTTOM) // 2, 24)
    drawGreeting(img, greeting, mix(top, (255, 255, 255), 0.35), 68, WIDTH - 12)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([v * SCALE for v in PLATE], radius=8 * SCALE, fill=(0, 0, 0),
                        outline=top, width=2 * SCALE)
    art = np.asarray(img.resize((WIDTH, HEIGHT), Image.LANCZOS)).astype(np.float64)
    # outside its rounded corners the card shows the menu picture it is blitted over
    shape = Image.new("L", img.size, 0)
    ImageDraw.Draw(shape).rounded_rectangle((0, 0, WIDTH * SCALE - 1, HEIGHT * SCALE - 1),
                                            radius=CORNER * SCALE, fill=255)
    inside = np.asarray(shape.resize((WIDTH, HEIGHT), Image.BOX), dtype=np.float64)[..., None] / 255
    under = loadScreenPicture("menubg.bmp")[TOP:TOP + HEIGHT, LEFT:LEFT + WIDTH]
    card = np.rint(art * inside + under * (1 - inside)).astype(np.int64)
    exact = np.zeros((HEIGHT, WIDTH), dtype=bool)
    # the plate stays pure black: the game's shadow of the name darkens nothing on it
    x0, y0, x1, y1 = PLATE
    exact[y0 + 3:y1 - 2, x0 + 3:x1 - 2] = True
    card[exact] = 0
    for i, text in enumerate(listNames()):
        make_font.drawText(card, font, LIST_X - LEFT, LIST_Y - TOP + LIST_STEP * i, text,
                           "menu", exact)
    make_font.drawText(card, font, NAME_X - LEFT, NAME_Y - TOP, name, "menu", exact)
    return card, exact


def toPalette(card, exact):
    """An 8-bit picture holding every exact pixel's colour exactly and the rest of the
    art in the palette's remaining entries."""
    keep = np.unique(card[exact], axis=0)
    room = 256 - len(keep)
    rest = card[~exact].astype(np.uint8)
    strip = Image.fromarray(rest.reshape(1, -1, 3), "RGB")
    quant = strip.quantize(colors=room, method=Image.MEDIANCUT, dither=Image.NONE)
    artPalette = np.array(quant.getpalette()[:3 * room], dtype=np.int64).reshape(-1, 3)
    palette = np.concatenate([keep, artPalette])
    index = np.zeros(card.shape[:2], dtype=np.uint8)
    code = lambda c: (c[..., 0] << 16) | (c[..., 1] << 8) | c[..., 2]  # noqa: E731
    keepCodes = code(keep)
    index[exact] = np.searchsorted(keepCodes, code(card[exact])).astype(np.uint8)
    index[~exact] = np.asarray(quant, dtype=np.int64).reshape(-1) + len(keep)
    out = Image.fromarray(index, "P")
    out.putpalette(palette.astype(np.uint8).reshape(-1).tolist())
    return out


def pictureFor(code):
    return "lang_%s.bmp" % code


def loadScreenPicture(name):
    return np.asarray(Image.open(os.path.join(DATA, name)).convert("RGB")).astype(np.int64)


def glyphPixels(font, x, y, text):
    """The colours the game's menu text writes at its lit pixels, and where."""
    canvas = np.zeros((SCREEN_H, SCREEN_W, 3), dtype=np.int64)
    lit = np.zeros((SCREEN_H, SCREEN_W), dtype=bool)
    make_font.drawText(canvas, font, x, y, text, "menu", lit)
    return canvas, lit


def checkScreens(font):
    """The language screen as the game draws it, for every current language: the list,
    the picture centred, the name, the arrows. Every name of the list shows its text whole
    (not covered, or drawn again by the picture), the current one on a ground apart from
    the others', the arrows stay off the picture and the name changes no pixel of it."""
    faults = []
    names = listNames()
    languages = make_content.wordHyphens(make_content.LANGUAGES)
    background = loadScreenPicture("menubg.bmp")
    texts = [glyphPixels(font, LIST_X, LIST_Y + LIST_STEP * i, t) for i, t in enumerate(names)]
    for row, (code, _, name, _) in enumerate(languages):
        pic = loadScreenPicture(pictureFor(code))
        h, w = pic.shape[:2]
        x0, y0 = (SCREEN_W - w) // 2, (SCREEN_H - h) // 2
        screen = background.copy()
        for i, text in enumerate(names):
            make_font.drawText(screen, font, LIST_X, LIST_Y + LIST_STEP * i, text, "menu")
        screen[y0:y0 + h, x0:x0 + w] = pic
        make_font.drawText(screen, font, NAME_X, NAME_Y, name, "menu")
        if not np.array_equal(screen[y0:y0 + h, x0:x0 + w], pic):
            faults.append("%s: the name at (%d, %d) changes the picture under it"
                          % (pictureFor(code), NAME_X, NAME_Y))
        for arrow, lo, hi in ARROWS:
            end = hi + make_font.textWidth(font, arrow) + 2
            if lo < x0 + w and end > x0 and y0 < ARROW_Y + 28 and ARROW_Y < y0 + h:
                faults.append("%s: the arrows %s at x %d..%d reach the picture"
                              % (pictureFor(code), arrow, lo, end))
        grounds = []
        for i, (canvas, lit) in enumerate(texts):
            if not np.array_equal(screen[lit], canvas[lit]):
                hidden = int((screen[lit] != canvas[lit]).any(axis=1).sum())
                faults.append("%s current: %s in the list has %d of its %d text pixels "
                              "covered" % (name, names[i], hidden, int(lit.sum())))
            ys, xs = np.nonzero(lit)
            box = screen[ys.min():ys.max() + 1, LIST_X - 12:LIST_X + 140]
            boxLit = lit[ys.min():ys.max() + 1, LIST_X - 12:LIST_X + 140]
            grounds.append(box[~boxLit].mean(axis=0))
        mine = grounds[row]
        closest = min(np.abs(mine - g).max() for i, g in enumerate(grounds) if i != row)
        if closest < MARK_MIN_DIFFERENCE:
            faults.append("%s current: its list entry is not marked apart from the others "
                          "(ground differs by %.0f, want %d)"
                          % (name, closest, MARK_MIN_DIFFERENCE))
    return faults


def main():
    font = make_font.loadFont()
    languages = make_content.wordHyphens(make_content.LANGUAGES)
    codes = [code for code, _, _, _ in languages]
    greetings = {code: rest for code, *rest in GREETINGS}
    if sorted(codes) != sorted(greetings):
        sys.exit("make_lang_pictures.py: the content's languages %s and the greetings' %s differ"
                 % (codes, sorted(greetings)))
    os.makedirs(DATA, exist_ok=True)
    for row, (code, _, name, _) in enumerate(languages):
        greeting, top, bottom = greetings[code]
        card, exact = makeCard(font, row, greeting, name, top, bottom)
        toPalette(card, exact).save(os.path.join(DATA, pictureFor(code)), format="BMP")
    faults = checkScreens(font)
    if faults:
        sys.exit("make_lang_pictures.py:\n  " + "\n  ".join(faults))


if __name__ == "__main__":
    main()
