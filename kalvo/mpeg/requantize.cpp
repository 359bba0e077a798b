// Requantisation: the gain of every line, from the global gain, the
// subblock gain and the scale factors of the line's band. The Huffman
// decoding multiplies each value's |value|^(4/3) by it.
#include "kalvo/mpeg/layer3_decoder.h"

#include <algorithm>
#include <cstring>

namespace kalvo {

namespace {

// 2^(q/4): a root times a power of two, which the float's exponent holds
// exactly (q stays within -340..45, far inside the normal range).
inline float quarterPower(int q) {
    static const float roots[4] = {1.0f, 1.18920711500272f, 1.41421356237310f, 1.68179283050743f};
    uint32_t exponent = uint32_t(std::clamp((q >> 2) + 127, 1, 254)) << 23;
    float power;
    std::memcpy(&power, &exponent, 4);
    return roots[q & 3] * power;
}

} // namespace

void Layer3Decoder::lineGains(int ch, const GranuleChannel& g, float gains[576]) const {
    const ScaleFactors& sf = scale_[ch];
    int gain = int(g.global_gain) - 210;
    int shift = 1 + int(g.scalefac_scale);
    bool shortBlocks = g.window_switching_flag && g.block_type == 2;
    uint32_t longEnd = !shortBlocks ? 576 : g.mixed_block_flag ? switchLine() : 0;

    for (int sfb = 0; sfb < 22 && bands_->longBorders[sfb] < longEnd; ++sfb) {
        int factor = sf.l[sfb] + (g.preflag ? pretab[sfb] : 0);
        uint32_t end = std::min<uint32_t>(bands_->longBorders[sfb + 1], longEnd);
        std::fill(gains + bands_->longBorders[sfb], gains + end,
                  quarterPower(gain - (factor << shift)));
    }
    if (!shortBlocks) return;
    const uint16_t* sb = bands_->shortBorders;
    for (int sfb = g.mixed_block_flag ? 3 : 0; sfb < 13; ++sfb) {
        uint32_t width = sb[sfb + 1] - sb[sfb];
        for (int w = 0; w < 3; ++w) {
            uint32_t begin = sb[sfb] * 3u + uint32_t(w) * width;
            int q = gain - 8 * int(g.subblock_gain[w]) - (sf.s[sfb][w] << shift);
            std::fill(gains + begin, gains + begin + width, quarterPower(q));
        }
    }
}

} // namespace kalvo
