"""testhost play drives an input plug-in like the player: a sine plug-in
plays to a WAV of the right length and pitch with one end-of-stream message,
and seeking, pausing and the sample processor behave."""

import math
import os

from jktest import BIN_DIR, TempDirTest, main, read_wav, samples16, testhost

PLUGIN = os.path.join(BIN_DIR, "sine_plugin.dll")


def zero_crossings(samples):
    return sum(1 for a, b in zip(samples, samples[1:]) if a < 0 <= b)


class PlayTest(TempDirTest):
    def tune(self, freq, seconds):
        path = os.path.join(self.tmp, "tone.sine")
        with open(path, "w") as f:
            f.write("%g %g\n" % (freq, seconds))
        return path

    def play(self, *extra):
        wav = os.path.join(self.tmp, "out.wav")
        rc, data, err = testhost("play", PLUGIN, self.tune(1000, 2.0), "--wav", wav, *extra)
        self.assertIsNotNone(data, err)
        return rc, data, err, wav

    def test_plays_to_the_end_with_one_end_message(self):
        rc, data, err, wav = self.play()
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["startPlayback"], 0)
        self.assertEqual(data["endOfStream"], 1)
        self.assertEqual(data["stopReason"], "endOfStream")
        self.assertEqual(data["lengthMs"], 2000)
        self.assertEqual(data["describeLengthMs"], 2000)
        self.assertEqual(data["title"], "sine 1000 Hz")
        self.assertEqual((data["rate"], data["channels"], data["bits"]), (44100, 2, 16))
        self.assertEqual(data["outputVolume"], -666)
        self.assertEqual(data["streamInfo"], [[1411, 44, 2, 1]])
        rate, channels, bits, pcm = read_wav(wav)
        self.assertEqual((rate, channels, bits), (44100, 2, 16))
        self.assertEqual(len(pcm) // 4, 88200)
        self.assertEqual(data["framesWritten"], 88200)
        left = samples16(pcm)[0::2]
        self.assertAlmostEqual(zero_crossings(left) / 2.0, 1000, delta=2)
        self.assertEqual(data["visBlocks"], math.ceil(88200 / 576))
        self.assertEqual(data["visBlocks2"], data["visBlocks"])

    def test_seek_lands_where_asked(self):
        rc, data, err, wav = self.play("--seek", "1500@500")
        self.assertEqual(rc, 0, err)
        # The seek comes at the first block boundary from 500 ms on.
        at = math.ceil(22050 / 576) * 576
        self.assertEqual(data["seeks"][0], [at, 1500])
        self.assertEqual(data["flushes"][-1], [at, 1500])
        self.assertEqual(data["framesWritten"], at + 22050)

    def test_pause_loses_and_repeats_nothing(self):
        rc, data, err, wav = self.play("--pause", "500:300")
        self.assertEqual(rc, 0, err)
        self.assertEqual(len(data["pauses"]), 1)
        _, _, _, pcm = read_wav(wav)
        _, _, _, plain = read_wav(self.play()[3])
        self.assertEqual(pcm, plain)

    def test_max_seconds_stops_early(self):
        rc, data, err, _ = self.play("--dsp", "--max-seconds", "1")
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["stopReason"], "maxSeconds")
        self.assertEqual(data["endOfStream"], 0)
        self.assertGreaterEqual(data["framesWritten"], 44100)

    def test_restarts_measure_what_the_process_keeps(self):
        rc, data, err, _ = self.play("--restarts", "20")
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["restarts"]["count"], 20)
        handles = data["restarts"]["nextHandle"]
        self.assertEqual(handles[0], handles[1])
        self.assertGreater(data["restarts"]["memoryBytes"][0], 0)
        # The song after the rounds is reported on its own.
        self.assertEqual((data["endOfStream"], data["endMarkers"]), (1, 0))
        self.assertEqual(data["framesWritten"], 88200)

    def test_unplayable_file(self):
        path = os.path.join(self.tmp, "bad.sine")
        open(path, "w").close()
        rc, data, err = testhost("play", PLUGIN, path)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["startPlayback"], -1)
        self.assertEqual(data["claimsFile"], 0)
        self.assertEqual(data["describeLengthMs"], -1000)

    def test_window_script_drives_a_dialog(self):
        shot = os.path.join(self.tmp, "about.bmp")
        rc, data, err = testhost("about", PLUGIN, "--do", "wait About sine; dump; shot %s; click 1" % shot)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["screenshots"], [shot])
        with open(shot, "rb") as f:
            self.assertEqual(f.read(2), b"BM")

    def test_dialog_while_playing(self):
        """The dialog opens at its block boundary; while it is open the output
        takes only what the script renders, and nothing is lost or repeated."""
        rc, data, err, wav = self.play("--dialog", "about@500", "--do",
                                       "wait About sine; render 300; click 1")
        self.assertEqual(rc, 0, err)
        at = math.ceil(22050 / 576) * 576
        end = at + math.ceil(13230 / 576) * 576
        self.assertEqual(data["dialogs"], [{"which": "about", "atFrame": at, "endFrame": end,
                                            "result": 0, "screenshots": []}])
        self.assertEqual(data["stopReason"], "endOfStream")
        _, _, _, pcm = read_wav(wav)
        _, _, _, plain = read_wav(self.play()[3])
        self.assertEqual(pcm, plain)

    def test_failing_dialog_script_is_reported(self):
        rc, data, err, _ = self.play("--dialog", "config@0", "--do", "dump")
        self.assertEqual(rc, 1)
        self.assertIn("window script", err)

    def test_info(self):
        rc, data, err = testhost("info", PLUGIN)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["kind"], "input")
        self.assertEqual(data["fileTypes"], [["SINE", "Sine tone (*.SINE)"]])


if __name__ == "__main__":
    main()
