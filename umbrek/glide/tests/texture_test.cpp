// Texture decoding, filtering, wrap, perspective, LOD choice and the layout
// shared by downloads and sources.
#include "umbrek/glide/finish_simd.h"
#include "umbrek/glide/fragment.h"
#include "umbrek/glide/tests/screen_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace umbrek::glide;
using namespace umbrek::glide::test;

namespace {

using Textures = Screen;

constexpr uint16_t black = 0x0000, white = 0xFFFF, red = 0xF800, green = 0x07E0, blue = 0x001F;

struct DecodeCase {
    const char* name;
    int32_t format;
    uint16_t texel;
    uint32_t argb;
};

// One texel of each format; the expected colours worked out by hand: 5- and
// 6-bit fields by bit replication, 4-bit ones ×0x11, rgb332 blue ×0x55.
TEST_F(Textures, EveryFormatDecodesToTheExpectedColourAndAlpha) {
    GuTexPalette palette{};
    palette.data[3] = 0x00123456;
    palette.data[4] = 0xFF000000; // the top byte is not alpha
    GuNccTable ncc{};
    for (int i = 0; i < 16; ++i) ncc.yRGB[i] = FxU8(i * 16);
    const int16_t i2[3] = {10, -5, 3}, q1[3] = {-20, 7, 100};
    std::memcpy(ncc.iRGB[2], i2, sizeof i2);
    std::memcpy(ncc.qRGB[1], q1, sizeof q1);
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, &palette);
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_NCC0, &ncc);
    EXPECT_EQ(counters().tableDownloads, 2u);

    const DecodeCase cases[] = {
        {"rgb332", GR_TEXFMT_RGB_332, 0xB9, 0xFFB6DB55},
        // Y 9 → 144, I 2, Q 1: 144 + 10 - 20, 144 - 5 + 7, 144 + 3 + 100.
        {"yiq", GR_TEXFMT_YIQ_422, 0x99, 0xFF8692F7},
        {"yiq clamped", GR_TEXFMT_YIQ_422, 0xF9, 0xFFE6F2FF},
        {"a8", GR_TEXFMT_ALPHA_8, 0x7C, 0x7C7C7C7C},
        {"i8", GR_TEXFMT_INTENSITY_8, 0x7C, 0xFF7C7C7C},
        {"ai44", GR_TEXFMT_ALPHA_INTENSITY_44, 0xA5, 0xAA555555},
        {"p8", GR_TEXFMT_P_8, 3, 0xFF123456},
        {"p8 top byte", GR_TEXFMT_P_8, 4, 0xFF000000},
        {"argb8332", GR_TEXFMT_ARGB_8332, 0x40B9, 0x40B6DB55},
        {"ayiq8422", GR_TEXFMT_AYIQ_8422, 0x8099, 0x808692F7},
        {"rgb565", GR_TEXFMT_RGB_565, 0x1234, 0xFF1045A5},
        {"argb1555 opaque", GR_TEXFMT_ARGB_1555, 0x8421, 0xFF080808},
        {"argb1555 clear", GR_TEXFMT_ARGB_1555, 0x7FFF, 0x00FFFFFF},
        {"argb4444", GR_TEXFMT_ARGB_4444, 0x9C3E, 0x99CC33EE},
        {"ai88", GR_TEXFMT_ALPHA_INTENSITY_88, 0x3355, 0x33555555},
        {"ap88", GR_TEXFMT_AP_88, 0x6003, 0x60123456},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const uint8_t byte = uint8_t(c.texel);
        uint16_t word = c.texel;
        const bool sixteen = c.format >= GR_TEXFMT_ARGB_8332;
        useTexture({GR_LOD_1, GR_LOD_1, GR_ASPECT_1x1, c.format,
                    sixteen ? static_cast<void*>(&word) : const_cast<uint8_t*>(&byte)});
        const int r = int(c.argb >> 16 & 255), g = int(c.argb >> 8 & 255), b = int(c.argb & 255);
        const int a = int(c.argb >> 24);
        grChromakeyMode(GR_CHROMAKEY_DISABLE);
        grAlphaTestFunction(GR_CMP_ALWAYS);
        grBufferClear(0x01020300, 0, 0);
        rect(0, 0, 1, 1);
        EXPECT_EQ(pixel(0, 0), rgb565(r, g, b));
        // The chroma key discards exactly this colour, and the alpha test
        // passes exactly this alpha: both compare all eight bits.
        grBufferClear(0x01020300, 0, 0);
        grChromakeyValue(c.argb << 8);
        grChromakeyMode(GR_CHROMAKEY_ENABLE);
        rect(0, 0, 1, 1);
        EXPECT_EQ(pixel(0, 0), rgb565(1, 2, 3)) << "colour differs";
        grChromakeyMode(GR_CHROMAKEY_DISABLE);
        grAlphaTestFunction(GR_CMP_EQUAL);
        grAlphaTestReferenceValue(GrAlpha_t(a));
        rect(0, 0, 1, 1);
        EXPECT_EQ(pixel(0, 0), rgb565(r, g, b)) << "alpha differs";
    }
    // The palette is the unit's state: a new one recolours textures already in memory.
    uint8_t index = 3;
    useTexture({GR_LOD_1, GR_LOD_1, GR_ASPECT_1x1, GR_TEXFMT_P_8, &index});
    palette.data[3] = 0x00FF0000;
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, &palette);
    grAlphaTestFunction(GR_CMP_ALWAYS);
    rect(0, 0, 1, 1);
    EXPECT_EQ(pixel(0, 0), red);
}

