"""testhost vis drives a visualization module like the player: host fields
before start, rows only of the kinds the module asks for, the result rules of
start and render, the module's windows and keys, settings, and screenshots
in which the signal shows."""

import json
import os

from jktest import BIN_DIR, main, run_windows, testhost
from visprobe import ProbeTest, read_bmp


TESTHOST = os.path.join(BIN_DIR, "testhost.exe")


def dumps(out):
    """The windows that a script's dump printed, in order."""
    return [json.loads(l[len("window "):]) for l in out.splitlines() if l.startswith("window ")]


class VisTest(ProbeTest):
    def vis(self, name, *args):
        rc, data, err = testhost("vis", self.probes.path(name), *args)
        self.assertIsNotNone(data, err)
        self.assertEqual(rc, 0, err)
        return data

    def test_info_lists_modules_and_their_values(self):
        self.probes.add("p", modules=4, latency=7, delay=40, spectrumChannels=1,
                        waveformChannels=0)
        rc, data, err = testhost("info", self.probes.path("p"))
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["kind"], "vis")
        self.assertEqual(data["abiVersion"], 0x101)
        self.assertEqual(data["modules"], ["Probe p #%d" % i for i in range(4)])
        self.assertEqual(data["moduleValues"][3], {
            "frameLatencyMs": 7, "frameDelayMs": 40, "spectrumChannels": 1,
            "waveformChannels": 0, "ownerData": 0})
        self.assertTrue(data["negativeIndexGivesNull"])
        self.assertTrue(data["sameRecordEachCall"])

    def test_host_fields_and_rows_per_channel_counts(self):
        cases = [(0, 1), (2, 0), (1, 2), (0, 0)]
        for spectrum, waveform in cases:
            with self.subTest(spectrum=spectrum, waveform=waveform):
                name = "p%d%d" % (spectrum, waveform)
                self.probes.add(name, spectrumChannels=spectrum, waveformChannels=waveform,
                                window=0)
                data = self.vis(name, "--module", "0", "--frames", "3", "--rate", "22050",
                                "--channels", "1", "--signal", "noise")
                calls = self.probes.calls(name)
                self.assertEqual([c["op"] for c in calls], ["start"] + ["render"] * 3 + ["stop"])
                for c in calls:
                    self.assertEqual(c["hostWindow"], data["hostWindow"])
                    self.assertTrue(c["ownInstance"])
                    self.assertEqual((c["rateHz"], c["channelCount"]), (22050, 1))
                # Rows come before each frame only, and only of the kinds asked for.
                self.assertEqual(calls[0]["spectrum"] + calls[0]["waveform"], [False] * 4)
                for c in calls[1:4]:
                    self.assertEqual(c["spectrum"], [spectrum > 0] * 2)
                    self.assertEqual(c["waveform"], [waveform > 0] * 2)

    def test_start_and_render_results(self):
        cases = [
            # settings, frames asked, renders, stops, reason
            ({"startResult": 1}, 5, 0, 0, "startFailed"),
            ({"startResult": -7}, 5, 0, 0, "startFailed"),
            ({"stopAfter": 3}, 10, 3, 1, "renderFrame"),
            ({}, 4, 4, 1, "frames"),
        ]
        for i, (settings, frames, renders, stops, reason) in enumerate(cases):
            with self.subTest(settings=settings):
                name = "r%d" % i
                self.probes.add(name, **settings)
                data = self.vis(name, "--frames", str(frames))
                ops = [c["op"] for c in self.probes.calls(name)]
                self.assertEqual(ops, ["start"] + ["render"] * renders + ["stop"] * stops)
                self.assertEqual(data["stopReason"], reason)
                self.assertEqual(data["framesRendered"], renders)
                self.assertEqual(data["stopCalls"], stops)
                self.assertEqual(self.probes.ops(name)[-1], "unload")

    def test_screenshot_shows_the_signal(self):
        self.probes.add("draw", x=10, y=10)
        shot = os.path.join(self.tmp, "probe.bmp")
        data = self.vis("draw", "--frames", "6", "--signal", "sine:1000", "--shot", shot)
        self.assertEqual(data["screenshots"], [shot])
        window = data["windows"][0]
        self.assertEqual(window["title"], "Probe draw #0")
        self.assertTrue(window["ownedByHost"])
        self.assertFalse(window["open"])  # stopModule closed it
        # The client area holds the picture, inside the frame.
        client, rect = window["client"], window["rect"]
        self.assertEqual((client[2] - client[0], client[3] - client[1]), (576, 256))
        self.assertTrue(rect[0] <= client[0] and rect[1] <= client[1]
                        and client[2] <= rect[2] and client[3] <= rect[3])
        width, height, rows = read_bmp(shot)
        self.assertEqual((width, height), (window["rect"][2] - window["rect"][0],
                                           window["rect"][3] - window["rect"][1]))
        # The picture's top left corner: its spectrum bars sit on the line
        # 127 pixels down, in green; 1000 Hz at 44100 Hz is column 26.
        top = height - 256 - (width - 576) // 2
        left = (width - 576) // 2

        def bar_height(column):
            return sum(1 for y in range(128) if rows[top + y][left + column][1] > 100
                       and rows[top + y][left + column][0] < 100)

        self.assertGreater(bar_height(26), 100)
        self.assertEqual(bar_height(300), 0)
        # The waveform (yellow) swings through most of the lower half.
        trace = [y for y in range(128, 256) for x in range(576)
                 if rows[top + y][left + x][0] > 200 and rows[top + y][left + x][1] > 200]
        self.assertLess(min(trace), 150)
        self.assertGreater(max(trace), 235)

    def test_numbered_screenshots(self):
        self.probes.add("n", window=1, stopAfter=5)
        shot = os.path.join(self.tmp, "n.png")
        data = self.vis("n", "--frames", "10", "--shot", shot, "--shot-every", "2")
        expected = [os.path.join(self.tmp, "n-%04d.png" % i) for i in (2, 4, 5)]
        self.assertEqual(data["screenshots"], expected)
        for path in expected:
            with open(path, "rb") as f:
                self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")

    def test_keys_reach_the_host_window(self):
        self.probes.add("k", delay=20)
        rc, out, err = run_windows(TESTHOST, "vis", self.probes.path("k"), "--frames", "50",
                                   "--realtime", "--host-title", "Jukora under test", "--do",
                                   "wait Probe k #0; key 0 70; use Jukora under test; dump; "
                                   "send 273 40045 0; post 273 40046 0")
        self.assertEqual(rc, 0, err)
        data = json.loads(out.splitlines()[-1])
        # The module window posts the keys on.
        posted = dict(zip(map(tuple, data["hostMessages"]), data["hostMessagesPosted"]))
        self.assertEqual(posted, {(256, 70, 1): True, (257, 70, 1 | 0xC0000000): True,
                                  (273, 40045, 0): False, (273, 40046, 0): True})
        [host] = dumps(out)
        self.assertEqual(host["class"], "JukoraVisTestHost")
        # The screen keeps the desktop's size throughout.
        screen = data["screen"]
        self.assertEqual(screen["beforeStart"], screen["lastFrame"])
        self.assertEqual(screen["beforeStart"], screen["afterStop"])
        self.assertTrue(screen["beforeStart"][0] > 0 and screen["beforeStart"][1] > 0)

    def test_mouse_and_pop_up_menu(self):
        # The menu is worked with keys: Down three times passes the disabled
        # title and the separator and lands on "Radio".
        self.probes.add("m", delay=20)
        script = ("wait Probe m #0; mouse left 10 20; mouse double 30 40; mouse move 5 6; "
                  "mouse right 50 60; wait; dump; key 0 40; key 0 40; key 0 40; key 0 13")
        rc, out, err = run_windows(TESTHOST, "vis", self.probes.path("m"), "--frames", "300",
                                   "--realtime", "--do", script)
        self.assertEqual(rc, 0, err)
        data = json.loads(out.splitlines()[-1])
        client = data["windows"][0]["client"]
        mouse = [e for e in self.probes.log("m") if e["op"] == "mouse"]
        buttons = [(e["message"], e["keys"], e["at"]) for e in mouse if e["message"] != 0x200]
        self.assertEqual(buttons[:7], [
            (0x201, 1, [10, 20]), (0x202, 0, [10, 20]),
            (0x201, 1, [30, 40]), (0x202, 0, [30, 40]), (0x203, 1, [30, 40]), (0x202, 0, [30, 40]),
            (0x204, 2, [50, 60])])
        for e in mouse:
            if e["message"] != 0x200:
                self.assertEqual(e["cursor"], [client[0] + e["at"][0], client[1] + e["at"][1]])
        self.assertIn([5, 6], [e["at"] for e in mouse if e["message"] == 0x200])
        [menu] = dumps(out)
        self.assertEqual(menu["class"], "#32768")
        self.assertEqual(menu["rect"][:2], [client[0] + 50, client[1] + 60])
        item = {"checked": False, "radio": False, "disabled": False, "separator": False}
        menu["menu"][1]["disabled"] = False  # whether a separator counts as disabled varies
        self.assertEqual(menu["menu"], [
            dict(item, text="Title", id=1, disabled=True),
            dict(item, text="", id=0, separator=True),
            dict(item, text="Checked", id=2, checked=True),
            dict(item, text="Radio", id=3, checked=True, radio=True),
            dict(item, text="Plain", id=4),
            dict(item, text="More", id=menu["menu"][5]["id"],
                 items=[dict(item, text="Inner", id=5, checked=True, radio=True)])])
        self.assertEqual([e["command"] for e in self.probes.log("m") if e["op"] == "menu"], [3])

    def test_drag_drop_messages_and_setpos(self):
        self.probes.add("d", delay=20)
        script = ("wait Probe d #0; drag 10 10 50 30; drop C:\\a.mp3 Z:\\b.lbs; "
                  "post 0x407 7 9; send 1031 8 -1; setpos 100 120 0 0 1; sleep 200")
        data = self.vis("d", "--frames", "300", "--realtime", "--do", script)
        log = self.probes.log("d")
        held = [e for e in log if e["op"] == "mouse" and e["message"] != 0x200 or
                e["op"] == "mouse" and e["keys"] == 1]
        self.assertEqual((held[0]["message"], held[0]["at"]), (0x201, [10, 10]))
        self.assertEqual([e["message"] for e in held[1:]], [0x200] * 8 + [0x202])
        self.assertEqual([e["at"] for e in held[-2:]], [[50, 30], [50, 30]])
        # The cursor goes along; the window stood at (0, 0) before setpos moved it.
        rect, client = data["windows"][0]["rect"], data["windows"][0]["client"]
        for e in held:
            self.assertEqual(e["cursor"], [client[0] - rect[0] + e["at"][0],
                                           client[1] - rect[1] + e["at"][1]])
        self.assertEqual([e["files"] for e in log if e["op"] == "drop"],
                         [["C:\\a.mp3", "Z:\\b.lbs"]])
        self.assertEqual([(e["wParam"], e["lParam"], e["sent"]) for e in log if e["op"] == "user"],
                         [(7, 9, False), (8, -1, True)])
        self.assertEqual(rect[:2], [100, 120])
        self.assertEqual((rect[2] - rect[0], rect[3] - rect[1]), (582, 281))

    def test_pause_and_regions(self):
        # A key from the script lands in the pause after the first frame,
        # which serves the windows without frames.
        for region, expected in ((0, None), (1, [[0, 0, 100, 50], [0, 50, 50, 100]])):
            with self.subTest(region=region):
                name = "p%d" % region
                self.probes.add(name, region=region)
                data = self.vis(name, "--frames", "3", "--pause", "1:3000", "--do",
                                "wait Probe %s #0; key 0 70" % name)
                events = [e["op"] for e in self.probes.log(name) if e["op"] in ("render", "key")]
                self.assertEqual(events, ["render", "key", "key", "render", "render"])
                self.assertEqual(data["windows"][0]["region"], expected)

    def test_player_answers_and_windows(self):
        skins = "C:\\Skins\\" + "s" * 300  # longer than the asker's buffer
        cases = [
            # options, script, answers at start, at stop
            ([], "", dict(play=0, pos=0, len=0, index=0, count=0, title="", skins="",
                          editor=False, equalizer=False), None),
            (["--player", "play=1,pos=1500,len=200,index=3,count=9,title=A B,skins=" + skins,
              "--player-windows"],
             "wait Probe q1 #0; player title=Next song,skins=D:\\x",
             dict(play=1, pos=1500, len=200, index=3, count=9, title="A B", skins=skins[:200],
                  editor=True, equalizer=True),
             dict(pos=7000, title="Next song", skins="D:\\x")),
        ]
        for i, (options, script, start, stop) in enumerate(cases):
            with self.subTest(options=options):
                name = "q%d" % i
                self.probes.add(name, queries=1)
                args = ["--frames", "300", "--realtime", *options]
                data = self.vis(name, *args, *(["--do", script] if script else []))
                [at_start, at_stop] = [e for e in self.probes.log(name) if e["op"] == "player"]
                del at_start["op"], at_stop["op"], at_start["when"], at_stop["when"]
                self.assertEqual(at_start, start)
                self.assertEqual(at_stop, dict(start, **stop) if stop else start)
                self.assertEqual(len(data["windows"]), 1)  # the player's own are not the module's

    def test_restarts_and_failed_starts(self):
        cases = [
            # options, first start result, the restarts' results
            (["--restarts", "3"], 0, [0, 0, 0]),
            (["--hold-class", "JkVisProbe", "--restarts", "1"], 1, [0]),
            (["--refuse-window", "JkVisProbe", "--restarts", "2"], 1, [0, 0]),
            (["--refuse-window", "Edit"], 0, None),
        ]
        for i, (options, first, restarts) in enumerate(cases):
            with self.subTest(options=options):
                name = "f%d" % i
                self.probes.add(name, window=1)
                shot = os.path.join(self.tmp, name + ".png")
                data = self.vis(name, "--frames", "4", "--shot", shot, "--shot-every", "2",
                                *options)
                self.assertEqual(data["startResult"], first)
                self.assertEqual(data["violations"], [])
                if first == 0:
                    self.assertEqual(data["framesRendered"], 4)
                    self.assertIsNotNone(data["screen"]["lastFrame"])
                else:
                    self.assertEqual(data["stopReason"], "startFailed")
                    self.assertIsNone(data["screen"]["lastFrame"])
                if restarts is None:
                    self.assertNotIn("restarts", data)
                    rounds = [first]
                else:
                    self.assertEqual(data["restarts"]["count"], len(restarts))
                    self.assertEqual(data["restarts"]["startResults"], restarts)
                    for key in ("nextHandle", "memoryBytes"):
                        self.assertEqual(len(data["restarts"][key]), 2)
                        self.assertGreater(data["restarts"][key][0], 0)
                    rounds = [first] + restarts
                # Each round starts, renders the same frames and stops; a failed
                # start is not stopped.
                expected = []
                for result in rounds:
                    expected += ["start"] + (["render"] * 4 + ["stop"] if result == 0 else [])
                calls = self.probes.calls(name)
                self.assertEqual([c["op"] for c in calls], expected)
                firsts = [c["spectrumFirst"] for c in calls if c["op"] == "render"]
                self.assertEqual(firsts, firsts[:4] * (len(firsts) // 4))
                # Screenshots only of the last round.
                self.assertEqual(data["screenshots"],
                                 [os.path.join(self.tmp, "%s-%04d.png" % (name, k))
                                  for k in (2, 4)])

    def test_keys_at_frames_and_render_times(self):
        self.probes.add("ka")
        shot = os.path.join(self.tmp, "ka.bmp")
        data = self.vis("ka", "--frames", "6", "--key-at", "2:70", "--key-at", "5:72",
                        "--key-at", "2:71", "--shot", shot, "--shot-every", "2")
        # Each key lands right after its frame, before the next one.
        events = [e["op"] if e["op"] != "key" else (e["message"], e["vk"])
                  for e in self.probes.log("ka") if e["op"] in ("render", "key")]
        keys = lambda *vks: [(m, vk) for vk in vks for m in (256, 257)]
        self.assertEqual(events, ["render"] * 2 + keys(70, 71) + ["render"] * 3 + keys(72)
                         + ["render"])
        self.assertIn([257, 72, 0xC0000001], data["hostMessages"])
        # Render times: reported, never judged.
        ms = data["renderMs"]
        self.assertTrue(0 <= ms["mean"] <= ms["max"] <= ms["total"])
        self.assertAlmostEqual(ms["mean"] * 6, ms["total"], delta=0.01)  # printed rounded

    def test_a_key_at_a_frame_that_quits_ends_the_frames(self):
        # The module quits on its key as on Escape: no frame after that one,
        # then the one stop, as when the quit comes while frames are served.
        self.probes.add("q", quitKey=27)
        data = self.vis("q", "--frames", "10", "--key-at", "3:70", "--key-at", "3:27")
        self.assertEqual((data["stopReason"], data["framesRendered"]), ("quit", 3))
        self.assertEqual(data["stopCalls"], 1)
        self.assertEqual([c["op"] for c in self.probes.calls("q")],
                         ["start"] + ["render"] * 3 + ["stop"])

    def test_settings_window_and_environment(self):
        # The controls sit in a page inside the window, which gets their notifications.
        self.probes.add("w", window=0, settings=1)
        rc, out, err = run_windows(
            TESTHOST, "vis", self.probes.path("w"), "--config", "--do",
            "wait Probe settings; select 204 2; check 203 1; trackbar 202 7; dump; close",
            env={"JK_PROBE_NOTE": "from the test"})
        self.assertEqual(rc, 0, err)
        [window] = dumps(out)
        controls = {c["id"]: c for c in window["controls"]}
        self.assertEqual((controls[200]["text"], controls[201]["class"]), ("4", "msctls_updown32"))
        self.assertEqual((controls[201]["position"], controls[201]["range"]), (4, [1, 9]))
        self.assertEqual((controls[300]["tabs"], controls[300]["selected"]), (["First", "Second"], 0))
        self.assertEqual((controls[202]["position"], controls[203]["checked"]), (7, 1))
        self.assertEqual(controls[204]["selected"], 2)
        notes = [(e["message"], e["id"], e["code"]) for e in self.probes.log("w")
                 if e["op"] == "notify" and e["id"] != 200]
        self.assertEqual(notes, [(273, 204, 1), (273, 203, 0), (276, 202, 4), (276, 202, 8)])
        self.assertEqual(self.probes.log("w")[0], {"op": "load", "note": "from the test"})

    def test_settings_and_a_second_stop(self):
        self.probes.add("s", window=0)
        data = self.vis("s", "--config")
        self.assertIsNone(data["startResult"])
        [call] = self.probes.calls("s")
        self.assertEqual(call["op"], "settings")
        self.assertEqual(call["hostWindow"], data["hostWindow"])
        self.assertTrue(call["ownInstance"])
        data = self.vis("s", "--config", "--frames", "2", "--stop-twice")
        self.assertEqual(data["stopCalls"], 2)
        self.assertEqual([c["op"] for c in self.probes.calls("s")][1:],
                         ["settings", "start", "render", "render", "stop", "stop"])

    def test_bad_arguments(self):
        self.probes.add("b")
        rc, _, _ = testhost("vis", self.probes.path("b"), "--module", "1")
        self.assertEqual(rc, 1)
        for option in (["--signal", "sine:x"], ["--key-at", "3"], ["--key-at", "0:70"],
                       ["--key-at", "2:70x"], ["--restarts", "-1"], ["--pause", "1"],
                       ["--pause", "1:-5"], ["--timeout", "0"],
                       ["--player", "volume=3"], ["--player", "pos=x"]):
            rc, _, _ = testhost("vis", self.probes.path("b"), *option)
            self.assertEqual(rc, 2, option)

    def test_message_boxes_left_open_are_errors(self):
        # One holds startModule until the time limit presses its button, one
        # on a thread of the plug-in's own is still open when the run ends.
        box = 'the message box "Probe box": "A box that nobody clicks" '
        cases = [(1, "was still open at the time limit", True),
                 (2, "is still open at the end of the run", False)]
        for kind, when, timed_out in cases:
            with self.subTest(box=kind):
                name = "box%d" % kind
                self.probes.add(name, box=kind, window=0)
                rc, data, err = testhost("vis", self.probes.path(name), "--frames", "3",
                                         "--timeout", "15")
                self.assertEqual(rc, 1, err)
                self.assertEqual((data["startResult"], data["timedOut"]), (0, timed_out))
                self.assertEqual(data["errors"], [box + when])
                self.assertIn(box + when, err)

    def test_time_limit_ends_yarnot_held_by_its_box(self):
        # Started where its default texture, bump.BMP, is not, Yarnot shows a
        # box from startModule that nobody clicks.
        dll = self.copy_deliverable("yarnot.dll")
        rc, data, err = testhost("vis", dll, "--module", "3", "--frames", "5", "--timeout", "15",
                                 cwd=self.tmp)
        self.assertEqual(rc, 1, err)
        self.assertEqual((data["startResult"], data["stopReason"], data["timedOut"]),
                         (1, "startFailed", True))
        self.assertEqual(data["errors"], [
            'the message box "Dremlow Message": "Error opening image file:\n\"bump.BMP\"" '
            "was still open at the time limit"])


if __name__ == "__main__":
    main()
