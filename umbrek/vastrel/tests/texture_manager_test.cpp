// The texture manager against the headless board: conversion by mode, shared
// palettes, placement in a small texture memory, eviction, and loading from
// image and 3DF files, hostile numbers and files included.
#include "tests/test_files.h"
#include "umbrek/glide/glide.h"
#include "umbrek/glide/glide_test.h"
#include "umbrek/glide/tests/three_df_writer.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/platform.h"
#include "umbrek/vastrel/tests/image_writers.h"
#include "umbrek/vastrel/tests/open_device.h"
#include "umbrek/vastrel/texture_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace umbrek::vastrel {
namespace {

namespace board = umbrek::glide;

class TextureManagerTest : public ::testing::Test {
protected:
    void SetUp() override { board::resetOptions(); }

    void open(std::uint32_t textureMemory = 4u << 20) {
        board::options().textureMemory = textureMemory;
        test::openTestDevice();
        ASSERT_EQ(KX_AllocTextures(textureTableSize), 0);
        std::memset(engine().palette, 0, sizeof engine().palette);
        engine().frameCounter = 0;
        board::counters() = board::Counters{};
    }

    void TearDown() override { test::closeTestDevice(); }

    static KX_Bitmap* bitmap(int width, int height, std::uint8_t fill = 1) {
        KX_Bitmap* b = KX_NewBitmap(width, height);
        std::memset(KX_BitmapPixels(b), fill, std::size_t(width) * std::size_t(height));
        return b;
    }

    static TextureRecord& at(int number) { return textureManager().records[std::size_t(number)]; }

    // A palettised texture of 256x256 (65536 bytes), 128x128 (16384) or
    // smaller.
    static int square(const char* name, int side) {
        engine().textureFormat = 11;
        return KX_CreateTexture(name, bitmap(side, side));
    }

