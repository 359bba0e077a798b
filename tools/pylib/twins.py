"""Helpers of the 32-bit tier (tools/win32-tier): the same program of the real
32-bit build and of its 64-bit twin, run side by side under the tier's Wine,
so that each check can hold the 32-bit result against the twin's.

The tier's ctest entries run with JK_BIN_DIR and JK_DIST_DIR of the win32 tree
and JK_TWIN_DIR naming the win64 tree."""

import json
import os

from jktest import BIN_DIR, DIST_DIR, TempDirTest, run_windows

TWIN_DIR = os.environ.get("JK_TWIN_DIR", "")


class Build:
    """One of the twins: its folders and the Wine loader that starts its programs
    (the 32-bit loader starts a 32-bit program without a second emulated start)."""

    def __init__(self, bits, bin_dir, dist_dir, loader):
        self.bits, self.bin_dir, self.dist_dir, self.loader = bits, bin_dir, dist_dir, loader

    def bin(self, name):
        return os.path.join(self.bin_dir, name)

    def dist(self, name):
        return os.path.join(self.dist_dir, name)

    def run(self, program, *args, cwd=None, timeout=300):
        """Runs a program of this build; returns (exit code, stdout, stderr)."""
        env = {"WINELOADER": self.loader}
        if self.bits == 32:
            env["WINELOADERNOEXEC"] = "1"
        return run_windows(program, *args, cwd=cwd, timeout=timeout, env=env)

    def testhost(self, *args, exe=None, cwd=None, timeout=300):
        """Runs this build's testhost; returns (exit code, its JSON line or None, stdout,
        stderr)."""
        rc, out, err = self.run(exe or self.bin("testhost.exe"), *args, cwd=cwd,
                                timeout=timeout)
        lines = [l for l in out.splitlines() if l.startswith("{")]
        return rc, json.loads(lines[-1]) if lines else None, out, err


WIN32 = Build(32, BIN_DIR, DIST_DIR, "/usr/lib/wine/wine")
WIN64 = Build(64, os.path.join(TWIN_DIR, "bin"), os.path.join(TWIN_DIR, "dist"),
              "/usr/lib/wine/wine64")
BUILDS = (WIN32, WIN64)


def win_path(path):
    """A Linux path as Wine's programs see it (drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read_bytes(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError as e:
        raise AssertionError("cannot read %s: %s" % (path, e.strerror)) from e


def write_bytes(path, data):
    try:
        with open(path, "wb") as f:
            f.write(data)
    except OSError as e:
        raise AssertionError("cannot write %s: %s" % (path, e.strerror)) from e


class TwinTest(TempDirTest):
    """A test with a folder of its own for each twin: self.folder[build]."""

    maxDiff = None

    def setUp(self):
        super().setUp()
        self.folder = {}
        for b in BUILDS:
            self.folder[b] = os.path.join(self.tmp, "win%d" % b.bits)
            os.mkdir(self.folder[b])

    def assertTwins(self, results, what):
        """results: {build: value}; the 32-bit value must be the twin's."""
        a, b = results[WIN32], results[WIN64]
        if isinstance(a, bytes):
            # Bytes: say where they part instead of printing them.
            if a != b:
                at = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
                self.fail("%s: the 32-bit build's %d bytes part from the twin's %d at byte %d"
                          % (what, len(a), len(b), at))
        else:
            self.assertEqual(a, b, what + ": the 32-bit build (first) beside its twin")

    def play(self, plugin, song, *extra, exe=None, skip=("wallSeconds",)):
        """testhost play in both twins into WAV files; returns ({build: JSON less the
        keys in skip}, {build: WAV bytes}) after checking that both ran cleanly."""
        data, wavs = {}, {}
        name = os.path.basename(song)
        for b in BUILDS:
            wav = os.path.join(self.folder[b], name + ".wav")
            host = exe(b) if exe else None
            rc, result, out, err = b.testhost("play", b.dist(plugin), win_path(song), "--wav",
                                              win_path(wav), *extra, exe=host)
            self.assertEqual(rc, 0, "%d-bit: %s%s" % (b.bits, out, err))
            self.assertIsNotNone(result, err)
            self.assertEqual(result["violations"], [], "%d-bit" % b.bits)
            data[b] = {k: v for k, v in result.items() if k not in skip}
            wavs[b] = read_bytes(wav)
        return data, wavs
