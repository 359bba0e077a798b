"""Umbrek (umbrek.dll) under the stand-in player. Each test works in a folder
of its own holding a copy of the plug-in and the archive that umbrek_fixtures
writes there; "zephrin.ini" and the screenshots land there too. Screenshot
paths are absolute: the plug-in makes its own folder current while it runs."""

import json
import os
import shutil
import struct

from jktest import BIN_DIR, main, run_windows, testhost
from visprobe import ProbeTest, read_bmp, read_ini, win_path, write_mux_ini

NAME = "Zephrin Lite Jukora Plugin - Umbrek team, free to share"
DEFAULTS = {"EffectTime": "600", "EffectFade": "200", "NumEffects": "3", "MotionBlur": "70",
            "RenderDevice": "0", "RenderHAL": "0", "RunInWindow": "0"}
FIXTURES = os.path.join(BIN_DIR, "umbrek_fixtures.exe")
TESTHOST = os.path.join(BIN_DIR, "testhost.exe")
DIALOG = "Zephrin Lite Settings"
TGA_SIZE = 18 + 640 * 480 * 3


def dumps(out):
    """The windows that a script's dump printed, in order."""
    return [json.loads(l[len("window "):]) for l in out.splitlines() if l.startswith("window ")]


def box_text(box):
    """The message of a message box dump (its static text)."""
    return [c["text"] for c in box["controls"] if c["class"].lower() == "static" and c["text"]]


