// Writes the engine's image formats from one indexed image, so that readers
// are tested on files made for each case: PCX (run-length rows, palette),
// BMP (1, 4, 8, 24 bits), IFF (ILBM or PBM, raw or ByteRun1, a CMAP of any
// length), PAK and BLK. Palettes here are 8-bit components, as files hold them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace umbrek::test {

struct IndexedImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;        // width x height, rows from the top
    std::array<uint8_t, 768> palette{}; // red, green, blue, 0 to 255
};

// An image of the given size with pixel (x, y) = f(x, y) and a grey palette.
template <class F>
IndexedImage makeImage(int width, int height, F f) {
    IndexedImage image{width, height, std::vector<uint8_t>(size_t(width) * size_t(height)), {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels[size_t(y) * size_t(width) + size_t(x)] = f(x, y);
    for (int i = 0; i < 768; ++i) image.palette[size_t(i)] = uint8_t(i / 3);
    return image;
}

struct PcxOptions {
    int bytesPerLine = 0; // 0: the width; more pads each line with zeros
};
std::vector<uint8_t> writePcx(const IndexedImage& image, const PcxOptions& options = {});

// BITS 1, 4 or 8 write the indexes (and for 4 and 8 the palette); 24 writes
// each pixel's palette colour.
std::vector<uint8_t> writeBmp(const IndexedImage& image, int bits);

struct IffOptions {
    bool pbm = false;        // "PBM " (chunky with 8 planes) instead of "ILBM"
    int planes = 8;          // ILBM: 1 to 8
    bool compress = false;   // ByteRun1 rows
    size_t cmapLength = 768; // shorter cuts the palette, longer pads it
};
std::vector<uint8_t> writeIff(const IndexedImage& image, const IffOptions& options = {});
// ByteRun1: runs of equal bytes and literal stretches, at most 128 each.
std::vector<uint8_t> packByteRun1(const uint8_t* bytes, size_t size);

std::vector<uint8_t> writePak(const IndexedImage& image);
std::vector<uint8_t> writeBlk(const IndexedImage& image);

} // namespace umbrek::test
