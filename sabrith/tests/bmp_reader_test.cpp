#include "sabrith/bmp_reader.h"
#include "sabrith/tests/bmp_writer.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <climits>

namespace sabrith {
namespace {

using test::BmpPicture;

int read(const std::vector<uint8_t>& file, DibImage& image) {
    MemorySource source(file.data(), file.size());
    return readBmp(source, image);
}

uint32_t at(const DibImage& image, int x, int y) {
    return image.pixels()[y * image.width() + x];
}

BmpPicture pattern(int bits, int width, int height) {
    BmpPicture p{width, height, bits, {}, {}};
    if (bits < 24)
        for (uint32_t i = 0; i < (1u << bits) && i < 256; ++i) p.palette.push_back(0x10000 * i + 7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t v = uint32_t(x * 3 + y * 5);
            p.pixels.push_back(bits < 24 ? v % uint32_t(p.palette.size()) : v * 0x010203);
        }
    return p;
}

void expectPicture(const BmpPicture& p, const DibImage& image) {
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const uint32_t v = p.pixels[std::size_t(y * p.width + x)];
            ASSERT_EQ(at(image, x, y), p.bits < 24 ? p.palette[v] : v) << x << "," << y;
        }
}

TEST(BmpReader, ReadsEveryUncompressedDepthBothWaysUp) {
    // Widths that need row padding at every depth (5 x 24 bits: 15 + 1 bytes).
    for (int bits : {1, 4, 8, 24})
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top-down " << topDown);
            BmpPicture p = pattern(bits, 5, 7);
            p.topDown = topDown;
            DibImage image("bmp");
            ASSERT_EQ(read(test::writeBmp(p), image), 1);
            EXPECT_EQ(image.width(), 5);
            EXPECT_EQ(image.height(), 7);
            expectPicture(p, image);
        }
}

TEST(BmpReader, ReadsRle8WithRunsLiteralsDeltaAndEarlyEnd) {
    BmpPicture p = pattern(8, 9, 6);
    std::vector<uint8_t> indices(p.pixels.begin(), p.pixels.end());
    DibImage image("rle");
    ASSERT_EQ(read(test::writeRle8Bmp(9, 6, p.palette, test::encodeRle8(9, 6, indices)), image), 1);
    expectPicture(p, image);

    // Bottom row: literal of 3 (padded), a run of 2, then a delta of (0, 1)
    // and a run on the next row; end of bitmap leaves the rest black.
    const std::vector<uint32_t> palette{0, 0x111111, 0x222222, 0x333333};
    const std::vector<uint8_t> data{0, 3, 1, 2, 3, 0, 2, 2, 0, 2, 0, 1, 1, 3, 0, 1};
    image.resize(6, 3);
    for (int i = 0; i < 6 * 3; ++i) image.pixels()[i] = 0xDEAD;
    ASSERT_EQ(read(test::writeRle8Bmp(6, 3, palette, data), image), 1);
    const uint32_t expected[3][6] = {{0, 0, 0, 0, 0, 0},
                                     {0, 0, 0, 0, 0, 0x333333}, // skipped pixels blank
                                     {0x111111, 0x222222, 0x333333, 0x222222, 0x222222, 0}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(at(image, x, y), expected[y][x]) << x << "," << y;
}

TEST(BmpReader, HostileFilesAreRefusedOrStayInsideTheImage) {
    const std::vector<uint8_t> good = test::writeBmp(pattern(8, 4, 4));
    struct Case {
        const char* what;
        std::size_t offset;
        uint32_t value;
        int size; // 2 or 4 bytes
    };
    const Case refused[] = {
        {"palette count 0xFFFFFFFF", 46, 0xFFFFFFFF, 4},
        {"palette count 257", 46, 257, 4},
        {"height INT_MIN", 22, uint32_t(INT_MIN), 4},
        {"negative width", 18, uint32_t(-4), 4},
        {"width 0", 18, 0, 4},
        {"huge image", 18, 100000, 4},
        {"pixel offset past the end", 10, 0x7FFFFFF0, 4},
        {"16 bits", 28, 16, 2},
        {"32 bits", 28, 32, 2},
        {"two planes", 26, 2, 2},
        {"bit fields", 30, 3, 4},
        {"not BM", 0, 0x4D41, 2},
        {"info header size 4", 14, 4, 4},
    };
    for (const Case& c : refused) {
        std::vector<uint8_t> file = good;
        if (c.size == 4) {
            test::put32(file, c.offset, c.value);
        } else {
            test::put16(file, c.offset, uint16_t(c.value));
        }
        DibImage image("hostile");
        EXPECT_EQ(read(file, image), 0) << c.what;
    }
    for (std::size_t cut : {std::size_t(10), std::size_t(40), good.size() - 1}) {
        DibImage image("short");
        EXPECT_EQ(read(std::vector<uint8_t>(good.begin(), good.begin() + long(cut)), image), 0)
            << "cut at " << cut;
    }

    // RLE runs, literals and deltas past the row or the image stay inside;
    // data that ends without an end code is a short read.
    const std::vector<uint32_t> palette{0, 0xFFFFFF};
    const std::vector<uint8_t> wild[] = {
        {255, 1, 255, 1, 0, 0, 255, 1, 0, 1},
        {0, 255, /* 255 literal bytes follow */},
        {0, 2, 255, 255, 5, 1, 0, 1},
        {0, 0, 0, 0, 0, 0, 0, 0, 9, 1},
    };
    for (std::size_t i = 0; i < std::size(wild); ++i) {
        std::vector<uint8_t> data = wild[i];
        if (i == 1) data.insert(data.end(), 256, 1);
        DibImage image("rle");
        image.resize(1, 1);
        for (int k = 0; k < 16; ++k) image.pixels()[k] = 0xDEAD;
        const int result = read(test::writeRle8Bmp(1, 1, palette, data), image);
        EXPECT_EQ(image.width(), 4) << i;
        EXPECT_EQ(at(image, 1, 0), 0xDEADu) << "nothing past the 1 x 1 picture, case " << i;
        EXPECT_EQ(at(image, 0, 1), 0xDEADu) << i;
        if (i == 0) {
            EXPECT_EQ(result, 1);
        }
    }
    // Indices past a short palette take its last entry.
    BmpPicture p = pattern(8, 2, 1);
    p.palette = {0x123456};
    p.pixels = {0, 200};
    DibImage image("clamped");
    ASSERT_EQ(read(test::writeBmp(p), image), 1);
    EXPECT_EQ(at(image, 1, 0), 0x123456u);
}

TEST(BmpReader, LoadsFilesByExtension) {
    const std::string folder = jk::test::tempFolder();
    const std::vector<uint8_t> bytes = test::writeBmp(pattern(24, 3, 2));
    for (const char* name : {"picture.BMP", "picture.gif", "picture.png"})
        jk::test::writeFile(folder + name, bytes.data(), bytes.size());
    DibImage image("file");
    EXPECT_EQ(loadImageFile(folder + "picture.BMP", image), 1);
    EXPECT_EQ(loadImageFile(folder + "picture.gif", image), 1);
    EXPECT_EQ(loadImageFile(folder + "picture.png", image), 0);
    EXPECT_FALSE(image.valid()) << "another extension empties the image";
    EXPECT_EQ(loadImageFile(folder + "missing.bmp", image), 0);
}

} // namespace
} // namespace sabrith
