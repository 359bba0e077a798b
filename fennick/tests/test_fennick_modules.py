"""Fennick's four modules under Wine with Mesa's OpenGL: each draws on a sine
and on beats (and differently in silence), Space steps the Tunnel's wall and
the Cube's picture through "G3D_*.bmp", the Tunnel keeps launching flares
over restarts, every module runs beside a probe under Morsk, and broken
textures or hostile settings leave the frames going."""

import os
import shutil
import sys

from jktest import DIST_DIR, main, testhost
from test_fennick import CLASS, MODULES, FennickTest
from visprobe import ProbeFolder, read_bmp, write_burst_wav, write_mux_ini

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "win"))
from textures import write_bmp  # noqa: E402

WIDTH, HEIGHT = 640, 480


def solid(colour):
    return lambda x, y: colour


class ModuleTest(FennickTest):
    def setUp(self):
        super().setUp()
        self.beats = write_burst_wav(os.path.join(self.tmp, "beats.wav"), seconds=6.0)

    def texture(self, name, colour=(200, 120, 40), size=16):
        write_bmp(os.path.join(self.tmp, name), size, size, solid(colour))

    def run_module(self, module, signal, frames=300, *args):
        """A run that must start, render every frame and stop; gives the
        client area of its last screenshot (rows of (r, g, b))."""
        shot = os.path.join(self.tmp, "m%d.bmp" % module)
        data, _ = self.vis("--module", module, "--frames", frames, "--signal", signal, "--shot",
                           shot, *args)
        self.assertEqual((data["startResult"], data["stopReason"]), (0, "frames"))
        self.assertEqual(data["framesRendered"], frames)
        [window] = [w for w in data["windows"] if w["class"] == CLASS][-1:]
        return self.client_area(shot, window)

    def client_area(self, shot, window):
        client, rect = window["client"], window["rect"]
        self.assertEqual((client[2] - client[0], client[3] - client[1]), (WIDTH, HEIGHT))
        _, _, rows = read_bmp(shot)
        left, top = client[0] - rect[0], client[1] - rect[1]
        return [row[left:left + WIDTH] for row in rows[top:top + HEIGHT]]


def mean_colour(area):
    n = len(area) * len(area[0])
    return tuple(sum(p[c] for row in area for p in row) / n for c in range(3))


def lit(area):
    """The share of pixels that are not black."""
    n = len(area) * len(area[0])
    return sum(p != (0, 0, 0) for row in area for p in row) / n


class Pictures(ModuleTest):
    def test_each_module_draws_the_sound(self):
        self.texture("g3d_def.bmp", (40, 40, 40))
        self.texture("g3dflare.bmp", (30, 30, 30))
        for module, name in enumerate(MODULES):
            with self.subTest(module=name):
                sine = self.run_module(module, "sine:440")
                beats = self.run_module(module, self.beats)
                silence = self.run_module(module, "silence")
                self.assertGreater(lit(sine), 0.01)
                self.assertGreater(lit(beats), 0.01)
                self.assertNotEqual(beats, silence)


class Space(ModuleTest):
    def test_space_changes_the_walls_and_the_cubes_colour(self):
        # Blend mode against black: a green texture takes green out of the
        # picture, a blue one blue (the cube's red light is the weakest).
        self.texture("G3D_A.bmp", (0, 255, 0))
        self.texture("G3D_B.bmp", (0, 0, 255))
        self.write_ini({"Tunnel": {"Bright": 120, "Flares": 0}})
        for module in (2, 3):
            with self.subTest(module=MODULES[module]):
                shot = os.path.join(self.tmp, "space%d.bmp" % module)
                data, _ = self.vis("--module", module, "--frames", 30, "--signal", "silence",
                                   "--shot", shot, "--shot-every", 5, "--key-at", "1:32")
                [window] = data["windows"]
                stem = shot[:-4]
                before = mean_colour(self.client_area(stem + "-0010.bmp", window))
                after = mean_colour(self.client_area(stem + "-0030.bmp", window))
                # One of green and blue falls to almost nothing; before, it was there.
                gone = [c for c in (1, 2) if after[c] < 0.2 * before[c]]
                self.assertEqual(len(gone), 1, (before, after))
                self.assertGreater(before[gone[0]], 5, before)


