// PCX, 8 bits per pixel: a 128-byte header, run-length coded rows of
// bytes-per-line bytes each (the first width kept), a marker byte and a
// 768-byte palette.
#include "umbrek/vastrel/image_readers.h"

#include <cstring>

namespace {

int readUint16(const uint8_t* p) {
    return p[0] | p[1] << 8;
}

} // namespace

KX_Bitmap* KX_ReadPCX(DataStream& stream, uint8_t* palette) {
    uint8_t header[128];
    if (stream.read(header, sizeof header) != sizeof header) return nullptr;
    if (header[0] != 10 || header[3] != 8) return nullptr;
    const int width = readUint16(header + 8) - readUint16(header + 4) + 1;
    const int height = readUint16(header + 10) - readUint16(header + 6) + 1;
    const int bytesPerLine = readUint16(header + 66);
    OwnedBitmap bitmap(newImageBitmap(width, height));
    if (!bitmap) return nullptr;

    ByteReader in(stream);
    uint8_t* row = KX_BitmapPixels(bitmap.get());
    // Only the first width bytes of a row are kept; a shorter line leaves the
    // rest of the row 0.
    const int kept = bytesPerLine < width ? bytesPerLine : width;
    for (int y = 0; y < height; ++y, row += width) {
        int x = 0;
        while (x < bytesPerLine) {
            int value = in.next();
            if (value < 0) return nullptr;
            int count = 1;
            if ((value & 0xC0) == 0xC0) {
                count = value & 0x3F;
                value = in.next();
                if (value < 0) return nullptr;
            }
            // A run that passes the end of the line is cut there.
            if (count > bytesPerLine - x) count = bytesPerLine - x;
            if (x < kept) std::memset(row + x, value, size_t(x + count > kept ? kept - x : count));
            x += count;
        }
    }
    uint8_t colours[1 + kPaletteSize];
    if (!in.read(colours, sizeof colours)) return nullptr;
    for (size_t i = 0; i < kPaletteSize; ++i) palette[i] = colours[1 + i] >> 2;
    return bitmap.release();
}
