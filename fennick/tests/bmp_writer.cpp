#include "fennick/tests/bmp_writer.h"

namespace fennick::testing {

namespace {

void put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

} // namespace

std::vector<std::uint8_t> makeBmp(const BmpSpec& spec) {
    // Impossible sizes go into the header only; the rows written follow sane ones.
    int rows = spec.height < 0 ? (spec.height < -65536 ? 0 : -spec.height) : spec.height;
    int width = spec.width < 0 ? 0 : spec.width;
    std::uint32_t stride = std::uint32_t((width * spec.bitsPerPixel + 31) / 32 * 4);
    std::uint32_t paletteBytes = spec.bitsPerPixel <= 8 ? 4u << spec.bitsPerPixel : 0;
    std::uint32_t offset = spec.dataOffset.value_or(14 + spec.infoSize + paletteBytes);
    std::uint32_t imageSize = spec.sizeImage.value_or(spec.zeroSizeImage ? 0 : stride * rows);

    std::vector<std::uint8_t> b;
    put16(b, 0x4D42);
    put32(b, 14 + spec.infoSize + paletteBytes + stride * rows);
    put32(b, 0);
    put32(b, offset);
    put32(b, spec.infoSize);
    put32(b, std::uint32_t(spec.width));
    put32(b, std::uint32_t(spec.height));
    put16(b, 1);
    put16(b, std::uint32_t(spec.bitsPerPixel));
    put32(b, 0); // uncompressed
    put32(b, imageSize);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    while (b.size() < 14 + spec.infoSize) b.push_back(0);
    for (std::uint32_t i = 0; i < paletteBytes / 4; ++i) put32(b, i * 0x010101u);
    for (int y = 0; y < rows; ++y) {
        std::size_t start = b.size();
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = spec.pixel ? spec.pixel(x, y) : 0x808080u;
            if (spec.bitsPerPixel == 24) {
                b.push_back(std::uint8_t(p));
                b.push_back(std::uint8_t(p >> 8));
                b.push_back(std::uint8_t(p >> 16));
            } else if (spec.bitsPerPixel == 8) {
                b.push_back(std::uint8_t(p));
            }
        }
        while (b.size() < start + stride) b.push_back(0xEE); // padding, never shown
    }
    if (spec.truncateTo && *spec.truncateTo < b.size()) b.resize(*spec.truncateTo);
    return b;
}

} // namespace fennick::testing
