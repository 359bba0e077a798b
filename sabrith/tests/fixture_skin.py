"""Skins for the tests. Sabrith's own format: a face with
see-through (magenta) rounded corners, insets that leave the effect its room,
and a Play button at the bottom right, a grey square; a file with two such
skins of different sizes and colours. A Nerrit folder: a face with a green
margin (its background colour), five player buttons, the title, the time and
a seek bar 200 px wide. A Tovrel design: an octagon-shaped face with Play,
Stop, Minimize and Close buttons, each with a lighter face for the mouse
over it, the title and a gauge. Besides, 8-bit BMPs plain or RLE-packed, for
broken faces."""

import os
import struct

from visprobe import write_bmp

# Left, top, right and bottom insets of the fixture skin.
FIXTURE_INSETS = (6, 20, 6, 20)
FACE_GREY = (64, 64, 96)

SKIN_HEADER = """[Lumbrin Skin]
SkinVersion=2
NumSkins=1
SkinName=Fixture
Skin_1=Main Skin
"""

MAIN_SKIN = """[Main Skin]
MinWidth=120
MinHeight=60
TopInset={top}
LeftInset={left}
RightInset={right}
BottomInset={bottom}
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

def face_picture(insets):
    """The face: a grey frame with 8-pixel magenta corners, black (masked,
    so the effect shows) inside the insets."""
    left, top, right, bottom = insets

    def pixel(x, y):
        if left <= x < 275 - right and top <= y < 116 - bottom:
            return (0, 0, 0)
        cx = 8 - x if x < 8 else x - 266 if x > 266 else 0
        cy = 8 - y if y < 8 else y - 107 if y > 107 else 0
        return (255, 0, 255) if cx * cx + cy * cy > 64 else FACE_GREY
    return pixel


def main_skin(insets):
    left, top, right, bottom = insets
    return MAIN_SKIN.format(left=left, top=top, right=right, bottom=bottom)


def write_skin(folder, insets=FIXTURE_INSETS):
    """Writes fixture.lbs and face.bmp into folder; returns the .lbs path."""
    write_bmp(os.path.join(folder, "face.bmp"), 275, 116, face_picture(insets))
    path = os.path.join(folder, "fixture.lbs")
    with open(path, "w", newline="\r\n") as f:
        f.write(SKIN_HEADER + main_skin(insets))
    return path


# The second skin of the two-skin file: at least 320 x 160, an orange frame
# without see-through parts around a wider effect area.
WIDE_ORANGE = (160, 96, 32)
WIDE_SKIN = """[Wide Skin]
MinWidth=320
MinHeight=160
TopInset=30
LeftInset=10
RightInset=10
BottomInset=30
NumImages=1
Image_1=Wide Face
[Wide Face]
Size=320,160
Bitmap=Wide Bitmap
Transparency=Masked
MaskColor=0,0,0
[Wide Bitmap]
Image=wide.bmp
"""


def write_two_skins(folder):
    """Writes two.lbs, whose first skin is the fixture skin held to 275 x 116
    at most and whose second is the wide one, with their faces; returns the
    .lbs path."""
    write_bmp(os.path.join(folder, "face.bmp"), 275, 116, face_picture(FIXTURE_INSETS))
    write_bmp(os.path.join(folder, "wide.bmp"), 320, 160,
              lambda x, y: (0, 0, 0) if 10 <= x < 310 and 30 <= y < 130 else WIDE_ORANGE)
    header = SKIN_HEADER.replace("NumSkins=1", "NumSkins=2") + "Skin_2=Wide Skin\n"
    main = main_skin(FIXTURE_INSETS).replace(
        "MinHeight=60\n", "MinHeight=60\nMaxWidth=275\nMaxHeight=116\n")
    path = os.path.join(folder, "two.lbs")
    with open(path, "w", newline="\r\n") as f:
        f.write(header + main + WIDE_SKIN)
    return path


def bmp_file(width, height, palette, data, compression=0):
    """An 8-bit BMP of the given pixel data (rows bottom-up, or RLE8 codes
    with compression 1) and palette of (r, g, b)."""
    offset = 54 + 4 * len(palette)
    header = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", offset + len(data), 0, 0, offset, 40,
                         width, height, 1, 8, compression, len(data), 2835, 2835,
                         len(palette), 0)
    return header + b"".join(bytes((b, g, r, 0)) for r, g, b in palette) + bytes(data)


def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


NERRIT_TEXT = """[Coordinates]
Prev=10, 80, 30, 20
Play=45, 80, 30, 20
Pause=80, 80, 30, 20
Stop=115, 80, 30, 20
Next=150, 80, 20, 20
DisplayBar=10, 20, 200, 14
DisplayTime=215, 20, 50, 14
SeekBar=10, 60, 200, 8
DisplayFont=Arial
DisplayColour=200, 230, 255
"""


def nerrit_pixel(pressed):
    def pixel(x, y):
        if x < 4 or y < 4 or x >= 271 or y >= 112:
            return (0, 255, 0)
        if 80 <= y < 100 and 10 <= x < 170:
            return (32, 32, 32) if pressed else (96, 96, 96)
        return (0x30, 0x40, 0x50 + y // 8)
    return pixel


def write_nerrit_skin(folder):
    """Writes skin.ini, MainUp.bmp and MainDown.bmp; returns skin.ini's path."""
    write_bmp(os.path.join(folder, "MainUp.bmp"), 275, 116, nerrit_pixel(False))
    write_bmp(os.path.join(folder, "MainDown.bmp"), 275, 116, nerrit_pixel(True))
    path = os.path.join(folder, "skin.ini")
    with open(path, "w", newline="\r\n") as f:
        f.write(NERRIT_TEXT)
    return path