// A 2x2 texture (black, white / red, blue) over a 4x4 square: s and t run
// 0..256, 64 per pixel, so centres sample at u = (px + 0.5) / 2.
TEST_F(Textures, PointAndBilinearFilteringWithWrap) {
    uint16_t texels[4] = {black, white, red, blue};
    useTexture({7, 7, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels});
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
    texRect(0, 0, 4, 4, 0, 0, 256, 256);
    const uint16_t point[4][4] = {{black, black, white, white},
                                  {black, black, white, white},
                                  {red, red, blue, blue},
                                  {red, red, blue, blue}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(pixel(x, y), point[y][x]) << x << "," << y;

    // Wrap: s from 256 to 512 and from -256 to 0 repeat the picture.
    texRect(4, 0, 8, 4, 256, 256, 512, 512);
    texRect(8, 0, 12, 4, -256, -256, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(pixel(x + 4, y), point[y][x]) << x << "," << y;
            EXPECT_EQ(pixel(x + 8, y), point[y][x]) << x << "," << y;
        }

    // Bilinear at pixel (1, 1): u = v = 0.25 from texel (0, 0): weights 192·192,
    // 64·192, 192·64 and 64·64 of 65536 for black, white, red and blue:
    // r (255·12288·2 + 32768) >> 16 = 96, g 48, b (255·16384 + 32768) >> 16 = 64.
    // At (0, 0) the sample wraps to the far texels with the same weights mirrored.
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
    texRect(0, 0, 4, 4, 0, 0, 256, 256);
    EXPECT_EQ(pixel(1, 1), rgb565(96, 48, 64));
    EXPECT_EQ(pixel(0, 0), rgb565(96, 48, 64));
    // At (1, 2) u = 0.25, v = 0.75: 192·64, 64·64, 192·192 and 64·192 for black,
    // white, red and blue: r 255·40960 → 159, g 255·4096 → 16, b 255·16384 → 64.
    EXPECT_EQ(pixel(1, 2), rgb565(159, 16, 64));

    // The same picture in a format with alpha and in a paletted one filters alike.
    uint16_t argb[4] = {0xF000, 0xFFFF, 0xFF00, 0xF00F};
    uint8_t indices[4] = {0, 1, 2, 3};
    GuTexPalette palette{};
    palette.data[1] = 0xFFFFFF, palette.data[2] = 0xFF0000, palette.data[3] = 0x0000FF;
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, &palette);
    for (GrTexInfo info : {GrTexInfo{7, 7, GR_ASPECT_1x1, GR_TEXFMT_ARGB_4444, argb},
                           GrTexInfo{7, 7, GR_ASPECT_1x1, GR_TEXFMT_P_8, indices}}) {
        grBufferClear(0, 0, 0);
        useTexture(info, 4096);
        texRect(0, 0, 4, 4, 0, 0, 256, 256);
        EXPECT_EQ(pixel(1, 1), rgb565(96, 48, 64)) << info.format;
        EXPECT_EQ(pixel(1, 2), rgb565(159, 16, 64)) << info.format;
    }
}

