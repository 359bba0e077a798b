"""The 32-bit kalvo.dll under the 32-bit testhost beside its 64-bit twin: the
bundled demo song and streams of each MPEG version (1, 2 and 2.5), mono, and
the half-rate and 8-bit outputs of its settings, decoded to WAV files
bit-identical to the twin's, with the same report."""

import os
import shutil
import subprocess

from jktest import SOURCE_DIR, main
from twins import WIN32, TwinTest

DEMO = os.path.join(SOURCE_DIR, "kalvo", "demo", "harbour_lights.tqz")


class KalvoTest(TwinTest):
    def stream(self, name, rate, channels, bitrate):
        """A chord of two tones encoded by lame at that rate (which picks the MPEG
        version); the plug-in takes a stream without a tag as it is."""
        wav = os.path.join(self.tmp, name + ".wav")
        subprocess.run(["sox", "-n", "-r", str(rate), "-c", str(channels), "-b", "16", wav,
                        "synth", "2", "sine", "440", "sine", "660", "gain", "-6"], check=True)
        path = os.path.join(self.tmp, name + ".tqz")
        subprocess.run(["lame", "--quiet", "-t", "-b", str(bitrate), "-m",
                        "m" if channels == 1 else "j", wav, path], check=True)
        return path

    def host_with_settings(self, text):
        """Each twin's testhost copied beside an ini file of Kalvo's settings."""
        exes = {}
        for b in self.folder:
            exe = os.path.join(self.folder[b], "host.exe")
            shutil.copy(b.bin("testhost.exe"), exe)
            with open(os.path.join(self.folder[b], "host.ini"), "w", newline="\r\n") as f:
                f.write("[qMP3]\n" + text)
            exes[b] = exe
        return exes

    def check_play(self, song, exes=None):
        data, wavs = self.play("kalvo.dll", song, exe=exes.get if exes else None)
        name = os.path.basename(song)
        self.assertTwins(wavs, name + " PCM")
        for report in data.values():
            # The song page's message carries an address in the player, and
            # the page is a temporary file of its own name.
            report["ipc"] = [message for message, _ in report["ipc"]]
            report["urls"] = len(report["urls"])
        self.assertTwins(data, name + " report")
        self.assertEqual(data[WIN32]["endOfStream"], 1)
        return data[WIN32]

    def test_each_stream_decodes_as_the_twin(self):
        cases = (("MPEG-1 stereo", ("mpeg1", 44100, 2, 128), 44100),
                 ("MPEG-2 mono", ("mpeg2", 22050, 1, 64), 22050),
                 ("MPEG-2.5 stereo", ("mpeg25", 11025, 2, 32), 11025))
        for what, stream, rate in cases:
            with self.subTest(what):
                data = self.check_play(self.stream(*stream))
                self.assertEqual((data["rate"], data["channels"]), (rate, stream[2]))

    def test_the_demo_song_decodes_as_the_twin(self):
        self.check_play(DEMO)

    def test_half_rate_and_8_bit_output_as_the_twin(self):
        song = self.stream("mpeg1", 44100, 2, 128)
        cases = (("half rate", "downsample=1\n", (22050, 2, 16)),
                 ("8-bit mono quarter rate", "downmix=1\n8bit=1\ndownsample=2\n", (11025, 1, 8)))
        for what, text, fmt in cases:
            with self.subTest(what):
                data = self.check_play(song, self.host_with_settings(text))
                self.assertEqual((data["rate"], data["channels"], data["bits"]), fmt)


if __name__ == "__main__":
    main()
