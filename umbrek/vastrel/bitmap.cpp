#include "umbrek/vastrel/bitmap.h"

#include <cstdlib>

KX_Bitmap* KX_NewBitmap(int width, int height) {
    if (width < 0 || height < 0 || width > 0xFFFF || height > 0xFFFF) return nullptr;
    void* block = std::calloc(1, sizeof(KX_Bitmap) + size_t(width) * size_t(height) + 1);
    if (!block) return nullptr;
    auto* bitmap = static_cast<KX_Bitmap*>(block);
    bitmap->width = uint16_t(width);
    bitmap->height = uint16_t(height);
    return bitmap;
}

void KX_FreeBitmap(KX_Bitmap* bitmap) {
    std::free(bitmap);
}

int KX_BitmapWidth(const KX_Bitmap* bitmap) {
    return bitmap ? bitmap->width : 0;
}

int KX_BitmapHeight(const KX_Bitmap* bitmap) {
    return bitmap ? bitmap->height : 0;
}

uint8_t* KX_BitmapPixels(KX_Bitmap* bitmap) {
    return reinterpret_cast<uint8_t*>(bitmap) + sizeof(KX_Bitmap);
}

const uint8_t* KX_BitmapPixels(const KX_Bitmap* bitmap) {
    return reinterpret_cast<const uint8_t*>(bitmap) + sizeof(KX_Bitmap);
}
