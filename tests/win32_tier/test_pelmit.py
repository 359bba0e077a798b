"""The 32-bit pelmit.dll under the 32-bit testhost beside its 64-bit twin:
the bundled MOD, a tune of each other native format and an emulated tune
(68000 code on the emulated Amiga) played to WAV files bit-identical to the
twin's, with the same report; a seek and a pause land where the twin's do."""

import os

from jktest import SOURCE_DIR, main
from twins import WIN32, WIN64, TwinTest, win_path

DEMO_MOD = os.path.join(SOURCE_DIR, "pelmit", "demo", "quistor-demo.mod")
FC_TUNE = os.path.join(SOURCE_DIR, "pelmit", "formats", "tests", "fc_corpus", "fc14.fc")


class PelmitTest(TwinTest):
    def setUp(self):
        super().setUp()
        # The fixture programs write the same bytes in either build: the twin's is quicker.
        self.fixtures = os.path.join(self.tmp, "fixtures")
        os.mkdir(self.fixtures)
        for program in ("pelmit_format_fixtures.exe", "pelmit_emulated_fixtures.exe"):
            rc, out, err = WIN64.run(WIN64.bin(program), win_path(self.fixtures))
            self.assertEqual(rc, 0, program + ": " + err)

    def check_play(self, song, *extra):
        data, wavs = self.play("pelmit.dll", song, *extra)
        self.assertTwins(data, os.path.basename(song) + " report")
        self.assertTwins(wavs, os.path.basename(song) + " PCM")
        self.assertGreater(len(wavs[WIN32]), 44 + 44100)
        return data[WIN32]

    def test_every_kind_of_tune_plays_as_the_twin(self):
        cases = {
            "bundled MOD": DEMO_MOD,
            "SoundFX": os.path.join(self.fixtures, "tune.sfx"),
            "SoundMon 2.0": os.path.join(self.fixtures, "tune.bp"),
            "SoundMon 2.2 synth": os.path.join(self.fixtures, "synth.bp3"),
            "Future Composer 1.4": FC_TUNE,
            # A DeliTracker custom player: its own 68000 code with a CIA timer.
            "emulated": os.path.join(self.fixtures, "cia.cust"),
        }
        for what, song in cases.items():
            with self.subTest(what):
                data = self.check_play(song, "--max-seconds", "20")
                self.assertGreater(data["claimsFile"], 0)
                self.assertEqual(data["startPlayback"], 0)

    def test_a_seek_and_a_pause_land_as_the_twins_do(self):
        cases = (("seek", ["--seek", "6000@1000"]), ("pause", ["--pause", "1500:300"]),
                 ("emulated seek", ["--seek", "3000@500"]))
        for what, extra in cases:
            with self.subTest(what):
                song = DEMO_MOD if "emulated" not in what else os.path.join(self.fixtures,
                                                                             "cia.cust")
                data = self.check_play(song, *extra, "--max-seconds", "8")
                key = "pauses" if what == "pause" else "seeks"
                self.assertEqual(len(data[key]), 1, data)


if __name__ == "__main__":
    main()
