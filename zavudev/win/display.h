// The module's window and the 8-bit picture behind it: window class "zzzz",
// a client area of exactly 320 x 192, a bottom-up DIB section whose colour
// table starts as a grey ramp, the right-click speed menu, and keys passed
// on to the player.
#pragma once

#include "host/vis_module.h"
#include "zavudev/picture.h"
#include "zavudev/win/settings.h"

#include <windows.h>

namespace zavudev {

struct Display {
    HWND window = nullptr; // null once destroyed, by us or by the user
    HINSTANCE classInstance = nullptr;
    bool classRegistered = false;
    HDC memoryDc = nullptr;
    HBITMAP picture = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    uint8_t* pixels = nullptr;
    ColourTable colours;
    WindowPlace place;
    float* beatThreshold = nullptr; // the speed menu's target
};

// Registers the class, opens the window and makes the picture; on failure
// shows the "Error" box, releases what it took and returns false.
bool openDisplay(Display& d, VisModule* module);

// Takes over colour-table entries 0..count-1 of d.colours.
void applyColours(Display& d, unsigned count);

// Copies the picture to the window, if the window still exists.
void showPicture(Display& d);

// Destroys the window and the picture and unregisters the class; harmless
// when nothing is open.
void closeDisplay(Display& d);

} // namespace zavudev
