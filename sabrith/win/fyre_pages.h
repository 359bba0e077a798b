// The particle fountains' two property pages: "General Options" (cull rate,
// gravity, the movement switches and the type) and "Particle Sources" (the
// list of sources and the current one's values), with the naming dialog.
#pragma once

#include "sabrith/fyre_effect.h"

#include <windows.h>

#include <commctrl.h>

namespace sabrith {

// Saves the effect's settings to the store, makes it the pages' target and
// fills two page records for `instance` (which holds the templates).
// Returns the number of records filled. The pages change the source list
// on the window's thread (setWindowThreadRunner), where frames run.
int buildPages(FyreEffect& effect, HINSTANCE instance, PROPSHEETPAGEA* pages);

} // namespace sabrith
