"""Writes the default texture, "bump.BMP": 256 x 256, 24 bits, a pattern of
our own that shows turning and zooming well (a coloured checkerboard with
rings around the centre and one bright corner square to tell the way round).
Usage: bump_texture.py OUT.BMP"""

import math
import struct
import sys


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
    rows = []
    for y in range(256):
        rows.append(b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(256))))
    data = b"".join(reversed(rows))  # stored bottom row first
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    header += struct.pack("<IiiHHIIiiII", 40, 256, 256, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + data)


if __name__ == "__main__":
    main(sys.argv[1])
