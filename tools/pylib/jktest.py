"""Shared helpers for the integration tests that drive the Windows build
through Wine: run testhost and other programs, read its JSON and WAV output."""

import json
import os
import struct
import subprocess
import sys
import tempfile
import unittest

BIN_DIR = os.environ.get("JK_BIN_DIR", "")
DIST_DIR = os.environ.get("JK_DIST_DIR", "")
SOURCE_DIR = os.environ.get("JK_SOURCE_DIR", "")
TESTDATA_DIR = os.environ.get("JK_TESTDATA_DIR", "")
# Through the wrapper that retries a process Wine failed to start.
WINE = os.path.join(SOURCE_DIR, "tools", "wine-retry") if SOURCE_DIR else "wine"


def run_windows(program, *args, timeout=300, cwd=None, env=None):
    """Runs a Windows program under Wine, with the variables in env added to
    the environment; returns (exit code, stdout, stderr)."""
    proc = subprocess.run([WINE, program, *map(str, args)], capture_output=True,
                          timeout=timeout, cwd=cwd, stdin=subprocess.DEVNULL,
                          env=dict(os.environ, **env) if env else None)
    return (proc.returncode, proc.stdout.decode("latin-1"),
            proc.stderr.decode("latin-1"))


def testhost(*args, timeout=300, exe=None, cwd=None, env=None):
    """Runs testhost (with the variables in env added to its environment);
    returns (exit code, parsed JSON of its last line or None, stderr)."""
    rc, out, err = run_windows(exe or os.path.join(BIN_DIR, "testhost.exe"), *args,
                               timeout=timeout, cwd=cwd, env=env)
    lines = [l for l in out.splitlines() if l.startswith("{")]
    data = json.loads(lines[-1]) if lines else None
    return rc, data, err


def read_wav(path):
    """Returns (rate, channels, bits, data bytes) of a PCM WAV file."""
    with open(path, "rb") as f:
        raw = f.read()
    if raw[:4] != b"RIFF" or raw[8:12] != b"WAVE":
        raise ValueError(path + " is not a WAV file")
    pos, fmt, data = 12, None, None
    while pos + 8 <= len(raw):
        tag, size = raw[pos:pos + 4], struct.unpack_from("<I", raw, pos + 4)[0]
        body = raw[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", body)
        elif tag == b"data":
            data = body
        pos += 8 + size + (size & 1)
    _, channels, rate, _, _, bits = fmt
    return rate, channels, bits, data


def samples16(data):
    """The 16-bit samples of a PCM byte string."""
    return struct.unpack("<%dh" % (len(data) // 2), data[:len(data) // 2 * 2])


class TempDirTest(unittest.TestCase):
    """A test case with a fresh temporary folder in self.tmp."""

    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory(prefix="jk-")
        self.tmp = self._tmp.name

    def tearDown(self):
        self._tmp.cleanup()


def main():
    unittest.main(argv=[sys.argv[0], "-v"])
