"""Writes the skins that ship beside sabrith.dll into FOLDER (the skins'
default folder, "LBNSkins"), one in each format the window reads:
  Slate/Slate.lbs    the plug-in's own format: a frame around the effect,
                     the song's title, and player buttons that light up
                     under the mouse;
  Harbour/skin.ini   a player face: title, time, seek bar and five buttons;
  Copper/Copper.design  a player face cut to an eight-sided outline: the
                     title, the song's and the playlist's position gauges,
                     and buttons with hover faces.
Usage: starter_skins.py FOLDER
"""

import os
import sys

from visprobe import write_bmp

KEY = (255, 0, 255)  # see-through: cut out of the window


class Canvas:
    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width, self.height = width, height
        self.rows = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def fill(self, x0, y0, w, h, colour):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.put(x, y, colour)

    def shade(self, x0, y0, w, h, top, bottom):
        """A vertical gradient from TOP to BOTTOM."""
        for y in range(h):
            t = y / max(h - 1, 1)
            c = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
            self.fill(x0, y0 + y, w, 1, c)

    def bevel(self, x0, y0, w, h, light, dark):
        self.fill(x0, y0, w, 1, light)
        self.fill(x0, y0, 1, h, light)
        self.fill(x0, y0 + h - 1, w, 1, dark)
        self.fill(x0 + w - 1, y0, 1, h, dark)

    def round_corners(self, radius, colour=KEY):
        w, h = self.width, self.height
        for y in range(h):
            for x in range(w):
                cx = radius - x if x < radius else x - (w - 1 - radius) if x > w - 1 - radius else 0
                cy = radius - y if y < radius else y - (h - 1 - radius) if y > h - 1 - radius else 0
                if cx * cx + cy * cy > radius * radius:
                    self.rows[y][x] = colour

    def glyph(self, name, x0, y0, w, h, colour):
        """A player symbol centred in the box."""
        cx, cy = x0 + w // 2, y0 + h // 2
        if name == "Play":
            for i in range(7):
                self.fill(cx - 3 + i, cy - (6 - i) // 2, 1, 7 - 2 * ((i + 1) // 2), colour)
        elif name == "Pause":
            self.fill(cx - 3, cy - 3, 2, 7, colour)
            self.fill(cx + 1, cy - 3, 2, 7, colour)
        elif name == "Stop":
            self.fill(cx - 3, cy - 3, 6, 6, colour)
        elif name in ("Prev", "Next"):
            step = 1 if name == "Next" else -1
            for i in range(5):
                x = cx - 2 * step + i * step
                self.fill(x, cy - 2 + i // 2, 1, 5 - 2 * (i // 2), colour)
            self.fill(cx + 3 * step, cy - 3, 1, 7, colour)
        elif name == "Close":
            for i in range(-3, 4):
                self.put(cx + i, cy + i, colour)
                self.put(cx + i, cy - i, colour)
                self.put(cx + i + 1, cy + i, colour)
                self.put(cx + i + 1, cy - i, colour)
        elif name == "Minimize":
            self.fill(cx - 3, cy + 2, 7, 2, colour)

    def save(self, path):
        write_bmp(path, self.width, self.height, lambda x, y: self.rows[y][x])


def write_text(path, lines):
    with open(path, "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


# Slate: 275 x 116, the effect inside insets of 20, 6, 6 and 22 px.
SLATE_BUTTONS = ("Prev", "Play", "Pause", "Stop", "Next")


def write_slate(folder):
    os.makedirs(folder, exist_ok=True)
    w, h = 275, 116
    # The bitmap holds the face, then each button's two faces to its right.
    art = Canvas(w + 16 * 7, h)
    face = Canvas(w, h)
    face.shade(0, 0, w, h, (86, 96, 112), (40, 46, 58))
    face.bevel(0, 0, w, h, (150, 160, 176), (20, 24, 30))
    face.fill(5, 19, w - 10, h - 40, (20, 24, 30))
    face.fill(6, 20, w - 12, h - 42, (0, 0, 0))  # masked: the effect shows
    face.round_corners(7)
    for y in range(h):
        art.rows[y][:w] = face.rows[y]
    for i, name in enumerate(SLATE_BUTTONS + ("Close",)):
        for lit in (0, 1):
            x0, y0 = w + 16 * i, 20 * lit
            art.shade(x0, y0, 14, 14, (120, 132, 150) if lit else (76, 84, 98),
                      (70, 80, 96) if lit else (46, 52, 64))
            art.bevel(x0, y0, 14, 14, (170, 180, 196), (24, 28, 36))
            art.glyph(name, x0, y0, 14, 14, (255, 230, 150) if lit else (220, 226, 236))
    art.save(os.path.join(folder, "slate.bmp"))

    images = ["Face"]
    sections = []
    for i, name in enumerate(SLATE_BUTTONS + ("Close",)):
        close = name == "Close"
        right = 6 + 16 * (len(SLATE_BUTTONS) - 1 - i) if not close else 5
        for lit in (0, 1):
            title = name + (" Lit" if lit else "")
            sections += ["[%s]" % title, "Size=14,14", "HorizontalAlignment=Right",
                         "VerticalAlignment=%s" % ("Top" if close else "Bottom"),
                         "Offset=%d,%d" % (right, 3 if close else 4),
                         "Action=%s" % name, "Bitmap=Slate Bitmap",
                         "Location=%d,%d" % (w + 16 * i, 20 * lit),
                         ("OnMouseExit=%s,0" if lit else "OnMouseEnter=%s Lit,0") % name]
        images.append(name)
    lines = ["[Lumbrin Skin]", "SkinVersion=2", "NumSkins=1", "SkinName=Slate",
             "DesignerName=Lumbrin", "Skin_1=Slate Skin",
             "[Slate Skin]", "MinWidth=275", "MinHeight=116", "MaxWidth=275", "MaxHeight=116",
             "TopInset=20", "LeftInset=6", "RightInset=6", "BottomInset=22",
             "NumImages=%d" % len(images)]
    lines += ["Image_%d=%s" % (i, name) for i, name in enumerate(images, 1)]
    lines += ["[Face]", "Size=275,116", "Bitmap=Slate Bitmap", "SeeThrough=Yes",
              "SeeThroughColor=255,0,255", "Transparency=Masked", "MaskColor=0,0,0",
              "NumGizmos=2", "Gizmo_1=Title", "Gizmo_2=Time",
              "[Title]", "Type=TrackInfo", "Font=Title Font", "Size=190,14", "Offset=8,3",
              "[Time]", "Type=TimeInfo", "Font=Title Font", "Size=44,14", "Offset=8,98",
              "[Title Font]", "Type=Windows", "FontName=Arial", "CharacterSize=7,12",
              "TextCol=220,226,236", "TextBackCol=62,70,84"]
    lines += sections
    lines += ["[Slate Bitmap]", "Image=slate.bmp"]
    path = os.path.join(folder, "Slate.lbs")
    write_text(path, lines)
    return path


# Harbour: a 275 x 116 face; its top-left colour is cut out.
HARBOUR_BUTTONS = (("Prev", 12), ("Play", 40), ("Pause", 68), ("Stop", 96), ("Next", 124))


def harbour_face(pressed):
    w, h = 275, 116
    c = Canvas(w, h)
    c.shade(0, 0, w, h, (24, 60, 92), (10, 28, 48))
    c.bevel(0, 0, w, h, (90, 140, 180), (4, 12, 24))
    c.fill(8, 10, 200, 20, (4, 14, 26))      # the title's well
    c.fill(214, 10, 53, 20, (4, 14, 26))     # the time's
    c.fill(8, 64, 259, 10, (4, 14, 26))      # the seek bar's groove
    for name, x in HARBOUR_BUTTONS + (("Quit", 246),):
        y, bw, bh = (88, 24, 18) if name != "Quit" else (90, 20, 14)
        top, bottom = ((40, 80, 110), (20, 44, 66)) if pressed else ((70, 120, 160), (34, 70, 100))
        c.shade(x, y, bw, bh, top, bottom)
        c.bevel(x, y, bw, bh, (130, 180, 220) if not pressed else (10, 30, 50),
                (10, 30, 50) if not pressed else (130, 180, 220))
        glyph = "Close" if name == "Quit" else name
        c.glyph(glyph, x + (1 if pressed else 0), y + (1 if pressed else 0), bw, bh,
                (230, 240, 250))
    c.round_corners(9)
    return c


def write_harbour(folder):
    os.makedirs(folder, exist_ok=True)
    harbour_face(False).save(os.path.join(folder, "MainUp.bmp"))
    harbour_face(True).save(os.path.join(folder, "MainDown.bmp"))
    lines = ["[Coordinates]"]
    lines += ["%s=%d, 88, 24, 18" % (name, x) for name, x in HARBOUR_BUTTONS]
    lines += ["Quit=246, 90, 20, 14", "DisplayBar=12, 13, 192, 14", "DisplayTime=217, 13, 47, 14",
              "SeekBar=10, 66, 255, 6", "DisplayFont=Arial", "DisplayColour=170, 220, 255"]
    path = os.path.join(folder, "skin.ini")
    write_text(path, lines)
    return path


# Copper: an eight-sided face with buttons whose hover faces are brighter.
COPPER_BUTTONS = (("Previous Song", "Prev", 20), ("Play", "Play", 46), ("Pause", "Pause", 72),
                  ("Stop", "Stop", 98), ("Next Song", "Next", 124), ("Minimize", "Minimize", 206),
                  ("Close", "Close", 232))


def write_copper(folder):
    os.makedirs(folder, exist_ok=True)
    w, h = 275, 116
    face = Canvas(w, h)
    face.shade(0, 0, w, h, (150, 92, 48), (70, 38, 18))
    face.fill(14, 16, 247, 22, (40, 22, 10))
    face.fill(14, 56, 247, 8, (40, 22, 10))   # the song's groove
    face.fill(14, 68, 247, 7, (40, 22, 10))   # the playlist's
    face.save(os.path.join(folder, "copper.bmp"))
    lines = ["[General]", "Bitmap=copper.bmp", "WindowWidth=275", "WindowHeight=116",
             "UseWindowShape=1", "NumberOfWindowShapePoints=9"]
    points = ((12, 0), (263, 0), (275, 12), (275, 104), (263, 116), (12, 116), (0, 104),
              (0, 12), (12, 0))
    for i, (x, y) in enumerate(points, 1):
        lines += ["P%dx=%d" % (i, x), "P%dy=%d" % (i, y)]
    for section, glyph, left in COPPER_BUTTONS:
        stem = "copper_" + glyph.lower()
        for state, (top, bottom, ink) in ((1, ((190, 120, 60), (120, 66, 28), (255, 236, 200))),
                                          (2, ((240, 170, 90), (170, 100, 40), (255, 255, 255)))):
            b = Canvas(22, 18, KEY)  # the top-left colour is the button's see-through
            b.shade(1, 1, 20, 16, top, bottom)
            b.bevel(1, 1, 20, 16, (250, 200, 140), (60, 30, 10))
            b.glyph(glyph, 1, 1, 20, 16, ink)
            b.save(os.path.join(folder, "%s%d.bmp" % (stem, state)))
        lines += ["[Button %s]" % section, "Bitmap1=%s1.bmp" % stem, "Bitmap2=%s2.bmp" % stem,
                  "Left=%d" % left, "Top=84"]
    lines += ["[Label SongName]", "FontName=Arial", "FontColor=$A0E0FF", "Left=18", "Top=19",
              "Width=239", "Height=16", "FontSize=9", "FontBold=1",
              "[Gauge SongPos]", "Left=14", "Top=57", "Width=247", "Height=6",
              "[Gauge PlaylistPos]", "Left=14", "Top=69", "Width=247", "Height=5"]
    path = os.path.join(folder, "Copper.design")
    write_text(path, lines)
    return path


def main(folder):
    write_slate(os.path.join(folder, "Slate"))
    write_harbour(os.path.join(folder, "Harbour"))
    write_copper(os.path.join(folder, "Copper"))


if __name__ == "__main__":
    main(sys.argv[1])