// oow falls from 1 to 0.25 across eight pixels while s/w runs to 256 · 0.25:
// s = 64f / (1 - 0.75f) reaches 128 at f = 0.8 (x = 6.4), not at the middle.
TEST_F(Textures, PerspectiveCorrectTextureCoordinates) {
    uint16_t texels[2] = {black, white};
    useTexture({7, 7, 2 /* 2x1 */, GR_TEXFMT_RGB_565, texels});
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
    texRect(0, 0, 8, 1, 0, 0, 256, 0, 1, 0.25f);
    EXPECT_EQ(map(8, 1)[0], "......##");
}

// Levels 4x4 red, 2x2 green, 1x1 blue: a square W pixels wide showing the
// whole texture has 4 / W largest-level texels per pixel, and the level is
// round(log2(4 / W)), clamped to the chain.
TEST_F(Textures, NearestLevelOfDetail) {
    std::vector<uint16_t> texels(16, red);
    texels.insert(texels.end(), 4, green);
    texels.push_back(blue);
    useTexture({8, 6, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels.data()});
    struct Case {
        float x, width, sMax;
        uint16_t expected;
    };
    const Case cases[] = {
        {0, 4, 256, red},        // 1 texel per pixel
        {8, 2, 256, green},      // 2
        {12, 1, 256, blue},      // 4
        {16, 1, 1024, blue},     // 16: beyond the smallest level
        {20, 2.875f, 256, red},  // 1.39: log2 0.48
        {24, 2.75f, 256, green}, // 1.45: log2 0.54
        {30, 8, 256, red},       // magnified
    };
    for (const Case& c : cases) texRect(c.x, 0, c.x + c.width, c.width, 0, 0, c.sMax, c.sMax);
    for (const Case& c : cases) EXPECT_EQ(pixel(int(c.x), 0), c.expected) << c.x;
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_DISABLE, FXFALSE);
    texRect(12, 0, 13, 1, 0, 0, 256, 256);
    EXPECT_EQ(pixel(12, 0), red);
}

// grTexTextureMemRequired is the span grTexDownloadMipMap writes and
// grTexSource reads, for every aspect, LOD range and texel width: a texture
// ending at the last byte of texture memory is taken, one byte later refused.
TEST_F(Textures, MemoryRequiredMatchesDownloadAndSource) {
    const uint32_t top = grTexMaxAddress(GR_TMU0);
    EXPECT_EQ(top, 4u << 20);
    EXPECT_EQ(grTexMinAddress(GR_TMU0), 0u);
    std::vector<uint8_t> data(2 * 256 * 256 * 2, 0x5A);
    uint64_t downloads = 0;
    for (int32_t format : {GR_TEXFMT_INTENSITY_8, GR_TEXFMT_RGB_565}) {
        for (int32_t aspect = GR_ASPECT_8x1; aspect <= GR_ASPECT_1x8; ++aspect) {
            for (int32_t large = GR_LOD_256; large <= GR_LOD_1; ++large) {
                for (int32_t small = large; small <= GR_LOD_1; ++small) {
                    GrTexInfo info{small, large, aspect, format, data.data()};
                    const uint32_t size = grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &info);
                    ASSERT_GT(size, 0u);
                    grTexDownloadMipMap(GR_TMU0, top - size, GR_MIPMAPLEVELMASK_BOTH, &info);
                    EXPECT_EQ(counters().textureDownloads, ++downloads);
                    grTexDownloadMipMap(GR_TMU0, top - size + 1, GR_MIPMAPLEVELMASK_BOTH, &info);
                    EXPECT_EQ(counters().textureDownloads, downloads);
                    GrState before, after;
                    grTexSource(GR_TMU0, top - size + 1, GR_MIPMAPLEVELMASK_BOTH, &info);
                    grGlideGetState(&before);
                    grTexSource(GR_TMU0, top - size, GR_MIPMAPLEVELMASK_BOTH, &info);
                    grGlideGetState(&after);
                    EXPECT_NE(std::memcmp(&before, &after, sizeof before), 0);
                    grTexSource(GR_TMU0, top - size + 1, GR_MIPMAPLEVELMASK_BOTH, &info);
                    grGlideGetState(&before);
                    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
                }
            }
        }
    }
    // Spot values: 256x256 rgb565 with all levels; 8x1 i8 from 256 to 32.
    GrTexInfo full{GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, nullptr};
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &full), 174762u);
    GrTexInfo wide{3, GR_LOD_256, GR_ASPECT_8x1, GR_TEXFMT_INTENSITY_8, nullptr};
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &wide), 8192u + 2048 + 512 + 128);
}

