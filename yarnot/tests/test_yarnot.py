"""Yarnot under the stand-in player: its records, each module in a window,
the picture against the texture, keys, the configuration dialog, starts that
fail with their boxes, hostile settings, a run under Morsk beside a probe,
and full screen inside Wine's virtual desktop."""

import os
import struct

from jktest import main, testhost
from visprobe import ProbeTest, read_bmp, read_ini, run_vis, win_path

MODULES = ["Quorl I", "Quorl II", "Rot-Zoomer (fake perspective)", "Rot-Zoomer"]


def texel(row, column):
    """The test texture's colour at a texel: green the row, blue the column."""
    return ((row * 3 + column * 5) & 255, row, column)


def bmp(header_size=40, width=256, height=256, bits=24, compression=0, magic=b"BM",
        pixel=texel, offset=None):
    """A texture file; texel row 0 is stored first."""
    offset = offset if offset is not None else 14 + header_size
    out = bytearray(magic + struct.pack("<IHHI", offset + 65536 * 3, 0, 0, offset))
    if header_size == 12:
        out += struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        out += struct.pack("<IiiHHI", header_size, width, height, 1, bits, compression)
    out += bytes(offset - len(out))
    for row in range(256):
        for column in range(256):
            r, g, b = pixel(row, column)
            out += bytes((b, g, r))
    return bytes(out)


def cdiv(a, b):
    """Integer division that truncates toward zero, as the plug-in's does."""
    q = abs(a) // abs(b)
    return q if (a >= 0) == (b > 0) else -q


