// The settings dialogs: Wave, Block and Tunnel, the graphics options and the
// presets, and the colour chooser they open.
#pragma once

#include "host/vis_module.h"

namespace fennick {

// Reads the module's settings, runs its dialog modally, writes its keys.
void openModuleDialog(VisModule* module);

} // namespace fennick
