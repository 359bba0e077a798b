// Filling closed outlines into a `Region` by the alternate (even-odd) rule,
// the rule a window's outline polygon is filled by. Pixel (x, y) is sampled
// at that very point: it belongs to the region when the point lies inside
// an odd number of times, a point on an edge counting as inside when the
// inside lies to its right (and, on a horizontal edge, below it). This is
// how the system's own polygon regions come out: for outlines with only
// horizontal and vertical edges the left and top edges are in and the right
// and bottom edges out, and diagonal edges fall on the same pixels.
#pragma once

#include "sabrith/skin/region.h"

#include <cstdint>
#include <vector>

namespace sabrith {

struct OutlinePoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const OutlinePoint&) const = default;
};

using OutlineFigure = std::vector<OutlinePoint>;

// Splits a point list into figures: a figure starts at the first point not
// yet used and ends with the next point equal to its start (included), or
// at the last point.
std::vector<OutlineFigure> splitOutlineFigures(const std::vector<OutlinePoint>& points);

// Every figure is closed (its last point joins its first). Crossings of all
// figures are counted together, which equals combining each figure's own
// fill by exclusive or. Only the rows and columns inside `clip` are scanned,
// so the work is bounded by the clip, not by the points' coordinates.
Region fillEvenOdd(const std::vector<OutlineFigure>& figures, const RegionRect& clip);

} // namespace sabrith
