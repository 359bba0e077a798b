// Skin regions as GDI regions: the window's outline goes to SetWindowRgn as
// one region made in a single call, and outline polygons can be filled by
// GDI's own path filling where that is wanted instead of the portable one.
#pragma once

#include "sabrith/skin/polygon_fill.h"
#include "sabrith/skin/region.h"

#include <windows.h>

#include <vector>

namespace sabrith {

// A new GDI region holding the same pixels (an empty one for an empty
// region), owned by the caller; nullptr when GDI cannot make it.
HRGN regionToGdi(const Region& region);
// The pixels of a GDI region.
Region regionFromGdi(HRGN region);
// The figures filled by GDI paths (alternate rule, one path per figure,
// combined by exclusive or), as a new GDI region; nullptr when no context
// or region can be made.
HRGN outlineByGdiPaths(const std::vector<OutlineFigure>& figures);

} // namespace sabrith
