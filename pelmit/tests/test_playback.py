"""Pelmit playing real MOD modules through testhost under Wine: every module
plays to its end with one end-of-stream message and no host-contract error,
its length agrees with openmpt123's, and seeking, pausing and the sample
processor lose and repeat nothing.

openmpt123's default "Duration" adds up every subsong of a module (orders that
the song itself never reaches, which games use as separate tunes); the player
plays a song from its first order to its end, where a backward jump also ends
it, so the lengths are compared with openmpt123's first subsong."""

import os
import re
import subprocess
import unittest

from jktest import DIST_DIR, TESTDATA_DIR, TempDirTest, main, read_wav, testhost

PLUGIN = os.path.join(DIST_DIR, "pelmit.dll")
MODULE_FOLDERS = [
    "tecnoballz-data/usr/share/games/tecnoballz/musics",
    "freedroid-data/usr/share/games/freedroid/sound",
    "circuslinux-data/usr/share/games/circuslinux/data/music",
]
NOT_MODULES = {"area1-game2.mod"}  # an XM module named .mod
SEEK_MODULE = "tecnoballz-data/usr/share/games/tecnoballz/musics/area3-game.mod"
RATE = 44100
BLOCK = 576


def real_modules():
    found = []
    for folder in MODULE_FOLDERS:
        path = os.path.join(TESTDATA_DIR, folder)
        if os.path.isdir(path):
            found += [os.path.join(path, f) for f in sorted(os.listdir(path)) if f.endswith(".mod")]
    return found


def openmpt_length_ms(path):
    out = subprocess.run(["openmpt123", "--info", "--subsong", "0", path], capture_output=True,
                         text=True, errors="replace").stdout + ""
    m = re.search(r"Duration\.+: (?:(\d+):)?(\d+):(\d+(?:\.\d+)?)", out)
    if not m:
        return None
    hours, minutes, seconds = m.group(1), m.group(2), m.group(3)
    return round(((int(hours or 0) * 60 + int(minutes)) * 60 + float(seconds)) * 1000)


def pcm(path):
    return read_wav(path)[3]


@unittest.skipUnless(real_modules(), "no test data (tools/fetch-testdata)")
class RealModulesTest(TempDirTest):
    def play(self, module, *extra, wav=None):
        args = ["play", PLUGIN, module] + (["--wav", wav] if wav else []) + list(extra)
        rc, data, err = testhost(*args)
        self.assertIsNotNone(data, err)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["violations"], [])
        return data

    def test_every_module_plays_to_its_measured_length(self):
        for path in real_modules():
            name = os.path.basename(path)
            with self.subTest(module=name):
                data = self.play(path)
                if name in NOT_MODULES:
                    self.assertEqual((data["claimsFile"], data["startPlayback"]), (0, -1))
                    continue
                self.assertEqual(data["startPlayback"], 0)
                channels = 6 if name == "starpaws.mod" else 4
                self.assertEqual(data["claimsFile"], channels)
                self.assertEqual(data["streamInfo"], [[channels * 10000, 44, 2, 1]])
                self.assertEqual(data["endOfStream"], 1)
                self.assertEqual(data["stopReason"], "endOfStream")
                length = data["lengthMs"]
                reference = openmpt_length_ms(path)
                self.assertIsNotNone(reference)
                self.assertLessEqual(abs(length - reference), reference / 100,
                                     "%d ms, openmpt123 %d ms" % (length, reference))
                # Everything the song renders, in whole blocks.
                frames = length * RATE // 1000
                self.assertGreaterEqual(data["framesWritten"], frames)
                self.assertLess(data["framesWritten"], frames + BLOCK + RATE // 1000)

    def test_seek_lands_where_asked_in_position_and_audio(self):
        module = os.path.join(TESTDATA_DIR, SEEK_MODULE)
        plain = os.path.join(self.tmp, "plain.wav")
        self.play(module, "--max-seconds", "40", wav=plain)
        sought = os.path.join(self.tmp, "sought.wav")
        data = self.play(module, "--seek", "30000@5000", "--max-seconds", "10", wav=sought)
        at = -(-5000 * RATE // 1000 // BLOCK) * BLOCK
        self.assertEqual(data["seeks"], [[at, 30000]])
        self.assertEqual(data["flushes"][-1], [at, 30000])  # ticks of 20 ms meet 30 s exactly
        self.assertGreaterEqual(data["framesWritten"], 10 * RATE)
        after = pcm(sought)[at * 4:]
        start = 30000 * RATE // 1000 * 4
        self.assertEqual(after, pcm(plain)[start:start + len(after)])

    def test_seek_past_the_end_plays_nothing_more(self):
        module = os.path.join(TESTDATA_DIR, SEEK_MODULE)
        data = self.play(module, "--seek", "99999999@1000")
        at = -(-1000 * RATE // 1000 // BLOCK) * BLOCK
        self.assertEqual(data["flushes"][-1], [at, data["lengthMs"]])
        self.assertEqual(data["framesWritten"], at)
        self.assertEqual(data["endOfStream"], 1)

    def test_pause_and_the_sample_processor_lose_and_repeat_nothing(self):
        module = os.path.join(TESTDATA_DIR, SEEK_MODULE)
        plain = os.path.join(self.tmp, "plain.wav")
        self.play(module, "--max-seconds", "6", wav=plain)
        paused = os.path.join(self.tmp, "paused.wav")
        data = self.play(module, "--pause", "2000:300", "--max-seconds", "6", wav=paused)
        self.assertEqual(len(data["pauses"]), 1)
        self.assertEqual(pcm(paused), pcm(plain))
        dsp = os.path.join(self.tmp, "dsp.wav")
        data = self.play(module, "--dsp", "--max-seconds", "6", wav=dsp)
        self.assertGreater(data["dspBlocks"], 0)
        self.assertEqual(data["dspBlocks"], data["visBlocks"])
        self.assertEqual(pcm(dsp), pcm(plain))

    def test_stop_while_playing_in_real_time_is_prompt(self):
        module = os.path.join(TESTDATA_DIR, SEEK_MODULE)
        # testhost fails the run when stopPlayback takes more than 5 s.
        data = self.play(module, "--realtime", "--max-seconds", "1.5")
        self.assertEqual(data["stopReason"], "maxSeconds")
        self.assertEqual(data["endOfStream"], 0)
        self.assertLess(data["wallSeconds"], 10)


if __name__ == "__main__":
    main()
