"""Makes Kalvo's demo song, harbour_lights.tqz, from the project's own
material: the synthesized tune of the tests, encoded by lame, behind an
ID3v2.3 tag with the song frames and a drawn cover.

Usage: make_demo.py  (writes harbour_lights.tqz beside this script; needs
python3-mutagen, lame and ImageMagick's convert)."""

import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
# The shared test helpers, where the test tune is written.
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "pylib"))

from make_tqz import tune_wav  # noqa: E402
from mutagen.id3 import (APIC, ID3, TALB, TCOP, TFLT, TIT2, TLEN, TPE1, TPUB, TSIZ, TXXX,  # noqa: E402
                         WCOM, WOAR)


def main():
    out = os.path.join(HERE, "harbour_lights.tqz")
    with tempfile.TemporaryDirectory() as tmp:
        wav, cover = os.path.join(tmp, "tune.wav"), os.path.join(tmp, "cover.jpg")
        tune_wav(wav, 8.0)
        subprocess.run(["lame", "--quiet", "-t", "-b", "112", wav, out], check=True)
        subprocess.run(["/usr/bin/convert", "-size", "100x100", "gradient:#FFD700-#2E5E73",
                        "-fill", "#5A879E", "-draw", "circle 50,50 50,20", "-quality", "80",
                        "jpeg:" + cover], check=True)
        with open(cover, "rb") as f:
            picture = f.read()
    size = os.path.getsize(out)
    tag = ID3()
    tag.add(TIT2(encoding=0, text="Harbour Lights"))
    tag.add(TPE1(encoding=0, text="Kalvo Demo Ensemble"))
    tag.add(TALB(encoding=0, text="Synthesized Tunes"))
    tag.add(TSIZ(encoding=0, text=str(size)))
    tag.add(TLEN(encoding=0, text="8000"))
    tag.add(TFLT(encoding=0, text="MPG/3"))
    tag.add(TCOP(encoding=0, text="2026 the project"))
    tag.add(TPUB(encoding=0, text="Kalvo Demo Records"))
    tag.add(TXXX(encoding=0, desc="OrvaneBLURB",
                 text="An arpeggio in A, synthesized and encoded for this demo."))
    tag.add(WCOM(url="https://orvane.example/"))
    tag.add(WOAR(url="https://orvane.example/artists/demo"))
    tag.add(APIC(encoding=0, mime="image/jpeg", type=3, desc="cover", data=picture))
    tag.save(out, v2_version=3, padding=lambda info: 0)


if __name__ == "__main__":
    main()