TEST_F(Textures, BadTexturesAreRefused) {
    std::vector<uint8_t> data(1024, 1);
    const GrTexInfo bad[] = {
        {9, 8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, data.data()}, // LOD beyond 8
        {6, 7, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, data.data()}, // reversed
        {8, 8, 7, GR_TEXFMT_RGB_565, data.data()},             // aspect beyond 1x8
        {8, 8, -1, GR_TEXFMT_RGB_565, data.data()},
        {8, 8, GR_ASPECT_1x1, 6, data.data()}, // no such formats
        {8, 8, GR_ASPECT_1x1, 7, data.data()},
        {8, 8, GR_ASPECT_1x1, 15, data.data()},
        {8, 8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, nullptr}, // no data
    };
    GrState before, after;
    grGlideGetState(&before);
    for (GrTexInfo info : bad) {
        grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
        if (info.data) {
            grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
            EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &info), 0u);
        }
    }
    GrTexInfo good{8, 8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, data.data()};
    grTexDownloadMipMap(GR_TMU0, 0, 1, &good); // one half of the levels: not supported
    grTexDownloadMipMap(GR_TMU0, 0xFFFFFFFF, GR_MIPMAPLEVELMASK_BOTH, &good);
    grTexSource(GR_TMU0, 0xFFFFFFFF, GR_MIPMAPLEVELMASK_BOTH, &good);
    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, nullptr);
    grTexDownloadMipMap(1, 0, GR_MIPMAPLEVELMASK_BOTH, &good); // only unit 0
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, nullptr);
    grTexDownloadTable(GR_TMU0, 3, data.data());
    grGlideGetState(&after);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_EQ(counters().textureDownloads, 0u);
    EXPECT_EQ(counters().tableDownloads, 0u);
}

// The 5-6-5 bilinear filter works on the packed fields in place of the ARGB
// words of the other formats; it must give the same colour for every weight
// pair, on the extreme texels (the largest sums, where one channel would
// carry into the next) and on random ones.
TEST(TextureFilter, The565ShortcutGivesTheGeneralFiltersColours) {
    std::mt19937 random(565);
    Sampler unused;
    int failures = 0;
    for (int fy = 0; fy < 256; ++fy)
        for (int fx = 0; fx < 256; ++fx) {
            uint16_t quads[3][4] = {{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}, {0xFFFF, 0, 0, 0xFFFF}};
            for (uint16_t& t : quads[2]) t = uint16_t(random());
            for (const auto& q : quads) {
                // Rows of two texels, little-endian as in texture memory.
                const uint8_t row0[4] = {uint8_t(q[0]), uint8_t(q[0] >> 8), uint8_t(q[1]),
                                         uint8_t(q[1] >> 8)};
                const uint8_t row1[4] = {uint8_t(q[2]), uint8_t(q[2] >> 8), uint8_t(q[3]),
                                         uint8_t(q[3] >> 8)};
                const uint32_t fast = filter<TexelKind::Rgb565>(unused, row0, row1, 0, 1, fx, fy);
                const uint32_t general = bilinear(expand565(q[0]), expand565(q[1]), expand565(q[2]),
                                                  expand565(q[3]), fx, fy);
                if (fast != general && ++failures <= 5)
                    ADD_FAILURE() << std::hex << q[0] << " " << q[1] << " " << q[2] << " " << q[3]
                                  << std::dec << " at " << fx << "," << fy << ": " << std::hex
                                  << fast << " != " << general;
            }
        }
    EXPECT_EQ(failures, 0);
}

