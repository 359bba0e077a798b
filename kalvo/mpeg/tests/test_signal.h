// A deterministic test signal for the encoder: plucked tones, a steady high
// tone and noise bursts whose onsets force short blocks.
#pragma once

#include <cstdint>
#include <vector>

namespace kalvo::test {

// A 16-bit PCM WAV file image.
std::vector<uint8_t> testSignalWav(uint32_t rate, int channels, double seconds);

// A WAV file image of a sine tone (amplitude 0..1 of full scale).
std::vector<uint8_t> sineWav(uint32_t rate, int channels, double seconds, double hz,
                             double amplitude);

} // namespace kalvo::test
