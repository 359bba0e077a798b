"""Kalvo on variable bit-rate streams made by lame (MPEG-1, 2 and 2.5, VBR
and ABR): the length comes from the stream's Xing header and agrees with
mpg123's, a seek lands where the time says (found by matching the PCM with
mpg123's decode), the header frame is not played, the position never passes
the length, and damaged or lying headers give way to the frames' own time."""

import os
import re
import struct
import subprocess
import tempfile

from jktest import TempDirTest, main, read_wav, samples16, testhost
from kalvotest import PLUGIN, windows_path

SECONDS = 25
SEEK_MS = 20000

# Name, sampling rate, channels, lame options.
STREAMS = [
    ("m1_v0", 44100, 2, ["-V", "0"]),
    ("m1_v2", 44100, 2, ["-V", "2"]),
    ("m1_v4_48k", 48000, 2, ["-V", "4"]),
    ("m1_v6_32k", 32000, 2, ["-V", "6"]),
    ("m1_v2_stereo", 44100, 2, ["-V", "2", "-m", "s"]),
    ("m1_v5_mono", 44100, 1, ["-V", "5", "-m", "m"]),
    ("m1_abr96", 44100, 2, ["--abr", "96"]),
    ("m1_abr192", 48000, 2, ["--abr", "192"]),
    ("m1_abr128_32k", 32000, 2, ["--abr", "128"]),
    ("m1_info_cbr", 44100, 2, ["-b", "160"]),
    ("m2_v2", 22050, 2, ["-V", "2"]),
    ("m2_v5_24k", 24000, 2, ["-V", "5"]),
    ("m2_v7_16k", 16000, 2, ["-V", "7"]),
    ("m2_v4_mono", 22050, 1, ["-V", "4", "-m", "m"]),
    ("m2_abr64", 22050, 2, ["--abr", "64"]),
    ("m2_abr40_16k", 16000, 1, ["--abr", "40", "-m", "m"]),
    ("m25_v4", 11025, 2, ["-V", "4"]),
    ("m25_v8_8k", 8000, 1, ["-V", "8", "-m", "m"]),
    ("m25_v2_12k", 12000, 2, ["-V", "2"]),
    ("m25_abr24", 11025, 2, ["--abr", "24"]),
    ("m25_abr16_8k", 8000, 1, ["--abr", "16", "-m", "m"]),
]


def mpg123_length_ms(path):
    """The length `mpg123 -t` gives: the time it reached at the end."""
    out = subprocess.run(["mpg123", "-t", "-v", path], capture_output=True).stderr.decode()
    times = re.findall(r"(\d+):(\d+\.\d+)\+(\d+):(\d+\.\d+)", out)
    minutes, seconds, _, _ = times[-1]
    return (int(minutes) * 60 + float(seconds)) * 1000


def mpg123_pcm(path):
    out = subprocess.run(["mpg123", "-q", "--no-gapless", "-s", path], capture_output=True,
                         check=True).stdout
    return samples16(out)


def best_match(window, ref, lo, hi):
    """The index in ref[lo:hi] where window fits best (least absolute difference)."""
    best, best_at = None, None
    for at in range(max(lo, 0), min(hi, len(ref) - len(window))):
        total = 0
        for a, b in zip(window, ref[at:at + len(window)]):
            total += abs(a - b)
            if best is not None and total >= best:
                break
        if best is None or total < best:
            best, best_at = total, at
    return best_at


def xing_at(data):
    """Offset of the Xing or Info tag in the stream's first frame."""
    for tag in (b"Xing", b"Info"):
        at = data.find(tag, 0, 200)
        if at >= 0:
            return at
    raise ValueError("no Xing header")


class Streams:
    folder = None

    @classmethod
    def get(cls):
        if cls.folder is None:
            cls._tmp = tempfile.TemporaryDirectory(prefix="jk-kalvo-vbr-")
            cls.folder = cls._tmp.name
            for name, rate, channels, options in STREAMS:
                wav = os.path.join(cls.folder, name + ".wav")
                # Noise whose loudness swells and fades: the bit rate moves
                # with it, and no stretch of it repeats.
                subprocess.run(["sox", "-R", "-n", "-r", str(rate), "-c", str(channels), "-b",
                                "16", wav, "synth", str(SECONDS), "pinknoise", "tremolo",
                                "0.37", "90"], check=True)
                subprocess.run(["lame", "--quiet", *options, wav,
                                os.path.join(cls.folder, name + ".tqz")], check=True)
                os.remove(wav)
        return cls

    @classmethod
    def path(cls, name):
        return os.path.join(cls.get().folder, name + ".tqz")


