// Perspective and view of a module, applied through the GL table: projection
// matrix, perspective, look-at, then an identity model-view matrix.
#pragma once

#include "fennick/gl_entry_points.h"

namespace fennick {

struct Projection {
    double fieldOfView, aspect, zNear, zFar;
    double eye[3], centre[3], up[3];
};

// Perspective 120 degrees, aspect 1, 1 to 2000; eye (0, 250, 250) on the origin.
extern const Projection defaultProjection;

void applyProjection(const GlEntryPoints& gl, const Projection& p);

} // namespace fennick
