// The two waveform effects. Both walk the texture along the waveform: the
// row's own sample picks where a picture row starts, the steps between
// neighbouring samples move along it pixel by pixel.
#include "yarnot/effects.h"

#include <algorithm>
#include <vector>

namespace yarnot {

void WaveSteps(const signed char* row, int count, int* steps) {
    for (int i = 0; i < count; ++i) steps[i] = i + 1 < rowLength ? row[i + 1] - row[i] : 0;
}

namespace {

// A sample, with rows beyond the waveform reading as silence (the start cuts
// the Quorl pictures to 576 rows, so this only guards other callers).
int sample(const signed char* row, int i) {
    return i < rowLength ? row[i] : 0;
}

struct Steps {
    std::vector<int> d0, d1;
    Steps(const WaveRows& wave, int width, int height) {
        int n = std::max(width, height);
        d0.resize(size_t(n));
        d1.resize(size_t(n));
        WaveSteps(wave[0], n, d0.data());
        WaveSteps(wave[1], n, d1.data());
    }
};

template <int Level, bool First>
void drawQuorl(const Texture& texture, const WaveRows& wave, const PixelTarget& target) {
    Steps steps(wave, target.width, target.height);
    uint32_t* out = target.pixels;
    for (int y = 0; y < target.height; ++y) {
        uint8_t u = uint8_t(sample(wave[0], y));
        uint8_t v = First ? uint8_t(y - sample(wave[1], y)) : uint8_t(sample(wave[1], y));
        for (int x = 0; x < target.width; ++x, ++out) {
            *out = Blend<Level>(texture.at(v, u), *out);
            u = First ? uint8_t(u - steps.d0[size_t(x)] + 1) : uint8_t(u + steps.d0[size_t(x)]);
            v = uint8_t(v + steps.d1[size_t(x)]);
        }
        out += target.rowSkip;
    }
}

} // namespace

void DrawQuorl1(const Texture& texture, const WaveRows& wave, int blur, const PixelTarget& target) {
    WithBlurLevel(blur, [&](auto level) { drawQuorl<level(), true>(texture, wave, target); });
}

void DrawQuorl2(const Texture& texture, const WaveRows& wave, int blur, const PixelTarget& target) {
    WithBlurLevel(blur, [&](auto level) { drawQuorl<level(), false>(texture, wave, target); });
}

} // namespace yarnot
