#!/usr/bin/python3
"""Scales the game's emblem into the hicolor icon sizes that the desktop entry uses.

Reads data/icon.png (a square RGBA emblem, 256x256) and writes
packaging/icons/hicolor/<N>x<N>/apps/plimo.png for N in 16, 22, 24, 32, 48, 64, 128, 256.
Without the emblem it falls back to a centred square cut from data/splash.bmp.
Run from anywhere: python3 makers/make_icons.py [source-image]
"""
import os
import sys

from PIL import Image, ImageFilter

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "packaging", "icons", "hicolor")


def load_source(path):
    """The source as a square RGBA image; a non-square picture gives its centred square."""
    image = Image.open(path).convert("RGBA")
    side = min(image.size)
    left = (image.width - side) // 2
    top = (image.height - side) // 2
    return image.crop((left, top, left + side, top + side))


def scale(source, size):
    """The source at size x size: resampled with premultiplied alpha, so that transparent
    pixels' colours do not bleed into the edges, and sharpened a little at the small
    sizes where the downscale blurs most."""
    if source.width == size:
        return source.copy()
    scaled = source.convert("RGBa").resize((size, size), Image.LANCZOS).convert("RGBA")
    if size <= 32:
        alpha = scaled.getchannel("A")
        rgb = scaled.convert("RGB").filter(ImageFilter.UnsharpMask(radius=0.6, percent=60, threshold=1))
        scaled = rgb.convert("RGBA")
        scaled.putalpha(alpha)
    return scaled


def main(argv):
    if len(argv) > 1:
        source_path = argv[1]
    else:
        source_path = os.path.join(ROOT, "data", "icon.png")
        if not os.path.exists(source_path):
            source_path = os.path.join(ROOT, "data", "splash.bmp")
    if not os.path.exists(source_path):
        print("make_icons: no data/icon.png nor data/splash.bmp to make icons from", file=sys.stderr)
        return 1
    source = load_source(source_path)
    for size in SIZES:
        folder = os.path.join(OUT_DIR, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        # optimize gives smaller files; PIL writes no time stamp, so output is reproducible.
        scale(source, size).save(os.path.join(folder, "plimo.png"), optimize=True)
    print("make_icons: %d sizes from %s" % (len(SIZES), os.path.relpath(source_path, ROOT)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
