"""The settings dialogs of Umbrek and Fennick end on Escape and on their close
box, as they do on OK, whether the stand-in player opens them or Morsk's
configuration form does: the call that opened them returns (a dialog that
stays open keeps the player's thread, and testhost with it, past the time
limit) and what the controls showed is kept."""

import json
import os

from jktest import BIN_DIR, main, run_windows
from visprobe import ProbeTest, read_ini, write_mux_ini

TESTHOST = os.path.join(BIN_DIR, "testhost.exe")
UMBREK = "Zephrin Lite Settings"
UMBREK_SECTION = "Zephrin Lite Jukora Plugin - Umbrek team, free to share"
FORM, FORM_LIST, FORM_CLOSE = "Configuration: Visualization Mux", 110, 104
WAVE, BLOCK, TUNNEL = "3D Sound Wave Settings", "3D Sound Block Settings", "3D Sound Tunnel Settings"
GRAPHICS, PRESETS = "Graphics Options", "Load and Save Preset Values"
FENNICK_OK = 1004

# The two ways to leave a dialog without OK: Escape typed in one of its
# controls, and the close box (the window menu's Close command).
WAYS = {"escape": "key %d 27", "close box": "post 0x0112 0xF060 0"}


def umbrek_effect_time(value):
    return lambda test: test.assertEqual(
        read_ini(os.path.join(test.tmp, "zephrin.ini"), UMBREK_SECTION)["EffectTime"], value)


def fennick_key(section, key, value):
    return lambda test: test.assertEqual(
        read_ini(os.path.join(test.tmp, "fennick.ini"), section)[key], value)


# (what, library, module, steps up to the dialog and an edit in it, the
# control that gets Escape, steps after it ends, the check of what was kept)
CASES = [
    ("Umbrek", "umbrek.dll", 0, ["wait " + UMBREK, "set 1006 1234"], 1006, [],
     umbrek_effect_time("1234")),
    ("Umbrek from Morsk's form", "morsk.dll", 0,
     ["wait " + FORM, "select %d 0" % FORM_LIST, "key %d 13" % FORM_LIST, "wait " + UMBREK,
      "set 1006 777"], 1006, ["use " + FORM, "click %d" % FORM_CLOSE],
     umbrek_effect_time("777")),
    ("Fennick Wave", "fennick.dll", 0, ["wait " + WAVE, "trackbar 1002 300"], 1001, [],
     fennick_key("Wave", "Sensitivity", "300")),
    ("Fennick graphics options", "fennick.dll", 2,
     ["wait " + TUNNEL, "click 1030", "wait " + GRAPHICS, "select 1020 8"], 1020,
     ["use " + TUNNEL, "click %d" % FENNICK_OK], fennick_key("Tunnel", "FullScreenRes", "8")),
    ("Fennick presets", "fennick.dll", 1, ["wait " + BLOCK, "click 1033", "wait " + PRESETS],
     1036, ["use " + BLOCK, "click %d" % FENNICK_OK], fennick_key("Block", "GridRes", "8")),
]


class SettingsCloseTest(ProbeTest):
    def test_escape_and_the_close_box_end_each_dialog(self):
        for what, library, module, steps, escape_control, after, kept in CASES:
            for way, action in WAYS.items():
                with self.subTest(dialog=what, way=way):
                    for name in ("zephrin.ini", "fennick.ini", "plugin.ini"):
                        if os.path.exists(os.path.join(self.tmp, name)):
                            os.remove(os.path.join(self.tmp, name))
                    dll = self.copy_deliverable(library)
                    if library == "morsk.dll":
                        write_mux_ini(os.path.join(self.tmp, "plugin.ini"),
                                      (self.copy_deliverable("umbrek.dll"), 0))
                    close = action % escape_control if "%d" in action else action
                    script = "; ".join(steps + [close] + after)
                    rc, out, err = run_windows(TESTHOST, "vis", dll, "--module", module,
                                               "--config", "--do", script, timeout=120)
                    self.assertEqual(rc, 0, out + err)
                    summary = json.loads([l for l in out.splitlines() if l.startswith("{")][-1])
                    self.assertEqual(summary["errors"], [])
                    kept(self)


if __name__ == "__main__":
    main()
