// Requantisation: |value|^(4/3) scaled by the global gain, the subblock
// gain and the scale factors of the line's band.
#include "kalvo/mpeg/layer3_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kalvo {

namespace {

// The largest value: 15 plus 13 linbits.
constexpr int maxValue = 15 + 8191;

struct PowerTable {
    float pow43[maxValue + 1];
    PowerTable() {
        for (int i = 0; i <= maxValue; ++i) pow43[i] = float(std::pow(double(i), 4.0 / 3.0));
    }
};

const PowerTable& powers() {
    static const PowerTable t;
    return t;
}

// 2^(q/4).
inline float quarterPower(int q) {
    static const float roots[4] = {1.0f, 1.18920711500272f, 1.41421356237310f, 1.68179283050743f};
    return std::ldexp(roots[q & 3], q >> 2);
}

inline void scaleLines(float* xr, const int32_t* v, uint32_t begin, uint32_t end, float gain) {
    const float* p = powers().pow43;
    for (uint32_t i = begin; i < end; ++i) {
        int32_t x = v[i];
        xr[i] = x == 0  ? 0.0f
                : x > 0 ? p[std::min(x, maxValue)] * gain
                        : -p[std::min(-x, maxValue)] * gain;
    }
}

} // namespace

void Layer3Decoder::requantize(int ch, const GranuleChannel& g) {
    float* xr = lines_[ch];
    const int32_t* v = values_[ch];
    const ScaleFactors& sf = scale_[ch];
    uint32_t limit = limit_[ch];
    std::memset(xr, 0, sizeof lines_[ch]);
    if (limit == 0) return;

    int gain = int(g.global_gain) - 210;
    int shift = 1 + int(g.scalefac_scale);
    bool shortBlocks = g.window_switching_flag && g.block_type == 2;
    uint32_t longEnd = !shortBlocks ? 576 : g.mixed_block_flag ? switchLine() : 0;

    for (int sfb = 0; sfb < 22 && bands_->longBorders[sfb] < std::min(longEnd, limit); ++sfb) {
        int factor = sf.l[sfb] + (g.preflag ? pretab[sfb] : 0);
        uint32_t end = std::min<uint32_t>({bands_->longBorders[sfb + 1], longEnd, limit});
        scaleLines(xr, v, bands_->longBorders[sfb], end, quarterPower(gain - (factor << shift)));
    }
    if (!shortBlocks) return;
    const uint16_t* sb = bands_->shortBorders;
    for (int sfb = g.mixed_block_flag ? 3 : 0; sfb < 13 && sb[sfb] * 3u < limit; ++sfb) {
        uint32_t width = sb[sfb + 1] - sb[sfb];
        for (int w = 0; w < 3; ++w) {
            uint32_t begin = sb[sfb] * 3u + uint32_t(w) * width;
            int q = gain - 8 * int(g.subblock_gain[w]) - (sf.s[sfb][w] << shift);
            scaleLines(xr, v, begin, std::min(begin + width, limit), quarterPower(q));
        }
    }
}

} // namespace kalvo
