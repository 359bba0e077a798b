// Building textures: resampling worked out by hand, the mipmap averages, a
// table of colours per converter, NCC on a two-colour image, and the
// conversions that fail with their message.
#include "umbrek/texora/tests/texora_messages.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

TxMip level(int width, int height, std::vector<uint32_t>& texels) {
    TxMip mip{};
    mip.format = TX_ARGB_8888;
    mip.width = width;
    mip.height = height;
    mip.depth = 1;
    mip.data[0] = texels.data();
    return mip;
}

// A texture of FORMAT built from an argb8888 image of the given size.
struct Built {
    Built(int format, int width, int height, const std::vector<uint32_t>& image, int levels = -1) {
        int w = width, h = height;
        const uint32_t size = txSetUpMip(&mip, format, &w, &h, levels, TX_ROUND_UP);
        data.resize(size);
        mip.info.data = data.data();
        ok = size > 0 &&
             txBuildTexture(&mip, TX_ARGB_8888, width, height, image.data(), 0, nullptr) == 1;
    }
    uint32_t texel(int level, int index) const {
        const int bytes = txTexelBytes(mip.format);
        const auto* p = static_cast<const uint8_t*>(mip.data[level]) + index * bytes;
        uint32_t v = 0;
        for (int b = 0; b < bytes; ++b) v |= uint32_t(p[b]) << (8 * b);
        return v;
    }
    TxMip mip{};
    std::vector<uint8_t> data;
    bool ok = false;
};

TEST(TextureBuildTest, ResamplingWeighsAreasExactly) {
    std::vector<uint32_t> three = {0, 90, 180}, two(2), up(3);
    TxMip source = level(3, 1, three), dest = level(2, 1, two);
    ASSERT_EQ(txImageResize(&dest, &source), 1);
    EXPECT_EQ(two, (std::vector<uint32_t>{30, 150})); // 2/3 and 1/3 of a texel each
    std::vector<uint32_t> pair = {0x00FF0060, 0xFF000000};
    TxMip from = level(2, 1, pair), to = level(3, 1, up);
    ASSERT_EQ(txImageResize(&to, &from), 1);
    // Each destination texel covers 2 units of the source's 3: 0x60 x 2/2, then
    // (0x60 + 0) / 2, then 0; alpha 0, 0xFF / 2, 0xFF.
    EXPECT_EQ(up, (std::vector<uint32_t>{0x00FF0060, 0x7F7F0030, 0xFF000000}));
    // Columns after rows.
    std::vector<uint32_t> square = {0, 40, 80, 120}, one(1);
    TxMip s = level(2, 2, square), d = level(1, 1, one);
    ASSERT_EQ(txImageResize(&d, &s), 1);
    EXPECT_EQ(one[0], 60u);
}

TEST(TextureBuildTest, MipmapsAverageWithRounding) {
    // 2 x 2 -> 1 x 1: (1 + 2 + 2 + 2 + 2) / 4 rounds 7/4 up to 2; 0x0A.. 0x0B: (41 + 2) / 4 = 10.
    const Built square(TX_ARGB_8888, 2, 2, {0x0A000001, 0x0A000002, 0x0A000002, 0x0B000002});
    ASSERT_TRUE(square.ok);
    EXPECT_EQ(square.texel(1, 0), 0x0A000002u);
    // 4 x 1 -> 2 x 1 -> 1 x 1 by pairs: (1 + 2 + 1) / 2 = 2, (5 + 8 + 1) / 2 = 7,
    // (2 + 7 + 1) / 2 = 5. (A 4 x 1 texture has one level on the board; the
    // chain is built here by hand.)
    std::vector<uint32_t> texels = {1, 2, 5, 8, 0, 0, 0};
    TxMip row = level(4, 1, texels);
    row.depth = 3;
    row.data[1] = texels.data() + 4;
    row.data[2] = texels.data() + 6;
    txMipMipmap(&row);
    EXPECT_EQ(texels, (std::vector<uint32_t>{1, 2, 5, 8, 2, 7, 5}));
    // And down a column.
    std::vector<uint32_t> column = {0x100, 0x300, 0};
    TxMip tall = level(1, 2, column);
    tall.depth = 2;
    tall.data[1] = column.data() + 2;
    txMipMipmap(&tall);
    EXPECT_EQ(column[2], 0x200u);
}

