#include "umbrek/sound_levels.h"

#include <algorithm>

namespace umbrek {

void analyseSound(SoundLevels& levels, const std::uint8_t* spectrum, std::int32_t motionBlur) {
    std::int32_t peak = 0, sum = 0;
    if (spectrum) {
        peak = *std::max_element(spectrum, spectrum + 16);
        for (int i = 16; i < 144; ++i) sum += spectrum[i];
    }
    levels.bassLevel = std::max(levels.bassLevel > 10 ? levels.bassLevel - 10 : 0, peak);
    levels.sum = sum;
    levels.alpha = std::min(sum / 4, 255);
    levels.overlayOpacity = std::min(motionBlur + sum / 64, 255);
}

} // namespace umbrek
