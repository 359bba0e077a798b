// Pelmit's modal dialogs, InputModule slots 7, 8 and 12.
#pragma once

#include "host/abi.h"

namespace pelmit {

// The configuration dialog: edits a copy of the settings, previews the stereo
// separation live, and keeps the copy only on OK.
void JK_CDECL showSettings(JkWindow owner);
void JK_CDECL showAboutBox(JkWindow owner);
// The information dialog of the current song's format; nothing for another
// file. Always 0.
int JK_CDECL showFileDetails(const char* path, JkWindow owner);

} // namespace pelmit
