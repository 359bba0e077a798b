// Ready-made crafted streams for the sync and decoder tests.
#pragma once

#include "kalvo/mpeg/tests/frame_writer.h"

namespace kalvo::test {

// A frame of the version, rate and mode with every granule and channel
// filled with a pattern of +-1 lines (varied by seed) up to line `lines`.
CraftFrame patternFrame(int version, uint32_t samplingIndex, uint32_t mode, int seed,
                        int lines = 400);
void fillPattern(CraftGranule& g, int seed, int lines);

// n frames of patternFrame, concatenated.
std::vector<uint8_t> patternStream(int n, int version = 0, uint32_t samplingIndex = 0,
                                   uint32_t mode = 0);

// The bits of data shifted right by `bits` behind a filler that holds no
// sync pattern and ends in a zero bit.
std::vector<uint8_t> behindFiller(const std::vector<uint8_t>& data, int bits);

} // namespace kalvo::test
