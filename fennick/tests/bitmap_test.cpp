// Bitmap reading over bytes: padded rows, swapped red and blue, black for
// other depths, and refusal of every malformed header.
#include "fennick/bitmap.h"
#include "fennick/tests/bmp_writer.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

using testing::BmpSpec;
using testing::makeBmp;

// Blue, green and red distinct per pixel and row.
std::uint32_t pattern(int x, int y) {
    return std::uint32_t(0x10 + x) | std::uint32_t(0x40 + y) << 8 |
           std::uint32_t(0x80 + x + y) << 16;
}

std::optional<BmpImage> read(const std::vector<std::uint8_t>& bytes) {
    MemorySource source(bytes.data(), bytes.size());
    return readBmp(source);
}

TEST(Bitmap, ThreePixelRowsArePaddedToTwelveBytesWithRedAndBlueSwapped) {
    for (bool zeroSize : {false, true}) {
        SCOPED_TRACE(zeroSize ? "image size field 0" : "image size field set");
        BmpSpec spec;
        spec.pixel = pattern;
        spec.zeroSizeImage = zeroSize;
        auto bmp = read(makeBmp(spec));
        ASSERT_TRUE(bmp);
        EXPECT_EQ(bmp->pixels.size(), 24u) << "padded rows, also when the size field is 0";
        auto rgb = toRgb(*bmp);
        ASSERT_TRUE(rgb);
        EXPECT_EQ(rgb->stride, 12);
        ASSERT_EQ(rgb->rgb.size(), 24u);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                const std::uint8_t* p = &rgb->rgb[std::size_t(y * 12 + x * 3)];
                EXPECT_EQ(p[0], 0x80 + x + y) << "red first";
                EXPECT_EQ(p[1], 0x40 + y);
                EXPECT_EQ(p[2], 0x10 + x);
            }
            for (int pad = 9; pad < 12; ++pad) EXPECT_EQ(rgb->rgb[std::size_t(y * 12 + pad)], 0);
        }
    }
}

TEST(Bitmap, OtherDepthsAndTopDownFiles) {
    BmpSpec eight;
    eight.bitsPerPixel = 8;
    eight.width = 5;
    eight.pixel = pattern;
    auto bmp = read(makeBmp(eight));
    ASSERT_TRUE(bmp);
    auto rgb = toRgb(*bmp);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->stride, 16);
    EXPECT_EQ(rgb->rgb, std::vector<std::uint8_t>(32, 0)) << "8-bit images stay black";

    BmpSpec topDown;
    topDown.height = -4;
    topDown.pixel = pattern;
    bmp = read(makeBmp(topDown));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->height, 4);
    rgb = toRgb(*bmp);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->rgb[3 * 12], 0x80 + 3) << "rows in file order";
}

TEST(Bitmap, MalformedFilesGiveNothing) {
    struct Case {
        const char* name;
        BmpSpec spec;
    };
    auto with = [](auto change) {
        BmpSpec s;
        s.pixel = pattern;
        change(s);
        return s;
    };
    Case cases[] = {
        {"header only", with([](BmpSpec& s) { s.truncateTo = 14; })},
        {"short header", with([](BmpSpec& s) { s.truncateTo = 9; })},
        {"pixels cut", with([](BmpSpec& s) { s.truncateTo = 14 + 40 + 20; })},
        {"offset below 14", with([](BmpSpec& s) { s.dataOffset = 10; })},
        {"offset 14: no info header", with([](BmpSpec& s) { s.dataOffset = 14; })},
        {"offset inside the info header", with([](BmpSpec& s) { s.dataOffset = 30; })},
        {"huge offset", with([](BmpSpec& s) { s.dataOffset = 0xFFFFFFF0u; })},
        {"unknown info size", with([](BmpSpec& s) { s.infoSize = 20; })},
        {"width 0", with([](BmpSpec& s) { s.width = 0; })},
        {"negative width", with([](BmpSpec& s) { s.width = -3; })},
        {"height 0", with([](BmpSpec& s) { s.height = 0; })},
        {"huge width", with([](BmpSpec& s) {
             s.width = 100000;
             s.height = 1;
             s.truncateTo = 200;
         })},
        {"most negative height", with([](BmpSpec& s) { s.height = -2147483647 - 1; })},
        {"depth 0", with([](BmpSpec& s) { s.bitsPerPixel = 0; })},
        {"image size below the rows", with([](BmpSpec& s) { s.sizeImage = 18; })},
        {"image size past the data", with([](BmpSpec& s) { s.sizeImage = 0xFFFFFFFFu; })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(read(makeBmp(c.spec)));
    }
    std::vector<std::uint8_t> notBm = makeBmp(BmpSpec{});
    notBm[0] = 'M';
    EXPECT_FALSE(read(notBm));
}

TEST(Bitmap, ToRgbRefusesAPixelBlockShorterThanItsRows) {
    BmpImage image;
    image.width = 3;
    image.height = 2;
    image.bitsPerPixel = 24;
    image.pixels.assign(18, 0xFF); // unpadded rows
    EXPECT_FALSE(toRgb(image));
    image.width = -1;
    EXPECT_FALSE(toRgb(image));
}

TEST(Bitmap, MissingFileGivesNothing) {
    EXPECT_FALSE(readBmpFile("/nonexistent/G3D_DEF.bmp"));
}

} // namespace
} // namespace fennick
