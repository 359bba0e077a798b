// Dialog 101: the render device list, the number of effects, the effect and
// fade times, the motion blur and the window check. OK, the close box and
// Escape close it, all three keeping what the controls show.
#pragma once

#include "umbrek/settings.h"

#include <windows.h>

namespace umbrek {

// Runs the dialog modally over `owner` on `settings`; when it closes they
// hold what the controls show, clamped.
void runSettingsDialog(HINSTANCE plugin, HWND owner, Settings& settings);

} // namespace umbrek
