// The one GL window the modules share: binding, class, display mode, window
// and context at the start, and their release at the stop.
#pragma once

#include "host/vis_module.h"

namespace fennick {

constexpr char glWindowClass[] = "Tarquel's Whack-ass 3d crap";

// 0 ready, 1 when the class or the window failed, -1 when binding failed.
// A failure leaves nothing behind: no class, no switched display mode.
int startGlWindow(VisModule* module);
// Releases what startGlWindow made; nothing when the window is not ready.
void stopGlWindow(VisModule* module);

void beginFrame();
void endFrame();

} // namespace fennick
