// Texture sizing: the table of sizes, levels, aspects and byte counts, and
// the sizes and formats that are refused.
#include "umbrek/texora/tests/texora_messages.h"

#include <gtest/gtest.h>

namespace {

TEST(MipSetupTest, SizesLevelsAndBytes) {
    const struct {
        int width, height, format, levels;
        int resultWidth, resultHeight, aspect, largeLod, smallLod;
        uint32_t bytes;
    } cases[] = {
        {300, 10, TX_RGB_565, -1, 128, 16, 0, 1, 5, 5456},
        {256, 256, TX_RGB_565, -1, 256, 256, 3, 0, 8, 174762},
        {320, 200, TX_ARGB_1555, -1, 256, 256, 3, 0, 8, 174762},
        {100, 30, TX_RGB_565, -1, 128, 32, 1, 1, 6, 10920},
        {16, 2, TX_RGB_565, -1, 16, 2, 0, 4, 5, 80},
        {64, 8, TX_RGB_565, -1, 64, 8, 0, 2, 5, 1360},
        {3, 5, TX_RGB_565, -1, 4, 8, 4, 5, 7, 84},
        {1, 1, TX_RGB_565, -1, 1, 1, 3, 8, 8, 2},
        {64, 32, TX_YIQ_422, -1, 64, 32, 2, 2, 7, 2730},         // 8-bit texels
        {256, 256, TX_ARGB_8888, -1, 256, 256, 3, 0, 8, 349524}, // 4 bytes a texel
        {256, 256, TX_RGB_565, 3, 256, 256, 3, 0, 2, 2 * (65536 + 16384 + 4096)},
        {10, 80, TX_INTENSITY_8, -1, 16, 128, 6, 1, 5, 2728},
    };
    for (const auto& c : cases) {
        TxMip mip{};
        int w = c.width, h = c.height;
        EXPECT_EQ(txSetUpMip(&mip, c.format, &w, &h, c.levels, TX_ROUND_UP), c.bytes)
            << c.width << "x" << c.height;
        EXPECT_EQ(w, c.resultWidth);
        EXPECT_EQ(h, c.resultHeight);
        EXPECT_EQ(mip.info.aspectRatio, c.aspect) << c.width << "x" << c.height;
        EXPECT_EQ(mip.info.largeLod, c.largeLod);
        EXPECT_EQ(mip.info.smallLod, c.smallLod);
        EXPECT_EQ(mip.depth, c.smallLod - c.largeLod + 1);
    }
}

TEST(MipSetupTest, RoundingDownAndNone) {
    TxMip mip{};
    int w = 300, h = 10;
    EXPECT_EQ(txSetUpMip(&mip, TX_ALPHA_8, &w, &h, -1, TX_ROUND_DOWN), 680u);
    EXPECT_EQ(w, 64); // 256 x 8
    EXPECT_EQ(h, 8);
    TexoraMessages messages;
    w = 300;
    h = 10;
    EXPECT_EQ(txSetUpMip(&mip, TX_ALPHA_8, &w, &h, -1, 0), 0u); // 150 x 10 is no power of two
    EXPECT_EQ(messages.texts, std::vector<std::string>{"Texora: Bad arg to Log2\n"});
}

TEST(MipSetupTest, RefusedSizesAndFormats) {
    const struct {
        int width, height, format;
        const char* message;
    } cases[] = {
        {1025, 4, TX_RGB_565, "Texora: Bad width/height in txSetUpMip()\n"},
        {4, 1025, TX_RGB_565, "Texora: Bad width/height in txSetUpMip()\n"},
        {0, 4, TX_RGB_565, "Texora: Bad width/height in txSetUpMip()\n"},
        {4, -3, TX_RGB_565, "Texora: Bad width/height in txSetUpMip()\n"},
        {4, 4, 17, "Texora: Bad data format in txSetUpMip()\n"},
        {4, 4, -1, "Texora: Bad data format in txSetUpMip()\n"},
    };
    for (const auto& c : cases) {
        TexoraMessages messages;
        TxMip mip{};
        int w = c.width, h = c.height;
        EXPECT_EQ(txSetUpMip(&mip, c.format, &w, &h, -1, TX_ROUND_UP), 0u);
        EXPECT_EQ(messages.texts, std::vector<std::string>{c.message});
    }
}

} // namespace
