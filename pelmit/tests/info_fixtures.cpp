// Writes the songs whose information dialogs the dialog tests read:
// pelmit_info_fixtures FOLDER.
//   effects.mod  M.K. with 31 named samples using effects 0, 3, 8, E8, EE and F
//   old.mod      an untagged 15-sample module
//   filter.mod   a held square wave; the LED filter is switched on at row 16
//   info.sfx     SoundFX with timer 14187 and effects 1, 2, 3, 5 and 7
//   v2.bp        SoundMon 2.0 using effects 6, 11, 12, 13, 14 and 15
//   v3.bp        the same as SoundMon 2.2
#include "pelmit/formats/tests/format_writers.h"
#include "pelmit/formats/tests/mod_writer.h"

#include <cstdio>
#include <exception>
#include <string>

using namespace pelmit::test;

namespace {

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
        std::fputs("usage: pelmit_info_fixtures FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const struct {
        const char* name;
        Bytes bytes;
    } files[] = {{"effects.mod", effectsMod()}, {"old.mod", oldMod()},
                 {"filter.mod", filterMod()},   {"info.sfx", soundFx()},
                 {"v2.bp", soundMon('2')},      {"v3.bp", soundMon('3')}};
    try {
        for (const auto& f : files) writeFile(folder + f.name, f.bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
