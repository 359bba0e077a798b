// The levels the effects read: the host's spectrum bytes amplified by a
// per-band gain that grows with the square root of the band (high bands are
// weaker), kept as 8.8 fixed-point levels that rise at once and fall slowly.
#pragma once

#include "sabrith/effect.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

namespace sabrith {

// The property sheet's thread rebuilds the table while frames read it: each
// factor is written and read whole (a frame may mix old and new factors).
using GainTable = std::array<std::atomic<uint32_t>, spectrumBins>;
using LevelRows = std::array<uint32_t, 2 * spectrumBins>;
// The host's rows: left 576 bytes, then right.
using SpectrumBytes = std::span<const uint8_t, 2 * spectrumBins>;

constexpr int minLinAmp = 0;
constexpr int maxLinAmp = 256;
// Decay of the levels when no effect gives its DropOff.
constexpr int defaultDecay = 2000;

// gain[i] = floor(sqrt(i) x (linAmp + 1) x 256), 16 fraction bits; band 0 is 0.
void buildGain(GainTable& gain, int linAmp);
uint32_t largestGain(const GainTable& gain);

// One frame: with fresh rows each level rises to min(255, row x gain >> 16)
// x 256 when that is higher, else falls by `decay`; without rows (the idle
// timer) every level only falls. Levels stop at 0.
void smoothLevels(LevelRows& levels, const uint8_t* rows, const GainTable& gain, int decay);

} // namespace sabrith
