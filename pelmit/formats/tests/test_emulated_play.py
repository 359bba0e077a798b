"""The emulated formats' test tunes through the plug-in under the player's
stand-in: each is claimed, plays the tone its 68000 routine programs (pitch
and volume from the PCM) for ten minutes, ends once, and seeks."""

import math
import os

from jktest import main, read_wav, samples16, testhost
from test_play_formats import PLUGIN, FixturePlayTest, windows_path

RATE = 44100
LENGTH_MS = 600000
PAL_HALF_CLOCK = 3546894.6

# File, period, volume, later volume, ticks a second.
TUNES = [
    ("tune.hip", 428, 64, 32, 50),
    ("tune.mon", 428, 64, 32, 50),
    ("tune.dm2", 428, 64, 32, 50),
    ("tune.sid1", 428, 64, 32, 50),
    ("cia.cust", 428, 64, 32, 100),
    ("interrupt.cust", 428, 64, 32, 50),
    ("walk.cust", 214, 48, 24, 50),
]


def window(left, from_ms, to_ms):
    return left[from_ms * RATE // 1000:to_ms * RATE // 1000]


def frequency(samples):
    """From the first to the last rising zero crossing."""
    rising = [i for i, (a, b) in enumerate(zip(samples, samples[1:])) if a < 0 <= b]
    return (len(rising) - 1) * RATE / (rising[-1] - rising[0])


class EmulatedPlayTest(FixturePlayTest):
    FIXTURES = "pelmit_emulated_fixtures.exe"

    def play(self, name, *extra):
        data, wav = super().play(name, *extra)
        self.assertEqual(data["startPlayback"], 0)
        self.assertGreater(data["claimsFile"], 0)
        self.assertEqual(data["title"], name)
        self.assertEqual(data["lengthMs"], LENGTH_MS)
        return data, wav

    def test_each_tune_plays_its_tone(self):
        for name, period, volume, later, tick_hz in TUNES:
            with self.subTest(name):
                data, wav = self.play(name, "--max-seconds", "2")
                self.assertEqual(data["stopReason"], "maxSeconds")
                _, channels, _, pcm = read_wav(wav)
                self.assertEqual(channels, 2)
                left = samples16(pcm)[0::2]
                change_ms = 50 * 1000 // tick_hz
                early = window(left, 100, change_ms - 40)
                late = window(left, change_ms + 40, change_ms + 800)
                expected = PAL_HALF_CLOCK / period / 32
                print("%s: %.2f Hz (%.2f expected), peaks %d then %d" %
                      (name, frequency(early), expected, max(early), max(late)))
                self.assertAlmostEqual(frequency(early), expected, delta=expected * 0.005)
                self.assertAlmostEqual(frequency(late), expected, delta=expected * 0.005)
                self.assertGreater(max(early), 1000)
                self.assertAlmostEqual(max(late) / max(early),
                                       (later * 255 // 64) / (volume * 255 // 64), delta=0.02)

    def test_ten_minutes_with_ticks_shorter_than_a_block(self):
        # 100 ticks a second: 440 frames a tick, fewer than the 576 of a block.
        data, _ = self.play("cia.cust")
        self.assertEqual(data["stopReason"], "endOfStream")
        self.assertEqual(data["endOfStream"], 1)
        frames = data["framesWritten"]
        self.assertGreaterEqual(frames * 1000 // RATE, LENGTH_MS)
        self.assertLess(frames, (LENGTH_MS + 10) * RATE // 1000 + 576)

    def test_seek_replays_to_the_target(self):
        for name, tick_ms in (("tune.dm2", 20), ("cia.cust", 10)):
            with self.subTest(name):
                data, wav = self.play(name, "--seek", "30000@500", "--max-seconds", "2")
                seek_frame = math.ceil(500 * RATE / 1000 / 576) * 576
                self.assertEqual(data["seeks"], [[seek_frame, 30000]])
                reached = data["flushes"][-1][1]
                self.assertGreaterEqual(reached, 30000)
                self.assertLess(reached, 30000 + tick_ms)
                # After the seek the tune is past its first 50 ticks: later volume.
                _, _, _, pcm = read_wav(wav)
                left = samples16(pcm)[0::2]
                before = window(left, 150, 450)
                after = left[seek_frame + 4410:seek_frame + 30000]
                self.assertAlmostEqual(max(after) / max(before), 127 / 255, delta=0.02)
                self.assertAlmostEqual(frequency(after), PAL_HALF_CLOCK / 428 / 32, delta=1.5)

    def test_stop_ends_a_seek_in_code_that_never_returns(self):
        # A routine that loops on itself (bra.s *) spends its whole cycle
        # budget on every tick: a seek then takes far longer than real time,
        # and a stop in the middle of it must still return at once.
        for name, offset, routine in (("walk.cust", 0xD2, "the tick routine"),
                                      ("walk.cust", 0x74, "InitPlayer"),
                                      ("interrupt.cust", 0xAC, "the level-6 handler")):
            with self.subTest(routine=routine):
                path = os.path.join(self.tmp, name)
                with open(path, "rb") as f:
                    data = bytearray(f.read())
                self.assertNotEqual(data[offset:offset + 2], b"\x60\xfe", routine)
                data[offset:offset + 2] = b"\x60\xfe"
                hung = "hung_" + name
                with open(os.path.join(self.tmp, hung), "wb") as f:
                    f.write(data)
                rc, result, err = testhost("play", PLUGIN,
                                           windows_path(os.path.join(self.tmp, hung)),
                                           "--max-seconds", "20", "--timeout", "5",
                                           "--seek", "590000@500")
                self.assertEqual(rc, 0, err)
                self.assertIsNotNone(result, err)
                self.assertEqual(result["violations"], [])
                self.assertEqual(result["stopReason"], "timeout")
                self.assertEqual(result["lengthMs"], LENGTH_MS)


if __name__ == "__main__":
    main()
