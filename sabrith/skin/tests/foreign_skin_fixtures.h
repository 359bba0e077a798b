// Whole skins of the two foreign formats at the default window's size, for
// the benchmark and the fuzz seeds: a Nerrit folder (skin.ini, MainUp.bmp,
// MainDown.bmp) and a Tovrel ".design" file with its bitmaps.
#pragma once

#include "sabrith/skin/skin_services.h"

#include <string>

namespace sabrith::test {

// Each writes its files into `folder` (ending in a separator) and returns
// the path to load.
std::string addNerritSkinFixture(MemoryFiles& files, const std::string& folder);
std::string addTovrelSkinFixture(MemoryFiles& files, const std::string& folder);

} // namespace sabrith::test
