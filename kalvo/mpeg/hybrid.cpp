#include "kalvo/mpeg/hybrid.h"

#include "kalvo/mpeg/simd.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kalvo {

namespace {

constexpr double pi = 3.14159265358979323846;

struct HybridTables {
    float cs[8], ca[8];  // alias-reduction butterflies
    float dct18[18][20]; // DCT-IV of 18 points, by [k][n], rows padded for vectors
    // Long windows by block type (2: unused) and subband parity, in the
    // order of the IMDCT's outputs: the 18 samples that meet the overlap,
    // then the 18 that become the next overlap, each padded to 20. The
    // IMDCT's signs are folded in, and so is the frequency inversion of
    // odd subbands (every odd sample negated).
    float windows[4][2][40];
    float imdct12[6][12]; // short IMDCT, by [k][i], short window included

    HybridTables() {
        const double c[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};
        for (int i = 0; i < 8; ++i) {
            double s = std::sqrt(1.0 + c[i] * c[i]);
            cs[i] = float(1.0 / s);
            ca[i] = float(c[i] / s);
        }
        for (int k = 0; k < 18; ++k)
            for (int n = 0; n < 20; ++n)
                dct18[k][n] = n < 18 ? float(std::cos(pi / 18.0 * (n + 0.5) * (k + 0.5))) : 0.0f;
        float window[4][36];
        for (int i = 0; i < 36; ++i) {
            float normal = float(std::sin(pi / 36.0 * (i + 0.5)));
            window[0][i] = normal;
            window[1][i] = i < 18   ? normal
                           : i < 24 ? 1.0f
                           : i < 30 ? float(std::sin(pi / 12.0 * (i - 18 + 0.5)))
                                    : 0.0f;
            window[3][i] = i < 6    ? 0.0f
                           : i < 12 ? float(std::sin(pi / 12.0 * (i - 6 + 0.5)))
                           : i < 18 ? 1.0f
                                    : normal;
            window[2][i] = 0.0f;
        }
        for (int type = 0; type < 4; ++type)
            for (int parity = 0; parity < 2; ++parity)
                for (int i = 0; i < 40; ++i) {
                    int half = i / 20, n = i % 20, sample = 18 * half + n;
                    float w = n < 18 ? window[type][sample] : 0.0f;
                    bool negative = sample >= 9;
                    if (parity && (n & 1)) negative = !negative;
                    windows[type][parity][i] = negative ? -w : w;
                }
        for (int k = 0; k < 6; ++k)
            for (int i = 0; i < 12; ++i)
                imdct12[k][i] = float(std::sin(pi / 12.0 * (i + 0.5)) *
                                      std::cos(pi / 24.0 * (2 * i + 7) * (2 * k + 1)));
    }
};

const HybridTables& tables() {
    static const HybridTables t;
    return t;
}

// Short blocks arrive band by band, each band window by window; the IMDCT
// wants each subband's 18 lines as 6 frequencies x 3 windows.
void reorder(float* lines, uint32_t fromLine, const uint16_t* shortBorders) {
    float tmp[576];
    uint32_t start = fromLine;
    int band = 0;
    while (shortBorders[band] * 3u < fromLine) ++band;
    for (; band < 13; ++band) {
        uint32_t width = shortBorders[band + 1] - shortBorders[band];
        uint32_t base = shortBorders[band] * 3u;
        for (uint32_t w = 0; w < 3; ++w)
            for (uint32_t j = 0; j < width; ++j)
                tmp[base + 3 * j + w] = lines[base + w * width + j];
    }
    std::memcpy(lines + start, tmp + start, (576 - start) * sizeof(float));
}

void aliasReduce(float* lines, int firstBorder, int lastBorder) {
    const HybridTables& t = tables();
    Float4 cs0 = load4(t.cs), cs1 = load4(t.cs + 4), ca0 = load4(t.ca), ca1 = load4(t.ca + 4);
    for (int b = firstBorder; b <= lastBorder; ++b) {
        // Lines 18b - 1 - i and 18b + i, i = 0..7, pair up.
        float* border = lines + 18 * b;
        Float4 lo0 = reverse4(load4(border - 4)), lo1 = reverse4(load4(border - 8));
        Float4 hi0 = load4(border), hi1 = load4(border + 4);
        store4(border - 4, reverse4(lo0 * cs0 - hi0 * ca0));
        store4(border - 8, reverse4(lo1 * cs1 - hi1 * ca1));
        store4(border, hi0 * cs0 + lo0 * ca0);
        store4(border + 4, hi1 * cs1 + lo1 * ca1);
    }
}

// 36-point IMDCT through an 18-point DCT-IV c, windowed, its first half
// added to the overlap into out, its second half the new overlap.
void imdctLong(const float* in, const float* window, float* overlap, float* out) {
    const HybridTables& t = tables();
    Float4 acc[5] = {};
    for (int k = 0; k < 18; ++k) {
        float v = in[k];
        Float4 vv = {v, v, v, v};
#pragma GCC unroll 5
        for (int j = 0; j < 5; ++j) acc[j] += vv * load4(t.dct18[k] + 4 * j);
    }
    // The IMDCT's samples are c[9..17], c[17..9], then c[8..0], c[0..8]
    // (signs in the window); the padding lanes meet window coefficients 0.
    const Float4 c0 = acc[0], c4 = acc[1], c8 = acc[2], c12 = acc[3], c16 = acc[4];
    const Float4 first[5] = {
        shuffle4<1, 2, 3, 4>(c8, c12),  shuffle4<1, 2, 3, 4>(c12, c16),
        shuffle4<5, 5, 4, 3>(c12, c16), shuffle4<6, 5, 4, 3>(c8, c12),
        shuffle4<2, 1, 6, 7>(c8, c16),
    };
    const Float4 second[5] = {
        shuffle4<4, 3, 2, 1>(c4, c8), shuffle4<4, 3, 2, 1>(c0, c4), shuffle4<0, 0, 1, 2>(c0, c0),
        shuffle4<3, 4, 5, 6>(c0, c4), shuffle4<3, 4, 4, 4>(c4, c8),
    };
    for (int j = 0; j < 5; ++j) {
        store4(out + 4 * j, first[j] * load4(window + 4 * j) + load4(overlap + 4 * j));
        store4(overlap + 4 * j, second[j] * load4(window + 20 + 4 * j));
    }
}

// Three 12-point IMDCTs, windowed and overlapped within the block; sign
// negates the odd samples of odd subbands.
void imdctShort(const float* in, Float4 sign, float* overlap, float* out) {
    const HybridTables& t = tables();
    float y[40] = {};
    for (int w = 0; w < 3; ++w) {
        Float4 acc[3] = {};
        for (int k = 0; k < 6; ++k) {
            float v = in[3 * k + w];
            Float4 vv = {v, v, v, v};
            for (int j = 0; j < 3; ++j) acc[j] += vv * load4(t.imdct12[k] + 4 * j);
        }
        float* at = y + 6 + 6 * w;
        for (int j = 0; j < 3; ++j) store4(at + 4 * j, load4(at + 4 * j) + acc[j]);
    }
    for (int j = 0; j < 5; ++j) {
        store4(out + 4 * j, load4(y + 4 * j) * sign + load4(overlap + 4 * j));
        store4(overlap + 4 * j, load4(y + 18 + 4 * j) * sign);
    }
}

} // namespace

