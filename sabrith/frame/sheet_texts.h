// What the property sheet's own pages show that is not a window matter: the
// texts of the "Amp" and "Display" pages.
#pragma once

#include "sabrith/frame/band_levels.h"
#include "sabrith/geometry/display_mode.h"

#include <string>

namespace sabrith {

// "x 1.42": the largest gain against 5 x 65,536, the scale of the plot box.
constexpr uint32_t gainUnit = 327680;
std::string gainText(const GainTable& gain);

// A row of the full-screen combo box: "640x480x32".
std::string displayModeText(const DisplayMode& mode);

} // namespace sabrith
