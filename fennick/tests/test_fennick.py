"""Fennick under Wine with Mesa's OpenGL: the records, the shared GL window
and its keys, starts without OpenGL, full screen, the settings, graphics and
preset dialogs with the files they write, and hostile settings."""

import json
import os
import shutil

from jktest import BIN_DIR, DIST_DIR, TempDirTest, main, run_windows
from visprobe import read_ini

CLASS = "Tarquel's Whack-ass 3d crap"
MODULES = ["3D Sound Wave", "3D Sound Block", "3D Sound Tunnel", "3D Cube Plugin"]
ERROR_CAPTION = "Gorwen's 3D Plugin Error"


class FennickTest(TempDirTest):
    def setUp(self):
        super().setUp()
        self.dll = os.path.join(self.tmp, "fennick.dll")
        shutil.copy(os.path.join(DIST_DIR, "fennick.dll"), self.dll)
        self.ini = os.path.join(self.tmp, "fennick.ini")

    def write_ini(self, sections):
        with open(self.ini, "w", newline="\r\n") as f:
            for section, values in sections.items():
                f.write("[%s]\n" % section)
                for key, value in values.items():
                    f.write("%s=%s\n" % (key, value))

    def section(self, name):
        """The keys of one section of fennick.ini in file order, as (key, value)."""
        self.assertTrue(os.path.exists(self.ini), self.ini)
        values = read_ini(self.ini, name)
        self.assertIsNotNone(values, "no [%s] in %s" % (name, self.ini))
        return list(values.items())

    def vis(self, *args, env=None, expect_rc=0):
        """Runs testhost vis on the copy; gives (result JSON, dumped windows)."""
        rc, out, err = run_windows(os.path.join(BIN_DIR, "testhost.exe"), "vis", self.dll,
                                   *args, env=env)
        dumps = [json.loads(l[len("window "):]) for l in out.splitlines()
                 if l.startswith("window ")]
        lines = [l for l in out.splitlines() if l.startswith("{")]
        self.assertTrue(lines, err)
        data = json.loads(lines[-1])
        self.assertEqual(rc, expect_rc, err)
        self.assertEqual(data["violations"], [])
        return data, dumps

    def without(self, dll):
        overrides = os.environ.get("WINEDLLOVERRIDES", "")
        return {"WINEDLLOVERRIDES": (overrides + ";" if overrides else "") + dll + "=d"}


