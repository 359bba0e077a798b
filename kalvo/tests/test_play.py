"""Kalvo plays TQZ files under the player's stand-in: the PCM is the
decoder's own output for the stream (and within 1 LSB of mpg123), the song
ends with one end marker and one end message after the output has drained,
seeking, pausing and the sample processor behave, starting and stopping
leaks nothing, and the song page is written, announced and cleaned up."""

import html.parser
import json
import os
import subprocess
import tempfile
import time
import unittest

from jktest import BIN_DIR, SOURCE_DIR, TempDirTest, WINE, main, read_wav, samples16, testhost
from kalvotest import (PLUGIN, host_copy, make_fixtures, set_hide_minibrowser, set_profile,
                       unix_path, windows_path)

MPEG_DECODE = os.path.join(SOURCE_DIR, "build", "native", "bin", "mpeg_decode")
PROFILE = "KalvoPlayProfile"


def audio_of(path):
    """The MPEG stream of a TQZ file: what follows its ID3v2 tag."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:3] == b"ID3":
        data = data[10 + (data[6] << 21 | data[7] << 14 | data[8] << 7 | data[9]):]
    return data


def mpg123(mp3):
    out = subprocess.run(["mpg123", "-q", "--no-gapless", "-s", mp3], capture_output=True,
                         check=True).stdout
    return samples16(out)


def max_difference(a, b):
    return max((abs(x - y) for x, y in zip(a, b)), default=0)


class Fixtures:
    folder = None
    manifest = None

    @classmethod
    def get(cls):
        if cls.folder is None:
            cls._tmp = tempfile.TemporaryDirectory(prefix="jk-kalvo-")
            cls.folder = cls._tmp.name
            cls.manifest = make_fixtures(cls.folder)
        return cls

    @classmethod
    def path(cls, name):
        return os.path.join(cls.get().folder, name)


class PlayTest(TempDirTest):
    def setUp(self):
        super().setUp()
        self.fix = Fixtures.get()
        set_profile(None)

    def play(self, name, *extra):
        wav = os.path.join(self.tmp, name + ".wav")
        rc, data, err = testhost("play", PLUGIN, windows_path(self.fix.path(name)),
                                 "--wav", windows_path(wav), *extra)
        self.assertIsNotNone(data, err)
        self.assertEqual(rc, 0, err)
        self.assertEqual(data["violations"], [])
        return data, wav

    def stream_file(self, name, skip=0):
        path = os.path.join(self.tmp, name + ".mp3")
        with open(path, "wb") as f:
            f.write(audio_of(self.fix.path(name))[skip:])
        return path

    def test_plays_every_stream_as_the_decoder_does(self):
        cases = {
            "full.tqz": (44100, 2, [128, 44, 2, 1]),
            "mono.tqz": (22050, 1, [128, 22, 1, 1]),
            "lame_utf16.tqz": (44100, 2, [128, 44, 2, 1]),
            "junk.tqz": (44100, 2, [128, 44, 2, 1]),  # the first frame after 10 KB of junk
            "truncated.tqz": (44100, 2, [128, 44, 2, 1]),
            "v24.tqz": (44100, 2, [128, 44, 2, 1]),  # not a valid tag, but a playable stream
        }
        for name, (rate, channels, info) in cases.items():
            with self.subTest(name):
                data, wav = self.play(name)
                self.assertEqual(data["startPlayback"], 0)
                self.assertEqual((data["endOfStream"], data["endMarkers"]), (1, 1))
                self.assertEqual(data["stopReason"], "endOfStream")
                self.assertEqual(data["streamInfo"][0], info)
                self.assertEqual((data["rate"], data["channels"], data["bits"]),
                                 (rate, channels, 16))
                self.assertEqual(data["visFormat"], [rate, channels])
                self.assertEqual(data["outputVolume"], -666)
                self.assertEqual(data["visBlocks"], data["visBlocks2"])
                self.assertEqual(data["dspBlocks"], 0)
                _, _, _, pcm = read_wav(wav)
                ours = samples16(pcm)
                stream = self.stream_file(name)
                if os.path.exists(MPEG_DECODE):
                    raw = os.path.join(self.tmp, name + ".raw")
                    subprocess.run([MPEG_DECODE, stream, raw], check=True)
                    with open(raw, "rb") as f:
                        self.assertEqual(pcm, f.read())
                ref = mpg123(stream)
                self.assertLessEqual(max_difference(ours, ref), 1)
                if name != "truncated.tqz":
                    self.assertEqual(len(ours), len(ref))
                else:
                    self.assertGreater(len(ours), len(ref) - 2 * 1152 * 2)
                audio_bytes = len(audio_of(self.fix.path(name)))
                if name != "junk.tqz":
                    self.assertAlmostEqual(data["lengthMs"], audio_bytes * 8 / 128, delta=1)

    def test_the_settings_choose_the_output_format(self):
        exe, ini = host_copy(self.tmp)
        cases = (("downmix=1\n8bit=1\ndownsample=2\n", (11025, 1, 8), ["-4", "-8", "-m"]),
                 ("downsample=1\npriority=2\n", (22050, 2, 16), ["-2"]),
                 ("downsample=7\npriority=0\n", (44100, 2, 16), []))
        for text, fmt, options in cases:
            with self.subTest(text):
                with open(ini, "w", newline="\r\n") as f:
                    f.write("[qMP3]\n" + text)
                wav = os.path.join(self.tmp, "out.wav")
                rc, data, err = testhost("play", PLUGIN, windows_path(self.fix.path("short.tqz")),
                                         "--wav", windows_path(wav), exe=exe)
                self.assertEqual(rc, 0, err)
                self.assertEqual((data["rate"], data["channels"], data["bits"]), fmt)
                self.assertEqual(data["streamInfo"][0][1:], [fmt[0] // 1000, fmt[1], 1])
                if os.path.exists(MPEG_DECODE):
                    raw = os.path.join(self.tmp, "ref.raw")
                    subprocess.run([MPEG_DECODE, *options, self.stream_file("short.tqz"), raw],
                                   check=True)
                    with open(raw, "rb") as f:
                        self.assertEqual(read_wav(wav)[3], f.read())

    def test_titles_come_from_the_files_tags(self):
        full, _ = self.play("short.tqz", "--max-seconds", "0.1")
        self.assertEqual(full["title"], "The Quay & Co-Harbour Lights <b>")
        self.assertEqual(full["describeLengthMs"], -1000)
        # An empty name: the playing song, with its length.
        self.assertEqual(full["currentTitle"], full["title"])
        self.assertEqual(full["currentLengthMs"], full["lengthMs"])
        self.assertGreater(full["lengthMs"], 2900)
        lame, _ = self.play("lame_utf16.tqz", "--max-seconds", "0.1")
        self.assertEqual(lame["title"], "L\u00e4me-S\u00f8ng")
        v24, _ = self.play("v24.tqz", "--max-seconds", "0.1")
        self.assertEqual(v24["title"], windows_path(self.fix.path("v24.tqz")) +
                         "-Not a Valid Orvane Song File")

    def test_unplayable_files_are_refused(self):
        for name, title in (("notmpeg.tqz", "The Quay & Co-Harbour Lights <b>"),
                            ("missing.tqz", None)):
            with self.subTest(name):
                data, _ = self.play(name)
                self.assertEqual(data["startPlayback"], -1)
                self.assertEqual(data["openStreamCalls"], 0)
                if title:
                    self.assertEqual(data["title"], title)
                else:
                    self.assertTrue(data["title"].endswith("-File Missing or Deleted"))

    def test_seek_to_ten_seconds(self):
        data, wav = self.play("full.tqz", "--seek", "10000@2000")
        at = data["seeks"][0][0]
        self.assertEqual(data["flushes"], [[at, 10000]])
        self.assertEqual((data["endOfStream"], data["endMarkers"]), (1, 1))
        _, _, _, pcm = read_wav(wav)
        after = samples16(pcm)[at * 2:]
        # The stream went on 160,000 bytes after its start: what follows
        # decodes like that part of the stream on its own, up to the first
        # frames, which are silent until the bit reservoir has filled.
        ref = mpg123(self.stream_file("full.tqz", skip=160000))
        self.assertLessEqual(abs(len(after) - len(ref)), 2 * 1152 * 2)
        tail = 44100  # the last half second, stereo samples
        self.assertLessEqual(max_difference(after[-tail:], ref[-tail:]), 1)
        self.assertGreater(max(abs(s) for s in after[-tail:]), 1000)
        self.assertAlmostEqual(data["positionMs"], 10000 + len(after) / 2 * 1000 / 44100,
                               delta=30)

    def test_pause_and_the_sample_processor_change_nothing_in_the_sound(self):
        _, plain = self.play("short.tqz")
        paused, wav = self.play("short.tqz", "--pause", "1000:300")
        self.assertEqual(len(paused["pauses"]), 1)
        self.assertEqual(read_wav(wav)[3], read_wav(plain)[3])
        dsp, wav = self.play("short.tqz", "--dsp")
        self.assertEqual(dsp["dspBlocks"], 0)
        self.assertEqual(read_wav(wav)[3], read_wav(plain)[3])

    def test_a_change_of_channels_keeps_the_first_frames_count(self):
        for name, channels in (("stereo_then_mono.tqz", 2), ("mono_then_stereo.tqz", 1)):
            with self.subTest(name):
                data, wav = self.play(name)
                self.assertEqual(data["channels"], channels)
                frames = self.fix.manifest["frames"][name]
                self.assertEqual(data["framesWritten"], frames * 1152)
                _, ch, _, pcm = read_wav(wav)
                s = samples16(pcm)
                if channels == 2:  # the mono part is the same on both sides
                    tail = s[-44100:]  # the last half second
                    self.assertEqual(tail[0::2], tail[1::2])
                    self.assertGreater(max(tail), 1000)

    def test_garbage_in_the_middle_is_reported_and_survived(self):
        data, wav = self.play("garbage_mid.tqz")
        self.assertEqual((data["endOfStream"], data["endMarkers"]), (1, 1))
        info = data["streamInfo"]
        self.assertIn([-1, -1, -1, 0], info)
        lost = info.index([-1, -1, -1, 0])
        self.assertEqual(info[lost + 1][3], 1)  # synchronised again
        self.assertGreater(data["framesWritten"], 2.5 * 44100)

    def test_start_and_stop_a_hundred_times(self):
        data, _ = self.play("full.tqz", "--restarts", "100", "--max-seconds", "0.5")
        r = data["restarts"]
        self.assertEqual(r["nextHandle"][0], r["nextHandle"][1])
        # A decoder left behind per round would be tens of kilobytes each.
        self.assertLess(r["memoryBytes"][1] - r["memoryBytes"][0], 512 * 1024)
        self.assertEqual(data["stopReason"], "maxSeconds")

    def test_stop_returns_at_once_on_garbage(self):
        data, _ = self.play("garbage_mid.tqz", "--restarts", "30", "--max-seconds", "1.6",
                            "--realtime")
        self.assertEqual(data["stopReason"], "maxSeconds")


class LinkParser(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.tags, self.text, self.links, self.images = [], [], [], []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        self.tags.append(tag)
        if tag == "a":
            self.links.append(a.get("href"))
        if tag == "img":
            self.images.append(a.get("src"))

    def handle_data(self, data):
        self.text.append(data)


class SongPageTest(TempDirTest):
    def setUp(self):
        super().setUp()
        self.fix = Fixtures.get()

    def tearDown(self):
        set_profile(None)
        super().tearDown()

    def play_holding(self, name):
        """Plays with a long pause at the start; returns the page, picture and
        logo read while the song plays, and the final JSON."""
        args = [WINE, os.path.join(BIN_DIR, "testhost.exe"), "play", PLUGIN,
                windows_path(self.fix.path(name)), "--pause", "0:3000", "--max-seconds", "0.2"]
        with subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              stdin=subprocess.DEVNULL, text=True, encoding="latin-1") as proc:
            files, data = self.read_while_playing(proc)
            proc.wait(timeout=60)
            self.assertEqual(proc.returncode, 0, proc.stderr.read())
        return files, data

    def read_while_playing(self, proc):
        files = data = None
        for line in proc.stdout:
            if line.startswith("url ") and files is None:
                page = unix_path(line[len("url file://"):].strip())
                with open(page, encoding="latin-1") as f:
                    text = f.read()
                parser = LinkParser()
                parser.feed(text)
                contents = []
                for src in parser.images:
                    with open(unix_path(src), "rb") as f:
                        contents.append(f.read())
                files = (page, text, parser, [unix_path(s) for s in parser.images], contents)
            if line.startswith("{"):
                data = json.loads(line)
        return files, data

    def test_the_page_shows_the_song_escaped_and_is_gone_after_shutdown(self):
        set_profile(PROFILE)
        set_hide_minibrowser(PROFILE, 0)
        tags = self.fix.manifest["full"]
        (page, text, parser, images, contents), data = self.play_holding("short.tqz")
        # 0 first (the panel opens), then the page's address.
        self.assertEqual([c[0] for c in data["ipc"]], [241, 241])
        self.assertEqual(data["ipc"][0][1], 0)
        self.assertNotEqual(data["ipc"][1][1], 0)
        self.assertEqual(len(data["urls"]), 1)
        self.assertTrue(os.path.basename(page).lower().startswith("~ax"))
        self.assertNotIn("script", parser.tags)
        self.assertEqual(parser.tags.count("b"), 1)  # the artist's, not the title's
        body = "".join(parser.text)
        for key in ("artist", "title", "blurb"):
            self.assertIn(tags[key], body)
        self.assertIn("(" + tags["publisher"] + ")", body)
        self.assertIn("File Size: 3.4 MB", body)
        self.assertIn("Song Length: 4 mins 5  secs", body)
        self.assertIn(tags["commercialAddress"], parser.links)
        self.assertFalse([l for l in parser.links if not l.startswith(("http:", "https:"))])
        with open(self.fix.path("cover.jpg"), "rb") as f:
            self.assertEqual(contents[0], f.read())
        self.assertTrue(contents[1].startswith(b"GIF8"))
        for path in [page] + images:
            self.assertFalse(os.path.exists(path), path)

    def test_hidden_minibrowser_and_a_png_cover(self):
        set_profile(None)  # no profile: HideMinibrowser counts as 1
        (page, text, parser, images, contents), data = self.play_holding("pngcover.tqz")
        self.assertEqual([c[0] for c in data["ipc"]], [241])
        self.assertNotEqual(data["ipc"][0][1], 0)
        self.assertEqual(contents[0], b"")  # the picture file stays as it was
        self.assertFalse(os.path.exists(page))


if __name__ == "__main__":
    main()
