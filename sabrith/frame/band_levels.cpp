#include "sabrith/frame/band_levels.h"

#include <algorithm>
#include <cmath>

namespace sabrith {

void buildGain(GainTable& gain, int linAmp) {
    const double scale = double(linAmp + 1) * 256.0;
    for (int i = 0; i < spectrumBins; ++i)
        gain[std::size_t(i)].store(uint32_t(std::floor(std::sqrt(double(i)) * scale)),
                                   std::memory_order_relaxed);
}

uint32_t largestGain(const GainTable& gain) {
    uint32_t best = 0;
    for (const std::atomic<uint32_t>& g : gain)
        best = std::max(best, g.load(std::memory_order_relaxed));
    return best;
}

void smoothLevels(LevelRows& levels, const uint8_t* rows, const GainTable& gain, int decay) {
    const uint32_t fall = uint32_t(std::max(decay, 0));
    for (std::size_t n = 0; n < levels.size(); ++n) {
        uint32_t& level = levels[n];
        if (rows) {
            // 255 x the largest gain (1,577,636 at LinAmp 256) stays below 2^31.
            const uint32_t g = gain[n % spectrumBins].load(std::memory_order_relaxed);
            const uint32_t fresh = std::min(255u, (uint32_t(rows[n]) * g) >> 16) * 256u;
            if (fresh > level) {
                level = fresh;
                continue;
            }
        }
        level = level > fall ? level - fall : 0;
    }
}

} // namespace sabrith