TEST(TextureBuildTest, EveryConverterOnATableOfColours) {
    const uint32_t colours[] = {0xFFFFFFFF, 0x00FFFFFF, 0xFFFF0000, 0x8000FF00,
                                0x400000FF, 0x00000000, 0xFF808080, 0x12345678};
    const struct {
        int format;
        uint32_t expected[8];
    } cases[] = {
        {TX_RGB_332, {0xFF, 0xFF, 0xE0, 0x1C, 0x03, 0x00, 0x92, 0x29}},
        {TX_ALPHA_8, {0xFF, 0x00, 0xFF, 0x80, 0x40, 0x00, 0xFF, 0x12}},
        {TX_INTENSITY_8, {255, 255, 77, 150, 28, 0, 128, 80}},
        {TX_ALPHA_INTENSITY_44, {0xFF, 0x0F, 0xF4, 0x89, 0x41, 0x00, 0xF8, 0x15}},
        {TX_ARGB_8332, {0xFFFF, 0x00FF, 0xFFE0, 0x801C, 0x4003, 0x0000, 0xFF92, 0x1229}},
        {TX_RGB_565, {0xFFFF, 0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0000, 0x8410, 0x32AF}},
        {TX_ARGB_1555, {0xFFFF, 0x7FFF, 0xFC00, 0x83E0, 0x801F, 0x0000, 0xC210, 0x994F}},
        {TX_ARGB_4444, {0xFFFF, 0x0FFF, 0xFF00, 0x80F0, 0x400F, 0x0000, 0xF888, 0x1357}},
        {TX_ALPHA_INTENSITY_88, {0xFFFF, 0x00FF, 0xFF4D, 0x8096, 0x401C, 0x0000, 0xFF80, 0x1250}},
        {TX_ARGB_8888,
         {0xFFFFFFFF, 0x00FFFFFF, 0xFFFF0000, 0x8000FF00, 0x400000FF, 0, 0xFF808080, 0x12345678}},
    };
    for (const auto& c : cases) {
        // An 8 x 1 image: no resampling, so level 0 holds the colours as they are.
        const Built b(c.format, 8, 1,
                      std::vector<uint32_t>(std::begin(colours), std::end(colours)));
        ASSERT_TRUE(b.ok) << txFormatName(c.format);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(b.texel(0, i), c.expected[i]) << txFormatName(c.format) << " " << i;
    }
}

TEST(TextureBuildTest, NccOfATwoColourImage) {
    // Half black, half white: Y spans 0..255, I and Q sit at 128 for both.
    std::vector<uint32_t> image(64, 0xFF000000);
    for (size_t i = 32; i < 64; ++i) image[i] = 0x80FFFFFF;
    const Built yiq(TX_AYIQ_8422, 8, 8, image);
    ASSERT_TRUE(yiq.ok);
    const TxNccTable& t = yiq.mip.ncc;
    EXPECT_EQ(t.y[0], 0);
    EXPECT_EQ(t.y[15], 255);
    EXPECT_EQ(t.y[1], 17);
    // I at 128: g = (128 / 255 x 1.2 - 0.6) x 255 = 0.6, so 1, -0, -1 (rounded).
    EXPECT_EQ(t.i[0][0], 1);
    EXPECT_EQ(t.i[3][2], -1);
    // Q at 128: h = (128 / 255 x 1.04 - 0.52) x 255 = 0.52: 0, 0, 1.
    EXPECT_EQ(t.q[2][2], 1);
    EXPECT_EQ(yiq.texel(0, 0), 0xFF00u);  // Y index 0, I and Q 0
    EXPECT_EQ(yiq.texel(0, 63), 0x80F0u); // Y index 15
    // Level 3 is one texel, the average of both halves: Y 128 -> index 8.
    EXPECT_EQ(yiq.texel(3, 0) & 0xF0, 0x80u);
}

