// Hunk executables placed and relocated in chip RAM, hostile ones refused,
// and tag lists walked, on machines that were never booted.
#include "hunk_writer.h"
#include "pelmit/amiga/amiga_machine.h"
#include "common/byte_order.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <memory>

using namespace pelmit;
using namespace pelmit::test;

namespace {

uint32_t load(AmigaMachine& m, const std::vector<uint8_t>& bytes) {
    jk::test::ByteStream f(bytes);
    return m.loadHunkProgram(f);
}

// Hunk 0: 8 bytes of code whose second long points into hunk 1 (4 bytes of data).
HunkWriter twoHunks() {
    HunkWriter w;
    w.header({2, 1})
        .block(hunkCodeBlock, {0x4E714E75, 0x00000004})
        .relocations({{1, {4}}})
        .put({hunkEndBlock})
        .block(hunkDataBlock, {0x12345678})
        .put({hunkEndBlock});
    return w;
}

TEST(HunkLoader, PlacesHunksBehindLinksAndRelocates) {
    AmigaMachine m;
    EXPECT_EQ(load(m, twoHunks().bytes()), 0x2004u);
    EXPECT_EQ(m.peekLong(0x2000), 0x200Cu); // link to hunk 1
    EXPECT_EQ(m.peekLong(0x2004), 0x4E714E75u);
    EXPECT_EQ(m.peekLong(0x2008), 0x2014u); // 4 + hunk 1 at 0x2010
    EXPECT_EQ(m.peekLong(0x200C), 0u);      // the last link
    EXPECT_EQ(m.peekLong(0x2010), 0x12345678u);
}

TEST(HunkLoader, BlockTypesKeepTheLow24BitsAndBit25SkipsALong) {
    AmigaMachine m;
    HunkWriter w;
    w.header({0xC0000001, 0x40000002}) // memory flags drop out of the sizes
        .put({0x400003E9, 1, 0x11111111})
        .put({0x020003EA, 0xDEADBEEF, 1, 0x22222222})
        .put({hunkNameBlock, 2, 0, 0, 0x000003F1, 1, 0}); // name and debug skipped
    EXPECT_EQ(load(m, w.bytes()), 0x2004u);
    EXPECT_EQ(m.peekLong(0x2000), 0x2008u); // hunk 0 holds 4 bytes
    EXPECT_EQ(m.peekLong(0x2004), 0x11111111u);
    EXPECT_EQ(m.peekLong(0x2008), 0u);
    EXPECT_EQ(m.peekLong(0x200C), 0x22222222u);
}

TEST(HunkLoader, BreakStopsAndTheRestIsNotRead) {
    AmigaMachine m;
    HunkWriter w;
    w.header({1, 1})
        .block(hunkCodeBlock, {0x11111111})
        .put({hunkBreakBlock})
        .block(hunkCodeBlock, {0x22222222})
        .put({1005});
    EXPECT_EQ(load(m, w.bytes()), 0x2004u);
    EXPECT_EQ(m.peekLong(0x200C), 0u);
}

TEST(HunkLoader, UninitialisedHunksStayZero) {
    AmigaMachine m;
    HunkWriter w;
    w.header({1, 4})
        .block(hunkCodeBlock, {0x11111111})
        .put({hunkBssBlock, 4})
        .relocations({{1, {0}}});
    EXPECT_EQ(load(m, w.bytes()), 0x2004u);
    // The relocation applies to the uninitialised hunk, pointing it at itself.
    EXPECT_EQ(m.peekLong(0x200C), 0x200Cu);
    for (uint32_t a = 0x2010; a < 0x201C; a += 4) EXPECT_EQ(m.peekLong(a), 0u) << a;
}

TEST(HunkLoader, RefusesWhatDoesNotFitTheFileOrTheMemory) {
    const auto file = [](auto build) {
        HunkWriter w;
        build(w);
        return w.bytes();
    };
    const std::vector<uint8_t> twoHunkBytes = twoHunks().bytes();
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"no magic", file([](HunkWriter& w) {
             w.put({1010, 0, 1, 0, 0, 1});
         })},
        {"empty file", {}},
        {"1005 after code", file([](HunkWriter& w) {
             w.header({1}).block(hunkCodeBlock, {1}).put({1005, 0});
         })},
        {"type below 1000", file([](HunkWriter& w) { w.header({1}).put({999}); })},
        {"type above 1014", file([](HunkWriter& w) { w.header({1}).put({1015}); })},
        {"symbols", file([](HunkWriter& w) {
             w.header({1}).put({1008, 0});
         })},
        {"no hunks", file([](HunkWriter& w) { w.header({}); })},
        {"relocation to hunk 7 of 2", file([](HunkWriter& w) {
             w.header({2, 1}).block(hunkCodeBlock, {0, 0}).relocations({{7, {0}}});
         })},
        {"relocation past its hunk", file([](HunkWriter& w) {
             w.header({2, 1}).block(hunkCodeBlock, {0, 0}).relocations({{1, {6}}});
         })},
        {"relocation before any hunk", file([](HunkWriter& w) {
             w.header({1}).relocations({{0, {0}}});
         })},
        {"more code blocks than hunks", file([](HunkWriter& w) {
             w.header({1}).block(hunkCodeBlock, {1}).block(hunkCodeBlock, {2});
         })},
        {"code longer than its hunk", file([](HunkWriter& w) {
             w.header({1}).block(hunkCodeBlock, {1, 2});
         })},
        {"hunks past the tune limit",
         file([](HunkWriter& w) { w.header({(tuneLimit - tuneAddress) / 4}); })},
        {"huge hunk size", file([](HunkWriter& w) {
             w.header({1, 0x3FFFFFFF});
         })},
        {"huge hunk count", file([](HunkWriter& w) {
             w.put({hunkHeader, 0, 0x40000000, 0, 0});
         })},
        {"huge code count at the end", file([](HunkWriter& w) {
             w.header({1}).put({hunkCodeBlock, 0xFFFFFFFF});
         })},
        {"huge name count at the end", file([](HunkWriter& w) {
             w.header({1}).put({hunkNameBlock, 0xFFFFFFFF});
         })},
        {"huge relocation count", file([](HunkWriter& w) {
             w.header({1}).block(hunkCodeBlock, {0}).put({hunkReloc32Block, 0xFFFFFFFF, 0});
         })},
        {"name list past the end", file([](HunkWriter& w) {
             w.put({hunkHeader, 0x10000000});
         })},
        {"cut in the sizes", std::vector<uint8_t>(twoHunkBytes.begin(), twoHunkBytes.begin() + 22)},
        {"cut in the code", std::vector<uint8_t>(twoHunkBytes.begin(), twoHunkBytes.begin() + 36)},
        {"cut in a long", std::vector<uint8_t>(twoHunkBytes.begin(), twoHunkBytes.end() - 2)},
        {"cut in the relocations",
         std::vector<uint8_t>(twoHunkBytes.begin(), twoHunkBytes.begin() + 48)},
    };
    for (const auto& c : cases) {
        AmigaMachine m;
        EXPECT_EQ(load(m, c.bytes), 0u) << c.what;
        // Nothing was written at or above the limit, below the tune or at the stub.
        for (uint32_t a = tuneLimit; a < chipRamBytes; a += 4)
            ASSERT_EQ(m.peekLong(a), 0u) << c.what;
        for (uint32_t a = 0; a < tuneAddress; a += 4) ASSERT_EQ(m.peekLong(a), 0u) << c.what;
    }
}

