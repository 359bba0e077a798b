// Recognising the emulated formats: each test tune by its own detector and no
// other, files cut short or pointing past their end, and the small rules the
// loaders share with the detectors.
#include "emulated_fixtures.h"
#include "pelmit/formats/emulated_patterns.h"
#include "pelmit/formats/emulated_player.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>

namespace pelmit {
namespace {

using test::Bytes;
using test::emulatedFile;

using File = jk::test::ByteStream;

// Which of the five detectors accept the file, in the order of EmulatedFormat.
std::array<int, 5> detectorsAccepting(const Bytes& bytes) {
    File f(bytes);
    const uint32_t size = uint32_t(bytes.size());
    return {isHippelFile(f, size), isMonFile(f, size), isDeliTrackerFile(f),
            isDeltaMusic2File(f, size), isSidMon1File(f, size)};
}

std::array<int, 5> only(uint32_t format) {
    std::array<int, 5> a{};
    a[format] = 1;
    return a;
}

TEST(EmulatedDetection, EachTuneByItsOwnDetectorOnly) {
    const std::pair<const char*, uint32_t> cases[] = {
        {"hippel", formatHippel},       {"hippel_coso", formatHippel},
        {"hippel_none", formatHippel},  {"mon", formatMon},
        {"dm2", formatDeltaMusic2},     {"sidmon1", formatSidMon1},
        {"dt_cia", formatDeliTracker},  {"dt_interrupt", formatDeliTracker},
        {"dt_walk", formatDeliTracker}, {"dt_wrap", formatDeliTracker},
    };
    for (auto [name, format] : cases) {
        EXPECT_EQ(detectorsAccepting(emulatedFile(name)), only(format)) << name;
        File f(emulatedFile(name));
        EXPECT_EQ(isEmulatedFile(f), 1) << name;
    }
}

TEST(EmulatedDetection, FilesCutBeforeTheirPatternsAreRefused) {
    // The Hippel tag, the DM2 tag at 3014, the SidMon exit; every shorter cut.
    for (const char* name : {"hippel", "dm2", "sidmon1", "mon"}) {
        const Bytes whole = emulatedFile(name);
        size_t shortest = whole.size();
        for (size_t n = whole.size(); n-- > 0;) {
            Bytes cut(whole.begin(), whole.begin() + long(n));
            File f(cut);
            if (isEmulatedFile(f)) shortest = n;
        }
        // Once refused, always refused: no cut reads past its end into a match.
        for (size_t n = 0; n < shortest; ++n) {
            Bytes cut(whole.begin(), whole.begin() + long(n));
            File f(cut);
            ASSERT_EQ(isEmulatedFile(f), 0) << name << " cut to " << n;
        }
        EXPECT_LT(shortest, whole.size()) << name;
    }
    File empty(Bytes{});
    EXPECT_EQ(isEmulatedFile(empty), 0);
}

TEST(EmulatedDetection, TunesTooLargeForChipMemoryAreRefused) {
    Bytes big = emulatedFile("dm2");
    big.resize(maxTuneBytes, 0);
    EXPECT_EQ(detectorsAccepting(big), only(formatDeltaMusic2));
    big.push_back(0);
    EXPECT_EQ(detectorsAccepting(big), (std::array<int, 5>{}));
}

TuneWords wordsOf(std::initializer_list<uint16_t> words) {
    TuneWords t;
    t.words = words;
    t.fileSize = uint32_t(2 * t.words.size());
    return t;
}

TEST(EmulatedDetection, DisplacementsPastTheFileMatchNothing) {
    // LEA (d16,PC),A0 with d odd, negative, at the reach, or beyond the words.
    for (uint16_t d : {0x0003, 0xFFFC, 0x4000, 0x0100}) {
        TuneWords t = wordsOf({0x41FA, d, 0x5446, 0x4D58});
        EXPECT_FALSE(findHippelTag(t, 0, 128)) << d;
    }
    EXPECT_TRUE(findHippelTag(wordsOf({0x41FA, 0x0002, 0x5446, 0x4D58}), 0, 128));
    // A patch chain that leads outside the words writes nothing.
    TuneWords t = wordsOf({0x6000, 0x7FFE, 0x4E75});
    const auto before = t.words;
    patchHippel(t);
    EXPECT_EQ(t.words, before);
}

TEST(EmulatedDetection, MonCountByteWithDisplacementsRoundedDown) {
    // LEA dL(PC),A5 at word 0 and CMP.B dC(A5),D0 at word 11: 2 + dL + dC,
    // both taken unsigned and even, so an odd dC reads the byte below.
    const std::pair<std::pair<uint16_t, uint16_t>, uint32_t> cases[] = {
        {{0x0010, 0x0004}, 0x16}, {{0x0011, 0x0005}, 0x16}, {{0x8000, 0x0002}, 0x8004}};
    for (auto [d, offset] : cases) {
        TuneWords t =
            wordsOf({0x4BFA, d.first, 0x0280, 0, 0x00FF, 0, 0, 0, 0, 0, 0x5300, 0xB02D, d.second});
        ASSERT_EQ(findMonSubsongCheck(t, 0), 0u);
        EXPECT_EQ(monSubsongCountOffset(t, 0), offset);
    }
}

TEST(EmulatedDetection, FileNamePart) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\music\\tune.hip", "tune.hip"},
        {"tune.hip", "tune.hip"},
        {"\\tune.hip", "\\tune.hip"},
        {"C:\\music\\", ""},
        {"a/b\\c", "c"},
    };
    for (auto [path, name] : cases) {
        char out[64];
        EXPECT_EQ(fileNamePart(out, sizeof out, path), std::strlen(name) + 1) << path;
        EXPECT_STREQ(out, name) << path;
    }
    char small[4];
    EXPECT_EQ(fileNamePart(small, sizeof small, "C:\\longname"), 4u);
    EXPECT_STREQ(small, "lon");
}

} // namespace
} // namespace pelmit
