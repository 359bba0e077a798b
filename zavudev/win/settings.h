// Where a module's window stood: screen_x and screen_y in the module's
// section of "plugin.ini" beside the library, which Morsk and other
// plug-ins of the pack share.
#pragma once

#include <windows.h>

namespace zavudev {

struct WindowPlace {
    int x = 50;
    int y = 50;
};

// Reads the place, with the current values where the file has none.
void readWindowPlace(HINSTANCE library, const char* section, WindowPlace& place);
void writeWindowPlace(HINSTANCE library, const char* section, const WindowPlace& place);

} // namespace zavudev
