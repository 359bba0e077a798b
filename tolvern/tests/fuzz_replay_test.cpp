// The fuzz entry run under the sanitizers on packed and plain songs and on
// many random mutations of them: nothing may read or write out of bounds.
#include "tolvern/tests/demo_song.h"

#include <gtest/gtest.h>

#include <random>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

using namespace tolvern::test;

TEST(FuzzReplay, MutatedSongsAreHandled) {
    TempDir dir;
    YmSong small = demoSong();
    small.frames.resize(300);
    std::vector<std::vector<uint8_t>> seeds = {buildYm(small), packLh5(buildYm(small), dir.path())};
    for (const char* magic : {"YM2!", "YM4!", "YM6!"}) {
        small.magic = magic;
        seeds.push_back(buildYm(small));
    }
    std::mt19937 rng(14);
    for (const auto& seed : seeds) {
        LLVMFuzzerTestOneInput(seed.data(), seed.size());
        for (int i = 0; i < 300; ++i) {
            std::vector<uint8_t> m = seed;
            const int edits = 1 + int(rng() % 8);
            for (int e = 0; e < edits; ++e) {
                const size_t at = rng() % m.size();
                switch (rng() % 4) {
                case 0: m[at] = uint8_t(rng()); break;
                case 1: m[at] ^= uint8_t(1u << (rng() % 8)); break;
                case 2: m.resize(at + 1); break;
                default: m[at] = rng() % 2 ? 0xFF : 0x00; break;
                }
            }
            LLVMFuzzerTestOneInput(m.data(), m.size());
        }
    }
}
