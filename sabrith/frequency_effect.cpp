#include "sabrith/frequency_effect.h"

#include <algorithm>

namespace sabrith {
namespace {

using Key = IntKey<FrequencyEffect>;

// The keys in their load and save order. The colour arrays are read through
// their own loop (indexed keys); these are the plain ones.
constexpr Key layoutKeys[] = {
    {"Mono", 0, &FrequencyEffect::mono, 2, 0, 2},
    {"StackVert", 0, &FrequencyEffect::stackVert, 1, 0, 1},
    {"MonoFlipX", 0, &FrequencyEffect::monoFlipX, 1, 0, 1},
    {"MonoFlipY", 0, &FrequencyEffect::monoFlipY, 0, 0, 1},
    {"LeftFlipX", 0, &FrequencyEffect::leftFlipX, 1, 0, 1},
    {"LeftFlipY", 0, &FrequencyEffect::leftFlipY, 0, 0, 1},
    {"RightFlipX", 0, &FrequencyEffect::rightFlipX, 0, 0, 1},
    {"RightFlipY", 0, &FrequencyEffect::rightFlipY, 1, 0, 1},
    {"DiamondFlipX", 0, &FrequencyEffect::diamondFlipX, 0, 0, 1},
    {"DiamondFlipY", 0, &FrequencyEffect::diamondFlipY, 0, 0, 1},
    {"Columns", 0, &FrequencyEffect::columns, 1, 0, 1},
    {"Peaks", 0, &FrequencyEffect::peaks, 1, 0, 1},
    {"BarWidth", 0, &FrequencyEffect::barWidth, 1, 1, 21},
    {"BarHeight", 0, &FrequencyEffect::barHeight, 1, 1, 21},
    {"HorizSpacing", 0, &FrequencyEffect::horizSpacing, 0, 0, 30},
    {"PeakDropOff", 0, &FrequencyEffect::peakDropOff, 793, 0, 2000},
    {"PeakAging", 0, &FrequencyEffect::peakAging, 2048, 0, 8000},
    {"PeakDropAge", 0, &FrequencyEffect::peakDropAge, 49, 0, 260},
    {"MinFreq", 0, &FrequencyEffect::minFreq, 0, 0, maxBin},
    {"MaxFreq", 0, &FrequencyEffect::maxFreq, 325, 0, maxBin},
    {"Blur", 0, &FrequencyEffect::blur, 1, 0, 1},
    {"Fade", 0, &FrequencyEffect::fade, 80, 0, 130},
    {"DropOff", 0, &FrequencyEffect::dropOff, 1600, 0, 2000},
};

constexpr int colorDefaults[4] = {0x00FFFF, 0xFF00FF, 0xFF00FF, 0x00FFFF};
constexpr int peakColorDefaults[4] = {0xFFFFFF, 0xFFFFFF, 0x000800, 0x000800};

int channel(int color, int shift) {
    return (color >> shift) & 0xFF;
}

// Row r of 64 blends `t` (corners c1..c2) into `a` (corners c3..c4) across
// the 64 entries; red, green and blue separately, truncating.
void buildGradient(std::array<std::array<uint32_t, 64>, 64>& table, int c1, int c2, int c3,
                   int c4) {
    for (int r = 0; r < 64; ++r)
        for (int j = 0; j < 64; ++j) {
            uint32_t pixel = 0;
            for (int shift : {0, 8, 16}) { // red, green, blue of 0x00BBGGRR
                const int a =
                    channel(c3, shift) + (channel(c4, shift) - channel(c3, shift)) * r / 64;
                const int t =
                    channel(c1, shift) + (channel(c2, shift) - channel(c1, shift)) * r / 64;
                const int v = a + (t - a) * (63 - j) / 64;
                pixel |= uint32_t(v) << (16 - shift); // red to the top byte
            }
            table[std::size_t(r)][std::size_t(j)] = pixel;
        }
}

} // namespace

FrequencyEffect::FrequencyEffect(EffectContext context) : Effect(context) {
    pageTarget<FrequencyEffect> = nullptr;
    std::copy(std::begin(colorDefaults), std::end(colorDefaults), color.begin());
    std::copy(std::begin(peakColorDefaults), std::end(peakColorDefaults), peakColorSetting.begin());
    loadSettings(nullptr);
}

FrequencyEffect::~FrequencyEffect() {
    forgetPageTarget(this);
    saveSettings(nullptr);
}

void FrequencyEffect::loadSettings(const char* file) {
    SettingsStore& store = context_.store;
    if (file && !store.sectionExists(file, section)) return;
    for (int i = 0; i < 4; ++i)
        store.readInt(file, section, "Color", color[std::size_t(i)], colorDefaults[i], 0, 0xFFFFFF,
                      i + 1);
    for (int i = 0; i < 4; ++i)
        store.readInt(file, section, "PeakColor", peakColorSetting[std::size_t(i)],
                      peakColorDefaults[i], 0, 0xFFFFFF, i + 1);
    readKeys<FrequencyEffect>(store, file, section, layoutKeys, *this);
    minFreq = std::min(minFreq, maxFreq);
    rebuildGradients();
}

void FrequencyEffect::saveSettings(const char* file) {
    SettingsStore& store = context_.store;
    for (int i = 0; i < 4; ++i)
        store.writeInt(file, section, "Color", color[std::size_t(i)], i + 1);
    for (int i = 0; i < 4; ++i)
        store.writeInt(file, section, "PeakColor", peakColorSetting[std::size_t(i)], i + 1);
    writeKeys<FrequencyEffect>(store, file, section, layoutKeys, *this);
}

void FrequencyEffect::rebuildGradients() {
    buildGradient(barGradient_, color[0], color[1], color[2], color[3]);
    // A fresh peak (entry 63) is the PeakColor_1/PeakColor_2 blend; it turns
    // toward PeakColor_3/PeakColor_4 as it ages.
    buildGradient(peakGradient_, peakColorSetting[2], peakColorSetting[3], peakColorSetting[0],
                  peakColorSetting[1]);
}

void FrequencyEffect::render(Spectrum spectrum, const FrameView& view) {
    const int x = view.x, y = view.y, w = view.width, h = view.height;
    const int hw = w / 2, hh = h / 2;
    if (mono == 0) {
        drawGraph(spectrum, view, x + 1, y + 1, w - 2, h - 2, both, monoFlipX, monoFlipY);
    } else if (mono == 1 && stackVert) {
        drawGraph(spectrum, view, x + 1, y + 1, w - 2, hh, leftOnly, leftFlipX, leftFlipY);
        drawGraph(spectrum, view, x + 1, y + hh, w - 2, hh - 1, rightOnly, rightFlipX, rightFlipY);
    } else if (mono == 1) {
        drawGraph(spectrum, view, x + 1, y + 1, hw, h - 2, leftOnly, leftFlipX, leftFlipY);
        drawGraph(spectrum, view, x + hw, y + 1, hw - 1, h - 2, rightOnly, rightFlipX, rightFlipY);
    } else {
        const bool d = diamondFlipX, e = diamondFlipY;
        drawGraph(spectrum, view, x + 1, y + 1, hw, hh, leftOnly, d, e);
        drawGraph(spectrum, view, x + hw, y + 1, hw - 1, hh, rightOnly, !d, e);
        drawGraph(spectrum, view, x + 1, y + hh, hw, hh - 1, leftOnly, d, !e);
        drawGraph(spectrum, view, x + hw, y + hh, hw - 1, hh - 1, rightOnly, !d, !e);
    }
    updatePeaks(spectrum);
}

void FrequencyEffect::drawGraph(Spectrum spectrum, const FrameView& view, int x0, int y0, int w0,
                                int h0, Channels channels, bool flipX, bool flipY) {
    // Too small for one step: skipped rather than dividing by a zero height.
    if (w0 < 1 || h0 < 3) return;
    const auto& curve = amplitudeCurve();
    int s = horizSpacing, bw = barWidth, bh = barHeight;
    int n = (s + w0) / (s + bw);
    if (n == 0) n = 1, bw = w0, s = 0;
    const int range = maxFreq - minFreq;
    const int binsPerBar = std::max(range / n, 1);
    int steps = (h0 - 2) / (bh + 1);
    if (steps == 0) steps = 1, bh = h0 - 3;
    const int left = x0 + (s - n * (bw + s) + w0) / 2;
    const int channelCount = channels == both ? 2 : 1;

    auto fillRow = [&](int row, int from, int to, uint32_t colour, bool add) {
        uint32_t* p = view.pixels + std::size_t(y0 + row) * std::size_t(view.imageWidth);
        for (int px = from; px < to; ++px) p[px] = add ? saturatingAdd(p[px], colour) : colour;
    };

    for (int b = 0; b < n; ++b) {
        const int g = b * 64 / n;
        const int first = minFreq + range * b / n;
        int sum = 0, peakSum = 0, lifeSum = 0;
        for (int i = first; i < first + binsPerBar && i < spectrumBins; ++i)
            for (int ch = 0; ch < 2; ++ch) {
                if (!(channels & (1 << ch))) continue;
                const int level = wholeLevel(spectrum[std::size_t(ch * spectrumBins + i)]);
                const Peak& peak = peaks_[std::size_t(ch)][std::size_t(i)];
                const int peakLevel = peak.life >= 256 ? std::max(level, peak.level >> 8) : level;
                sum += curve[std::size_t(level)];
                peakSum += curve[std::size_t(peakLevel)];
                lifeSum += peak.life;
            }
        const int amp = std::min(sum / binsPerBar / channelCount, 255);
        const int peakAmp = std::min(peakSum / binsPerBar / channelCount, 255);

        // The span in graph coordinates, mirrored exactly about the graph
        // when flipped, and clipped to the graph either way.
        const int xs = b * (bw + s);
        const int xe = std::min(xs + bw, w0 - 1);
        int from = left + xs, to = left + xe;
        if (flipX) from = 2 * x0 + w0 - (left + xe), to = 2 * x0 + w0 - (left + xs);
        from = std::max(from, x0);
        to = std::min(to, x0 + w0);
        if (from >= to) continue;

        if (amp != 0) {
            const int lit = steps * amp >> 8;
            int top = columns ? 0 : (bh + 1) * lit;
            int bottom = std::min((bh + 1) * lit + bh, h0 - 1);
            if (!flipY) std::tie(top, bottom) = std::pair(h0 - 1 - bottom, h0 - 1 - top);
            top = std::max(top, 0);
            for (int row = top; row < bottom && row < h0; ++row) {
                const int t = row * 64 / h0;
                fillRow(row, from, to,
                        barGradient_[std::size_t(g)][std::size_t(flipY ? 63 - t : t)], false);
            }
        }
        if (peaks && peakAmp != 0) {
            const int lifeAverage = std::min((lifeSum >> 8) / binsPerBar / channelCount, 255);
            const uint32_t colour =
                peakGradient_[std::size_t(g)][std::size_t(lifeAverage * 64 / 256)];
            int p = std::min(((steps * peakAmp / 256) + 1) * (bh + 1), h0 - 2);
            if (!flipY) p = h0 - 2 - p;
            fillRow(p, from, to, colour, true);
        }
    }
}

void FrequencyEffect::updatePeaks(Spectrum spectrum) {
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < spectrumBins; ++i) {
            Peak& peak = peaks_[std::size_t(ch)][std::size_t(i)];
            const int level = wholeLevel(spectrum[std::size_t(ch * spectrumBins + i)]);
            if (level > peak.level >> 8 || peak.life <= 255) {
                peak.level = level << 8;
                peak.life = level ? 65280 : 0;
                continue;
            }
            if (peak.life < peakDropAge * 256) {
                if (peak.level > peakDropOff)
                    peak.level -= peakDropOff;
                else
                    peak = Peak{};
            }
            if (peak.life <= peakAging)
                peak = Peak{};
            else
                peak.life -= peakAging;
        }
}

} // namespace sabrith
