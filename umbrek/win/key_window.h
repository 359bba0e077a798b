// The small "ZephrinLite" window: the player's handle on the running module.
// It sits at the screen's corner with a 288 x 256 client area, owns the
// board's full-screen window (which posts the keys it gets on to it), takes
// Escape and 'S', and passes every other key to the player's window.
#pragma once

#include <windows.h>

namespace umbrek {

// Registers the class and opens the window, titled `title` and owned by
// `host`. On failure shows the reason (owner `host`), leaves nothing behind
// and returns null.
HWND openKeyWindow(HINSTANCE plugin, HWND host, const char* title);

// True while the window opened last is still there; a user's close ends it.
bool keyWindowOpen();

// Destroys the window (when the user has not already) without the quit
// message a user's close posts, and unregisters the class.
void closeKeyWindow();

} // namespace umbrek
