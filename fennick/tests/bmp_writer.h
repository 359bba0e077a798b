// Writes bitmap files for the tests, the fuzz seeds and the benchmark: a
// well-formed file by default, with any header field overridable so that one
// writer also makes the malformed ones.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace fennick::testing {

struct BmpSpec {
    int width = 3;
    int height = 2;
    int bitsPerPixel = 24;
    // Pixel (x, y) of row y in file order as blue, green, red; 8-bit files
    // use the blue byte as the palette index.
    std::uint32_t (*pixel)(int x, int y) = nullptr;
    bool zeroSizeImage = false;              // leave the image size field 0
    std::optional<std::uint32_t> dataOffset; // in place of 14 + info + palette
    std::optional<std::uint32_t> sizeImage;  // in place of the padded size
    std::uint32_t infoSize = 40;
    std::optional<std::size_t> truncateTo; // cut the file
};

std::vector<std::uint8_t> makeBmp(const BmpSpec& spec);

} // namespace fennick::testing
