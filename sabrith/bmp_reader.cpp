#include "sabrith/bmp_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <vector>

namespace sabrith {
namespace {

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

struct BmpHeader {
    uint32_t pixelOffset = 0;
    int64_t width = 0;
    int64_t height = 0;
    uint32_t planes = 0;
    uint32_t bits = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
};

bool readHeader(ByteSource& source, BmpHeader& header) {
    uint8_t file[14];
    if (!source.read(file, sizeof file) || le16(file) != 0x4D42) return false;
    header.pixelOffset = le32(file + 10);
    uint8_t sizeBytes[4];
    if (!source.read(sizeBytes, 4)) return false;
    const uint32_t infoSize = le32(sizeBytes);
    // Only the fields the header's size covers are taken; the rest stay 0.
    std::array<uint8_t, 40> info{};
    const uint32_t covered = std::min<uint32_t>(infoSize, 40);
    if (covered > 4 && !source.read(info.data() + 4, covered - 4)) return false;
    if (infoSize > 40 && !source.seek(14 + uint64_t(infoSize))) return false;
    if (infoSize > 12) {
        header.width = int32_t(le32(&info[4]));
        header.height = int32_t(le32(&info[8]));
        header.planes = le16(&info[12]);
        header.bits = le16(&info[14]);
        header.compression = le32(&info[16]);
        header.colorsUsed = le32(&info[32]);
    } else {
        header.width = le16(&info[4]);
        header.height = le16(&info[6]);
        header.planes = le16(&info[8]);
        header.bits = le16(&info[10]);
    }
    return true;
}

// Writes palette entries into a row of the image, clipped to the picture's
// width; indices past the palette take its last entry.
struct RowWriter {
    uint32_t* row;
    int width;
    const std::vector<uint32_t>& palette;
    uint32_t colour(uint32_t index) const {
        if (palette.empty()) return 0;
        return palette[std::min<std::size_t>(index, palette.size() - 1)];
    }
    void put(int x, uint32_t index) const {
        if (x >= 0 && x < width) row[x] = colour(index);
    }
};

bool decodeUncompressed(ByteSource& source, const BmpHeader& h, FrameView& view, int width,
                        int height, const std::vector<uint32_t>& palette) {
    const uint64_t rowBits = uint64_t(width) * h.bits;
    const std::size_t rowBytes = std::size_t((rowBits + 31) / 32 * 4);
    std::vector<uint8_t> line(rowBytes);
    for (int y = 0; y < height; ++y) {
        if (!source.read(line.data(), rowBytes)) return false;
        RowWriter out{view.pixels + std::size_t(y) * std::size_t(view.imageWidth), width, palette};
        for (int x = 0; x < width; ++x) {
            switch (h.bits) {
            case 1: out.put(x, (line[std::size_t(x) / 8] >> (7 - x % 8)) & 1); break;
            case 4: out.put(x, (line[std::size_t(x) / 2] >> (x % 2 ? 0 : 4)) & 15); break;
            case 8: out.put(x, line[std::size_t(x)]); break;
            default: {
                const uint8_t* p = &line[std::size_t(x) * 3];
                out.row[x] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
            }
            }
        }
    }
    return true;
}

bool decodeRle8(ByteSource& source, FrameView& view, int width, int height,
                const std::vector<uint32_t>& palette) {
    int x = 0, y = 0;
    auto rowOf = [&](int row) {
        return RowWriter{view.pixels + std::size_t(row) * std::size_t(view.imageWidth), width,
                         palette};
    };
    auto blankRows = [&](int from) {
        for (int row = from; row < height; ++row)
            std::fill_n(view.pixels + std::size_t(row) * std::size_t(view.imageWidth), width, 0u);
    };
    auto blankRestOfRow = [&] {
        if (x < width) std::fill_n(rowOf(y).row + x, width - x, 0u);
    };
    while (y < height) {
        uint8_t pair[2];
        if (!source.read(pair, 2)) return false;
        if (pair[0] > 0) {
            // Runs past the row's end are cut; the cursor stops at the edge.
            const RowWriter out = rowOf(y);
            for (int i = 0; i < pair[0] && x < width; ++i) out.put(x++, pair[1]);
            continue;
        }
        switch (pair[1]) {
        case 0:
            blankRestOfRow();
            x = 0;
            ++y;
            break;
        case 1:
            blankRestOfRow();
            blankRows(y + 1);
            return true;
        case 2: {
            uint8_t delta[2];
            if (!source.read(delta, 2)) return false;
            // The pixels skipped over become 0, in raster order up to the new
            // position (clipped to the picture).
            const int targetX = x + delta[0], targetY = y + delta[1];
            while (y < targetY && y < height) {
                blankRestOfRow();
                x = 0;
                ++y;
            }
            if (y >= height) return true;
            const int newX = std::max(x, std::min(targetX, width));
            std::fill(rowOf(y).row + x, rowOf(y).row + newX, 0u);
            x = newX;
            break;
        }
        default: {
            uint8_t literal[256];
            const int count = pair[1] + (pair[1] & 1);
            if (!source.read(literal, std::size_t(count))) return false;
            const RowWriter out = rowOf(y);
            for (int i = 0; i < pair[1] && x < width; ++i) out.put(x++, literal[i]);
        }
        }
    }
    return true;
}

} // namespace

bool isBmpFile(ByteSource& source) {
    uint8_t magic[2];
    return source.read(magic, 2) && le16(magic) == 0x4D42;
}

int readBmp(ByteSource& source, DibImage& image) {
    BmpHeader h;
    if (!readHeader(source, h)) return 0;
    if (h.planes != 1 || h.bits > 32 || h.planes * h.bits > 32 || h.compression > 3) return 0;
    bool topDown = false;
    int64_t height = h.height;
    if (height < 0) {
        topDown = true;
        height = -height;
    }
    const int64_t width = h.width;
    if (width <= 0 || height == 0 || width > maxBmpSide || height > maxBmpSide ||
        width * height > maxBmpPixels)
        return 0;
    const bool rle = h.compression == 1;
    if (!rle && (h.compression != 0 || (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24)))
        return 0;
    uint32_t paletteCount = 0;
    if (h.bits < 24) paletteCount = h.colorsUsed ? h.colorsUsed : 1u << h.bits;
    if (paletteCount > maxPaletteEntries) return 0;
    if (!rle) {
        // The rows must be in the file before the image is made for them.
        const uint64_t rowBytes = (uint64_t(width) * h.bits + 31) / 32 * 4;
        if (uint64_t(h.pixelOffset) + rowBytes * uint64_t(height) > source.size()) return 0;
    }
    if (!image.resize(int(width), int(height))) return 0;
    std::vector<uint32_t> palette(paletteCount);
    for (uint32_t& entry : palette) {
        uint8_t bytes[4];
        if (!source.read(bytes, 4)) return 0;
        entry = le32(bytes);
    }
    if (!source.seek(h.pixelOffset)) return 0;
    FrameView view;
    if (!image.lockView(view)) return 0;
    const int w = int(width), rows = int(height);
    const bool decoded = rle ? decodeRle8(source, view, w, rows, palette)
                             : decodeUncompressed(source, h, view, w, rows, palette);
    if (decoded && !topDown) {
        std::vector<uint32_t> swap(static_cast<std::size_t>(w));
        for (int i = 0; i < rows / 2; ++i) {
            uint32_t* a = view.pixels + std::size_t(i) * std::size_t(view.imageWidth);
            uint32_t* b = view.pixels + std::size_t(rows - 1 - i) * std::size_t(view.imageWidth);
            std::copy_n(a, w, swap.data());
            std::copy_n(b, w, a);
            std::copy_n(swap.data(), w, b);
        }
    }
    image.unlockView(view);
    return decoded ? 1 : 0;
}

int loadImageFile(const std::string& path, DibImage& image) {
    const std::size_t dot = path.rfind('.');
    std::string extension = dot == std::string::npos ? "" : path.substr(dot, 4);
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".bmp" && extension != ".gif") {
        image.release();
        return 0;
    }
    FileSource file(path);
    if (!file.isOpen() || !isBmpFile(file) || !file.seek(0)) return 0;
    return readBmp(file, image);
}

} // namespace sabrith
