// The five image readers: round trips through the writers for every format
// and variant, the pinned values worked out by hand, and hostile files, which
// must give none (ASan checks that nothing leaks or reads astray).
#include "umbrek/vastrel/data_library.h"
#include "umbrek/vastrel/image_readers.h"
#include "umbrek/vastrel/tests/image_writers.h"
#include "umbrek/vastrel/tests/library_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace umbrek::test;

namespace {

enum class Format { PCX, IFF, BMP, BLK, PAK };

struct Read {
    OwnedBitmap bitmap;
    std::array<uint8_t, 768> palette{};
    std::vector<uint8_t> pixels() const {
        const uint8_t* p = KX_BitmapPixels(bitmap.get());
        return {p, p + size_t(bitmap->width) * bitmap->height};
    }
};

Read readImage(Format format, const std::vector<uint8_t>& bytes) {
    std::unique_ptr<DataStream> stream = openMemoryStream(bytes.data(), bytes.size());
    Read r;
    r.palette.fill(0xEE);
    switch (format) {
    case Format::PCX: r.bitmap.reset(KX_ReadPCX(*stream, r.palette.data())); break;
    case Format::IFF: r.bitmap.reset(KX_ReadIFF(*stream, r.palette.data())); break;
    case Format::BMP: r.bitmap.reset(KX_ReadBMP(*stream, r.palette.data())); break;
    case Format::BLK: r.bitmap.reset(KX_ReadBLK(*stream)); break;
    case Format::PAK: r.bitmap.reset(KX_ReadPAK(*stream)); break;
    }
    return r;
}

std::array<uint8_t, 768> sixBits(const std::array<uint8_t, 768>& palette) {
    std::array<uint8_t, 768> out;
    for (size_t i = 0; i < 768; ++i) out[i] = palette[i] >> 2;
    return out;
}

// A 13 x 5 image (odd, not a multiple of 8 or 16) whose indexes fit MASK,
// with runs and single bytes, and a palette of distinct colours.
IndexedImage testImage(int mask, int width = 13, int height = 5) {
    IndexedImage image = makeImage(width, height, [&](int x, int y) {
        return uint8_t((x < 4 ? 0xC3 + y : x * 7 + y * 31) & mask);
    });
    for (size_t i = 0; i < 768; ++i) image.palette[i] = uint8_t(i * 37 + 11);
    return image;
}

TEST(ImageReadersTest, EveryFormatAndVariantRoundTrips) {
    const struct {
        const char* what;
        Format format;
        int mask;
        std::function<std::vector<uint8_t>(const IndexedImage&)> write;
        bool hasPalette;
    } cases[] = {
        {"PCX", Format::PCX, 255, [](const IndexedImage& i) { return writePcx(i); }, true},
        {"PCX wide lines", Format::PCX, 255,
         [](const IndexedImage& i) { return writePcx(i, {.bytesPerLine = 20}); }, true},
        {"BMP 1", Format::BMP, 1, [](const IndexedImage& i) { return writeBmp(i, 1); }, false},
        {"BMP 4", Format::BMP, 15, [](const IndexedImage& i) { return writeBmp(i, 4); }, true},
        {"BMP 8", Format::BMP, 255, [](const IndexedImage& i) { return writeBmp(i, 8); }, true},
        {"ILBM 1 plane", Format::IFF, 1,
         [](const IndexedImage& i) { return writeIff(i, {.planes = 1}); }, true},
        {"ILBM 5 planes packed", Format::IFF, 31,
         [](const IndexedImage& i) { return writeIff(i, {.planes = 5, .compress = true}); }, true},
        {"ILBM 8 planes", Format::IFF, 255,
         [](const IndexedImage& i) { return writeIff(i, {.planes = 8}); }, true},
        {"PBM", Format::IFF, 255, [](const IndexedImage& i) { return writeIff(i, {.pbm = true}); },
         true},
        {"PBM packed, long CMAP", Format::IFF, 255,
         [](const IndexedImage& i) {
             return writeIff(i, {.pbm = true, .compress = true, .cmapLength = 801});
         },
         true},
        {"BLK", Format::BLK, 255, [](const IndexedImage& i) { return writeBlk(i); }, false},
        {"PAK", Format::PAK, 255, [](const IndexedImage& i) { return writePak(i); }, false},
    };
    for (const auto& c : cases) {
        for (int width : {13, 16, 1}) {
            const IndexedImage image = testImage(c.mask, width);
            const Read r = readImage(c.format, c.write(image));
            ASSERT_TRUE(r.bitmap) << c.what << " " << width;
            EXPECT_EQ(KX_BitmapWidth(r.bitmap.get()), width) << c.what;
            EXPECT_EQ(KX_BitmapHeight(r.bitmap.get()), 5) << c.what;
            EXPECT_EQ(r.pixels(), image.pixels) << c.what << " " << width;
            if (c.hasPalette && c.format != Format::BMP) {
                EXPECT_EQ(r.palette, sixBits(image.palette)) << c.what;
            } else if (c.hasPalette) { // a BMP table of 16 or 256 entries
                const size_t n = c.mask == 15 ? 48 : 768;
                EXPECT_TRUE(std::equal(r.palette.begin(), r.palette.begin() + long(n),
                                       sixBits(image.palette).begin()))
                    << c.what;
            }
        }
    }
}

TEST(ImageReadersTest, PcxRowsAreRunsAndLiteralsCutToTheWidth) {
    // Bytes per line 4 over a width of 3: the pad byte is coded but not kept.
    IndexedImage image =
        makeImage(3, 2, [](int x, int y) { return uint8_t(y == 0 ? (x < 2 ? 7 : 0xC5) : x + 1); });
    const std::vector<uint8_t> file = writePcx(image, {.bytesPerLine = 4});
    const std::vector<uint8_t> rows(file.begin() + 128, file.end() - 769);
    EXPECT_EQ(rows, (std::vector<uint8_t>{0xC2, 7, 0xC1, 0xC5, 0, 1, 2, 3, 0}));
    EXPECT_EQ(file[66], 4);
    // A run that passes the end of a line is cut there; a count of 0 writes nothing.
    std::vector<uint8_t> cut(file.begin(), file.begin() + 128);
    cut.insert(cut.end(), {0xC0, 9, 0xFF, 5, 0xC1, 6, 0xC4, 8});
    cut.insert(cut.end(), 769, 0);
    const Read r = readImage(Format::PCX, cut);
    ASSERT_TRUE(r.bitmap);
    EXPECT_EQ(r.pixels(), (std::vector<uint8_t>{5, 5, 5, 6, 8, 8}));
}

TEST(ImageReadersTest, PakPairsAndTheirEnds) {
    auto pak = [](std::vector<uint8_t> stream) {
        std::vector<uint8_t> file = {3, 0, 2, 0};
        file.insert(file.end(), stream.begin(), stream.end());
        return readImage(Format::PAK, file);
    };
    EXPECT_EQ(pak({0, 1, 4, 9}).pixels(), std::vector<uint8_t>(6, 0));
    EXPECT_EQ(pak({0, 0, 2, 9, 0, 3, 1, 2, 3, 0, 1}).pixels(),
              (std::vector<uint8_t>{9, 9, 1, 2, 3, 0}));
    EXPECT_EQ(pak({200, 4, 0, 5, 1, 1, 1}).pixels(), std::vector<uint8_t>(6, 4)); // cut at w x h
    EXPECT_EQ(pak({2, 6, 0, 9, 1}).pixels(), (std::vector<uint8_t>{6, 6, 1, 0, 0, 0})); // file ends
}

TEST(ImageReadersTest, BmpGreyIndexesAndPalettes) {
    IndexedImage image = makeImage(4, 1, [](int x, int) { return uint8_t(x); });
    const uint8_t colours[] = {255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    std::copy(std::begin(colours), std::end(colours), image.palette.begin());
    const Read grey = readImage(Format::BMP, writeBmp(image, 24));
    ASSERT_TRUE(grey.bitmap);
    EXPECT_EQ(grey.pixels(), (std::vector<uint8_t>{254, 76, 150, 28}));
    EXPECT_EQ(grey.palette[3 * 200], 50); // the grey ramp i / 4
    EXPECT_EQ(grey.palette[3 * 255 + 2], 63);
    const Read mono = readImage(Format::BMP, writeBmp(image, 1));
    ASSERT_TRUE(mono.bitmap);
    EXPECT_EQ(std::vector<uint8_t>(mono.palette.begin(), mono.palette.begin() + 7),
              (std::vector<uint8_t>{0, 0, 0, 255, 255, 255, 0}));
}

TEST(ImageReadersTest, BmpRowsAreStoredBottomUp) {
    const IndexedImage image = makeImage(2, 3, [](int x, int y) { return uint8_t(10 * y + x); });
    const std::vector<uint8_t> file = writeBmp(image, 8);
    EXPECT_EQ(file[54 + 1024], 20); // the first row in the file is the bottom one
    EXPECT_EQ(file[54 + 1024 + 4], 10);
}

TEST(ImageReadersTest, IffCmapShorterThanTheTableLeavesTheRestBlack) {
    const IndexedImage image = testImage(255);
    for (size_t length : {size_t(0), size_t(3), size_t(7)}) {
        const Read r = readImage(Format::IFF, writeIff(image, {.pbm = true, .cmapLength = length}));
        ASSERT_TRUE(r.bitmap) << length;
        for (size_t i = 0; i < 768; ++i)
            ASSERT_EQ(r.palette[i], i < length ? image.palette[i] >> 2 : 0) << length << " " << i;
    }
}

TEST(ImageReadersTest, ReadersOpenTheirFilesThroughTheLibrary) {
    const IndexedImage image = testImage(255);
    // The BMP's data offset counts from its own first byte, not the library's.
    const std::vector<uint8_t> library =
        writeLibrary({{"PAD", std::vector<uint8_t>(33, 1)},
                      {"A.PCX", writePcx(image)},
                      {"A.LBM", writeIff(image, {.compress = true})},
                      {"A.BMP", writeBmp(image, 8)},
                      {"A.BLK", writeBlk(image)},
                      {"A.PAK", writePak(image)}});
    KX_SetDataLibraryBytes(library.data(), library.size());
    uint8_t palette[768];
    const std::function<KX_Bitmap*()> loads[] = {
        [&] { return KX_LoadPCX("a.pcx", palette); }, [&] { return KX_LoadIFF("a.lbm", palette); },
        [&] { return KX_LoadBMP("a.bmp", palette); }, [&] { return KX_LoadBLK("a.blk"); },
        [&] { return KX_LoadPAK("a.pak"); }};
    for (const auto& load : loads) {
        OwnedBitmap bitmap(load());
        ASSERT_TRUE(bitmap);
        const uint8_t* p = KX_BitmapPixels(bitmap.get());
        EXPECT_EQ(std::vector<uint8_t>(p, p + image.pixels.size()), image.pixels);
    }
    EXPECT_FALSE(KX_LoadPCX("b.pcx", palette));
    KX_SetDataLibrary(nullptr);
}

// Bytes to patch into a good file, or a length to cut it to.
struct Damage {
    const char* what;
    Format format;
    std::vector<uint8_t> file;
};

std::vector<uint8_t> patched(std::vector<uint8_t> file, size_t at, std::vector<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), file.begin() + long(at));
    return file;
}

