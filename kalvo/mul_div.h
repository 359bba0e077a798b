// The platform's rounding multiply-divide, portable: the song length and the
// seek offset are computed with it, so its rounding and its -1 are part of
// what the player sees.
#pragma once

#include <cstdint>

namespace kalvo {

// a x b / c rounded half away from zero; -1 when c is 0 or the result does
// not fit in 32 bits.
int32_t mulDiv(int32_t a, int32_t b, int32_t c);

} // namespace kalvo
