// Dialog 101, "Dremlow Configuration": edits a copy of one module's
// settings and writes them back on OK only.
#pragma once

#include "host/vis_module.h"

#include <windows.h>

namespace yarnot {

void RunConfigDialog(VisModule* module, HINSTANCE resources);

} // namespace yarnot
