// Channel access and intensity for 0xAARRGGBB texels, shared by the
// quantiser, its inverse and the NCC statistics.
#pragma once

#include <cstdint>

namespace texora {

inline int alpha(uint32_t t) {
    return int(t >> 24);
}
inline int red(uint32_t t) {
    return int(t >> 16 & 0xFF);
}
inline int green(uint32_t t) {
    return int(t >> 8 & 0xFF);
}
inline int blue(uint32_t t) {
    return int(t & 0xFF);
}
inline uint32_t argb(int a, int r, int g, int b) {
    return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}
// Intensity, rounded, in single precision as the board's tools compute it:
// pure red is 77 (76.5 + 0.5).
inline float intensity(uint32_t t) {
    return 0.30f * float(red(t)) + 0.59f * float(green(t)) + 0.11f * float(blue(t)) + 0.5f;
}

// The ranges of Y, I and Q that an NCC table spans.
struct NccRanges {
    int yLow, yHigh, iLow, iHigh, qLow, qHigh;
};

} // namespace texora