class UmbrekTest(ProbeTest):
    def setUp(self):
        super().setUp()
        self.dll = self.copy_deliverable("umbrek.dll")
        self.ini = os.path.join(self.tmp, "zephrin.ini")

    def archive(self, variant=None, folder=None):
        """Writes zephrin.dat (or one of its damaged variants) into the folder."""
        args = [win_path(folder or self.tmp)] + ([variant] if variant else [])
        rc, out, err = run_windows(FIXTURES, *args)
        self.assertEqual(rc, 0, out + err)
        self.assertTrue(os.path.exists(os.path.join(folder or self.tmp, "zephrin.dat")), out + err)

    def host(self, *args, env=None, dll=None):
        """testhost vis on the copy; returns (JSON, stdout)."""
        rc, out, err = run_windows(TESTHOST, "vis", dll or self.dll, *args, env=env,
                                   cwd=self.tmp)
        lines = [l for l in out.splitlines() if l.startswith("{")]
        self.assertTrue(lines, out + err)
        self.assertEqual(rc, 0, out + err)
        return json.loads(lines[-1]), out

    def vis(self, *args, env=None, dll=None):
        return self.host(*args, env=env, dll=dll)[0]

    def settings(self):
        return read_ini(self.ini, NAME)

    def write_settings(self, **values):
        with open(self.ini, "w", newline="\r\n") as f:
            f.write("[%s]\n" % NAME)
            for key, value in values.items():
                f.write("%s=%s\n" % (key, value))

    def assert_windows_closed(self, data):
        self.assertEqual([w["title"] for w in data["windows"] if w["open"]], [])
        self.assertEqual(data["violations"], [])

    def tga(self, n):
        path = os.path.join(self.tmp, "screen%d.tga" % n)
        with open(path, "rb") as f:
            return f.read()

    def test_info(self):
        rc, data, err = testhost("info", self.dll)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data, {
            "kind": "vis", "abiVersion": 257, "displayName": "Zephrin Lite Jukora Plugin",
            "modules": [NAME],
            "moduleValues": [{"frameLatencyMs": 10, "frameDelayMs": 10, "spectrumChannels": 1,
                              "waveformChannels": 1, "ownerData": 0}],
            "negativeIndexGivesNull": True, "sameRecordEachCall": True})

    def test_run_windows_settings_and_own_screenshot_of_the_shot_frame(self):
        self.archive()
        shot = os.path.join(self.tmp, "shot.bmp")
        data = self.vis("--frames", "300", "--signal", "noise", "--shot", shot,
                        "--key-at", "300:83")
        expected = {"startResult": 0, "framesRendered": 300, "stopReason": "frames",
                    "stopCalls": 1, "frameLatencyMs": 10, "frameDelayMs": 10,
                    "spectrumChannels": 1, "waveformChannels": 1, "errors": []}
        self.assertEqual({k: data[k] for k in expected}, expected)
        self.assert_windows_closed(data)
        windows = {w["class"]: w for w in data["windows"]}
        self.assertEqual(len(data["windows"]), 2)
        key_window, glide = windows["ZephrinLite"], windows["JukoraGlideScreen"]
        self.assertEqual((key_window["title"], key_window["class"], key_window["ownedByHost"]),
                         (NAME, "ZephrinLite", True))
        left, top, right, bottom = key_window["client"]
        self.assertEqual((right - left, bottom - top), (288, 256))
        self.assertEqual(key_window["rect"][:2], [0, 0])
        self.assertEqual((glide["title"], glide["class"]), (NAME + " (Glide)", "JukoraGlideScreen"))
        width, height, rows = read_bmp(shot)
        self.assertEqual(glide["rect"], [0, 0, width, height])
        self.assertEqual(list(self.settings().items()), list(DEFAULTS.items()))

        # Umbrek's own picture of the frame the screenshot caught: each 5-6-5
        # pixel, widened by bit replication, is the screen's pixel in the middle.
        tga = self.tga(1)
        self.assertEqual(len(tga), TGA_SIZE)
        self.assertEqual(tga[:18], bytes([0, 0, 2] + [0] * 9) + struct.pack("<HHBB", 640, 480,
                                                                             24, 32))
        x0, y0 = (width - 640) // 2, (height - 480) // 2
        widen5 = lambda v: (v >> 3 << 3) | (v >> 5)
        widen6 = lambda v: (v >> 2 << 2) | (v >> 6)
        mismatches, lit = 0, 0
        for y in range(480):
            row = rows[y0 + y]
            for x in range(640):
                b, g, r = tga[18 + 3 * (640 * y + x):21 + 3 * (640 * y + x)]
                lit += (b | g | r) != 0
                mismatches += row[x0 + x] != (widen5(r), widen6(g), widen5(b))
        self.assertEqual(mismatches, 0)
        self.assertGreater(lit, 0)

    def test_keys(self):
        self.archive()
        data = self.vis("--frames", "200", "--realtime", "--do",
                        "wait %s (Glide); key 0 70; key 0 83" % NAME)
        for vk in (70, 83):
            self.assertIn([256, vk, 1], data["hostMessages"])
            self.assertIn([257, vk, 0xC0000001], data["hostMessages"])
        self.assertEqual(len(self.tga(1)), TGA_SIZE)
        # The next free number.
        shutil.copy(os.path.join(self.tmp, "screen1.tga"), os.path.join(self.tmp, "screen2.tga"))
        data = self.vis("--frames", "20", "--key-at", "10:83")
        self.assertEqual(len(self.tga(3)), TGA_SIZE)
        # Escape closes both windows and asks the host to stop, once.
        data = self.vis("--frames", "1000", "--realtime", "--do", "wait %s (Glide); key 0 27" % NAME)
        self.assertEqual((data["stopReason"], data["stopCalls"]), ("quit", 1))
        self.assertLess(data["framesRendered"], 1000)
        self.assert_windows_closed(data)

    def test_settings_dialog(self):
        self.write_settings(EffectTime=900, EffectFade=50, NumEffects=5, MotionBlur=20,
                            RunInWindow=1)
        data, out = self.host("--config", "--do",
                              "wait %s; dump; click 1012; dump; click 1" % DIALOG)
        self.assertEqual(data["errors"], [])
        shown, defaults = [{c["id"]: c for c in d["controls"]} for d in dumps(out)]
        self.assertEqual((shown[1043]["items"], shown[1043]["selected"]), (["3DFX Glide"], 0))
        self.assertEqual((shown[1037]["range"], shown[1037]["position"]), ([1, 6], 5))
        numbers = lambda c: [c[1006]["text"], c[1038]["text"], c[1037]["position"],
                             c[1040]["text"], c[1045]["checked"]]
        self.assertEqual(numbers(shown), ["900", "50", 5, "20", 1])
        self.assertEqual(numbers(defaults), ["600", "200", 3, "70", 0])
        self.assertEqual(self.settings(), DEFAULTS)

        self.host("--config", "--do", "wait %s; set 1006 1234; click 1" % DIALOG)
        self.assertEqual(self.settings()["EffectTime"], "1234")

    def test_failed_starts_show_the_reason_and_leave_nothing(self):
        # (archive variant or None for none, environment, box caption, text)
        cases = [
            ("missing", {}, "logo", "cannot open zephrin file"),
            ("no-spin", {}, "zephrinspin", "cannot open zephrinspin file"),
            ("bad-password", {}, "logo", "cannot open zephrin file"),
            ("short-black", {}, "black.pcx", "Can't open HUD texture"),
            ("no-flare", {}, "flare2.pcx", "Cannot open texture flare2.pcx"),
            ("", {"JK_GLIDE_OPTIONS": "noboard"}, "Glide", "Cannot find a Glide board"),
            ("", {"JK_GLIDE_OPTIONS": "nowindow"}, "Glide", "Cannot set video mode"),
        ]
        for variant, env, caption, text in cases:
            with self.subTest(variant=variant, env=env):
                for name in ("zephrin.dat",):
                    if os.path.exists(os.path.join(self.tmp, name)):
                        os.remove(os.path.join(self.tmp, name))
                if variant != "missing":
                    self.archive(variant or None)
                data, out = self.host("--frames", "5", "--restarts", "1", "--do",
                                      "wait %s; dump; click 1; wait %s; dump; click 1"
                                      % (caption, caption), env=env)
                boxes = dumps(out)
                self.assertEqual(len(boxes), 2, out)
                for box in boxes:
                    self.assertIn(text, box_text(box))
                self.assertEqual(data["startResult"], 1)
                self.assertEqual(data["restarts"]["startResults"], [1])
                self.assert_windows_closed(data)

    def test_a_failure_then_a_start_in_one_process(self):
        self.archive()
        cases = [(["--hold-class", "ZephrinLite"], {}, "blah", "Error registering window class"),
                 (["--refuse-window", "ZephrinLite"], {}, "hmmm", "Error creating window"),
                 ([], {"JK_GLIDE_OPTIONS": "nowindow=1"}, "Glide", "Cannot set video mode")]
        for options, env, caption, text in cases:
            with self.subTest(options=options, env=env):
                data, out = self.host("--frames", "5", "--restarts", "1", *options, "--do",
                                      "wait %s; dump; click 1" % caption, env=env)
                [box] = dumps(out)
                self.assertIn(text, box_text(box))
                self.assertEqual(data["startResult"], 1)
                self.assertEqual(data["restarts"]["startResults"], [0])
                self.assert_windows_closed(data)

    def test_damaged_models_that_still_start(self):
        for variant in ("missing-texture", "overrun"):
            with self.subTest(variant):
                self.archive(variant)
                data = self.vis("--frames", "20", "--signal", "noise")
                self.assertEqual((data["startResult"], data["framesRendered"]), (0, 20))
                self.assert_windows_closed(data)

    def test_hostile_settings_are_clamped(self):
        self.archive()
        # (what the file holds, what stop writes back)
        cases = [
            ({"NumEffects": 0, "EffectFade": 0, "EffectTime": 0, "MotionBlur": 1000},
             {"NumEffects": "1", "EffectFade": "1", "EffectTime": "1", "MotionBlur": "255"}),
            ({"NumEffects": 7, "EffectTime": -5, "MotionBlur": -1},
             {"NumEffects": "6", "EffectTime": "1", "MotionBlur": "0"}),
            ({"NumEffects": -1}, {"NumEffects": "1"}),
            ({"NumEffects": 2147483647}, {"NumEffects": "6"}),
            ({"NumEffects": "abc"}, {"NumEffects": "1"}),
        ]
        for written, clamped in cases:
            with self.subTest(written):
                self.write_settings(**written)
                data = self.vis("--frames", "50", "--signal", "noise")
                self.assertEqual((data["startResult"], data["framesRendered"]), (0, 50))
                self.assert_windows_closed(data)
                self.assertEqual(self.settings(), dict(DEFAULTS, **clamped))

    def test_fifty_restarts_hold_no_more(self):
        self.archive()
        data = self.vis("--frames", "10", "--restarts", "50", "--signal", "noise")
        self.assertEqual(data["startResult"], 0)
        self.assertEqual(data["restarts"]["startResults"], [0] * 50)
        self.assert_windows_closed(data)
        handles, memory = data["restarts"]["nextHandle"], data["restarts"]["memoryBytes"]
        self.assertLessEqual(handles[1] - handles[0], 64)
        self.assertLessEqual(memory[1] - memory[0], 1 << 20)

    def test_under_morsk_beside_a_probe(self):
        self.archive()
        morsk = self.copy_deliverable("morsk.dll")
        probe = self.probes.add("p", x=300, y=300)
        plugin_ini = os.path.join(self.tmp, "plugin.ini")
        write_mux_ini(plugin_ini, (self.dll, 0), (probe, 0))
        data = self.vis("--frames", "100", "--signal", "noise", dll=morsk)
        self.assertEqual((data["startResult"], data["framesRendered"]), (0, 100))
        self.assertEqual([c["op"] for c in self.probes.calls("p")],
                         ["start"] + ["render"] * 100 + ["stop"])
        titles = [w["title"] for w in data["windows"]]
        self.assertIn(NAME, titles)
        self.assertIn(NAME + " (Glide)", titles)
        self.assert_windows_closed(data)
        self.assertIsNotNone(read_ini(plugin_ini, "Visualization Mux"))
        self.assertIsNotNone(read_ini(self.ini, NAME))

        # Umbrek's stop posts no quit of its own: that would cut the next
        # round short for every child.
        data = self.vis("--frames", "10", "--restarts", "3", "--signal", "noise", dll=morsk)
        self.assertEqual(data["restarts"]["startResults"], [0] * 3)
        self.assert_windows_closed(data)
        round = ["start"] + ["render"] * 10 + ["stop"]
        self.assertEqual([c["op"] for c in self.probes.calls("p")][102:], round * 4)


if __name__ == "__main__":
    main()
