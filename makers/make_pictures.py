#!/usr/bin/python3
"""Draws Plimo's seven full-screen pictures and its icon into data/.

Every picture is 640x480, written as a 24-bit BMP; the icon is a 256x256 RGBA
PNG. The art is built from soft vector-like shapes (supersampled masks),
gradients and glows; every random choice comes from fixed seeds, so running
the script twice gives identical files.

Run as: /usr/bin/python3 makers/make_pictures.py
"""

import math
import os
import random

import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_font  # noqa: E402

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


def cloud_bank(img, clouds, colour, alpha=1.0, blur=0.0):
    """Soft clouds, each (centre x, centre y, width), painted as one mask: overlapping
    puffs, of one cloud or of neighbours, merge without showing their circles."""
    boxes = []
    puffs = []
    for cx, cy, w in clouds:
        r = w / 4.0
        for dx, dy, rr in ((-1.3, 0.25, 0.75), (-0.45, -0.25, 1.0),
                           (0.5, -0.05, 0.85), (1.25, 0.3, 0.65)):
            puffs.append(("e", cx + dx * r, cy + dy * r, rr * r))
        puffs.append(("r", cx - 1.9 * r, cy, cx + 1.85 * r, cy + 0.95 * r,
                      0.47 * r))
        boxes.append((cx - 2.2 * r, cy - 1.4 * r, cx + 2.2 * r, cy + 1.1 * r))

    def p(d, T, s):
        for q in puffs:
            if q[0] == "e":
                _, x, y, rr = q
                d.ellipse([T(x - rr, y - rr), T(x + rr, y + rr)], fill=255)
            else:
                _, x0, y0, x1, y1, rad = q
                d.rounded_rectangle([T(x0, y0), T(x1, y1)], radius=rad * s,
                                    fill=255)
    box = (min(b[0] for b in boxes), min(b[1] for b in boxes),
           max(b[2] for b in boxes), max(b[3] for b in boxes))
    shape(img, box, p, colour, alpha=alpha, blur=blur)


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


# The help pictures teach the game's own look: a problem is the game's small text on the
# leading problem's dark red highlight, over the field of the in-game picture, and the
# answer is the game's big text in the answer tab, all drawn by the game's own text and
# shape rules (make_font) and shown magnified pixel for pixel. One example each.
HELP_ZOOM = 3
HELP_PULSE = 0.5          # the highlight's pulse at its mean: radii 40 + 4 and 20 + 2


def game_problem(text):
    """A problem as the game shows it when it leads: the in-game field, the highlight,
    the small text on it; returns the patch (rows x cols x 3) around it."""
    field = np.asarray(Image.open(os.path.join(DATA, "ingame_good.bmp")).convert("RGB"))
    tx, ty = 320, 160
    cx, cy = tx + 6 * len(text), ty + 14
    rx, ry = 40 + int(8 * HELP_PULSE), 20 + int(4 * HELP_PULSE)
    screen = field.astype(np.int64).copy()
    font = make_font.loadFont()
    make_font.drawText(screen, font, tx, ty, text, "small")
    make_font.fillEllipse(screen, cx, cy, rx, ry, make_font.HIGHLIGHT)
    make_font.drawText(screen, font, tx, ty, text, "small")
    return screen[cy - ry - 3:cy + ry + 3, cx - rx - 4:cx + rx + 4]


def game_prompt(text):
    """The answer tab of the in-game picture with the game's big text of the prompt."""
    field = np.asarray(Image.open(os.path.join(DATA, "ingame_good.bmp")).convert("RGB"))
    screen = field.astype(np.int64).copy()
    make_font.drawText(screen, make_font.loadFont(), 310, 420, text, "big")
    x0, y0, x1, _ = PROMPT_BOX
    return screen[y0 - 10:H, x0 - 40:x1 + 10]


def paste_zoomed(img, patch, cx, cy, zoom, rim=col("#9fc6ff")):
    """Shows patch magnified zoom times, each pixel a zoom x zoom block, centred on
    (cx, cy), in a thin frame like a window onto the game."""
    big = np.repeat(np.repeat(patch, zoom, axis=0), zoom, axis=1).astype(np.float32)
    h, w = big.shape[:2]
    x0, y0 = int(cx - w / 2), int(cy - h / 2)
    rrect(img, x0 + 3, y0 + 5, x0 + w + 3, y0 + h + 5, 10, (0, 0, 0), alpha=0.4, blur=4)
    img[y0:y0 + h, x0:x0 + w] = big
    rrect_outline(img, x0 - 2, y0 - 2, x0 + w + 1, y0 + h + 1, 6, 3, rim, alpha=0.8)
    return x0, y0, x0 + w, y0 + h


