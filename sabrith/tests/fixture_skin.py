"""A skin of Sabrith's own format for the tests and the demo: a face with
see-through (magenta) rounded corners, insets that leave the effect its room,
and a Play button at the bottom right, a grey square. Run as a program it writes the skin
into the folder given and prints the skin file's path."""

import os
import struct
import sys

SKIN_TEXT = """[Lumbrin Skin]
SkinVersion=2
NumSkins=1
SkinName=Fixture
Skin_1=Main Skin
[Main Skin]
MinWidth=120
MinHeight=60
TopInset=20
LeftInset=6
RightInset=6
BottomInset=20
NumImages=2
Image_1=Face
Image_2=Play
[Face]
Size=275,116
Bitmap=Face Bitmap
SeeThrough=Yes
SeeThroughColor=255,0,255
Transparency=Masked
MaskColor=0,0,0
[Play]
Size=16,16
HorizontalAlignment=Right
VerticalAlignment=Bottom
Offset=8,2
Action=Play
Bitmap=Face Bitmap
Location=20,0
[Face Bitmap]
Image=face.bmp
"""


def face_pixel(x, y):
    """The face: a grey frame with 8-pixel magenta corners, black (masked,
    so the effect shows) inside the insets."""
    if 6 <= x < 269 and 20 <= y < 96:
        return (0, 0, 0)
    cx = 8 - x if x < 8 else x - 266 if x > 266 else 0
    cy = 8 - y if y < 8 else y - 107 if y > 107 else 0
    return (255, 0, 255) if cx * cx + cy * cy > 64 else (64, 64, 96)


def write_bmp(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        data += row + bytes(stride - len(row))
    header = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + len(data), 0, 0, 54, 40, width,
                         height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + data)


def write_skin(folder):
    """Writes fixture.lbs and face.bmp into folder; returns the .lbs path."""
    write_bmp(os.path.join(folder, "face.bmp"), 275, 116, face_pixel)
    path = os.path.join(folder, "fixture.lbs")
    with open(path, "w", newline="\r\n") as f:
        f.write(SKIN_TEXT)
    return path


if __name__ == "__main__":
    print(write_skin(sys.argv[1]))
