"""The starter content the build puts beside sabrith.dll: each skin loads on
the window with its shape and working buttons, and each preset switches to
its effect with its values."""

import os
import shutil

from jktest import DIST_DIR, main
from sabrith_run import MODULE, SabrithRun, inside, number, read_key, size, stored_skin
from visprobe import read_bmp, win_path

SKINS = os.path.join(DIST_DIR, "LBNSkins")
PRESETS = os.path.join(DIST_DIR, "LBNPresets")
PLAY = [273, 40045, 0]


class StarterContentTest(SabrithRun):
    def test_each_skin_shapes_the_window_and_plays(self):
        # Where Play sits on each face; the corners are cut away, the middle
        # is kept. Slate's Play lights up under the mouse.
        cases = [("Slate/Slate.lbs", (214, 105)), ("Harbour/skin.ini", (52, 97)),
                 ("Copper/Copper.design", (57, 93))]
        for skin, (x, y) in cases:
            with self.subTest(skin=skin):
                path = os.path.join(SKINS, skin)
                self.assertTrue(os.path.isfile(path), path)
                calm, lit = self.shot("calm.bmp"), self.shot("lit.bmp")
                data, _ = self.run_vis(
                    "--frames", "100000", "--realtime", "--player", "play=1,len=200,title=Song",
                    "--do", "wait %s; drop %s; sleep 500; mouse move 137 40; sleep 300; shot %s; "
                    "mouse move %d %d; sleep 300; shot %s; mouse left %d %d; sleep 200; key 0 27"
                    % (MODULE, win_path(path), calm, x, y, lit, x, y))
                w = self.window(data)
                client = w["client"]
                self.assertEqual(size(client), (275, 116))
                region = w["region"]
                self.assertIsNotNone(region)
                for px, py, kept in ((0, 0, False), (274, 115, False), (137, 58, True)):
                    self.assertEqual(inside(region, px, py), kept, (px, py))
                self.assertEqual(self.sent(data, PLAY), (1, True))
                self.assertEqual(stored_skin().lower(), win_path(path).lower())
                if skin.startswith("Copper"):
                    # Every gizmo has its place on the face: nothing is drawn
                    # at the reader's default place, the top left.
                    _, _, face = read_bmp(os.path.join(SKINS, "Copper", "copper.bmp"))
                    _, _, shown = read_bmp(calm)
                    self.assertEqual(shown[5][20:100], face[5][20:100])
                if skin.startswith("Slate"):
                    _, _, before = read_bmp(calm)
                    _, _, after = read_bmp(lit)
                    self.assertNotEqual(before[y][x - 4:x + 4], after[y][x - 4:x + 4],
                                        "the button lights up")

    def test_each_preset_switches_to_its_effect(self):
        # Dropped one after the other; each switch saves the effect before,
        # so every section ends in the registry with the preset's values.
        cases = [("Ice Columns.lbp", 2, "RurizirudoviV", "BarWidth", 3),
                 ("Slow Rain.lbp", 1, "VedozadI", "NumParticles", 2),
                 ("Blue Flame.lbp", 3, "ZirarovoZ", "FlameColor", 0xFF7828)]
        self.set_module(0)
        drops = []
        for i, (name, _, _, _, _) in enumerate(cases):
            # The driver's drop takes a path without spaces.
            copy = os.path.join(self.tmp, "preset%d.lbp" % i)
            shutil.copyfile(os.path.join(PRESETS, name), copy)
            drops.append("drop %s; sleep 300" % win_path(copy))
        self.run_vis("--frames", "100000", "--realtime", "--signal", "sweep", "--do",
                     "wait %s; %s; key 0 27" % (MODULE, "; ".join(drops)))
        self.assertEqual(number(read_key("Lumbrin"), "Module"), cases[-1][1])
        for name, _, section, key, value in cases:
            self.assertEqual(number(read_key(section), key), value, name)


if __name__ == "__main__":
    main()
