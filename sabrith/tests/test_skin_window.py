"""Sabrith's skins on the real window under the stand-in player: Tovrel
buttons lighting up under the mouse, S stepping through the skins of a file,
a minute of minimising and restoring through the tray, broken skins and
pictures dropped or loaded through the menu, registry values of the wrong
type, and a skin loaded from the property sheet's Display page."""

import os

from fixture_skin import (FACE_GREY, TOVREL_BUTTONS, TOVREL_HOVER_LIFT, WIDE_ORANGE, bmp_file,
                          write_file, write_nerrit_skin, write_skin, write_tovrel_skin,
                          write_two_skins)
from jktest import main, run_windows
from sabrith_run import (FILE_NAME, FIRST_PLACE, KEY, MODULE, WINDOW_SETTINGS, SabrithRun, inside,
                         lit, number, read_key, size, stored_skin, through_dialog)
from visprobe import read_bmp, win_path, write_bmp

SYSCOMMAND, SC_MINIMIZE = 274, 0xF020
TRAY, TRAY_LEFT_DOWN = 1024, 513
EFFECT_ITEMS = (40020, 40021, 40022)


def effect_pixels(rows, *box):
    """How many pixels of the box are neither black nor the fixture's grey."""
    return lit(rows, box, ((0, 0, 0), FACE_GREY))


