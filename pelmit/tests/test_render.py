"""pelmit_render against the plug-in under the player's stand-in: for the
bundled demo module, a SoundMon tune and an emulated tune, the renderer's PCM
is the plug-in's WAV, byte for byte, and a file Pelmit does not play is an
error."""

import os
import subprocess

from jktest import (BIN_DIR, DIST_DIR, SOURCE_DIR, TempDirTest, WINE, main, read_wav, run_windows,
                    testhost)

PLUGIN = os.path.join(DIST_DIR, "pelmit.dll")
RENDER = os.path.join(BIN_DIR, "pelmit_render.exe")


def render(path, *options):
    proc = subprocess.run([WINE, RENDER, path, *options], capture_output=True, timeout=300,
                          stdin=subprocess.DEVNULL)
    return proc.returncode, proc.stdout, proc.stderr.decode("latin-1")


class RenderTest(TempDirTest):

    def setUp(self):
        super().setUp()
        for fixtures in ("pelmit_format_fixtures.exe", "pelmit_emulated_fixtures.exe"):
            rc, _, err = run_windows(os.path.join(BIN_DIR, fixtures), self.tmp)
            self.assertEqual(rc, 0, err)

    def test_the_plugins_pcm(self):
        for song in (os.path.join(SOURCE_DIR, "pelmit", "demo", "quistor-demo.mod"),
                     os.path.join(self.tmp, "tune.bp"), os.path.join(self.tmp, "cia.cust")):
            with self.subTest(song=os.path.basename(song)):
                wav = os.path.join(self.tmp, "plugin.wav")
                rc, data, err = testhost("play", PLUGIN, song, "--wav", wav)
                self.assertEqual(rc, 0, err)
                rate, channels, bits, pcm = read_wav(wav)
                self.assertEqual((rate, channels, bits), (44100, 2, 16))
                rc, out, err = render(song)
                self.assertEqual(rc, 0, err)
                self.assertGreater(len(pcm), 44100 * 4)
                self.assertEqual(len(out), len(pcm))
                first = next((i for i, (a, b) in enumerate(zip(out, pcm)) if a != b), None)
                self.assertIsNone(first, "the PCM differs from byte %s" % first)

    def test_seconds_rate_and_refusals(self):
        song = os.path.join(self.tmp, "tune.bp")
        rc, out, err = render(song, "--seconds", "0.5", "--rate", "22050")
        self.assertEqual(rc, 0, err)
        self.assertEqual(len(out), 11025 * 4)
        junk = os.path.join(self.tmp, "junk.mod")
        with open(junk, "wb") as f:
            f.write(b"not a module" * 10)
        for args, message in (((junk,), "no song Pelmit plays"),
                              ((os.path.join(self.tmp, "missing.mod"),), "cannot open"),
                              ((song, "--rate", "7"), "usage")):
            with self.subTest(args=args):
                rc, out, err = render(*args)
                self.assertNotEqual(rc, 0)
                self.assertIn(message, err)
                self.assertEqual(out, b"")


if __name__ == "__main__":
    main()
