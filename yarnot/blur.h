// The blur: texels are loaded pre-shifted by the blur level, and every new
// pixel adds fractions of the pixel it replaces, so moving pictures leave
// trails. No channel can carry into its neighbour: at level 1 a channel is
// at most 0x7F + 0x7F, at level 3 at most 0x1F + 0x7F + 0x3F + 0x1F.
#pragma once

#include <cstdint>

namespace yarnot {

enum { maxBlur = 3 };

inline constexpr uint32_t textureMask[maxBlur + 1] = {0xFFFFFFFF, 0xFEFEFEFE, 0xFCFCFCFC,
                                                      0xF8F8F8F8};

inline int ClampBlur(int blur) {
    return blur < 0 ? 0 : blur > maxBlur ? maxBlur : blur;
}

template <int Level>
inline uint32_t Blend(uint32_t texel, uint32_t old) {
    uint32_t p = texel;
    if constexpr (Level >= 1) p += (old >> 1) & 0x7F7F7F7F;
    if constexpr (Level >= 2) p += (old >> 2) & 0x3F3F3F3F;
    if constexpr (Level >= 3) p += (old >> 3) & 0x1F1F1F1F;
    return p;
}

inline uint32_t BlendPixel(uint32_t texel, uint32_t old, int blur) {
    switch (blur) {
    case 0: return Blend<0>(texel, old);
    case 1: return Blend<1>(texel, old);
    case 2: return Blend<2>(texel, old);
    default: return Blend<3>(texel, old);
    }
}

} // namespace yarnot