def game_burst(img, rng, cx, cy, spread, phase):
    """A burst as the game draws one: flat discs of one hue in different brightness."""
    screen = img.astype(np.int64)
    for _ in range(64):
        a = rng.uniform(0, 2 * math.pi)
        d = spread * math.sqrt(rng.uniform(0.05, 1.0))
        k = rng.randint(63, 125)
        colour = (int(k * (math.sin(phase) + 1)), int(k * (math.sin(phase + math.pi / 2) + 1)),
                  int(k * (math.sin(phase - math.pi / 2) + 1)))
        r = int(rng.randint(0, 17) * 0.2 * rng.randint(0, 17) * 0.2 * 0.5 + 3)
        make_font.fillEllipse(screen, int(cx + d * math.cos(a)), int(cy + d * math.sin(a)),
                              r, r, colour)
    img[:] = screen


HELP_EXAMPLES = {"help.bmp": "7 + 5", "help_plusminus.bmp": "3 - 8"}


def check_help_example(name, rgb, example):
    """The help picture shows one problem, example, as the game draws the leading one,
    magnified HELP_ZOOM times: the highlight's colour appears only there, and the game's
    pixels of it show whole (the window's frame aside)."""
    want = np.repeat(np.repeat(game_problem(example), HELP_ZOOM, axis=0), HELP_ZOOM, axis=1)
    red = (rgb == np.array(make_font.HIGHLIGHT, np.float32)).all(axis=2)
    wantRed = (want == np.array(make_font.HIGHLIGHT)).all(axis=2)
    if red.sum() != wantRed.sum():
        return ["%s: %d pixels of the highlight's colour, where one magnified leading "
                "problem %r has %d" % (name, int(red.sum()), example, int(wantRed.sum()))]
    ys, xs = np.nonzero(red)
    wys, wxs = np.nonzero(wantRed)
    y0, x0 = ys.min() - wys.min(), xs.min() - wxs.min()
    h, w = want.shape[:2]
    shown = rgb[y0:y0 + h, x0:x0 + w]
    if shown.shape != want.shape or not np.array_equal(shown[4:-4, 4:-4],
                                                       want[4:-4, 4:-4].astype(np.float32)):
        return ["%s: the problem %r is not shown as the game draws it" % (name, example)]
    return []


def help_picture():
    rng = random.Random(3003)
    img = canvas()
    menu_background(img, rng)
    caption_strip(img)
    mascot(img, 88, 62, 34, wave=True, shadow=False)
    # the field: the red zone at the left, the leading problem drifting towards it
    fx0, fy0, fx1, fy1 = 24, 114, 616, 300
    panel(img, fx0, fy0, fx1, fy1, 18, col("#0c1838"), 0.85,
          rim=col("#9fc6ff"), rim_alpha=0.35)
    zone = fx0 + 120

    def zone_fill(xs, ys):
        t = ((xs + ys) % 22) < 11
        return np.where(t[..., None], np.array(col("#7a1420"), np.float32),
                        np.array(col("#5a0e1a"), np.float32))

    def zone_shape(d, T, s):
        d.rounded_rectangle([T(fx0, fy0), T(fx1, fy1)], radius=18 * s, fill=255)
        d.rectangle([T(zone, fy0 - 2), T(fx1 + 2, fy1 + 2)], fill=0)
    shape(img, (fx0, fy0, fx1, fy1), zone_shape, zone_fill, alpha=0.9)
    line(img, [(zone, fy0 + 6), (zone, fy1 - 6)], 4, col("#ff4d5e"))
    warning_sign(img, fx0 + 60, (fy0 + fy1) / 2, 54)
    py = (fy0 + fy1) / 2
    box = paste_zoomed(img, game_problem("7 + 5"), 440, py, HELP_ZOOM)
    arrow(img, [(box[0] - 16, py), (zone + 22, py)], 12, col("#ffd23f"))
    # the answer: keys 1 and 2, the answer in the game's answer tab, a burst
    ky = 330
    keycap(img, 34, ky, 70, 66, "1", col("#3f8cff"), pressed=True)
    keycap(img, 116, ky, 70, 66, "2", col("#3f8cff"), pressed=True)
    arrow(img, [(200, ky + 40), (236, ky + 40)], 9, (255, 255, 255), alpha=0.85)
    box = paste_zoomed(img, game_prompt(" 12"), 346, ky + 40, 1)
    arrow(img, [(box[2] + 14, ky + 40), (box[2] + 50, ky + 40)], 9, (255, 255, 255),
          alpha=0.85)
    game_burst(img, rng, 546, ky + 40, 62, 2.2)
    check_mark(img, 546, ky + 40, 46, col("#7dffb0"))
    save_bmp(img, "help.bmp", 33)


