// Loading Future Composer files: detection, the slots of samples, packs and
// waves, the built-in waves, titles, and files that are short or lie.
#include "fc_file.h"
#include "fc_fixture.h"
#include "pelmit/formats/future_composer_player.h"
#include "pelmit/formats/future_composer_waves.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace pelmit;
using namespace pelmit::test;

namespace {

// One step of one pattern (row 0: note 24 with sound 0) and sample 0.
FcFile minimalSong(bool fc14) {
    FcFile f;
    f.fc14 = fc14;
    f.addStep({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    f.setRow(0, 0, 24, 0);
    f.samples[0].bytes.assign(16, 0x40);
    return f;
}

uint32_t slotSize(int slot) {
    const SampleSlot& s = mixer.slotState(uint32_t(slot));
    return uint32_t(s.end - s.start);
}

// Loop of a slot as byte offsets; {0, 0} without loop.
std::pair<uint32_t, uint32_t> slotLoop(int slot) {
    const SampleSlot& s = mixer.slotState(uint32_t(slot));
    if (!s.loopEnd) return {0, 0};
    return {uint32_t(s.loopStart - s.start), uint32_t(s.loopEnd - s.start)};
}

std::vector<int8_t> slotBytes(int slot) {
    const SampleSlot& s = mixer.slotState(uint32_t(slot));
    return std::vector<int8_t>(s.start, s.end);
}

} // namespace

TEST_F(FcFixture, IdentifiesBothVariantsFromTheStart) {
    struct Case {
        const char* bytes;
        int expected;
    } cases[] = {{"SMOD....", 1}, {"FC14....", 1}, {"smod....", 0}, {"FC13....", 0},
                 {"SMO", 0},      {"", 0},         {"xSMOD...", 0}};
    for (const Case& c : cases) {
        const std::string path =
            writeTempFile(std::vector<uint8_t>(c.bytes, c.bytes + std::strlen(c.bytes)), "id.fc");
        std::FILE* f = jk::test::openFile(path, "rb");
        std::fseek(f, 3, SEEK_SET); // the detector positions the stream itself
        EXPECT_EQ(identifyFutureComposer(f), c.expected) << c.bytes;
        std::fclose(f);
    }
}

TEST_F(FcFixture, SmodGetsItsSamplesThenFortyEightWaves) {
    FcFile f = minimalSong(false);
    f.samples[0].loopWords = 1; // one word: no loop
    f.samples[2].bytes.assign(40, 0x11);
    f.samples[2].loopStart = 4;
    f.samples[2].loopWords = 8;
    auto& p = load(f);
    EXPECT_FALSE(p.isVersion14());
    EXPECT_EQ(p.stepCount(), 1u);
    EXPECT_EQ(p.patternCount(), 1u);
    EXPECT_EQ(p.sound(0).slot, 0);
    EXPECT_EQ(p.sound(1).slot, -1);
    EXPECT_EQ(p.sound(2).slot, 1);
    EXPECT_EQ(slotSize(0), 16u);
    EXPECT_EQ(slotLoop(0), std::make_pair(0u, 0u));
    EXPECT_EQ(slotLoop(1), std::make_pair(4u, 20u));
    // Waves 0-47 follow without gaps, each looping whole; 48-79 are empty.
    uint32_t offset = 0;
    for (int i = 0; i < 80; ++i) {
        const FcSound& s = p.sound(10 + i);
        if (i >= 48) {
            EXPECT_EQ(s.slot, -1) << i;
            continue;
        }
        ASSERT_EQ(s.slot, 2 + i);
        const uint32_t size = 2u * fcWaveLengths[i];
        EXPECT_EQ(slotSize(s.slot), size) << i;
        EXPECT_EQ(slotLoop(s.slot), std::make_pair(0u, size)) << i;
        EXPECT_EQ(slotBytes(s.slot),
                  std::vector<int8_t>(fcWaves.begin() + offset, fcWaves.begin() + offset + size));
        offset += size;
    }
    EXPECT_EQ(offset, 1344u);
    EXPECT_EQ(mixer.slotState(50).start, nullptr);
}

TEST_F(FcFixture, BuiltInWavesFollowTheirRules) {
    auto wave = [](int n) {
        uint32_t at = 0;
        for (int i = 0; i < n; ++i) at += 2u * fcWaveLengths[i];
        return std::vector<int>(fcWaves.begin() + at, fcWaves.begin() + at + 2 * fcWaveLengths[n]);
    };
    // Wave 0 as a player's memory holds it.
    const uint8_t wave0[32] = {0xC0, 0xC0, 0xD0, 0xD8, 0xE0, 0xE8, 0xF0, 0xF8, 0x00, 0xF8, 0xF0,
                               0xE8, 0xE0, 0xD8, 0xD0, 0xC8, 0x3F, 0x37, 0x2F, 0x27, 0x1F, 0x17,
                               0x0F, 0x07, 0xFF, 0x07, 0x0F, 0x17, 0x1F, 0x27, 0x2F, 0x37};
    for (int j = 0; j < 32; ++j) EXPECT_EQ(wave(0)[j], int8_t(wave0[j])) << j;
    // Wave 5: the lower ramp for the first five bytes of the second half.
    const std::vector<int> w5 = wave(5);
    EXPECT_EQ(
        std::vector<int>(w5.begin() + 16, w5.end()),
        (std::vector<int>{-64, -72, -80, -88, -96, 23, 15, 7, -1, 7, 15, 23, 31, 39, 47, 55}));
    EXPECT_EQ(wave(15)[30], -80);
    EXPECT_EQ(wave(15)[31], 55);
    EXPECT_EQ(wave(16), [] {
        std::vector<int> v(32, 127);
        std::fill(v.begin(), v.begin() + 16, -127);
        return v;
    }());
    EXPECT_EQ(wave(31)[30], -128);
    EXPECT_EQ(wave(31)[31], 127);
    EXPECT_EQ(wave(32), (std::vector<int>{-128, -128, -128, -128, -128, -128, -128, -128, 127, 127,
                                          127, 127, 127, 127, 127, 127}));
    EXPECT_EQ(wave(39)[1], -128);
    EXPECT_EQ(wave(39)[2], 127);
    EXPECT_EQ(wave(38), wave(39));
    const std::vector<int> saw = wave(40);
    EXPECT_EQ(std::vector<int>(saw.begin(), saw.begin() + 4),
              (std::vector<int>{-128, -128, -112, -104}));
    EXPECT_EQ(saw[30], 112);
    EXPECT_EQ(saw[31], 127);
    EXPECT_EQ(wave(46), saw);
    EXPECT_EQ(wave(41)[15], 112);
    EXPECT_EQ(wave(47), wave(41));
    EXPECT_EQ(wave(42)[31], -118);
    EXPECT_EQ(wave(43)[31], -125);
    EXPECT_EQ(wave(44), (std::vector<int>{0, 0, 64, 96, 127, 96, 64, 32, 0, -32, -64, -96, -128,
                                          -96, -64, -32}));
    EXPECT_EQ(wave(45), wave(44));
}

TEST_F(FcFixture, Fc14PacksGiveEachEntryASlot) {
    FcFile f = minimalSong(true);
    std::vector<uint8_t> data(64);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i);
    f.samples[0].bytes = samplePack(
        {
            {0, 4, 0, 1},   // bytes 0-7, no loop
            {8, 0, 0, 0},   // empty
            {8, 8, 4, 4},   // bytes 8-23, loop 4..12
            {500, 4, 0, 1}, // starts past the pack: skipped
            {56, 8, 0, 1},  // runs past the pack: cut to 8 bytes
        },
        data);
    f.samples[1].bytes = {1, 2, 3, 4};
    f.waves[0] = {9, 9, 9, 9, 9, 9, 9, 9};
    f.waves[3] = {7, 7, 7, 7};
    auto& p = load(f);
    EXPECT_TRUE(p.isVersion14());
    const FcSound& pack = p.sound(0);
    EXPECT_EQ(pack.slot, 0);
    EXPECT_EQ(slotSize(0), 324u + 64u);
    ASSERT_TRUE(pack.hasPack);
    EXPECT_EQ(std::vector<int>(pack.packSlots, pack.packSlots + 10),
              (std::vector<int>{1, -1, 2, -1, 3, -1, -1, -1, -1, -1}));
    EXPECT_EQ(slotBytes(1), (std::vector<int8_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(slotSize(2), 16u);
    EXPECT_EQ(slotBytes(2)[0], 8);
    EXPECT_EQ(slotLoop(2), std::make_pair(4u, 12u));
    EXPECT_EQ(slotBytes(3), (std::vector<int8_t>{56, 57, 58, 59, 60, 61, 62, 63}));
    EXPECT_EQ(p.sound(1).slot, 4);
    EXPECT_FALSE(p.sound(1).hasPack);
    // Only nonzero wave lengths take slots.
    EXPECT_EQ(p.sound(10).slot, 5);
    EXPECT_EQ(p.sound(11).slot, -1);
    EXPECT_EQ(p.sound(13).slot, 6);
    EXPECT_EQ(slotBytes(6), (std::vector<int8_t>{7, 7, 7, 7}));
    EXPECT_EQ(slotLoop(6), std::make_pair(0u, 4u));
    EXPECT_EQ(mixer.slotState(7).start, nullptr);
}

TEST_F(FcFixture, PacksAreSmodAndNotPlainSamples) {
    FcFile f = minimalSong(false);
    f.samples[0].bytes = samplePack({{0, 4, 0, 1}}, std::vector<uint8_t>(8, 1));
    auto& p = load(f);
    EXPECT_FALSE(p.sound(0).hasPack);
    EXPECT_EQ(p.sound(10).slot, 1); // wave 0 right after the whole sample
}

TEST(FcPack, UnpacksOnlyWhatLiesInside) {
    FcPackEntry table[fcPackEntries];
    const std::vector<uint8_t> notPack = {'S', 'S', 'M', 'X', 0, 0};
    EXPECT_EQ(unpackSamplePack(notPack.data(), uint32_t(notPack.size()), table), 0);
    EXPECT_EQ(unpackSamplePack(notPack.data(), 3, table), 0);
    // A pack cut inside its entry records: the entries that are cut are empty.
    std::vector<uint8_t> pack = samplePack({{0, 1, 0, 0}, {0, 1, 0, 0}}, {5, 6});
    ASSERT_EQ(unpackSamplePack(pack.data(), 4 + 16 + 8, table), 1);
    for (const FcPackEntry& e : table) EXPECT_EQ(e.start, nullptr);
    ASSERT_EQ(unpackSamplePack(pack.data(), uint32_t(pack.size()), table), 1);
    EXPECT_EQ(table[0].start, pack.data() + 324);
    EXPECT_EQ(table[0].length, 2u);
    EXPECT_EQ(table[1].length, 2u);
    EXPECT_EQ(table[2].start, nullptr);
}

TEST_F(FcFixture, TitleIsTheNameAfterTheLastBackslash) {
    const std::string path = writeTempFile(minimalSong(false).bytes(), "title.fc");
    struct Case {
        std::string path, title;
    } cases[] = {
        {"C:\\songs\\tune.fc", "tune.fc"},
        {"songs/plain.fc", "songs/plain.fc"}, // only a backslash separates
        {"C:\\" + std::string(300, 'n'), std::string(63, 'n')},
    };
    for (const Case& c : cases) {
        std::FILE* stream = jk::test::openFile(path, "rb");
        FutureComposerPlayer p;
        ASSERT_EQ(p.loadSong(stream, c.path.c_str()), 1);
        std::fclose(stream);
        char title[titleBufferSize];
        std::memset(title, 'x', sizeof title);
        p.songTitle(title, sizeof title);
        EXPECT_EQ(std::string(title), c.title);
        char small[8];
        p.songTitle(small, sizeof small);
        EXPECT_EQ(std::string(small), c.title.substr(0, 7));
        p.releaseSong();
    }
}

TEST_F(FcFixture, StepsAreWholeThirteenByteRecords) {
    FcFile f = minimalSong(false);
    f.sequence.resize(25); // one step and 12 bytes more
    f.setRow(0, 0, 24, 0);
    EXPECT_EQ(load(f).stepCount(), 1u);
}

// Files that are not Future Composer or that lie about their sections: refused,
// or loaded within their bounds and played for a while without harm.
TEST_F(FcFixture, MalformedFilesAreRefusedOrBounded) {
    using Patch = std::function<void(std::vector<uint8_t>&)>;
    struct Case {
        const char* what;
        Patch patch;
        int loads;
    } cases[] = {
        {"other identifier", [](auto& b) { b[3] = 'X'; }, 0},
        {"header cut short", [](auto& b) { b.resize(60); }, 0},
        {"sequence below one step", [](auto& b) { putBe32(b, fcSequenceLengthAt, 12); }, 0},
        {"empty file after the header", [](auto& b) { b.resize(100); }, 0},
        {"sequence longer than the file",
         [](auto& b) { putBe32(b, fcSequenceLengthAt, 0xFFFFFFF0); }, 1},
        {"pattern data past the end", [](auto& b) { putBe32(b, fcPatternOffsetAt, 0xFFFFFF00); },
         1},
        {"huge pattern length", [](auto& b) { putBe32(b, fcPatternLengthAt, 0x7FFFFFFF); }, 1},
        {"volume section over 4,096 bytes", [](auto& b) { putBe32(b, fcVolumeLengthAt, 100000); },
         1},
        {"samples past the end", [](auto& b) { putBe32(b, fcSampleOffsetAt, 0x80000000); }, 1},
        {"sample longer than the file", [](auto& b) { putBe16(b, fcSampleTableAt, 0xFFFF); }, 1},
        {"loop past the sample",
         [](auto& b) {
             putBe16(b, fcSampleTableAt + 2, 0xFFF0);
             putBe16(b, fcSampleTableAt + 4, 0x7000);
         },
         1},
        {"file cut inside the patterns", [](auto& b) { b.resize(120); }, 1},
    };
    for (const Case& c : cases) {
        FcFile f = minimalSong(false);
        f.addStep({7, 0, 0, 200, 0, 0, 0, 0, 0, 9, 0, 0}); // patterns past the data
        FcFile::setSequence(f.volumeSequences, 0, {1, 200, 0, 0, 0, 0x40, 0xE0, 0xFF});
        std::vector<uint8_t> bytes = f.bytes();
        c.patch(bytes);
        FutureComposerPlayer p;
        EXPECT_EQ(p.loadSong(writeTempFile(bytes, "bad.fc").c_str()), c.loads) << c.what;
        if (c.loads) {
            p.startSong();
            for (int i = 0; i < 300; ++i) audioEngine.runTick();
            EXPECT_GT(p.seekToMs(5000), 0) << c.what;
        }
        p.stopSong();
        p.releaseSong();
        EXPECT_EQ(mixer.voicesInUse(), 0u) << c.what;
    }
}
