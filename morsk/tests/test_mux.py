"""Morsk under the stand-in player with probe children: plugin.ini read and
written back, which children start and with what, rows per child, the result
rules, compatibility mode, and the faults mended (itself or a renamed copy
as a child, a failing start, a second stop, one library in two slots)."""

import os
import shutil

from jktest import BIN_DIR, main, testhost
from visprobe import ProbeTest, read_ini, win_path

SECTION = "Visualization Mux"


class MuxTest(ProbeTest):
    def setUp(self):
        super().setUp()
        self.morsk = self.copy_deliverable("morsk.dll")
        self.ini = os.path.join(self.tmp, "plugin.ini")

    def write_ini(self, slots, count=None, mods=None, compatibility=None, before=""):
        """slots: probe names or paths, in slot order (None for an empty slot)."""
        lines = ["[%s]" % SECTION, "REDO_ZODODEZ=%d" % (count if count is not None else len(slots))]
        for n, name in enumerate(slots, 1):
            if name is not None:
                path = name if os.path.isabs(name) else self.probes.path(name)
                lines.append("Vis%d=%s" % (n, win_path(path)))
        for n, module in (mods or {}).items():
            lines.append("Mod%d=%d" % (n, module))
        if compatibility is not None:
            lines.append("Compatibility=%d" % compatibility)
        with open(self.ini, "w", newline="\r\n") as f:
            f.write(before + "\n".join(lines) + "\n")

    def run_mux(self, *args):
        rc, data, err = testhost("vis", self.morsk, *args)
        self.assertIsNotNone(data, err)
        self.assertEqual(rc, 0, err)
        return data

    def settings(self):
        return read_ini(self.ini, SECTION)

    def assert_freed_by_mux(self, name):
        """The probe was unloaded while the host went on (not at its exit)."""
        self.assertIn({"op": "unload", "processExit": False}, self.probes.log(name))

    def test_no_settings_file(self):
        data = self.run_mux("--frames", "5")
        self.assertEqual(data["startResult"], 1)
        self.assertEqual(data["stopReason"], "startFailed")
        expected = {"REDO_ZODODEZ": "4", "Compatibility": "0"}
        for n in range(1, 5):
            expected.update({"Vis%d" % n: "", "Mod%d" % n: "0"})
        self.assertEqual(self.settings(), expected)
        self.assertEqual(list(self.settings())[:3], ["REDO_ZODODEZ", "Vis1", "Mod1"])

    def test_children_get_their_library_the_host_fields_and_their_rows(self):
        self.probes.add("a", spectrumChannels=0, waveformChannels=1, x=0, y=0)
        self.probes.add("b", spectrumChannels=2, waveformChannels=0, x=300, y=300)
        # Another plug-in's section in the shared file is left alone.
        self.write_ini(["a", "b"], before="[wake up]\nSpeed=3\n")
        data = self.run_mux("--frames", "3", "--rate", "22050", "--channels", "1")
        self.assertEqual(data["startResult"], 0)
        self.assertEqual(read_ini(self.ini, "wake up"), {"Speed": "3"})
        for name, spectrum, waveform in (("a", False, True), ("b", True, False)):
            calls = self.probes.calls(name)
            self.assertEqual([c["op"] for c in calls], ["start"] + ["render"] * 3 + ["stop"])
            for c in calls:
                self.assertTrue(c["ownInstance"], name)
                self.assertEqual(c["hostWindow"], data["hostWindow"])
                self.assertEqual((c["rateHz"], c["channelCount"]), (22050, 1))
            # Every row before the start, then only the kinds asked for.
            self.assertEqual(calls[0]["spectrum"] + calls[0]["waveform"], [True] * 4)
            for c in calls[1:4]:
                self.assertEqual(c["spectrum"], [spectrum] * 2, name)
                self.assertEqual(c["waveform"], [waveform] * 2, name)
            self.assert_freed_by_mux(name)
        titles = sorted(w["title"] for w in data["windows"])
        self.assertEqual(titles, ["Probe a #0", "Probe b #0"])
        self.assertTrue(all(w["ownedByHost"] and not w["open"] for w in data["windows"]))

    def test_failing_first_child_and_a_child_stopping_itself(self):
        self.probes.add("a", startResult=1)
        self.probes.add("b", stopAfter=3)
        self.write_ini(["a", "b"])
        data = self.run_mux("--frames", "10")
        self.assertEqual(data["startResult"], 0)
        self.assertEqual(data["stopReason"], "renderFrame")
        self.assertEqual(data["framesRendered"], 3)
        self.assertEqual([c["op"] for c in self.probes.calls("a")], ["start"])
        self.assertEqual([c["op"] for c in self.probes.calls("b")],
                         ["start", "render", "render", "render", "stop"])
        self.assert_freed_by_mux("a")
        self.assert_freed_by_mux("b")

    def test_module_search_and_what_is_written_back(self):
        self.probes.add("four", modules=4, window=0)
        self.probes.add("none", modules=0)
        self.probes.add("direct", modules=3, window=0)
        missing = os.path.join(self.tmp, "missing.dll")
        self.write_ini(["four", "none", "direct", missing], mods={1: 7, 2: 5, 3: 2, 4: 9})
        data = self.run_mux("--frames", "2")
        self.assertEqual(data["startResult"], 0)
        written = self.settings()
        self.assertEqual([written["Mod%d" % n] for n in range(1, 5)], ["0", "-1", "2", "9"])
        self.assertEqual(written["Vis4"], win_path(missing))
        self.assertEqual([(c["op"], c["module"]) for c in self.probes.calls("four")],
                         [("start", 0), ("render", 0), ("render", 0), ("stop", 0)])
        self.assertEqual([c["module"] for c in self.probes.calls("direct")], [2] * 4)
        self.assertEqual(self.probes.calls("none"), [])
        self.assert_freed_by_mux("none")

    def test_an_over_long_path_is_an_empty_slot_and_none_of_it_is_written_back(self):
        # No system call takes a text over 32,766 characters; the profile
        # functions fault on one. The longest that fits is kept as written
        # (it only fails to load); a longer one, even one cut in reading,
        # leaves its slot empty, and the child behind it still starts.
        for length, kept in ((32766, True), (33000, False), (70000, False)):
            with self.subTest(length=length):
                child = "c%d" % length
                self.probes.add(child)
                path = "C:\\" + "p" * (length - 7) + ".dll"
                with open(self.ini, "w", newline="\r\n") as f:
                    f.write("[%s]\nREDO_ZODODEZ=2\nVis1=%s\nVis2=%s\n"
                            % (SECTION, path, win_path(self.probes.path(child))))
                data = self.run_mux("--frames", "2")
                self.assertEqual(data["startResult"], 0)
                self.assertEqual([c["op"] for c in self.probes.calls(child)],
                                 ["start", "render", "render", "stop"])
                settings = self.settings()
                self.assertEqual(settings["Vis1"], path if kept else "")
                self.assertTrue(settings["Vis2"].endswith(child + ".dll"), settings["Vis2"])

    def test_thirty_slots_at_most(self):
        self.probes.add("p30", window=0)
        self.probes.add("p31", window=0)
        self.write_ini([None] * 29 + ["p30", "p31"], count=50)
        data = self.run_mux("--frames", "1")
        self.assertEqual(data["startResult"], 0)
        self.assertEqual(len(self.probes.calls("p30")), 3)
        self.assertEqual(self.probes.log("p31"), [])  # never even loaded
        written = self.settings()
        self.assertEqual(written["REDO_ZODODEZ"], "30")
        self.assertEqual(written["Mod30"], "0")
        self.assertNotIn("Mod31", written)

    def test_compatibility_mode(self):
        self.probes.add("direct", latency=5, delay=5, window=0)
        self.probes.add("searched", modules=2, latency=10, delay=40, window=0)
        self.probes.add("later", latency=99, delay=99, window=0)
        for compatibility, expected, mux in (
                (1, {"direct": (25, 25), "searched": (10, 25), "later": (10, 25)}, (10, 25)),
                (0, {"direct": (5, 5), "searched": (10, 40), "later": (99, 99)}, (25, 25))):
            with self.subTest(compatibility=compatibility):
                for name in expected:
                    log = os.path.join(self.tmp, name + ".log")
                    if os.path.exists(log):
                        os.remove(log)
                self.write_ini(["direct", "searched", "later"], mods={2: 9},
                               compatibility=compatibility)
                data = self.run_mux("--frames", "1")
                for name, values in expected.items():
                    start = self.probes.calls(name, "start")[0]
                    self.assertEqual((start["frameLatencyMs"], start["frameDelayMs"]), values,
                                     name)
                self.assertEqual((data["frameLatencyMs"], data["frameDelayMs"]), mux)
                self.assertEqual(self.settings()["Compatibility"], str(compatibility))

    def test_itself_and_a_renamed_copy_are_never_children(self):
        copy = os.path.join(self.tmp, "othermux.dll")
        shutil.copy(self.morsk, copy)
        self.probes.add("a", window=0)
        self.write_ini([self.morsk, copy, "a"])
        data = self.run_mux("--frames", "3")
        self.assertEqual(data["startResult"], 0)
        self.assertEqual([c["op"] for c in self.probes.calls("a")],
                         ["start", "render", "render", "render", "stop"])

    def test_only_a_renamed_copy(self):
        copy = os.path.join(self.tmp, "othermux.dll")
        shutil.copy(self.morsk, copy)
        self.write_ini([copy])
        data = self.run_mux("--frames", "3")
        self.assertEqual(data["startResult"], 1)

    def test_every_child_failing(self):
        # Every start is called and fails: the mux started, and has nothing to render.
        self.probes.add("a", startResult=1)
        self.probes.add("b", startResult=2)
        self.write_ini(["a", "b"])
        data = self.run_mux("--frames", "5")
        self.assertEqual((data["startResult"], data["stopReason"], data["framesRendered"]),
                         (0, "renderFrame", 1))
        for name in ("a", "b"):
            self.assertEqual([c["op"] for c in self.probes.calls(name)], ["start"])
            self.assert_freed_by_mux(name)

        # No child gets as far as a start: every library loaded is freed at once.
        not_vis = os.path.join(self.tmp, "notvis.dll")
        shutil.copy(os.path.join(BIN_DIR, "sine_plugin.dll"), not_vis)
        self.probes.add("nullheader", header=0)
        self.probes.add("nomodules", modules=0)
        self.write_ini([not_vis, "nullheader", "nomodules", os.path.join(self.tmp, "gone.dll")])
        data = self.run_mux("--frames", "5")
        self.assertEqual((data["startResult"], data["stopReason"]), (1, "startFailed"))
        for name in ("nullheader", "nomodules"):
            self.assertEqual(self.probes.ops(name), ["load", "unload"])
            self.assert_freed_by_mux(name)

    def test_second_stop_frees_nothing_twice(self):
        self.probes.add("a")
        self.write_ini(["a"])
        data = self.run_mux("--frames", "2", "--stop-twice")
        self.assertEqual(data["stopCalls"], 2)
        self.assertEqual(self.probes.ops("a"),
                         ["load", "start", "render", "render", "stop", "unload"])

    def test_same_library_in_two_slots_starts_once(self):
        self.probes.add("a", modules=2)
        self.write_ini(["a", "a"], mods={2: 1})
        data = self.run_mux("--frames", "2")
        self.assertEqual(data["startResult"], 0)
        self.assertEqual(self.probes.ops("a"),
                         ["load", "start", "render", "render", "stop", "unload"])
        self.assertEqual(self.settings()["Mod2"], "1")
        self.assert_freed_by_mux("a")


if __name__ == "__main__":
    main()
