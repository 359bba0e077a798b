// IFF pictures, ILBM (planar) and PBM (chunky with 8 planes): big-endian
// chunks padded to even lengths; BMHD gives the size, CMAP the colours and
// BODY, which ends the walk, the rows, raw or ByteRun1-coded. Rows are
// word-aligned as the format has them: each ILBM plane row and each PBM row
// is padded to an even number of bytes.
#include "umbrek/vastrel/image_readers.h"

#include <cstring>
#include <vector>

namespace {

uint32_t readUint32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

bool isId(const uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

// One row of ROW bytes: a control byte n below 128 brings n + 1 literal
// bytes, above 128 the next byte 257 - n times, 128 nothing. Runs are cut at
// the row's end (their input is still consumed).
bool unpackRow(ByteReader& in, uint8_t* row, size_t size) {
    size_t at = 0;
    while (at < size) {
        const int n = in.next();
        if (n < 0) return false;
        if (n < 128) {
            for (int i = 0; i <= n; ++i) {
                const int literal = in.next();
                if (literal < 0) return false;
                if (at < size) row[at++] = uint8_t(literal);
            }
        } else if (n > 128) {
            const int value = in.next();
            if (value < 0) return false;
            size_t count = size_t(257 - n);
            if (count > size - at) count = size - at;
            std::memset(row + at, value, count);
            at += count;
        }
    }
    return true;
}

} // namespace

KX_Bitmap* KX_ReadIFF(DataStream& stream, uint8_t* palette) {
    // A short CMAP leaves the rest of the palette black.
    std::memset(palette, 0, kPaletteSize);
    ByteReader in(stream);
    uint8_t form[12];
    if (!in.read(form, sizeof form)) return nullptr;
    if (!isId(form, "FORM") && !isId(form, "LIST") && !isId(form, "CAT ")) return nullptr;
    const bool planarForm = isId(form + 8, "ILBM");
    if (!planarForm && !isId(form + 8, "PBM ")) return nullptr;

    int width = 0, height = 0, planes = 0, compression = 0;
    for (;;) {
        uint8_t chunk[8];
        if (!in.read(chunk, sizeof chunk)) return nullptr;
        const uint64_t length = (uint64_t(readUint32(chunk + 4)) + 1) & ~uint64_t(1);
        if (isId(chunk, "BODY")) break;
        uint64_t used = 0;
        if (isId(chunk, "BMHD")) {
            uint8_t bmhd[20];
            if (length < sizeof bmhd || !in.read(bmhd, sizeof bmhd)) return nullptr;
            width = bmhd[0] << 8 | bmhd[1];
            height = bmhd[2] << 8 | bmhd[3];
            planes = bmhd[8];
            compression = bmhd[10];
            used = sizeof bmhd;
        } else if (isId(chunk, "CMAP")) {
            used = length < kPaletteSize ? length : kPaletteSize;
            if (!in.read(palette, size_t(used))) return nullptr;
        }
        if (!in.skip(length - used)) return nullptr;
    }
    for (size_t i = 0; i < kPaletteSize; ++i) palette[i] >>= 2;
    if (planes > 8) return nullptr;
    OwnedBitmap bitmap(newImageBitmap(width, height));
    if (!bitmap) return nullptr;

    const bool planar = planarForm || planes < 8;
    const size_t planeRow = size_t((width + 15) / 16 * 2);
    const size_t rowSize = planar ? planeRow * size_t(planes) : size_t((width + 1) & ~1);
    std::vector<uint8_t> row(rowSize);
    uint8_t* out = KX_BitmapPixels(bitmap.get());
    for (int y = 0; y < height; ++y, out += width) {
        if (compression != 0 ? !unpackRow(in, row.data(), rowSize) : !in.read(row.data(), rowSize))
            return nullptr;
        if (!planar) {
            std::memcpy(out, row.data(), size_t(width));
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const int bit = 7 - (x & 7);
            uint8_t pixel = 0;
            for (int j = 0; j < planes; ++j)
                pixel |= uint8_t(((row[size_t(j) * planeRow + size_t(x >> 3)] >> bit) & 1) << j);
            out[x] = pixel;
        }
    }
    return bitmap.release();
}
