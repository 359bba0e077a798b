// One texel's conversion between argb8888 and the board's formats.
#pragma once

#include "umbrek/texora/texora.h"

namespace texora {

// An argb8888 texel in FORMAT (not the YIQ or palette formats), low bits used.
uint32_t quantizeTexel(int format, uint32_t texel);
// A texel of FORMAT back to argb8888; TABLE is the NCC table of a YIQ format
// or the 256 argb8888 entries of a palette format.
uint32_t expandTexel(int format, uint32_t value, const void* table);

} // namespace texora
