// The picture both modules draw: 320 x 192 colour indexes in the order the
// bottom-up DIB section stores them (row 0 is the bottom line on screen),
// and its colour table in the DIB's own entry layout.
#pragma once

#include <cstdint>

namespace zavudev {

constexpr int pictureWidth = 320;
constexpr int pictureHeight = 192;
constexpr int picturePixels = pictureWidth * pictureHeight;

// One colour-table entry as the DIB holds it: blue, green, red, unused.
struct ColourEntry {
    uint8_t blue, green, red, unused;
};

using ColourTable = ColourEntry[256];

// Entry i = grey i: what the picture shows until a module changes it.
void fillGreyRamp(ColourTable& table);

} // namespace zavudev
