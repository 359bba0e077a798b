// Writes the SoundFX and SoundMon tunes that the integration tests play
// through the plug-in: pelmit_format_fixtures FOLDER.
//   tune.sfx   SoundFX, two orders, a square wave at period 428 with effects
//   tune.bp    SoundMon 2.0, a sample instrument and a synth with EG
//   synth.bp3  SoundMon 2.2, one synth note whose ADSR steps through four
//              volumes, 10 ticks each: 63, 127, 191, 251
#include "format_writers.h"

#include <cstdio>
#include <exception>
#include <string>

using namespace pelmit::test;

namespace {

// A square wave of 64 bytes, the first half high.
std::vector<int8_t> squareCycle() {
    std::vector<int8_t> bytes(64);
    for (size_t k = 0; k < bytes.size(); ++k) bytes[k] = int8_t(k < 32 ? 100 : -100);
    return bytes;
}

Bytes soundFxTune() {
    SfxSong song;
    SfxSampleSpec square;
    square.name = "square";
    square.data = squareCycle();
    square.volume = 64;
    square.loopLengthWords = 32;
    song.samples = {square};
    song.length = 2;
    song.orders = {0, 1};
    song.patterns.assign(2, SfxPatternSpec{});
    song.patterns[0][0][0] = {428, 1, 0, 0};
    song.patterns[0][16][1] = {856, 1, 1, 0x37};
    song.patterns[1][0][2] = {214, 1, 7, 0x13};
    song.patterns[1][32][3] = {0xFFFE, 0, 0, 0};
    return soundFxBytes(song);
}

Bytes soundMon20Tune() {
    BpSong song;
    song.version = '2';
    song.tables = {bpTable([](int k) { return k < 32 ? 90 : -90; }),
                   bpTable([](int k) { return k * 4 - 128; })};
    song.instruments[0] = bpSample(squareCycle(), 48, 0, 32);
    BpSynthSpec synth;
    synth.waveLengthWords = 32;
    synth.egControl = 2;
    synth.egTable = 1;
    synth.egLength = 32;
    synth.egSpeed = 1;
    song.instruments[1] = bpSynth(synth);
    song.steps = {{BpStepSpec{1}, BpStepSpec{1}, BpStepSpec{2}, BpStepSpec{2}},
                  {BpStepSpec{2}, BpStepSpec{2}, BpStepSpec{1, 0, 12}, BpStepSpec{1}}};
    song.patterns.assign(2, BpPatternSpec{});
    song.patterns[0][0] = {13, 1, 0, 0};
    song.patterns[0][8] = {18, 1, 0, 0x47};
    song.patterns[1][0] = {1, 2, 0, 0};
    song.patterns[1][4] = {8, 2, 4, 3};
    return soundMonBytes(song);
}

Bytes soundMon22Synth() {
    BpSong song;
    song.version = '3';
    const int levels[] = {-64, 0, 64, 127};
    song.tables = {bpTable([](int k) { return k < 32 ? 100 : -100; }),
                   bpTable([&](int k) { return levels[k < 4 ? k : 3]; })};
    BpSynthSpec synth;
    synth.waveLengthWords = 32; // one cycle of the square in table 0
    synth.adsrControl = 1;
    synth.adsrTable = 1;
    synth.adsrLength = 4;
    synth.adsrSpeed = 10;
    song.instruments[0] = bpSynth(synth);
    // Voice 0 plays channel 3.
    song.steps = {{BpStepSpec{2}, BpStepSpec{2}, BpStepSpec{2}, BpStepSpec{1}}};
    song.patterns.assign(2, BpPatternSpec{});
    song.patterns[0][0] = {13, 1, 0, 0}; // period 428
    return soundMonBytes(song);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: pelmit_format_fixtures FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const struct {
        const char* name;
        Bytes bytes;
    } files[] = {{"tune.sfx", soundFxTune()},
                 {"tune.bp", soundMon20Tune()},
                 {"synth.bp3", soundMon22Synth()}};
    try {
        for (const auto& f : files) writeFile(folder + f.name, f.bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