TOVREL_BUTTONS = (("Play", 20, (32, 128, 32)), ("Stop", 45, (128, 32, 32)),
                  ("Minimize", 200, (32, 32, 128)), ("Close", 230, (128, 128, 32)))
# A button's face under the mouse is each component of its colour plus this.
TOVREL_HOVER_LIFT = 64


# The see-through rectangle (left, top, right, bottom) inside the Tovrel face.
TOVREL_HOLE = (100, 40, 180, 56)


def write_tovrel_skin(folder):
    """Writes skin.design and its bitmaps; returns skin.design's path. The
    buttons are 20 x 16 at y 85, x as TOVREL_BUTTONS gives, with a white
    (masked) top row and left column around their colour."""
    write_bmp(os.path.join(folder, "face.bmp"), 275, 116,
              lambda x, y: (0x40 + (x + y) // 16, 0x20 + (x + y) // 16, 0x10))
    text = ["[General]", "Bitmap=face.bmp", "WindowWidth=275", "WindowHeight=116",
            "UseWindowShape=1", "NumberOfWindowShapePoints=14"]
    # An octagon, and a figure inside it between the title and the gauge:
    # the window is the ring between the two.
    points = ((10, 0), (265, 0), (275, 10), (275, 106), (265, 116), (10, 116), (0, 106),
              (0, 10), (10, 0), TOVREL_HOLE[:2], (TOVREL_HOLE[2], TOVREL_HOLE[1]),
              TOVREL_HOLE[2:], (TOVREL_HOLE[0], TOVREL_HOLE[3]), TOVREL_HOLE[:2])
    for i, (x, y) in enumerate(points, 1):
        text += ["P%dx=%d" % (i, x), "P%dy=%d" % (i, y)]
    for name, left, (r, g, b) in TOVREL_BUTTONS:
        for state, lift in ((1, 0), (2, TOVREL_HOVER_LIFT)):
            bmp = "%s%d.bmp" % (name.lower(), state)
            write_bmp(os.path.join(folder, bmp), 20, 16,
                      lambda x, y, c=(r + lift, g + lift, b + lift):
                      (255, 255, 255) if x == 0 or y == 0 else c)
        text += ["[Button %s]" % name, "Bitmap1=%s1.bmp" % name.lower(),
                 "Bitmap2=%s2.bmp" % name.lower(), "Left=%d" % left, "Top=85"]
    text += ["[Label SongName]", "FontName=Arial", "FontColor=$00FFFF", "Left=15", "Top=20",
             "Width=240", "Height=16", "FontSize=9",
             "[Gauge SongPos]", "Left=15", "Top=60", "Width=245", "Height=6"]
    path = os.path.join(folder, "skin.design")
    with open(path, "w", newline="\r\n") as f:
        f.write("\n".join(text) + "\n")
    return path