#if defined(__SSE2__)
// The four-lane fixed-point conversion against the scalar one: around every
// integer where the scalar form's rounding through a double moves a value,
// at the limits, and on random values of every magnitude.
TEST(TextureFilter, FourLaneFixedPointIsTheScalarOne) {
    std::vector<float> values = {0.0f,
                                 -0.0f,
                                 1e-30f,
                                 -1e-30f,
                                 1e30f,
                                 -1e30f,
                                 4e6f,
                                 -4e6f,
                                 std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN()};
    for (int n = -3; n <= 5; ++n)
        for (float step : {0x1p-20f, 0x1p-21f, 0x1p-22f, 0x1p-23f, 0x1p-24f, 0x1p-30f}) {
            const float at = float(n) / 256;
            for (float v : {at - step, at + step, std::nextafter(at, -1.0f), at})
                values.push_back(v);
        }
    std::mt19937 random(8);
    for (int i = 0; i < 4000; ++i)
        values.push_back(std::ldexp(std::uniform_real_distribution<float>(-1, 1)(random),
                                    int(random() % 60) - 40));
    while (values.size() % 4) values.push_back(0);
    for (size_t i = 0; i < values.size(); i += 4) {
        alignas(16) int32_t lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes),
                        toFixed8Four(_mm_loadu_ps(values.data() + i)));
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(lanes[k], toFixed8(values[i + size_t(k)]))
                << std::hexfloat << values[i + size_t(k)];
    }
}
#endif

// The board keeps a few textures' 2x2 blocks for its own spans: drawn in
// turn, more textures than it keeps, each triangle samples its own texels,
// as the reference spans do, also after a download over one of them.
TEST_F(Textures, ManyTexturesTakenInTurnSampleTheirOwnTexels) {
    std::mt19937 random(7);
    constexpr int count = 11; // 16x16 textures (LOD 4)
    std::vector<uint16_t> texels(16 * 16);
    auto download = [&](int i) {
        for (uint16_t& t : texels) t = uint16_t(random());
        useTexture({4, 4, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels.data()}, uint32_t(i) * 1024);
    };
    std::vector<uint16_t> pictures[2];
    for (int general = 0; general < 2; ++general) {
        options().generalSpans = general == 1;
        random.seed(7);
        for (int i = 0; i < count; ++i) download(i);
        auto draw = [&](int i, float x, float y) {
            GrTexInfo info{4, 4, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, nullptr};
            grTexSource(GR_TMU0, FxU32(i) * 1024, GR_MIPMAPLEVELMASK_BOTH, &info);
            texRect(x, y, x + 27, y + 50, 0.3f, 0.7f, 40, 90, 1, 0.5f);
        };
        for (int round = 0; round < 2; ++round)
            for (int i = 0; i < count; ++i) draw(i, float(i * 29), float(round * 60));
        draw(3, 0, 120);
        download(3);
        draw(3, 29, 120);
        for (int y = 0; y < 180; ++y)
            for (int x = 0; x < 320; ++x) pictures[general].push_back(pixel(x, y));
    }
    options().generalSpans = false;
    EXPECT_EQ(pictures[0], pictures[1]);
}

// The engine shuts the board down from an exit handler it registers before
// the first frame: the board's texture caches, made later, must still be
// there when that handler runs. (A child process of its own, so that no
// earlier test has made them first.)
TEST_F(Textures, TheBoardShutsDownFromAnExitHandlerAfterTexturedDrawing) {
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atexit([] { grGlideShutdown(); });
            std::vector<uint16_t> texels(16 * 16, red);
            useTexture({4, 4, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels.data()}, 0);
            texRect(0, 0, 27, 50, 0.3f, 0.7f, 40, 90, 1, 0.5f);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
    GTEST_FLAG_SET(death_test_style, style);
}