std::vector<uint8_t> cut(std::vector<uint8_t> file, size_t size) {
    file.resize(size);
    return file;
}

TEST(ImageReadersTest, HostileFilesGiveNone) {
    const IndexedImage image = testImage(255, 16, 4);
    const std::vector<uint8_t> pcx = writePcx(image), bmp = writeBmp(image, 8),
                               bmp24 = writeBmp(image, 24), blk = writeBlk(image),
                               pak = writePak(image), ilbm = writeIff(image, {.compress = true}),
                               pbm = writeIff(image, {.pbm = true});
    // In the IFF files: BMHD data at 20, CMAP's length at 44, BODY's at 820.
    const Damage cases[] = {
        {"PCX signature", Format::PCX, patched(pcx, 0, {11})},
        {"PCX 4 bits", Format::PCX, patched(pcx, 3, {4})},
        {"PCX xmax < xmin", Format::PCX, patched(pcx, 4, {20, 0})},
        {"PCX above 4096", Format::PCX, patched(pcx, 8, {0x00, 0x10})},
        {"PCX ends in the header", Format::PCX, cut(pcx, 100)},
        {"PCX ends in a row", Format::PCX, cut(pcx, 140)},
        {"PCX ends in the palette", Format::PCX, cut(pcx, pcx.size() - 1)},
        {"BMP signature", Format::BMP, patched(bmp, 0, {'B', 'A'})},
        {"BMP compressed", Format::BMP, patched(bmp, 30, {1})},
        {"BMP 16 bits", Format::BMP, patched(bmp, 28, {16})},
        {"BMP width 0", Format::BMP, patched(bmp, 18, {0})},
        {"BMP top-down", Format::BMP, patched(bmp, 22, {0xFC, 0xFF, 0xFF, 0xFF})},
        {"BMP above 4096", Format::BMP, patched(bmp, 18, {0x01, 0x10})},
        {"BMP ends in the header", Format::BMP, cut(bmp, 53)},
        {"BMP ends in the colours", Format::BMP, cut(bmp, 600)},
        {"BMP ends in a row", Format::BMP, cut(bmp24, bmp24.size() - 1)},
        {"BMP data beyond the end", Format::BMP, patched(bmp, 10, {0, 0, 1})},
        {"BLK height 0", Format::BLK, patched(blk, 2, {0, 0})},
        {"BLK ends in a row", Format::BLK, cut(blk, blk.size() - 1)},
        {"PAK ends in the header", Format::PAK, cut(pak, 3)},
        {"PAK width 0", Format::PAK, patched(pak, 0, {0, 0})},
        {"IFF signature", Format::IFF, patched(ilbm, 0, {'F', 'O', 'R', 'X'})},
        {"IFF form type", Format::IFF, patched(ilbm, 8, {'A', 'C', 'B', 'M'})},
        {"IFF planes above 8", Format::IFF, patched(ilbm, 28, {9})},
        {"IFF width 0", Format::IFF, patched(ilbm, 20, {0, 0})},
        {"IFF above 4096", Format::IFF, patched(ilbm, 22, {0x10, 0x01})},
        {"IFF ends before BODY", Format::IFF, cut(ilbm, 300)},
        {"IFF ends in the header", Format::IFF, cut(ilbm, 10)},
        {"IFF ends in a row", Format::IFF, cut(ilbm, ilbm.size() - 3)},
        {"IFF ends in a raw row", Format::IFF, cut(pbm, pbm.size() - 1)},
        {"IFF chunk past the end", Format::IFF, patched(ilbm, 44, {0x7F, 0xFF, 0xFF, 0xF0})},
        {"IFF short BMHD", Format::IFF, patched(ilbm, 16, {0, 0, 0, 4})},
    };
    for (const Damage& c : cases) EXPECT_FALSE(readImage(c.format, c.file).bitmap) << c.what;
    // The undamaged files read, so each case above fails for its own damage.
    for (const auto& [format, file] : {std::pair{Format::PCX, pcx},
                                       {Format::BMP, bmp},
                                       {Format::BMP, bmp24},
                                       {Format::BLK, blk},
                                       {Format::PAK, pak},
                                       {Format::IFF, ilbm},
                                       {Format::IFF, pbm}})
        EXPECT_TRUE(readImage(format, file).bitmap);
}

