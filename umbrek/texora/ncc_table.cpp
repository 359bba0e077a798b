#include "umbrek/texora/ncc_table.h"

#include <cmath>

namespace texora {

namespace {

int clampByte(float v) {
    const int i = int(v);
    return i < 0 ? 0 : i > 255 ? 255 : i;
}

int yValue(uint32_t t) {
    return clampByte(intensity(t));
}
int iValue(uint32_t t) {
    const float i =
        (0.6f * float(red(t)) - 0.28f * float(green(t)) - 0.32f * float(blue(t))) * 0.8333333f +
        128.0f;
    return clampByte(i + 0.5f);
}
int qValue(uint32_t t) {
    const float q =
        (0.21f * float(red(t)) - 0.52f * float(green(t)) + 0.31f * float(blue(t))) * 0.9615385f +
        128.0f;
    return clampByte(q + 0.5f);
}

// The range of a histogram with 1% of the texels cut from each end.
void range(const uint32_t (&histogram)[256], uint64_t total, int& low, int& high) {
    const double cut = double(total) * 0.01;
    uint64_t below = 0;
    low = 0;
    for (int v = 0; v < 256; ++v) {
        if (double(below) < cut) low = v;
        below += histogram[v];
    }
    uint64_t above = 0;
    high = 255;
    for (int v = 255; v >= 0; --v) {
        if (double(above) < cut) high = v;
        above += histogram[v];
    }
    if (high < low) high = low;
}

int step(int value, int low, int high, int top) {
    if (value <= low) return 0;
    if (value >= high) return top;
    return int(float(value - low) / float(high - low) * float(top) + 0.5f);
}

int16_t rounded(float v) {
    return int16_t(std::lround(v));
}

} // namespace

NccRanges nccRanges(const TxMip& source) {
    uint32_t y[256] = {}, i[256] = {}, q[256] = {};
    uint64_t total = 0;
    int w = source.width, h = source.height;
    for (int level = 0; level < source.depth; ++level) {
        const auto* texels = static_cast<const uint32_t*>(source.data[level]);
        for (size_t k = 0; k < size_t(w) * size_t(h); ++k) {
            ++y[yValue(texels[k])];
            ++i[iValue(texels[k])];
            ++q[qValue(texels[k])];
        }
        total += uint64_t(w) * uint64_t(h);
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    NccRanges r;
    range(y, total, r.yLow, r.yHigh);
    range(i, total, r.iLow, r.iHigh);
    range(q, total, r.qLow, r.qHigh);
    return r;
}

TxNccTable nccTable(const NccRanges& r) {
    TxNccTable table;
    for (int k = 0; k < 16; ++k)
        table.y[k] = uint8_t(std::lround(float(r.yLow) + float(k * (r.yHigh - r.yLow)) / 15.0f));
    for (int d = 0; d < 4; ++d) {
        const float g =
            ((float(r.iLow) + float(d * (r.iHigh - r.iLow)) / 3.0f) / 255.0f * 1.2f - 0.6f) *
            255.0f;
        table.i[d][0] = rounded(0.95f * g);
        table.i[d][1] = rounded(-0.28f * g);
        table.i[d][2] = rounded(-1.11f * g);
        const float h =
            ((float(r.qLow) + float(d * (r.qHigh - r.qLow)) / 3.0f) / 255.0f * 1.04f - 0.52f) *
            255.0f;
        table.q[d][0] = rounded(0.62f * h);
        table.q[d][1] = rounded(-0.64f * h);
        table.q[d][2] = rounded(1.73f * h);
    }
    return table;
}

uint8_t nccIndex(const NccRanges& r, uint32_t t) {
    return uint8_t(step(yValue(t), r.yLow, r.yHigh, 15) << 4 |
                   step(iValue(t), r.iLow, r.iHigh, 3) << 2 | step(qValue(t), r.qLow, r.qHigh, 3));
}

uint32_t nccColour(const TxNccTable& table, uint8_t index) {
    const int y = table.y[index >> 4], i = index >> 2 & 3, q = index & 3;
    int c[3];
    for (int k = 0; k < 3; ++k) {
        const int v = y + table.i[i][k] + table.q[q][k];
        c[k] = v < 0 ? 0 : v > 255 ? 255 : v;
    }
    return argb(255, c[0], c[1], c[2]);
}

} // namespace texora
