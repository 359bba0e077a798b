// What a frame takes from spectrum row 0: the bass peak that decays by 10 a
// frame (it zooms the logo), the sum of the middle bins (the loudness every
// effect's opacity follows) and the overlay's opacity (loud music shortens
// the trails).
#pragma once

#include <cstdint>

namespace umbrek {

constexpr int spectrumBins = 576;

struct SoundLevels {
    std::int32_t bassLevel = 0;      // carried from frame to frame
    std::int32_t sum = 0;            // S: bins 16-143
    std::int32_t alpha = 0;          // min(S / 4, 255)
    std::int32_t overlayOpacity = 0; // min(MotionBlur + S / 64, 255)
};

// SPECTRUM holds at least 144 bins; none reads as silence.
void analyseSound(SoundLevels& levels, const std::uint8_t* spectrum, std::int32_t motionBlur);

} // namespace umbrek
