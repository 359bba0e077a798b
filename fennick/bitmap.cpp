#include "fennick/bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace fennick {

namespace {

constexpr std::uint16_t bmpMagic = 19778; // "BM"
constexpr std::uint32_t coreHeaderSize = 12;
constexpr std::uint32_t infoHeaderSize = 40;

std::uint16_t le16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// Reads exactly count bytes, growing the buffer only as data arrives, so that
// a size field claiming gigabytes costs no more than the bytes really there.
bool readExactly(ByteSource& source, std::uint64_t count, std::vector<std::uint8_t>& out) {
    constexpr std::size_t chunk = 1 << 16;
    out.clear();
    while (out.size() < count) {
        std::size_t want = std::size_t(std::min<std::uint64_t>(chunk, count - out.size()));
        std::size_t at = out.size();
        out.resize(at + want);
        std::size_t got = source.read(out.data() + at, want);
        if (got < want) return false;
    }
    return true;
}

bool knownDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint64_t sourceStride(int width, int bits) {
    return (std::uint64_t(width) * std::uint64_t(bits) + 31) / 32 * 4;
}

std::uint64_t rgbStride(int width) {
    return (std::uint64_t(width) * 3 + 3) & ~std::uint64_t(3);
}

} // namespace

std::size_t MemorySource::read(void* into, std::size_t count) {
    std::size_t n = std::min(count, size_ - pos_);
    if (n) std::memcpy(into, data_ + pos_, n);
    pos_ += n;
    return n;
}

std::size_t FileSource::read(void* into, std::size_t count) {
    return file_ ? std::fread(into, 1, count, file_) : 0;
}

std::optional<BmpImage> readBmp(ByteSource& source) {
    std::uint8_t header[14];
    if (source.read(header, sizeof header) != sizeof header) return std::nullopt;
    if (le16(header) != bmpMagic) return std::nullopt;
    std::uint32_t offset = le32(header + 10);
    if (offset < 14 + coreHeaderSize || offset - 14 > bmpMaxInfoBlock) return std::nullopt;

    BmpImage image;
    if (!readExactly(source, offset - 14, image.infoBlock)) return std::nullopt;
    const std::uint8_t* info = image.infoBlock.data();
    std::uint32_t infoSize = le32(info);
    std::uint32_t sizeImage = 0;
    std::int64_t height = 0;
    if (infoSize == coreHeaderSize) {
        image.width = le16(info + 4);
        height = le16(info + 6);
        image.bitsPerPixel = le16(info + 10);
    } else if (infoSize >= infoHeaderSize && infoSize <= image.infoBlock.size()) {
        image.width = std::int32_t(le32(info + 4));
        height = std::int32_t(le32(info + 8));
        image.bitsPerPixel = le16(info + 14);
        image.compression = le32(info + 16);
        sizeImage = le32(info + 20);
    } else {
        return std::nullopt;
    }
    if (image.width <= 0 || image.width > bmpMaxSide || height == 0 ||
        std::abs(height) > bmpMaxSide || !knownDepth(image.bitsPerPixel))
        return std::nullopt;
    image.height = int(std::abs(height));

    // A zero size field means the padded rows, which is what the pixel block
    // must hold for an uncompressed image whatever the field says.
    std::uint64_t rows =
        sourceStride(image.width, image.bitsPerPixel) * std::uint64_t(image.height);
    std::uint64_t count = sizeImage ? sizeImage : rows;
    if (image.compression == 0 && count < rows) return std::nullopt;
    if (!readExactly(source, count, image.pixels)) return std::nullopt;
    return image;
}

std::optional<BmpImage> readBmpFile(const char* path) {
    FileSource file(path);
    if (!file.isOpen()) return std::nullopt;
    return readBmp(file);
}

std::optional<RgbImage> toRgb(const BmpImage& image) {
    if (image.width <= 0 || image.height <= 0 || image.width > bmpMaxSide ||
        image.height > bmpMaxSide)
        return std::nullopt;
    RgbImage out;
    out.width = image.width;
    out.height = image.height;
    out.stride = int(rgbStride(image.width));
    out.rgb.assign(std::size_t(out.stride) * std::size_t(out.height), 0);
    if (image.compression != 0 || image.bitsPerPixel != 24) return out;
    if (image.pixels.size() < out.rgb.size()) return std::nullopt;
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* src = image.pixels.data() + std::size_t(y) * std::size_t(out.stride);
        std::uint8_t* dst = out.rgb.data() + std::size_t(y) * std::size_t(out.stride);
        for (int x = 0; x < out.width; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return out;
}

} // namespace fennick
