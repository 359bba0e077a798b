// Screenshots taken on the Windows side: a rectangle of the screen (under
// Wine, of its virtual desktop) as it shows now, windows on top included.
#pragma once

#include <windows.h>

#include <string>

namespace testhost {

// Saves the part of rect that lies on the screen as BMP, or PNG for ".png".
bool saveScreenRect(RECT rect, const std::string& path);

} // namespace testhost
