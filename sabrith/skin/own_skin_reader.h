// Sabrith's own skin files (".lbs", version 2): ini sections, each a named
// element of the skin model, referring to each other by name.
#pragma once

#include "sabrith/skin/skin_set.h"

#include <string>

namespace sabrith {

// The text of the box shown for a file of another version.
extern const char* const ownSkinVersionMessage;
// References deeper than this yield no element, so that a crafted chain of
// sections cannot exhaust the stack; real animation chains are far shorter.
constexpr int maxSectionDepth = 256;
// NumSkins, NumImages and NumGizmos above this count as this.
constexpr int maxSectionCount = 1000;

// The extension, the header section and version 2 (the version message is
// shown for another), and skins whose window a screen can show: each
// skin's minimum size, and the room its insets take (their totals + 8),
// within skinWindowFits, each inset within maxScreenSide either way.
bool isOwnSkin(SkinSet& set, std::string& path);
// 0 when NumSkins is 0, else 1.
int readOwnSkin(SkinSet& set, const std::string& path);

} // namespace sabrith
