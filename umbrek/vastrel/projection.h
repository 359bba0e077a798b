// Clip codes and the perspective projection of one camera-space point into
// a screen vertex, for the current camera and viewport.
#pragma once

#include "umbrek/vastrel/records.h"

#include <cstdint>

namespace umbrek::vastrel {

// ClipBits of a camera-space point. The comparisons are written so that a NaN
// coordinate always lands outside the view and is never projected.
std::uint16_t clipCode(Vec3 p);

// Adding and removing 786432 in single precision rounds to 1/16 pixel.
float snapToSixteenth(float v);

// Stores the camera position, the clip code and 1/z, and projects the vertex
// when it lies inside the view. Its colour no longer belongs to a material.
void placeVertex(ScreenVertex& out, Vec3 camera);

// A normal component as a signed 16-bit value, clamped (NaN gives 0).
std::int16_t normalComponent(float v);

} // namespace umbrek::vastrel
