"""Presets of Sabrith's effects through the window's menu under the stand-in
player: Save Preset writes the running effect's section with its keys in the
order the effect saves them, and a preset loaded while another effect runs
(through the open dialog, or dropped) switches the effect and its values."""

import os

from jktest import main
from sabrith_run import MODULE, SabrithRun, number, read_key, through_dialog
from visprobe import win_path

LOAD_PRESET, SAVE_PRESET = 40016, 40017

BARS_KEYS = (["Color_%d" % i for i in range(1, 5)] + ["PeakColor_%d" % i for i in range(1, 5)] +
             ["Mono", "StackVert", "MonoFlipX", "MonoFlipY", "LeftFlipX", "LeftFlipY",
              "RightFlipX", "RightFlipY", "DiamondFlipX", "DiamondFlipY", "Columns", "Peaks",
              "BarWidth", "BarHeight", "HorizSpacing", "PeakDropOff", "PeakAging", "PeakDropAge",
              "MinFreq", "MaxFreq", "Blur", "Fade", "DropOff"])
FOUNTAINS_KEYS = (["Blur", "Fade", "DropOff", "FadeRate", "GravityRate", "Jitter", "Stationary",
                   "AirResistance", "StereoMode", "Type", "NumParticles"] +
                  ["%s_%d" % (key, source) for source in (1, 2)
                   for key in ("Name", "Sensitivity", "ParticleSize", "PPE", "Speed", "MinFreq",
                               "MaxFreq", "Color")])
FLAME_KEYS = ["FlameColor", "MinFreq", "MaxFreq", "Blur", "Fade", "DropOff"]


def read_preset(path):
    """[(section, [(key, value), ...])] of a preset file, in the file's order."""
    sections = []
    with open(path, encoding="latin-1") as f:
        for line in f.read().splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                sections.append((line[1:-1], []))
            elif "=" in line and sections:
                key, value = line.split("=", 1)
                sections[-1][1].append((key, value))
    return sections


class PresetTest(SabrithRun):
    def test_save_then_load_on_another_effect(self):
        # Per effect: a value set in the registry before the save, which the
        # file must carry, and one edited in the file before loading it on
        # another effect (by the open dialog, or dropped). The runs end by
        # frames, which stall while a dialog is open, so the stop comes
        # after the file was written or read.
        cases = [
            # module, section, keys, value before saving, edited value, run on, dropped
            (2, "RurizirudoviV", BARS_KEYS, ("BarWidth", 7), ("PeakAging", 4000), 3, False),
            (1, "VedozadI", FOUNTAINS_KEYS, ("NumParticles", 2), ("Speed_2", 25), 2, False),
            (3, "ZirarovoZ", FLAME_KEYS, ("FlameColor", 0x123456), ("MaxFreq", 100), 1, True),
        ]
        for module, section, keys, saved, edited, other, dropped in cases:
            with self.subTest(section=section):
                self.clear_settings()
                self.set_module(module)
                self.set_value(section, *saved)
                preset = os.path.join(self.tmp, section + ".lbp")
                save = through_dialog(SAVE_PRESET, "Save As", preset)
                self.run_vis("--frames", "300", "--realtime", "--do", "wait %s; %s" % (MODULE, save))
                self.assertTrue(os.path.isfile(preset), "no preset written at " + preset)
                [(name, values)] = read_preset(preset)
                self.assertEqual(name, section)
                self.assertEqual([k for k, _ in values], keys)
                self.assertEqual(dict(values)[saved[0]], str(saved[1]))

                with open(preset, encoding="latin-1") as f:
                    text = f.read()
                line = "%s=%s" % (edited[0], dict(values)[edited[0]])
                self.assertIn(line, text)
                with open(preset, "w", encoding="latin-1") as f:
                    f.write(text.replace(line, "%s=%d" % edited))
                self.clear_settings()
                self.set_module(other)
                load = ("drop " + win_path(preset) if dropped else
                        through_dialog(LOAD_PRESET, "Open", preset))
                self.run_vis("--frames", "300", "--realtime", "--do",
                             "wait %s; %s" % (MODULE, load))
                self.assertEqual(number(read_key("Lumbrin"), "Module"), module)
                rows = read_key(section)
                self.assertEqual([number(rows, k) for k, _ in (saved, edited)],
                                 [saved[1], edited[1]])


if __name__ == "__main__":
    main()
