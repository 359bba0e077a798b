// BLK: 16-bit width and height, then the pixels as they stand.
#include "umbrek/vastrel/image_readers.h"

KX_Bitmap* KX_ReadBLK(DataStream& stream) {
    uint8_t header[4];
    if (stream.read(header, sizeof header) != sizeof header) return nullptr;
    OwnedBitmap bitmap(newImageBitmap(header[0] | header[1] << 8, header[2] | header[3] << 8));
    if (!bitmap) return nullptr;
    const size_t size = size_t(bitmap->width) * bitmap->height;
    if (stream.read(KX_BitmapPixels(bitmap.get()), size) != size) return nullptr;
    return bitmap.release();
}
