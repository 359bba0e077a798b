// PAK: 16-bit width and height, then (count, value) pairs: a run when count
// is not 0; (0, 1) ends the image, (0, n > 1) brings n literal bytes and
// (0, 0) nothing. The end of the file ends the image as well.
#include "umbrek/vastrel/image_readers.h"

#include <cstring>

KX_Bitmap* KX_ReadPAK(DataStream& stream) {
    uint8_t header[4];
    if (stream.read(header, sizeof header) != sizeof header) return nullptr;
    OwnedBitmap bitmap(newImageBitmap(header[0] | header[1] << 8, header[2] | header[3] << 8));
    if (!bitmap) return nullptr;
    uint8_t* out = KX_BitmapPixels(bitmap.get());
    const size_t size = size_t(bitmap->width) * bitmap->height;
    size_t at = 0;
    ByteReader in(stream);
    while (at < size) {
        const int count = in.next();
        const int value = in.next();
        if (count < 0 || value < 0) break;
        if (count > 0) {
            const size_t n = size - at < size_t(count) ? size - at : size_t(count);
            std::memset(out + at, value, n);
            at += n;
        } else if (value == 1) {
            break;
        } else {
            for (int i = 0; i < value && at < size; ++i) {
                const int literal = in.next();
                if (literal < 0) return bitmap.release();
                out[at++] = uint8_t(literal);
            }
        }
    }
    return bitmap.release();
}
