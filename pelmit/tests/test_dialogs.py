"""Pelmit's dialogs under the player: the configuration dialog's controls, its
live stereo preview, Cancel undoing it, the rate buttons, interpolation heard
from the next block, remembered window positions through the settings file,
the about text and the song information dialogs. Every dialog is
photographed into the build tree."""

import json
import math
import os
import shutil
import subprocess

from jktest import (BIN_DIR, DIST_DIR, TempDirTest, main, read_wav, run_windows,
                    samples16)

PLUGIN = os.path.join(DIST_DIR, "pelmit.dll")
SHOTS = os.path.join(os.path.dirname(BIN_DIR), "screenshots", "pelmit")
RATE = 44100
TICK = RATE // 50
UNSET = 39873987

# Template 101: id -> (class, text, x, y, width, height) in dialog units.
CONFIG_CONTROLS = {
    1: ("Button", "OK", 185, 115, 80, 15),
    2: ("Button", "Cancel", 185, 95, 80, 15),
    1008: ("Button", "Reverse stereo", 15, 20, 65, 10),
    1011: ("Button", "Ignore F00", 15, 30, 65, 10),
    1036: ("Button", "Strip trailing pause", 15, 40, 70, 8),
    1038: ("Button", "Emulate filter", 15, 50, 70, 8),
    1010: ("Button", "Detect end of song", 95, 20, 75, 10),
    1009: ("Button", "Interpolation", 95, 30, 55, 10),
    1037: ("Button", "Remember positions", 95, 40, 75, 8),
    1000: ("msctls_trackbar32", "", 15, 99, 155, 20),
    1045: ("Button", "31500 (Amiga!)", 195, 20, 60, 10),
    1046: ("Button", "44100", 195, 30, 60, 10),
    1047: ("Button", "48000", 195, 40, 60, 10),
    1048: ("Button", "96000", 195, 50, 60, 10),
}
CONFIG_LABELS = ["Tweaked 2 fit in", "Stereo separation", "Mono", "Stereo", "Samplerate"]

ABOUT_TEXT = [
    "Kestrov's Quistor MOD player v0.86", "",
    "This player is specially designed to play all variations",
    "of quistor Amiga MODs (1988-now) properly, unlike", "the current Jukora plugin.", "",
    "Nothing beats a good chiptune for that quistor",
    "Amiga crack-intro feeling. This plugin is also 100%",
    "compatible with your favourite Future Composer,", "SoundMon and various other tunes", "",
    "Formats supported are:", "", "Halbrecht's SoundMon 1.0-2.2", "DeliTracker CUSTOM",
    "Delta Music 2.0", "Future Composer 1.0-1.4", "Jochen Hippel", "Maniacs of Noise",
    "SidMon 1", "SoundFX 1.3", "", "and ofcourse", "", "SoundTracker", "NoiseTracker",
    "StarTrekker (limited features)", "ProTracker", "and FastTracker for those 4+ channel MODs",
    "", "Quistor player uses Tirasco 680x0 emulation",
]

# The static texts (group boxes and labels) of the information dialogs.
INFO_LABELS = {
    "Quistor MOD Info": ["Instruments", "Anorak", "Type:", "Patterns:", "Songlength:", "BPM:",
                         "Speed:", "Channels:", "Effects Used"],
    "Quistor BP Info": ["Instruments", "Effects Used", "Anorak", "Version:", "Patterns:",
                        "Songlength:", "Speed:"],
    "Quistor SoundFX Info": ["Vital info", "Version:", "1.3", "Patterns:", "Songlength:", "BPM:",
                             "Instruments", "Effects Used"],
    "Quistor Emulator Info": ["Subsong selection", "Type", "Total subsongs:",
                              "Current subsong:"],
}


def labels(window):
    return sorted(c["text"] for c in window["controls"] if c["id"] == 65535)


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def windows_of(stdout_lines):
    return [json.loads(l[len("window "):]) for l in stdout_lines if l.startswith("window ")]


def controls_by_id(window):
    return {c["id"]: c for c in window["controls"] if c["id"] not in (0, 65535, -1)}