TEST(ImageReadersTest, WritersCodeRunsAsTheFormatsHaveThem) {
    // ByteRun1: a run of n as 257 - n, literals as their count - 1.
    const uint8_t row[] = {1, 1, 1, 2, 3, 4, 4};
    EXPECT_EQ(packByteRun1(row, sizeof row), (std::vector<uint8_t>{0xFE, 1, 1, 2, 3, 0xFF, 4}));
    // PAK: runs as (count, value), literals behind (0, count), a lone byte as
    // a run of one (a (0, 1) pair would end the image), then the end pair.
    const IndexedImage image = makeImage(7, 1, [&](int x, int) { return row[x]; });
    EXPECT_EQ(writePak(image), (std::vector<uint8_t>{7, 0, 1, 0, 3, 1, 0, 2, 2, 3, 2, 4, 0, 1}));
}

TEST(ImageReadersTest, RunsPastTheRowAreCut) {
    // ByteRun1 runs longer than a PBM row of 4 bytes: the rest is dropped and
    // the next row starts with the next control byte.
    IndexedImage image = makeImage(4, 2, [](int, int) { return uint8_t(0); });
    const std::vector<uint8_t> packed = writeIff(image, {.pbm = true, .compress = true});
    const std::vector<uint8_t> body = {0x81, 3, 5, 1, 2, 3, 4, 5, 6};
    // Without its packed body (two runs of four zeros).
    std::vector<uint8_t> file(packed.begin(), packed.end() - 4);
    file.back() = uint8_t(body.size()); // BODY's length, low byte
    file.insert(file.end(), body.begin(), body.end());
    file.push_back(0);
    const Read r = readImage(Format::IFF, file);
    ASSERT_TRUE(r.bitmap);
    EXPECT_EQ(r.pixels(), (std::vector<uint8_t>{3, 3, 3, 3, 1, 2, 3, 4}));
}

} // namespace
