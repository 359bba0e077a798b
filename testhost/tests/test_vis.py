"""testhost vis drives a visualization module like the player: host fields
before start, rows only of the kinds the module asks for, the result rules of
start and render, the module's windows and keys, settings, and screenshots
in which the signal shows."""

import os

from jktest import main, testhost
from visprobe import ProbeTest, read_bmp


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
        data = self.vis("k", "--frames", "50", "--realtime", "--do", "wait Probe k #0; key 0 70")
        self.assertIn([256, 70, 1], data["hostMessages"])
        self.assertIn([257, 70, 1 | 0xC0000000], data["hostMessages"])

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
        rc, _, _ = testhost("vis", self.probes.path("b"), "--signal", "sine:x")
        self.assertEqual(rc, 2)


if __name__ == "__main__":
    main()
