// The one message the decode thread sends the player: the end of a song. Kept
// behind a function so that the playback shell builds and runs without Windows.
#pragma once

#include "host/abi.h"

namespace pelmit {

// Posts hostMsgEndOfStream (wParam 0, lParam 0) to the player's window.
void postEndOfStream(JkWindow hostWindow);

} // namespace pelmit
