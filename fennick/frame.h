// The GL side of the shared window's frames and resizes.
#pragma once

#include "fennick/gl_entry_points.h"

namespace fennick {

// The viewport for a new client size; a height of 0 (a window shrunk to its
// caption) is taken as 1.
void sizeViewport(const GlEntryPoints& gl, int width, int height);
// Colour and depth buffers cleared, then black as the clear colour.
void clearFrame(const GlEntryPoints& gl);

} // namespace fennick
