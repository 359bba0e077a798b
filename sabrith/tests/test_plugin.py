"""Sabrith under the stand-in player: its records, each effect in its window
on a clean registry, the settings written at stop, keys, the menu and its
commands, drops, the property sheet, restarts and a run under Morsk beside
a probe."""

import os
import re

from jktest import main, testhost
from fixture_skin import (FACE_GREY, TOVREL_BUTTONS, write_nerrit_skin, write_skin,
                          write_tovrel_skin)
from sabrith_run import (FIRST_PLACE, MODULE, SHEET, WINDOW_SETTINGS, SabrithRun, inside, lit,
                         number, read_key, size, stored_skin)
from visprobe import read_bmp, win_path, write_mux_ini


class SabrithTest(SabrithRun):
    def test_info(self):
        rc, data, err = testhost("info", self.dll)
        self.assertEqual(rc, 0, err)
        self.assertEqual((data["kind"], data["abiVersion"], data["displayName"]),
                         ("vis", 257, "Lumbrin Plugin"))
        self.assertEqual(data["modules"], [MODULE])
        [values] = data["moduleValues"]
        self.assertEqual((values["frameLatencyMs"], values["frameDelayMs"],
                          values["spectrumChannels"], values["waveformChannels"]), (25, 15, 2, 0))
        self.assertNotEqual(values["ownerData"], 0)
        self.assertTrue(data["negativeIndexGivesNull"])
        self.assertTrue(data["sameRecordEachCall"])

    def test_each_effect_on_a_clean_registry(self):
        # Module 2 is the default; the others are set before the start.
        for module in (2, 1, 3, 0):
            with self.subTest(module=module):
                self.clear_settings()
                if module != 2:
                    self.set_module(module)
                shot = self.shot("effect%d.bmp" % module)
                data, _ = self.run_vis("--frames", "300", "--signal", "sweep", "--shot", shot)
                self.assertEqual((data["startResult"], data["stopReason"]), (0, "frames"))
                w = self.window(data)
                self.assertEqual(w["title"], MODULE)
                self.assertEqual(w["rect"][:2], [50, 50])
                client = w["client"]
                self.assertEqual(size(client), (275, 116))
                self.assertFalse(w["open"])
                rows = read_key("Lumbrin")
                # reg lists the values sorted; the write order is checked natively.
                self.assertEqual(sorted(n for n, _, _ in rows), sorted(WINDOW_SETTINGS))
                self.assertEqual(number(rows, "Module"), module)
                self.assertEqual([number(rows, k) for k in WINDOW_SETTINGS[1:5]],
                                 [50, 50, 275, 116])
                # The presets' folder lies beside the plug-in.
                [(name, _, folder)] = read_key("LBNPresets")
                self.assertEqual((name, folder.lower()),
                                 ("DefaultDirectory", win_path(self.tmp).lower() + "\\lbnpresets"))
                width, height, pixels = read_bmp(shot)
                if module == 0:
                    self.assertEqual(lit(pixels), 0, "no effect draws only black")
                else:
                    self.assertGreater(lit(pixels), 200, "the effect draws on the sweep")

    def test_keys(self):
        # F goes on to the player as it was, posted; S stays; Escape quits.
        data, _ = self.run_vis("--frames", "100000", "--realtime", "--do",
                               "wait %s; key 0 70; key 0 83; key 0 27" % MODULE)
        self.assertEqual(data["stopReason"], "quit")
        keys = [(m, posted) for m, posted in zip(data["hostMessages"], data["hostMessagesPosted"])
                if m[0] in (256, 257) and m[1] != 27]
        self.assertEqual([(m[0], m[1], posted) for m, posted in keys],
                         [(256, 70, True), (257, 70, True)])

    def test_menu_at_the_click_and_its_commands(self):
        self.set_module(3)
        script = ("wait %s; mouse right 30 40; wait; dump; key 0 27; use %s; "
                  "post 273 40020 0; post 273 40011 0; post 273 40015 0; post 273 40004 0; "
                  "wait %s; dump; close; use %s; post 273 40002 0" % (MODULE, MODULE, MODULE,
                                                                    MODULE))
        # Frames of a sweep run before the about box opens, so that its
        # figure is one of real frames; it is shown, not judged.
        data, dumps = self.run_vis("--frames", "100000", "--realtime", "--signal", "sweep",
                                   "--do", script)
        self.assertEqual(data["stopReason"], "quit")
        menu, about = dumps
        client = self.window(data)["client"]
        self.assertEqual(menu["rect"][:2], [client[0] + 30, client[1] + 40])
        items = {item["text"]: item for item in menu["menu"] if item.get("text")}
        self.assertTrue(items["Lumbrin"]["disabled"])
        for name in ("Exit Plugin", "About", "Properties", "Load Preset...", "Save Preset...",
                     "Clear Screen", "Recover", "Load Skin...", "Use Skin"):
            self.assertIn(name, items)
        self.assertFalse(items["Use Skin"]["checked"], "no skin in use")
        # The running effect (the flame) and the window mode carry the radio
        # marks; "Always On Top" is open to a window not on top.
        marks = {sub: [(i["text"], i["checked"], i["radio"]) for i in items[sub]["items"]]
                 for sub in ("Module", "Mode")}
        self.assertEqual(marks["Module"], [("RurizirudoviV", False, False),
                                           ("VedozadI", False, False),
                                           ("ZirarovoZ", True, True)])
        self.assertEqual(marks["Mode"], [("Windowed", True, True), ("Full Screen", False, False),
                                         ("Always On Top", False, False)])
        [on_top] = [i for i in items["Mode"]["items"] if i["text"] == "Always On Top"]
        self.assertFalse(on_top["disabled"])
        [fps] = [c["text"] for c in about["controls"] if c["id"] == 1144]
        self.assertTrue(fps.startswith("FPS: "), fps)
        print("about box (%d frames in the run): %s" % (data["framesRendered"], fps))
        rows = read_key("Lumbrin")
        self.assertEqual((number(rows, "Module"), number(rows, "OnTop")), (2, 1))

    def test_dropped_music_goes_to_the_player_in_order(self):
        path = "C:\\a\\\xe9.mp3"
        data, _ = self.run_vis("--frames", "100000", "--realtime", "--do",
                               "wait %s; drop %s; sleep 300; key 0 27" % (MODULE, path))
        # The skin asks for the player's skin folder (201) besides.
        fed = [(m, posted) for m, posted in zip(data["hostMessages"], data["hostMessagesPosted"])
               if m[0] == 273 or m[0] == 1024 and m[2] in (100, 101)]
        self.assertTrue(all(posted for _, posted in fed))
        fed = [m for m, _ in fed]
        chars = [((c + 128) & 255) - 128 for c in path.encode("latin-1")] + [0]
        self.assertEqual(fed, [[1024, 0, 101]] + [[1024, c, 100] for c in chars] +
                         [[273, 40047, 0], [273, 40045, 0]])

    def test_dropped_preset_switches_the_effect(self):
        preset = os.path.join(self.tmp, "fountains.lbp")
        with open(preset, "w", newline="\r\n") as f:
            f.write("[VedozadI]\nGravity=120\n")
        data, _ = self.run_vis("--frames", "100000", "--realtime", "--do",
                               "wait %s; drop %s; sleep 200; key 0 27" % (MODULE, win_path(preset)))
        self.assertEqual(number(read_key("Lumbrin"), "Module"), 1)

    def test_property_sheet(self):
        # Pages per effect; Amp's gain text follows its trackbar; the sheet
        # stays open across the stop, which closes it and saves LinAmp.
        for module, pages in ((2, 7), (1, 5), (3, 4), (0, 3)):
            with self.subTest(module=module):
                self.clear_settings()
                self.set_module(module)
                amp = pages - 3
                script = ("wait %s; post 273 40003 0; wait Properties for %s; "
                          "send 1125 %d 0; trackbar 1151 0; dump; trackbar 1151 75; dump; "
                          "trackbar 1151 3" % (MODULE, MODULE, amp))
                frames, errors = "150", []
                if module == 2:
                    # A second Properties opens no second sheet: waiting for one
                    # fails after ten seconds, before the frames end.
                    script += "; use %s; post 273 40003 0; wait Properties for %s" % (MODULE,
                                                                                       MODULE)
                    # The failed action is quoted as the text after ";", space and all.
                    frames, errors = "1000", ["action failed:  wait Properties for " + MODULE]
                data, dumps = self.run_vis("--frames", frames, "--realtime", "--do", script,
                                           clean=False)
                self.assertEqual(data["stopReason"], "frames")
                self.assertEqual((data["errors"], data["violations"]), (errors, []))
                low, high = dumps
                [tabs] = [c["tabs"] for c in low["controls"] if c["class"] == "SysTabControl32"]
                self.assertEqual(len(tabs), pages)
                self.assertEqual(tabs[-3:], ["Amp", "Rendering", "Display"])
                gain = [[c["text"] for c in d["controls"] if c["id"] == 1174][0]
                        for d in (low, high)]
                self.assertEqual(gain, ["x 0.02", "x 1.42"])
                self.assertEqual(number(read_key("Lumbrin"), "LinAmp"), 3)

    def test_sheet_sources_and_the_skin_folder_box(self):
        # The fountains' New Source, twice while frames run: the list follows.
        self.set_module(1)
        script = ("wait %s; post 273 40003 0; wait Properties for %s; send 1125 1 0; "
                  "click 1043; sleep 200; click 1043; sleep 200; dump" % (MODULE, MODULE))
        data, [added] = self.run_vis("--frames", "300", "--realtime", "--signal", "sweep",
                                     "--do", script)
        [sources] = [c["items"] for c in added["controls"] if c["id"] == 1140]
        self.assertEqual(sources[-2:], ["New Source", "New Source"])
        # Each trackbar of the page has its two end labels just below its ends.
        rects = {c["text"]: c["rect"] for c in added["controls"] if c["class"] == "Static"}
        for bar, low, high in ((1000, "Low", "High"), (1048, "1 x 1", "5 x 5"),
                               (1049, "Few", "Many"), (1053, "Slow", "Fast")):
            [track] = [c["rect"] for c in added["controls"] if c["id"] == bar]
            # Dialog units round to pixels edge by edge: a pixel either way.
            self.assertLessEqual(abs(rects[low][0] - track[0]), 1, (bar, rects[low], track))
            self.assertLessEqual(abs(rects[high][2] - track[2]), 1, (bar, rects[high], track))
            for label in (low, high):
                self.assertTrue(0 <= rects[label][1] - track[3] <= 4, (label, rects[label], track))
        # The Display page's "Check for Jukora Skin Changes" (the bars' pages
        # hold no other 1060) is ticked at first; unticked, it reads back so.
        self.clear_settings()
        script = ("wait %s; post 273 40003 0; wait Properties for %s; send 1125 6 0; dump; "
                  "check 1060 0; send 1125 5 0; send 1125 6 0; dump" % (MODULE, MODULE))
        data, dumps = self.run_vis("--frames", "300", "--realtime", "--do", script)

        def follow_box(dump):
            [box] = [c for c in dump["controls"]
                     if c["text"] == "Check for Jukora Skin Changes"]
            return box["checked"]
        self.assertEqual([follow_box(d) for d in dumps], [1, 0])
        # Its mode list: the display's modes as "WxHxBPP", the setting's
        # (320 x 200 x 32 on a clean registry) selected.
        [modes] = [c for c in dumps[0]["controls"] if c["id"] == 1090]
        self.assertTrue(modes["items"])
        self.assertTrue(all(re.fullmatch(r"\d+x\d+x\d+", m) for m in modes["items"]),
                        modes["items"])
        self.assertEqual(modes["items"][modes["selected"]], "320x200x32")

    def test_restarts(self):
        # Also with the sheet open when the first round stops.
        for script in ("", "wait %s; post 273 40003 0; wait Properties for %s" % (MODULE,
                                                                                 MODULE)):
            with self.subTest(script=script):
                args = ["--do", script, "--frames", "60", "--realtime"] if script else [
                    "--frames", "5"]
                data, _ = self.run_vis(*args, "--restarts", "20")
                self.assertEqual(data["restarts"]["startResults"], [0] * 20)
                self.assertTrue(all(not w["open"] for w in data["windows"]))
                # Handles come back. The process grows once, by about 2 MB in
                # the second round (the system's caches behind the display),
                # and then stays: 2.15 MB after 5 rounds, 2.5 MB after 100.
                # Two lost images alone would add 250 kB a round.
                handles, memory = data["restarts"]["nextHandle"], data["restarts"]["memoryBytes"]
                self.assertEqual(handles[0], handles[1])
                self.assertLess(memory[1] - memory[0], 4 << 20)

    def test_under_morsk_beside_a_probe(self):
        morsk = self.copy_deliverable("morsk.dll")
        probe = self.probes.add("probe", window=0)
        write_mux_ini(os.path.join(self.tmp, "plugin.ini"), (self.dll, 0), (probe, 0))
        rc, data, err = testhost("vis", morsk, "--frames", "100", "--signal", "sweep")
        self.assertEqual(rc, 0, err)
        self.assertEqual((data["startResult"], data["framesRendered"]), (0, 100))
        ops = [c["op"] for c in self.probes.calls("probe")]
        self.assertEqual(ops, ["start"] + ["render"] * 100 + ["stop"])
        self.assertFalse(self.window(data)["open"])
        # Escape in Sabrith's window ends the multiplexer's run.
        rc, data, err = testhost("vis", morsk, "--frames", "100000", "--realtime", "--do",
                                 "wait %s; key 0 27" % MODULE)
        self.assertEqual((rc, data["stopReason"]), (0, "quit"), err)

    def test_full_screen_and_back(self):
        # Space's key-up switches; the mode is the setting, 320 x 200 by
        # default; entering stores OnTop for good.
        for presses, screen in ((1, [320, 200]), (2, [1024, 768])):
            with self.subTest(presses=presses):
                self.clear_settings()
                script = "wait %s" % MODULE + "; key 0 32; sleep 300" * presses
                data, _ = self.run_vis("--frames", "150", "--realtime", "--signal", "sweep",
                                       "--do", script)
                self.assertEqual(data["screen"]["lastFrame"], screen)
                self.assertEqual(data["screen"]["afterStop"], [1024, 768])
                rows = read_key("Lumbrin")
                self.assertEqual(number(rows, "OnTop"), 1)
                self.assertEqual([number(rows, k) for k in ("XRes", "YRes", "BPP")],
                                 [320, 200, 32])

    def test_full_screen_then_the_sheet_fifty_times(self):
        # Space, Properties, then Cancel or the close box, 50 rounds in one
        # run. Properties gives the display back first, so the sheet opens
        # over the window and its closing hands the window an activation
        # without a change of display mode: each round the window answers
        # (within ten seconds, far above a busy machine's delays; the old
        # order held it for minutes), in window mode at its place.
        rounds = []
        for i in range(50):
            close = "click 2" if i % 2 == 0 else "post 274 61536 0"
            rounds.append("key 0 32; sleep 200; post 273 40003 0; wait %s; %s; use %s; "
                          "answers 10000; dump" % (SHEET, close, MODULE))
        data, dumps = self.run_vis("--frames", "1000000", "--realtime", "--do",
                                   "wait %s; %s; key 0 27" % (MODULE, "; ".join(rounds)))
        self.assertEqual(data["stopReason"], "quit")
        self.assertEqual([d["rect"] for d in dumps], [FIRST_PLACE] * 50)
        self.assertEqual(data["screen"]["afterStop"], [1024, 768])

    def test_idle_frames_decay(self):
        # No host frames for two seconds: the idle timer goes on drawing with
        # falling levels, so the picture changes and darkens.
        a, b = self.shot("idle-a.bmp"), self.shot("idle-b.bmp")
        data, _ = self.run_vis("--frames", "30", "--signal", "sweep", "--pause", "29:2000",
                               "--do", "wait %s; sleep 500; shot %s; sleep 300; shot %s"
                               % (MODULE, a, b))
        brightness = []
        for shot in (a, b):
            _, _, rows = read_bmp(shot)
            brightness.append(sum(sum(p) for row in rows for p in row))
        self.assertGreater(brightness[0], brightness[1])

    def test_tray_menu_at_the_cursor(self):
        data, dumps = self.run_vis("--frames", "100000", "--realtime", "--do",
                                   "wait %s; post 1024 1024 516; wait; dump; key 0 27; use %s; "
                                   "post 273 40002 0" % (MODULE, MODULE))
        [menu] = dumps
        self.assertEqual(menu["class"], "#32768")
        self.assertEqual(data["stopReason"], "quit")

    def test_dropped_skin_shapes_the_window(self):
        skin = write_skin(self.tmp)
        shot = self.shot("skin.bmp")
        data, _ = self.run_vis("--frames", "100000", "--realtime", "--signal", "sweep", "--do",
                               "wait %s; drop %s; sleep 500; shot %s; mouse left 255 106; "
                               "sleep 200; key 0 27" % (MODULE, win_path(skin), shot))
        w = self.window(data)
        client = w["client"]
        self.assertEqual(size(client), (275, 116))
        region = w["region"]
        self.assertIsNotNone(region, "the see-through corners are cut out")
        self.assertFalse(inside(region, 0, 0))
        self.assertFalse(inside(region, 274, 115))
        self.assertTrue(inside(region, 137, 58))
        self.assertTrue(inside(region, 8, 0))
        # The Play button sends its command.
        plays = [i for i, m in enumerate(data["hostMessages"]) if m == [273, 40045, 0]]
        self.assertEqual(len(plays), 1)
        self.assertFalse(data["hostMessagesPosted"][plays[0]], "sent")
        # The face frames the effect: the skin's grey at the top band.
        _, _, rows = read_bmp(shot)
        self.assertEqual(rows[10][137], FACE_GREY)
        self.assertGreater(lit(rows, (6, 20, 269, 96), ((0, 0, 0), FACE_GREY)), 100,
                           "the effect shows inside the insets")
        self.assertEqual(stored_skin().lower(), win_path(skin).lower())

    def test_foreign_skins_on_the_window(self):
        # Nerrit: the face's size with its green margin cut out; Play and a
        # click in the middle of the seek bar reach the player, sent; the
        # player's title and time are written on the face and a new title
        # changes it. Tovrel: the ring between an octagon and a figure inside
        # it, Play sends, Minimize hides the window into the tray and the
        # tray's click brings it back.
        player = "play=1,pos=0,len=200,title=Song"
        nerrit = write_nerrit_skin(self.tmp)
        a, b = self.shot("nerrit-a.bmp"), self.shot("nerrit-b.bmp")
        data, _ = self.run_vis(
            "--frames", "100000", "--realtime", "--player", player, "--do",
            "wait %s; drop %s; sleep 600; shot %s; mouse left 60 90; mouse left 110 64; "
            "player title=Other; sleep 600; shot %s; key 0 27" % (MODULE, win_path(nerrit), a, b))
        w = self.window(data)
        client = w["client"]
        self.assertEqual(size(client), (275, 116))
        region = w["region"]
        self.assertIsNotNone(region)
        for x, y, kept in ((3, 50, False), (4, 4, True), (270, 111, True), (271, 50, False),
                           (137, 112, False), (137, 58, True)):
            self.assertEqual(inside(region, x, y), kept, (x, y))
        self.assertEqual(self.sent(data, [273, 40045, 0]), (1, True))
        self.assertEqual(self.sent(data, [1024, 100000, 106]), (1, True))
        _, _, before = read_bmp(a)
        _, _, after = read_bmp(b)

        def text_pixels(rows, x0, x1):
            # The text colour (200, 230, 255) and its smoothing on the face.
            return [(x, y) for y in range(20, 34) for x in range(x0, x1)
                    if rows[y][x][2] > 150 and rows[y][x][0] > 100]
        self.assertGreater(len(text_pixels(before, 10, 210)), 20, "the title is written")
        self.assertGreater(len(text_pixels(before, 215, 265)), 10, "the time is written")
        self.assertNotEqual(text_pixels(before, 10, 210), text_pixels(after, 10, 210), "the new title shows")

        tovrel = write_tovrel_skin(self.tmp)
        buttons = {name: left + 10 for name, left, _ in TOVREL_BUTTONS}
        data, dumps = self.run_vis(
            "--frames", "100000", "--realtime", "--do",
            "wait %s; drop %s; sleep 500; mouse left %d 93; mouse left %d 93; sleep 200; dump; "
            "post 1024 1024 513; sleep 200; dump; mouse left %d 93"
            % (MODULE, win_path(tovrel), buttons["Play"], buttons["Minimize"], buttons["Close"]))
        self.assertEqual(data["stopReason"], "quit", "Close ends the run")
        region = self.window(data)["region"]
        self.assertIsNotNone(region)
        for x, y, kept in ((0, 0, False), (274, 0, False), (274, 115, False), (137, 58, True),
                           (2, 58, True), (137, 48, False), (99, 48, True), (180, 48, True)):
            self.assertEqual(inside(region, x, y), kept, (x, y))
        self.assertEqual(self.sent(data, [273, 40045, 0]), (1, True))
        # Minimised, the window leaves its place; the tray's click restores it.
        hidden, restored = dumps
        self.assertNotEqual(hidden["rect"][:2], [50, 50])
        self.assertEqual(restored["rect"], FIRST_PLACE)

    def test_recover(self):
        # Recover puts a moved window back at (50, 50), 275 x 116.
        data, [recovered] = self.run_vis(
            "--frames", "100000", "--realtime", "--do",
            "wait %s; setpos 300 200 400 150 20; post 273 1147 0; sleep 200; dump; key 0 27"
            % MODULE)
        self.assertEqual(recovered["rect"], FIRST_PLACE)
        rows = read_key("Lumbrin")
        self.assertEqual([number(rows, k) for k in ("FreeLeft", "FreeTop", "FreeWidth",
                                                    "FreeHeight")], [50, 50, 275, 116])

    def test_docking_to_the_player(self):
        # The player's window moved first to (400, 300), 280 x 140, out of
        # the stand-ins' way; the window (275 x 116 at (50, 50)) dragged to
        # 9 px of a target snaps flush to it, at 10 px it does not; a docked
        # window follows its target's moves (SWP_NOSIZE alone), keeping its
        # offset on the axis it is not docked on. The playlist editor stands
        # at (464, 628), the equalizer at (744, 508), both 275 x 116; the
        # places are chosen so that no other window and no screen edge is
        # within reach.
        cases = [
            # target, gap, dragged to, lands at, target moved to, then at
            ("testhost", 9, (400, 449), (400, 440), (500, 200), (500, 340)),
            ("testhost", 10, (400, 450), (400, 450), (500, 200), (400, 450)),
            ("Jukora Playlist Editor", 9, (180, 628), (189, 628), (300, 400), (25, 400)),
            ("Jukora Playlist Editor", 10, (179, 628), (179, 628), (300, 400), (179, 628)),
            ("Jukora Equalizer", 9, (700, 383), (700, 392), (600, 300), (556, 184)),
            ("Jukora Equalizer", 10, (700, 382), (700, 382), (600, 300), (700, 382)),
        ]
        for target, gap, dragged, lands, moved, follows in cases:
            with self.subTest(target=target, gap=gap):
                self.clear_settings()
                # The drag takes the window by its client point (100, 50).
                script = ("use testhost; setpos 400 300 280 140 0; wait %s; "
                          "drag 100 50 %d %d; sleep 200; use %s; dump; "
                          "use %s; setpos %d %d 0 0 1; sleep 300; use %s; dump; key 0 27"
                          % (MODULE, dragged[0] + 50, dragged[1], MODULE, target, *moved,
                             MODULE))
                data, dumps = self.run_vis("--frames", "100000", "--realtime",
                                           "--player-windows", "--do", script)
                self.assertEqual([d["rect"][:2] for d in dumps], [list(lands), list(follows)])

    def test_hostile_skins_leave_the_window_running(self):
        # Each loads within the caps or is refused with the skin before it
        # kept: the window runs on at the face's size, shaped by a skin that
        # loaded, whose path is the setting. Windows no screen shows (Tovrel
        # designs of 65535 and 2^31 - 1 pixels a side, insets that need
        # 200,008 pixels) are refused at once: after each drop the window
        # answers (within ten seconds, where such a skin held it for half a
        # minute or for ever), and the process never holds 200 MB.
        good = write_skin(self.tmp)
        with open(good) as f:
            text = f.read()
        design = "[General]\nWindowWidth=%d\nWindowHeight=%d\n"
        cases = {"wide.design": design % (65535, 65535),
                 "widest.design": design % (2147483647, 2147483647),
                 "tall.lbs": text.replace("TopInset=20", "TopInset=100000").replace(
                     "BottomInset=20", "BottomInset=100000"),
                 "many.lbs": text.replace("NumImages=2", "NumImages=2147483647"),
                 "insets.lbs": text.replace("TopInset=20", "TopInset=-500"),
                 "deep.lbs": "[Lumbrin Skin]\nNumSkins=1\nSkin_1=S0\n" + "".join(
                     "[S%d]\nNumImages=1\nImage_1=S%d\n" % (i, i + 1) for i in range(2000))}
        drops = []
        for name, body in cases.items():
            path = os.path.join(self.tmp, name)
            with open(path, "w", newline="\r\n") as f:
                f.write(body)
            drops.append("drop %s; sleep 200; answers 10000" % win_path(path))
        data, _ = self.run_vis("--frames", "100000", "--realtime", "--do",
                               "wait %s; %s; key 0 27" % (MODULE, "; ".join(drops)))
        self.assertEqual(data["stopReason"], "quit")
        self.assertLess(data["peakMemoryBytes"], 200 << 20)
        w = self.window(data)
        client = w["client"]
        self.assertEqual(size(client), (275, 116))
        self.assertIsNotNone(w["region"], "the corners of a skin that loaded")
        self.assertIn(stored_skin().lower(), [win_path(os.path.join(self.tmp, name)).lower()
                                              for name in ("many.lbs", "insets.lbs")])


if __name__ == "__main__":
    main()