    static int usedRecords() {
        const auto& records = textureManager().records;
        return int(std::count_if(records.begin(), records.end(),
                                 [](const TextureRecord& r) { return r.used; }));
    }
};

TEST_F(TextureManagerTest, PalettisedSizesAspectsAndScales) {
    open();
    engine().textureFormat = 11;
    struct Case {
        int width, height, texWidth, texHeight, aspect, lod;
        float sScale, tScale;
    };
    for (const Case c :
         {Case{100, 30, 128, 32, 1, 1, 1.0f, 0.25f}, Case{30, 100, 32, 128, 5, 1, 0.25f, 1.0f},
          Case{600, 300, 256, 256, 3, 0, 1, 1}, Case{5, 1, 8, 1, 0, 5, 1, 0.125f},
          Case{1, 2, 2, 2, 3, 7, 1, 1}}) {
        const int n = KX_CreateTexture("t", bitmap(c.width, c.height));
        ASSERT_GE(n, 0);
        const TextureRecord& r = at(n);
        EXPECT_EQ(r.width, c.texWidth) << c.width << "x" << c.height;
        EXPECT_EQ(r.height, c.texHeight) << c.width << "x" << c.height;
        EXPECT_EQ(r.info.aspectRatio, c.aspect) << c.width << "x" << c.height;
        EXPECT_EQ(r.info.largeLod, c.lod);
        EXPECT_EQ(r.info.smallLod, c.lod);
        EXPECT_EQ(r.sScale, c.sScale);
        EXPECT_EQ(r.tScale, c.tScale);
        EXPECT_EQ(r.texBytes, std::uint32_t(c.texWidth * c.texHeight));
        EXPECT_EQ(r.resident, 1);
    }
    // 16 to 1 has no board aspect: a record without texels, never placed.
    const int wide = KX_CreateTexture("wide", bitmap(64, 2));
    ASSERT_GE(wide, 0);
    EXPECT_EQ(at(wide).info.data, nullptr);
    EXPECT_EQ(KX_PlaceTexture(wide, 1), 0);
    board::options().trace = true;
    KX_SelectTexture(wide);
    for (const std::string& line : board::takeTrace()) EXPECT_EQ(line.find("grTex"), line.npos);
}

TEST_F(TextureManagerTest, IdenticalPalettesShareOneTableDownloadedOnce) {
    open();
    engine().palette[3] = 63;
    const int a = square("a", 8), b = square("b", 8);
    engine().palette[4] = 63;
    const int c = square("c", 8);
    EXPECT_EQ(at(a).colourTable, at(b).colourTable);
    EXPECT_NE(at(a).colourTable, at(c).colourTable);
    EXPECT_EQ(at(a).colourTable->table.palette.data[1], 0x00FC0000u);
    for (int i = 0; i < 4; ++i) KX_SelectTexture(i % 2 ? a : b);
    EXPECT_EQ(board::counters().tableDownloads, 1u);
    KX_SelectTexture(c);
    KX_SelectTexture(a);
    EXPECT_EQ(board::counters().tableDownloads, 3u);
    // A restart forgets the table downloaded last.
    KX_ShutdownGlide();
    grGlideInit();
    ASSERT_EQ(KX_OpenVideoMode(320, 200, 60), 1);
    board::counters() = board::Counters{};
    KX_SelectTexture(a);
    EXPECT_EQ(board::counters().tableDownloads, 1u);
}

TEST_F(TextureManagerTest, BleedingGivesColourZeroItsNeighboursColourOnly) {
    open();
    engine().palette[3] = 63; // index 1 red, index 0 black
    for (const int mode : {1, 0}) {
        engine().textureFormat = mode;
        KX_Bitmap* b = bitmap(4, 4, 0);
        KX_BitmapPixels(b)[1 * 4 + 1] = 1;
        const int n = KX_CreateTexture("bleed", b);
        ASSERT_GE(n, 0);
        // The texels as the board holds them after the download at creation.
        const TextureRecord& r = at(n);
        ASSERT_EQ(r.resident, 1);
        const board::TextureBytes memory = board::textureMemory();
        ASSERT_GE(memory.size, r.texAddress + 32);
        std::uint16_t texel[16];
        for (int i = 0; i < 16; ++i)
            texel[i] = std::uint16_t(memory.bytes[r.texAddress + 2 * i] |
                                     memory.bytes[r.texAddress + 2 * i + 1] << 8);
        if (mode == 1) {
            EXPECT_EQ(r.info.format, GR_TEXFMT_ARGB_1555);
            EXPECT_EQ(texel[0], 0x7C00); // red, alpha 0
            EXPECT_EQ(texel[5], 0xFC00); // the red pixel, opaque
            EXPECT_EQ(texel[2 * 4 + 2], 0x7C00);
            EXPECT_EQ(texel[3 * 4 + 3], 0); // not a neighbour
        } else {
            EXPECT_EQ(r.info.format, GR_TEXFMT_RGB_565);
            EXPECT_EQ(texel[0], 0);
            EXPECT_EQ(texel[5], 0xF800);
        }
        KX_FreeTextures();
        KX_AllocTextures(textureTableSize);
    }
}

TEST_F(TextureManagerTest, YiqTexturesDownloadTheirNccTable) {
    open();
    engine().palette[3] = 63;
    engine().textureFormat = 5;
    const int n = KX_CreateTexture("yiq", bitmap(16, 16));
    ASSERT_GE(n, 0);
    ASSERT_NE(at(n).colourTable, nullptr);
    EXPECT_EQ(at(n).colourTable->type, GR_TEXTABLE_NCC0);
    KX_SelectTexture(n);
    KX_SelectTexture(n);
    EXPECT_EQ(board::counters().tableDownloads, 1u);
}

TEST_F(TextureManagerTest, FirstFitAfterTheHighestThenInTableOrder) {
    open(150000);
    const int a = square("a", 256), b = square("b", 256), c = square("c", 128);
    EXPECT_EQ(at(a).texAddress, 0u);
    EXPECT_EQ(at(b).texAddress, 65536u);
    EXPECT_EQ(at(c).texAddress, 131072u);
    KX_EvictTexture(b);
    // After c there is no room; the gap after a holds it.
    const int d = square("d", 128);
    EXPECT_EQ(at(d).resident, 1);
    EXPECT_EQ(at(d).texAddress, 65536u);
    const int e = square("e", 128);
    EXPECT_EQ(at(e).texAddress, 65536u + 16384u);
    // Bigger than the gap left and no eviction at creation: not resident.
    const int f = square("f", 256);
    EXPECT_EQ(at(f).resident, 0);
}

TEST_F(TextureManagerTest, SelectingEvictsTheLeastRecentlyUsed) {
    open(163840);
    const int a = square("a", 256), b = square("b", 256), c = square("c", 256);
    EXPECT_EQ(at(c).resident, 0);
    engine().frameCounter = 5;
    KX_SelectTexture(a);
    engine().frameCounter = 3;
    KX_SelectTexture(b);
    engine().frameCounter = 6;
    KX_SelectTexture(c);
    EXPECT_EQ(at(b).resident, 0);
    EXPECT_EQ(at(a).resident, 1);
    EXPECT_EQ(at(c).resident, 1);
    EXPECT_EQ(at(c).texAddress, 65536u);
    EXPECT_EQ(at(c).lastUsed, 6);
    // The frame counter wrapped: every last use starts again from 0.
    textureManager().resetLastUsed();
    EXPECT_EQ(at(a).lastUsed, 0);
    EXPECT_EQ(at(c).lastUsed, 0);
}

TEST_F(TextureManagerTest, NoTextureEndsOnATwoMegabyteBoundary) {
    open(4u << 20);
    for (int i = 0; i < 31; ++i) ASSERT_EQ(at(square("fill", 256)).resident, 1);
    // It would end exactly at 2 MB.
    const int n = square("edge", 256);
    EXPECT_EQ(at(n).resident, 0);
    EXPECT_EQ(KX_PlaceTexture(n, 0), 0);
    KX_SelectTexture(n); // evicts the first, used longest ago
    EXPECT_EQ(at(n).resident, 1);
    EXPECT_EQ(at(n).texAddress, 0u);
    EXPECT_EQ(at(0).resident, 0);
}

TEST_F(TextureManagerTest, HostileNumbersSizesAndAFullTable) {
    open(32768);
    const int big = square("big", 256); // larger than texture memory
    EXPECT_EQ(at(big).resident, 0);
    board::options().trace = true;
    KX_SelectTexture(big);
    EXPECT_EQ(at(big).resident, 0);
    board::takeTrace();
    for (const int number : {-1, -4, -5, -7, 132, 1000}) {
        KX_SelectTexture(number);
        KX_EvictTexture(number);
        EXPECT_EQ(KX_PlaceTexture(number, 1), 0);
    }
    EXPECT_TRUE(board::takeTrace().empty());
    EXPECT_EQ(textureManager().info(-1).name, nullptr);
    // A bitmap of width 0 gives a record without texels.
    const int empty = KX_CreateTexture("empty", KX_NewBitmap(0, 4));
    ASSERT_GE(empty, 0);
    EXPECT_EQ(at(empty).info.data, nullptr);
    // Never downloaded, and selecting it keeps the current source.
    board::takeTrace();
    EXPECT_EQ(KX_PlaceTexture(empty, 1), 0);
    KX_SelectTexture(empty);
    EXPECT_TRUE(board::takeTrace().empty());
    EXPECT_EQ(KX_CreateTexture("none", nullptr), empty + 1);
    KX_AllocTextures(2);
    EXPECT_EQ(square("x", 8), 0);
    EXPECT_EQ(square("y", 8), 1);
    EXPECT_EQ(square("z", 8), resultTextureTableFull);
    EXPECT_EQ(KX_Load3DF("any.3df"), resultTextureTableFull);
    // Freeing undoes the allocation: the records' memory goes and nothing
    // binds through the table any more.
    KX_FreeTextures();
    EXPECT_EQ(textureManager().records.capacity(), 0u);
    EXPECT_EQ(engine().textures, nullptr);
    EXPECT_EQ(glideDevice().bindTexture, nullptr);
}

TEST_F(TextureManagerTest, LoadingFilesAndFailedLoads) {
    open();
    umbrek::test::IndexedImage image =
        umbrek::test::makeImage(16, 8, [](int x, int) { return uint8_t(x); });
    const std::string pcx = jk::test::tempPath("wall.pcx");
    jk::test::writeFile(pcx, umbrek::test::writePcx(image));
    const int n = KX_LoadTexture(pcx.c_str());
    ASSERT_GE(n, 0);
    EXPECT_EQ(at(n).width, 16);
    EXPECT_EQ(KX_LoadTexture(pcx.c_str()), n);
    EXPECT_EQ(KX_FindTexture(pcx.c_str()), n);
    EXPECT_EQ(engine().palette[3 * 5], 5 >> 2); // the image's palette, 6-bit

    const int before = usedRecords();
    EXPECT_EQ(KX_LoadTexture(jk::test::tempPath("missing.pcx").c_str()), resultTextureLoadError);
    EXPECT_EQ(KX_LoadTexture(jk::test::tempPath("missing.3df").c_str()), resultTextureLoadError);
    const std::string corrupt = jk::test::tempPath("corrupt.3df");
    jk::test::writeFile(corrupt, std::string("3df v1.0\nnonsense\n"));
    EXPECT_EQ(KX_LoadTexture(corrupt.c_str()), resultTextureLoadError);

    board::test::ThreeDf file;
    file.format = GR_TEXFMT_P_8;
    file.largeLod = GR_LOD_256 + 4;  // 16 texels
    file.aspect = GR_ASPECT_1x1 - 1; // 2 to 1
    board::test::fillPattern(file, 7);
    // A whole header but texels cut short: the information reads, the
    // texels do not.
    std::vector<std::uint8_t> cut = board::test::write3df(file);
    cut.resize(cut.size() - 40);
    const std::string shortFile = jk::test::tempPath("short.3df");
    jk::test::writeFile(shortFile, cut);
    Gu3dfInfo header{};
    ASSERT_TRUE(gu3dfGetInfo(shortFile.c_str(), &header));
    EXPECT_EQ(KX_LoadTexture(shortFile.c_str()), resultTextureLoadError);
    EXPECT_EQ(usedRecords(), before);
    const std::string threeDf = jk::test::tempPath("sky.3df");
    jk::test::writeFile(threeDf, board::test::write3df(file));
    const int sky = KX_LoadTexture(threeDf.c_str());
    ASSERT_GE(sky, 0);
    const TextureRecord& r = at(sky);
    EXPECT_EQ(r.from3df, 1);
    EXPECT_EQ(r.width, 16);
    EXPECT_EQ(r.height, 8);
    EXPECT_EQ(r.sScale, 1.0f);
    EXPECT_EQ(r.tScale, 0.5f);
    EXPECT_EQ(r.texBytes, board::test::texelBytes(file));
    EXPECT_EQ(r.resident, 1);
    ASSERT_NE(r.colourTable, nullptr);
    board::counters() = board::Counters{};
    KX_SelectTexture(sky);
    EXPECT_EQ(board::counters().tableDownloads, 1u);
}

} // namespace
} // namespace umbrek::vastrel