class RecordsAndWindow(FennickTest):
    def test_info_gives_the_records(self):
        rc, out, err = run_windows(os.path.join(BIN_DIR, "testhost.exe"), "info", self.dll)
        self.assertEqual(rc, 0, err)
        data = json.loads([l for l in out.splitlines() if l.startswith("{")][-1])
        self.assertEqual(data["kind"], "vis")
        self.assertEqual(data["abiVersion"], 257)
        self.assertEqual(data["displayName"], "Gorwen's 3D OpenGL plugins")
        self.assertEqual(data["modules"], MODULES)
        self.assertEqual([(v["frameLatencyMs"], v["frameDelayMs"], v["spectrumChannels"],
                           v["waveformChannels"], v["ownerData"]) for v in data["moduleValues"]],
                         [(0, 15, 2, 2, 0), (0, 15, 2, 0, 0), (0, 15, 2, 2, 0),
                          (0, 15, 2, 2, 0)])
        self.assertTrue(data["negativeIndexGivesNull"])
        self.assertTrue(data["sameRecordEachCall"])

    def test_each_module_opens_one_640_by_480_gl_window(self):
        for index, name in enumerate(MODULES):
            with self.subTest(module=name):
                data, _ = self.vis("--module", index, "--frames", 60)
                self.assertEqual(data["startResult"], 0)
                self.assertEqual((data["framesRendered"], data["stopReason"]), (60, "frames"))
                [window] = data["windows"]
                self.assertEqual((window["title"], window["class"]), (name, CLASS))
                self.assertTrue(window["ownedByHost"])
                self.assertFalse(window["open"])
                client = window["client"]
                self.assertEqual((client[2] - client[0], client[3] - client[1]), (640, 480))

    def test_keys_go_up_to_the_host_and_escape_quits(self):
        data, _ = self.vis("--frames", 2000, "--realtime", "--do",
                           "wait 3D Sound Wave; key 0 70; key 0 32; sleep 300; key 0 27")
        self.assertEqual(data["stopReason"], "quit")
        self.assertLess(data["framesRendered"], 2000)
        keys = [m for m in data["hostMessages"] if m[0] in (256, 257)]
        self.assertEqual([m[:2] for m in keys], [[257, 70]])
        self.assertEqual(keys[0][2] & 0xC0000000, 0xC0000000)
        self.assertFalse(data["windows"][0]["open"])
        # The same at chosen frames: Space (its action comes on the 14th frame)
        # sends nothing on.
        data, _ = self.vis("--module", 1, "--frames", 30, "--key-at", "3:70", "--key-at",
                           "4:32", "--key-at", "5:71")
        self.assertEqual((data["stopReason"], data["framesRendered"]), ("frames", 30))
        self.assertEqual([m[:2] for m in data["hostMessages"] if m[0] in (256, 257)],
                         [[257, 70], [257, 71]])

    def test_a_second_stop_does_nothing(self):
        data, _ = self.vis("--module", 0, "--frames", 5, "--stop-twice")
        self.assertEqual(data["stopCalls"], 2)
        self.assertEqual([w["open"] for w in data["windows"]], [False])

    def test_start_stop_start_takes_a_new_window_each_round(self):
        data, _ = self.vis("--module", 3, "--frames", 10, "--restarts", 10)
        self.assertEqual(data["startResult"], 0)
        self.assertEqual(data["restarts"]["startResults"], [0] * 10)
        windows = data["windows"]
        self.assertEqual([(w["class"], w["open"]) for w in windows], [(CLASS, False)] * 11)
        handles, memory = data["restarts"]["nextHandle"], data["restarts"]["memoryBytes"]
        self.assertEqual(handles[0], handles[1])
        # The GL driver keeps a few megabytes after its first contexts however
        # many follow (measured: 3 to 6 MB after 2, 10 or 25 rounds); a window's
        # buffers left behind each round would cost about 3.7 MB a round.
        self.assertLess(memory[1] - memory[0], 16 * 1024 * 1024)

    def test_full_screen_switches_the_display_until_the_stop(self):
        self.write_ini({"Block": {"FullScreen": 1, "FullScreenRes": 3}})
        data, _ = self.vis("--module", 1, "--frames", 20)
        self.assertEqual(data["startResult"], 0)
        [window] = data["windows"]
        self.assertEqual(window["rect"], [0, 0, 640, 480])
        self.assertFalse(window["open"])
        screen = data["screen"]
        self.assertEqual((screen["beforeStart"], screen["lastFrame"], screen["afterStop"]),
                         ([1024, 768], [640, 480], [1024, 768]))
        # The Cube reads no settings: it runs windowed with the defaults.
        self.write_ini({"Cube": {"FullScreen": 1}, "Wave": {"FullScreen": 1}})
        data, _ = self.vis("--module", 3, "--frames", 5)
        self.assertEqual(data["screen"]["lastFrame"], [1024, 768])
        client = data["windows"][0]["client"]
        self.assertEqual((client[2] - client[0], client[3] - client[1]), (640, 480))


class NoOpenGl(FennickTest):
    def test_a_missing_library_is_named_once_and_frames_draw_nothing(self):
        cases = [("opengl32", "OpenGL32.dll"), ("glu32", "Glu32.dll")]
        for dll, name in cases:
            with self.subTest(missing=name):
                data, dumps = self.vis("--module", 2, "--frames", 30, "--do",
                                       "wait %s; dump; close" % ERROR_CAPTION,
                                       env=self.without(dll))
                self.assertEqual(data["startResult"], 0)
                self.assertEqual((data["framesRendered"], data["stopReason"]), (30, "frames"))
                self.assertEqual([w for w in data["windows"] if w["class"] == CLASS], [])
                [box] = dumps
                texts = [c["text"] for c in box["controls"]]
                self.assertIn('Unable to load "%s", please consult READMEGL.TXT' % name, texts)
                boxes = [w for w in data["windows"] if w["title"] == ERROR_CAPTION]
                self.assertLessEqual(len(boxes), 1)


class FailedWindow(FennickTest):
    def test_class_and_window_failures_leave_nothing_behind(self):
        cases = [
            # options, box text, start results of the restarts, our windows opened
            (["--hold-class", CLASS], "Error registering window class", None, 0),
            (["--refuse-window", CLASS], "Error creating window", None, 0),
            (["--refuse-window", CLASS, "--restarts", "1"], "Error creating window", [0], 1),
        ]
        for options, text, restarts, opened in cases:
            with self.subTest(options=options):
                data, dumps = self.vis("--module", 0, "--frames", 12, *options,
                                       "--do", "wait blah; dump; close")
                self.assertEqual(data["startResult"], 0)
                self.assertEqual((data["framesRendered"], data["stopReason"]), (12, "frames"))
                [box] = dumps
                self.assertIn(text, [c["text"] for c in box["controls"]])
                ours = [w for w in data["windows"] if w["class"] == CLASS]
                self.assertEqual(len(ours), opened)
                self.assertFalse(any(w["open"] for w in ours))
                if restarts is not None:
                    self.assertEqual(data["restarts"]["startResults"], restarts)

    def test_a_refused_full_screen_window_gives_the_display_back(self):
        self.write_ini({"Wave": {"FullScreen": 1, "FullScreenRes": 3}})
        data, dumps = self.vis("--module", 0, "--frames", 5, "--refuse-window", CLASS,
                               "--do", "wait blah; close")
        self.assertEqual(data["screen"]["lastFrame"], [1024, 768])
        self.assertEqual(data["screen"]["afterStop"], [1024, 768])


