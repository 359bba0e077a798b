#include "pelmit/demo/demo_song.h"

#include "pelmit/formats/tests/mod_writer.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace pelmit::demo {

using test::ModWriter;
using test::periodOf;
using test::WriterSample;

namespace {

constexpr double pi = std::numbers::pi;

// Sample numbers and channels.
enum : uint8_t { kick = 1, snare, hat, bass, chord, lead };
enum { drums, bassline, chords, melody };

// Note indexes: 24 is the lowest C of the trackers' three octaves.
constexpr int C1 = 24, F1 = 29, G1 = 31, A1 = 33;
constexpr int C2 = 36, D2 = 38, E2 = 40, F2 = 41, G2 = 43, A2 = 45, B2 = 47;
constexpr int C3 = 48, D3 = 50, E3 = 52, F3 = 53, G3 = 55, A3 = 57;

// The drums are synthesized for playing at note C2 (period 428).
constexpr double drumRate = 3546895.0 / 428;

int8_t toByte(double v) {
    return int8_t(std::lround(std::clamp(v, -1.0, 1.0) * 120));
}

// A deterministic noise source.
class Noise {
public:
    double next() {
        state = state * 1664525u + 1013904223u;
        return double(int32_t(state)) / 2147483648.0;
    }

private:
    uint32_t state = 12345;
};

template <class Voice>
WriterSample drumSample(const char* name, double seconds, uint8_t volume, Voice voice) {
    WriterSample s;
    s.name = name;
    s.volume = volume;
    const int n = int(seconds * drumRate) & ~1;
    for (int i = 0; i < n; ++i) s.data.push_back(toByte(voice(i / drumRate)));
    return s;
}

// One looped cycle of a wave made of its first harmonics.
WriterSample cycleSample(const char* name, int length, uint8_t volume,
                         std::initializer_list<double> harmonics) {
    WriterSample s;
    s.name = name;
    s.volume = volume;
    for (int i = 0; i < length; ++i) {
        double v = 0, h = 1;
        for (double a : harmonics) v += a * std::sin(2 * pi * h++ * i / length);
        s.data.push_back(toByte(v));
    }
    s.loopStart = 0;
    s.loopLength = uint16_t(length / 2);
    return s;
}

std::vector<WriterSample> instruments() {
    Noise snareNoise, hatNoise;
    double lastWhite = 0;
    return {
        // A sine falling from 160 to 45 Hz as it dies away.
        drumSample("kick", 0.22, 64,
                   [](double t) {
                       return 1.1 * std::exp(-t * 14) *
                              std::sin(2 * pi * (45 * t + 115 * (1 - std::exp(-t * 30)) / 30));
                   }),
        drumSample("snare", 0.18, 44,
                   [&](double t) {
                       return (0.7 * snareNoise.next() + 0.5 * std::sin(2 * pi * 185 * t)) *
                              std::exp(-t * 22);
                   }),
        // The upper half of white noise, short.
        drumSample("hat", 0.05, 24,
                   [&](double t) {
                       const double white = hatNoise.next(), bright = white - lastWhite;
                       lastWhite = white;
                       return 0.6 * bright * std::exp(-t * 70);
                   }),
        cycleSample("bass", 64, 44, {0.8, 0.4, 0.27, 0.2, 0.16, 0.13}),
        cycleSample("chord", 32, 26, {0.7, 0, 0.23, 0, 0.14, 0, 0.1}),
        cycleSample("lead", 32, 40, {0.75, 0.3, 0.2, 0.1}),
        WriterSample{"#made for Pelmit", {}, -1, 0, 0, 0, 1},
    };
}

struct Chord {
    int root, middle; // bass note, arpeggio note
    uint8_t arpeggio;
};
constexpr Chord am{A1, A2, 0x37}, fMajor{F1, F2, 0x47}, cMajor{C1, C2, 0x47}, gMajor{G1, G2, 0x47};

// A lead note: its row, note, and the rows it is held with vibrato.
struct Tone {
    int row, note, hold;
};

void addDrums(ModWriter& w, int pattern, int bars, bool snares) {
    for (int bar = 0; bar < bars; ++bar) {
        const int r = bar * 16;
        for (int k : {0, 8}) w.note(pattern, r + k, drums, periodOf(C2), kick);
        if (snares)
            for (int s : {4, 12}) w.note(pattern, r + s, drums, periodOf(C2), snare);
        for (int h : {2, 6, 10, 14}) w.note(pattern, r + h, drums, periodOf(C3), hat);
    }
}

void addBass(ModWriter& w, int pattern, const std::vector<Chord>& bars) {
    for (size_t bar = 0; bar < bars.size(); ++bar)
        for (int i = 0; i < 8; ++i)
            w.note(pattern, int(bar) * 16 + i * 2, bassline,
                   periodOf(bars[bar].root + (i % 2 ? 12 : 0)), i == 0 ? bass : 0);
}

void addChords(ModWriter& w, int pattern, const std::vector<Chord>& bars) {
    for (size_t bar = 0; bar < bars.size(); ++bar) {
        const int r = int(bar) * 16;
        w.note(pattern, r, chords, periodOf(bars[bar].middle), chord, 0x0, bars[bar].arpeggio);
        for (int i = 1; i < 16; ++i) w.note(pattern, r + i, chords, 0, 0, 0x0, bars[bar].arpeggio);
    }
}

void addLead(ModWriter& w, int pattern, std::initializer_list<Tone> tones) {
    for (const Tone& t : tones) {
        w.note(pattern, t.row, melody, periodOf(t.note), lead);
        for (int i = 1; i <= t.hold; ++i) w.note(pattern, t.row + i, melody, 0, 0, 0x4, 0x34);
    }
}

} // namespace