class SkinWindowTest(SabrithRun):
    def folder(self, name):
        path = os.path.join(self.tmp, name)
        os.mkdir(path)
        return path

    def test_tovrel_buttons_light_up_under_the_mouse(self):
        # Each button's face fills its 19 x 15 inside (the white top row and
        # left column are masked out); the one under the mouse shows its
        # lighter face until the mouse leaves it.
        tovrel = write_tovrel_skin(self.tmp)
        play = TOVREL_BUTTONS[0][1] + 10
        shots = [self.shot(n) for n in ("before.bmp", "over-play.bmp", "after.bmp")]
        self.run_vis("--frames", "100000", "--realtime", "--do",
                     "wait %s; drop %s; sleep 500; mouse move 137 40; sleep 300; shot %s; "
                     "mouse move %d 93; sleep 300; shot %s; mouse move 137 40; sleep 300; "
                     "shot %s; key 0 27" % (MODULE, win_path(tovrel), shots[0], play, shots[1],
                                            shots[2]))
        for shot, hovered in zip(shots, (None, "Play", None)):
            _, _, rows = read_bmp(shot)
            for name, left, colour in TOVREL_BUTTONS:
                if name == hovered:
                    colour = tuple(c + TOVREL_HOVER_LIFT for c in colour)
                face = [rows[y][x] for y in range(86, 101) for x in range(left + 1, left + 20)]
                self.assertEqual(face.count(colour), len(face), (shot, name))

    def test_s_steps_through_the_skins_of_a_file(self):
        # The file's first skin (grey, 275 x 116 at most, round corners cut
        # out), S: the second (orange, at least 320 x 160, square), S: the
        # first again. The effect shows inside each skin's insets.
        skin = write_two_skins(self.tmp)
        shots = [self.shot("skin%d.bmp" % i) for i in range(3)]
        steps = "; key 0 83; sleep 500".join("; dump; shot " + s for s in shots)
        data, dumps = self.run_vis("--frames", "100000", "--realtime", "--signal", "sweep", "--do",
                                   "wait %s; drop %s; sleep 500%s; key 0 27"
                                   % (MODULE, win_path(skin), steps))
        self.assertEqual([size(d["client"]) for d in dumps], [(275, 116), (320, 160), (275, 116)])
        for shot, (face_colour, width, height, insets) in zip(
                shots, ((FACE_GREY, 275, 116, (6, 20, 6, 20)),
                        (WIDE_ORANGE, 320, 160, (10, 30, 10, 30)),
                        (FACE_GREY, 275, 116, (6, 20, 6, 20)))):
            w, h, rows = read_bmp(shot)
            self.assertEqual((w, h), (width, height))
            left, top, right, bottom = insets
            self.assertEqual(rows[10][width // 2], face_colour, shot)
            self.assertEqual(rows[height - 10][width // 2], face_colour, shot)
            self.assertGreater(effect_pixels(rows, left, top, width - right, height - bottom), 100, shot)
        self.assertEqual(read_bmp(shots[1])[2][0][0], WIDE_ORANGE, "the wide skin is square")
        region = self.window(data)["region"]
        self.assertIsNotNone(region, "the first skin's corners are cut out again")
        self.assertFalse(inside(region, 0, 0))
        self.assertTrue(inside(region, 137, 58))
        self.assertEqual(stored_skin().lower(), win_path(skin).lower())

    def test_a_minute_of_minimising_and_restoring_through_the_tray(self):
        # First a Tovrel skin's Minimize button hides the window; then a skin
        # of 1 px insets leaves the effects a 2 x 2 area of the 4 x 4 images
        # of a minimised window, while the effect changes each round. Each
        # time the tray icon's click brings the window back at its place, and
        # at the end it still draws. Clicks and tray messages are sent, so
        # that each is done when the dump looks.
        tovrel = write_tovrel_skin(self.folder("tovrel"))
        skin = write_skin(self.tmp, insets=(1, 1, 1, 1))
        minimize = [left + 10 for name, left, _ in TOVREL_BUTTONS if name == "Minimize"][0]
        click = 93 << 16 | minimize
        restore = "sleep 200; send %d %d %d; sleep 300; dump" % (TRAY, TRAY, TRAY_LEFT_DOWN)
        rounds = ["drop %s; sleep 500" % win_path(tovrel)]
        rounds += ["send 513 1 %d; send 514 0 %d; dump; %s" % (click, click, restore)] * 40
        rounds.append("drop %s; sleep 500" % win_path(skin))
        rounds += ["post 273 %d 0; send %d %d 0; dump; %s"
                   % (EFFECT_ITEMS[i % 3], SYSCOMMAND, SC_MINIMIZE, restore) for i in range(60)]
        a, b = self.shot("end-a.bmp"), self.shot("end-b.bmp")
        data, dumps = self.run_vis("--frames", "1000000", "--realtime", "--signal", "sweep",
                                   "--do", "wait %s; %s; sleep 300; shot %s; sleep 300; shot %s; "
                                   "key 0 27" % (MODULE, "; ".join(rounds), a, b))
        self.assertEqual(data["stopReason"], "quit")
        minimised, restored = dumps[0::2], dumps[1::2]
        # Minimised, the client area is empty.
        self.assertEqual([size(d["client"]) for d in minimised], [(0, 0)] * 100)
        self.assertEqual([d["rect"] for d in restored], [FIRST_PLACE] * 100)
        pictures = [read_bmp(s)[2] for s in (a, b)]
        for rows in pictures:
            self.assertEqual(rows[0][137], FACE_GREY, "the skin's frame")
            self.assertGreater(effect_pixels(rows, 1, 1, 274, 115), 100, "the effect draws")
        self.assertNotEqual(pictures[0], pictures[1], "and goes on drawing")

    def broken_pictures(self):
        """Faces the BMP reader takes with its overruns clipped, or refuses."""
        broken_palette = bytearray(bmp_file(275, 116, [FACE_GREY], bytes(276 * 116)))
        broken_palette[46:50] = b"\xff\xff\xff\xff"
        small = os.path.join(self.tmp, "small.bmp")
        write_bmp(small, 4, 4, lambda x, y: FACE_GREY)
        with open(small, "rb") as f:
            int_min_height = bytearray(f.read())
        int_min_height[22:26] = b"\x00\x00\x00\x80"
        # Runs longer than a row, a move past the picture and a run there.
        rle = [255, 1, 255, 1, 0, 0, 255, 1, 0, 2, 200, 200, 5, 1, 0, 1]
        return {"rle-overruns": bmp_file(275, 116, [(0, 0, 0), (255, 255, 255)], rle, 1),
                "palette-0xffffffff": bytes(broken_palette),
                "one-pixel": bmp_file(1, 1, [FACE_GREY], [0, 0, 0, 0]),
                "int-min-height": bytes(int_min_height)}

    def test_broken_skins_leave_the_window_running(self):
        # Own skins with a broken face load with a black face: the effect
        # shows, nothing is cut out. Event names too long for an element are
        # ignored. A Nerrit folder of one-pixel faces shrinks the window to
        # the smallest size (8 x 8), a Tovrel design with a refused face keeps
        # its size. A file that is no skin at all, dropped or opened from the
        # menu, leaves the skin before it, which is the setting at the end.
        pictures = self.broken_pictures()
        steps, expected = [], []

        def load(path, client, face, how="drop"):
            if how == "drop":
                steps.append("drop %s" % win_path(path))
            else:
                steps.append(through_dialog(1142, "Open", path))
            shot = self.shot("step%d.bmp" % len(expected))
            steps.append("sleep 500; dump; shot %s" % shot)
            expected.append((os.path.basename(os.path.dirname(path)), client, face, shot))

        load(write_skin(self.folder("good")), (275, 116), FACE_GREY)
        for name, picture in pictures.items():
            skin = write_skin(self.folder(name))
            write_file(os.path.join(self.tmp, name, "face.bmp"), picture)
            load(skin, (275, 116), (0, 0, 0))

        nerrit = write_nerrit_skin(self.folder("nerrit"))
        for face in ("MainUp.bmp", "MainDown.bmp"):
            write_file(os.path.join(self.tmp, "nerrit", face), pictures["one-pixel"])
        load(nerrit, (8, 8), None)
        tovrel = write_tovrel_skin(self.folder("tovrel"))
        write_file(os.path.join(self.tmp, "tovrel", "face.bmp"), pictures["int-min-height"])
        load(tovrel, (275, 116), None, how="menu")

        events = write_skin(self.folder("events"))
        with open(events) as f:
            text = f.read()
        # Cut before its comma, longer than an element name, far too long.
        names = ("x" * 127, "y" * 100, "z" * 5000)
        keys = "".join("\n%s=%s,%d" % (key, name, delay) for key, name, delay in
                       zip(("OnMouseEnter", "OnMouseExit", "OnMouseDown"), names, (1, 2, 3)))
        with open(events, "w", newline="\r\n") as f:
            f.write(text.replace("Action=Play", "Action=Play" + keys) +
                    "".join("[%s]\nSize=1,1\n" % name for name in names))
        load(events, (275, 116), FACE_GREY)
        # Over the Play button, pressed, and away.
        steps.append("mouse move 255 106; mouse left 255 106; mouse move 137 58")

        junk = os.path.join(self.folder("junk"), "junk.lbs")
        write_file(junk, pictures["rle-overruns"])
        load(junk, (275, 116), FACE_GREY)
        load(junk, (275, 116), FACE_GREY, how="menu")

        steps.append("post 273 1147 0; sleep 300; dump")

        data, dumps = self.run_vis("--frames", "100000", "--realtime", "--signal", "sweep", "--do",
                                   "wait %s; %s; key 0 27" % (MODULE, "; ".join(steps)))
        self.assertEqual(data["stopReason"], "quit")
        self.assertEqual(len(dumps), len(expected) + 1)
        for (name, client, face, shot), dump in zip(expected, dumps):
            with self.subTest(skin=name):
                self.assertEqual(size(dump["client"]), client)
                if face is not None:
                    _, _, rows = read_bmp(shot)
                    self.assertEqual(rows[10][137], face)
                    self.assertGreater(effect_pixels(rows, 6, 20, 269, 96), 100, "the effect shows")
        self.assertEqual(dumps[-1]["rect"], FIRST_PLACE, "Recover still works")
        self.assertEqual(stored_skin().lower(), win_path(events).lower())

    def test_registry_values_of_the_wrong_type_read_as_defaults(self):
        bad = (("FreeLeft", "REG_SZ", "abcdef"), ("FreeTop", "REG_BINARY", "0100"),
               ("FreeWidth", "REG_BINARY", "0102030405060708"), ("FreeHeight", "REG_QWORD", "200"),
               ("Module", "REG_SZ", "1"), ("LinAmp", "REG_MULTI_SZ", "9"),
               ("OnTop", "REG_EXPAND_SZ", "1"), ("Skin", "REG_SZ", "s" * 10000))
        for name, kind, value in bad:
            rc, _, err = run_windows("reg", "add", KEY + "\\Lumbrin", "/v", name, "/t", kind,
                                     "/d", value, "/f")
            self.assertEqual(rc, 0, err)
        shot = self.shot("defaults.bmp")
        data, _ = self.run_vis("--frames", "200", "--signal", "sweep", "--shot", shot)
        w = self.window(data)
        self.assertEqual(w["rect"], FIRST_PLACE)
        self.assertIsNone(w["region"], "no skin")
        _, _, rows = read_bmp(shot)
        self.assertGreater(effect_pixels(rows, 0, 0, 275, 116), 200, "the bars draw")
        rows = read_key("Lumbrin")
        types = {n: t for n, t, _ in rows}
        self.assertEqual(types, dict({n: "REG_DWORD" for n in WINDOW_SETTINGS},
                                     Skin="REG_SZ"))
        self.assertEqual([number(rows, n) for n in WINDOW_SETTINGS[1:]],
                         [50, 50, 275, 116, 0, 320, 200, 32, 75, 2])
        self.assertEqual(stored_skin(), "")

    def test_display_page_loads_a_skin_through_its_dialog(self):
        skin = write_skin(self.tmp)
        shot = self.shot("loaded.bmp")
        data, dumps = self.run_vis(
            "--frames", "100000", "--realtime", "--signal", "sweep", "--do",
            "wait %s; post 273 40003 0; wait Properties for %s; send 1125 6 0; click 1142; "
            "wait Open; set %d %s; click 1; use Properties for %s; close; use %s; sleep 500; "
            "shot %s; key 0 27" % (MODULE, MODULE, FILE_NAME, win_path(skin), MODULE, MODULE, shot))
        self.assertEqual(data["stopReason"], "quit")
        region = self.window(data)["region"]
        self.assertIsNotNone(region, "the skin's corners are cut out")
        self.assertFalse(inside(region, 0, 0))
        self.assertTrue(inside(region, 137, 58))
        _, _, rows = read_bmp(shot)
        self.assertEqual(rows[10][137], FACE_GREY)
        self.assertEqual(stored_skin().lower(), win_path(skin).lower())


if __name__ == "__main__":
    main()
