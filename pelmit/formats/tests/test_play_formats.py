"""SoundFX and SoundMon tunes through the plug-in under the player's stand-in:
each plays to its end with one end-of-stream message and seeks, and the
SoundMon synth note has the pitch and the ADSR envelope its tables give."""

import math
import os

from jktest import (BIN_DIR, DIST_DIR, TempDirTest, main, read_wav, run_windows, samples16,
                    testhost)

PLUGIN = os.path.join(DIST_DIR, "pelmit.dll")
RATE = 44100


def windows_path(path):
    """The path as the player would pass it, so that titles come after a backslash."""
    return "Z:" + path.replace("/", "\\")


def rising_crossings(samples):
    return sum(1 for a, b in zip(samples, samples[1:]) if a < 0 <= b)


class FixturePlayTest(TempDirTest):
    """Tunes written into the test's folder by a fixture program, played
    through the plug-in."""

    FIXTURES = "pelmit_format_fixtures.exe"

    def setUp(self):
        super().setUp()
        rc, out, err = run_windows(os.path.join(BIN_DIR, self.FIXTURES), windows_path(self.tmp))
        self.assertEqual(rc, 0, err)

    def play(self, name, *extra):
        wav = os.path.join(self.tmp, name + ".wav")
        rc, data, err = testhost("play", PLUGIN, windows_path(os.path.join(self.tmp, name)),
                                 "--wav", wav, *extra)
        self.assertIsNotNone(data, err)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["violations"], [])
        return data, wav


class FormatPlayTest(FixturePlayTest):
    def check_played_out(self, data, length_ms, title):
        self.assertEqual(data["startPlayback"], 0)
        self.assertGreater(data["claimsFile"], 0)
        self.assertEqual(data["title"], title)
        self.assertEqual(data["lengthMs"], length_ms)
        self.assertEqual(data["endOfStream"], 1)
        self.assertEqual(data["stopReason"], "endOfStream")
        frames = data["framesWritten"]
        self.assertGreaterEqual(frames * 1000 // RATE, length_ms)
        self.assertLess(frames, (length_ms + 1) * RATE // 1000 + 576)

    def check_seek(self, name, target, at, tick_ms):
        data, _ = self.play(name, "--seek", "%d@%d" % (target, at))
        self.assertEqual(data["endOfStream"], 1)
        seek_frame = math.ceil(at * RATE / 1000 / 576) * 576
        self.assertEqual(data["seeks"], [[seek_frame, target]])
        reached = data["flushes"][-1][1]
        self.assertGreaterEqual(reached, target)
        self.assertLess(reached, target + tick_ms)
        # What is left after the seek is played, and no more.
        left = (data["lengthMs"] - reached) * RATE // 1000
        self.assertAlmostEqual(data["framesWritten"] - seek_frame, left, delta=576 + 882)

    def test_soundfx_plays_out_and_seeks(self):
        # 768 ticks of trunc(14187 x 44100 / 709378.92) = 881 frames.
        data, wav = self.play("tune.sfx")
        self.check_played_out(data, 768 * 881 * 1000 // RATE, "tune.sfx")
        _, channels, _, pcm = read_wav(wav)
        left = samples16(pcm)[0::2]
        # The square wave of 64 bytes at period 428 from 100 ms (row 0 on tick 6).
        window = left[int(0.2 * RATE):int(1.2 * RATE)]
        self.assertAlmostEqual(rising_crossings(window), 3546894.6 / 428 / 64, delta=2)
        print("SoundFX: %d ms, %d frames, %d Hz" % (data["lengthMs"], data["framesWritten"],
                                                    rising_crossings(window)))
        self.check_seek("tune.sfx", 6000, 500, 20)

    def test_soundmon_2_0_plays_out_and_seeks(self):
        # Two steps of 16 rows at speed 6: the last row on tick 187.
        data, _ = self.play("tune.bp")
        self.check_played_out(data, 187 * 20, "test tune")
        self.check_seek("tune.bp", 1000, 300, 20)

    def test_soundmon_2_2_synth_pitch_and_envelope(self):
        data, wav = self.play("synth.bp3")
        self.check_played_out(data, 91 * 20, "test tune")
        _, _, _, pcm = read_wav(wav)
        left = samples16(pcm)[0::2]

        def peak(from_ms, to_ms):
            return max(abs(s) for s in left[from_ms * RATE // 1000:to_ms * RATE // 1000])

        # One cycle of the 64-byte square per 64 bytes at period 428.
        window = left[int(0.7 * RATE):int(1.7 * RATE)]
        self.assertAlmostEqual(rising_crossings(window), 3546894.6 / 428 / 64, delta=2)
        # ADSR levels every 10 ticks from tick 2: volumes 63, 127, 191, 251.
        levels = [peak(100, 200), peak(300, 400), peak(500, 600), peak(700, 800)]
        print("SoundMon 2.2 synth: %d Hz, ADSR peaks %s" % (rising_crossings(window), levels))
        for level, volume in zip(levels, [63, 127, 191, 251]):
            self.assertAlmostEqual(level / levels[-1], volume / 251, delta=0.03, msg=levels)
        self.check_seek("synth.bp3", 1000, 300, 20)


if __name__ == "__main__":
    main()
