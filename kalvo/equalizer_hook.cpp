#include "kalvo/equalizer_hook.h"

namespace kalvo {

namespace {

int clampStep(int value) {
    return value < 0 ? 0 : value >= equalizerSteps ? equalizerSteps - 1 : value;
}

} // namespace

void storeEqualizer(EqualizerSettings& eq, int on, const char* bands, int preamp) {
    constexpr auto relaxed = std::memory_order_relaxed;
    int p = clampStep(preamp);
    bool flat = p == equalizerFlat;
    for (int k = 0; k < equalizerBands; ++k) {
        int v = bands ? clampStep(static_cast<signed char>(bands[k])) : equalizerFlat;
        eq.bands[k].store(v, relaxed);
        flat = flat && v == equalizerFlat;
    }
    eq.preamp.store(p, relaxed);
    eq.on.store(on && !flat, relaxed);
}

} // namespace kalvo
