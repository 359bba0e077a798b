// Where an effect draws: 32-bit pixels, rows top to bottom, with rowSkip
// pixels between the end of one row and the start of the next (0 for a DIB
// section, pitch / 4 - width for a locked DirectDraw surface).
#pragma once

#include "yarnot/blur.h"

#include <cstdint>
#include <type_traits>

namespace yarnot {

struct PixelTarget {
    uint32_t* pixels;
    int width, height;
    int rowSkip;
};

// Calls draw(std::integral_constant<int, level>) so that the per-pixel blend
// is chosen once per frame, not once per pixel.
template <typename Draw>
void WithBlurLevel(int blur, Draw&& draw) {
    switch (ClampBlur(blur)) {
    case 0: draw(std::integral_constant<int, 0>{}); break;
    case 1: draw(std::integral_constant<int, 1>{}); break;
    case 2: draw(std::integral_constant<int, 2>{}); break;
    default: draw(std::integral_constant<int, 3>{}); break;
    }
}

} // namespace yarnot