TEST(HunkLoader, NameListSkipCountsItsBytes) {
    HunkWriter w;
    w.put({2, 0xAAAA, 0xBBBB, 1, 0xCCCC, 0, 0x12345678});
    jk::test::ByteStream whole(w.bytes());
    EXPECT_EQ(AmigaMachine::skipHunkNameList(whole), 24u);
    EXPECT_EQ(jk::readBe32(whole), 0x12345678u);

    jk::test::ByteStream cut(w.cut(16));
    EXPECT_EQ(AmigaMachine::skipHunkNameList(cut), 0xFFFFFFFFu);
}

TEST(FindTag, WalksEndsSkipsAndFollowsLinks) {
    AmigaMachine m;
    const auto list = [&m](uint32_t at, std::initializer_list<uint32_t> longs) {
        for (uint32_t l : longs) {
            m.pokeLong(at, l);
            at += 4;
        }
    };
    list(0x3000, {7, 0x100, 0, 0});
    list(0x3100, {3, 1, 7, 5, 7, 6, 1, 1, 0, 0});
    list(0x3200, {2, 0x3300});
    list(0x3300, {7, 9, 0, 0});
    list(0x3400, {8, 1, 2, 0x3400}); // leads back to itself
    list(0x3500, {1, 0x11, 2, 0x3600});
    list(0x3600, {3, 0x22, 0, 0});
    const struct {
        uint32_t address, tag;
        uint32_t found, value;
    } cases[] = {
        {0x3000, 7, 1, 0x100},  {0x3000, 8, 0, 0xCAFE}, {0x3100, 7, 1, 6},
        {0x3200, 7, 1, 9},      {0x3400, 8, 1, 1},      {0x3400, 7, 0, 0xCAFE},
        {0x3500, 1, 0, 0xCAFE}, {0x3500, 2, 0, 0xCAFE}, {0x3500, 3, 0, 0xCAFE},
    };
    for (const auto& c : cases) {
        uint32_t out = 0xCAFE;
        EXPECT_EQ(m.findTag(c.address, out, c.tag), c.found)
            << std::hex << c.address << " " << c.tag;
        EXPECT_EQ(out, c.value) << std::hex << c.address << " " << c.tag;
    }
}

} // namespace
