// Windows bitmaps, uncompressed, 1, 4, 8 or 24 bits per pixel: a 54-byte
// header, the colour table for 4 and 8 bits, rows bottom-up padded to 4
// bytes. 24-bit pixels become grey indexes over a grey ramp.
#include "umbrek/vastrel/image_readers.h"

#include <cstring>
#include <vector>

namespace {

uint32_t readUint32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint8_t greyIndex(int blue, int green, int red) {
    return uint8_t(red * 30 / 100 + green * 59 / 100 + blue * 11 / 100);
}

} // namespace

KX_Bitmap* KX_ReadBMP(DataStream& stream, uint8_t* palette) {
    // The data offset counts from the start of the file or library member.
    const int64_t start = stream.tell();
    uint8_t header[54];
    if (stream.read(header, sizeof header) != sizeof header) return nullptr;
    if (header[0] != 'B' || header[1] != 'M' || readUint32(header + 30) != 0) return nullptr;
    const int bits = header[28] | header[29] << 8;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return nullptr;
    // Signed: a top-down bitmap's negative height is refused with the rest.
    const int32_t width = int32_t(readUint32(header + 18));
    const int32_t height = int32_t(readUint32(header + 22));
    OwnedBitmap bitmap(newImageBitmap(width, height));
    if (!bitmap) return nullptr;

    std::memset(palette, 0, kPaletteSize);
    std::memset(palette + 3, 255, 3);
    if (bits == 4 || bits == 8) {
        const int colours = 1 << bits;
        uint8_t table[256 * 4];
        if (stream.read(table, size_t(colours) * 4) != size_t(colours) * 4) return nullptr;
        for (int i = 0; i < colours; ++i) {
            palette[i * 3] = table[i * 4 + 2] >> 2;
            palette[i * 3 + 1] = table[i * 4 + 1] >> 2;
            palette[i * 3 + 2] = table[i * 4] >> 2;
        }
    } else if (bits == 24) {
        for (int i = 0; i < 256; ++i) std::memset(palette + i * 3, i / 4, 3);
    }

    if (!stream.seek(start + readUint32(header + 10))) return nullptr;
    const size_t rowSize = (size_t(width) * size_t(bits) + 31) / 32 * 4;
    std::vector<uint8_t> row(rowSize);
    for (int y = height - 1; y >= 0; --y) {
        if (stream.read(row.data(), rowSize) != rowSize) return nullptr;
        uint8_t* out = KX_BitmapPixels(bitmap.get()) + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x) {
            switch (bits) {
            case 1: out[x] = (row[size_t(x >> 3)] >> (7 - (x & 7))) & 1; break;
            case 4: out[x] = (row[size_t(x >> 1)] >> (x & 1 ? 0 : 4)) & 15; break;
            case 8: out[x] = row[size_t(x)]; break;
            default:
                out[x] =
                    greyIndex(row[size_t(x) * 3], row[size_t(x) * 3 + 1], row[size_t(x) * 3 + 2]);
            }
        }
    }
    return bitmap.release();
}