std::vector<uint8_t> composeDemoSong() {
    ModWriter w(4, "M.K.");
    w.title = "quistor demo";
    w.samples = instruments();
    w.order = {0, 1, 2, 1, 3};
    const std::vector<Chord> verse = {am, fMajor, cMajor, gMajor};

    // Intro: kicks and hats, bass and chords.
    addDrums(w, 0, 4, false);
    addBass(w, 0, verse);
    addChords(w, 0, verse);

    // Verse: the melody, sliding up into its repeat.
    addDrums(w, 1, 4, true);
    w.note(1, 60, drums, periodOf(C2), snare, 0xE, 0x93); // a roll into the next pattern
    addBass(w, 1, verse);
    addChords(w, 1, verse);
    addLead(w, 1,
            {{0, E3, 3},
             {4, D3, 1},
             {6, C3, 1},
             {8, A2, 7},
             {16, C3, 3},
             {20, A2, 1},
             {22, C3, 1},
             {24, F3, 7},
             {32, E3, 3},
             {36, D3, 1},
             {38, E3, 1},
             {40, G3, 7},
             {48, D3, 3},
             {52, B2, 1},
             {54, D3, 1},
             {56, G2, 3}});
    w.note(1, 60, melody, periodOf(A3), 0, 0x3, 0x06);
    for (int r = 61; r < 64; ++r) w.note(1, r, melody, 0, 0, 0x3, 0x00);

    // Second verse: the melody higher.
    addDrums(w, 2, 4, true);
    addBass(w, 2, verse);
    addChords(w, 2, verse);
    addLead(w, 2,
            {{0, A3, 3},
             {4, G3, 1},
             {6, E3, 1},
             {8, C3, 3},
             {12, E3, 3},
             {16, F3, 3},
             {20, E3, 1},
             {22, C3, 1},
             {24, A2, 7},
             {32, G3, 3},
             {36, E3, 1},
             {38, G3, 1},
             {40, E3, 7},
             {48, B2, 3},
             {52, D3, 3},
             {56, G3, 7}});

    // Outro: A minor again, slowing down and fading out.
    addDrums(w, 3, 3, true);
    w.note(3, 48, drums, periodOf(C2), kick);
    addBass(w, 3, {am, fMajor, cMajor});
    addChords(w, 3, {am, fMajor, cMajor});
    addLead(
        w, 3,
        {{0, E3, 7}, {8, C3, 7}, {16, A2, 7}, {24, C3, 7}, {32, G2, 7}, {40, E2, 7}, {48, A2, 7}});
    w.note(3, 48, bassline, periodOf(A1), bass);
    w.note(3, 48, chords, periodOf(A2), chord, 0x0, am.arpeggio);
    for (int r = 49; r < 56; ++r) w.note(3, r, chords, 0, 0, 0x0, am.arpeggio);
    for (int r = 56; r < 64; ++r)
        for (int c : {bassline, chords, melody}) w.note(3, r, c, 0, 0, 0xA, 0x02);
    w.note(3, 52, drums, 0, 0, 0xF, 0x08);
    w.note(3, 58, drums, 0, 0, 0xF, 0x0C);
    return w.bytes();
}

} // namespace pelmit::demo
