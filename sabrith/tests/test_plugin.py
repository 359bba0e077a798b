"""Sabrith under the stand-in player: its records, each effect in its window
on a clean registry, the settings written at stop, keys, the menu and its
commands, drops, the property sheet, restarts and a run under Morsk beside
a probe."""

import json
import os

from jktest import BIN_DIR, main, run_windows, testhost
from visprobe import ProbeTest, read_bmp, win_path, write_mux_ini

TESTHOST = os.path.join(BIN_DIR, "testhost.exe")
KEY = "HKCU\\Software\\Lumbrin"
MODULE = "Lumbrin v2.00b"
WINDOW_SETTINGS = ["Skin", "FreeTop", "FreeLeft", "FreeWidth", "FreeHeight", "OnTop", "XRes",
                   "YRes", "BPP", "LinAmp", "Module"]
WM_COMMAND = 273


def read_key(section):
    """(name, type, data) rows of one settings section in the order reg lists them."""
    rc, out, _ = run_windows("reg", "query", KEY + "\\" + section)
    if rc != 0:
        return None
    rows = []
    for line in out.splitlines():
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            rows.append((parts[0], parts[1], parts[2] if len(parts) > 2 else ""))
    return rows


def number(rows, name):
    [value] = [d for n, t, d in rows if n == name]
    return int(value, 16)


class SabrithTest(ProbeTest):
    def setUp(self):
        super().setUp()
        self.dll = self.copy_deliverable("sabrith.dll")
        run_windows("reg", "delete", KEY, "/f")

    def set_module(self, module):
        run_windows("reg", "add", KEY + "\\Lumbrin", "/v", "Module", "/t", "REG_DWORD", "/d",
                    str(module), "/f")

    def run_vis(self, *args, clean=True):
        """testhost vis; returns its JSON and the "window" lines of dumps."""
        rc, out, err = run_windows(TESTHOST, "vis", self.dll, *args)
        lines = [l for l in out.splitlines() if l.startswith("{")]
        self.assertTrue(lines, err)
        data = json.loads(lines[-1])
        if clean:
            self.assertEqual(rc, 0, err)
            self.assertEqual(data["violations"], [])
            self.assertEqual(data["errors"], [])
        dumps = [json.loads(l[len("window "):]) for l in out.splitlines()
                 if l.startswith("window ")]
        return data, dumps

    def window(self, data):
        [w] = [w for w in data["windows"] if w["class"] == "Lumbrin Window"]
        return w

    def shot(self, name):
        return os.path.join(self.tmp, name)

    def test_info(self):
        rc, data, err = testhost("info", self.dll)
        self.assertEqual(rc, 0, err)
        self.assertEqual((data["kind"], data["abiVersion"], data["displayName"]),
                         ("vis", 257, "Lumbrin Plugin"))
        self.assertEqual(data["modules"], [MODULE])
        [values] = data["moduleValues"]
        self.assertEqual((values["frameLatencyMs"], values["frameDelayMs"],
                          values["spectrumChannels"], values["waveformChannels"]), (25, 15, 2, 0))
        self.assertNotEqual(values["ownerData"], 0)
        self.assertTrue(data["negativeIndexGivesNull"])
        self.assertTrue(data["sameRecordEachCall"])


if __name__ == "__main__":
    main()