void hybridSynthesis(float* lines, uint32_t limit, const BlockShape& shape, int subbands,
                     float overlap[32][20], float out[32][20]) {
    const HybridTables& t = tables();
    bool shortBlocks = shape.blockType == 2;
    uint32_t longLines = !shortBlocks ? 576 : shape.mixed ? shape.switchLine : 0;
    if (shortBlocks && limit > longLines) {
        reorder(lines, longLines, shape.shortBorders);
        // Reordering spreads a band's lines over the band's whole range.
        int band = 0;
        while (band < 12 && shape.shortBorders[band + 1] * 3u < limit) ++band;
        limit = shape.shortBorders[band + 1] * 3u;
    }

    int used = int((limit + 17) / 18); // subbands with non-zero lines
    int lastBorder = shortBlocks ? int(longLines / 18) - 1 : std::min(used, 31);
    lastBorder = std::min(lastBorder, subbands - 1);
    aliasReduce(lines, 1, lastBorder);
    // Alias reduction carries into the next subband.
    if (!shortBlocks || shape.mixed) used = std::min(used + 1, 32);

    const float(*window)[40] = t.windows[shortBlocks ? 0 : shape.blockType];
    const Float4 signs[2] = {{1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, -1.0f, 1.0f, -1.0f}};
    for (int sb = 0; sb < subbands; ++sb) {
        float* ov = overlap[sb];
        if (sb >= used) {
            for (int j = 0; j < 20; j += 4) {
                store4(out[sb] + j, load4(ov + j));
                store4(ov + j, Float4{});
            }
        } else if (uint32_t(sb) * 18 < longLines) {
            imdctLong(lines + 18 * sb, window[sb & 1], ov, out[sb]);
        } else {
            imdctShort(lines + 18 * sb, signs[sb & 1], ov, out[sb]);
        }
    }
}

} // namespace kalvo
