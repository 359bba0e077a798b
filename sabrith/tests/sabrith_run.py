"""What Sabrith's Wine tests share: a copy of the plug-in on a clean settings
key, its runs under testhost, and readers of the settings it leaves in the
registry."""

import os

from jktest import run_windows
from visprobe import ProbeTest, run_vis, win_path

KEY = "HKCU\\Software\\Lumbrin"
MODULE = "Lumbrin v2.00b"
SHEET = "Properties for " + MODULE
# The window's rectangle on a first start.
FIRST_PLACE = [50, 50, 325, 166]
FILE_NAME = 1148  # the file dialogs' name box
# The window's settings, in the order they are written.
WINDOW_SETTINGS = ["Skin", "FreeTop", "FreeLeft", "FreeWidth", "FreeHeight", "OnTop", "XRes",
                   "YRes", "BPP", "LinAmp", "Module"]


def read_key(section):
    """(name, type, data) rows of one settings section in the order reg lists them."""
    rc, out, err = run_windows("reg", "query", KEY + "\\" + section)
    if rc != 0:
        raise AssertionError("no settings section %s: %s" % (section, err))
    rows = []
    for line in out.splitlines():
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            rows.append((parts[0], parts[1], parts[2] if len(parts) > 2 else ""))
    return rows


def stored_skin():
    """The `Skin` setting as the registry holds it."""
    [(_, _, stored)] = [r for r in read_key("Lumbrin") if r[0] == "Skin"]
    return stored


def number(rows, name):
    [value] = [d for n, t, d in rows if n == name]
    return int(value, 16)


def inside(region, x, y):
    """Whether the window's region (rectangles in window coordinates) holds (x, y)."""
    return any(l <= x < r and t <= y < b for l, t, r, b in region)


def size(rect):
    """Width and height of a [left, top, right, bottom] rectangle."""
    return rect[2] - rect[0], rect[3] - rect[1]


def lit(rows, box=None, unlit=((0, 0, 0),)):
    """How many pixels of a picture's rows, or of its box (x0, y0, x1, y1),
    are none of the `unlit` colours."""
    x0, y0, x1, y1 = box or (0, 0, len(rows[0]) if rows else 0, len(rows))
    return sum(1 for row in rows[y0:y1] for p in row[x0:x1] if p not in unlit)


def through_dialog(command, title, path):
    """Window-driver steps: the menu command opens its file dialog, which is
    given the path and confirmed; the window is the current one again."""
    return "post 273 %d 0; wait %s; set %d %s; click 1; use %s" % (
        command, title, FILE_NAME, win_path(path), MODULE)


class SabrithRun(ProbeTest):
    """A copy of the plug-in on a clean settings key, and its runs under
    testhost; other scripts derive their tests from this."""

    def setUp(self):
        super().setUp()
        self.dll = self.copy_deliverable("sabrith.dll")
        self.clear_settings()

    def clear_settings(self):
        run_windows("reg", "delete", KEY, "/f")

    def set_value(self, section, name, value):
        """One number of the settings, as the registry holds it."""
        rc, _, err = run_windows("reg", "add", KEY + "\\" + section, "/v", name, "/t",
                                 "REG_DWORD", "/d", str(value), "/f")
        self.assertEqual(rc, 0, err)

    def set_module(self, module):
        self.set_value("Lumbrin", "Module", module)

    def run_vis(self, *args, clean=True):
        """testhost vis; returns its JSON and the "window" lines of dumps."""
        rc, data, dumps, err = run_vis(self.dll, *args)
        self.assertIsNotNone(data, err)
        if clean:
            self.assertEqual(rc, 0, err)
            self.assertEqual(data["violations"], [])
            self.assertEqual(data["errors"], [])
        return data, dumps

    def window(self, data):
        [w] = [w for w in data["windows"] if w["class"] == "Lumbrin Window"]
        return w

    def shot(self, name):
        return os.path.join(self.tmp, name)

    def sent(self, data, message):
        """How many times `message` reached the player, and whether all were sent."""
        hits = [p for m, p in zip(data["hostMessages"], data["hostMessagesPosted"])
                if m == message]
        return len(hits), not any(hits)
