// Where the front buffer is shown: the Win32 pop-up on Windows builds, nothing
// on the headless native build. The board owns the pixels; the presenter keeps
// a pointer to them from open to close.
#pragma once

#include "umbrek/glide/glide.h"

#include <cstdint>

namespace umbrek::glide {

struct Picture {
    const uint16_t* pixels = nullptr; // 5-6-5, top row first
    int width = 0, height = 0, pitch = 0;
};

// Opens the presenter for the window the screen was opened with; false when it
// cannot be shown.
bool presenterOpen(FxWindow owner, const Picture& front);
// Draws the front buffer now.
void presenterShow();
// Destroys the presenter if it still exists; harmless when it is gone.
void presenterClose();

} // namespace umbrek::glide
