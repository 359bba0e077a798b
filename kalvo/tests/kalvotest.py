"""Shared pieces of Kalvo's Wine tests: the TQZ fixtures, Windows paths,
the registry of the Wine prefix, and the window dumps of testhost."""

import json
import os
import shutil
import subprocess
import sys

from jktest import BIN_DIR, DIST_DIR, SOURCE_DIR, run_windows

PLUGIN = os.path.join(DIST_DIR, "kalvo.dll")
PROFILES = r"HKCU\Software\Veltmark\Orvane\Profiles"


def python_with_mutagen():
    """The tests' own interpreter may lack python3-mutagen; Debian's has it."""
    for exe in (sys.executable, "/usr/bin/python3"):
        if exe and subprocess.run([exe, "-c", "import mutagen"],
                                  capture_output=True).returncode == 0:
            return exe
    raise RuntimeError("no Python with mutagen (python3-mutagen) found")


def make_fixtures(folder):
    """Writes the TQZ files into folder; returns the manifest."""
    subprocess.run([python_with_mutagen(), os.path.join(SOURCE_DIR, "tools", "pylib", "make_tqz.py"), folder],
                   check=True)
    with open(os.path.join(folder, "manifest.json")) as f:
        return json.load(f)


def windows_path(path):
    """The name a Windows program sees for a file of the Unix side."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def unix_path(path):
    """The Unix file behind a Windows path of the Wine prefix (C: or Z:)."""
    drive, rest = path[:2].upper(), path[2:].replace("\\", "/")
    if drive == "Z:":
        return rest
    if drive != "C:":
        raise ValueError(path)
    # The prefix's folders keep their own case; find each part case-insensitively.
    current = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    for part in [p for p in rest.split("/") if p]:
        names = os.listdir(current) if os.path.isdir(current) else []
        match = [n for n in names if n.lower() == part.lower()]
        current = os.path.join(current, match[0] if match else part)
    return current


def host_copy(folder):
    """testhost copied into folder: its ini file (host.ini) is then the test's own."""
    exe = os.path.join(folder, "host.exe")
    shutil.copy(os.path.join(BIN_DIR, "testhost.exe"), exe)
    return exe, os.path.join(folder, "host.ini")


def reg(*args):
    rc, out, err = run_windows("reg", *args)
    return rc, out


def set_profile(name):
    """Makes name the current profile (None: no profile at all)."""
    reg("delete", r"HKCU\Software\Veltmark", "/f")
    if name is not None:
        reg("add", PROFILES, "/ve", "/d", name, "/f")


def set_hide_minibrowser(profile, value):
    reg("add", PROFILES + "\\" + profile, "/v", "HideMinibrowser", "/t", "REG_DWORD", "/d",
        str(value), "/f")


def hide_minibrowser(profile):
    """The stored value, or None when there is none."""
    rc, out = reg("query", PROFILES + "\\" + profile, "/v", "HideMinibrowser")
    for line in out.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == "HideMinibrowser":
            return int(parts[2], 16)
    return None


def windows_of(stdout):
    """The "window {...}" dumps that a testhost script printed."""
    return [json.loads(l[len("window "):]) for l in stdout.splitlines()
            if l.startswith("window ")]


def controls(window):
    return {c["id"]: c for c in window["controls"]}


def read_ini(path):
    """The ini file as {section: {key: value}} (Windows writes CRLF)."""
    out, section = {}, None
    with open(path, encoding="latin-1") as f:
        for line in f.read().splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                section = out.setdefault(line[1:-1], {})
            elif "=" in line and section is not None:
                k, v = line.split("=", 1)
                section[k] = v
    return out
