// Stereo processing of joint-stereo frames (mid/side and intensity stereo,
// with the MPEG-1 ratios or the MPEG-2 scale) and the downmix to one channel.
#include "kalvo/mpeg/layer3_decoder.h"

#include "kalvo/mpeg/simd.h"

#include <algorithm>
#include <cmath>

namespace kalvo {

namespace {

constexpr double pi = 3.14159265358979323846;

struct IntensityTables {
    float mpeg1Left[7], mpeg1Right[7];
    // io^n for intensity_scale 0 (io = 2^-1/4) and 1 (2^-1/2); five-bit scale
    // factors give positions up to 31, which reach n = 16.
    float mpeg2[2][17];
    IntensityTables() {
        for (int p = 0; p < 7; ++p) {
            double s = std::sin(p * pi / 12), c = std::cos(p * pi / 12);
            mpeg1Left[p] = float(s / (s + c));
            mpeg1Right[p] = float(c / (s + c));
        }
        mpeg1Left[6] = 1.0f;
        mpeg1Right[6] = 0.0f;
        for (int n = 0; n < 17; ++n) {
            mpeg2[0][n] = float(std::pow(2.0, -0.25 * n));
            mpeg2[1][n] = float(std::pow(2.0, -0.5 * n));
        }
    }
};

const IntensityTables& intensity() {
    static const IntensityTables t;
    return t;
}

void midSide(float* l, float* r, uint32_t begin, uint32_t end) {
    const float invSqrt2 = 0.70710678118654752f;
    const Float4 k = {invSqrt2, invSqrt2, invSqrt2, invSqrt2};
    for (; begin + 4 <= end; begin += 4) {
        Float4 m = load4(l + begin), s = load4(r + begin);
        store4(l + begin, (m + s) * k);
        store4(r + begin, (m - s) * k);
    }
    for (uint32_t i = begin; i < end; ++i) {
        float m = l[i], s = r[i];
        l[i] = (m + s) * invSqrt2;
        r[i] = (m - s) * invSqrt2;
    }
}

bool anyNonZero(const float* v, uint32_t begin, uint32_t end) {
    for (uint32_t i = begin; i < end; ++i)
        if (v[i] != 0.0f) return true;
    return false;
}

} // namespace

// Position 7 marks a band without intensity stereo. MPEG-1 defines ratios
// for 0 to 6 only, so larger values count as illegal too; MPEG-2 scales by
// any other position, as the reference decoder does.
bool Layer3Decoder::illegalPosition(uint32_t pos) const {
    return mpeg1_ ? pos >= 7 : pos == 7;
}

void Layer3Decoder::intensityBand(uint32_t begin, uint32_t end, uint32_t pos) {
    float* l = lines_[0];
    float* r = lines_[1];
    const IntensityTables& t = intensity();
    if (mpeg1_) {
        float kl = t.mpeg1Left[pos], kr = t.mpeg1Right[pos];
        for (uint32_t i = begin; i < end; ++i) {
            float v = l[i];
            l[i] = v * kl;
            r[i] = v * kr;
        }
        return;
    }
    const float* io = t.mpeg2[scale_[1].intensityScale & 1];
    float kl = (pos & 1) ? io[(pos + 1) / 2] : 1.0f;
    float kr = (pos & 1) ? 1.0f : io[pos / 2];
    for (uint32_t i = begin; i < end; ++i) {
        float v = l[i];
        l[i] = v * kl;
        r[i] = v * kr;
    }
}

void Layer3Decoder::intensityStereo(int gr, bool ms) {
    const GranuleChannel& g = side_.gr[gr][1];
    const ScaleFactors& sf = scale_[1];
    const uint16_t* lb = bands_->longBorders;
    const uint16_t* sb = bands_->shortBorders;
    bool shortBlocks = g.window_switching_flag && g.block_type == 2;
    float* l = lines_[0];
    float* r = lines_[1];

    int longBands = !shortBlocks ? 22 : g.mixed_block_flag ? (mpeg1_ ? 8 : 6) : 0;
    int longStart = 0; // first long band of intensity stereo
    if (shortBlocks) {
        int firstShort = g.mixed_block_flag ? 3 : 0;
        int start[3];
        bool shortNonZero = false;
        for (int w = 0; w < 3; ++w) {
            start[w] = firstShort;
            for (int sfb = 12; sfb >= firstShort; --sfb) {
                uint32_t width = sb[sfb + 1] - sb[sfb];
                uint32_t begin = sb[sfb] * 3u + uint32_t(w) * width;
                if (anyNonZero(r, begin, begin + width)) {
                    start[w] = sfb + 1;
                    shortNonZero = true;
                    break;
                }
            }
        }
        for (int sfb = firstShort; sfb < 13; ++sfb) {
            uint32_t width = sb[sfb + 1] - sb[sfb];
            int k = std::min(sfb, 11);
            for (int w = 0; w < 3; ++w) {
                uint32_t begin = sb[sfb] * 3u + uint32_t(w) * width;
                if (sfb >= start[w] && !illegalPosition(sf.s[k][w]))
                    intensityBand(begin, begin + width, sf.s[k][w]);
                else if (ms)
                    midSide(l, r, begin, begin + width);
            }
        }
        // A mixed block's long part joins only when the short part is empty.
        longStart = shortNonZero ? longBands : 0;
    }
    if (longBands == 0) return;
    if (!shortBlocks || longStart == 0) {
        uint32_t rightLimit = std::min(limit_[1], uint32_t(lb[longBands]));
        while (longStart < longBands && lb[longStart] < rightLimit) ++longStart;
    }
    for (int sfb = 0; sfb < longBands; ++sfb) {
        int k = std::min(sfb, 20);
        if (sfb >= longStart && !illegalPosition(sf.l[k]))
            intensityBand(lb[sfb], lb[sfb + 1], sf.l[k]);
        else if (ms)
            midSide(l, r, lb[sfb], lb[sfb + 1]);
    }
}

void Layer3Decoder::stereo(int gr) {
    if (channels_ != 2) return;
    float* l = lines_[0];
    float* r = lines_[1];
    uint32_t both = std::max(limit_[0], limit_[1]);
    if (mode_ == 1) {
        bool ms = modeExtension_ & 2;
        if (modeExtension_ & 1)
            intensityStereo(gr, ms);
        else if (ms)
            midSide(l, r, 0, both);
        limit_[0] = limit_[1] = both;
    }
    if (downmix_) {
        const Float4 half = {0.5f, 0.5f, 0.5f, 0.5f};
        uint32_t i = 0;
        for (; i + 4 <= both; i += 4) store4(l + i, (load4(l + i) + load4(r + i)) * half);
        for (; i < both; ++i) l[i] = (l[i] + r[i]) * 0.5f;
        limit_[0] = both;
    }
}

} // namespace kalvo
