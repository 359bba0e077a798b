#include "umbrek/settings.h"

#include <algorithm>

namespace umbrek {

void clampSettings(Settings& s) {
    s.numEffects = std::clamp(s.numEffects, std::int32_t(minEffects), std::int32_t(maxEffects));
    s.effectTime = std::max(s.effectTime, std::int32_t(1));
    s.effectFade = std::max(s.effectFade, std::int32_t(1));
    s.motionBlur = std::clamp(s.motionBlur, std::int32_t(0), std::int32_t(255));
}

} // namespace umbrek
