// Writes the MOD fuzzer's seed modules into a folder: one per tag kind, a
// 15-sample module, loops past the end, every effect, pattern loops and
// jumps. Usage: mod_fuzz_seeds FOLDER
#include "pelmit/formats/tests/mod_writer.h"

#include <cstdio>
#include <exception>
#include <string>

using namespace pelmit::test;

namespace {

ModWriter busyModule(int channels, const std::string& tag) {
    ModWriter w(channels, tag);
    for (int i = 0; i < 3; ++i) {
        WriterSample s;
        s.data = waveCycle(32 << i, i);
        s.loopStart = uint16_t(4 * i);
        s.loopLength = uint16_t(8 << i);
        s.finetune = uint8_t(i == 2 ? 0x8F : i);
        w.samples.push_back(s);
    }
    w.order = {0, 1, 0};
    w.restart = 1;
    for (int r = 0; r < 64; ++r) {
        const uint8_t effect = uint8_t(r % 16);
        const uint8_t parameter = uint8_t(effect == 0xE ? (r / 4 % 16) << 4 | 2 : 0x21 + r);
        w.note(r / 32, r % 32 * 2, r % channels, periodOf(20 + r % 40), uint8_t(1 + r % 3), effect,
               parameter);
    }
    w.note(1, 10, 0, 0, 0, 0xE, 0x60);
    w.note(1, 12, 0, 0, 0, 0xE, 0x62);
    w.note(1, 40, 1 % channels, 0, 0, 0xB, 0x00);
    w.note(1, 40, 0, 0, 0, 0xD, 0x42);
    return w;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: mod_fuzz_seeds FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const std::pair<const char*, ModWriter> seeds[] = {
        {"mk.mod", busyModule(4, "M.K.")},    {"pt.mod", busyModule(4, "M!K!")},
        {"flt4.mod", busyModule(4, "FLT4")},  {"6chn.mod", busyModule(6, "6CHN")},
        {"12ch.mod", busyModule(12, "12CH")}, {"old.mod", busyModule(4, "")},
    };
    try {
        for (const auto& [name, module] : seeds) module.save(folder + "/" + name);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
