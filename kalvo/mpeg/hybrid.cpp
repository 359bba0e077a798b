#include "kalvo/mpeg/hybrid.h"

#include "kalvo/mpeg/simd.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kalvo {

namespace {

constexpr double pi = 3.14159265358979323846;

struct HybridTables {
    float cs[8], ca[8];   // alias-reduction butterflies
    float dct18[18][20];  // DCT-IV of 18 points, by [k][n], rows padded for vectors
    float windows[4][36]; // by block type (2: unused)
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
        for (int i = 0; i < 36; ++i) {
            float normal = float(std::sin(pi / 36.0 * (i + 0.5)));
            windows[0][i] = normal;
            windows[1][i] = i < 18   ? normal
                            : i < 24 ? 1.0f
                            : i < 30 ? float(std::sin(pi / 12.0 * (i - 18 + 0.5)))
                                     : 0.0f;
            windows[3][i] = i < 6    ? 0.0f
                            : i < 12 ? float(std::sin(pi / 12.0 * (i - 6 + 0.5)))
                            : i < 18 ? 1.0f
                                     : normal;
            windows[2][i] = 0.0f;
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
    for (int b = firstBorder; b <= lastBorder; ++b) {
        float* lo = lines + 18 * b - 1;
        float* hi = lines + 18 * b;
        for (int i = 0; i < 8; ++i) {
            float l = lo[-i], h = hi[i];
            lo[-i] = l * t.cs[i] - h * t.ca[i];
            hi[i] = h * t.cs[i] + l * t.ca[i];
        }
    }
}

// 36-point IMDCT through an 18-point DCT-IV, then the window.
void imdctLong(const float* in, const float* window, float* out36) {
    const HybridTables& t = tables();
    Float4 acc[5] = {};
    for (int k = 0; k < 18; ++k) {
        float v = in[k];
        Float4 vv = {v, v, v, v};
#pragma GCC unroll 5
        for (int j = 0; j < 5; ++j) acc[j] += vv * load4(t.dct18[k] + 4 * j);
    }
    float c[20];
    for (int j = 0; j < 5; ++j) store4(c + 4 * j, acc[j]);
    for (int i = 0; i < 9; ++i) out36[i] = c[9 + i] * window[i];
    for (int i = 9; i < 27; ++i) out36[i] = -c[26 - i] * window[i];
    for (int i = 27; i < 36; ++i) out36[i] = -c[i - 27] * window[i];
}

void imdctShort(const float* in, float* out36) {
    const HybridTables& t = tables();
    std::memset(out36, 0, 36 * sizeof(float));
    for (int w = 0; w < 3; ++w) {
        float y[12] = {};
        for (int k = 0; k < 6; ++k) {
            float v = in[3 * k + w];
            for (int i = 0; i < 12; ++i) y[i] += v * t.imdct12[k][i];
        }
        for (int i = 0; i < 12; ++i) out36[6 + 6 * w + i] += y[i];
    }
}

} // namespace

void hybridSynthesis(float* lines, uint32_t limit, const BlockShape& shape, int subbands,
                     float overlap[32][18], float out[32][20]) {
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

    for (int sb = 0; sb < subbands; ++sb) {
        float* ov = overlap[sb];
        if (sb >= used) {
            for (int i = 0; i < 18; ++i) {
                out[sb][i] = ov[i];
                ov[i] = 0.0f;
            }
        } else {
            float y[36];
            bool longHere = uint32_t(sb) * 18 < longLines;
            if (longHere)
                imdctLong(lines + 18 * sb, t.windows[shortBlocks ? 0 : shape.blockType], y);
            else
                imdctShort(lines + 18 * sb, y);
            for (int i = 0; i < 18; ++i) {
                out[sb][i] = y[i] + ov[i];
                ov[i] = y[18 + i];
            }
        }
        // Frequency inversion of the odd subbands.
        if (sb & 1)
            for (int i = 1; i < 18; i += 2) out[sb][i] = -out[sb][i];
    }
}

} // namespace kalvo
