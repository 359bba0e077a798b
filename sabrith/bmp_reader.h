// Reading BMP files into a DibImage: uncompressed 1-, 4-, 8- and 24-bit
// pixels and RLE8, bottom-up or top-down rows, Windows or older headers.
// Everything else (16 and 32 bits, bit fields, RLE4) is refused.
#pragma once

#include "sabrith/byte_source.h"
#include "sabrith/dib_image.h"

#include <string>

namespace sabrith {

// Limits that keep a hostile header from asking for gigabytes.
constexpr int maxBmpSide = 16384;
constexpr int64_t maxBmpPixels = int64_t(1) << 24;
constexpr uint32_t maxPaletteEntries = 256;

// The two bytes "BM" at the start.
bool isBmpFile(ByteSource& source);
// 1 with the image resized to the picture and filled; 0 for any refusal or
// short read (the image may then hold part of the picture). Nothing is
// written outside the image.
int readBmp(ByteSource& source, DibImage& image);
// By extension (".bmp" and ".gif" alike, compared without case): a BMP file
// is read; anything else empties the image and gives 0.
int loadImageFile(const std::string& path, DibImage& image);

} // namespace sabrith
