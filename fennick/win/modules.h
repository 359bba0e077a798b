// The four modules' own start, frame and stop, each a thin call of its
// portable core with the plug-in's state, window and files.
#pragma once

#include "host/vis_module.h"

namespace fennick {

int JK_CDECL startWaveModule(VisModule* module);
int JK_CDECL startBlockModule(VisModule* module);
int JK_CDECL startTunnelModule(VisModule* module);
int JK_CDECL startCubeModule(VisModule* module);

int JK_CDECL renderWaveFrame(VisModule* module);
int JK_CDECL renderBlockFrame(VisModule* module);
int JK_CDECL renderTunnelFrame(VisModule* module);
int JK_CDECL renderCubeFrame(VisModule* module);

void JK_CDECL stopTunnelModule(VisModule* module);

} // namespace fennick