// Spans ending at the screen's last pixels: the board's eight-wide groups
// stop at the buffers' end and leave what the reference spans leave.
TEST_F(Textures, SpansAtTheBuffersEndLeaveWhatTheReferenceSpansLeave) {
    // Rows as wide as the screen: its last pixel is the buffers' last.
    grGlideShutdown();
    options().pitch = 320;
    grGlideInit();
    ASSERT_TRUE(
        grSstWinOpen(0, 0, GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA, GR_ORIGIN_UPPER_LEFT, 2, 1));
    ASSERT_EQ(colourBuffer(1).pitch, 320);
    std::vector<uint16_t> texels(16 * 16);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = uint16_t(i * 2654435761u >> 7);
    std::vector<uint16_t> pictures[2];
    for (int general = 0; general < 2; ++general) {
        options().generalSpans = general == 1;
        grBufferClear(0x40608000, 0, 0x8000);
        useTexture({4, 4, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels.data()});
        grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
        grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
        grDepthBufferFunction(GR_CMP_LEQUAL);
        texRect(309, 195, 320, 200, 0, 0, 3, 5, 1, 0.8f); // fetches texels
        guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
        rect(313, 197, 320, 200, vertex(0, 0, 10, 20, 30)); // one colour all over
        for (int y = 190; y < 200; ++y)
            for (int x = 300; x < 320; ++x) pictures[general].push_back(pixel(x, y));
        for (int x = 300; x < 320; ++x) pictures[general].push_back(depthAt(x, 199));
    }
    options().generalSpans = false;
    EXPECT_EQ(pictures[0], pictures[1]);
    EXPECT_NE(pictures[0].back(), 0x8000); // the depth was written
}

