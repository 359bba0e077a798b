// Small BMP files for the tests, the benchmark and the fuzz seeds: a picture
// of palette indices (or 0x00RRGGBB pixels for 24 bits) written bottom-up
// with the published row padding, or RLE8 data given as bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace sabrith::test {

struct BmpPicture {
    int width = 0;
    int height = 0;
    int bits = 8;                  // 1, 4, 8 or 24
    std::vector<uint32_t> palette; // 0x00RRGGBB entries
    std::vector<uint32_t> pixels;  // row-major, top row first
    bool topDown = false;          // negative height in the header
};

std::vector<uint8_t> writeBmp(const BmpPicture& picture);
// An RLE8 file whose pixel data is `data` as given.
std::vector<uint8_t> writeRle8Bmp(int width, int height, const std::vector<uint32_t>& palette,
                                  const std::vector<uint8_t>& data);
// RLE8 data for a picture of indices: runs of equal bytes, end of line after
// every row and end of bitmap at the end.
std::vector<uint8_t> encodeRle8(int width, int height, const std::vector<uint8_t>& indices);

// Header fields patched in place, for broken files.
void put32(std::vector<uint8_t>& file, std::size_t offset, uint32_t value);
void put16(std::vector<uint8_t>& file, std::size_t offset, uint16_t value);

} // namespace sabrith::test
