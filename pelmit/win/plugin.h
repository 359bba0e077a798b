// Pelmit's record and the static data that its operations share.
#pragma once

#include "host/input_module.h"

namespace pelmit {

extern InputModule inputModule;
extern char iniPath[];

// Settings read and the Mixer connected; settings written back.
void JK_CDECL startUp();
void JK_CDECL shutDown();

} // namespace pelmit
