// Nerrit player skins: a folder with "skin.ini" (section "Coordinates"),
// "MainUp.bmp" (the face) and "MainDown.bmp" (the face with every control
// pressed). They become one fixed-size skin that shows no effect: the
// window turns into a remote control.
#pragma once

#include "sabrith/skin/skin_set.h"

#include <string>

namespace sabrith {

// Lower-cases the path (the caller's copy; it is what the set stores) and
// accepts it when its first "skin.ini" ends it and the file has a
// "Coordinates" section. "myskin.ini" is accepted as the player always has.
bool isNerritSkin(SkinSet& set, std::string& path);
void readNerritSkin(SkinSet& set, const std::string& path);

} // namespace sabrith
