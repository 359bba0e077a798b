// Spectrum bars with falling peak markers, as one mono graph, a stereo pair
// (stacked or side by side) or "Diamond", four mirrored quadrants.
#pragma once

#include "sabrith/effect.h"

#include <array>

namespace sabrith {

class FrequencyEffect final : public Effect {
public:
    static constexpr const char* section = "RurizirudoviV";

    // Loads the settings from the store (building the gradients).
    explicit FrequencyEffect(EffectContext context);
    // Writes the settings back to the store.
    ~FrequencyEffect() override;

    void render(Spectrum spectrum, const FrameView& view) override;
    void loadSettings(const char* file) override;
    void saveSettings(const char* file) override;
    // After a colour changes (the pages call it).
    void rebuildGradients();

    struct Peak {
        int level = 0; // 8.8: whole level in the upper bits
        int life = 0;  // 0..65280
    };
    const Peak& peak(int channel, int bin) const {
        return peaks_[std::size_t(channel)][std::size_t(bin)];
    }
    uint32_t barColor(int row, int entry) const {
        return barGradient_[std::size_t(row)][std::size_t(entry)];
    }
    uint32_t peakColor(int row, int entry) const {
        return peakGradient_[std::size_t(row)][std::size_t(entry)];
    }

    // Windows colour values 0x00BBGGRR; index 0 is Color_1.
    std::array<int, 4> color{};
    std::array<int, 4> peakColorSetting{};
    int mono = 2;
    int stackVert = 1;
    int monoFlipX = 1, monoFlipY = 0;
    int leftFlipX = 1, leftFlipY = 0;
    int rightFlipX = 0, rightFlipY = 1;
    int diamondFlipX = 0, diamondFlipY = 0;
    int columns = 1;
    int peaks = 1;
    int barWidth = 1;
    int barHeight = 1;
    int horizSpacing = 0;
    int peakDropOff = 793;
    int peakAging = 2048;
    int peakDropAge = 49;
    int minFreq = 0;
    int maxFreq = 325;

private:
    enum Channels { leftOnly = 1, rightOnly = 2, both = 3 };
    void drawGraph(Spectrum spectrum, const FrameView& view, int x0, int y0, int w0, int h0,
                   Channels channels, bool flipX, bool flipY);
    void updatePeaks(Spectrum spectrum);

    using Gradient = std::array<std::array<uint32_t, 64>, 64>;
    Gradient barGradient_{};
    Gradient peakGradient_{};
    std::array<std::array<Peak, spectrumBins>, 2> peaks_{};
};

} // namespace sabrith
