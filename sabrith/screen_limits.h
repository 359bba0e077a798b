// How big a picture can get on a real screen. Sizes read from files (skins,
// their BMP faces) and the window's own size are held to these, so that no
// file can make the plug-in allocate more than a few screens' worth of
// pixels, nor open a window no display could show.
#pragma once

#include <cstdint>

namespace sabrith {

// A side of the widest row of monitors a desktop spans.
constexpr int maxScreenSide = 16384;
// The pixels of the largest real screen (an 8K one, 7680 x 4320, fits).
constexpr int64_t maxScreenPixels = int64_t(1) << 25;

} // namespace sabrith
