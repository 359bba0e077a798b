"""Writes the default texture, "bump.BMP": 256 x 256, 24 bits, a pattern of
our own that shows turning and zooming well (a coloured checkerboard with
rings around the centre and one bright corner square to tell the way round).
Usage: bump_texture.py OUT.BMP"""

import math
import sys

from visprobe import write_bmp


def pixel(x, y):
    checker = ((x >> 5) + (y >> 5)) & 1
    r, g, b = x, 96 + checker * 80, 255 - y
    ring = math.hypot(x - 127.5, y - 127.5)
    if int(ring) % 32 < 4:
        r, g, b = 255, 230, 90
    if x < 32 and y < 32:
        r, g, b = 255, 255, 255
    return r, g, b


def main(path):
    write_bmp(path, 256, 256, pixel)


if __name__ == "__main__":
    main(sys.argv[1])
