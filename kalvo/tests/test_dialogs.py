"""Kalvo's dialogs and settings under the player's stand-in: the song
information dialog shows the named file's tags, the configuration dialog
shows and stores the "qMP3" settings in the host program's ini file, and
HideMinibrowser lands in the registry under the current profile."""

import json
import os

from jktest import TempDirTest, main, run_windows
from kalvotest import (PLUGIN, controls, hide_minibrowser, host_copy, make_fixtures, read_ini,
                       set_hide_minibrowser, set_profile, windows_of, windows_path)

PROFILE = "KalvoTestProfile"
CONFIG_TITLE = "Orvane MP3 Decoder Configuration"


def run_dialog(exe, *args):
    rc, out, err = run_windows(exe, *args, timeout=120)
    lines = [l for l in out.splitlines() if l.startswith("{")]
    return rc, (json.loads(lines[-1]) if lines else None), windows_of(out), err


class SongInformationTest(TempDirTest):
    def test_shows_the_named_files_tags(self):
        manifest = make_fixtures(self.tmp)
        tags = manifest["full"]
        exe, _ = host_copy(self.tmp)
        shot = os.path.join(self.tmp, "info.bmp")
        song = windows_path(os.path.join(self.tmp, "full.tqz"))
        rc, data, windows, err = run_dialog(
            exe, "details", PLUGIN, song,
            "--do", "wait Orvane Song Information; dump; shot %s; click 1" % shot)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["result"], 1)
        self.assertEqual(windows[0]["title"], "Orvane Song Information")
        c = controls(windows[0])
        self.assertEqual(c[1000]["text"], song)
        self.assertEqual(c[1001]["text"], tags["title"])
        self.assertEqual(c[1002]["text"], tags["artist"])
        self.assertEqual(c[1003]["text"], tags["album"])
        self.assertEqual(c[1004]["text"], tags["artistAddress"])
        self.assertEqual(c[1005]["text"], tags["commercialAddress"])
        self.assertEqual(c[1006]["text"],
                         "Size: 3456789 bytes \nLength: 245 seconds \nMPEG 1.0 Layer 3\n"
                         "Copyright: 2003\nImage Type: image/jpeg\n")
        self.assertEqual(c[1007]["text"], tags["blurb"])
        with open(shot, "rb") as f:
            self.assertEqual(f.read(2), b"BM")

    def test_files_that_are_not_songs(self):
        make_fixtures(self.tmp)
        exe, _ = host_copy(self.tmp)
        for name, title in (("v24.tqz", "Not a Valid Orvane Song File"),
                            ("missing.tqz", "File Missing or Deleted")):
            song = windows_path(os.path.join(self.tmp, name))
            rc, data, windows, err = run_dialog(
                exe, "details", PLUGIN, song, "--do", "wait Orvane Song Information; dump; click 1")
            self.assertEqual(rc, 0, err)
            c = controls(windows[0])
            self.assertEqual((c[1001]["text"], c[1002]["text"]), (title, song), name)
            self.assertEqual(c[1006]["text"].split("\n")[1], "Length: 0 seconds ", name)


class ConfigurationTest(TempDirTest):
    def tearDown(self):
        set_profile(None)
        super().tearDown()

    def config(self, script, ini_text=None):
        exe, ini = host_copy(self.tmp)
        if ini_text is not None:
            with open(ini, "w", newline="\r\n") as f:
                f.write(ini_text)
        rc, data, windows, err = run_dialog(exe, "config", PLUGIN,
                                            "--do", "wait %s; dump; %s" % (CONFIG_TITLE, script))
        self.assertEqual(rc, 0, err)
        return windows, ini

    def test_ok_stores_the_settings_and_the_details_switch(self):
        set_profile(PROFILE)
        set_hide_minibrowser(PROFILE, 1)
        shot = os.path.join(self.tmp, "config.bmp")
        windows, ini = self.config("shot %s; check 1046 0; check 1005 0; check 1051 1; "
                                   "trackbar 1076 2; check 1108 1; dump; click 1" % shot)
        first = controls(windows[0])
        # The defaults, and HideMinibrowser 1 shown as an unchecked box.
        self.assertEqual(first[1046]["checked"], 1)
        self.assertEqual(first[1005]["checked"], 1)
        self.assertEqual([first[i]["checked"] for i in (1049, 1050, 1051)], [1, 0, 0])
        self.assertEqual((first[1076]["position"], first[1076]["range"]), (1, [0, 2]))
        self.assertEqual(first[1108]["checked"], 0)
        self.assertEqual(first[1127]["text"], "%1 - %2")
        self.assertFalse(first[1127]["visible"])
        self.assertFalse(first[1127]["enabled"])
        self.assertEqual(first[1046]["text"], "Stereo Output (disable for slow computers)")
        self.assertEqual(first[1108]["text"], "Automatically Show Song Details in Minibrowser")
        self.assertEqual(read_ini(ini)["qMP3"], {
            "downmix": "1", "8bit": "1", "downsample": "2",
            "id3_format_string": "%1 - %2", "priority": "2"})
        self.assertEqual(hide_minibrowser(PROFILE), 0)

    def test_dialog_shows_the_ini_and_cancel_keeps_only_the_details_switch(self):
        set_profile(PROFILE)
        set_hide_minibrowser(PROFILE, 0)
        text = ("[qMP3]\ndownmix=1\n8bit=0\ndownsample=1\nid3_format_string=%2 by %1\n"
                "priority=0\n")
        windows, ini = self.config("check 1108 0; check 1046 1; click 2", ini_text=text)
        c = controls(windows[0])
        self.assertEqual(c[1046]["checked"], 0)
        self.assertEqual(c[1005]["checked"], 1)
        self.assertEqual([c[i]["checked"] for i in (1049, 1050, 1051)], [0, 1, 0])
        self.assertEqual(c[1076]["position"], 0)
        self.assertEqual(c[1127]["text"], "%2 by %1")
        self.assertEqual(c[1108]["checked"], 1)
        with open(ini) as f:
            self.assertEqual(f.read(), text) # Cancel writes nothing
        self.assertEqual(hide_minibrowser(PROFILE), 1) # but the click counted at once

    def test_without_a_profile_nothing_is_written_to_the_registry(self):
        set_profile(None)
        windows, ini = self.config("check 1108 1; click 1")
        self.assertEqual(controls(windows[0])[1108]["checked"], 0)
        rc, out = run_windows("reg", "query", r"HKCU\Software\Veltmark", "/s")[:2]
        self.assertNotIn("HideMinibrowser", out)
        self.assertEqual(read_ini(ini)["qMP3"]["downsample"], "0")

    def test_about_box(self):
        shot = os.path.join(self.tmp, "about.bmp")
        exe, _ = host_copy(self.tmp)
        rc, data, windows, err = run_dialog(exe, "about", PLUGIN,
                                            "--do", "wait About; dump; shot %s; click 1" % shot)
        self.assertEqual(rc, 0, err)
        texts = [c["text"] for c in windows[0]["controls"]]
        self.assertIn("Orvane Secure MP3 Decoder (x86)", texts)


if __name__ == "__main__":
    main()
