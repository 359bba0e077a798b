"""Helpers for tests that host visualization plug-ins: a folder of probe
plug-ins (copies of vis_probe.dll, each configured by its section of
probe.ini and logging to NAME.log), Windows paths under Wine, the ini files
the plug-ins write, BMP screenshots and BMP pictures to load."""

import configparser
import json
import os
import shutil
import struct

from jktest import BIN_DIR, DIST_DIR, TempDirTest, run_windows

PROBE = os.path.join(BIN_DIR, "vis_probe.dll")


def win_path(path):
    """A Linux path as Wine's programs see it (drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_vis(dll, *args):
    """testhost vis under Wine: (exit code, the JSON of its last line or None,
    the windows the driver's "dump" wrote, stderr)."""
    rc, out, err = run_windows(os.path.join(BIN_DIR, "testhost.exe"), "vis", dll, *args)
    lines = out.splitlines()
    reports = [l for l in lines if l.startswith("{")]
    dumps = [json.loads(l[len("window "):]) for l in lines if l.startswith("window ")]
    return rc, json.loads(reports[-1]) if reports else None, dumps, err


def read_ini(path, section):
    """One section of an ini file as a dict with the keys as written."""
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    with open(path, encoding="latin-1") as f:
        parser.read_file(f)
    return dict(parser[section]) if parser.has_section(section) else None


class ProbeFolder:
    """A folder of probe plug-ins: add("a", modules=4) puts a.dll there,
    configured by [a] in probe.ini; log("a") reads what it logged."""

    def __init__(self, folder):
        self.folder = folder
        self.config = {}

    def path(self, name):
        return os.path.join(self.folder, name + ".dll")

    def add(self, name, **settings):
        shutil.copy(PROBE, self.path(name))
        self.config[name] = settings
        with open(os.path.join(self.folder, "probe.ini"), "w", newline="\r\n") as f:
            for section, values in self.config.items():
                f.write("[%s]\n" % section)
                for key, value in values.items():
                    f.write("%s=%s\n" % (key, value))
        return self.path(name)

    def log(self, name):
        path = os.path.join(self.folder, name + ".log")
        if not os.path.exists(path):
            return []
        with open(path) as f:
            return [json.loads(line) for line in f if line.strip()]

    def calls(self, name, *ops):
        """The logged module calls (start, render, stop, settings) in order."""
        ops = ops or ("start", "render", "stop", "settings")
        return [e for e in self.log(name) if e["op"] in ops]

    def ops(self, name):
        return [e["op"] for e in self.log(name)]


def write_mux_ini(path, *children):
    """Writes plugin.ini for Morsk hosting CHILDREN, (dll path, module) pairs,
    side by side in that order."""
    with open(path, "w", newline="\r\n") as f:
        f.write("[Visualization Mux]\nREDO_ZODODEZ=%d\n" % len(children))
        for k, (dll, module) in enumerate(children, 1):
            f.write("Vis%d=%s\nMod%d=%d\n" % (k, win_path(dll), k, module))


class ProbeTest(TempDirTest):
    """A temporary folder with a ProbeFolder in self.probes, into which
    deliverables can be copied (the copies then share probe.ini and
    plugin.ini with the probes)."""

    def setUp(self):
        super().setUp()
        self.probes = ProbeFolder(self.tmp)

    def copy_deliverable(self, name):
        path = os.path.join(self.tmp, name)
        shutil.copy(os.path.join(DIST_DIR, name), path)
        return path


def read_bmp(path):
    """(width, height, rows of (r, g, b) tuples, top row first) of a 24-bit BMP."""
    with open(path, "rb") as f:
        raw = f.read()
    offset = struct.unpack_from("<I", raw, 10)[0]
    width, height = struct.unpack_from("<ii", raw, 18)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        line = y if height < 0 else abs(height) - 1 - y
        base = offset + line * stride
        rows.append([(raw[base + 3 * x + 2], raw[base + 3 * x + 1], raw[base + 3 * x])
                     for x in range(width)])
    return width, abs(height), rows


def write_bmp(path, width, height, pixel):
    """An uncompressed 24-bit BMP; pixel(x, y) gives (r, g, b), y = 0 the top row."""
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        data += row + bytes(stride - len(row))
    header = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + len(data), 0, 0, 54, 40, width,
                         height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + data)


def write_burst_wav(path, rate=44100, seconds=4.0, every=0.5, first=0.25, burst=0.05,
                    frequency=1000, amplitude=0.5):
    """A 16-bit stereo WAV of silence with a sine burst (BURST seconds long)
    every EVERY seconds from FIRST on: beats for a visualization."""
    import math
    import wave
    frames = int(rate * seconds)
    samples = bytearray()
    for n in range(frames):
        t = n / rate
        v = 0
        if t >= first and (t - first) % every < burst:
            v = int(32767 * amplitude * math.sin(2 * math.pi * frequency * t))
        samples += struct.pack("<hh", v, v)
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(samples))
    return path