def help_plusminus_picture():
    rng = random.Random(4004)
    img = canvas()
    menu_background(img, rng)
    caption_strip(img)
    mascot(img, 88, 62, 34, wave=True, shadow=False)
    # one problem whose value is below zero, and the key that says so
    y = 270
    panel(img, 24, y - 110, 616, y + 110, 22, col("#0c1838"), 0.55,
          rim=col("#9fc6ff"), rim_alpha=0.2, shadow=0.2)
    box = paste_zoomed(img, game_problem("3 - 8"), 184, y, HELP_ZOOM)
    arrow(img, [(box[2] + 10, y), (box[2] + 40, y)], 9, (255, 255, 255), alpha=0.7)
    # the value, faint, as a thought
    ellipse(img, 420, y, 46, 34, (255, 255, 255), alpha=0.12)
    text(img, "\u22125", 40, 420, y, lighten(col("#ff5f7e"), 0.55), alpha=0.85)
    arrow(img, [(472, y), (498, y)], 9, (255, 255, 255), alpha=0.7)
    glow(img, 556, y, 64, col("#ff5f7e"), 0.35, squash=0.8)
    keycap(img, 510, y - 44, 92, 74, "-", col("#ff5f7e"), pressed=True)
    sparkle(img, 594, y - 36, 7, (255, 255, 255), alpha=0.9)
    save_bmp(img, "help_plusminus.bmp", 44)


# ---------------------------------------------------------------- in-game

# The three in-game pictures are one scene in three moods: the same sky, horizon, hills,
# frames and mascot, changing only the light, how hot the danger zone glows and the
# mascot's face, so the switch between them as the leading problem drifts reads as a
# change of mood and never as a change of place.
BAND_BOTTOM = 400    # problems' text tops lie on rows 0..360 and their ink and highlight
                     # reach row 397: rows 0..399 stay dark and flat for them
ZONE_RIGHT = 200     # the danger zone is x 0..199
SCORE_TAB = (-14, -14, 104, 34)   # frame under the score, small text at (0, 0)
PROMPT_BOX = (287, 426, 427, 492)  # tab of the 2x answer prompt at (310, 420), open below
PROMPT_INK_MIDDLE = 454            # half way down the prompt's digits and underscores
MASCOT_AT = (598, 446, 23)         # centre and body radius of the mascot
MASCOT_BOX = (560, 396, 640, 480)  # everything the mascot and its shadow may touch
MOODS = {
    # light: sky at the top and at the band's bottom, glow at the horizon, the hills
    "good": dict(sky_top=col("#080c20"), sky_low=col("#0e1834"),
                 horizon=col("#2a5a78"), sun=col("#ffd98a"),
                 hill1=[(0, col("#24605a")), (1, col("#123a3a"))],
                 hill2=[(0, col("#2f8a5e")), (1, col("#17553c"))],
                 zone=col("#b0283c"), tint=0.22, heat=0.10, edge_alpha=0.35,
                 hazard=0.30, sign=0.55, lamps=0.0, rim=col("#8fd8ff"),
                 mood="happy"),
    "neutral": dict(sky_top=col("#0a0b1e"), sky_low=col("#141530"),
                    horizon=col("#5a3a5c"), sun=col("#ffa050"),
                    hill1=[(0, col("#3a3858")), (1, col("#201c38"))],
                    hill2=[(0, col("#4a5a56")), (1, col("#262e36"))],
                    zone=col("#d0382c"), tint=0.40, heat=0.18, edge_alpha=0.6,
                    hazard=0.65, sign=0.85, lamps=0.35, rim=col("#ffc88a"),
                    mood="worried"),
    "bad": dict(sky_top=col("#0c0a1c"), sky_low=col("#18132c"),
                horizon=col("#502840"), sun=col("#ff5040"),
                hill1=[(0, col("#3e3448")), (1, col("#221a2c"))],
                hill2=[(0, col("#3e4640")), (1, col("#20262a"))],
                zone=col("#ff2a2a"), tint=0.55, heat=0.30, edge_alpha=0.85,
                hazard=1.0, sign=1.0, lamps=1.0, rim=col("#ff9a9a"),
                mood="scared"),
}
# Nothing in the scene is random but the ground stars: each mood draws them from the same
# seed, so they lie in the same places.
SCENE_SEED = 61


