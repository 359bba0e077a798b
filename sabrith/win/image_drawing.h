// Handing a DibImage's pixels to a device context.
#pragma once

#include "sabrith/dib_image.h"

#include <windows.h>

namespace sabrith {

// The whole image with its top-left corner at (x, y).
void drawImage(HDC dc, const DibImage& image, int x, int y);

// Fills the image from (x0, y0) to its right and bottom edges with what the
// context shows from its origin, one GetPixel at a time: meant for small
// pictures such as text drawn by GDI. 0 when the image has no bitmap.
int copyFromDC(DibImage& image, HDC dc, int x0, int y0);

} // namespace sabrith
