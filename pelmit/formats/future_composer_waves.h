// The waveforms built into Future Composer 1.0-1.3 players: "SMOD" files carry
// none of their own, so every such tune plays these 48 waves.
#pragma once

#include <array>
#include <cstdint>

namespace pelmit {

constexpr int fcWaveCount = 80;
constexpr int fcBuiltInWaveBytes = 1344;

// Lengths in 16-bit words of waves 0-79; waves 48-79 are empty.
extern const std::array<uint8_t, fcWaveCount> fcWaveLengths;
// Waves 0-47 one after another, signed bytes.
extern const std::array<int8_t, fcBuiltInWaveBytes> fcWaves;

} // namespace pelmit
