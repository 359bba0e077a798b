"""Sabrith's pixels on screen under the stand-in player: the bars' window
shows exactly the picture that the window model computes for the same rows;
Clear Screen blanks the picture; the gain set on the property sheet's Amp
page is the one the next frames draw with."""

import os

from jktest import BIN_DIR, main, run_windows
from sabrith_run import MODULE, SHEET, SabrithRun, lit, size
from visprobe import read_bmp

PICTURE = os.path.join(BIN_DIR, "sabrith_window_picture.exe")


class SabrithPixelTest(SabrithRun):
    def settle(self, settings):
        """Writes {"Section/Name": number} into the registry."""
        for name, value in settings.items():
            self.set_value(*name.split("/"), value)

    def test_window_shows_the_models_picture(self):
        # Diamond bars with blurred trails (the blur's moving grid must be in
        # step too), and stereo bars with plain fading trails and peaks.
        # Both sides read the settings from a store that holds only these.
        cases = {
            "diamond": {"Lumbrin/LinAmp": 40, "RurizirudoviV/Mono": 2, "RurizirudoviV/Blur": 1,
                        "RurizirudoviV/Fade": 24, "RurizirudoviV/DropOff": 1200,
                        "RurizirudoviV/MaxFreq": 40, "RurizirudoviV/Peaks": 1},
            "stereo": {"RurizirudoviV/Mono": 1, "RurizirudoviV/Blur": 0,
                       "RurizirudoviV/Fade": 16, "RurizirudoviV/BarWidth": 3,
                       "RurizirudoviV/HorizSpacing": 1, "RurizirudoviV/MaxFreq": 40,
                       "RurizirudoviV/Peaks": 1},
        }
        frames = "60"
        for name, settings in cases.items():
            with self.subTest(case=name):
                self.clear_settings()
                self.settle(settings)
                expected = self.shot(name + "-model.bmp")
                sets = [a for k, v in settings.items() for a in ("--set", "%s=%d" % (k, v))]
                rc, _, err = run_windows(PICTURE, expected, "--frames", frames, "--signal",
                                         "sine:440", *sets)
                self.assertEqual(rc, 0, err)
                # The screenshot is taken by testhost right after the last
                # frame, while nothing else can have drawn: an idle frame
                # needs ten ticks of timer 1 with no host frame between
                # (200 ms of serving messages), but from the last frame to
                # the capture testhost only empties the queue twice, and the
                # system folds a timer's overdue ticks into one message per
                # queue check. The skin timer draws only for a skin that
                # shows no effect, and there is no skin here (testhost names
                # no skin folder); paint and size messages show the same
                # front image.
                shot = self.shot(name + "-window.bmp")
                data, _ = self.run_vis("--frames", frames, "--signal", "sine:440", "--shot", shot)
                self.assertEqual((data["framesRendered"], data["stopReason"]),
                                 (int(frames), "frames"))
                w = self.window(data)
                rect, client = w["rect"], w["client"]
                width, height, window_rows = read_bmp(shot)
                # The shot holds the module's windows: this one alone.
                self.assertEqual((width, height), (rect[2] - rect[0], rect[3] - rect[1]))
                dx, dy = client[0] - rect[0], client[1] - rect[1]
                cw, ch = size(client)
                area = [row[dx:dx + cw] for row in window_rows[dy:dy + ch]]
                mw, mh, model_rows = read_bmp(expected)
                self.assertEqual((cw, ch), (mw, mh))
                self.assertGreater(lit(model_rows), 2000, "the bars fill a good part")
                wrong = [(x, y, area[y][x], model_rows[y][x]) for y in range(mh)
                         for x in range(mw) if area[y][x] != model_rows[y][x]]
                self.assertEqual(len(wrong), 0,
                                 "%d of %d pixels differ, first (x, y, window, model): %s"
                                 % (len(wrong), mw * mh, wrong[:5]))

    def test_clear_screen_blanks_the_picture(self):
        # The idle timer goes on drawing the bars from the last levels, so
        # a cleared picture would soon show them again. Here the frames
        # pause, the idle frames let the levels fall to 0 (2000 a frame,
        # about 35 frames from full height; the driver waits for several
        # times that), and the bars leave no peaks and trails that fade by
        # one step a frame, which last several seconds. The picture is then
        # only old trails: Clear blanks it, and the idle frames after it draw
        # nothing new.
        self.settle({"Lumbrin/LinAmp": 40, "RurizirudoviV/Mono": 1, "RurizirudoviV/Blur": 0,
                     "RurizirudoviV/Fade": 0, "RurizirudoviV/DropOff": 2000,
                     "RurizirudoviV/Peaks": 0, "RurizirudoviV/MaxFreq": 40})
        before, after = self.shot("before.bmp"), self.shot("after.bmp")
        self.run_vis("--frames", "40", "--signal", "sine:440", "--pause", "40:9000", "--do",
                     "wait %s; sleep 3000; shot %s; send 273 40011 0; sleep 400; shot %s"
                     % (MODULE, before, after))
        _, _, trails = read_bmp(before)
        _, _, cleared = read_bmp(after)
        self.assertGreater(lit(trails), 1000, "the trails still show before the clear")
        self.assertEqual(lit(cleared), 0)

    def test_frames_draw_with_the_gain_set_on_the_sheet(self):
        # Every frame clears the picture before it draws (Fade 128), so a
        # shot shows the bars of the gain in use. Amp's trackbar from 256 to
        # 0 and back: the bars shrink to almost nothing and grow again. The
        # sheet is moved off the window first, which a shot would see.
        self.settle({"Lumbrin/LinAmp": 256, "RurizirudoviV/Mono": 1, "RurizirudoviV/Blur": 0,
                     "RurizirudoviV/Fade": 128, "RurizirudoviV/DropOff": 2000,
                     "RurizirudoviV/Peaks": 0, "RurizirudoviV/MaxFreq": 40})
        shots = [self.shot(name + ".bmp") for name in ("high", "low", "again")]
        script = ("wait {module}; post 273 40003 0; wait {sheet}; setpos 400 300 0 0 5; "
                  "send 1125 4 0; use {module}; sleep 1000; shot {0}; "
                  "use {sheet}; trackbar 1151 0; dump; use {module}; sleep 1500; shot {1}; "
                  "use {sheet}; trackbar 1151 256; use {module}; sleep 1500; shot {2}; "
                  "key 0 27").format(*shots, module=MODULE, sheet=SHEET)
        data, [sheet] = self.run_vis("--frames", "100000", "--realtime", "--signal", "sine:440",
                                     "--do", script)
        self.assertEqual(data["stopReason"], "quit")
        [gain] = [c["text"] for c in sheet["controls"] if c["id"] == 1174]
        self.assertEqual(gain, "x 0.02")
        high, low, again = [lit(read_bmp(s)[2]) for s in shots]
        self.assertGreater(high, 3000)
        self.assertLess(low * 10, high, "gain 0 draws far lower bars")
        self.assertGreater(again * 2, high, "and 256 brings them back")


if __name__ == "__main__":
    main()
