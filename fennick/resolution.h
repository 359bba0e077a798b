// The full-screen modes the graphics options offer, by the index stored as
// FullScreenRes.
#pragma once

namespace fennick {

struct Resolution {
    int width;
    int height;
    const char* label; // as the graphics dialog lists it
};

constexpr int resolutionCount = 10;
extern const Resolution resolutionTable[resolutionCount];

// The entry for a stored index; indexes outside 0-9 (a hand-edited file, a
// preset) are clamped into the table.
const Resolution& resolutionAt(int index);

} // namespace fennick
