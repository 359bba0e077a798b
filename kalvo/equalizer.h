// The equaliser settings that the player hands over and the Layer III back
// end reads: ten band values and a preamp, 0 to 63 (31 is flat).
#pragma once

#include <atomic>

namespace kalvo {

constexpr int equalizerBands = 10;
constexpr int equalizerFlat = 31;
constexpr int equalizerSteps = 64;

// Written on the player's thread, read on the decode thread.
struct EqualizerState {
    std::atomic<int> on{0};
    std::atomic<int> bands[equalizerBands] = {};
    std::atomic<int> preamp{equalizerFlat};
};

// Stores the player's values: each band a signed byte, widened and kept
// within the gain table, the preamp likewise; an all-flat setting switches
// the equaliser off.
void applyEqualizer(EqualizerState& eq, int on, const char* bands, int preamp);

} // namespace kalvo
