// Writes 3DF files of any format, LOD range and aspect, so that the reader is
// tested on files nobody typed.
#pragma once

#include "umbrek/glide/glide.h"

#include <cstdint>
#include <string>
#include <vector>

namespace umbrek::glide::test {

struct ThreeDf {
    int32_t format = GR_TEXFMT_RGB_565;
    int32_t smallLod = GR_LOD_1, largeLod = GR_LOD_256; // codes: 0 = 256 texels
    int32_t aspect = GR_ASPECT_1x1;
    GuTexTable table = {};
    // Texels as the board takes them: bytes for 8-bit formats, 16-bit values
    // (two bytes each, host order) for the others; levels largest first.
    std::vector<uint8_t> texels;
};

// The texel bytes a texture needs (grTexTextureMemRequired).
uint32_t texelBytes(const ThreeDf& t);
// Fills texels with a pattern from `seed`, every level distinct.
void fillPattern(ThreeDf& t, uint32_t seed);
// The header lines alone, as the file has them.
std::string header3df(const ThreeDf& t);
std::vector<uint8_t> write3df(const ThreeDf& t);

} // namespace umbrek::glide::test
