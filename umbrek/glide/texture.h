// Texture layouts in texture memory and the decoding of every texel format
// to ARGB8888.
#pragma once

#include "umbrek/glide/glide.h"

#include <cstdint>

namespace umbrek::glide {

constexpr int maxLevels = 9;

// A mip chain as stored: levels largest first, one after another, no padding.
struct Layout {
    int levels = 0;
    int bytesPerTexel = 0;
    int width[maxLevels] = {}, height[maxLevels] = {};
    uint32_t offset[maxLevels] = {}; // from the chain's start
    uint32_t size = 0;
};

bool validFormat(int32_t format);
int bytesPerTexel(int32_t format);
// Level sizes of one LOD and aspect: the long side 256 >> lod, the short side
// long / ratio but at least 1.
void levelSize(int32_t lod, int32_t aspect, int& width, int& height);
// False for codes outside the tables or a reversed LOD range.
bool describe(int32_t smallLod, int32_t largeLod, int32_t aspect, int32_t format, Layout& out);

constexpr uint8_t expand5(uint32_t v) {
    return uint8_t(v << 3 | v >> 2);
}
constexpr uint8_t expand6(uint32_t v) {
    return uint8_t(v << 2 | v >> 4);
}
constexpr uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}
constexpr uint32_t expand565(uint16_t p) {
    return argb(255, expand5(p >> 11), expand6(p >> 5 & 63), expand5(p & 31));
}

// The ARGB colour of each 8-bit texel value of an 8-bit format, or of the
// low byte of a 16-bit format with an 8-bit alpha (8332, ayiq8422, ai88,
// ap88: the alpha comes from the high byte). Palette and NCC formats read
// the given tables.
void buildLookup(int32_t format, const GuTexPalette& palette, const GuNccTable& ncc,
                 uint32_t out[256]);
// ARGB of one 16-bit texel of the direct formats 565, 1555 and 4444.
inline uint32_t decodeDirect(int32_t format, uint16_t t) {
    switch (format) {
    case GR_TEXFMT_RGB_565: return expand565(t);
    case GR_TEXFMT_ARGB_1555:
        return argb(t & 0x8000 ? 255 : 0, expand5(t >> 10 & 31), expand5(t >> 5 & 31),
                    expand5(t & 31));
    case GR_TEXFMT_ARGB_4444:
        return argb((t >> 12) * 0x11u, (t >> 8 & 15) * 0x11u, (t >> 4 & 15) * 0x11u,
                    (t & 15) * 0x11u);
    default: return 0;
    }
}

} // namespace umbrek::glide