class Settings(FennickTest):
    def test_module_dialogs_show_their_controls_and_write_their_keys_in_order(self):
        cases = [
            (0, "3D Sound Wave Settings", "Wave",
             {1001: (1, 200), 1002: (1, 400)},
             {1003: ["Rotating", "Classic"], 1005: ["Left", "Right"],
              1010: ["Oscilloscope", "Spectrum"]},
             "trackbar 1001 120; trackbar 1002 300; check 1006 0; select 1003 1; "
             "select 1005 1; select 1010 1",
             [("RotSpeed", "120"), ("Dynamic", "0"), ("Mode", "1"), ("RotDir", "1"),
              ("Style", "1"), ("Sensitivity", "300"), ("Light0", "255"),
              ("Light1", "65280"), ("Light2", "16711680")]),
            (1, "3D Sound Block Settings", "Block",
             {1001: (4, 20), 1002: (1, 400), 1003: (1, 200)}, {},
             "trackbar 1001 20; trackbar 1002 7; trackbar 1003 199; check 1006 0",
             [("RotSpeed", "199"), ("Dynamic", "0"), ("Sensitivity", "7"), ("GridRes", "20"),
              ("Light0", "255"), ("Light1", "65280"), ("Light2", "16711680")]),
            (2, "3D Sound Tunnel Settings", "Tunnel",
             {1012: (1, 255), 1013: (1, 255), 1017: (1, 255), 1024: (1, 255), 1025: (1, 255),
              1006: (1, 255), 1027: (1, 255), 1026: (1, 90), 1029: (1, 400)}, {},
             "trackbar 1024 9; trackbar 1027 200; trackbar 1026 90; check 1028 1; check 1022 0",
             [("RotSpeed", "90"), ("Bright", "200"), ("Filter", "0"), ("Flares", "0"),
              ("Randomize", "1"), ("FlareSpeed", "100"), ("BassSensitivity", "9"),
              ("MiddleSensitivity", "20"), ("TrebleSensitivity", "20"),
              ("BassFlareSensitivity", "115"), ("MiddleFlareSensitivity", "185"),
              ("TrebleFlareSensitivity", "215"), ("BLight", "255"), ("MLight", "65280"),
              ("TLight", "16711680")]),
        ]
        for index, title, section, sliders, lists, edits, written in cases:
            with self.subTest(dialog=title):
                if os.path.exists(self.ini):
                    os.remove(self.ini)
                data, dumps = self.vis("--module", index, "--config", "--do",
                                       "wait %s; dump; %s; click 1004" % (title, edits))
                self.assertIsNone(data["startResult"])
                [dialog] = dumps
                controls = {c["id"]: c for c in dialog["controls"]}
                for ident, limits in sliders.items():
                    self.assertEqual(tuple(controls[ident]["range"]), limits, ident)
                for ident, items in lists.items():
                    self.assertEqual(controls[ident]["items"], items, ident)
                for ident in (1004, 1007, 1008, 1014, 1015, 1016, 1030, 1033):
                    self.assertIn(ident, controls)
                self.assertEqual(self.section(section), written)

    def test_reset_writes_the_defaults_and_cube_has_no_dialog(self):
        self.write_ini({"Block": {"GridRes": 13, "RotSpeed": 3, "Sensitivity": 9}})
        self.vis("--module", 1, "--config", "--do",
                 "wait 3D Sound Block Settings; click 1008; click 1004")
        self.assertEqual(dict(self.section("Block")),
                         {"GridRes": "8", "RotSpeed": "50", "Sensitivity": "100", "Dynamic": "1",
                          "Light0": "255", "Light1": "65280", "Light2": "16711680"})
        data, dumps = self.vis("--module", 3, "--config")
        self.assertEqual(dumps, [])
        self.assertFalse(os.path.exists(os.path.join(self.tmp, "Cube.pre")))

    def test_graphics_options_list_the_modes_and_write_four_keys(self):
        self.vis("--module", 0, "--config", "--do",
                 "wait 3D Sound Wave Settings; click 1030; wait Graphics Options; dump; "
                 "check 1019 1; select 1020 8; select 1003 1; select 1005 0; click 1004; "
                 "use 3D Sound Wave Settings; click 1004")
        section = self.section("Wave")
        self.assertEqual(section[:4], [("FullScreen", "1"), ("FullScreenRes", "8"),
                                       ("TextureMode", "1"), ("ShadeMode", "0")])

    def test_graphics_dialog_contents(self):
        _, dumps = self.vis("--module", 2, "--config", "--do",
                            "wait 3D Sound Tunnel Settings; click 1030; wait Graphics Options; "
                            "dump; click 1004; use 3D Sound Tunnel Settings; click 1004")
        graphics = {c["id"]: c for c in dumps[0]["controls"]}
        self.assertEqual(graphics[1020]["items"],
                         ["320x240", "400x300", "512x384", "640x480", "800x600", "960x720",
                          "1024x768", "1152x864", "1280x960", "1600x1200"])
        self.assertEqual(graphics[1020]["selected"], 3)
        self.assertEqual(graphics[1003]["items"], ["Off", "Low (no perspective)",
                                                   "Med (perspective)", "High (Bilinear)"])
        self.assertEqual(graphics[1005]["items"], ["Flat", "Smooth"])
        self.assertEqual(graphics[1019]["checked"], 0)

    def test_presets_save_show_load_and_refuse_an_empty_name(self):
        self.write_ini({"Wave": {"Mode": 1, "Sensitivity": 222}})
        # Save, close, move a slider, then load the preset back over it.
        script = ("wait 3D Sound Wave Settings; click 1033; wait Load and Save Preset Values; "
                  "select 1035 5; set 1036 Soft; click 1032; dump; click 1004; "
                  "use 3D Sound Wave Settings; trackbar 1002 5; "
                  "click 1033; wait Load and Save Preset Values; select 1035 5; "
                  "click 1017; wait; dump; close; use Load and Save Preset Values; "
                  "select 1035 6; set 1036; click 1032; click 1017; wait Error; dump; close; "
                  "use Load and Save Preset Values; click 1004; "
                  "use 3D Sound Wave Settings; click 1004")
        _, dumps = self.vis("--module", 0, "--config", "--do", script)
        presets, loaded, invalid = dumps
        rows = {c["id"]: c for c in presets["controls"]}[1035]["items"]
        self.assertEqual(len(rows), 100)
        self.assertEqual(rows[5], "Soft")
        self.assertEqual(rows[0], "1. New Preset")
        self.assertIn("Soft preset loaded", [c["text"] for c in loaded["controls"]])
        self.assertEqual(loaded["title"], "")
        self.assertEqual(invalid["title"], "Error")
        self.assertIn("Invalid Preset", [c["text"] for c in invalid["controls"]])
        pre = os.path.join(self.tmp, "Wave.pre")
        soft = read_ini(pre, "preset5")
        self.assertIsNotNone(soft, pre)
        self.assertEqual(list(soft), [
            "presetname", "LightColors[0]", "LightColors[1]", "LightColors[2]", "config_Mode",
            "config_RotDir", "config_RotSpeed", "config_Style", "config_Dynamic",
            "config_Sensitivity", "config_GridRes", "config_Bright", "config_Flares",
            "config_BassSens", "config_MidSens", "config_TrebSens", "config_BassFSens",
            "config_MidFSens", "config_TrebFSens", "config_Randomize", "config_FlareSpeed"])
        self.assertEqual((soft["presetname"], soft["config_Mode"], soft["config_Sensitivity"],
                          soft["config_GridRes"]), ("Soft", "1", "222", "8"))
        self.assertEqual(read_ini(pre, "preset6")["presetname"], "")
        self.assertIn(("Sensitivity", "222"), self.section("Wave"))

    def test_colour_chooser_opens_and_a_cancel_keeps_the_colour(self):
        _, dumps = self.vis("--module", 1, "--config", "--do",
                            "wait 3D Sound Block Settings; click 1015; wait; dump; close; "
                            "use 3D Sound Block Settings; click 1004")
        [chooser] = dumps
        self.assertEqual(chooser["title"], "Color")
        self.assertIn(("Light1", "65280"), self.section("Block"))


class HostileSettings(FennickTest):
    def test_out_of_range_values_are_limited_where_used(self):
        self.write_ini({"Block": {"GridRes": 0, "FullScreen": 1, "FullScreenRes": 99,
                                  "TextureMode": -4, "Sensitivity": -2147483648}})
        data, _ = self.vis("--module", 1, "--frames", 30)
        self.assertEqual((data["startResult"], data["framesRendered"]), (0, 30))
        # 99 asks for the last mode, 1600 x 1200, which this display refuses:
        # the maximised pop-up covers the unchanged desktop.
        [window] = data["windows"]
        self.assertEqual(window["rect"], [0, 0, 1024, 768])


if __name__ == "__main__":
    main()
