#!/usr/bin/python3
"""Draws Plimo's seven full-screen pictures and its icon into data/.

Every picture is 640x480, written as a 24-bit BMP; the icon is a 256x256 RGBA
PNG. The art is built from soft vector-like shapes (supersampled masks),
gradients and glows; every random choice comes from fixed seeds, so running
the script twice gives identical files.

Run as: /usr/bin/python3 tools/make_pictures.py
"""

import math
import os
import random

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

W, H = 640, 480
SS = 4  # supersampling factor of every shape mask

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"
BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")

_fonts = {}


def font(size, path=BOLD):
    key = (path, int(round(size)))
    if key not in _fonts:
        _fonts[key] = ImageFont.truetype(path, key[1])
    return _fonts[key]


def col(hexstr):
    hexstr = hexstr.lstrip("#")
    return tuple(int(hexstr[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def lighten(c, t):
    return mix(c, (255, 255, 255), t)


def darken(c, t):
    return mix(c, (0, 0, 0), t)


# ---------------------------------------------------------------- canvases

def canvas(w=W, h=H):
    return np.zeros((h, w, 3), np.float32)


def ramp(t, stops):
    """Colours of a multi-stop gradient at positions t (array); stops are
    (position, colour) pairs in increasing position."""
    pos = np.array([s[0] for s in stops], np.float32)
    cols = np.array([s[1] for s in stops], np.float32)
    out = np.empty(t.shape + (3,), np.float32)
    for c in range(3):
        out[..., c] = np.interp(t, pos, cols[:, c])
    return out


def linear(p0, p1, stops):
    """Fill function: gradient along the line p0 -> p1 (screen pixels)."""
    dx, dy = p1[0] - p0[0], p1[1] - p0[1]
    n = dx * dx + dy * dy

    def fill(xs, ys):
        t = ((xs - p0[0]) * dx + (ys - p0[1]) * dy) / n
        return ramp(np.clip(t, 0, 1), stops)
    return fill


def radial(c, r, stops, squash=1.0):
    """Fill function: gradient by distance from c, r pixels for position 1."""
    def fill(xs, ys):
        t = np.hypot(xs - c[0], (ys - c[1]) / squash) / r
        return ramp(np.clip(t, 0, 1), stops)
    return fill


def vertical(img, stops):
    h, w = img.shape[:2]
    ys = np.linspace(0, 1, h, dtype=np.float32)[:, None]
    img[:] = ramp(np.repeat(ys, w, axis=1), stops)


def composite(img, x0, y0, a, fill, mode="normal"):
    """Blends fill (colour or fill function) into img through coverage a,
    whose top-left corner lies at (x0, y0)."""
    h, w = a.shape
    region = img[y0:y0 + h, x0:x0 + w]
    if callable(fill):
        ys, xs = np.mgrid[y0:y0 + h, x0:x0 + w].astype(np.float32)
        src = fill(xs + 0.5, ys + 0.5)
    else:
        src = np.array(fill, np.float32)[None, None, :]
    a3 = a[..., None]
    if mode == "normal":
        region += (src - region) * a3
    elif mode == "add":
        region += src * a3
        np.minimum(region, 255, out=region)
    elif mode == "screen":
        region[:] = 255 - (255 - region) * (255 - src * a3) / 255
    elif mode == "multiply":
        region[:] = region * (1 - a3 + a3 * src / 255)


def shape(img, bbox, painter, fill, alpha=1.0, blur=0.0, rot=0.0,
          mode="normal", cut=None):
    """Draws one anti-aliased shape. bbox (x0, y0, x1, y1) bounds the shape
    in screen pixels; painter(draw, T, s) paints it in white onto a
    supersampled mask, where T(x, y) maps screen points into the mask and
    s is the supersampling factor for lengths. rot turns the shape (degrees,
    counter-clockwise) about the bbox centre; blur softens it (pixels); cut
    is an optional second painter whose area is removed from the shape."""
    cx, cy = (bbox[0] + bbox[2]) / 2, (bbox[1] + bbox[3]) / 2
    half_w, half_h = (bbox[2] - bbox[0]) / 2, (bbox[3] - bbox[1]) / 2
    if rot:
        half_w = half_h = math.hypot(half_w, half_h)
    pad = 2 + int(math.ceil(blur * 3))
    rx0 = int(math.floor(cx - half_w)) - pad
    ry0 = int(math.floor(cy - half_h)) - pad
    rx1 = int(math.ceil(cx + half_w)) + pad
    ry1 = int(math.ceil(cy + half_h)) + pad
    ih, iw = img.shape[:2]
    x0, y0, x1, y1 = max(rx0, 0), max(ry0, 0), min(rx1, iw), min(ry1, ih)
    if x0 >= x1 or y0 >= y1:
        return
    mw, mh = rx1 - rx0, ry1 - ry0

    def T(x, y):
        return ((x - rx0) * SS, (y - ry0) * SS)

    def paint(p):
        m = Image.new("L", (mw * SS, mh * SS), 0)
        p(ImageDraw.Draw(m), T, SS)
        return m
    m = paint(painter)
    if cut is not None:
        m = Image.fromarray(np.minimum(np.asarray(m), 255 - np.asarray(
            paint(cut))))
    if rot:
        m = m.rotate(rot, resample=Image.BICUBIC,
                     center=((cx - rx0) * SS, (cy - ry0) * SS))
    m = m.resize((mw, mh), Image.BOX)
    if blur:
        m = m.filter(ImageFilter.GaussianBlur(blur))
    a = np.asarray(m, np.float32) / 255.0
    a = a[y0 - ry0:y1 - ry0, x0 - rx0:x1 - rx0] * alpha
    composite(img, x0, y0, a, fill, mode)


# ---------------------------------------------------------------- primitives

def ellipse(img, cx, cy, rx, ry, fill, **kw):
    def p(d, T, s):
        d.ellipse([T(cx - rx, cy - ry), T(cx + rx, cy + ry)], fill=255)
    shape(img, (cx - rx, cy - ry, cx + rx, cy + ry), p, fill, **kw)


def ring(img, cx, cy, r, width, fill, **kw):
    def p(d, T, s):
        d.ellipse([T(cx - r, cy - r), T(cx + r, cy + r)], outline=255,
                  width=max(1, int(width * s)))
    shape(img, (cx - r, cy - r, cx + r, cy + r), p, fill, **kw)


def rrect(img, x0, y0, x1, y1, radius, fill, **kw):
    def p(d, T, s):
        d.rounded_rectangle([T(x0, y0), T(x1, y1)], radius=radius * s,
                            fill=255)
    shape(img, (x0, y0, x1, y1), p, fill, **kw)


def rrect_outline(img, x0, y0, x1, y1, radius, width, fill, **kw):
    def p(d, T, s):
        d.rounded_rectangle([T(x0, y0), T(x1, y1)], radius=radius * s,
                            outline=255, width=max(1, int(width * s)))
    shape(img, (x0, y0, x1, y1), p, fill, **kw)


def polygon(img, pts, fill, **kw):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]

    def p(d, T, s):
        d.polygon([T(x, y) for x, y in pts], fill=255)
    shape(img, (min(xs), min(ys), max(xs), max(ys)), p, fill, **kw)


def line(img, pts, width, fill, **kw):
    """A polyline with round joints and caps."""
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    r = width / 2

    def p(d, T, s):
        d.line([T(x, y) for x, y in pts], fill=255, width=int(width * s),
               joint="curve")
        for x, y in (pts[0], pts[-1]):
            d.ellipse([T(x - r, y - r), T(x + r, y + r)], fill=255)
    shape(img, (min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r), p,
          fill, **kw)


def arc(img, cx, cy, rx, ry, start, end, width, fill, **kw):
    """Elliptic arc, angles in degrees clockwise from 3 o'clock."""
    def p(d, T, s):
        d.arc([T(cx - rx, cy - ry), T(cx + rx, cy + ry)], start, end,
              fill=255, width=max(1, int(width * s)))
    shape(img, (cx - rx, cy - ry, cx + rx, cy + ry), p, fill, **kw)


def star_points(cx, cy, r, inner=0.45, points=5, turn=-90.0):
    pts = []
    for i in range(points * 2):
        rr = r if i % 2 == 0 else r * inner
        a = math.radians(turn + i * 180.0 / points)
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    return pts


def star(img, cx, cy, r, fill, inner=0.45, points=5, rot=0.0, **kw):
    polygon(img, star_points(cx, cy, r, inner, points, -90.0 + rot), fill,
            **kw)


def sparkle(img, cx, cy, r, colour, alpha=1.0):
    """A four-pointed twinkle with a soft halo."""
    glow(img, cx, cy, r * 1.2, colour, 0.35 * alpha)
    polygon(img, star_points(cx, cy, r, 0.18, 4), colour, alpha=alpha)


def glow(img, cx, cy, r, colour, strength, mode="screen", squash=1.0):
    """A soft Gaussian light of radius r (pixels) around (cx, cy)."""
    h, w = img.shape[:2]
    ext = r * 2.6
    x0, x1 = max(int(cx - ext), 0), min(int(cx + ext) + 1, w)
    y0, y1 = max(int(cy - ext * squash), 0), min(int(cy + ext * squash) + 1,
                                                 h)
    if x0 >= x1 or y0 >= y1:
        return
    ys, xs = np.mgrid[y0:y1, x0:x1].astype(np.float32)
    d2 = ((xs + 0.5 - cx) ** 2 + ((ys + 0.5 - cy) / squash) ** 2) / (r * r)
    a = strength * np.exp(-d2)
    composite(img, x0, y0, a, colour, mode)


def text(img, s, size, cx, cy, fill, stroke=0.0, path=BOLD, **kw):
    """Text centred on (cx, cy), optionally thickened by a stroke."""
    f = font(size * SS, path)
    probe = ImageDraw.Draw(Image.new("L", (1, 1)))
    b = probe.textbbox((0, 0), s, font=f, anchor="mm",
                       stroke_width=int(stroke * SS))
    hw = max(abs(b[0]), abs(b[2])) / SS + 2
    hh = max(abs(b[1]), abs(b[3])) / SS + 2

    def p(d, T, ss):
        d.text(T(cx, cy), s, font=f, fill=255, anchor="mm",
               stroke_width=int(stroke * ss), stroke_fill=255)
    shape(img, (cx - hw, cy - hh, cx + hw, cy + hh), p, fill, **kw)


# ------------------------------------------------------- math symbol shapes

def math_symbol(img, sym, cx, cy, size, fill, rot=0.0, **kw):
    """'+', '-', 'x' or '/' (divide) as rounded bars and dots; size is the
    symbol's full width in pixels."""
    half = size / 2
    bar = size * 0.22

    def p(d, T, s):
        def hbar():
            d.rounded_rectangle([T(cx - half, cy - bar / 2),
                                 T(cx + half, cy + bar / 2)],
                                radius=bar / 2 * s, fill=255)
        if sym in "+x":
            hbar()
            d.rounded_rectangle([T(cx - bar / 2, cy - half),
                                 T(cx + bar / 2, cy + half)],
                                radius=bar / 2 * s, fill=255)
        elif sym == "-":
            hbar()
        elif sym == "/":
            hbar()
            dr = bar * 0.62
            for dy in (-half * 0.62, half * 0.62):
                d.ellipse([T(cx - dr, cy + dy - dr), T(cx + dr, cy + dy + dr)],
                          fill=255)
    angle = rot + (45.0 if sym == "x" else 0.0)
    shape(img, (cx - half, cy - half, cx + half, cy + half), p, fill,
          rot=angle, **kw)


# ------------------------------------------------------------ decorations

def bubble(img, cx, cy, r, tint=(255, 255, 255), alpha=1.0):
    """A translucent soap bubble: faint body, bright rim, a shine."""
    ellipse(img, cx, cy, r, r, tint, alpha=0.07 * alpha)
    ring(img, cx, cy, r, max(1.0, r * 0.07), tint, alpha=0.35 * alpha)
    arc(img, cx, cy, r * 0.72, r * 0.72, 200, 250, max(1.2, r * 0.12),
        (255, 255, 255), alpha=0.55 * alpha)
    ellipse(img, cx + r * 0.38, cy + r * 0.42, r * 0.09, r * 0.09,
            (255, 255, 255), alpha=0.35 * alpha)


def number_balloon(img, cx, cy, r, label, colour, alpha=1.0, rot=0.0):
    """A glossy round token with a white digit or symbol on it."""
    ellipse(img, cx + r * 0.08, cy + r * 0.14, r, r, (0, 0, 0),
            alpha=0.30 * alpha, blur=r * 0.15)
    ellipse(img, cx, cy, r, r, radial((cx - r * 0.35, cy - r * 0.4), r * 1.6,
                                      [(0, lighten(colour, 0.45)),
                                       (0.55, colour),
                                       (1, darken(colour, 0.35))]),
            alpha=alpha)
    if label in ("+", "-", "x", "/"):
        math_symbol(img, label, cx, cy, r * 1.0, (255, 255, 255),
                    alpha=0.95 * alpha, rot=rot)
    else:
        text(img, label, r * 1.15, cx, cy + r * 0.02, (255, 255, 255),
             alpha=0.95 * alpha, rot=rot)
    ellipse(img, cx - r * 0.32, cy - r * 0.45, r * 0.38, r * 0.2,
            (255, 255, 255), alpha=0.35 * alpha, rot=25)


def hills(img, base, amp, waves, phase, fill, top_y=None, **kw):
    """A band of rolling hills whose skyline lies around y = base."""
    pts = []
    for x in range(-10, W + 11, 4):
        y = base
        for k, (a, f) in enumerate(zip(amp, waves)):
            y -= a * math.sin(x / W * math.pi * f + phase * (k + 1))
        pts.append((x, y))
    pts += [(W + 10, H + 10), (-10, H + 10)]
    polygon(img, pts, fill, **kw)


def cloud(img, cx, cy, w, colour, alpha=1.0, blur=0.0):
    r = w / 4.0

    def p(d, T, s):
        for dx, dy, rr in ((-1.3, 0.25, 0.75), (-0.45, -0.25, 1.0),
                           (0.5, -0.05, 0.85), (1.25, 0.3, 0.65)):
            x, y, q = cx + dx * r, cy + dy * r, rr * r
            d.ellipse([T(x - q, y - q), T(x + q, y + q)], fill=255)
        d.rounded_rectangle([T(cx - 1.9 * r, cy), T(cx + 1.85 * r,
                                                    cy + 0.95 * r)],
                            radius=0.47 * r * s, fill=255)
    shape(img, (cx - 2.2 * r, cy - 1.4 * r, cx + 2.2 * r, cy + 1.1 * r), p,
          colour, alpha=alpha, blur=blur)


def sky_stars(img, rng, n, area, alpha=1.0, colours=None):
    colours = colours or [(255, 255, 255), (255, 240, 190), (200, 230, 255)]
    x0, y0, x1, y1 = area
    for _ in range(n):
        x, y = rng.uniform(x0, x1), rng.uniform(y0, y1)
        c = rng.choice(colours)
        if rng.random() < 0.2:
            sparkle(img, x, y, rng.uniform(3.5, 7), c, alpha)
        else:
            rr = rng.uniform(0.6, 1.4)
            ellipse(img, x, y, rr, rr, c, alpha=alpha * rng.uniform(0.4, 0.9))


def floating_digits(img, rng, n, area, alpha, colours, size=(18, 40),
                    avoid=None):
    """Faint numbers and symbols drifting in the background."""
    x0, y0, x1, y1 = area
    glyphs = "0123456789+-x/"
    placed = 0
    tries = 0
    while placed < n and tries < n * 30:
        tries += 1
        x, y = rng.uniform(x0, x1), rng.uniform(y0, y1)
        if avoid and any(a[0] <= x <= a[2] and a[1] <= y <= a[3]
                         for a in avoid):
            continue
        g = rng.choice(glyphs)
        sz = rng.uniform(*size)
        c = rng.choice(colours)
        r = rng.uniform(-25, 25)
        if g in "+-x/":
            math_symbol(img, g, x, y, sz * 0.7, c, alpha=alpha, rot=r)
        else:
            text(img, g, sz, x, y, c, alpha=alpha, rot=r)
        placed += 1


# ------------------------------------------------------------- the mascot

BODY = [(0, col("#b4f6ff")), (0.35, col("#52d2f5")), (0.75, col("#2a8fe0")),
        (1, col("#2456b0"))]


def mascot(img, cx, cy, r, mood="happy", wave=False, shadow=True):
    """Plimo, a round blue friend with a star on its antenna. r is the body
    radius; mood is 'happy', 'worried' or 'scared'."""
    dark = col("#1f3f8f")
    if shadow:
        ellipse(img, cx, cy + r * 1.02, r * 0.85, r * 0.16, (0, 0, 0),
                alpha=0.35, blur=r * 0.08)
    # feet and arms behind the body
    for sx in (-1, 1):
        ellipse(img, cx + sx * r * 0.4, cy + r * 0.9, r * 0.3, r * 0.16,
                linear((0, cy + r * 0.75), (0, cy + r * 1.05),
                       [(0, col("#3a7fe0")), (1, dark)]))
    arm_fill = linear((0, cy - r), (0, cy + r),
                      [(0, col("#6fdcf8")), (1, col("#2a74cf"))])
    arm_w = r * 0.26
    if mood == "scared":
        # both hands up at the cheeks
        arms = [((-0.8, 0.15), (-1.08, -0.35)), ((0.8, 0.15), (1.08, -0.35))]
    elif wave:
        arms = [((-0.8, 0.1), (-1.22, -0.5)), ((0.8, 0.15), (1.1, 0.42))]
    else:
        arms = [((-0.8, 0.15), (-1.1, 0.42)), ((0.8, 0.15), (1.1, 0.42))]
    for (ax, ay), (hx, hy) in arms:
        line(img, [(cx + ax * r, cy + ay * r), (cx + hx * r, cy + hy * r)],
             arm_w, arm_fill)
        ellipse(img, cx + hx * r, cy + hy * r, arm_w * 0.62, arm_w * 0.62,
                col("#5fd0f6"))
    # antenna with its star
    tip = (cx + r * 0.22, cy - r * 1.42)
    line(img, [(cx, cy - r * 0.85), (cx + r * 0.06, cy - r * 1.15), tip],
         max(1.5, r * 0.07), col("#2456b0"))
    glow(img, tip[0], tip[1], r * 0.35, col("#ffe27a"), 0.5)
    star(img, tip[0], tip[1], r * 0.26,
         radial((tip[0] - r * 0.08, tip[1] - r * 0.1), r * 0.3,
                [(0, col("#fff6c0")), (1, col("#ffb52e"))]), inner=0.5)
    # body
    ellipse(img, cx, cy, r, r * 0.95,
            radial((cx - r * 0.35, cy - r * 0.42), r * 1.6, BODY))
    ellipse(img, cx, cy + r * 0.62, r * 0.5, r * 0.24, col("#d9fbff"),
            alpha=0.16, blur=r * 0.04)
    # cheeks
    for sx in (-1, 1):
        ellipse(img, cx + sx * r * 0.58, cy + r * 0.16, r * 0.17, r * 0.11,
                col("#ff7fb0"), alpha=0.6, blur=r * 0.03)
    # eyes
    eye_ry = {"happy": 0.27, "worried": 0.25, "scared": 0.31}[mood]
    eye_rx = {"happy": 0.21, "worried": 0.21, "scared": 0.25}[mood]
    pupil = {"happy": 0.13, "worried": 0.11, "scared": 0.07}[mood]
    for sx in (-1, 1):
        ex, ey = cx + sx * r * 0.32, cy - r * 0.16
        ellipse(img, ex, ey, r * eye_rx, r * eye_ry, (255, 255, 255))
        px = ex + r * 0.04 * (1 if mood == "happy" else -0.3 * sx)
        py = ey + r * (0.05 if mood != "scared" else 0.0)
        ellipse(img, px, py, r * pupil, r * pupil * 1.2, col("#1b1840"))
        ellipse(img, px - r * pupil * 0.35, py - r * pupil * 0.45,
                r * pupil * 0.38, r * pupil * 0.38, (255, 255, 255))
        if mood == "worried":
            line(img, [(ex - sx * r * 0.18, ey - r * 0.48),
                       (ex + sx * r * 0.18, ey - r * 0.37)],
                 max(1.2, r * 0.06), col("#1b3a80"))
        elif mood == "scared":
            line(img, [(ex - sx * r * 0.18, ey - r * 0.6),
                       (ex + sx * r * 0.18, ey - r * 0.5)],
                 max(1.2, r * 0.06), col("#1b3a80"))
    # mouth
    my = cy + r * 0.3
    if mood == "happy":
        def mouth(d, T, s):
            d.chord([T(cx - r * 0.26, my - r * 0.2),
                     T(cx + r * 0.26, my + r * 0.24)], 0, 180, fill=255)
        box = (cx - r * 0.26, my - r * 0.2, cx + r * 0.26, my + r * 0.24)
        shape(img, box, mouth, col("#7a1838"))

        def tongue(d, T, s):
            d.ellipse([T(cx - r * 0.13, my + r * 0.06),
                       T(cx + r * 0.13, my + r * 0.3)], fill=255)
        shape(img, box, mouth, col("#ff6f91"),
              cut=lambda d, T, s: _outside(d, T, s, tongue, box))
    elif mood == "worried":
        line(img, [(cx - r * 0.2, my + r * 0.08), (cx - r * 0.07, my),
                   (cx + r * 0.07, my + r * 0.07), (cx + r * 0.2, my)],
             max(1.2, r * 0.06), col("#7a1838"))
    else:
        ellipse(img, cx, my + r * 0.06, r * 0.12, r * 0.16, col("#7a1838"))
        # a drop of sweat
        sx, sy = cx + r * 0.78, cy - r * 0.55
        polygon(img, [(sx, sy - r * 0.2), (sx + r * 0.09, sy),
                      (sx - r * 0.09, sy)], col("#bff4ff"))
        ellipse(img, sx, sy + r * 0.02, r * 0.09, r * 0.09, col("#bff4ff"))
    # gloss
    ellipse(img, cx - r * 0.42, cy - r * 0.55, r * 0.26, r * 0.13,
            (255, 255, 255), alpha=0.5, rot=30, blur=r * 0.02)
    return (cx - 1.22 * r, cy - 0.5 * r)


def _outside(d, T, s, painter, box):
    """Paints everything of box except what painter covers (used to clip a
    shape to another one)."""
    d.rectangle([T(box[0] - 4, box[1] - 4), T(box[2] + 4, box[3] + 4)],
                fill=255)
    m = Image.new("L", d.im.size, 0)
    painter(ImageDraw.Draw(m), T, s)
    d.bitmap((0, 0), m, fill=0)


# ---------------------------------------------------------------- panels

def panel(img, x0, y0, x1, y1, radius, tint, alpha, rim=(255, 255, 255),
          rim_alpha=0.18, shadow=0.35):
    """A soft translucent rounded panel with a drop shadow and a thin rim."""
    if shadow:
        rrect(img, x0 + 3, y0 + 5, x1 + 3, y1 + 5, radius, (0, 0, 0),
              alpha=shadow, blur=6)
    rrect(img, x0, y0, x1, y1, radius, tint, alpha=alpha)
    if rim_alpha:
        rrect_outline(img, x0, y0, x1, y1, radius, 1.5, rim, alpha=rim_alpha)


def keycap(img, x, y, w, h, label, colour, pressed=False, label_col=None):
    """A chunky rounded keyboard key with its label."""
    depth = 5 if pressed else 10
    rrect(img, x + 2, y + 6, x + w + 2, y + h + 12, 14, (0, 0, 0), alpha=0.35,
          blur=5)
    rrect(img, x, y + (10 - depth), x + w, y + h + 10, 14,
          darken(colour, 0.45))
    top = y + (10 - depth)
    rrect(img, x, top, x + w, top + h, 14,
          linear((0, top), (0, top + h), [(0, lighten(colour, 0.35)),
                                          (1, colour)]))
    rrect(img, x + 6, top + 5, x + w - 6, top + h * 0.45, 10,
          (255, 255, 255), alpha=0.18)
    lc = label_col or (255, 255, 255)
    cx, cy = x + w / 2, top + h / 2
    if label in ("+", "-", "x", "/"):
        math_symbol(img, label, cx + 1.5, cy + 2, h * 0.5, (0, 0, 0),
                    alpha=0.3, blur=1)
        math_symbol(img, label, cx, cy, h * 0.5, lc)
    else:
        text(img, label, h * 0.52, cx + 1.5, cy + 2, (0, 0, 0), alpha=0.3,
             blur=1)
        text(img, label, h * 0.52, cx, cy, lc)


def problem_card(img, cx, cy, s, size=34, tint=col("#2b3f8f"), alpha=1.0,
                 glow_col=None):
    """A problem as it floats on the field: a rounded card with the sum."""
    f = font(size)
    tw = f.getlength(s)
    w, h = tw + size * 1.0, size * 1.55
    x0, y0 = cx - w / 2, cy - h / 2
    if glow_col:
        glow(img, cx, cy, w * 0.55, glow_col, 0.35 * alpha, squash=0.5)
    rrect(img, x0 + 3, y0 + 5, x0 + w + 3, y0 + h + 5, h * 0.4, (0, 0, 0),
          alpha=0.35 * alpha, blur=4)
    rrect(img, x0, y0, x0 + w, y0 + h, h * 0.4,
          linear((0, y0), (0, y0 + h), [(0, lighten(tint, 0.25)),
                                        (1, darken(tint, 0.15))]),
          alpha=alpha)
    rrect_outline(img, x0, y0, x0 + w, y0 + h, h * 0.4, 2,
                  lighten(tint, 0.6), alpha=0.6 * alpha)
    text(img, s, size, cx + 1.5, cy + 2, (0, 0, 0), alpha=0.35 * alpha,
         blur=1)
    text(img, s, size, cx, cy, col("#fff8e0"), alpha=alpha)
    return x0, y0, x0 + w, y0 + h


def arrow(img, pts, width, colour, head=None, alpha=1.0):
    """A thick rounded arrow along pts, its head at the last point."""
    head = head or width * 2.4
    (x1, y1), (x2, y2) = pts[-2], pts[-1]
    a = math.atan2(y2 - y1, x2 - x1)
    back = (x2 - math.cos(a) * head * 0.8, y2 - math.sin(a) * head * 0.8)
    line(img, pts[:-1] + [back], width, colour, alpha=alpha)
    left = (x2 - math.cos(a - 0.6) * head, y2 - math.sin(a - 0.6) * head)
    right = (x2 - math.cos(a + 0.6) * head, y2 - math.sin(a + 0.6) * head)

    def p(d, T, s):
        d.polygon([T(*left), T(x2, y2), T(*right)], fill=255)
        for q in (left, right, (x2, y2)):
            rr = width * 0.35
            d.ellipse([T(q[0] - rr, q[1] - rr), T(q[0] + rr, q[1] + rr)],
                      fill=255)
        d.line([T(*left), T(x2, y2), T(*right)], fill=255,
               width=int(width * 0.7 * s), joint="curve")
    xs = [left[0], right[0], x2]
    ys = [left[1], right[1], y2]
    shape(img, (min(xs) - width, min(ys) - width, max(xs) + width,
                max(ys) + width), p, colour, alpha=alpha)


def check_mark(img, cx, cy, size, colour):
    pts = [(cx - size * 0.45, cy), (cx - size * 0.12, cy + size * 0.33),
           (cx + size * 0.5, cy - size * 0.38)]
    line(img, [(x + 2, y + 3) for x, y in pts], size * 0.2, (0, 0, 0),
         alpha=0.3, blur=1.5)
    line(img, pts, size * 0.2, colour)


def warning_sign(img, cx, cy, size, colour=col("#ffcc33"), alpha=1.0):
    """A rounded triangle with an exclamation mark."""
    h = size * 0.87
    pts = [(cx, cy - h * 0.6), (cx + size / 2, cy + h * 0.4),
           (cx - size / 2, cy + h * 0.4)]
    line(img, pts + [pts[0]], size * 0.16, colour, alpha=alpha)
    polygon(img, pts, colour, alpha=alpha)
    ink = col("#3a1a00")
    line(img, [(cx, cy - h * 0.25), (cx, cy + h * 0.08)], size * 0.11, ink,
         alpha=alpha)
    ellipse(img, cx, cy + h * 0.24, size * 0.065, size * 0.065, ink,
            alpha=alpha)


def burst(img, rng, cx, cy, radius, n=64):
    """Coloured particles flying out of a solved problem."""
    colours = [col(c) for c in ("#ff5f7e", "#ffb347", "#ffe45c", "#6ee7a0",
                                "#4fd0ff", "#a98bff", "#ff8ad8")]
    glow(img, cx, cy, radius * 0.55, col("#fff1b0"), 0.55)
    for i in range(n):
        a = i * 2 * math.pi / n + rng.uniform(-0.08, 0.08)
        d = radius * rng.uniform(0.3, 1.0)
        x, y = cx + math.cos(a) * d, cy + math.sin(a) * d
        rr = rng.uniform(2.5, 6.5) * (1.15 - d / radius * 0.5)
        c = rng.choice(colours)
        # a short trail behind each particle shows the outward motion
        tx, ty = cx + math.cos(a) * (d - rr * 3), cy + math.sin(a) * (d - rr * 3)
        line(img, [(tx, ty), (x, y)], rr * 0.9, c, alpha=0.35)
        ellipse(img, x, y, rr, rr, c)
        ellipse(img, x - rr * 0.3, y - rr * 0.3, rr * 0.35, rr * 0.35,
                (255, 255, 255), alpha=0.6)


def hazard_stripes(img, x0, y0, x1, y1, c1, c2, period=24, alpha=1.0,
                   radius=0):
    """Diagonal warning stripes filling a rounded box."""
    def fill(xs, ys):
        t = ((xs + ys) % period) < period / 2
        out = np.where(t[..., None], np.array(c1, np.float32),
                       np.array(c2, np.float32))
        return out
    rrect(img, x0, y0, x1, y1, radius, fill, alpha=alpha)


def vignette(img, strength, colour=(0, 0, 0)):
    h, w = img.shape[:2]
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32)
    d = np.hypot((xs - w / 2) / (w / 2), (ys - h / 2) / (h / 2)) / math.sqrt(2)
    a = np.clip((d - 0.45) / 0.55, 0, 1) ** 1.6 * strength
    composite(img, 0, 0, a, colour)


# ------------------------------------------------------------------ output

def finish(img, seed):
    """Quantises to 8 bits with a tiny fixed dither against banding."""
    noise = np.random.default_rng(seed).uniform(-0.5, 0.5, img.shape[:2])
    out = np.clip(img + noise[..., None], 0, 255) + 0.5
    return Image.fromarray(out.astype(np.uint8), "RGB")


def save_bmp(img, name, seed):
    pic = finish(img, seed)
    assert pic.size == (W, H)
    pic.save(os.path.join(DATA, name), format="BMP")


# ------------------------------------------------------------------ scenes

SUNRISE = [(0.0, col("#141c4f")), (0.35, col("#3a2a85")),
           (0.62, col("#8a3f9e")), (0.82, col("#e2638a")),
           (1.0, col("#ffb26b"))]


def splash():
    rng = random.Random(1001)
    img = canvas()
    vertical(img, SUNRISE)
    glow(img, 320, 430, 260, col("#ffcf7a"), 0.55, squash=0.6)
    glow(img, 90, 60, 160, col("#4fb3ff"), 0.25)
    glow(img, 560, 120, 170, col("#ff6fc8"), 0.18)
    sky_stars(img, rng, 70, (0, 0, W, 250))
    floating_digits(img, rng, 16, (20, 20, 620, 330), 0.10,
                    [(255, 255, 255), col("#ffd7f0"), col("#c9e9ff")],
                    size=(22, 46), avoid=[(120, 80, 520, 260)])
    for _ in range(9):
        bubble(img, rng.uniform(20, 620), rng.uniform(40, 360),
               rng.uniform(8, 22), alpha=0.9)
    # far and near hills
    hills(img, 410, (14, 9), (2.2, 5.1), 0.7,
          linear((0, 370), (0, 480), [(0, col("#5b3d9e")),
                                      (1, col("#2d2163"))]))
    hills(img, 440, (12, 7), (1.6, 4.3), 2.1,
          linear((0, 410), (0, 480), [(0, col("#2fb38a")),
                                      (1, col("#156a5c"))]))
    hills(img, 462, (8, 5), (2.7, 6.2), 4.0,
          linear((0, 440), (0, 480), [(0, col("#43cf7c")),
                                      (1, col("#1d8a55"))]))
    for _ in range(26):
        x, y = rng.uniform(10, 630), rng.uniform(455, 476)
        c = rng.choice([col("#ffe45c"), col("#ff8ad8"), (255, 255, 255)])
        star(img, x, y, rng.uniform(2.5, 4), c, inner=0.55, alpha=0.9)
    title(img, 320, 150, 150)
    # the four operations in glossy bubbles
    ops = [("+", col("#ff5f7e")), ("-", col("#ffa531")), ("x", col("#3fc7ff")),
           ("/", col("#8e6bff"))]
    for i, (sym, c) in enumerate(ops):
        x = 200 + i * 80
        y = 300 + (6 if i % 2 else 0)
        number_balloon(img, x, y, 27, sym, c)
    mascot(img, 92, 380, 50, wave=True)
    # a few number balloons on strings at the right
    for (x, y, r, lab, c) in ((548, 330, 24, "7", col("#ffcf3a")),
                              (592, 285, 20, "3", col("#5ee07a")),
                              (510, 272, 18, "5", col("#ff7fb0"))):
        line(img, [(x, y + r), (x + 4, y + r + 30), (x - 2, y + r + 60)], 1.3,
             (255, 255, 255), alpha=0.5)
        number_balloon(img, x, y, r, lab, c)
    save_bmp(img, "splash.bmp", 11)


def title(img, cx, cy, size):
    """The word Plimo in candy letters, each its own colour, bouncing."""
    letters = [("P", col("#ff5f7e"), -6, 0), ("l", col("#ffb13b"), 4, -8),
               ("ı", col("#5ee07a"), -3, 4), ("m", col("#3fc7ff"), 5, -4),
               ("o", col("#b07bff"), -5, 2)]
    f = font(size)
    gap = size * 0.02
    widths = [f.getlength(c) for c, *_ in letters]
    total = sum(widths) + gap * (len(letters) - 1)
    x = cx - total / 2
    centres = []
    for (ch, c, rot, dy), wdt in zip(letters, widths):
        centres.append((x + wdt / 2, cy + dy, ch, c, rot))
        x += wdt + gap
    outline = col("#2a1456")
    glow(img, cx, cy, total * 0.45, col("#ffffff"), 0.18, squash=0.45)
    for lx, ly, ch, c, rot in centres:
        text(img, ch, size, lx + 6, ly + 9, (20, 5, 50), stroke=size * 0.1,
             alpha=0.55, blur=5, rot=rot)
    for lx, ly, ch, c, rot in centres:
        text(img, ch, size, lx, ly, (255, 255, 255), stroke=size * 0.085,
             rot=rot)
    for lx, ly, ch, c, rot in centres:
        text(img, ch, size, lx, ly, outline, stroke=size * 0.05, rot=rot)
    for lx, ly, ch, c, rot in centres:
        top, bottom = ly - size * 0.42, ly + size * 0.4
        text(img, ch, size, lx, ly,
             linear((0, top), (0, bottom),
                    [(0, lighten(c, 0.55)), (0.46, lighten(c, 0.25)),
                     (0.5, c), (1, darken(c, 0.3))]), rot=rot)
    # a shine stroke on each letter's upper part
    for lx, ly, ch, c, rot in centres:
        ellipse(img, lx - size * 0.08, ly - size * 0.25, size * 0.07,
                size * 0.03, (255, 255, 255), alpha=0.55, rot=rot + 20)
    # the dot of the i is a star
    lx, ly, ch, c, rot = centres[2]
    sx, sy = lx + 2, ly - size * 0.52
    glow(img, sx, sy, size * 0.22, col("#fff0a0"), 0.7)
    star(img, sx + 3, sy + 5, size * 0.17, (20, 5, 50), alpha=0.5, blur=3)
    star(img, sx, sy, size * 0.19, (255, 255, 255), inner=0.5)
    star(img, sx, sy, size * 0.155,
         radial((sx - 6, sy - 6), size * 0.2,
                [(0, col("#fffbe0")), (1, col("#ffbf2e"))]), inner=0.5)
    sparkle(img, centres[0][0] - size * 0.35, cy - size * 0.45, 10,
            (255, 255, 255))
    sparkle(img, centres[4][0] + size * 0.38, cy + size * 0.2, 8,
            col("#fff3b0"))


NIGHT = [(0.0, col("#10173f")), (0.45, col("#22266c")),
         (0.75, col("#4a2c80")), (1.0, col("#8a4490"))]


def menu_background(img, rng, panel_box=None):
    """Shared look of the menu screens: dusk sky, hills, faint numbers."""
    vertical(img, NIGHT)
    glow(img, 100, 420, 220, col("#ff9a7a"), 0.25, squash=0.6)
    glow(img, 600, 40, 200, col("#3fa0ff"), 0.18)
    sky_stars(img, rng, 55, (0, 0, W, 380), alpha=0.8)
    hills(img, 440, (12, 6), (1.8, 4.6), 1.3,
          linear((0, 400), (0, 480), [(0, col("#2b6e8e")),
                                      (1, col("#173a5e"))]))
    hills(img, 462, (8, 5), (2.5, 5.5), 3.1,
          linear((0, 440), (0, 480), [(0, col("#2f9e74")),
                                      (1, col("#175a48"))]))


def menubg():
    rng = random.Random(2002)
    img = canvas()
    menu_background(img, rng)
    # the text panel
    panel(img, 196, 26, 634, 424, 22, col("#0b0f2e"), 0.62,
          rim=col("#9fc6ff"), rim_alpha=0.35)
    rrect(img, 199, 29, 631, 72, 19, (255, 255, 255), alpha=0.035)
    # the left column: the mascot holding a bunch of number balloons
    hand = (100 - 1.22 * 44, 352 - 0.5 * 44)
    balloons = ((48, 78, 22, "+", col("#ff5f7e")),
                (140, 100, 20, "3", col("#ffcf3a")),
                (84, 150, 19, "x", col("#3fc7ff")),
                (168, 170, 15, "7", col("#5ee07a")),
                (26, 150, 15, "5", col("#b07bff")))
    for (x, y, r, lab, c) in balloons:
        mx = (x + hand[0]) / 2 + 8
        my = (y + r + hand[1]) / 2
        line(img, [(x, y + r), (mx, my), hand], 1.2, (230, 235, 255),
             alpha=0.55)
    for (x, y, r, lab, c) in balloons:
        polygon(img, [(x, y + r - 2), (x + 4, y + r + 5), (x - 4, y + r + 5)],
                darken(c, 0.2))
        number_balloon(img, x, y, r, lab, c)
    mascot(img, 100, 352, 44, wave=True)
    sparkle(img, 186, 300, 6, col("#fff3b0"))
    sparkle(img, 22, 262, 5, (255, 255, 255))
    sparkle(img, 120, 30, 5, (255, 255, 255))
    for _ in range(4):
        bubble(img, rng.uniform(150, 195), rng.uniform(240, 400),
               rng.uniform(4, 9), alpha=0.7)
    save_bmp(img, "menubg.bmp", 22)


def caption_strip(img):
    """A calm dark strip for the help line at (200, 60)."""
    panel(img, 188, 48, 632, 96, 18, col("#0b0f2e"), 0.7, rim=col("#9fc6ff"),
          rim_alpha=0.3, shadow=0.3)


def help_picture():
    rng = random.Random(3003)
    img = canvas()
    menu_background(img, rng)
    caption_strip(img)
    mascot(img, 88, 62, 34, wave=True, shadow=False)
    # a little playing field: the red zone at the left, a problem drifting
    fx0, fy0, fx1, fy1 = 24, 114, 616, 282
    panel(img, fx0, fy0, fx1, fy1, 18, col("#0c1838"), 0.85,
          rim=col("#9fc6ff"), rim_alpha=0.35)
    zone = fx0 + 120

    def zone_fill(xs, ys):
        t = ((xs + ys) % 22) < 11
        a = np.where(t[..., None], np.array(col("#7a1420"), np.float32),
                     np.array(col("#5a0e1a"), np.float32))
        return a

    def zone_shape(d, T, s):
        d.rounded_rectangle([T(fx0, fy0), T(fx1, fy1)], radius=18 * s,
                            fill=255)
        d.rectangle([T(zone, fy0 - 2), T(fx1 + 2, fy1 + 2)], fill=0)
    shape(img, (fx0, fy0, fx1, fy1), zone_shape, zone_fill, alpha=0.9)
    glow(img, zone, (fy0 + fy1) / 2, 40, col("#ff3b4e"), 0.35, squash=2.5)
    line(img, [(zone, fy0 + 6), (zone, fy1 - 6)], 4, col("#ff4d5e"))
    warning_sign(img, fx0 + 60, (fy0 + fy1) / 2, 54)
    # the problem with speed lines behind it and an arrow ahead of it
    py = 198
    for i, (dx, dy) in enumerate(((0, -14), (12, 0), (4, 14))):
        line(img, [(492 + dx, py + dy), (560 + dx + i * 8, py + dy)], 5,
             col("#9fd8ff"), alpha=0.5 - i * 0.08)
    # fading outlines where the card has just been
    for k, a in ((3, 0.12), (2, 0.22), (1, 0.34)):
        x = 410 + k * 30
        rrect_outline(img, x - 67, py - 26, x + 67, py + 26, 21, 2,
                      col("#9fd8ff"), alpha=a)
    problem_card(img, 410, py, "7 + 5", 34, glow_col=col("#7fc8ff"))
    arrow(img, [(330, py), (200, py)], 12, col("#ffd23f"))
    # the answer: keys 1 and 2, the answer box, the burst
    ky = 330
    keycap(img, 40, ky, 74, 70, "1", col("#3f8cff"), pressed=True)
    keycap(img, 128, ky, 74, 70, "2", col("#3f8cff"), pressed=True)
    # little rays above each key: it is being pressed
    for x in (77, 165):
        for a in (-130, -90, -50):
            t = math.radians(a)
            line(img, [(x + math.cos(t) * 44, ky + 34 + math.sin(t) * 44),
                       (x + math.cos(t) * 56, ky + 34 + math.sin(t) * 56)],
                 4, col("#ffe45c"))
    arrow(img, [(222, ky + 40), (262, ky + 40)], 9, (255, 255, 255),
          alpha=0.85)
    bx0, by0, bx1, by1 = 276, ky - 4, 400, ky + 84
    glow(img, (bx0 + bx1) / 2, (by0 + by1) / 2, 80, col("#6fe3a0"), 0.3,
         squash=0.7)
    panel(img, bx0, by0, bx1, by1, 18, col("#0c1838"), 0.9,
          rim=col("#8ff0b8"), rim_alpha=0.9)
    text(img, "12", 54, (bx0 + bx1) / 2 + 2, (by0 + by1) / 2 + 3, (0, 0, 0),
         alpha=0.4, blur=1.5)
    text(img, "12", 54, (bx0 + bx1) / 2, (by0 + by1) / 2, col("#fff8e0"))
    arrow(img, [(414, ky + 40), (454, ky + 40)], 9, (255, 255, 255),
          alpha=0.85)
    burst(img, rng, 540, ky + 40, 78)
    check_mark(img, 540, ky + 40, 46, col("#7dffb0"))
    save_bmp(img, "help.bmp", 33)


def help_plusminus_picture():
    rng = random.Random(4004)
    img = canvas()
    menu_background(img, rng)
    caption_strip(img)
    mascot(img, 88, 62, 34, wave=True, shadow=False)
    rows = [("3 - 8", "-5", "-", col("#ff5f7e")),
            ("4 + 2", "6", "+", col("#2fc46a")),
            ("5 - 5", "0", "+", col("#2fc46a"))]
    for i, (prob, value, key, kc) in enumerate(rows):
        y = 160 + i * 112
        panel(img, 24, y - 46, 616, y + 46, 20, col("#0c1838"), 0.55,
              rim=col("#9fc6ff"), rim_alpha=0.2, shadow=0.2)
        problem_card(img, 118, y, prob.replace("-", "\u2212"), 32)
        arrow(img, [(236, y), (282, y)], 8, (255, 255, 255), alpha=0.7)
        # the value, faint, as a thought bubble
        ellipse(img, 340, y, 44, 32, (255, 255, 255), alpha=0.12)
        text(img, value.replace("-", "\u2212"), 36, 340, y,
             lighten(kc, 0.55), alpha=0.85)
        arrow(img, [(398, y), (448, y)], 8, (255, 255, 255), alpha=0.7)
        glow(img, 518, y, 60, kc, 0.35, squash=0.8)
        keycap(img, 470, y - 38, 96, 66, key, kc, pressed=True)
        sparkle(img, 580, y - 30, 7, (255, 255, 255), alpha=0.9)
    save_bmp(img, "help_plusminus.bmp", 44)


# ---------------------------------------------------------------- in-game

FIELD_BOTTOM = 388   # problems occupy rows 0..380, about 20 pixels tall
ZONE_RIGHT = 200     # the danger zone is x 0..199
MOODS = {
    "good": dict(sky=[(0.0, col("#0a2342")), (0.55, col("#0e3a5a")),
                      (1.0, col("#176470"))],
                 sun=col("#ffe08a"), sun_at=(548, 448), sun_r=44,
                 hill1=[(0, col("#2f8f64")), (1, col("#1c5e45"))],
                 hill2=[(0, col("#49b96c")), (1, col("#2a7d4a"))],
                 zone=col("#d03048"), tint=0.05, stripes=0.07, heat=0.14,
                 edge=col("#ff8a95"), edge_alpha=0.65, edge_glow=0.12,
                 hazard=0.35, sign=0.6, rim=col("#9fe8ff"), mood="happy"),
    "neutral": dict(sky=[(0.0, col("#1c1436")), (0.55, col("#3a1f3f")),
                         (1.0, col("#5e3323"))],
                    sun=col("#ff9a3c"), sun_at=(520, 446), sun_r=52,
                    hill1=[(0, col("#5a3550")), (1, col("#36203a"))],
                    hill2=[(0, col("#7a4a3a")), (1, col("#45281f"))],
                    zone=col("#e0402a"), tint=0.2, stripes=0.12, heat=0.25,
                    edge=col("#ff7a3a"), edge_alpha=0.9, edge_glow=0.25,
                    hazard=0.7, sign=0.9, rim=col("#ffc27a"),
                    mood="worried"),
    "bad": dict(sky=[(0.0, col("#2a0508")), (0.6, col("#3c070c")),
                     (1.0, col("#5a0d10"))],
                sun=col("#ff3030"), sun_at=(548, 452), sun_r=40,
                hill1=[(0, col("#4a0a12")), (1, col("#24040a"))],
                hill2=[(0, col("#3a070c")), (1, col("#1a0206"))],
                zone=col("#ff2020"), tint=0.28, stripes=0.2, heat=0.35,
                edge=col("#ff4040"), edge_alpha=1.0, edge_glow=0.5,
                hazard=1.0, sign=1.0, rim=col("#ff8a8a"), mood="scared"),
}


def ingame(name, seed):
    m = MOODS[name]
    rng = random.Random(seed)
    img = canvas()
    vertical(img, m["sky"])
    sx, sy = m["sun_at"]
    # light near the horizon, kept dim over the field so that the problems
    # stay readable in every row
    glow(img, sx, sy, 210, m["sun"], 0.2, squash=0.5)
    if name == "good":
        # faint sun rays fanning over the sky
        for k in range(12):
            a0 = math.radians(190 + k * 14)
            a1 = a0 + math.radians(6)
            polygon(img, [(sx, sy), (sx + 760 * math.cos(a0),
                                     sy + 760 * math.sin(a0)),
                          (sx + 760 * math.cos(a1), sy + 760 * math.sin(a1))],
                    col("#fff2c0"), alpha=0.035, blur=3)
        for _ in range(5):
            cloud(img, rng.uniform(240, 600), rng.uniform(40, 300),
                  rng.uniform(70, 130), (255, 255, 255), alpha=0.035, blur=2)
    elif name == "neutral":
        for _ in range(4):
            cloud(img, rng.uniform(240, 600), rng.uniform(60, 320),
                  rng.uniform(80, 140), col("#ffb070"), alpha=0.045, blur=2)
        sky_stars(img, rng, 25, (210, 0, W, 300), alpha=0.28)
    else:
        vignette(img, 0.55, col("#000000"))
        for cx, cy in ((640, 0), (640, 480)):
            glow(img, cx, cy, 180, col("#ff2020"), 0.16)
        # alarm waves spreading from the danger zone
        for i in range(5):
            ring(img, 60, 200, 190 + i * 75, 3, col("#ff3030"),
                 alpha=0.07 - i * 0.008, blur=2)
    # the sun behind the hills
    glow(img, sx, sy, m["sun_r"] * 1.6, m["sun"], 0.5)
    ellipse(img, sx, sy, m["sun_r"], m["sun_r"],
            radial((sx - 10, sy - 12), m["sun_r"] * 1.3,
                   [(0, lighten(m["sun"], 0.5)), (1, m["sun"])]),
            alpha=0.85)
    hills(img, 418, (10, 6), (1.7, 4.9), seed % 7,
          linear((0, 390), (0, 480), m["hill1"]))
    hills(img, 448, (8, 5), (2.4, 6.1), seed % 5 + 1.3,
          linear((0, 430), (0, 480), m["hill2"]))
    if name == "good":
        for _ in range(22):
            x, y = rng.uniform(214, 630), rng.uniform(452, 476)
            if 255 < x < 505:
                continue
            c = rng.choice([col("#ffe45c"), col("#ff8ad8"), (255, 255, 255)])
            star(img, x, y, rng.uniform(2.5, 4), c, inner=0.55, alpha=0.85)
    danger_zone(img, m, name)
    prompt_slot(img, m)
    score_corner(img, m)
    mascot(img, 596, 436, 24, mood=m["mood"])
    save_bmp(img, "ingame_%s.bmp" % name, seed)


def danger_zone(img, m, name):
    """The leftmost 200 pixels, where a problem must never arrive: a tinted
    band with faint stripes over the field, bold stripes below it and a line
    at x = 200, all the stronger the greater the danger."""
    zw = ZONE_RIGHT
    composite(img, 0, 0, np.full((FIELD_BOTTOM, zw), m["tint"], np.float32),
              darken(m["zone"], 0.4))
    c_light, c_dark = darken(m["zone"], 0.35), darken(m["zone"], 0.75)

    def stripes(xs, ys):
        t = ((xs + ys) % 40) < 20
        return np.where(t[..., None], np.array(c_light, np.float32),
                        np.array(c_dark, np.float32))
    rrect(img, -5, -5, zw - 1, FIELD_BOTTOM, 0, stripes, alpha=m["stripes"])
    # the nearer the left edge, the hotter
    ys, xs = np.mgrid[0:FIELD_BOTTOM, 0:zw].astype(np.float32)
    composite(img, 0, 0, (1 - xs / zw) ** 2 * m["heat"], m["zone"])
    # below the field: warning stripes with a sign
    hazard_stripes(img, 0, FIELD_BOTTOM + 4, zw - 1, H, col("#ffc629"),
                   col("#2a1405"), period=32, alpha=m["hazard"])
    line(img, [(-4, FIELD_BOTTOM + 4), (zw - 1, FIELD_BOTTOM + 4)], 3,
         m["edge"], alpha=m["edge_alpha"] * 0.8)
    warning_sign(img, 100, 436, 52, alpha=m["sign"])
    if name == "bad":
        for x in (32, 168):
            glow(img, x, 436, 26, col("#ff2a2a"), 0.85)
            ellipse(img, x, 436, 10, 10, col("#ff5a5a"))
            ellipse(img, x - 3, 433, 3.5, 3.5, (255, 255, 255), alpha=0.7)
    # the border at x = 200
    glow(img, zw, 240, 16, m["edge"], m["edge_glow"], squash=14)
    if name == "good":
        for y in range(2, H, 16):
            line(img, [(zw, y), (zw, y + 8)], 3, m["edge"],
                 alpha=m["edge_alpha"])
    else:
        line(img, [(zw, -4), (zw, H + 4)], 3 if name == "neutral" else 4,
             m["edge"], alpha=m["edge_alpha"])


def prompt_slot(img, m):
    """A dark slot under the typed answer, drawn 2x big at (310, 420)."""
    x0, y0, x1, y1 = 296, 408, 492, H + 24
    rrect(img, x0 + 2, y0 + 4, x1 + 2, y1 + 4, 18, (0, 0, 0), alpha=0.45,
          blur=5)
    rrect(img, x0, y0, x1, y1, 18,
          linear((0, y0), (0, H), [(0, col("#070a1c")),
                                   (1, col("#131838"))]), alpha=0.88)
    rrect_outline(img, x0, y0, x1, y1, 18, 2, m["rim"], alpha=0.6)
    rrect_outline(img, x0 + 5, y0 + 5, x1 - 5, y1 - 5, 13, 1, m["rim"],
                  alpha=0.15)
    # an equals sign in front of the slot: what is typed is the answer
    for dy in (-7, 7):
        rrect(img, 264, 444 + dy - 3.5, 286, 444 + dy + 3.5, 3.5,
              (0, 0, 0), alpha=0.35, blur=1.5)
        rrect(img, 262, 442 + dy - 3.5, 284, 442 + dy + 3.5, 3.5,
              lighten(m["rim"], 0.3), alpha=0.9)


def score_corner(img, m):
    """A small calm tab under the score at (0, 0)."""
    rrect(img, -16, -16, 92, 27, 12, (0, 0, 0), alpha=0.3, blur=3)
    rrect(img, -16, -16, 90, 25, 12, col("#05060f"), alpha=0.5)
    rrect_outline(img, -16, -16, 90, 25, 12, 1.5, m["rim"], alpha=0.3)


# -------------------------------------------------------------------- icon

def icon():
    size = 256
    img = canvas(size, size)
    vertical(img, [(0.0, col("#1f2a74")), (0.55, col("#5a3296")),
                   (1.0, col("#ff9a7a"))])
    rng = random.Random(5005)
    glow(img, 128, 230, 120, col("#ffd27a"), 0.5, squash=0.6)
    sky_stars(img, rng, 14, (10, 10, 246, 120))
    for x, y, r in ((40, 70, 12), (214, 92, 9)):
        bubble(img, x, y, r)
    for x, y, s, c in ((46, 176, 34, col("#ff5f7e")),
                       (212, 176, 30, col("#3fc7ff"))):
        ellipse(img, x + 2, y + 3, s * 0.6, s * 0.6, (0, 0, 0), alpha=0.25,
                blur=3)
    hills_pts = []
    for x in range(-4, size + 5, 4):
        hills_pts.append((x, 214 - 10 * math.sin(x / size * math.pi * 2 + 1)))
    polygon(img, hills_pts + [(size + 4, size + 4), (-4, size + 4)],
            linear((0, 200), (0, 256), [(0, col("#43cf7c")),
                                        (1, col("#1d8a55"))]))
    number_balloon(img, 44, 166, 24, "+", col("#ff5f7e"))
    number_balloon(img, 214, 162, 21, "x", col("#ffb13b"))
    mascot(img, 128, 150, 66, wave=False)
    rgb = finish(img, 55)
    # the rounded tile shape, anti-aliased
    m = Image.new("L", (size * SS, size * SS), 0)
    ImageDraw.Draw(m).rounded_rectangle([0, 0, size * SS - 1, size * SS - 1],
                                        radius=52 * SS, fill=255)
    m = m.resize((size, size), Image.BOX)
    out = rgb.convert("RGBA")
    out.putalpha(m)
    out.save(os.path.join(DATA, "icon.png"), format="PNG", optimize=False)


# ------------------------------------------------------------------ checks

def _luma(name):
    path = os.path.join(DATA, name)
    with open(path, "rb") as f:
        head = f.read(30)
    if head[:2] != b"BM" or int.from_bytes(head[28:30], "little") != 24:
        raise SystemExit("%s: not a 24-bit BMP" % path)
    pic = Image.open(path)
    if pic.size != (W, H):
        raise SystemExit("%s: %dx%d, not %dx%d" % ((path,) + pic.size +
                                                    (W, H)))
    a = np.asarray(pic.convert("RGB"), np.float32)
    return a, a @ np.array([0.299, 0.587, 0.114], np.float32)


def check_pictures():
    """Re-reads the written pictures and fails loudly when one breaks what
    the game's text drawing relies on: size and depth, dark calm areas
    under the texts, and a danger zone that can be seen."""
    faults = []

    def calm(name, lum, box, limit):
        x0, y0, x1, y1 = box
        top = float(np.percentile(lum[y0:y1, x0:x1], 99.5))
        if top > limit:
            faults.append("%s: area %s too bright for text (%.0f > %d)"
                          % (name, box, top, limit))
    for name in ("splash.bmp", "help.bmp", "help_plusminus.bmp"):
        _luma(name)
    _, lum = _luma("menubg.bmp")
    calm("menubg.bmp", lum, (220, 40, 630, 420), 70)
    for name in ("help.bmp", "help_plusminus.bmp"):
        _, lum = _luma(name)
        calm(name, lum, (200, 55, 630, 90), 80)
    for mood in ("good", "neutral", "bad"):
        name = "ingame_%s.bmp" % mood
        rgb, lum = _luma(name)
        field = np.concatenate([lum[0:FIELD_BOTTOM, 0:194],
                                lum[0:FIELD_BOTTOM, 207:W]], axis=1)
        calm(name, field, (0, 0, field.shape[1], FIELD_BOTTOM), 115)
        calm(name, lum, (0, 0, 90, 24), 90)
        calm(name, lum, (310, 420, 480, 470), 40)
        edge = rgb[0:FIELD_BOTTOM, 199:202].mean(axis=(0, 1))
        beside = rgb[0:FIELD_BOTTOM, 210:230].mean(axis=(0, 1))
        if np.abs(edge - beside).sum() < 100:
            faults.append("%s: no visible border at x = 200" % name)
        zone = rgb[0:FIELD_BOTTOM, 20:180].mean(axis=(0, 1))
        rest = rgb[0:FIELD_BOTTOM, 220:380].mean(axis=(0, 1))
        if (zone[0] - zone[2]) - (rest[0] - rest[2]) < 15:
            faults.append("%s: danger zone not tinted apart" % name)
    icon_pic = Image.open(os.path.join(DATA, "icon.png"))
    if icon_pic.size != (256, 256) or icon_pic.mode != "RGBA":
        faults.append("icon.png: %s %s, not 256x256 RGBA"
                      % (icon_pic.size, icon_pic.mode))
    if faults:
        raise SystemExit("\n".join(faults))


def main():
    os.makedirs(DATA, exist_ok=True)
    splash()
    menubg()
    help_picture()
    help_plusminus_picture()
    ingame("good", 61)
    ingame("neutral", 62)
    ingame("bad", 63)
    icon()
    check_pictures()


if __name__ == "__main__":
    main()
