#include "kalvo/mpeg/equalizer.h"

#include <algorithm>

namespace kalvo {

namespace {

// Gain by slider value: 4.0 at 0, 1.0 at 31, 0.25 at 63.
const float gains[64] = {
    4.0f,    3.6102f, 3.32f,   3.0888f, 2.8966f, 2.7321f, 2.5884f, 2.4607f, 2.3458f, 2.2415f,
    2.1459f, 2.0577f, 1.9758f, 1.8993f, 1.8277f, 1.7603f, 1.6967f, 1.6364f, 1.5791f, 1.5246f,
    1.4725f, 1.4227f, 1.375f,  1.3292f, 1.2852f, 1.2428f, 1.2019f, 1.1625f, 1.1243f, 1.0874f,
    1.0516f, 1.0f,    0.9833f, 0.9506f, 0.9188f, 0.8879f, 0.8578f, 0.8285f, 0.7999f, 0.772f,
    0.7447f, 0.7181f, 0.6921f, 0.6667f, 0.6418f, 0.6175f, 0.5937f, 0.5703f, 0.5474f, 0.525f,
    0.503f,  0.4814f, 0.4603f, 0.4395f, 0.419f,  0.399f,  0.3793f, 0.3599f, 0.3408f, 0.3221f,
    0.3036f, 0.2855f, 0.2676f, 0.25f,
};

// Borders at 44,100 Hz; the two top bands are empty at every rate, so the
// host's two highest sliders have no effect.
const uint16_t bordersAt44k[11] = {0, 3, 9, 18, 38, 77, 153, 408, 576, 0, 0};

} // namespace

float equalizerGain(int32_t value) {
    return gains[std::clamp(value, 0, 63)];
}

void equalizerBorders(uint32_t samplingRate, uint16_t borders[11]) {
    float scale = samplingRate ? 44100.0f / float(samplingRate) : 0.0f;
    for (int k = 0; k < 11; ++k)
        borders[k] = uint16_t(std::min(int(float(bordersAt44k[k]) * scale), 576));
}

void applyEqualizer(const EqualizerSettings& eq, uint32_t samplingRate, float* const lines[2],
                    int channels, uint32_t limit) {
    uint16_t borders[11];
    equalizerBorders(samplingRate, borders);
    float pre = equalizerGain(eq.preamp.load(std::memory_order_relaxed));
    for (int k = 0; k < 10; ++k) {
        float g = equalizerGain(eq.bands[k].load(std::memory_order_relaxed)) * pre;
        uint32_t end = std::min<uint32_t>(borders[k + 1], limit);
        for (int ch = 0; ch < channels; ++ch)
            for (uint32_t i = borders[k]; i < end; ++i) lines[ch][i] *= g;
    }
}

} // namespace kalvo
