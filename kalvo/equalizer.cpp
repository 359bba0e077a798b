#include "kalvo/equalizer.h"

namespace kalvo {

namespace {

int clampStep(int value) {
    return value < 0 ? 0 : value >= equalizerSteps ? equalizerSteps - 1 : value;
}

} // namespace

void applyEqualizer(EqualizerState& eq, int on, const char* bands, int preamp) {
    int p = clampStep(preamp);
    bool flat = p == equalizerFlat;
    for (int k = 0; k < equalizerBands; ++k) {
        int v = bands ? clampStep(static_cast<signed char>(bands[k])) : equalizerFlat;
        eq.bands[k].store(v, std::memory_order_relaxed);
        flat = flat && v == equalizerFlat;
    }
    eq.preamp.store(p, std::memory_order_relaxed);
    eq.on.store(on && !flat ? 1 : 0, std::memory_order_relaxed);
}

} // namespace kalvo
