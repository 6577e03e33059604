#!/usr/bin/python3
# Draws the LanguagePick pictures data/lang_<code>.bmp: a greeting in each language on a card.
#
# The game centres the picture on the screen, over the language list; it must leave the
# arrows (y 230, x 130..160 and 470..500) and the language name (y 370) clear, so the
# card stays 260 x 100 pixels, which also keeps the first seven names of the list in
# view. Each card is a rounded coloured panel with a smiling face, a few sparkles and
# the greeting in big letters.
#
# Usage: /usr/bin/python3 tools/make_lang_pictures.py   (no arguments; writes into data/)

import os
import sys

from PIL import Image, ImageDraw, ImageFont

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(REPO, "data")
FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

WIDTH, HEIGHT = 260, 100
SCALE = 4                     # drawn at 4x and reduced, for smooth edges
NIGHT = (24, 28, 76)          # the card's corners: the dark night of the menu picture
CORNER = 12                   # corner radius: the picture is blitted whole, corners too
OUTLINE = (28, 22, 56)        # outlines, as dark as the font's rim
FACE_YELLOW = (255, 214, 64)

# code, greeting, panel colour at the top and at the bottom.
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

# Little sparkles over the panel, like the stars of the menu's night sky:
# (x, y, radius) in card pixels.
SPARKLES = [(96, 18, 5), (236, 22, 4), (228, 78, 6), (108, 82, 3), (170, 86, 4),
            (18, 82, 3), (84, 52, 2)]


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def font(size):
    return ImageFont.truetype(FONT_FILE, size * SCALE)


def drawPanel(img, top, bottom):
    """The rounded panel with a vertical gradient, a light rim and a soft sheen."""
    s = SCALE
    box = (0, 0, WIDTH * s - 1, HEIGHT * s - 1)
    gradient = Image.new("RGB", img.size)
    g = ImageDraw.Draw(gradient)
    for y in range(img.size[1]):
        g.line([(0, y), (img.size[0], y)], fill=mix(top, bottom, y / float(img.size[1] - 1)))
    mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(box, radius=CORNER * s, fill=255)
    img.paste(gradient, (0, 0), mask)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(box, radius=CORNER * s, outline=(255, 255, 255), width=3 * s)
    # A sheen across the upper half makes the card look glossy, like the balloons.
    sheen = Image.new("L", img.size, 0)
    ImageDraw.Draw(sheen).rounded_rectangle(
        (7 * s, 6 * s, (WIDTH - 7) * s, 40 * s), radius=12 * s, fill=46)
    img.paste((255, 255, 255), (0, 0), sheen)


def drawSparkles(img, colour):
    """Four-pointed stars: two thin crossed diamonds and a round heart."""
    d = ImageDraw.Draw(img)
    s = SCALE
    for x, y, r in SPARKLES:
        x, y, r = x * s, y * s, r * s
        d.polygon([(x, y - 2 * r), (x + r * 0.3, y), (x, y + 2 * r), (x - r * 0.3, y)],
                  fill=colour)
        d.polygon([(x - 2 * r, y), (x, y - r * 0.3), (x + 2 * r, y), (x, y + r * 0.3)],
                  fill=colour)
        d.ellipse((x - r * 0.45, y - r * 0.45, x + r * 0.45, y + r * 0.45), fill=colour)


def drawSmiley(img, cx, cy, r):
    """A round yellow face with rosy cheeks and a wide smile."""
    s = SCALE
    d = ImageDraw.Draw(img)
    cx, cy, r = cx * s, cy * s, r * s
    d.ellipse((cx - r + 3 * s, cy - r + 4 * s, cx + r + 3 * s, cy + r + 4 * s), fill=OUTLINE)
    d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=FACE_YELLOW, outline=OUTLINE, width=2 * s)
    d.ellipse((cx - r * 0.62, cy - r * 0.74, cx - r * 0.05, cy - r * 0.30), fill=(255, 240, 170))
    for side in (-1, 1):
        ex = cx + side * r * 0.36
        d.ellipse((ex - r * 0.13, cy - r * 0.38, ex + r * 0.13, cy + r * 0.02), fill=OUTLINE)
        d.ellipse((ex - r * 0.05, cy - r * 0.32, ex + r * 0.04, cy - r * 0.20),
                  fill=(255, 255, 255))
        chx = cx + side * r * 0.62
        d.ellipse((chx - r * 0.17, cy + r * 0.08, chx + r * 0.17, cy + r * 0.30),
                  fill=(250, 140, 120))
    d.chord((cx - r * 0.55, cy - r * 0.25, cx + r * 0.55, cy + r * 0.68), 10, 170,
            fill=(150, 40, 60), outline=OUTLINE, width=2 * s)
    d.chord((cx - r * 0.30, cy + r * 0.38, cx + r * 0.30, cy + r * 0.66), 180, 360,
            fill=(240, 100, 110))


def drawGreeting(img, text, left, right):
    """The greeting as large as fits between left and right, centred there, white with a
    dark rim and a drop shadow."""
    s = SCALE
    size = 46
    while size > 12:
        f = font(size)
        box = f.getbbox(text, anchor="ls", stroke_width=2 * s)
        if box[2] - box[0] <= (right - left) * s:
            break
        size -= 1
    f = font(size)
    box = f.getbbox(text, anchor="ls", stroke_width=2 * s)
    width = box[2] - box[0]
    x = (left + right) * s / 2.0 - width / 2.0 - box[0]
    # Centre the capital height on the card's middle, accents and descenders around it.
    capTop = f.getbbox("H", anchor="ls")[1]
    y = HEIGHT * s / 2.0 - capTop / 2.0
    d = ImageDraw.Draw(img)
    d.text((x + 3 * s, y + 3 * s), text, font=f, fill=OUTLINE, anchor="ls",
           stroke_width=2 * s, stroke_fill=OUTLINE)
    d.text((x, y), text, font=f, fill=(255, 255, 255), anchor="ls",
           stroke_width=2 * s, stroke_fill=OUTLINE)


def makeCard(greeting, top, bottom):
    img = Image.new("RGB", (WIDTH * SCALE, HEIGHT * SCALE), NIGHT)
    drawPanel(img, top, bottom)
    drawSparkles(img, mix(top, (255, 255, 255), 0.6))
    drawSmiley(img, 48, HEIGHT // 2, 28)
    drawGreeting(img, greeting, 92, WIDTH - 14)
    return img.resize((WIDTH, HEIGHT), Image.LANCZOS)


def main():
    os.makedirs(DATA, exist_ok=True)
    for code, greeting, top, bottom in GREETINGS:
        card = makeCard(greeting, top, bottom)
        if card.size[0] > 300 or card.size[1] > 250:
            sys.exit("make_lang_pictures.py: card too large for LanguagePick")
        card.save(os.path.join(DATA, "lang_%s.bmp" % code), format="BMP")


if __name__ == "__main__":
    main()
