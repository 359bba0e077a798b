// The fuzz entry run under the sanitizers on packed and plain songs and on
// many random mutations of them: nothing may read or write out of bounds, and
// whatever a mutated song loads as converts to a module a tracker can read.
#include "tolvern/tests/demo_song.h"
#include "tolvern/tests/fuzz_load.h"
#include "tolvern/xm_module.h"
#include "tolvern/ym.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace tolvern;
using namespace tolvern::test;

namespace {

// The instruments a cell may name: the six tone, buzzer and noise
// instruments, and a digidrum of the song from 17 on.
bool knownInstrument(int instrument, const _corvel_YM& song) {
    return (instrument >= 1 && instrument <= 6) ||
           (instrument >= 17 && instrument < 17 + song.GetSampleAmount());
}

// Walks every packed cell of every pattern: each row has a cell per channel,
// the cells fill the pattern's data exactly, and every note, instrument,
// volume and effect is one the converter writes. The patterns hold one row
// per frame and the file is the header, the patterns and the instruments.
void expectReadableModule(const _corvel_YM& song, const XmModule& module) {
    const int patterns = module.PatternCount();
    ASSERT_LE(patterns, kXmMaxPatterns);
    size_t expectedSize = kXmHeaderSize + Instruments().size();
    int rows = 0;
    for (int p = 0; p < patterns; ++p) {
        const xmPattern& pattern = module.GetPattern(p);
        ASSERT_LE(pattern.numRows, kXmRows);
        ASSERT_LE(pattern.patDataSize, kXmPatternData);
        expectedSize += 9 + pattern.patDataSize;
        rows += pattern.numRows;
        size_t at = 0;
        for (int cell = 0; cell < pattern.numRows * kXmChannels; ++cell) {
            const std::string where =
                "pattern " + std::to_string(p) + " cell " + std::to_string(cell);
            ASSERT_LT(at, pattern.patDataSize) << where;
            int fields[5] = {};
            const uint8_t head = pattern.data[at];
            const int present = head & 0x80 ? head : 0x1F;
            if (head & 0x80) ++at;
            for (int f = 0; f < 5; ++f) {
                if (!(present & (1 << f))) continue;
                ASSERT_LT(at, pattern.patDataSize) << where;
                fields[f] = pattern.data[at++];
            }
            const auto [note, instrument, volume, effect, parameter] = fields;
            if (present & 0x01) {
                EXPECT_TRUE(note >= 1 && note <= 97) << where << " note " << note;
            }
            if (present & 0x02) {
                EXPECT_TRUE(knownInstrument(instrument, song)) << where << " " << instrument;
            }
            if (present & 0x04) {
                EXPECT_TRUE(volume >= 0x10 && volume <= 0x50) << where << " volume " << volume;
            }
            if (present & 0x08) {
                EXPECT_LE(effect, 2) << where;
            }
            (void)parameter;
        }
        EXPECT_EQ(at, pattern.patDataSize) << "pattern " << p;
    }
    EXPECT_EQ(rows, song.GetLines());
    EXPECT_EQ(module.Build().size(), expectedSize);
}

TEST(FuzzReplay, MutatedSongsAreHandled) {
    TempDir dir;
    YmSong small = demoSong();
    small.frames.resize(300);
    std::vector<std::vector<uint8_t>> seeds = {buildYm(small), packLh5(buildYm(small), dir.path())};
    for (const char* magic : {"YM2!", "YM4!", "YM6!"}) {
        small.magic = magic;
        seeds.push_back(buildYm(small));
    }
    int converted = 0;
    const ConvertedCheck check = [&](const _corvel_YM& song, const XmModule& module) {
        ++converted;
        expectReadableModule(song, module);
    };
    std::mt19937 rng(14);
    for (const auto& seed : seeds) {
        fuzzLoad(seed.data(), seed.size(), check);
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
            fuzzLoad(m.data(), m.size(), check);
            if (testing::Test::HasFatalFailure()) return;
        }
    }
    // The mutations leave many songs loadable: the checks above saw them.
    EXPECT_GT(converted, int(seeds.size()) * 30);
}

} // namespace
