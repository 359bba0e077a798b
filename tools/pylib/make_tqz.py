"""Makes the TQZ files of Kalvo's tests: MPEG audio Layer III streams from
lame (-t: no info frame) behind ID3v2 tags written by mutagen or by lame,
and the broken files that the plug-in must survive.

Usage: make_tqz.py OUTDIR  -- writes the files and manifest.json there.
Needs python3-mutagen, lame and ImageMagick's convert."""

import json
import math
import os
import struct
import subprocess
import sys

from mutagen.id3 import (APIC, ID3, TALB, TCOP, TFLT, TIT2, TLEN, TPE1, TPUB, TSIZ, TXXX,
                         UFID, WCOM, WOAF, WOAR)

CONVERT = "/usr/bin/convert"

SONG_ID = bytes(range(0x10, 0x20))

FULL_TAGS = {
    "title": "Harbour Lights <b>",
    "artist": "The Quay & Co",
    "album": "Low Tide",
    "size": "3456789",
    "length": "245000",
    "fileType": "MPG/3",
    "copyright": "2003 Quay Records",
    "publisher": "Quay \"Records\"",
    "blurb": "Recorded at dusk <script>alert(1)</script>",
    "commercialAddress": "http://shop.example/quay?a=1&b=2",
    "artistAddress": "javascript:alert(document.cookie)",
    "fileAddress": "https://files.example/quay.tqz",
    "songId": SONG_ID.hex(),
}


