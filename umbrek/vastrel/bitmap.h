// The engine's 8-bit bitmap: width and height (16-bit each), then width x
// height colour indexes row by row from the top and one spare byte, all in
// one zero-filled block. Palettes are 256 entries of red, green, blue with
// 6-bit components (0 to 63).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct KX_Bitmap {
    uint16_t width;
    uint16_t height;
    // The pixels follow in the same block (KX_BitmapPixels).
};
static_assert(sizeof(KX_Bitmap) == 4, "the pixels start right after the two sizes");

constexpr size_t kPaletteSize = 768;

// A zero-filled bitmap, or none when memory runs out.
KX_Bitmap* KX_NewBitmap(int width, int height);
void KX_FreeBitmap(KX_Bitmap* bitmap);
int KX_BitmapWidth(const KX_Bitmap* bitmap);
int KX_BitmapHeight(const KX_Bitmap* bitmap);
uint8_t* KX_BitmapPixels(KX_Bitmap* bitmap);
const uint8_t* KX_BitmapPixels(const KX_Bitmap* bitmap);

// A bitmap owned in C++ code (readers, tests): freed with KX_FreeBitmap.
struct KX_BitmapFree {
    void operator()(KX_Bitmap* bitmap) const { KX_FreeBitmap(bitmap); }
};
using OwnedBitmap = std::unique_ptr<KX_Bitmap, KX_BitmapFree>;
