// The spectrum bars' four property pages: "General Options" (the band and
// the preset buttons), "Layout" (channels, stacking and flips), "Bars" (bar
// colours and sizes) and "Peaks".
#pragma once

#include "sabrith/frequency_effect.h"

#include <windows.h>

#include <commctrl.h>

namespace sabrith {

// Saves the effect's settings to the store, makes it the pages' target and
// fills four page records for `instance` (which holds the templates).
// Returns the number of records filled.
int buildPages(FrequencyEffect& effect, HINSTANCE instance, PROPSHEETPAGEA* pages);

} // namespace sabrith