def ingame(name, seed):
    m = MOODS[name]
    img = canvas()
    # the sky: a dark, almost flat night over the whole field, warming only below it
    vertical(img, [(0.0, m["sky_top"]), (BAND_BOTTOM / H, m["sky_low"]),
                   (1.0, m["horizon"])])
    sx, sy, sr = 500, 468, 30
    # the horizon's light stays under the field: a wide, flat glow centred below it
    glow(img, sx, sy + 10, 170, m["sun"], 0.22, squash=0.22)
    # a low bank of soft clouds behind the hills, one mask so no puff shows its edge
    cloud_bank(img, [(262, 440, 84), (330, 436, 100), (410, 442, 80),
                     (470, 438, 96), (600, 440, 90)], lighten(m["horizon"], 0.2),
               alpha=0.35, blur=2)
    glow(img, sx, sy, sr * 1.1, m["sun"], 0.4)
    ellipse(img, sx, sy, sr, sr,
            radial((sx - 8, sy - 10), sr * 1.3,
                   [(0, lighten(m["sun"], 0.5)), (1, m["sun"])]), alpha=0.85)
    hills(img, 440, (7, 4), (1.7, 4.9), 5,
          linear((0, 420), (0, 480), m["hill1"]))
    hills(img, 462, (6, 4), (2.4, 6.1), 3.3,
          linear((0, 448), (0, 480), m["hill2"]))
    rng = random.Random(SCENE_SEED)
    for _ in range(18):
        x, y = rng.uniform(214, 630), rng.uniform(462, 477)
        c = rng.choice([col("#ffe45c"), col("#ff8ad8"), (255, 255, 255)])
        if PROMPT_BOX[0] - 8 < x < PROMPT_BOX[2] + 8 or x > MASCOT_BOX[0] - 6:
            continue
        star(img, x, y, rng.uniform(2.2, 3.4), darken(c, 0.35), inner=0.55,
             alpha=0.8)
    danger_zone(img, m)
    prompt_slot(img, m)
    score_corner(img, m)
    mascot(img, MASCOT_AT[0], MASCOT_AT[1], MASCOT_AT[2], mood=m["mood"])
    save_bmp(img, "ingame_%s.bmp" % name, seed)


def danger_zone(img, m):
    """The leftmost 200 pixels, where a problem must never arrive: over the field a flat
    dark red tint, warmer towards the left edge, and a thin line at x = 200; below it
    warning stripes with a sign. The mood sets how strongly all of it glows."""
    zw = ZONE_RIGHT
    composite(img, 0, 0, np.full((BAND_BOTTOM, zw), m["tint"], np.float32),
              darken(m["zone"], 0.72))
    ys, xs = np.mgrid[0:BAND_BOTTOM, 0:zw].astype(np.float32)
    composite(img, 0, 0, (1 - xs / zw) ** 2 * m["heat"], darken(m["zone"], 0.45))
    # below the field: warning stripes with a sign, lamps lit in danger
    hazard_stripes(img, 0, BAND_BOTTOM + 6, zw - 1, H, darken(col("#ffc629"), 0.15),
                   col("#2a1405"), period=32, alpha=m["hazard"])
    rrect(img, 0, BAND_BOTTOM + 6, zw - 1, H, 0, (0, 0, 0),
          alpha=0.35 * (1 - m["hazard"]))
    line(img, [(-4, BAND_BOTTOM + 6), (zw - 1, BAND_BOTTOM + 6)], 2,
         m["zone"], alpha=0.3 + 0.5 * m["hazard"])
    warning_sign(img, 100, 444, 50, alpha=m["sign"])
    for x in (32, 168):
        ellipse(img, x, 444, 9, 9, darken(m["zone"], 0.5))
        if m["lamps"]:
            glow(img, x, 444, 22, col("#ff2a2a"), 0.8 * m["lamps"])
            ellipse(img, x, 444, 9, 9, col("#ff5a5a"), alpha=m["lamps"])
            ellipse(img, x - 3, 441, 3, 3, (255, 255, 255),
                    alpha=0.7 * m["lamps"])
    # the border at x = 200: a thin line, dim over the field, bright below it
    line(img, [(zw, -4), (zw, BAND_BOTTOM)], 1.6, darken(m["zone"], 0.2),
         alpha=m["edge_alpha"] * 0.55)
    line(img, [(zw, BAND_BOTTOM + 6), (zw, H + 4)], 3, lighten(m["zone"], 0.2),
         alpha=m["edge_alpha"])


