// The board's 16-bit depth value of w, shared by the depth test, the bias and
// the fog table: a 4-bit exponent and a 12-bit mantissa of w, so that depth
// resolution follows w's own precision. 0 for w < 1, 0xFFFF at 65536 and
// beyond, and for 1/w <= 0 or not a number (behind the eye: farthest).
#pragma once

#include <bit>
#include <cstdint>

namespace umbrek::glide {

inline uint32_t depthOfW(float w) {
    if (!(w > 0.0f)) return 0xFFFF;
    const uint32_t bits = std::bit_cast<uint32_t>(w);
    const int exponent = int(bits >> 23) - 127; // w is positive: no sign bit
    if (exponent < 0) return 0;
    if (exponent > 15) return 0xFFFF;
    return uint32_t(exponent) << 12 | (bits >> 11 & 0xFFF);
}

inline uint32_t depthOfOow(float oow) {
    return depthOfW(1.0f / oow);
}

// The w at which a depth value starts.
inline float wOfDepth(uint32_t depth) {
    const int exponent = int(depth >> 12);
    return float(1u << exponent) * (1.0f + float(depth & 0xFFF) / 4096.0f);
}

// The fog table's entry for a depth value: its top six bits.
inline uint32_t fogIndex(uint32_t depth) {
    return depth >> 10;
}

} // namespace umbrek::glide
