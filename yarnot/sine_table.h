// 1024 steps to the turn, amplitude 0x3FFF: the rot-zoomers' angles are
// plain integers that grow without bound and are cut to the table's range.
#pragma once

#include <cstdint>

namespace yarnot {

constexpr int sineSteps = 1024, sineAmplitude = 0x3FFF;

struct SineTable {
    int16_t value[sineSteps];
    int sin(uint32_t angle) const { return value[angle & (sineSteps - 1)]; }
    int cos(uint32_t angle) const { return value[(angle + sineSteps / 4) & (sineSteps - 1)]; }
};

// The process's one table, built on first use.
const SineTable& Sines();

} // namespace yarnot
