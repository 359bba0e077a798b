// Writes the tunes that the integration tests play through the plug-in and
// the songs whose information dialogs they read: pelmit_format_fixtures FOLDER.
// The Windows tests run it under Wine; natively it writes the fuzz seeds.
//   tune.sfx     SoundFX, two orders, a square wave at period 428 with effects
//   tune.bp      SoundMon 2.0, a sample instrument and a synth with EG
//   synth.bp3    SoundMon 2.2, one synth note whose ADSR steps through four
//                volumes, 10 ticks each: 63, 127, 191, 251
//   tune.fc      Future Composer at speed 20: notes 24 and 36 on a square
//                wave, each at volume 64 for 10 ticks and then 32
//   held.fc      Future Composer, a square wave held on voice 0
//   info.fc      Future Composer 1.4: 3 steps, 2 patterns, speed 5
//   effects.mod  M.K. with 31 named samples using effects 0, 3, 8, E8, EE and F
//   old.mod      an untagged 15-sample module
//   filter.mod   a held square wave; the LED filter is switched on at row 16
//   info.sfx     SoundFX with timer 14187 and effects 1, 2, 3, 5 and 7
//   v2.bp        SoundMon 2.0 using effects 6, 11, 12, 13, 14 and 15
//   v3.bp        the same as SoundMon 2.2
#include "fc_file.h"
#include "format_writers.h"
#include "mod_writer.h"

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

// Voices 1-3 of a step on the empty pattern 1.
constexpr std::array<uint8_t, 12> fcVoice0Only = {0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0};

// Pattern 0 and an empty pattern 1; wave 16 (sound 26, 16 bytes low and 16
// high) as the frequency sequence, volume 64 from the note's tick on.
FcFile fcSquareTune() {
    FcFile fc;
    fc.patterns.resize(2 * 64);
    FcFile::setSequence(fc.frequencySequences, 0, {0xE2, 26, 0x00, 0xE1});
    FcFile::setSequence(fc.volumeSequences, 0, {1, 0, 0, 0, 0, 0x40, 0xE1});
    return fc;
}

// Rows at speed 20: note 24 on tick 20, note 36 on tick 60, the end on tick 100.
Bytes fcTune() {
    FcFile fc = fcSquareTune();
    fc.addStep(fcVoice0Only, 20);
    fc.setRow(0, 0, 24, 0);
    fc.setRow(0, 2, 36, 0);
    fc.setRow(0, 4, 0x49, 0);
    // Volume 64 for the note's tick and 9 more, then 32.
    FcFile::setSequence(fc.volumeSequences, 0, {1, 0, 0, 0, 0, 0x40, 0xE8, 9, 0x20, 0xE1});
    return fc.bytes();
}

// Voice 0 is a left voice: loud enough everywhere for four seconds to compare
// the two sides block by block.
Bytes fcHeldNote() {
    FcFile fc = fcSquareTune();
    fc.addStep(fcVoice0Only, 6);
    fc.addStep(fcVoice0Only, 6);
    fc.setRow(0, 0, 24, 0);
    return fc.bytes();
}

Bytes fcInfoTune() {
    FcFile fc = fcSquareTune();
    fc.fc14 = true;
    fc.addStep(fcVoice0Only, 5);
    fc.addStep({1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0}, 0);
    fc.addStep({}, 9);
    fc.setRow(0, 0, 24, 0);
    // Sound 10 is the first wave of the file's own.
    FcFile::setSequence(fc.frequencySequences, 0, {0xE2, 10, 0x00, 0xE1});
    fc.waves[0].assign(16, 0x40);
    fc.waves[0].insert(fc.waves[0].end(), 16, 0xC0);
    return fc.bytes();
}

std::vector<int8_t> square() {
    return waveCycle(32, 1);
}

Bytes effectsMod() {
    ModWriter mod;
    mod.title = "effects";
    for (int i = 0; i < 31; ++i) {
        WriterSample s;
        s.name = "sample " + std::to_string(i + 1);
        if (i == 0) {
            s.data = square();
            s.loopLength = 16;
        }
        mod.samples.push_back(s);
    }
    uint16_t c2 = periodOf(24);
    mod.note(0, 0, 0, c2, 1, 0x0, 0x37); // arpeggio
    mod.note(0, 1, 1, c2, 1, 0x3, 0x10); // portamento
    mod.note(0, 2, 2, 0, 0, 0x8, 0x11);  // unknown
    mod.note(0, 3, 3, 0, 0, 0xE, 0x81);  // E8: unknown
    mod.note(0, 4, 0, 0, 0, 0xE, 0xE1);  // pattern delay
    mod.note(0, 5, 1, 0, 0, 0xF, 0x06);  // speed
    return mod.bytes();
}

Bytes oldMod() {
    ModWriter mod(4, "");
    mod.samples.push_back({"old one", square(), -1, 0, 64, 0, 16});
    mod.note(0, 0, 0, periodOf(24), 1);
    return mod.bytes();
}

Bytes filterMod() {
    ModWriter mod;
    mod.samples.push_back({"square", square(), -1, 0, 64, 0, 16});
    mod.note(0, 0, 0, periodOf(12), 1);
    mod.note(0, 16, 1, 0, 0, 0xE, 0x00);
    return mod.bytes();
}

Bytes soundFx() {
    SfxSong song;
    SfxSampleSpec s;
    s.name = "first";
    s.data = square();
    s.loopLengthWords = 16;
    song.samples = {s};
    s.name = "second";
    song.samples.push_back(s);
    song.length = 2;
    song.orders = {0, 1};
    song.patterns.assign(2, SfxPatternSpec{});
    song.patterns[0][0][0] = {428, 1, 1, 0x37};
    song.patterns[0][1][1] = {428, 2, 2, 0x02};
    song.patterns[0][2][2] = {428, 1, 3, 0x01};
    song.patterns[1][0][3] = {428, 1, 5, 0x01};
    song.patterns[1][1][0] = {428, 1, 7, 0x01};
    return soundFxBytes(song);
}

Bytes soundMon(char version) {
    BpSong song;
    song.version = version;
    song.tables = {bpTable([](int k) { return k < 32 ? 90 : -90; })};
    song.instruments[0] = bpSample(square(), 64, 0, 16);
    song.instruments[0].sampleSpec.name = "bass";
    BpSynthSpec synth;
    song.instruments[1] = bpSynth(synth);
    song.steps = {{BpStepSpec{1}, BpStepSpec{1}, BpStepSpec{1}, BpStepSpec{1}}};
    song.patterns.assign(1, BpPatternSpec{});
    const uint8_t effects[] = {6, 11, 12, 13, 14, 15};
    for (int r = 0; r < 6; ++r) song.patterns[0][r] = {13, 1, effects[r], 1};
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
    } files[] = {{"tune.sfx", soundFxTune()},      {"tune.bp", soundMon20Tune()},
                 {"synth.bp3", soundMon22Synth()}, {"tune.fc", fcTune()},
                 {"held.fc", fcHeldNote()},        {"info.fc", fcInfoTune()},
                 {"effects.mod", effectsMod()},    {"old.mod", oldMod()},
                 {"filter.mod", filterMod()},      {"info.sfx", soundFx()},
                 {"v2.bp", soundMon('2')},         {"v3.bp", soundMon('3')}};
    try {
        for (const auto& f : files) writeFile(folder + f.name, f.bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
