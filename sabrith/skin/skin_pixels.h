// Making a skin image's pixels: cutting them out of a bitmap, keying out a
// colour, taking an alpha map, and turning a colour into see-through holes
// of the window. Sizes come from skin files, so every image is sized
// through sizeSkinImage, which refuses what no skin needs.
#pragma once

#include "sabrith/bmp_reader.h"
#include "sabrith/dib_image.h"
#include "sabrith/skin/skin_set.h"

#include <cstdint>
#include <string>

namespace sabrith {

// The largest image a skin may ask for, the same bounds as the BMP reader's.
constexpr int64_t maxSkinImageSide = maxBmpSide;
constexpr int64_t maxSkinImagePixels = maxBmpPixels;

// 1 with the image resized (and cleared); 0 when the size is past the
// bounds or cannot be had (the image is then left as it was, or empty).
int sizeSkinImage(DibImage& image, int64_t width, int64_t height);
// The same for an image the set keeps, within the set's budget: its growth
// counts against pixelBudget, and a size past what is left is refused.
int sizeSkinImage(SkinSet& set, DibImage& image, int64_t width, int64_t height);

// Whether a window of at least width x height (a skin's minimum size, or the
// room its insets take) fits on a screen (screen_limits.h). Values of 0 or
// less ask for nothing on their side.
bool skinWindowFits(int64_t width, int64_t height);

// Sums and products of values from skin files, held at the 32-bit ends.
int32_t saturated(int64_t value);

// A Windows colour value from components, each clamped to 0-255.
uint32_t colourFromComponents(int64_t red, int64_t green, int64_t blue);

// (R - r)^2 + (G - g)^2 + (B - b)^2 < 1000 between a pixel 0x??RRGGBB and a
// Windows colour value 0x00BBGGRR.
bool colourMatches(uint32_t pixel, uint32_t colour);

// Sets the bitmap's filePath to `fileName` and reads folder + fileName into
// its pixels; a file that cannot be read, or that the set's budget has no
// room for, leaves 16 x 16 black pixels.
// 1 when the file was read.
int loadBitmapFile(SkinSet& set, SkinBitmap& bitmap, const std::string& folder,
                   const std::string& fileName);

// The image's pixels (kept at their size) become the bitmap's from (x, y),
// opaque. The bitmap is made and its file read (the "Image" key of its
// section) when not yet known; nothing happens for an empty name or one of
// another kind.
void fillImageFromBitmap(SkinSet& set, DibImage& pixels, const std::string& bitmapName, int32_t x,
                         int32_t y);

// Over the image's width x height: matching pixels become 0 in all four
// bytes, the others opaque (fourth byte 255).
void maskByColour(DibImage& pixels, int32_t width, int32_t height, uint32_t colour);
// The image's fourth bytes from the mean of R, G, B of its alpha bitmap.
void applyAlphaBitmap(SkinSet& set, SkinImage& image);
// Pixels matching seeThroughColour become 0 and holes of cutOutRegion.
void buildSeeThroughRegion(SkinImage& image);

} // namespace sabrith