TEST(TextureBuildTest, FailuresReturnZeroWithTheirMessage) {
    std::vector<uint32_t> image(16, 0xFFFFFFFF);
    std::vector<uint8_t> data(4096);
    const struct {
        const char* what;
        int format, sourceFormat, width, height;
        bool source;
        uint32_t flags;
        const char* message;
    } cases[] = {
        {"format 6", 6, TX_ARGB_8888, 4, 4, true, 0, "Bad data format in Quantize\n"},
        {"format 7", 7, TX_ARGB_8888, 4, 4, true, 0, "Bad data format in Quantize\n"},
        {"format 15", 15, TX_ARGB_8888, 4, 4, true, 0, "Bad data format in Quantize\n"},
        {"p8", TX_P_8, TX_ARGB_8888, 4, 4, true, 0, "Bad case in txQuantize()\n"},
        {"ap88", TX_AP_88, TX_ARGB_8888, 4, 4, true, 0, "Bad case in txQuantize()\n"},
        {"dithered", TX_RGB_565, TX_ARGB_8888, 4, 4, true, 1, "Bad case in txQuantize()\n"},
        {"1025 wide", TX_RGB_565, TX_ARGB_8888, 1025, 1, true, 0,
         "Bad width/height in txImageResize()\n"},
        {"0 high", TX_RGB_565, TX_ARGB_8888, 4, 0, true, 0,
         "Bad width/height in txImageResize()\n"},
        {"null source", TX_RGB_565, TX_ARGB_8888, 4, 4, false, 0, "txImageResize: Null buffer\n"},
        {"palette source, no table", TX_RGB_565, TX_P_8, 4, 4, true, 0,
         "txImageResize: Null buffer\n"},
        {"source format 7", TX_RGB_565, 7, 4, 4, true, 0, "Bad data format in Quantize\n"},
    };
    for (const auto& c : cases) {
        TexoraMessages messages;
        TxMip mip{};
        int w = 4, h = 4;
        ASSERT_GT(txSetUpMip(&mip, c.format, &w, &h, -1, TX_ROUND_UP), 0u) << c.what;
        mip.info.data = data.data();
        EXPECT_EQ(txBuildTexture(&mip, c.sourceFormat, c.width, c.height,
                                 c.source ? image.data() : nullptr, c.flags, nullptr),
                  0)
            << c.what;
        EXPECT_EQ(messages.texts, std::vector<std::string>{std::string("Texora: ") + c.message})
            << c.what;
    }
    // No buffer for the levels.
    TexoraMessages messages;
    TxMip mip{};
    int w = 4, h = 4;
    txSetUpMip(&mip, TX_RGB_565, &w, &h, -1, TX_ROUND_UP);
    EXPECT_EQ(txBuildTexture(&mip, TX_ARGB_8888, 4, 4, image.data(), 0, nullptr), 0);
    EXPECT_EQ(messages.texts,
              std::vector<std::string>{"Texora: txImageResize: no miplevel present\n"});
}

TEST(TextureBuildTest, SourcesOfOtherFormatsAreExpandedFirst) {
    // rgb565 white and pure blue, and an i8 grey: back to argb8888 exactly.
    const uint16_t rgb[2] = {0xFFFF, 0x001F};
    const uint8_t grey[2] = {0x80, 0x40};
    std::vector<uint8_t> data(64);
    for (const auto& [format, source, expected] :
         {std::tuple{TX_RGB_565, static_cast<const void*>(rgb),
                     std::pair{0xFFFFFFFFu, 0xFF0000FFu}},
          std::tuple{TX_INTENSITY_8, static_cast<const void*>(grey),
                     std::pair{0xFF808080u, 0xFF404040u}}}) {
        TxMip mip{};
        int w = 2, h = 1;
        txSetUpMip(&mip, TX_ARGB_8888, &w, &h, 1, TX_ROUND_UP);
        mip.info.data = data.data();
        ASSERT_EQ(txBuildTexture(&mip, format, 2, 1, source, 0, nullptr), 1);
        const auto* texels = static_cast<const uint32_t*>(mip.data[0]);
        EXPECT_EQ(texels[0], expected.first);
        EXPECT_EQ(texels[1], expected.second);
    }
}

} // namespace
