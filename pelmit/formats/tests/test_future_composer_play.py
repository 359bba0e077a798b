"""A short Future Composer tune through pelmit.dll under the player: two notes
an octave apart on a square wave, each loud for 10 ticks and then half as
loud. Its pitch and envelope are measured from the PCM; it plays to its end
with one end-of-stream message, and seeks."""

import math
import os

from jktest import (BIN_DIR, DIST_DIR, TempDirTest, main, read_wav, run_windows, samples16,
                    testhost)

PLUGIN = os.path.join(DIST_DIR, "pelmit.dll")
RATE = 44100
TICK = RATE // 50
PAL_CLOCK = 7093789.2

# tune.fc of pelmit_format_fixtures, at speed 20: note 24 on tick 20, note 36
# on tick 60, the end on tick 100. Tick n renders frames (n - 1) * TICK to
# n * TICK.


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def crossings_hz(left, first_tick, last_tick):
    part = left[first_tick * TICK:last_tick * TICK]
    ups = [i for i in range(1, len(part)) if part[i - 1] < 0 <= part[i]]
    return (len(ups) - 1) * RATE / (ups[-1] - ups[0])


def rms(left, first_tick, last_tick):
    part = left[first_tick * TICK:last_tick * TICK]
    return math.sqrt(sum(x * x for x in part) / len(part))


class FutureComposerPlayTest(TempDirTest):
    def play(self, *extra):
        rc, _, err = run_windows(os.path.join(BIN_DIR, "pelmit_format_fixtures.exe"),
                                 windows_path(self.tmp))
        self.assertEqual(rc, 0, err)
        path = os.path.join(self.tmp, "tune.fc")
        wav = os.path.join(self.tmp, "out.wav")
        rc, data, err = testhost("play", PLUGIN, windows_path(path), "--wav", wav, *extra)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["startPlayback"], 0)
        rate, channels, _, pcm = read_wav(wav)
        self.assertEqual((rate, channels), (RATE, 2))
        return data, samples16(pcm)[0::2]

    def test_plays_its_pitch_and_envelope_to_the_end(self):
        data, left = self.play()
        self.assertEqual(data["claimsFile"], 1)
        self.assertEqual(data["title"], "tune.fc")
        self.assertEqual(data["describeLengthMs"], -1000)
        self.assertEqual(data["lengthMs"], 2000)
        self.assertEqual(data["endOfStream"], 1)
        self.assertEqual(data["stopReason"], "endOfStream")
        self.assertEqual(data["streamInfo"], [[40000, 44, 2, 1]])
        # 100 ticks, the last block filled up with silence.
        self.assertEqual(data["framesWritten"], math.ceil(100 * TICK / 576) * 576)
        self.assertEqual(len(left), data["framesWritten"])
        # Nothing sounds before the first row.
        self.assertEqual(max(abs(x) for x in left[:19 * TICK]), 0)
        for note_tick, period in ((20, 428), (60, 214)):
            expected = PAL_CLOCK / (2 * period) / 32
            self.assertAlmostEqual(crossings_hz(left, note_tick, note_tick + 38), expected,
                                   delta=expected * 0.005)
            loud = rms(left, note_tick, note_tick + 10)
            soft = rms(left, note_tick + 11, note_tick + 38)
            self.assertGreater(loud, 1000)
            # Volumes 255 and 127 choose table rows 190 and 94.
            self.assertAlmostEqual(soft / loud, 94 / 190, delta=0.02)

    def test_seeks(self):
        data, left = self.play("--seek", "1500@500")
        at = math.ceil(RATE / 2 / 576) * 576
        self.assertEqual(data["seeks"], [[at, 1500]])
        self.assertEqual(data["flushes"][-1], [at, 1500])
        self.assertEqual(data["endOfStream"], 1)
        # From the seek on: the rest of the second note, 25 ticks.
        self.assertEqual(data["framesWritten"], at + math.ceil(25 * TICK / 576) * 576)
        after = left[at:]
        expected = PAL_CLOCK / (2 * 214) / 32
        self.assertAlmostEqual(crossings_hz(after, 0, 20), expected, delta=expected * 0.005)


if __name__ == "__main__":
    main()
