// Handing a DibImage's pixels to a device context.
#pragma once

#include "sabrith/dib_image.h"

#include <windows.h>

namespace sabrith {

// The whole image with its top-left corner at (x, y).
void drawImage(HDC dc, const DibImage& image, int x, int y);

} // namespace sabrith
