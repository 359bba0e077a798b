#include "sabrith/control_logic.h"

#include <algorithm>

namespace sabrith {

void MinMaxRange::setMinimum(int v) {
    v = std::max(v, rangeMin);
    if (v < valueMax - minGap) {
        valueMin = v;
    } else if (valueMax > rangeMin + minGap) {
        valueMin = valueMax - minGap;
    } else {
        valueMin = rangeMin;
        valueMax = std::min(rangeMin + minGap, rangeMax);
    }
}

void MinMaxRange::setMaximum(int v) {
    v = std::min(v, rangeMax);
    if (v > valueMin + minGap) {
        valueMax = v;
    } else if (valueMin < rangeMax - minGap) {
        valueMax = valueMin + minGap;
    } else {
        valueMax = rangeMax;
        valueMin = std::max(rangeMax - minGap, rangeMin);
    }
}

bool sliderValueAt(const MinMaxRange& range, int16_t x, int width, int& value) {
    if (width < 24) return false;
    const int from = std::max<int>(x, 7);
    value = (range.rangeMax - range.rangeMin) * (from - 7) / (width - 14) + range.rangeMin;
    return true;
}

int sliderThumbX(const MinMaxRange& range, int value, int width) {
    return (value - range.rangeMin) * (width - 14) / (range.rangeMax - range.rangeMin) + 7;
}

namespace {

int channel(int color, int shift) {
    return (color >> shift) & 0xFF;
}

} // namespace

void drawColorPreview(DibImage& preview, std::array<int, 4>& colors, int swatchCount) {
    if (swatchCount != 4) colors[1] = colors[2] = colors[3] = colors[0];
    if (!preview.valid()) return;
    const int w = preview.width(), h = preview.height();
    for (int r = 0; r < h; ++r) {
        uint32_t* row = preview.pixels() + std::size_t(r) * std::size_t(w);
        for (int x = 0; x < w; ++x) {
            uint32_t pixel = 0;
            for (int shift : {0, 8, 16}) { // red, green, blue of 0x00BBGGRR
                const int left = channel(colors[0], shift) +
                                 (channel(colors[2], shift) - channel(colors[0], shift)) * r / h;
                const int right = channel(colors[1], shift) +
                                  (channel(colors[3], shift) - channel(colors[1], shift)) * r / h;
                pixel |= uint32_t(left + (right - left) * x / w) << (16 - shift);
            }
            row[x] = pixel;
        }
    }
}

int pickSwatch(int x, int y, int width, int height, int swatchCount) {
    if (swatchCount != 4) return 1;
    return 1 + (x >= width / 2 ? 1 : 0) + (y >= height / 2 ? 2 : 0);
}

void drawScalePlot(DibImage& preview, std::span<const int32_t> values, int32_t scale) {
    if (!preview.valid()) return;
    const int w = preview.width(), h = preview.height();
    std::fill_n(preview.pixels(), std::size_t(w) * std::size_t(h), 0x0F280Fu);
    if (values.empty() || scale <= 0) return;
    for (int x = 0; x < w; ++x) {
        const int64_t value = values[std::size_t(int64_t(x) * int64_t(values.size()) / w)];
        const int64_t v = value * h / scale;
        if (v >= 0 && v < h)
            preview.pixels()[std::size_t(h - v - 1) * std::size_t(w) + std::size_t(x)] = 0x8CDC8C;
    }
}

} // namespace sabrith