def prompt_slot(img, m):
    """A dark tab around the typed answer, drawn 2x big at (310, 420), rising from the
    bottom edge of the screen: centred on the ink of a two-digit prompt, it holds every
    prompt (the sign quiz's '_' at x 310, up to three digits after a space) and its lower
    edge runs off the screen, so the underscores never crowd a border."""
    x0, y0, x1, y1 = PROMPT_BOX
    rrect(img, x0 + 2, y0 + 3, x1 + 2, y1 + 3, 12, (0, 0, 0), alpha=0.45,
          blur=3)
    rrect(img, x0, y0, x1, y1, 12,
          linear((0, y0), (0, H), [(0, col("#05071a")),
                                   (1, col("#0e1230"))]), alpha=0.92)
    rrect_outline(img, x0, y0, x1, y1, 12, 2, m["rim"], alpha=0.55)
    # an equals sign in front of the tab, level with the digits: what is typed is the answer
    cy = PROMPT_INK_MIDDLE
    for dy in (-6, 6):
        rrect(img, x0 - 26, cy + dy - 3 + 2, x0 - 6, cy + dy + 3 + 2, 3, (0, 0, 0),
              alpha=0.35, blur=1.5)
        rrect(img, x0 - 28, cy + dy - 3, x0 - 8, cy + dy + 3, 3,
              lighten(m["rim"], 0.3), alpha=0.85)


def score_corner(img, m):
    """A small calm frame under the score, small text at (0, 0) whose ink and shadow lie
    on rows 7..25: the frame's bottom border runs below them."""
    x0, y0, x1, y1 = SCORE_TAB
    rrect(img, x0, y0, x1 + 2, y1 + 2, 12, (0, 0, 0), alpha=0.3, blur=3)
    rrect(img, x0, y0, x1, y1, 12, col("#03040c"), alpha=0.55)
    rrect_outline(img, x0, y0, x1, y1, 12, 1.2, m["rim"], alpha=0.22)


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
        rgb, lum = _luma(name)
        calm(name, lum, (200, 55, 630, 90), 80)
        faults += check_help_example(name, rgb, HELP_EXAMPLES[name])
    check_ingame(faults)
    icon_pic = Image.open(os.path.join(DATA, "icon.png"))
    if icon_pic.size != (256, 256) or icon_pic.mode != "RGBA":
        faults.append("icon.png: %s %s, not 256x256 RGBA"
                      % (icon_pic.size, icon_pic.mode))
    if faults:
        raise SystemExit("\n".join(faults))


# How far the three in-game moods may drift apart outside the danger zone and the
# mascot: the mean absolute difference of each colour channel, on the 0..255 scale.
MOOD_MAX_MEAN_DIFF = 10.0
# The field's band, rows 0..BAND_BOTTOM - 1 outside the score frame and the line at
# x = 200: its brightest pixels (99.9th percentile of luma), its overall spread (99.9th
# minus 0.1th percentile) and its ripple (99.9th percentile of the distance of a pixel
# from the mean of the 7x7 pixels around it) stay within these.
BAND_MAX_LUMA = 40.0
BAND_MAX_SPREAD = 28.0
BAND_MAX_RIPPLE = 2.0