class Restarts(ModuleTest):
    def test_tunnel_launches_flares_after_ten_restarts(self):
        self.texture("g3dflare.bmp", (0, 0, 0))
        shot = os.path.join(self.tmp, "restarts.bmp")
        data, _ = self.vis("--module", 2, "--frames", 60, "--signal", self.beats, "--restarts",
                           10, "--shot", shot)
        self.assertEqual(data["restarts"]["startResults"], [0] * 10)
        window = data["windows"][-1]
        # Walls are black (Bright 0) but where the flares light them.
        self.assertGreater(lit(self.client_area(shot, window)), 0.01)


class UnderMorsk(ModuleTest):
    def test_each_module_beside_a_probe_and_escape_ends_the_run(self):
        probes = ProbeFolder(self.tmp)
        probe = probes.add("p", x=700, y=10)
        morsk = os.path.join(self.tmp, "morsk.dll")
        shutil.copy(os.path.join(DIST_DIR, "morsk.dll"), morsk)
        plugin_ini = os.path.join(self.tmp, "plugin.ini")
        for module, name in enumerate(MODULES):
            with self.subTest(module=name):
                log = os.path.join(self.tmp, "p.log")
                if os.path.exists(log):
                    os.remove(log)
                write_mux_ini(plugin_ini, (self.dll, module), (probe, 0))
                rc, data, err = testhost("vis", morsk, "--frames", "100", "--signal", self.beats)
                self.assertEqual(rc, 0, err)
                self.assertEqual(data["violations"], [])
                self.assertEqual((data["startResult"], data["stopReason"]), (0, "frames"))
                self.assertEqual(probes.ops("p"),
                                 ["load", "start"] + ["render"] * 100 + ["stop", "unload"])
                ours = [w for w in data["windows"] if w["class"] == CLASS]
                self.assertEqual([(w["title"], w["open"]) for w in ours], [(name, False)])
        rc, data, err = testhost("vis", morsk, "--frames", "3000", "--realtime", "--do",
                                 "wait %s; key 0 27" % MODULES[-1])
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["stopReason"], "quit")
        self.assertLess(data["framesRendered"], 3000)


class HostileInput(ModuleTest):
    def broken_textures(self, kind):
        for name in ("g3d_def.bmp", "g3dflare.bmp"):
            path = os.path.join(self.tmp, name)
            write_bmp(path, 16, 16, solid((250, 250, 250)))
            with open(path, "rb") as f:
                raw = bytearray(f.read())
            if kind == "truncated":
                raw = raw[:200]
            else:  # 8 bits a pixel, no palette to speak of
                raw[28] = 8
            with open(path, "wb") as f:
                f.write(raw)

    def test_broken_textures_leave_texturing_off_and_frames_going(self):
        self.write_ini({"Tunnel": {"Bright": 200, "Flares": 0}})
        for kind in ("truncated", "8-bit"):
            self.broken_textures(kind)
            for module in (2, 3):
                with self.subTest(kind=kind, module=MODULES[module]):
                    area = self.run_module(module, "sine:440", 30)
                    # White texels would darken everything; untextured, the
                    # walls and the cube keep their colours.
                    self.assertGreater(lit(area), 0.1)

    def test_hostile_settings_are_limited_where_used(self):
        cases = [
            {"Block": {"GridRes": 0}},
            {"Block": {"GridRes": 99, "Sensitivity": -400, "RotSpeed": 2147483647}},
            {"Block": {"GridRes": 100000, "Dynamic": 7}},
            {"Tunnel": {"FlareSpeed": 0, "BassSensitivity": -5, "MiddleSensitivity": -2147483648,
                        "TrebleFlareSensitivity": -2147483648, "Bright": 100000,
                        "RotSpeed": -90, "Randomize": 1}},
            {"Wave": {"Sensitivity": -2147483648, "Mode": 9, "Style": 1, "Dynamic": 0}},
        ]
        for sections in cases:
            [(section, _)] = sections.items()
            with self.subTest(settings=sections):
                self.write_ini(sections)
                module = ["Wave", "Block", "Tunnel"].index(section)
                self.run_module(module, self.beats, 40)


if __name__ == "__main__":
    main()
