// Converters from the 16-bit ring to the output formats, chosen by the four
// outputFlags bits (stereo, 16-bit, signed, LED filter).
#pragma once

#include <cstdint>

namespace pelmit {

// Writes `frames` frames read from left (and right in stereo) to destination
// and returns the destination position after them. 16-bit output is in host
// byte order; 8-bit output is the high byte, without rounding.
using OutputConverter = uint8_t* (*)(uint8_t* destination, const int16_t* left,
                                     const int16_t* right, uint32_t frames);

// Index = outputFlags. 8-14 are 0-6 (the LED filter only exists for 16-bit
// signed stereo); 15 is 16-bit signed stereo through the LED filter, a
// four-frame moving average that reads three frames ahead.
extern const OutputConverter outputConverters[16];

} // namespace pelmit