// The board's own spans (eight fragments at a time, texels fetched only for
// fragments that passed, none for a texture of one colour) must leave the
// colour and depth buffers exactly as the reference spans do, on random
// triangles under random textures, filters, tests, blends, fog and combines.
TEST_F(Textures, TheSpansLeaveWhatTheReferenceSpansLeave) {
    std::mt19937 random(5650);
    auto uniform = [&](float a, float b) {
        return std::uniform_real_distribution<float>(a, b)(random);
    };
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    std::vector<uint16_t> texels(2 * 256 * 256); // room for every level
    // The colour and depth buffers' rows, one after another.
    const Buffer buffers[2] = {colourBuffer(1), depthBuffer()};
    auto save = [&] {
        std::vector<uint16_t> all;
        for (const Buffer& b : buffers)
            for (int y = 0; y < b.height; ++y) {
                const uint16_t* row = b.pixels + size_t(y) * size_t(b.pitch);
                all.insert(all.end(), row, row + b.width);
            }
        return all;
    };
    auto restore = [&](const std::vector<uint16_t>& all) {
        auto from = all.begin();
        for (const Buffer& b : buffers)
            for (int y = 0; y < b.height; ++y, from += b.width)
                std::copy_n(from, b.width, b.pixels + size_t(y) * size_t(b.pitch));
    };
    int drawn = 0;
    for (int scene = 0; scene < 120; ++scene) {
        // Some scenes' triangles face the screen (one 1/w at their corners, as
        // sprites) and some stretch a few texels over many pixels: the board
        // then settles the level once for the whole triangle. Others have one
        // colour, alpha and 1/w all over and a texture of one colour, under
        // blends the board runs eight at a time, as the overlay has.
        const bool facing = scene % 4 == 1, magnified = scene % 4 == 2, flat = scene % 4 == 3;
        // Every third texture is of one colour.
        const uint16_t one = uint16_t(random());
        for (uint16_t& t : texels) t = scene % 3 == 0 || flat ? one : uint16_t(random());
        const int32_t formats[] = {GR_TEXFMT_RGB_565,     GR_TEXFMT_RGB_565,
                                   GR_TEXFMT_ARGB_1555,   GR_TEXFMT_ARGB_4444,
                                   GR_TEXFMT_INTENSITY_8, GR_TEXFMT_ALPHA_INTENSITY_88};
        const int large = pick(3);
        useTexture({large + pick(3), large, pick(7), formats[pick(6)], texels.data()});
        grTexMipMapMode(GR_TMU0, pick(2) ? GR_MIPMAP_DISABLE : GR_MIPMAP_NEAREST, FXFALSE);
        const int filters[] = {GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_POINT_SAMPLED};
        grTexFilterMode(GR_TMU0, filters[pick(3) == 0], filters[pick(3) == 0]);
        const int combines[] = {GR_COLORCOMBINE_DECAL_TEXTURE, GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB,
                                GR_COLORCOMBINE_ITRGB};
        guColorCombineFunction(combines[pick(3)]);
        guAlphaSource(pick(4));
        const int blends[] = {
            GR_BLEND_ZERO, GR_BLEND_SRC_ALPHA,           GR_BLEND_DST_COLOR,
            GR_BLEND_ONE,  GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE_MINUS_DST_COLOR};
        grAlphaBlendFunction(blends[pick(6)], blends[pick(6)], GR_BLEND_ONE, GR_BLEND_ZERO);
        grDepthBufferMode(pick(3) ? GR_DEPTHBUFFER_WBUFFER : GR_DEPTHBUFFER_DISABLE);
        grDepthBufferFunction(pick(8));
        grDepthBiasLevel(FxI16(pick(200) - 100));
        grDepthMask(pick(2));
        grFogMode(pick(2) ? GR_FOG_DISABLE : GR_FOG_WITH_TABLE);
        GrFog_t fog[GR_FOG_TABLE_SIZE];
        guFogGenerateLinear(fog, uniform(1, 10), uniform(10, 2000));
        grFogTable(fog);
        grChromakeyMode(pick(3) == 0);
        grChromakeyValue(random() & 0xF8FCF800u);
        grAlphaTestFunction(pick(2) ? GR_CMP_ALWAYS : pick(8));
        grAlphaTestReferenceValue(GrAlpha_t(random()));
        if (flat) {
            const int wideBlends[][2] = {{GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA},
                                         {GR_BLEND_SRC_ALPHA, GR_BLEND_ONE},
                                         {GR_BLEND_DST_COLOR, GR_BLEND_ZERO},
                                         {GR_BLEND_ONE, GR_BLEND_ONE},
                                         {GR_BLEND_ONE, GR_BLEND_ZERO}};
            const int* b = wideBlends[pick(5)];
            grAlphaBlendFunction(b[0], b[1], GR_BLEND_ONE, GR_BLEND_ZERO);
            grFogMode(GR_FOG_DISABLE);
            grChromakeyMode(GR_CHROMAKEY_DISABLE);
        }
        std::vector<GrVertex> corners(3 * 8);
        for (size_t i = 0; i < corners.size(); ++i) {
            GrVertex& v = corners[i];
            v = vertex(uniform(-80, 400), uniform(-60, 260), uniform(-20, 280), uniform(0, 255),
                       uniform(0, 255), uniform(-10, 265));
            v.oow = facing && i % 3 != 0 ? corners[i - i % 3].oow
                    : magnified          ? uniform(0.5f, 1)
                                         : uniform(0.001f, 2);
            const float reach = magnified ? 8 : 600;
            v.tmuvtx[0].sow = uniform(-reach, reach) * v.oow;
            v.tmuvtx[0].tow = uniform(-reach, reach) * v.oow;
            if (flat && i % 3 != 0) {
                const GrVertex& first = corners[i - i % 3];
                v.r = first.r, v.g = first.g, v.b = first.b, v.a = first.a, v.oow = first.oow;
            }
        }
        grBufferClear(random(), 0, FxU16(random()));
        const std::vector<uint16_t> before = save();
        std::vector<uint16_t> after[2];
        for (int general = 0; general < 2; ++general) {
            options().generalSpans = general == 1;
            restore(before);
            for (size_t i = 0; i < corners.size(); i += 3)
                grDrawTriangle(&corners[i], &corners[i + 1], &corners[i + 2]);
            after[general] = save();
        }
        options().generalSpans = false;
        drawn += after[0] != before;
        ASSERT_EQ(after[0], after[1]) << "scene " << scene;
    }
    // Most scenes pass some fragments (others test them all away).
    EXPECT_GT(drawn, 60);
}

} // namespace
