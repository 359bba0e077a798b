// A whole own-format skin of the size of the default window (275 x 116):
// a face with a see-through corner, a tiled title bar, a masked button with
// hover and pressed faces, a translucent glow, track and time text in a
// bitmap font and in a system font. The benchmark measures it, the fuzz
// seeds start from it and a test checks that it loads as meant.
#pragma once

#include "sabrith/skin/skin_services.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sabrith::test {

extern const char* const ownSkinFixtureText;

// The bitmaps the fixture names, by file name.
std::vector<std::pair<std::string, std::vector<uint8_t>>> ownSkinFixtureBitmaps();

// Writes the skin file ("fixture.lbs") and its bitmaps into `folder`
// (ending in a separator); returns the skin file's path.
std::string addOwnSkinFixture(MemoryFiles& files, const std::string& folder);

} // namespace sabrith::test