class PlayingTest(TempDirTest):
    """Plays files through testhost into WAV files in the test's folder."""

    def play(self, path, *extra):
        wav = os.path.join(self.tmp, os.path.basename(path) + ".wav")
        rc, data, err = testhost("play", PLUGIN, windows_path(path), "--wav", windows_path(wav),
                                 *extra)
        self.assertIsNotNone(data, err)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["violations"], [])
        self.assertEqual(data["startPlayback"], 0)
        return data, wav

    def write(self, name, data):
        path = os.path.join(self.tmp, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def seek_error(self, path, reference, seek_ms):
        """Plays path with a seek to seek_ms; returns the report and how far
        from seek_ms (in s) the audio after the seek lies in mpg123's decode
        of reference."""
        data, wav = self.play(path, "--seek", "%d@1000" % seek_ms)
        rate, channels, _, pcm = read_wav(wav)
        # The audio after the seek starts where the output was flushed, which
        # may be a piece after the request when a frame was half written.
        at, target = data["flushes"][-1]
        self.assertEqual(target, seek_ms)
        self.assertGreaterEqual(at, data["seeks"][0][0])
        ours = samples16(pcm)[at * channels::channels]
        ref = mpg123_pcm(reference)[::channels]
        # Past the first frames after the seek, which are silent until the bit
        # reservoir has filled again.
        skip = rate // 2
        window = ours[skip:skip + 1024]
        self.assertGreater(max(abs(s) for s in window), 500)
        expected = seek_ms * rate // 1000 + skip
        found = best_match(window, ref, expected - rate, expected + rate)
        self.assertIsNotNone(found)
        return data, (found - skip) / rate - seek_ms / 1000

class VbrTest(PlayingTest):
    def setUp(self):
        super().setUp()
        self.streams = Streams.get()

    def test_lengths_and_seeks_agree_with_mpg123(self):
        worst_length = worst_seek = 0.0
        for name, _, _, _ in STREAMS:
            with self.subTest(name):
                path = self.streams.path(name)
                data, seek_error = self.seek_error(path, path, SEEK_MS)
                theirs = mpg123_length_ms(path)
                length_error = (data["lengthMs"] - theirs) / theirs
                print("%-14s %5d Hz length %6d ms (mpg123 %8.1f, %+.2f %%), seek %+.3f s" %
                      (name, data["rate"], data["lengthMs"], theirs, length_error * 100,
                       seek_error))
                self.assertLess(abs(length_error), 0.01)
                self.assertEqual(data["stopReason"], "endOfStream")
                self.assertLessEqual(data["positionMs"], data["lengthMs"])
                self.assertLess(abs(seek_error), 0.1)
                worst_length = max(worst_length, abs(length_error))
                worst_seek = max(worst_seek, abs(seek_error))
        print("largest length error %.3f %%, largest seek error %.3f s" %
              (worst_length * 100, worst_seek))

    def test_the_header_frame_is_not_played(self):
        for name in ("m1_v2", "m2_v5_24k", "m25_v8_8k"):
            with self.subTest(name):
                path = self.streams.path(name)
                data, wav = self.play(path)
                _, channels, _, pcm = read_wav(wav)
                ours = samples16(pcm)
                ref = mpg123_pcm(path)
                self.assertEqual(len(ours), len(ref))
                self.assertLessEqual(max(abs(a - b) for a, b in zip(ours, ref)), 1)

    def test_damaged_and_lying_headers(self):
        with open(self.streams.path("m1_v2"), "rb") as f:
            good = f.read()
        tag = xing_at(good)
        flags = struct.unpack_from(">I", good, tag + 4)[0]
        self.assertEqual(flags & 7, 7)  # frames, bytes and the table of contents
        frames = struct.unpack_from(">I", good, tag + 8)[0]
        toc = tag + 16

        def patched(offset, value):
            d = bytearray(good)
            d[offset:offset + len(value)] = value
            return bytes(d)

        no_toc = patched(tag + 4, struct.pack(">I", flags & ~4))
        shuffled = patched(toc + 40, bytes(reversed(good[toc + 40:toc + 60])))
        cut = good[:len(good) * 6 // 10]
        cases = [
            # Name, file, whether a seek is checked. The length is the header's
            # where it is believable, else the frames' own.
            ("no table of contents", no_toc, True),
            ("a table that goes back", shuffled, True),
            ("cut to 60 %", cut, False),
            ("no frames", patched(tag + 8, struct.pack(">I", 0)), True),
            ("four billion frames", patched(tag + 8, struct.pack(">I", 0xFFFFFFFF)), True),
            ("a tenth of its frames", patched(tag + 8, struct.pack(">I", frames // 10)), True),
        ]
        for name, content, seek in cases:
            with self.subTest(name):
                path = self.write("damaged.tqz", content)
                if seek:
                    data, error = self.seek_error(path, path, SEEK_MS // 2)
                    self.assertLess(abs(error), 0.1)
                else:
                    data, _ = self.play(path, "--seek", "%d@1000" % (SEEK_MS // 2))
                self.assertEqual(data["stopReason"], "endOfStream")
                theirs = mpg123_length_ms(path)
                print("%-24s length %6d ms, mpg123 %8.1f ms" % (name, data["lengthMs"], theirs))
                self.assertLess(abs(data["lengthMs"] - theirs) / theirs, 0.01)
                self.assertLessEqual(data["positionMs"], data["lengthMs"])


if __name__ == "__main__":
    main()
