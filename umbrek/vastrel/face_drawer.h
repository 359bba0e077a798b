// Drawing a segment's faces: the short path for faces wholly in view, the
// recursive clipper against the six planes for the others, wire-frame edges,
// and the buffer of see-through triangles drawn back to front at the end of
// the frame.
#pragma once

#include "umbrek/vastrel/records.h"

#include <cstdint>
#include <vector>

namespace umbrek::vastrel {

void KX_DrawFaces(Face* faces, Vertex* vertices, ScreenVertex* screen, int count);
void KX_FlushTriangles();

// The depth key of a triangle by the engine's rule, clamped to 0..2^32-1
// (NaN gives 0) before the conversion.
std::uint32_t depthKey(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);
// Drawing order of N keys, larger first, equal keys in their order; PASSES
// of 2 (16-bit keys) or 4.
void radixSortDescending(const std::uint32_t* keys, int n, int passes, std::uint32_t* order,
                         std::uint32_t* scratch);

} // namespace umbrek::vastrel
