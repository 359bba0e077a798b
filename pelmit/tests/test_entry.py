"""Pelmit's export under the player: the file-type list built from the
settings file below the host program's folder, defaults and user-edited
values alike."""

import os
import shutil

from jktest import BIN_DIR, DIST_DIR, TempDirTest, main, testhost

PLUGIN = os.path.join(DIST_DIR, "pelmit.dll")

DEFAULTS = [
    ["MOD", "Quistor Amiga music file (*.MOD)"],
    ["BP;BP3", "Halbrecht's SoundMon music file (*.BP;*.BP3)"],
    ["SFX", "SoundFX music file (*.SFX)"],
    ["FC;FC3;FC4;FC13;FC14", "Future Composer music file (*.FC;*.FC3;*.FC4;*.FC13;*.FC14)"],
    ["HIP;MON;CUST;CUS;DM2;SID1",
     "Emulated Amiga music file (*.HIP;*.MON;*.CUST;*.CUS;*.DM2;*.SID1)"],
]


class EntryTest(TempDirTest):
    def info_with_ini(self, text):
        """testhost copied into a fresh folder, with Plugins\\quistor.ini beside it."""
        exe = os.path.join(self.tmp, "host.exe")
        shutil.copy(os.path.join(BIN_DIR, "testhost.exe"), exe)
        if text is not None:
            os.makedirs(os.path.join(self.tmp, "Plugins"))
            with open(os.path.join(self.tmp, "Plugins", "quistor.ini"), "w") as f:
                f.write("[Quistor MOD Player]\r\n" + text)
        rc, data, err = testhost("info", PLUGIN, exe=exe)
        self.assertEqual(rc, 0, err)
        return data

    def test_defaults(self):
        data = self.info_with_ini(None)
        self.assertEqual(data["kind"], "input")
        self.assertEqual(data["abiVersion"], 0x100)
        self.assertEqual(data["displayName"], "Kestrov's quistor MOD player v0.86 (x86)")
        self.assertEqual(data["fileTypes"], DEFAULTS)
        self.assertEqual((data["canSeek"], data["usesHostOutput"]), (1, 1))

    def test_settings_of_the_host_programs_folder(self):
        data = self.info_with_ini("BPextension=BP;BPX\r\nSFXextension=SFX;\r\n")
        self.assertEqual(data["fileTypes"][1], ["BP;BPX", "Halbrecht's SoundMon music file (*.BP;*.BPX)"])
        self.assertEqual(data["fileTypes"][2], ["SFX;", "SoundFX music file (*.SFX;)"])

    def test_long_values_are_cut_and_never_overflow(self):
        long_value = "A" * 60
        semis = ";" * 49
        data = self.info_with_ini(
            "MODextension=%s\r\nBPextension=%s\r\nSFXextension=%s\r\n"
            "FCextension=%s\r\nEMUextension=%s\r\n" % (long_value, semis, semis, semis, semis))
        types = data["fileTypes"]
        self.assertEqual(types[0][0], "A" * 49)
        # Whole pairs only, as many as fit; the list stays well formed.
        self.assertGreaterEqual(len(types), 3)
        self.assertLess(len(types), 5)
        for ext, desc in types[1:]:
            self.assertEqual(ext, semis)
            self.assertTrue(desc.endswith(" (" + "*.;" * 49 + ")"))

    def test_empty_value_ends_the_list(self):
        data = self.info_with_ini("SFXextension=\r\n")
        self.assertEqual(data["fileTypes"], DEFAULTS[:2])


INT_KEYS = ["SampleRate", "StereoSeperation", "ReverseStereo", "DetectEndOfSong",
            "Interpolation", "IgnoreF00", "StripTrailingPause", "EmulateFilter",
            "RememberWindowPositions", "ConfigX", "ConfigY", "MODInfoX", "MODInfoY", "BPInfoX",
            "BPInfoY", "FCInfoX", "FCInfoY", "SFXInfoX", "SFXInfoY", "HIPInfoX", "HIPInfoY",
            "AboutX", "AboutY"]
LIST_KEYS = ["MODextension", "BPextension", "SFXextension", "EMUextension", "FCextension"]


class SettingsFileTest(EntryTest):
    """startUp reads the settings, shutDown writes every key back."""

    def round_trip(self, text):
        exe = os.path.join(self.tmp, "host.exe")
        shutil.copy(os.path.join(BIN_DIR, "testhost.exe"), exe)
        ini = os.path.join(self.tmp, "Plugins", "quistor.ini")
        os.makedirs(os.path.dirname(ini))
        if text is not None:
            with open(ini, "w") as f:
                f.write("[Quistor MOD Player]\r\n" + text)
        junk = os.path.join(self.tmp, "junk.bin")
        with open(junk, "wb") as f:
            f.write(b"not music")
        rc, data, err = testhost("play", PLUGIN, junk, exe=exe)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["startPlayback"], -1)
        with open(ini) as f:
            lines = [l.strip() for l in f if l.strip()]
        self.assertEqual(lines[0], "[Quistor MOD Player]")
        return [tuple(l.split("=", 1)) for l in lines[1:]]

    def test_defaults_written_in_order(self):
        pairs = self.round_trip(None)
        self.assertEqual([k for k, _ in pairs], INT_KEYS + LIST_KEYS)
        values = dict(pairs)
        expected = {"SampleRate": "44100", "StereoSeperation": "64", "ReverseStereo": "0",
                    "DetectEndOfSong": "1", "Interpolation": "0", "IgnoreF00": "0",
                    "StripTrailingPause": "0", "EmulateFilter": "1",
                    "RememberWindowPositions": "0", "MODextension": "MOD",
                    "BPextension": "BP;BP3", "SFXextension": "SFX",
                    "EMUextension": "HIP;MON;CUST;CUS;DM2;SID1",
                    "FCextension": "FC;FC3;FC4;FC13;FC14"}
        for key in INT_KEYS[9:]:
            expected[key] = "39873987"
        self.assertEqual(values, expected)

    def test_stored_and_hostile_values(self):
        cases = [("SampleRate=22050", "SampleRate", "22050"),
                 ("SampleRate=0", "SampleRate", "44100"),
                 ("SampleRate=-5", "SampleRate", "44100"),
                 ("SampleRate=99999999", "SampleRate", "44100"),
                 ("SampleRate=fast", "SampleRate", "44100"),
                 ("StereoSeperation=300", "StereoSeperation", "300"),
                 ("AboutX=-20", "AboutX", "-20")]
        for line, key, value in cases:
            with self.subTest(line=line):
                shutil.rmtree(os.path.join(self.tmp, "Plugins"), ignore_errors=True)
                self.assertEqual(dict(self.round_trip(line + "\r\n"))[key], value)


if __name__ == "__main__":
    main()
