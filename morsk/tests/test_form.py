"""Morsk's configuration form, opened by testhost vis --config and driven by a
window script: Add (through the open dialog), Next, Back, Remove, the
compatibility box, Configure, the pop-up menu and Close, with plugin.ini read
back after each run, and the refusals with their messages."""

import json
import os
import shutil

from jktest import BIN_DIR, main, run_windows
from visprobe import ProbeTest, read_bmp, read_ini, win_path

SECTION = "Visualization Mux"
FORM = "Configuration: Visualization Mux"
ADD, REMOVE, CLOSE, LIST, PREV, NEXT, CHECK, LABEL = 101, 102, 104, 110, 111, 112, 113, 115
BACK_DOOR = '"Zazu Dad Izedod" back door'
FILE_NAME = 1148  # the open dialog's file name box
VK_RETURN, VK_ADD = 13, 107


def add(path):
    return ["click %d" % ADD, "wait Open Visualization DLL",
            "set %d %s" % (FILE_NAME, win_path(path)), "click 1"]


def refused():
    return ["wait Error", "dump", "click 1", "use " + FORM]


class FormTest(ProbeTest):
    def setUp(self):
        super().setUp()
        self.morsk = self.copy_deliverable("morsk.dll")
        self.ini = os.path.join(self.tmp, "plugin.ini")

    def write_ini(self, text):
        with open(self.ini, "w", newline="\r\n") as f:
            f.write("[%s]\n%s" % (SECTION, text))

    def form(self, *actions, args=()):
        """Opens the form, runs the actions, dumps the form and closes it.
        Returns (the dumped windows in order, testhost's summary)."""
        script = "; ".join(["wait " + FORM, *actions, "use " + FORM, "dump", "click %d" % CLOSE])
        rc, out, err = run_windows(os.path.join(BIN_DIR, "testhost.exe"), "vis", self.morsk,
                                   "--config", "--do", script, *args, timeout=120)
        self.assertEqual(rc, 0, err)
        lines = out.splitlines()
        windows = [json.loads(l[len("window "):]) for l in lines if l.startswith("window ")]
        summary = json.loads([l for l in lines if l.startswith("{")][-1])
        return windows, summary

    @staticmethod
    def control(window, ident):
        return next(c for c in window["controls"] if c["id"] == ident)

    def items(self, window):
        return self.control(window, LIST)["items"]

    def settings(self):
        return read_ini(self.ini, SECTION)

    def test_add_next_back_remove_and_compatibility(self):
        a = self.probes.add("a", modules=4)
        b = self.probes.add("b")
        c = self.probes.add("c")

        windows, _ = self.form(*add(a))
        self.assertEqual(self.items(windows[-1]), ["Probe a #0 [a.dll, 0]"])
        written = self.settings()
        self.assertEqual(list(written), ["Vis1", "Mod1", "Vis2", "Mod2", "Vis3", "Mod3", "Vis4",
                                         "Mod4", "REDO_ZODODEZ", "Compatibility"])
        self.assertEqual((written["Vis1"], written["Mod1"], written["Vis2"]), (win_path(a), "0", ""))
        self.assertEqual((written["REDO_ZODODEZ"], written["Compatibility"]), ("4", "0"))

        windows, _ = self.form(*add(b), "use " + FORM, *add(c))
        self.assertEqual(self.items(windows[-1]), ["Probe a #0 [a.dll, 0]",
                                                   "Probe b #0 [b.dll, 0]",
                                                   "Probe c #0 [c.dll, 0]"])
        self.assertEqual((self.settings()["Vis2"], self.settings()["Vis3"]),
                         (win_path(b), win_path(c)))

        steps = [
            (["click %d" % NEXT], "1"),
            (["click %d" % PREV, "click %d" % PREV], "3"),  # 1, 0, then round to 3
            (["key %d %d" % (LIST, VK_ADD)], "0"),          # keypad +: 3 round to 0
        ]
        for actions, module in steps:
            windows, _ = self.form("select %d 0" % LIST, *actions)
            self.assertEqual(self.settings()["Mod1"], module, actions)
            self.assertEqual(self.items(windows[-1])[0], "Probe a #%s [a.dll, %s]" % (module, module))

        windows, _ = self.form("select %d 1" % LIST, "click %d" % REMOVE)
        written = self.settings()
        self.assertEqual([written["Vis%d" % n] for n in range(1, 5)],
                         [win_path(a), win_path(c), "", ""])
        self.assertEqual(written["Mod3"], "0")
        self.assertEqual(self.items(windows[-1]), ["Probe a #0 [a.dll, 0]",
                                                   "Probe c #0 [c.dll, 0]"])

        windows, _ = self.form("check %d 1" % CHECK)
        self.assertEqual(self.settings()["Compatibility"], "1")
        self.assertEqual(self.control(windows[-1], CHECK)["checked"], 1)

    def test_refusals(self):
        a = self.probes.add("a")
        os.mkdir(os.path.join(self.tmp, "other"))
        same_name = os.path.join(self.tmp, "other", "a.dll")
        shutil.copy(a, same_name)
        own_name = os.path.join(self.tmp, "other", "morsk.dll")
        shutil.copy(self.morsk, own_name)
        renamed_mux = os.path.join(self.tmp, "othermux.dll")
        shutil.copy(self.morsk, renamed_mux)
        not_vis = os.path.join(self.tmp, "notvis.dll")
        shutil.copy(os.path.join(BIN_DIR, "sine_plugin.dll"), not_vis)
        null_header = self.probes.add("nullheader", header=0)
        no_modules = self.probes.add("nomodules", modules=0)
        not_a_library = os.path.join(self.tmp, "text.dll")
        with open(not_a_library, "w") as f:
            f.write("not a library")
        self.write_ini("REDO_ZODODEZ=2\nVis1=%s\n" % win_path(a))
        before = self.settings()

        cases = [
            (same_name, "You may not add the same library more than once!"),
            (own_name, "Sorry, you cannot select the visualization mux!"),
            (renamed_mux, "Sorry, you cannot select the visualization mux!"),
            (not_vis, "Not a valid Visualization Plug-in DLL!"),
            (null_header, "Not a valid Visualization Plug-in DLL!"),
            (no_modules, "This DLL contains no visualizations!"),
        ]
        actions = []
        for path, _ in cases:
            actions += add(path) + refused()
        # A file that does not load as a library changes nothing and says nothing.
        actions += add(not_a_library) + ["use " + FORM, "sleep 300"]
        windows, _ = self.form(*actions)
        boxes = [w for w in windows if w["title"] == "Error"]
        self.assertEqual(len(boxes), len(cases))
        for box, (path, text) in zip(boxes, cases):
            self.assertIn(text, [c["text"] for c in box["controls"]], path)
        self.assertEqual(self.settings(), before)

        # Every slot taken: refused before the open dialog.
        self.write_ini("REDO_ZODODEZ=1\nVis1=%s\n" % win_path(a))
        windows, _ = self.form("click %d" % ADD, *refused())
        self.assertIn("You may not add any more visualization plug-ins",
                      [c["text"] for c in windows[0]["controls"]])

    def test_no_slots_stored_gives_one(self):
        a = self.probes.add("a")
        self.write_ini("REDO_ZODODEZ=0\n")
        self.form(*add(a))
        written = self.settings()
        self.assertEqual((written["REDO_ZODODEZ"], written["Vis1"]), ("1", win_path(a)))
        self.assertNotIn("Vis2", written)

    def test_configure_and_the_popup_menu(self):
        a = self.probes.add("a", window=0)
        self.write_ini("REDO_ZODODEZ=2\nVis1=%s\n" % win_path(a))
        windows, summary = self.form(
            "select %d 0" % LIST, "key %d %d" % (LIST, VK_RETURN),
            "key %d %d alt" % (LIST, VK_RETURN), "wait", "dump", "key 0 27",
            args=("--rate", "32000", "--channels", "1"))
        [settings] = self.probes.calls("a")
        self.assertEqual(settings["op"], "settings")
        self.assertTrue(settings["ownInstance"])
        self.assertNotEqual(settings["hostWindow"], summary["hostWindow"])  # the form's own
        self.assertEqual((settings["rateHz"], settings["channelCount"]), (32000, 1))
        self.assertIn({"op": "unload", "processExit": False}, self.probes.log("a"))
        # Alt+Enter opens the menu beside the list's right edge.
        menu, form = windows[0], windows[-1]
        self.assertEqual(menu["class"], "#32768")
        left, top = form["rect"][:2]
        self.assertEqual(menu["rect"][:2], [left + 8 + 233, top + 16 + 30])

    def test_double_click_on_the_pi_label(self):
        windows, _ = self.form()
        form = windows[0]
        label = self.control(form, LABEL)["rect"]
        x = (label[0] + label[2]) // 2 - form["client"][0]
        y = (label[1] + label[3]) // 2 - form["client"][1]
        windows, _ = self.form("mouse double %d %d" % (x, y), "wait " + BACK_DOOR, "dump",
                               "click 1")
        box = windows[0]
        self.assertEqual(box["title"], BACK_DOOR)
        self.assertIn("Sorry, this function is not yet available.\rFor more information visit\r"
                      "http://morsk.example.org/", [c["text"] for c in box["controls"]])

    def test_screenshot(self):
        a = self.probes.add("a", modules=2)
        self.write_ini("REDO_ZODODEZ=4\nVis1=%s\nMod1=1\n" % win_path(a))
        shot = os.path.join(self.tmp, "form.bmp")
        windows, _ = self.form("select %d 0" % LIST, "shot " + shot)
        width, height, rows = read_bmp(shot)
        self.assertEqual((width, height), (444, 213))
        form = windows[-1]
        self.assertEqual(self.items(form), ["Probe a #1 [a.dll, 1]"])
        texts = {c["id"]: c["text"] for c in form["controls"]}
        self.assertEqual((texts[ADD], texts[REMOVE], texts[CLOSE], texts[CHECK]),
                         ("Add DLL", "Remove DLL", "Close", "Use Compatibility mode"))
        self.assertTrue(texts[114].startswith("Morsk v1.12\r\n"))
        # The selected line is drawn highlighted: some pixels of the list's
        # first line differ from the list's white background.
        list_rect = self.control(form, LIST)["rect"]
        y = list_rect[1] - form["rect"][1] + 8
        line = rows[y][list_rect[0] - form["rect"][0] + 4:list_rect[2] - form["rect"][0] - 4]
        self.assertTrue(any(p != (255, 255, 255) for p in line))


if __name__ == "__main__":
    main()
