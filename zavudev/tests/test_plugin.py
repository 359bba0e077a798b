"""zavudev under the stand-in player: its records, both modules' windows on
a sine and on beats, the picture pixel for pixel against the core, grey
turning to colour on the first beat, the speed menu, keys, the window's place
in plugin.ini (also hostile values there), the module list box, failed starts
and fifty restarts, a window the user closes, and both modules as children of
Morsk beside a probe."""

import json
import os

from jktest import BIN_DIR, main, run_windows, testhost
from visprobe import ProbeTest, read_bmp, read_ini, win_path, write_burst_wav, write_mux_ini

MODULES = ["wake up", "dezo zaz iru"]
CHECK = os.path.join(BIN_DIR, "zavudev_core_check.exe")
TESTHOST = os.path.join(BIN_DIR, "testhost.exe")
WIDTH, HEIGHT = 320, 192


class ZavudevTest(ProbeTest):
    def setUp(self):
        super().setUp()
        self.dll = self.copy_deliverable("zavudev.dll")
        self.ini = os.path.join(self.tmp, "plugin.ini")
        # Quiet bursts: the core rates them between 0.25 and 0.45.
        self.beats = write_burst_wav(os.path.join(self.tmp, "beats.wav"), amplitude=0.03)

    def vis(self, module, *args):
        rc, data, err = testhost("vis", self.dll, "--module", str(module), *args)
        self.assertIsNotNone(data, err)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["violations"], [])
        return data

    def core(self, *args):
        rc, out, err = run_windows(CHECK, *args)
        self.assertEqual(rc, 0, err)
        return out

    def levels(self, signal, frames):
        return json.loads(self.core("levels", win_path(signal), frames))

    def client_area(self, shot, data):
        """The module window's client area in a screenshot of that window."""
        [window] = [w for w in data["windows"] if w["class"] == "zzzz"]
        _, _, rows = read_bmp(shot)
        left = window["client"][0] - window["rect"][0]
        top = window["client"][1] - window["rect"][1]
        return [row[left:left + WIDTH] for row in rows[top:top + HEIGHT]]

    def run_script(self, module, *args):
        """testhost vis with a window script: (JSON, the dumped windows)."""
        rc, out, err = run_windows(TESTHOST, "vis", self.dll, "--module", str(module), *args)
        self.assertEqual(rc, 0, err)
        data = json.loads(out.splitlines()[-1])
        self.assertEqual(data["violations"], [])
        dumps = [json.loads(l[len("window "):]) for l in out.splitlines()
                 if l.startswith("window ")]
        return data, dumps

    def test_speed_menu(self):
        # Bursts from 1.5 s on, which the core rates above the default 0.25
        # and below 0.6.
        beats = write_burst_wav(os.path.join(self.tmp, "late.wav"), seconds=10, first=1.5,
                                amplitude=0.03)
        levels = self.levels(beats, 250)
        self.assertTrue(0.25 < max(levels) < 0.6, max(levels))
        self.assertGreater(next(n for n, l in enumerate(levels) if l > 0.25), 60)
        plain = {"checked": False, "radio": False, "disabled": False, "separator": False}
        items = ([dict(plain, text="speed", id=0), dict(plain, text="", id=0, separator=True)] +
                 [dict(plain, text=str(n), id=n) for n in range(1, 7)])
        down, enter, escape = "key 0 40", "key 0 13", "key 0 27"
        for name, keys, coloured in (("six", [down] * 7 + [enter], False),
                                     ("escape", [escape], True),
                                     ("title", [down, enter], True)):
            with self.subTest(choice=name):
                shot = os.path.join(self.tmp, name + ".bmp")
                data, [menu] = self.run_script(
                    0, "--frames", "250", "--realtime", "--signal", beats, "--shot", shot,
                    "--do", "; ".join(["wait wake up", "mouse right 30 40", "wait", "dump"] + keys))
                client = data["windows"][0]["client"]
                self.assertEqual(menu["class"], "#32768")
                self.assertEqual(menu["rect"][:2], [client[0] + 30, client[1] + 40])
                menu["menu"][1]["disabled"] = False  # a separator may count as disabled
                self.assertEqual(menu["menu"], items)
                grey = all(r == g == b for row in self.client_area(shot, data)
                           for r, g, b in row)
                self.assertEqual(grey, not coloured)

    def test_failed_starts(self):
        for options, text, restarts in (
                (["--hold-class", "zzzz"], "Error registering window class", None),
                (["--refuse-window", "zzzz", "--restarts", "1"], "Error creating window", [0])):
            with self.subTest(options=options):
                data, [box] = self.run_script(0, "--frames", "5", *options,
                                              "--do", "wait Error; dump; close")
                self.assertEqual(box["title"], "Error")
                self.assertIn(text, [c.get("text") for c in box["controls"]])
                self.assertEqual((data["startResult"], data["stopReason"]), (1, "startFailed"))
                if restarts is None:
                    self.assertNotIn("zzzz", [w["class"] for w in data["windows"]])
                else:
                    # The class was let go: the next round registers it again.
                    self.assertEqual(data["restarts"]["startResults"], restarts)

    def test_restarts_hold_nothing(self):
        for module in (0, 1):
            with self.subTest(module=MODULES[module]):
                data = self.vis(module, "--frames", "3", "--restarts", "50")
                self.assertEqual(data["restarts"]["startResults"], [0] * 50)
                handles = data["restarts"]["nextHandle"]
                self.assertEqual(handles[0], handles[1])
                memory = data["restarts"]["memoryBytes"]
                self.assertLess(memory[1] - memory[0], 512 * 1024)

    def test_records(self):
        rc, data, err = testhost("info", self.dll)
        self.assertEqual(rc, 0, err)
        self.assertEqual((data["kind"], data["abiVersion"], data["displayName"]),
                         ("vis", 256, "dezo zaz iru v1"))
        self.assertEqual(data["modules"], MODULES)
        for values in data["moduleValues"]:
            self.assertEqual(values, {"frameLatencyMs": 30, "frameDelayMs": 30,
                                      "spectrumChannels": 2, "waveformChannels": 0,
                                      "ownerData": 0})
        self.assertTrue(data["negativeIndexGivesNull"])
        self.assertTrue(data["sameRecordEachCall"])

    def test_each_module_on_a_sine_and_on_beats(self):
        for module, name in enumerate(MODULES):
            for signal in ("sine:440", self.beats):
                with self.subTest(module=name, signal=os.path.basename(signal)):
                    shot = os.path.join(self.tmp, "m%d-%s.png" % (module, os.path.basename(signal)))
                    data = self.vis(module, "--frames", "300", "--signal", signal, "--shot", shot)
                    self.assertEqual((data["startResult"], data["stopReason"]), (0, "frames"))
                    self.assertEqual(data["framesRendered"], 300)
                    [window] = data["windows"]
                    self.assertEqual((window["title"], window["class"]), (name, "zzzz"))
                    self.assertTrue(window["ownedByHost"])
                    self.assertFalse(window["open"])
                    self.assertEqual(window["rect"][:2], [50, 50])
                    client = window["client"]
                    self.assertEqual((client[2] - client[0], client[3] - client[1]),
                                     (WIDTH, HEIGHT))

    def test_picture_matches_the_core_pixel_for_pixel(self):
        for module, name in enumerate(MODULES):
            with self.subTest(module=name):
                shot = os.path.join(self.tmp, "silence%d.bmp" % module)
                data = self.vis(module, "--signal", "silence", "--frames", "10", "--shot", shot)
                expected = os.path.join(self.tmp, "core%d.bin" % module)
                self.core("picture", module, 10, win_path(expected))
                with open(expected, "rb") as f:
                    raw = f.read()
                self.assertEqual(len(raw), WIDTH * HEIGHT + 1024)
                table = [(raw[WIDTH * HEIGHT + 4 * i + 2], raw[WIDTH * HEIGHT + 4 * i + 1],
                          raw[WIDTH * HEIGHT + 4 * i]) for i in range(256)]
                client = self.client_area(shot, data)
                mismatches = 0
                for y in range(HEIGHT):
                    stored = (HEIGHT - 1 - y) * WIDTH  # the picture is stored bottom-up
                    for x in range(WIDTH):
                        mismatches += client[y][x] != table[raw[stored + x]]
                self.assertEqual(mismatches, 0)
                # Silence: no beat, so the table is still the grey ramp.
                self.assertEqual(table, [(i, i, i) for i in range(256)])

    def test_wake_up_turns_from_grey_to_colour_at_the_first_beat(self):
        levels = self.levels(self.beats, 60)
        first = next(n for n, level in enumerate(levels) if level > 0.25)
        self.assertGreater(first, 5)

        def grey(frames):
            shot = os.path.join(self.tmp, "beat%d.bmp" % frames)
            data = self.vis(0, "--signal", self.beats, "--frames", str(frames), "--shot", shot)
            return all(r == g == b for row in self.client_area(shot, data) for r, g, b in row)

        self.assertTrue(grey(first))
        self.assertFalse(grey(first + 1))

    def test_keys_go_on_to_the_player(self):
        data = self.vis(0, "--frames", "60", "--realtime", "--do", "wait wake up; key 0 70")
        self.assertIn([256, 70, 1], data["hostMessages"])
        self.assertIn([257, 70, 1 | 0xC0000000], data["hostMessages"])

    def test_window_place_is_kept_beside_the_library(self):
        with open(self.ini, "w", newline="\r\n") as f:
            f.write("[Visualization Mux]\nREDO_ZODODEZ=1\nVis1=x.dll\n")
        self.vis(0, "--frames", "60", "--realtime", "--do", "wait wake up; move 200 150")
        self.assertEqual(read_ini(self.ini, "wake up"), {"screen_x": "200", "screen_y": "150"})
        self.assertEqual(read_ini(self.ini, "Visualization Mux"),
                         {"REDO_ZODODEZ": "1", "Vis1": "x.dll"})
        # The next window opens there, and no run moves it.
        for _ in range(2):
            data = self.vis(0, "--frames", "3")
            self.assertEqual(data["windows"][0]["rect"][:2], [200, 150])
            self.assertEqual(read_ini(self.ini, "wake up"), {"screen_x": "200", "screen_y": "150"})
        # The other module keeps its own place.
        data = self.vis(1, "--frames", "3")
        self.assertEqual(data["windows"][0]["rect"][:2], [50, 50])
        self.assertEqual(read_ini(self.ini, "dezo zaz iru"), {"screen_x": "50", "screen_y": "50"})

    def test_hostile_window_places(self):
        for x, y in (("abc", "1x"), ("-40", "-2147483648"), ("2147483647", "2147483647"),
                     ("", "99999999999999")):
            with self.subTest(x=x, y=y):
                with open(self.ini, "w", newline="\r\n") as f:
                    f.write("[wake up]\nscreen_x=%s\nscreen_y=%s\n" % (x, y))
                data = self.vis(0, "--frames", "5")
                self.assertEqual((data["startResult"], data["stopReason"]), (0, "frames"))
                self.assertFalse(data["windows"][0]["open"])

    def test_module_list_box(self):
        data, [dump] = self.run_script(1, "--config", "--do", "wait dezo zaz iru; dump; close")
        self.assertIsNone(data["startResult"])
        self.assertEqual(dump["title"], "dezo zaz iru")
        texts = [c.get("text", "") for c in dump["controls"]]
        self.assertTrue(any(t.startswith("modules:\n wake up\n dezo zaz iru\n\n") for t in texts),
                        texts)

    def test_window_closed_by_the_user(self):
        data = self.vis(0, "--frames", "300", "--realtime", "--do", "wait wake up; close")
        self.assertEqual(data["stopReason"], "quit")
        self.assertLess(data["framesRendered"], 300)
        self.assertEqual(data["stopCalls"], 1)
        self.assertEqual(read_ini(self.ini, "wake up"), {"screen_x": "50", "screen_y": "50"})

    def test_under_morsk_beside_a_probe(self):
        morsk = self.copy_deliverable("morsk.dll")
        probe = self.probes.add("p", x=500, y=10)
        for module, name in enumerate(MODULES):
            with self.subTest(module=name):
                log = os.path.join(self.tmp, "p.log")
                if os.path.exists(log):
                    os.remove(log)
                write_mux_ini(self.ini, (self.dll, module), (probe, 0))
                rc, data, err = testhost("vis", morsk, "--frames", "100", "--signal", self.beats)
                self.assertEqual(rc, 0, err)
                self.assertEqual(data["violations"], [])
                self.assertEqual((data["startResult"], data["stopReason"]), (0, "frames"))
                self.assertEqual(self.probes.ops("p"),
                                 ["load", "start"] + ["render"] * 100 + ["stop", "unload"])
                titles = sorted((w["title"], w["class"], w["open"]) for w in data["windows"])
                self.assertIn((name, "zzzz", False), titles)
                self.assertEqual(len(titles), 2)
                self.assertEqual(read_ini(self.ini, "Visualization Mux")["Vis1"], win_path(self.dll))
                self.assertEqual(read_ini(self.ini, name), {"screen_x": "50", "screen_y": "50"})


if __name__ == "__main__":
    main()
