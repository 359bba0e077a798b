"""tolvern.exe in batch mode under Wine: the names on its command line become
XM files beside them and sample files in the working folder, with no window;
every refused file is told on the console, writes no XM and leaves an
existing one untouched."""

import os
import shutil
import struct
import subprocess

from jktest import DIST_DIR, SOURCE_DIR, TempDirTest, main, run_windows

EXE = os.path.join(DIST_DIR, "tolvern.exe")
DEMO = os.path.join(SOURCE_DIR, "tolvern", "demo", "demo.ym")


def info(path):
    out = subprocess.run(["openmpt123", "--info", path], capture_output=True, text=True).stdout
    return {k.strip(". "): v.strip() for k, _, v in
            (l.partition(":") for l in out.splitlines() if ":" in l)}


def pack(folder, name, data):
    """A level-0 -lh5- archive of data, made by jlha, saved as folder/name."""
    work = os.path.join(folder, "pack")
    os.makedirs(work, exist_ok=True)
    with open(os.path.join(work, "song.ym"), "wb") as f:
        f.write(data)
    subprocess.run(["jlha", "c0o5", "song.lzh", "song.ym"], cwd=work, check=True,
                   capture_output=True)
    with open(os.path.join(work, "song.lzh"), "rb") as f:
        archive = f.read()
    assert archive[2:7] == b"-lh5-", "jlha stored instead of packing"
    with open(os.path.join(folder, name), "wb") as f:
        f.write(archive)


class BatchTest(TempDirTest):
    def convert(self, *names):
        return run_windows(EXE, *names, cwd=self.tmp, timeout=60)

    def path(self, name):
        return os.path.join(self.tmp, name)

    def test_converts_every_name_without_a_window(self):
        for name in ("a.ym", "b.ym"):
            shutil.copy(DEMO, self.path(name))
        # A window would wait for the user and time out here.
        rc, out, err = self.convert("a.ym", "b.ym")
        self.assertEqual(rc, 0, err)
        self.assertEqual(out + err.replace("\r", ""), "")
        for name in ("a.xm", "b.xm"):
            i = info(self.path(name))
            self.assertEqual(i["Type"], "xm (FastTracker 2 v1.04)")
            self.assertEqual(i["Channels"], "12")
            self.assertEqual(i["Patterns"], "8")
            self.assertEqual(i["Instruments"], "8")
        with open(self.path("a.xm"), "rb") as a, open(self.path("b.xm"), "rb") as b:
            self.assertEqual(a.read(), b.read())
        with open(self.path("sample16.smp"), "rb") as f:
            self.assertEqual(len(f.read()), 900)

    def test_quoted_names_with_blanks_and_dots(self):
        os.mkdir(self.path("my music.d"))
        shutil.copy(DEMO, self.path("my music.d/the song"))
        shutil.copy(DEMO, self.path("x.y.ym"))
        rc, _, err = self.convert("my music.d/the song", "x.y.ym")
        self.assertEqual(rc, 0, err)
        self.assertTrue(os.path.exists(self.path("my music.d/the song.xm")))
        self.assertTrue(os.path.exists(self.path("x.y.xm")))

    def test_refused_files_are_told_and_write_nothing(self):
        with open(DEMO, "rb") as f:
            good = f.read()
        header = 22 + good[21]
        ym5 = (b"YM5!TaMbUrX!" + struct.pack(">IIHIHIH", 200, 1, 0, 2000000, 50, 0, 0)
               + b"t\0a\0c\0" + bytes(16 * 200))
        cases = {
            "plain.ym": (None, b"just some text, no archive" * 10, "Not an lha file : plain.ym"),
            "level.ym": (None, good[:20] + b"\2" + good[21:], "Error : LHA header level must be 0"),
            "crc.ym": (None, good[:header] + bytes([good[header] ^ 1]) + good[header + 1:],
                       "Error : CRC error in lh5 - file !"),
            "cut.ym": (None, good[:len(good) // 2], "Error : Corrupted lh5 - file !"),
            "check.ym": (ym5, None, "Error Wrong check string in YM-file !"),
            "ym3b.ym": (b"YM3b" + bytes(3000), None, "Error YM3b files cannot be converted !"),
            "missing.ym": (None, None, "Not found : missing.ym"),
        }
        for name, (image, raw, message) in cases.items():
            with self.subTest(name=name):
                if image is not None:
                    pack(self.tmp, name, image)
                elif raw is not None:
                    with open(self.path(name), "wb") as f:
                        f.write(raw)
                xm = self.path(name[:-3] + ".xm")
                with open(xm, "wb") as f:
                    f.write(b"the user's own file")
                rc, out, err = self.convert(name)
                self.assertEqual(rc, 1)
                self.assertEqual((out + err).replace("\r", "").strip(), message)
                with open(xm, "rb") as f:
                    self.assertEqual(f.read(), b"the user's own file")

    def test_one_failure_does_not_stop_the_others(self):
        shutil.copy(DEMO, self.path("good.ym"))
        rc, _, err = self.convert("none.ym", "good.ym")
        self.assertEqual(rc, 1)
        self.assertIn("Not found : none.ym", err)
        self.assertTrue(os.path.exists(self.path("good.xm")))


if __name__ == "__main__":
    main()