def font_ink_rows(chars):
    """First and last cell row holding ink in the glyphs of chars, read from the font
    the game draws with (data/font_32.bmp, 32-pixel cells from character 33)."""
    sheet = np.asarray(Image.open(os.path.join(DATA, "font_32.bmp")).convert("RGB"))
    cell = sheet.shape[1]
    rows = []
    for ch in chars:
        i = ord(ch) - 33
        lit = sheet[i * cell:(i + 1) * cell].sum(axis=2) > 0
        # the spacer speck in the bottom row sets the pen advance and is never ink
        lit[cell - 1] = False
        r = np.nonzero(lit.any(axis=1))[0]
        rows += [int(r.min()), int(r.max())]
    return min(rows), max(rows)


def ripple(lum):
    """Distance of every pixel from the mean of the 7x7 pixels around it."""
    k = 7
    p = np.pad(lum, k // 2, mode="edge")
    c = np.cumsum(np.cumsum(np.pad(p, ((1, 0), (1, 0))), axis=0), axis=1)
    h, w = lum.shape
    box = (c[k:k + h, k:k + w] - c[0:h, k:k + w] - c[k:k + h, 0:w]
           + c[0:h, 0:w]) / (k * k)
    return np.abs(lum - box)


# The prompts the game draws 2x at (310, 420): the sign quiz's '_', then a space and one,
# two or three digits or underscores; the tab is centred on the two-digit one.
PROMPTS = ("_", " _", " __", " ___", " 9", " 99", " 999")
CENTRED_PROMPT = " __"
PROMPT_MARGIN = 6


def prompt_ink(text):
    """Columns and rows (first, last) the game's big text of text at (310, 420) inks,
    its shadow included."""
    font = make_font.loadFont()
    screen = np.zeros((H, W, 3), np.int64)
    before = screen.copy()
    make_font.drawText(screen, font, 310, 420, text, "big")
    ys, xs = np.nonzero((screen != before).any(axis=2) | _shadow_mask(font, text))
    return xs.min(), xs.max(), ys.min(), ys.max()


def _shadow_mask(font, text):
    """Where the big text's shadow falls (it darkens nothing on a black screen)."""
    screen = np.full((H, W, 3), 255, np.int64)
    make_font.drawText(screen, font, 310, 420, text, "big")
    return (screen != 255).any(axis=2)


def check_prompt(name, lum):
    """The answer tab as the picture shows it: its left and right borders, found on the
    row half way down the prompt, stand as far from the two-digit prompt's ink on either
    side; every prompt fits between them with margins, a border above the digits, none
    under the underscores on the screen, and the tab is dark under the prompt."""
    faults = []
    inks = {t: prompt_ink(t) for t in PROMPTS}
    left, right = min(i[0] for i in inks.values()), max(i[1] for i in inks.values())
    top, bottom = min(i[2] for i in inks.values()), max(i[3] for i in inks.values())
    inside = lum[top:min(bottom + 1, H), left:right + 1]
    if float(np.percentile(inside, 99.5)) > 30:
        faults.append("%s: answer frame not dark under the prompt" % name)
    rim = float(np.median(inside)) + 25
    row = lum[PROMPT_INK_MIDDLE]
    lefts = np.nonzero(row[:left] > rim)[0]
    rights = left + np.nonzero(row[left:] > rim)[0]
    if not len(lefts) or not len(rights):
        return faults + ["%s: answer frame's side borders not found on row %d"
                         % (name, PROMPT_INK_MIDDLE)]
    x0, x1 = int(lefts.max()), int(rights.min())
    c0, c1 = inks[CENTRED_PROMPT][:2]
    off = (x0 + x1) / 2.0 - (c0 + c1) / 2.0
    if abs(off) > 1.0:
        faults.append("%s: answer frame x %d..%d is centred %.1f pixels %s of the prompt "
                      "%r (ink x %d..%d)" % (name, x0, x1, abs(off),
                                             "right" if off > 0 else "left",
                                             CENTRED_PROMPT, c0, c1))
    if x0 + PROMPT_MARGIN > left or right + PROMPT_MARGIN > x1:
        faults.append("%s: answer frame x %d..%d does not hold every prompt (x %d..%d) "
                      "with %d pixels to spare" % (name, x0, x1, left, right, PROMPT_MARGIN))
    for x in range(left, right + 1, 4):
        column = lum[:, x]
        above = np.nonzero(column[top - 16:top - PROMPT_MARGIN + 1] > rim)[0]
        below = np.nonzero(column[bottom + 1:H] > rim)[0]
        if not len(above):
            faults.append("%s: answer frame's top border missing above the prompt at x %d"
                          % (name, x))
            break
        if len(below) and below.min() < PROMPT_MARGIN:
            faults.append("%s: answer frame's lower border %d pixels under the prompt at "
                          "x %d" % (name, below.min() + 1, x))
            break
    return faults


def check_ingame(faults):
    """The three in-game pictures: one scene whose moods differ little outside the
    danger zone and the mascot; a dark, flat band where the problems fly; the score and
    the answer prompt inside their frames."""
    pics = {}
    for mood in ("good", "neutral", "bad"):
        name = "ingame_%s.bmp" % mood
        rgb, lum = _luma(name)
        pics[mood] = rgb
        band = np.ones((BAND_BOTTOM, W), bool)
        band[:, ZONE_RIGHT - 4:ZONE_RIGHT + 5] = False
        band[:SCORE_TAB[3] + 4, :SCORE_TAB[2] + 4] = False
        values = lum[:BAND_BOTTOM][band]
        top = float(np.percentile(values, 99.9))
        spread = top - float(np.percentile(values, 0.1))
        rough = float(np.percentile(ripple(lum[:BAND_BOTTOM])[band], 99.9))
        if top > BAND_MAX_LUMA:
            faults.append("%s: field band too bright (%.1f > %.1f)"
                          % (name, top, BAND_MAX_LUMA))
        if spread > BAND_MAX_SPREAD:
            faults.append("%s: field band too uneven (spread %.1f > %.1f)"
                          % (name, spread, BAND_MAX_SPREAD))
        if rough > BAND_MAX_RIPPLE:
            faults.append("%s: field band has detail behind the problems "
                          "(ripple %.1f > %.1f)" % (name, rough, BAND_MAX_RIPPLE))
        # score: small text at (0, 0), its shadow one pixel lower; the frame's bottom
        # border must run below all of it, inside the screen
        _, ink_bottom = font_ink_rows("0123456789")
        text_bottom = ink_bottom + 1
        rim = int(np.argmax(lum[0:60, 45]))
        if not text_bottom + 2 <= rim <= 56:
            faults.append("%s: score frame border on row %d, not below the score "
                          "(row %d)" % (name, rim, text_bottom))
        if float(np.percentile(lum[0:text_bottom + 1, 0:90], 99.5)) > 30:
            faults.append("%s: score frame not dark under the score" % name)
        faults += check_prompt(name, lum)
        zone = rgb[0:BAND_BOTTOM, 20:180].mean(axis=(0, 1))
        rest = rgb[0:BAND_BOTTOM, 220:380].mean(axis=(0, 1))
        pics[mood + "-zone"] = (zone[0] - zone[2]) - (rest[0] - rest[2])
        if pics[mood + "-zone"] < 8:
            faults.append("%s: danger zone not tinted apart" % name)
    if not pics["good-zone"] < pics["neutral-zone"] < pics["bad-zone"]:
        faults.append("in-game pictures: the danger zone does not glow more as the "
                      "danger grows")
    same = np.ones((H, W), bool)
    same[:, :ZONE_RIGHT + 4] = False
    x0, y0, x1, y1 = MASCOT_BOX
    same[y0:y1, x0:x1] = False
    for a, b in (("good", "neutral"), ("neutral", "bad"), ("good", "bad")):
        diff = np.abs(pics[a] - pics[b])[same].mean(axis=0)
        if diff.max() > MOOD_MAX_MEAN_DIFF:
            faults.append("ingame_%s.bmp and ingame_%s.bmp differ by %s per channel "
                          "outside the danger zone and the mascot (over %.1f)"
                          % (a, b, np.round(diff, 1).tolist(), MOOD_MAX_MEAN_DIFF))


def main():
    os.makedirs(DATA, exist_ok=True)
    splash()
    menubg()
    ingame("good", 61)
    ingame("neutral", 62)
    ingame("bad", 63)
    help_picture()           # shows the in-game picture's field and answer tab
    help_plusminus_picture()
    icon()
    check_pictures()


if __name__ == "__main__":
    main()