def tune_wav(path, seconds, rate=44100, channels=2):
    """A small synthesized tune: a rising arpeggio with a softer fifth in the
    other channel, every note with a short fade in and out."""
    notes = [220.0, 277.18, 329.63, 440.0, 329.63, 277.18]
    note_len = int(rate * 0.25)
    frames = int(rate * seconds)
    out = bytearray()
    for i in range(frames):
        n = (i // note_len) % len(notes)
        t = i / rate
        pos = i % note_len
        env = min(1.0, pos / 400.0, (note_len - pos) / 400.0)
        f = notes[n]
        left = 0.45 * env * math.sin(2 * math.pi * f * t)
        right = 0.35 * env * math.sin(2 * math.pi * f * 1.5 * t) + 0.1 * left
        out += struct.pack("<h", int(left * 32767))
        if channels == 2:
            out += struct.pack("<h", int(right * 32767))
    with open(path, "wb") as f:
        data_len = len(out)
        f.write(b"RIFF" + struct.pack("<I", 36 + data_len) + b"WAVE")
        f.write(b"fmt " + struct.pack("<IHHIIHH", 16, 1, channels, rate,
                                      rate * channels * 2, channels * 2, 16))
        f.write(b"data" + struct.pack("<I", data_len))
        f.write(out)


def lame(wav, mp3, *extra):
    subprocess.run(["lame", "--quiet", "-t", "-b", "128", *extra, wav, mp3], check=True)


def picture(path, fmt):
    subprocess.run([CONVERT, "-size", "64x64", "gradient:#FFD700-#5A879E", fmt + ":" + path],
                   check=True)
    with open(path, "rb") as f:
        return f.read()


def mutagen_tag(path, version, jpeg=None, png=None):
    tag = ID3()
    t = FULL_TAGS
    tag.add(TIT2(encoding=0, text=t["title"]))
    tag.add(TPE1(encoding=0, text=t["artist"]))
    tag.add(TALB(encoding=0, text=t["album"]))
    tag.add(TSIZ(encoding=0, text=t["size"]))
    tag.add(TLEN(encoding=0, text=t["length"]))
    tag.add(TFLT(encoding=0, text=t["fileType"]))
    tag.add(TCOP(encoding=0, text=t["copyright"]))
    tag.add(TPUB(encoding=0, text=t["publisher"]))
    tag.add(TXXX(encoding=0, desc="OtherNote", text="not the blurb"))
    tag.add(TXXX(encoding=0, desc="OrvaneBLURB", text=t["blurb"]))
    tag.add(WCOM(url=t["commercialAddress"]))
    tag.add(WOAR(url=t["artistAddress"]))
    tag.add(WOAF(url=t["fileAddress"]))
    tag.add(UFID(owner="http://id.example/", data=b"\0" + SONG_ID))
    if png:
        tag.add(APIC(encoding=0, mime="image/png", type=3, desc="png", data=png))
    if jpeg:
        tag.add(APIC(encoding=0, mime="image/jpeg", type=3, desc="cover", data=jpeg))
    tag.save(path, v2_version=version)


def with_tag_of(src_tagged, audio, dest, junk=b"", cut=0):
    """dest = the tag of src_tagged, junk, the audio bytes (less cut at the end)."""
    with open(src_tagged, "rb") as f:
        head = f.read(10)
        size = (head[6] << 21) | (head[7] << 14) | (head[8] << 7) | head[9]
        f.seek(0)
        tag = f.read(10 + size)
    with open(dest, "wb") as f:
        f.write(tag + junk + (audio[:-cut] if cut else audio))


def mpeg1_frames(data):
    """Splits an MPEG-1 Layer III stream (no tag, no info frame) into frames."""
    rates = [32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320]
    pos, out = 0, []
    while pos + 4 <= len(data) and data[pos] == 0xFF and data[pos + 1] & 0xE0 == 0xE0:
        kbps = rates[(data[pos + 2] >> 4) - 1]
        rate = [44100, 48000, 32000][(data[pos + 2] >> 2) & 3]
        length = 144000 * kbps // rate + ((data[pos + 2] >> 1) & 1)
        out.append(data[pos:pos + length])
        pos += length
    return out


def main(out):
    os.makedirs(out, exist_ok=True)
    p = lambda name: os.path.join(out, name)
    tune_wav(p("tune12.wav"), 12.0)
    tune_wav(p("tune3.wav"), 3.0)
    tune_wav(p("mono3.wav"), 3.0, rate=22050, channels=1)
    lame(p("tune12.wav"), p("tune12.mp3"))
    lame(p("tune3.wav"), p("tune3.mp3"))
    lame(p("mono3.wav"), p("mono3.mp3"), "-m", "m")
    jpeg = picture(p("cover.jpg"), "jpeg")
    png = picture(p("cover.png"), "png")
    with open(p("tune3.mp3"), "rb") as f:
        audio3 = f.read()

    def tagged(name, audio, version, **pictures):
        with open(p(name), "wb") as f:
            f.write(audio)
        mutagen_tag(p(name), version, **pictures)

    with open(p("tune12.mp3"), "rb") as f:
        audio12 = f.read()
    with open(p("mono3.mp3"), "rb") as f:
        mono3 = f.read()
    tagged("full.tqz", audio12, 3, jpeg=jpeg) # every song frame, a 12 s song
    tagged("short.tqz", audio3, 3, jpeg=jpeg)
    tagged("pngcover.tqz", audio3, 3, png=png)
    tagged("v24.tqz", audio3, 4, jpeg=jpeg)
    tagged("mono.tqz", mono3, 3)

    # lame's own tag: UTF-16 texts by default.
    lame(p("tune3.wav"), p("lame_utf16.tqz"), "--id3v2-only", "--tt", "S\u00f8ng", "--ta",
         "L\u00e4me", "--tv", "TXXX=OrvaneBLURB=From lame", "--tv", "TFLT=MPG/3")

    # Junk before the first frame (more than one fill of the decoder's ring),
    # a truncated last frame, and a file that is not MPEG at all.
    junk = bytes((i * 37 + 11) & 0x7F for i in range(10000))
    with_tag_of(p("short.tqz"), audio3, p("junk.tqz"), junk=junk)
    with_tag_of(p("short.tqz"), audio3, p("truncated.tqz"), cut=200)
    noise = bytes((i * 1103515245 + 12345) >> 16 & 0xFF for i in range(60000))
    with_tag_of(p("short.tqz"), noise.replace(b"\xff", b"\x7f"), p("notmpeg.tqz"))

    # The channel mode changes in the middle of the stream: 80 frames of one
    # mode, then the other's frames.
    tune_wav(p("mono44.wav"), 3.0, channels=1)
    lame(p("mono44.wav"), p("mono44.mp3"), "-m", "m")
    with open(p("mono44.mp3"), "rb") as f:
        mono44 = mpeg1_frames(f.read())
    stereo44 = mpeg1_frames(audio3)
    with_tag_of(p("short.tqz"), b"".join(stereo44[:80] + mono44[80:]),
                p("stereo_then_mono.tqz"))
    with_tag_of(p("short.tqz"), b"".join(mono44[:80] + stereo44[80:]),
                p("mono_then_stereo.tqz"))
    counts = {"stereo_then_mono.tqz": len(mono44), "mono_then_stereo.tqz": len(stereo44)}

    # Garbage in the middle of the song: 100 KB of noise after 1.5 s.
    noise = bytes((i * 2654435761 + 7) >> 13 & 0xFF for i in range(100000))
    cut = 24000
    with_tag_of(p("short.tqz"), audio3[:cut] + noise + audio3[cut:], p("garbage_mid.tqz"))

    with open(p("manifest.json"), "w") as f:
        json.dump({"full": FULL_TAGS, "jpegBytes": len(jpeg), "frames": counts}, f, indent=1)


if __name__ == "__main__":
    main(sys.argv[1])
