// Skin regions as GDI regions: the window's outline goes to SetWindowRgn as
// one region made in a single call. (Outline polygons need no GDI paths: the
// portable filling gives the very pixels GDI's path filling gives.)
#pragma once

#include "sabrith/skin/region.h"

#include <windows.h>

namespace sabrith {

// A new GDI region holding the same pixels (an empty one for an empty
// region), owned by the caller; nullptr when GDI cannot make it.
HRGN regionToGdi(const Region& region);

} // namespace sabrith
