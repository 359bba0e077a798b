"""Kalvo on streams whose bit rate jumps tenfold halfway (lame's constant-rate
parts one after the other), behind a VBRI header or behind no header at all,
and on lame's VBR without its header: the length is the frames' own time
(never more), and a seek lands where the time says, found by matching the
PCM with mpg123's decode."""

import os
import struct
import subprocess
import tempfile

from jktest import main
from test_vbr import SECONDS, PlayingTest, mpg123_length_ms

# MPEG-1 Layer III rates in kbit/s by index.
MPEG1_KBPS = [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320]
MPEG1_HZ = [44100, 48000, 32000]


def mpeg1_frames(data):
    """The sizes of the MPEG-1 Layer III frames that make up data, from its first."""
    at = data.find(b"\xff\xfb")
    sizes = []
    while at + 4 <= len(data):
        b1, b2 = data[at + 1], data[at + 2]
        assert b1 & 0xFE == 0xFA, "not an MPEG-1 Layer III frame at %d" % at
        size = 144000 * MPEG1_KBPS[b2 >> 4] // MPEG1_HZ[b2 >> 2 & 3] + (b2 >> 1 & 1)
        if at + size > len(data):
            break
        sizes.append(size)
        at += size
    return sizes


def vbri_frame(sizes, frames_per_entry):
    """A 320 kbit/s frame carrying a VBRI header for audio frames of these
    sizes, its table of contents in runs of frames_per_entry frames."""
    frame = bytearray(1044)
    frame[0:4] = b"\xff\xfb\xe0\x00"
    runs = [sum(sizes[i:i + frames_per_entry]) for i in range(0, len(sizes), frames_per_entry)]
    table = struct.pack(">4sHHHIIHHHH", b"VBRI", 1, 0, 75, len(frame) + sum(sizes), len(sizes),
                        len(runs), 1, 2, frames_per_entry)
    table += b"".join(struct.pack(">H", r) for r in runs)
    frame[36:36 + len(table)] = table
    return bytes(frame)


def stepped_stream(folder, name, rates):
    """Noise encoded in equal parts at the constant rates given, one after
    the other, with no header frame: the rate jumps where a part ends."""
    wav = os.path.join(folder, name + ".wav")
    subprocess.run(["sox", "-R", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth",
                    str(SECONDS), "pinknoise", "tremolo", "0.37", "90"], check=True)
    part = SECONDS / len(rates)
    data = b""
    for i, kbps in enumerate(rates):
        piece = os.path.join(folder, "%s_%d.wav" % (name, i))
        mp3 = piece + ".mp3"
        subprocess.run(["sox", wav, piece, "trim", str(i * part), str(part)], check=True)
        subprocess.run(["lame", "--quiet", "-t", "--cbr", "-b", str(kbps), "--resample", "44.1",
                        piece, mp3], check=True)
        with open(mp3, "rb") as f:
            mp3_data = f.read()
        data += mp3_data[mp3_data.find(b"\xff\xfb"):]
        os.remove(piece)
        os.remove(mp3)
    os.remove(wav)
    return data


class Stepped:
    """The stepped streams, made once for the whole run."""
    folder = None

    @classmethod
    def get(cls, name, rates):
        if cls.folder is None:
            cls._tmp = tempfile.TemporaryDirectory(prefix="jk-kalvo-steps-")
            cls.folder = cls._tmp.name
        path = os.path.join(cls.folder, name + ".tqz")
        if not os.path.exists(path):
            with open(path, "wb") as f:
                f.write(stepped_stream(cls.folder, name, rates))
        with open(path, "rb") as f:
            return path, f.read()


class RateStepTest(PlayingTest):
    def test_vbri_streams_seek_by_their_table(self):
        for name, rates in (("up", [32, 320]), ("down", [320, 32])):
            plain, audio = Stepped.get(name, rates)
            sizes = mpeg1_frames(audio)
            for per_entry in (4, 10):
                path = self.write("vbri.tqz", vbri_frame(sizes, per_entry) + audio)
                for seek_ms in (7000, 14000, 21000):
                    with self.subTest(name=name, per_entry=per_entry, seek_ms=seek_ms):
                        data, error = self.seek_error(path, plain, seek_ms)
                        print("VBRI %-4s %2d frames per entry, seek to %5d ms: %+.3f s" %
                              (name, per_entry, seek_ms, error))
                        self.assertLess(abs(error), 0.25)
                        self.assertEqual(data["lengthMs"], int(len(sizes) * 1152000 / 44100))

    def test_streams_without_a_header_are_timed_by_their_frames(self):
        wav = os.path.join(self.tmp, "plain.wav")
        subprocess.run(["sox", "-R", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth",
                        str(SECONDS), "pinknoise", "tremolo", "0.37", "90"], check=True)
        vbr = os.path.join(self.tmp, "vbr.tqz")
        subprocess.run(["lame", "--quiet", "-t", "-V", "0", wav, vbr], check=True)
        streams = [("lame -V 0", vbr), ("32 then 320", Stepped.get("up", [32, 320])[0]),
                   ("320 then 32", Stepped.get("down", [320, 32])[0])]
        for name, path in streams:
            for seek_ms in (8000, 16000):
                with self.subTest(name=name, seek_ms=seek_ms):
                    data, error = self.seek_error(path, path, seek_ms)
                    theirs = mpg123_length_ms(path)
                    print("no header, %-12s length %6d ms (mpg123 %8.1f), seek to %5d ms: %+.3f s"
                          % (name, data["lengthMs"], theirs, seek_ms, error))
                    # mpg123 prints hundredths of a second.
                    self.assertLessEqual(data["lengthMs"], theirs + 10)
                    self.assertGreater(data["lengthMs"], theirs * 0.95)
                    self.assertEqual(data["currentLengthMs"], data["lengthMs"])
                    self.assertLess(abs(error), 0.25)


if __name__ == "__main__":
    main()
