"""Each visualization plug-in of the 32-bit build (the vis DLLs of dist/ with an
entry in RUNS; Morsk has its own check with probe children) hosted by the
32-bit testhost for one run beside its 64-bit twin: the same report, and with
"picture" the same screenshot. The test probe runs too, so that the run itself
is exercised whatever lands in dist/. Fennick's run shows that the emulated
32-bit Wine gives it an OpenGL context: its start fails without one.

A plug-in joins with its entry in RUNS, which gives it its own run. Each run
has a folder of its own for each twin, holding a copy of the plug-in (its
settings file goes beside it) and the files of dist/ that the plug-in reads
from the working folder; testhost runs there."""

import glob
import os
import shutil

from jktest import BIN_DIR, DIST_DIR, main, run_windows
from twins import BUILDS, WIN32, TwinTest, read_bytes, win_path

# DLL: (testhost vis options, whether the pictures must match the twin's bit for
# bit, files of dist/ that the plug-in reads from the working folder).
# Fennick draws through the emulated 32-bit Mesa (software, on the display's
# GLX), whose rounding need not be the 64-bit one's: its pictures may differ.
RUNS = {
    "vis_probe.dll": (["--frames", "10", "--signal", "sweep"], True, []),
    "zavudev.dll": (["--frames", "30", "--signal", "sweep"], False, []),
    "yarnot.dll": (["--module", "3", "--frames", "30", "--signal", "sweep"], True,
                   ["bump.BMP"]),
    "fennick.dll": (["--frames", "10", "--signal", "sweep"], False, []),
    # Umbrek's effect choices follow the time it starts at.
    "umbrek.dll": (["--frames", "30", "--signal", "sweep"], False, ["zephrin.dat"]),
    # Sabrith's bars, its default effect, from a clean settings key.
    "sabrith.dll": (["--frames", "30", "--signal", "sweep"], True, []),
}
# Settings keys deleted before each twin's run, so that both start alike.
REGISTRY_KEYS = {"sabrith.dll": "HKCU\\Software\\Lumbrin"}
# What differs between any two runs: handles, times, where the pictures went,
# and the memory a process peaks at (pointers and system DLLs are twice the
# size on the 64-bit twin).
VOLATILE = ("hostWindow", "windows", "screenshots", "renderMs", "peakMemoryBytes")


def vis_plugins():
    """The vis DLLs of dist/ (by what testhost info says of them), and the probe."""
    found = [os.path.join(BIN_DIR, "vis_probe.dll")]
    for path in sorted(glob.glob(os.path.join(DIST_DIR, "*.dll"))):
        if os.path.basename(path) not in RUNS:
            continue
        rc, data, out, err = WIN32.testhost("info", path)
        if data and data.get("kind") == "vis":
            found.append(path)
    return found


class VisTest(TwinTest):
    def test_each_plugin_runs_as_the_twin(self):
        for path in vis_plugins():
            dll = os.path.basename(path)
            options, picture, files = RUNS[dll]
            with self.subTest(dll):
                reports, shots = {}, {}
                for b in BUILDS:
                    source = b.bin_dir if path.startswith(BIN_DIR) else b.dist_dir
                    folder = os.path.join(self.folder[b], os.path.splitext(dll)[0])
                    os.mkdir(folder)
                    for name in [dll] + files:
                        shutil.copy(os.path.join(source, name), folder)
                    shot = os.path.join(folder, "shot.bmp")
                    if dll in REGISTRY_KEYS:
                        run_windows("reg", "delete", REGISTRY_KEYS[dll], "/f")
                    rc, data, out, err = b.testhost("vis", win_path(os.path.join(folder, dll)),
                                                    *options, "--shot", win_path(shot),
                                                    cwd=folder, timeout=300)
                    self.assertEqual(rc, 0, "%d-bit: %s%s" % (b.bits, out, err))
                    self.assertIsNotNone(data, err)
                    reports[b] = {k: v for k, v in data.items() if k not in VOLATILE}
                    # The skin-folder question (201) passes a buffer's address.
                    reports[b]["hostMessages"] = [
                        [m[0], 0, m[2]] if m[0] == 1024 and m[2] == 201 else m
                        for m in data.get("hostMessages", [])]
                    reports[b]["windowTitles"] = sorted(w["title"] for w in data["windows"])
                    shots[b] = read_bytes(shot)
                self.assertEqual(reports[WIN32]["startResult"], 0)
                self.assertEqual(reports[WIN32]["violations"], [])
                self.assertTwins(reports, dll + " report")
                if picture:
                    self.assertTwins(shots, dll + " screenshot")


if __name__ == "__main__":
    main()
