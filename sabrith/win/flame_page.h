// The flame's one property page, "General Options": its band on a
// MinMaxSlider with the band's edges in Hz, its colour on a ColorBox, and
// the preset buttons.
#pragma once

#include "sabrith/flame_effect.h"

#include <windows.h>

#include <commctrl.h>

namespace sabrith {

// Saves the effect's settings to the store, makes it the page's target and
// fills one page record for `instance` (which holds the template). Returns
// the number of records filled.
int buildPages(FlameEffect& effect, HINSTANCE instance, PROPSHEETPAGEA* pages);

} // namespace sabrith