def side_rms(pcm, first, last):
    """RMS of the left and of the right channel over frames first..last."""
    s = samples16(pcm[first * 4:last * 4])
    left, right = s[0::2], s[1::2]
    return (math.sqrt(sum(x * x for x in left) / len(left)),
            math.sqrt(sum(x * x for x in right) / len(right)))


def balance(pcm, first, last):
    left, right = side_rms(pcm, first, last)
    return left / right


class DialogTest(TempDirTest):
    def setUp(self):
        super().setUp()
        self.exe = os.path.join(self.tmp, "host.exe")
        shutil.copy(os.path.join(BIN_DIR, "testhost.exe"), self.exe)
        self.ini = os.path.join(self.tmp, "Plugins", "quistor.ini")
        os.makedirs(os.path.dirname(self.ini))

    def write_ini(self, **values):
        with open(self.ini, "w") as f:
            f.write("[Quistor MOD Player]\r\n")
            for k, v in values.items():
                f.write("%s=%s\r\n" % (k, v))

    def stored(self):
        """The settings file as shutDown left it."""
        with open(self.ini) as f:
            pairs = [l.strip().split("=", 1) for l in f if "=" in l]
        return {k: v for k, v in pairs}

    def run_host(self, *args):
        """The copy of testhost in the test's folder, whose settings file is
        the test's own; returns its summary and the windows it dumped."""
        rc, out, err = run_windows(self.exe, *args)
        self.assertEqual(rc, 0, err)
        lines = out.splitlines()
        summary = json.loads([l for l in lines if l.startswith("{")][-1])
        return summary, windows_of(lines)

    def dialog(self, which, script, *extra):
        return self.run_host(which, PLUGIN, *extra, "--do", script)

    def fixture(self, name):
        """The bytes of one of the songs pelmit_format_fixtures writes."""
        folder = os.path.join(self.tmp, "fixtures")
        if not os.path.isdir(folder):
            os.makedirs(folder)
            rc, _, err = run_windows(os.path.join(BIN_DIR, "pelmit_format_fixtures.exe"),
                                     windows_path(folder))
            self.assertEqual(rc, 0, err)
        with open(os.path.join(folder, name), "rb") as f:
            return f.read()

    def play_fixture(self, name, *dialogs, seconds=0.5):
        """Plays one of the fixture songs with dialogs on the way."""
        return self.play(self.fixture(name), *dialogs, seconds=seconds, name=name)

    def song(self, data, name="tune.fc"):
        path = os.path.join(self.tmp, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def play(self, data, *dialogs, seconds=3, name="tune.fc", plugin=PLUGIN):
        """Plays a tune with dialogs opened on the way; returns the summary,
        the dumped windows and the PCM."""
        wav = os.path.join(self.tmp, "out.wav")
        args = []
        for at, which, script in dialogs:
            args += ["--dialog", "%s@%d" % (which, at), "--do", script]
        summary, windows = self.run_host("play", plugin, windows_path(self.song(data, name)),
                                         "--wav", windows_path(wav), "--max-seconds", seconds,
                                         *args)
        self.assertEqual(summary["startPlayback"], 0)
        return summary, windows, read_wav(wav)[3]

    def shot(self, name):
        os.makedirs(SHOTS, exist_ok=True)
        return windows_path(os.path.join(SHOTS, name))


class ConfigDialogTest(DialogTest):
    def test_controls_as_the_template_gives_them(self):
        self.write_ini()
        _, windows = self.dialog("config", "wait Quistor Config; dump; shot %s; click 2"
                                 % self.shot("config.png"))
        window = windows[0]
        self.assertEqual(window["title"], "Quistor Config")
        controls = controls_by_id(window)
        self.assertEqual(set(controls), set(CONFIG_CONTROLS))
        self.assertEqual(labels(window), sorted(CONFIG_LABELS))
        # Dialog units to pixels, measured on two controls, must place every one.
        ok, reverse = controls[1]["rect"], controls[1008]["rect"]
        sx = (ok[0] - reverse[0]) / (185 - 15)
        sy = (ok[1] - reverse[1]) / (115 - 20)
        ox, oy = reverse[0] - 15 * sx, reverse[1] - 20 * sy
        for cid, (cls, text, x, y, w, h) in CONFIG_CONTROLS.items():
            c = controls[cid]
            with self.subTest(id=cid):
                self.assertEqual((c["class"], c["text"]), (cls, text))
                expected = [ox + x * sx, oy + y * sy, ox + (x + w) * sx, oy + (y + h) * sy]
                for got, want in zip(c["rect"], expected):
                    self.assertLessEqual(abs(got - want), 1.5)
        # Defaults: Detect end of song ticked but not for the user to change.
        checked = {cid: controls[cid]["checked"] for cid in CONFIG_CONTROLS
                   if cid not in (1, 2, 1000)}
        self.assertEqual(checked, {1008: 0, 1011: 0, 1036: 0, 1038: 1, 1010: 1, 1009: 0, 1037: 0,
                                   1045: 0, 1046: 1, 1047: 0, 1048: 0})
        self.assertFalse(controls[1010]["enabled"])
        self.assertEqual((controls[1000]["position"], controls[1000]["range"]), (64, [0, 128]))

    def test_ok_keeps_the_controls_and_cancel_keeps_nothing(self):
        script = ("wait Quistor Config; check 1008 1; check 1009 1; check 1011 1; check 1036 1; "
                  "check 1038 0; check 1037 1; trackbar 1000 100; click %d")
        self.write_ini()
        self.dialog("config", script % 1)
        s = self.stored()
        self.assertEqual([s[k] for k in ("ReverseStereo", "Interpolation", "IgnoreF00",
                                         "StripTrailingPause", "EmulateFilter",
                                         "DetectEndOfSong", "RememberWindowPositions",
                                         "StereoSeperation")],
                         ["1", "1", "1", "1", "0", "1", "1", "100"])
        self.write_ini()
        self.dialog("config", script % 2)
        s = self.stored()
        self.assertEqual([s[k] for k in ("ReverseStereo", "Interpolation", "EmulateFilter",
                                         "RememberWindowPositions", "StereoSeperation")],
                         ["0", "0", "1", "0", "64"])

    def test_rate_comes_only_from_clicks(self):
        # (stored rate, script, button shown, rate stored afterwards)
        cases = [(22050, "click 1", 1046, "22050"),
                 (22050, "check 1047 1; click 1", 1046, "48000"),
                 (22050, "check 1045 1; click 2", 1046, "22050"),
                 (96000, "check 1046 1; click 1", 1048, "44100"),
                 (31500, "click 1", 1045, "31500")]
        for rate, script, shown, after in cases:
            with self.subTest(rate=rate, script=script):
                self.write_ini(SampleRate=rate)
                _, windows = self.dialog("config", "wait Quistor Config; dump; " + script)
                controls = controls_by_id(windows[0])
                self.assertEqual([i for i in (1045, 1046, 1047, 1048) if controls[i]["checked"]],
                                 [shown])
                self.assertEqual(self.stored()["SampleRate"], after)

    def test_out_of_range_separation_is_kept_unless_accepted(self):
        self.write_ini(StereoSeperation=300)
        self.dialog("config", "wait Quistor Config; click 2")
        self.assertEqual(self.stored()["StereoSeperation"], "300")
        self.dialog("config", "wait Quistor Config; click 1")
        self.assertEqual(self.stored()["StereoSeperation"], "128")


class PositionTest(DialogTest):
    def top_left(self, windows):
        return windows[0]["rect"][:2]

    def test_config_position(self):
        self.write_ini(RememberWindowPositions=1, ConfigX=100, ConfigY=120)
        _, windows = self.dialog("config", "wait Quistor Config; dump; move 200 150; click 1")
        self.assertEqual(self.top_left(windows), [100, 120])
        self.assertEqual((self.stored()["ConfigX"], self.stored()["ConfigY"]), ("200", "150"))
        # Opens where it closed; unticking the box on OK stores nothing.
        _, windows = self.dialog("config", "wait Quistor Config; dump; move 300 50; "
                                 "check 1037 0; click 1")
        self.assertEqual(self.top_left(windows), [200, 150])
        s = self.stored()
        self.assertEqual((s["RememberWindowPositions"], s["ConfigX"], s["ConfigY"]),
                         ("0", "200", "150"))
        # Without the flag the stored place is not used.
        _, windows = self.dialog("config", "wait Quistor Config; dump; click 2")
        self.assertNotEqual(self.top_left(windows), [200, 150])

    def test_cancel_stores_by_the_flag_as_it_was(self):
        self.write_ini(RememberWindowPositions=1)
        self.dialog("config", "wait Quistor Config; move 40 60; check 1037 0; click 2")
        s = self.stored()
        self.assertEqual((s["RememberWindowPositions"], s["ConfigX"], s["ConfigY"]),
                         ("1", "40", "60"))
        self.write_ini(RememberWindowPositions=0)
        self.dialog("config", "wait Quistor Config; move 40 60; check 1037 1; click 2")
        s = self.stored()
        self.assertEqual((s["RememberWindowPositions"], s["ConfigX"]), ("0", str(UNSET)))

    def test_about_and_information_positions(self):
        self.write_ini(RememberWindowPositions=1, AboutX=10, AboutY=20, FCInfoX=30, FCInfoY=40)
        _, windows = self.dialog("about", "wait Quistor MOD player; dump; move 111 222; click 1")
        self.assertEqual(self.top_left(windows), [10, 20])
        info = self.fixture("info.fc")
        _, windows, _ = self.play(info, (0, "details", "wait Quistor FC Info; dump; "
                                         "move 333 144; close"), seconds=0.1)
        self.assertEqual(self.top_left(windows), [30, 40])
        s = self.stored()
        self.assertEqual([s[k] for k in ("AboutX", "AboutY", "FCInfoX", "FCInfoY")],
                         ["111", "222", "333", "144"])
        # Only where the flag is set.
        self.write_ini(RememberWindowPositions=0, AboutX=10, AboutY=20)
        self.dialog("about", "wait Quistor MOD player; move 111 222; click 1")
        self.assertEqual((self.stored()["AboutX"], self.stored()["AboutY"]), ("10", "20"))


class CommonControlsTest(DialogTest):
    def test_the_plugin_registers_the_common_controls_itself(self):
        """Wine creates trackbars and list views without it; Windows does not."""
        objdump = shutil.which("x86_64-w64-mingw32-objdump")
        if not objdump:
            self.skipTest("x86_64-w64-mingw32-objdump is not installed")
        imports = subprocess.run([objdump, "-p", PLUGIN], capture_output=True, text=True,
                                 check=True).stdout
        comctl = imports.split("DLL Name: COMCTL32.dll", 1)
        self.assertEqual(len(comctl), 2, "the plug-in does not import COMCTL32.dll")
        self.assertIn("InitCommonControlsEx", comctl[1].split("DLL Name:", 1)[0])


class AboutDialogTest(DialogTest):
    def test_about_text(self):
        self.write_ini()
        summary, windows = self.dialog("about", "wait Quistor MOD player; dump; shot %s; click 1"
                                       % self.shot("about.png"))
        self.assertEqual(windows[0]["title"], "Quistor MOD player")
        controls = controls_by_id(windows[0])
        self.assertEqual(set(controls), {1, 1014})
        self.assertEqual(controls[1]["text"], "OK")
        self.assertEqual(controls[1014]["items"], ABOUT_TEXT)


class LiveSettingsTest(DialogTest):
    """Dialogs opened while a song plays: the separation preview is heard at
    once, the stored one comes back when the dialog closes, and settings taken
    on OK apply from the next block."""

    def segments(self, summary):
        d = summary["dialogs"][0]
        # A tick may have been mixed ahead of the block the dialog opened at.
        return (0, d["atFrame"] - TICK), (d["atFrame"] + TICK, d["endFrame"] - TICK), \
            (d["endFrame"] + TICK, d["endFrame"] + 40 * TICK)

    def test_separation_preview_and_cancel(self):
        self.write_ini()
        cases = [  # script, expected balance while open, after closing
            ("trackbar 1000 0; render 500; click 2", "mono", "stored"),
            ("check 1008 1; render 500; click 2", "reversed", "stored"),
            ("trackbar 1000 0; render 500; click 1", "mono", "mono"),
        ]
        held = self.fixture("held.fc")
        for script, during, after in cases:
            with self.subTest(script=script):
                summary, _, pcm = self.play(
                    held, (500, "config", "wait Quistor Config; " + script))
                before, open_, closed = (balance(pcm, *s) for s in self.segments(summary))
                self.assertGreater(before, 2)  # voice 0 sounds on the left
                want = {"mono": (0.97, 1.03), "reversed": (1 / before * 0.97, 1 / before * 1.03),
                        "stored": (before * 0.99, before * 1.01)}
                self.assertTrue(want[during][0] <= open_ <= want[during][1], (during, open_))
                self.assertTrue(want[after][0] <= closed <= want[after][1], (after, closed))

    def test_interpolation_from_the_next_block(self):
        self.write_ini()
        held = self.fixture("held.fc")
        _, _, plain = self.play(held)
        summary, _, smooth = self.play(
            held, (1000, "config", "wait Quistor Config; check 1009 1; click 1"))
        self.assertEqual(self.stored()["Interpolation"], "1")
        (b0, b1), _, (a0, a1) = self.segments(summary)
        self.assertEqual(smooth[:b1 * 4], plain[:b1 * 4])
        self.assertNotEqual(smooth[a0 * 4:a1 * 4], plain[a0 * 4:a1 * 4])
        # Interpolation ramps the square wave's edges: no jump from one level to
        # the other within a frame.
        def jumps(pcm):
            left = samples16(pcm[a0 * 4:a1 * 4])[0::2]
            return sum(1 for x, y in zip(left, left[1:]) if abs(x - y) > 15000)
        self.assertGreater(jumps(plain), 10)
        self.assertEqual(jumps(smooth), 0)


class FilterSwitchTest(DialogTest):
    def test_emulate_filter_applies_from_the_next_filter_command(self):
        """The song switches the LED filter on at row 16 (1.92 s). Ticked in
        the dialog at 0.5 s, the switch lets that command through."""
        self.write_ini(EmulateFilter=0)
        _, _, plain = self.play_fixture("filter.mod", seconds=3)
        summary, _, filtered = self.play_fixture(
            "filter.mod", (500, "config", "wait Quistor Config; check 1038 1; click 1"),
            seconds=3)
        self.assertEqual(self.stored()["EmulateFilter"], "1")
        row16 = 16 * 6 * TICK
        self.assertEqual(filtered[:row16 * 4], plain[:row16 * 4])
        # The filter takes the edges off the square wave: its steps spread over
        # several frames.
        def roughness(pcm):
            left = samples16(pcm[(row16 + TICK) * 4:(row16 + 40 * TICK) * 4])[0::2]
            return sum((x - y) ** 2 for x, y in zip(left, left[1:]))
        self.assertLess(roughness(filtered), roughness(plain) * 0.5)


class InfoDialogTest(DialogTest):
    def test_future_composer(self):
        self.write_ini()
        summary, windows, _ = self.play(self.fixture("info.fc"), (
            100, "details", "wait Quistor FC Info; dump; shot %s; click 1" % self.shot("fc.png")),
            seconds=0.5)
        self.assertEqual(summary["dialogs"][0]["result"], 0)
        window = windows[0]
        self.assertEqual(window["title"], "Quistor FC Info")
        controls = controls_by_id(window)
        self.assertEqual({i: c["text"] for i, c in controls.items()},
                         {1022: "2", 1023: "3", 1025: "5", 1024: "1.4", 1: "Impressive!",
                          1026: "Config"})
        self.assertEqual(labels(window), sorted(["Pointless info", "Patterns:", "Song Length:",
                                                 "Speed:", "Version:"]))

    def test_config_button_opens_the_configuration(self):
        self.write_ini()
        _, windows, _ = self.play(self.fixture("info.fc"), (
            0, "details", "wait Quistor FC Info; click 1026; wait Quistor Config; dump; "
                          "check 1009 1; click 1"), seconds=0.1)
        self.assertEqual([w["title"] for w in windows], ["Quistor Config"])
        self.assertEqual(self.stored()["Interpolation"], "1")

    def details(self, name, title, shot=None):
        script = "wait %s; dump; %sclick 1" % (title, "shot %s; " % self.shot(shot) if shot else "")
        summary, windows, _ = self.play_fixture(name, (100, "details", script))
        self.assertEqual(summary["dialogs"][0]["result"], 0)
        self.assertEqual(windows[0]["title"], title)
        self.assertEqual(labels(windows[0]), sorted(INFO_LABELS[title]))
        return controls_by_id(windows[0])

    def test_mod(self):
        controls = self.details("effects.mod", "Quistor MOD Info", "mod.png")
        effects = controls[1029]
        self.assertEqual(effects["columns"], [["Effect", 36], ["Description", 200]])
        self.assertEqual(effects["rows"], [["0nn", "Arpeggio"], ["3nn", "Portamento"],
                                           ["8nn", "unknown"], ["E8n", "unknown"],
                                           ["EEn", "Pattern delay"], ["Fnn", "Set speed/tempo"]])
        self.assertEqual(controls[1005]["items"],
                         ["%02d: sample %d" % (i, i) for i in range(1, 32)])
        self.assertEqual([controls[i]["text"] for i in (1006, 1007, 1008, 1010, 1011)],
                         ["1", "1", "125", "6", "4"])
        self.assertEqual(controls[1017]["items"],
                         ["SoundTracker", "NoiseTracker 1.1", "NoiseTracker 1.2", "StarTrekker",
                          "ProTracker", "FastTracker"])
        self.assertEqual([controls[1]["text"], controls[1027]["text"]], ["Marvellous!", "Config"])
        old = self.details("old.mod", "Quistor MOD Info")
        self.assertEqual(old[1005]["items"], ["01: old one"] + ["%02d: " % i for i in range(2, 16)])

    def test_mod_tracker_choice_applies_to_the_playing_song(self):
        _, windows, _ = self.play_fixture(
            "effects.mod",
            (100, "details", "wait Quistor MOD Info; dump; select 1017 5; click 1"),
            (300, "details", "wait Quistor MOD Info; dump; select 1017 1; click 1"),
            (400, "details", "wait Quistor MOD Info; dump; click 1"))
        self.assertEqual([controls_by_id(w)[1017]["selected"] for w in windows], [4, 5, 1])

    def test_soundmon(self):
        # 2.0: bit 6 repeats, and the later effects are not listed.
        v2 = self.details("v2.bp", "Quistor BP Info")
        self.assertEqual(v2[1031]["rows"], [["6nn", "Set repeat count"]])
        self.assertEqual(v2[1008]["text"], "V2")
        v3 = self.details("v3.bp", "Quistor BP Info", "bp.png")
        self.assertEqual(v3[1031]["rows"], [["6nn", "Vibrato"], ["Bnn", "FX control"],
                                            ["Dnn", "Swap FX / Autoarpeggio"],
                                            ["Enn", "Reset ADSR / Autopeggio"],
                                            ["Fnn", "Autoarpeggio"]])
        self.assertEqual([v3[i]["text"] for i in (1008, 1033, 1034, 1035, 1, 1032)],
                         ["V3", "1", "1", "6", "Marvellous!", "Config"])
        self.assertEqual(len(v3[1030]["items"]), 15)
        self.assertEqual(v3[1030]["items"][0], "01: bass")

    def test_soundfx(self):
        controls = self.details("info.sfx", "Quistor SoundFX Info", "sfx.png")
        self.assertEqual([controls[i]["text"] for i in (1042, 1043, 1044, 1, 1039)],
                         ["2", "2", "125.01", "Alrighty then!", "Config"])
        self.assertEqual(controls[1041]["rows"], [["1nn", "Arpeggio"], ["2nn", "Slide"],
                                                  ["5nn", "Volume Up"],
                                                  ["7nn", "Portamento Down"]])
        self.assertEqual(controls[1040]["items"],
                         ["01: first", "02: second"] + ["%02d: " % i for i in range(3, 16)])

    def test_nothing_for_a_song_that_is_not_playing(self):
        self.write_ini()
        path = self.song(self.fixture("info.fc"))
        summary, windows = self.run_host("details", PLUGIN, windows_path(path))
        self.assertEqual((summary["result"], windows), (0, []))


def crossings(pcm, first, last):
    """Sign changes of the left channel over frames first..last."""
    left = samples16(pcm[first * 4:last * 4])[0::2]
    return sum(1 for x, y in zip(left, left[1:]) if (x < 0) != (y < 0))


class EmulatedInfoDialogTest(DialogTest):
    """The emulated formats' dialog on a plug-in whose emulated format is a
    stand-in: "SUBSONGS n" holds n subsongs of a square wave, subsong k
    sounding at k times the first one's pitch."""

    PROBE = os.path.join(BIN_DIR, "pelmit_subsong_probe.dll")

    def probe(self, count, *dialogs, seconds=3):
        return self.play(b"SUBSONGS %d\n" % count, *dialogs, seconds=seconds, name="tune.hip",
                         plugin=self.PROBE)

    def test_trackbar_chooses_the_subsong_of_the_playing_song(self):
        self.write_ini(RememberWindowPositions=1, HIPInfoX=50, HIPInfoY=60)
        summary, windows, pcm = self.probe(3, (
            1000, "details", "wait Quistor Emulator Info; dump; shot %s; trackbar 1000 3; dump; "
                             "render 1000; move 70 80; click 1" % self.shot("emulated.png")))
        d = summary["dialogs"][0]
        self.assertEqual(d["result"], 0)
        opened, moved = (controls_by_id(w) for w in windows)
        self.assertEqual(windows[0]["title"], "Quistor Emulator Info")
        self.assertEqual(labels(windows[0]), sorted(INFO_LABELS["Quistor Emulator Info"]))
        self.assertEqual(windows[0]["rect"][:2], [50, 60])
        self.assertEqual([opened[i]["text"] for i in (1052, 1050, 1051, 1, 1049)],
                         ["Probe", "3", "1", "That's better", "Config"])
        self.assertEqual((opened[1000]["position"], opened[1000]["range"]), (1, [1, 3]))
        self.assertEqual(moved[1051]["text"], "3")
        # Three times the pitch from the change on; the mixer drops what it
        # had mixed ahead, so the new subsong sounds within a tick or two.
        before = crossings(pcm, 0, d["atFrame"] - TICK)
        after = crossings(pcm, d["atFrame"] + 2 * TICK, d["endFrame"])
        span_before = d["atFrame"] - TICK
        span_after = d["endFrame"] - d["atFrame"] - 2 * TICK
        ratio = (after / span_after) / (before / span_before)
        self.assertTrue(2.8 < ratio < 3.2, ratio)
        s = self.stored()
        self.assertEqual((s["HIPInfoX"], s["HIPInfoY"]), ("70", "80"))

    def test_a_tune_without_subsongs_still_offers_one(self):
        self.write_ini()
        for count in (0, -5):
            with self.subTest(count=count):
                _, windows, _ = self.probe(count, (
                    100, "details", "wait Quistor Emulator Info; dump; click 1"), seconds=0.5)
                controls = controls_by_id(windows[0])
                self.assertEqual(controls[1050]["text"], str(count))
                self.assertEqual(controls[1000]["range"], [1, 1])

    def test_trackbar_on_an_emulated_tune(self):
        """The real player: the Hippel test tune's two subsongs, the second an
        octave above the first."""
        rc, _, err = run_windows(os.path.join(BIN_DIR, "pelmit_emulated_fixtures.exe"),
                                 windows_path(self.tmp))
        self.assertEqual(rc, 0, err)
        with open(os.path.join(self.tmp, "tune.hip"), "rb") as f:
            tune = f.read()
        self.write_ini()
        summary, windows, pcm = self.play(tune, (
            1000, "details", "wait Quistor Emulator Info; dump; shot %s; trackbar 1000 2; dump; "
                             "render 1000; click 1" % self.shot("emulated-hippel.png")),
            name="tune.hip")
        d = summary["dialogs"][0]
        opened, moved = (controls_by_id(w) for w in windows)
        self.assertEqual([opened[i]["text"] for i in (1052, 1050, 1051)],
                         ["Jochen Hippel", "2", "1"])
        self.assertEqual((opened[1000]["position"], opened[1000]["range"]), (1, [1, 2]))
        self.assertEqual(moved[1051]["text"], "2")
        before = crossings(pcm, 0, d["atFrame"] - TICK) / (d["atFrame"] - TICK)
        after = crossings(pcm, d["atFrame"] + 2 * TICK, d["endFrame"]) / \
            (d["endFrame"] - d["atFrame"] - 2 * TICK)
        self.assertTrue(1.9 < after / before < 2.1, after / before)


if __name__ == "__main__":
    main()
