// Texture files for tests, seeds and benchmarks: a BMP with any header the
// loader may meet, and pixels from a function of (stored row, column).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace yarnot::test {

struct BmpLayout {
    uint32_t headerSize = 40;
    int32_t width = 256, height = 256;
    uint16_t planes = 1, bits = 24;
    uint32_t compression = 0;
    uint32_t pixelOffset = 0; // 0: right behind the header
    char magic[2] = {'B', 'M'};
    // 0x00RRGGBB of a pixel by its stored row (0 = first in the file) and column.
    std::function<uint32_t(int row, int column)> pixel = [](int row, int column) {
        return uint32_t(row << 8 | column);
    };
};

inline void put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = uint8_t(v);
    out[at + 1] = uint8_t(v >> 8);
}

inline void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    put16(out, at, v);
    put16(out, at + 2, v >> 16);
}

// Always 65,536 pixels of 3 bytes, whatever the header claims.
inline std::vector<uint8_t> MakeBmp(const BmpLayout& layout) {
    uint32_t offset = layout.pixelOffset ? layout.pixelOffset : 14 + layout.headerSize;
    std::vector<uint8_t> out(offset + 256 * 256 * 3, 0xAA);
    out[0] = uint8_t(layout.magic[0]);
    out[1] = uint8_t(layout.magic[1]);
    put32(out, 2, uint32_t(out.size()));
    put32(out, 10, offset);
    put32(out, 14, layout.headerSize);
    if (layout.headerSize == 12) {
        put16(out, 18, uint32_t(layout.width));
        put16(out, 20, uint32_t(layout.height));
        put16(out, 22, layout.planes);
        put16(out, 24, layout.bits);
    } else {
        put32(out, 18, uint32_t(layout.width));
        put32(out, 22, uint32_t(layout.height));
        put16(out, 26, layout.planes);
        put16(out, 28, layout.bits);
        put32(out, 30, layout.compression);
    }
    for (int row = 0; row < 256; ++row)
        for (int column = 0; column < 256; ++column) {
            uint32_t rgb = layout.pixel(row, column);
            size_t at = offset + size_t(row * 256 + column) * 3;
            out[at] = uint8_t(rgb);
            out[at + 1] = uint8_t(rgb >> 8);
            out[at + 2] = uint8_t(rgb >> 16);
        }
    return out;
}

} // namespace yarnot::test
