// The player's equaliser hook: the values it hands over, kept for the Layer
// III back end, which reads them once per granule while the song plays.
#pragma once

#include "kalvo/mpeg/equalizer.h"

namespace kalvo {

constexpr int equalizerBands = 10;
constexpr int equalizerFlat = 31;
constexpr int equalizerSteps = 64;

// Each band a signed byte, widened and kept within the gain table, the
// preamp likewise; an all-flat setting switches the equaliser off.
void storeEqualizer(EqualizerSettings& eq, int on, const char* bands, int preamp);

} // namespace kalvo
