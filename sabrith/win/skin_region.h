// Skin regions as GDI regions: the window's outline goes to SetWindowRgn as
// one region made in a single call. (Outline polygons need no GDI paths: the
// portable filling gives the very pixels GDI's path filling gives.)
#pragma once

#include "sabrith/skin/region.h"

#include <windows.h>

#include <vector>

namespace sabrith {

// A new GDI region holding the union of `rects` (an empty one for none),
// owned by the caller; nullptr when GDI cannot make it.
HRGN rectsToGdi(const std::vector<RECT>& rects);
// The same for the pixels of a portable region.
HRGN regionToGdi(const Region& region);

} // namespace sabrith
