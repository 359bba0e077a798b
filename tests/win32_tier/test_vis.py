"""Each visualization plug-in of the 32-bit build (every vis DLL in dist/ but
Morsk, which has its own check with probe children) hosted by the 32-bit
testhost for one run beside its 64-bit twin: the same report, and with
"picture" the same screenshot. The test probe stands for them until the
first lands, so that the run itself is always exercised.

A plug-in joins with its entry in RUNS, which gives it its own run."""

import glob
import os

from jktest import BIN_DIR, DIST_DIR, main
from twins import BUILDS, WIN32, TwinTest, read_bytes, win_path

# DLL: (testhost vis options, whether the pictures must match the twin's bit for bit)
# A plug-in runs here once it has its entry: Yarnot needs its texture in the
# working folder and Fennick an emulated GL context, which their entries are
# still to provide.
RUNS = {
    "vis_probe.dll": (["--frames", "10", "--signal", "sweep"], True),
    "zavudev.dll": (["--frames", "30", "--signal", "sweep"], False),
}
DEFAULT_RUN = (["--frames", "30", "--signal", "sweep"], False)
# What differs between any two runs: handles, times, and where the pictures went.
VOLATILE = ("hostWindow", "windows", "screenshots", "renderMs")


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
            options, picture = RUNS.get(dll, DEFAULT_RUN)
            with self.subTest(dll):
                reports, shots = {}, {}
                for b in BUILDS:
                    own = os.path.join(b.bin_dir if path.startswith(BIN_DIR) else b.dist_dir,
                                       dll)
                    shot = os.path.join(self.folder[b], dll + ".bmp")
                    rc, data, out, err = b.testhost("vis", own, *options, "--shot",
                                                    win_path(shot), timeout=300)
                    self.assertEqual(rc, 0, "%d-bit: %s%s" % (b.bits, out, err))
                    self.assertIsNotNone(data, err)
                    reports[b] = {k: v for k, v in data.items() if k not in VOLATILE}
                    reports[b]["windowTitles"] = sorted(w["title"] for w in data["windows"])
                    shots[b] = read_bytes(shot)
                self.assertEqual(reports[WIN32]["startResult"], 0)
                self.assertEqual(reports[WIN32]["violations"], [])
                self.assertTwins(reports, dll + " report")
                if picture:
                    self.assertTwins(shots, dll + " screenshot")


if __name__ == "__main__":
    main()