class YarnotTest(ProbeTest):
    def setUp(self):
        super().setUp()
        self.dll = self.copy_deliverable("yarnot.dll")
        self.ini = os.path.join(self.tmp, "plugin.ini")
        self.texture = os.path.join(self.tmp, "texture.bmp")
        with open(self.texture, "wb") as f:
            f.write(bmp())

    def settings(self, module, **keys):
        """Writes one module's section (the texture by default) over the file."""
        keys.setdefault("Filename", win_path(self.texture))
        with open(self.ini, "w", newline="\r\n") as f:
            f.write("[%s]\n" % MODULES[module])
            for key, value in keys.items():
                f.write("%s=%s\n" % (key, value))

    def run_vis(self, module, *args, clean=True):
        """testhost vis; returns its JSON and the "window" lines of dumps."""
        rc, data, dumps, err = run_vis(self.dll, "--module", module, *args)
        self.assertIsNotNone(data, err)
        if clean:
            self.assertEqual(rc, 0, err)
            self.assertEqual(data["violations"], [])
        return data, dumps

    def window(self, data):
        [w] = data["windows"]
        return w

    def client(self, data):
        """The client area's top-left corner in a screenshot of the window,
        and its size."""
        w = self.window(data)
        (left, top, right, bottom), (wl, wt, _, _) = w["client"], w["rect"]
        return (left - wl, top - wt), (right - left, bottom - top)

    def shot(self, name):
        return os.path.join(self.tmp, name)

    def test_info(self):
        rc, data, err = testhost("info", self.dll)
        self.assertEqual(rc, 0, err)
        self.assertEqual((data["kind"], data["abiVersion"], data["displayName"]),
                         ("vis", 257, "Dremlow Visualization Module"))
        self.assertEqual(data["modules"], MODULES)
        for values, channels in zip(data["moduleValues"], [(0, 2), (0, 2), (2, 0), (2, 0)]):
            self.assertEqual((values["frameLatencyMs"], values["frameDelayMs"]), (25, 25))
            self.assertEqual((values["spectrumChannels"], values["waveformChannels"]), channels)
        self.assertTrue(data["negativeIndexGivesNull"])

    def test_each_module_in_a_window(self):
        for module in range(4):
            for signal in ("sweep", "sine:440"):
                with self.subTest(module=MODULES[module], signal=signal):
                    # Refresh 20 for one run shows latency and delay following it.
                    refresh = 20 if module == 2 else 40
                    self.settings(module, Refresh=refresh, Width=256, Height=200)
                    data, _ = self.run_vis(module, "--frames", "300", "--signal", signal)
                    self.assertEqual((data["startResult"], data["stopReason"]), (0, "frames"))
                    w = self.window(data)
                    self.assertEqual((w["title"], w["class"]), (MODULES[module], "Dremlow"))
                    self.assertTrue(w["ownedByHost"])
                    self.assertFalse(w["open"])
                    self.assertEqual(w["rect"][:2], [50, 50])
                    self.assertEqual(self.client(data)[1], (256, 200))
                    self.assertEqual((data["frameLatencyMs"], data["frameDelayMs"]),
                                     (1000 // refresh,) * 2)
                    # The stop writes the position only.
                    keys = read_ini(self.ini, MODULES[module])
                    self.assertEqual((keys["Screen_x"], keys["Screen_y"]), ("50", "50"))
                    self.assertNotIn("Blur", keys)

    def test_quorl_picture_is_the_texture(self):
        width, height = 300, 280
        for blur, frames in ((0, 3), (1, 40)):
            with self.subTest(blur=blur):
                self.settings(0, Flags=0, Blur=blur, Width=width, Height=height)
                data, _ = self.run_vis(0, "--frames", frames, "--signal", "silence",
                                       "--shot", self.shot("quorl.bmp"))
                _, _, rows = read_bmp(self.shot("quorl.bmp"))
                (x0, y0), size = self.client(data)
                self.assertEqual(size, (width, height))
                for y in range(0, height, 3):
                    for x in range(0, width, 2):
                        expected = texel(y & 255, x & 255)
                        if blur:
                            # A still picture settles from below on (c AND 0xFE) - 1.
                            expected = tuple(max((c & 0xFE) - 1, 0) for c in expected)
                        self.assertEqual(rows[y0 + y][x0 + x], expected, (x, y))

    def test_keys(self):
        self.settings(3, Refresh=60)
        data, _ = self.run_vis(3, "--frames", "300", "--realtime", "--do",
                               "wait Rot-Zoomer; move 100 120; key 0 70")
        self.assertIn([256, 70, 1], data["hostMessages"])
        self.assertIn([257, 70, 1 | 0xC0000000], data["hostMessages"])
        self.assertEqual(data["stopReason"], "frames")
        # The stop writes where the window was moved to.
        keys = read_ini(self.ini, "Rot-Zoomer")
        self.assertEqual((keys["Screen_x"], keys["Screen_y"]), ("100", "120"))

        self.settings(3, Refresh=60, Screen_x=30, Screen_y=40)
        data, _ = self.run_vis(3, "--frames", "100000", "--realtime", "--do",
                               "wait Rot-Zoomer; key 0 27")
        self.assertEqual(data["stopReason"], "quit")
        self.assertEqual(self.window(data)["rect"][:2], [30, 40])
        self.assertFalse(self.window(data)["open"])
        self.assertNotIn(27, [m[1] for m in data["hostMessages"]])

    def test_titles(self):
        def white(shot, data):
            """Columns of pure white in the client area's top rows."""
            _, _, rows = read_bmp(shot)
            (x0, y0), (width, _) = self.client(data)
            return sorted({x for y in range(20) for x in range(width)
                           if rows[y0 + y][x0 + x] == (255, 255, 255)})

        for title, flags, shown in (("Song - Jukora", 4, True), ("Jukora", 4, False),
                                    ("Song - Jukora", 0, False)):
            with self.subTest(title=title, flags=flags):
                self.settings(0, Flags=flags, Blur=0)
                data, _ = self.run_vis(0, "--frames", "2", "--signal", "silence", "--host-title",
                                       title, "--shot", self.shot("title.bmp"))
                columns = white(self.shot("title.bmp"), data)
                if shown:
                    self.assertTrue(columns)
                    self.assertLessEqual(columns[0], 5)  # drawn from x = 2
                else:
                    self.assertEqual(columns, [])

        self.settings(0, Flags=4 | 0x10, Blur=0)
        data, _ = self.run_vis(0, "--frames", "3", "--signal", "silence", "--host-title",
                               "Song - Jukora", "--shot", self.shot("scroll.bmp"),
                               "--shot-every", "1")
        first = [white(self.shot("scroll-%04d.bmp" % n), data)[0] for n in (1, 2, 3)]
        self.assertEqual(first, [first[0], first[0] - 1, first[0] - 2])

    def test_configuration_dialog(self):
        before = "[Quorl II]\r\nFlags=453\r\nScreen_x=7\r\nOther=1\r\n"
        with open(self.ini, "w", newline="") as f:
            f.write(before)
        script = ("wait Dremlow Configuration; dump; set 1004 C:\\t.bmp; set 1005 640; "
                  "set 1006 480; check 1002 1; check 1009 0; dump; check 1012 1; "
                  "trackbar 1003 60; trackbar 1001 3; click 1008")
        _, dumps = self.run_vis(1, "--config", "--do", script)

        def enabled(dump):
            return {c["id"]: c["enabled"] for c in dump["controls"] if c["id"] in (1010, 1011, 1012)}
        self.assertEqual(enabled(dumps[0]), {1010: False, 1011: True, 1012: False})
        self.assertEqual(enabled(dumps[1]), {1010: True, 1011: False, 1012: True})
        # 453 is 0x1C5: the bits outside the dialog's stay.
        self.assertEqual(read_ini(self.ini, "Quorl II"), {
            "Flags": str(0x1C5 & ~0x3E | 0x22), "Screen_x": "7", "Other": "1", "Width": "640",
            "Height": "480", "Refresh": "60", "Blur": "3", "Filename": "C:\\t.bmp"})

        with open(self.ini, "rb") as f:
            written = f.read()
        for ending in ("click 2", "close"):
            with self.subTest(ending=ending):
                self.run_vis(1, "--config", "--do",
                             "wait Dremlow Configuration; set 1005 999; check 1002 0; " + ending)
                with open(self.ini, "rb") as f:
                    self.assertEqual(f.read(), written)

        _, dumps = self.run_vis(1, "--config", "--do",
                                "wait Dremlow Configuration; click 4; wait Select an image file...; "
                                "dump; close; use Dremlow Configuration; click 2")
        self.assertEqual(dumps[0]["title"], "Select an image file...")

    def test_failed_starts_show_their_box(self):
        def named(text, path):
            return text + '\n"' + win_path(path) + '"'
        missing = os.path.join(self.tmp, "missing.bmp")
        cases = [
            ("256 x 128", bmp(height=128), "Not a 256 x 256 x 24-bit image:"),
            ("8-bit", bmp(bits=8), "Not a 256 x 256 x 24-bit image:"),
            ("compressed", bmp(compression=1), "Not a 256 x 256 x 24-bit image:"),
            ("108-byte header", bmp(header_size=108), "Don't know how to handle image file:"),
            ("not BM", bmp(magic=b"XM"), "Not a BMP image file:"),
            ("cut short", bmp()[:40000], "Error reading image file:"),
            ("missing", None, "Error opening image file:"),
            ("empty name", None, None),
        ]
        for what, content, text in cases:
            with self.subTest(what):
                path = missing if content is None else os.path.join(self.tmp, "bad.bmp")
                if content is not None:
                    with open(path, "wb") as f:
                        f.write(content)
                if text is None:
                    self.settings(3, Filename="")
                    message = "Please select an image file\nin the Configuration Dialog!"
                else:
                    self.settings(3, Filename=win_path(path))
                    message = named(text, path)
                with open(self.ini, "rb") as f:
                    before = f.read()
                # The class goes with the failed start: a second start
                # shows the same box rather than failing silently.
                data, dumps = self.run_vis(
                    3, "--frames", "5", "--restarts", "1", "--do",
                    "wait Dremlow Message; dump; close; wait Dremlow Message; dump; close")
                self.assertEqual((data["startResult"], data["stopReason"]), (1, "startFailed"))
                self.assertEqual(data["restarts"]["startResults"], [1])
                self.assertEqual(data["windows"], [])
                self.assertEqual(len(dumps), 2)
                for box in dumps:
                    self.assertEqual(box["title"], "Dremlow Message")
                    self.assertIn(message, [c["text"] for c in box["controls"]])
                with open(self.ini, "rb") as f:
                    self.assertEqual(f.read(), before)

    def test_class_held_and_window_refused(self):
        # A class already taken: 1 without a box (the script waits in vain).
        self.settings(3)
        data, _ = self.run_vis(3, "--frames", "5", "--hold-class", "Dremlow", "--do",
                               "wait Dremlow Message; close", clean=False)
        self.assertEqual(data["startResult"], 1)
        self.assertTrue(data["errors"])
        for flags in (0, 2):
            with self.subTest(flags=flags):
                self.settings(3, Flags=flags)
                data, _ = self.run_vis(3, "--frames", "5", "--refuse-window", "Dremlow",
                                       "--restarts", "1")
                self.assertEqual(data["startResult"], 1)
                # Only the first window is refused: the second round starts,
                # which it could not with the class left behind.
                self.assertEqual(data["restarts"]["startResults"], [0])
                self.assertEqual(data["screen"]["afterStop"], [1024, 768])
                # The second round is the one that changes the mode.
                self.assertEqual(data["restarts"]["lastAfterStop"], [1024, 768])

    def test_restarts_leave_nothing_behind(self):
        """Memory grows over the first rounds while the system warms its
        caches; a leak keeps it growing. So a short and a long series of
        restarts must grow alike."""
        for flags, short, long in ((0, 10, 50), (2, 5, 15)):
            with self.subTest(flags=flags):
                self.settings(3, Flags=flags)
                growth = []
                for restarts in (short, long):
                    data, _ = self.run_vis(3, "--frames", "3", "--restarts", restarts)
                    self.assertEqual(data["restarts"]["startResults"], [0] * restarts)
                    first, last = data["restarts"]["nextHandle"]
                    self.assertEqual(first, last)
                    first, last = data["restarts"]["memoryBytes"]
                    growth.append(last - first)
                    self.assertEqual(data["screen"]["afterStop"], [1024, 768])
                # One 320 x 240 picture left behind a round would add 3 MB.
                self.assertLess(growth[1] - growth[0], 1 << 20, growth)

    def test_hostile_settings(self):
        cases = [
            ({"Refresh": 0}, 320, 240, 100),
            ({"Refresh": 1000}, 320, 240, 16),
            ({"Blur": 7, "Width": 322, "Height": 243}, 320, 240, 25),
            ({"Blur": -1}, 320, 240, 25),
            ({"Width": 2, "Height": "x"}, 4, 4, 25),
            ({"Width": -50, "Height": 7}, 4, 4, 25),
            ({"Width": 100000, "Height": 250, "Refresh": "fast", "Blur": "lots"}, 4096, 248, 100),
        ]
        for module in (2, 0):
            for keys, width, height, delay in cases:
                with self.subTest(module=module, keys=keys):
                    self.settings(module, **keys)
                    data, _ = self.run_vis(module, "--frames", "20", "--signal", "sweep")
                    self.assertEqual(data["startResult"], 0)
                    self.assertEqual(data["frameDelayMs"], delay)
                    if module == 0:
                        width = min(width, 576)
                    self.assertEqual(data["framesRendered"], 20)
                    # Tiny and huge windows are bent by the window manager's
                    # own limits; the others show the picture's size.
                    if 100 <= width <= 1000 and height >= 100:
                        self.assertEqual(self.client(data)[1], (width, height))

    def test_under_morsk_beside_a_probe(self):
        morsk = self.copy_deliverable("morsk.dll")
        probe = self.probes.add("probe", window=0)
        for module in range(4):
            with self.subTest(module=MODULES[module]):
                log = os.path.join(self.tmp, "probe.log")
                if os.path.exists(log):
                    os.remove(log)
                self.settings(module)
                with open(self.ini, "a", newline="\r\n") as f:
                    f.write("[Visualization Mux]\nREDO_ZODODEZ=2\nVis1=%s\nMod1=%d\nVis2=%s\n"
                            % (win_path(self.dll), module, win_path(probe)))
                rc, data, err = testhost("vis", morsk, "--frames", "100", "--signal", "sweep")
                self.assertEqual(rc, 0, err)
                self.assertEqual((data["startResult"], data["framesRendered"]), (0, 100))
                ops = [c["op"] for c in self.probes.calls("probe")]
                self.assertEqual(ops, ["start"] + ["render"] * 100 + ["stop"])
                [w] = [w for w in data["windows"] if w["class"] == "Dremlow"]
                self.assertEqual(w["title"], MODULES[module])
                self.assertFalse(w["open"])
                self.assertEqual(read_ini(self.ini, "Visualization Mux")["Mod1"], str(module))
                self.assertEqual(read_ini(self.ini, MODULES[module])["Screen_x"], "50")

    def test_full_screen(self):
        """Inside the 1024 x 768 virtual desktop: the smallest mode that holds
        the picture, the picture centred in it, the desktop's mode after."""
        width, height = 600, 400
        for flags, mode, place in ((2, (640, 400), (20, 0)), (2 | 0x20, (640, 480), (20, 40)),
                                   (2 | 0x20 | 8, (640, 480), (20, 40))):
            with self.subTest(flags=flags):
                self.settings(3, Flags=flags, Blur=0, Width=width, Height=height)
                # A mode an earlier program left reaches this one late, if at all.
                data, _ = self.run_vis(3, "--frames", "10", "--signal", "silence",
                                       "--wait-screen", "1024x768", "--shot", self.shot("full.bmp"))
                w = self.window(data)
                self.assertEqual(w["rect"], [0, 0, mode[0], mode[1]])
                self.assertFalse(w["open"])
                screen = data["screen"]
                self.assertEqual(screen["beforeStart"], [1024, 768])
                self.assertEqual(screen["lastFrame"], list(mode))
                self.assertEqual(screen["afterStop"], [1024, 768])
                shot_width, shot_height, rows = read_bmp(self.shot("full.bmp"))
                self.assertEqual((shot_width, shot_height), mode)
                # Silence leaves the picture unturned and unzoomed.
                dv = cdiv(16383 * 512, -512)
                p0 = 0x100000 - cdiv(dv * height, 2)
                q0 = 0x100000 - cdiv(dv * width, 2)
                for y in range(0, height, 5):
                    for x in range(0, width, 3):
                        row, column = ((p0 + y * dv) >> 13) & 255, ((q0 + x * dv) >> 13) & 255
                        self.assertEqual(rows[place[1] + y][place[0] + x], texel(row, column),
                                         (flags, x, y))
                self.assertEqual(rows[place[1]][place[0] - 1], (0, 0, 0))


if __name__ == "__main__":
    main()
