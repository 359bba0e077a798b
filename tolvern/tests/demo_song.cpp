#include "tolvern/tests/demo_song.h"

#include <cmath>
#include <numbers>

namespace tolvern::test {

namespace {

// The chip period of note j (0 = C at 32.703 Hz).
unsigned period(int note) {
    return unsigned(std::lround(125000.0 / (32.703 * std::pow(2.0, note / 12.0))));
}

// A kick: a falling sine that fades, as unsigned 8-bit samples.
std::vector<uint8_t> kick() {
    std::vector<uint8_t> s(900);
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / double(s.size());
        phase += 2 * std::numbers::pi * (180.0 - 130.0 * t) / 8000.0;
        s[i] = uint8_t(std::lround(128 + 120 * (1 - t) * std::sin(phase)));
    }
    return s;
}

} // namespace

YmSong demoSong() {
    YmSong song;
    song.title = "Tolvern demo";
    song.author = "the Tolvern developers";
    song.comment = "made with the project's own YM writer";
    song.drums = {kick()};
    const int chords[4][3] = {{48, 52, 55}, {45, 48, 52}, {41, 45, 48}, {43, 47, 50}};
    const int roots[4] = {24, 21, 17, 19};
    const int melody[16] = {0, 1, 2, 1, 0, 2, 1, 2, 0, 1, 2, 1, 2, 1, 0, 1};
    constexpr int kStep = 8; // frames per melody note
    for (int bar = 0; bar < 16; ++bar) {
        const int c = bar % 4;
        for (int step = 0; step < 16; ++step) {
            const int note = chords[c][melody[step]] + (bar >= 8 ? 12 : 0);
            for (int f = 0; f < kStep; ++f) {
                Registers r = silentFrame();
                // Voice A: the melody, decaying within each step.
                playTone(r, 0, period(note), unsigned(std::max(6, 14 - f)));
                // Voice B: an envelope bass whose envelope follows its tone.
                const unsigned bass = period(roots[c]);
                playTone(r, 1, bass, 0x10);
                setEnvelope(r, bass / 32, 8);
                // Voice C: a noise hat on the off-beats.
                if (step % 2 == 1 && f < 3) {
                    r[rMixer] &= ~0x20;
                    r[rNoise] = 1;
                    r[rVolumeC] = uint8_t(12 - 3 * f);
                }
                // A kick on the beat on voice C, its timer at about 8 kHz.
                if (step % 4 == 0 && f == 0) {
                    r[rToneB + 1] |= 0x30; // digidrum voice C
                    r[rVolumeC] = 0;       // digidrum 0
                    r[rVolumeA] |= 1 << 5; // timer prescale 4
                    r[rTimer2] = 77;
                }
                song.frames.push_back(r);
            }
        }
    }
    return song;
}

} // namespace tolvern::test
