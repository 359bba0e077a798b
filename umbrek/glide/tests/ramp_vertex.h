// The vertex of the board's benchmark passes and picture references: colour
// ramps across the screen, s and t given per w.
#pragma once

#include "umbrek/glide/glide.h"

namespace umbrek::glide::test {

inline GrVertex rampVertex(float x, float y, float s, float t, float oow, float alpha = 255) {
    GrVertex v{};
    v.x = x, v.y = y, v.r = 200, v.g = 150 + x / 10, v.b = 100 + y / 10, v.a = alpha;
    v.oow = oow, v.tmuvtx[0].sow = s * oow, v.tmuvtx[0].tow = t * oow;
    return v;
}

} // namespace umbrek::glide::test
