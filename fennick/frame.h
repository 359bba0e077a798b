// The GL side of the shared window's frames and resizes.
#pragma once

#include "fennick/gl_entry_points.h"

namespace fennick {

// The viewport for a new client size; a height of 0 (a window shrunk to its
// caption) is taken as 1.
void sizeViewport(const GlEntryPoints& gl, int width, int height);
// Colour and depth buffers cleared, then black as the clear colour.
void clearFrame(const GlEntryPoints& gl);
// Back faces culled, counter-clockwise faces in front.
void cullBackFaces(const GlEntryPoints& gl);
// Depth test on, "less", depth buffer cleared to 1. Wave and Cube set the
// test's function and clear value without enabling it; it is on in every
// module, so that the Wave's far ridges stay behind its near ones.
void useDepthTest(const GlEntryPoints& gl);

} // namespace fennick
