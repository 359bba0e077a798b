"""Writes Fennick's textures, our own patterns, into a folder beside
fennick.dll: "g3d_def.bmp" (the Tunnel's wall and, as "G3D_DEF.bmp", the
Cube's picture: on Windows the two names are one file), "g3dflare.bmp" (the
Tunnel's flares) and three more "G3D_*.bmp" for Space to step through.
Usage: textures.py FOLDER

The modules draw textures in the blend mode against a black environment
colour: where a texture is dark the vertex colour shows, where it is light
the picture goes dark. So these patterns are drawn as negatives: the flare
is black in its middle and white at its rim, and the wall's seams are white.
"""

import math
import os
import sys

from visprobe import write_bmp


def negative(r, g, b):
    return 255 - r, 255 - g, 255 - b


def wall(x, y):
    """Stone panels in two rows per tile, offset like brickwork, with seams."""
    row = y // 32
    shifted = (x + (16 if row % 2 else 0)) % 64
    if y % 32 < 3 or shifted < 3:
        return negative(20, 20, 30)  # seams stay dark
    shade = 215 + int(35 * math.sin((x + 3 * y) * 0.11) * math.cos(y * 0.07))
    return negative(shade, shade - 10, shade - 30)


def flare(x, y):
    d = math.hypot(x - 31.5, y - 31.5) / 32
    glow = max(0.0, 1 - d) ** 1.5
    v = int(255 * glow)
    return negative(v, v, v)


def cube_picture(x, y):
    """A checkerboard with a ring, and a bright corner to tell the way round."""
    checker = ((x >> 4) + (y >> 4)) & 1
    r, g, b = (230, 200, 80) if checker else (60, 110, 200)
    if abs(math.hypot(x - 63.5, y - 63.5) - 40) < 5:
        r, g, b = 240, 240, 240
    if x < 16 and y < 16:
        r, g, b = 255, 60, 60
    return negative(r, g, b)


def rings(x, y):
    d = math.hypot(x - 63.5, y - 63.5)
    v = int(127 + 127 * math.sin(d * 0.45))
    return negative(v, 255 - v, 180)


def stripes(x, y):
    band = ((x + y) // 12) % 3
    return negative(*((220, 60, 60), (60, 220, 60), (60, 60, 220))[band])


TEXTURES = [
    ("g3d_def.bmp", 128, 128, wall),
    ("g3dflare.bmp", 64, 64, flare),
    ("G3D_CHECKS.bmp", 128, 128, cube_picture),
    ("G3D_RINGS.bmp", 128, 128, rings),
    ("G3D_STRIPES.bmp", 128, 128, stripes),
]


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, width, height, pixel in TEXTURES:
        write_bmp(os.path.join(folder, name), width, height, pixel)


if __name__ == "__main__":
    main(sys.argv[1])
