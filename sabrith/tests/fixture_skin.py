"""Skins for the tests and the demo. Sabrith's own format: a face with
see-through (magenta) rounded corners, insets that leave the effect its room,
and a Play button at the bottom right, a grey square. A Nerrit folder: a face
with a green margin (its background colour), five player buttons, the title,
the time and a seek bar 200 px wide. A Tovrel design: an octagon-shaped face
with Play, Stop, Minimize and Close buttons, the title and a gauge. Run as a
program it writes the own skin into the folder given and prints its path."""

import os
import sys

from visprobe import write_bmp

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


def write_skin(folder):
    """Writes fixture.lbs and face.bmp into folder; returns the .lbs path."""
    write_bmp(os.path.join(folder, "face.bmp"), 275, 116, face_pixel)
    path = os.path.join(folder, "fixture.lbs")
    with open(path, "w", newline="\r\n") as f:
        f.write(SKIN_TEXT)
    return path


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


def write_tovrel_skin(folder):
    """Writes skin.design and its bitmaps; returns skin.design's path. The
    buttons are 20 x 16 at y 85, x as TOVREL_BUTTONS gives."""
    write_bmp(os.path.join(folder, "face.bmp"), 275, 116,
              lambda x, y: (0x40 + (x + y) // 16, 0x20 + (x + y) // 16, 0x10))
    text = ["[General]", "Bitmap=face.bmp", "WindowWidth=275", "WindowHeight=116",
            "UseWindowShape=1", "NumberOfWindowShapePoints=9"]
    points = ((10, 0), (265, 0), (275, 10), (275, 106), (265, 116), (10, 116), (0, 106),
              (0, 10), (10, 0))
    for i, (x, y) in enumerate(points, 1):
        text += ["P%dx=%d" % (i, x), "P%dy=%d" % (i, y)]
    for name, left, (r, g, b) in TOVREL_BUTTONS:
        for state, lift in ((1, 0), (2, 64)):
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


if __name__ == "__main__":
    print(write_skin(sys.argv[1]))
