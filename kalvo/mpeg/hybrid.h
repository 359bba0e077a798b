// The hybrid filter bank's second half: reordering of short blocks, alias
// reduction, the IMDCT with windowing and overlap-add, and frequency
// inversion, giving 18 time slots of samples per subband.
#pragma once

#include <cstdint>

namespace kalvo {

struct BlockShape {
    uint32_t blockType;           // 0 normal, 1 start, 2 short, 3 stop
    bool mixed;                   // long subbands below switchLine, short above
    uint32_t switchLine;          // 36, or 72 at 8 kHz (MPEG-2.5)
    const uint16_t* shortBorders; // the rate's short scale-factor bands
};

// lines: 576 spectral lines of one channel, up to limit non-zero, changed
// in place. overlap: 32 x 18 values (rows padded to 20, padding 0) carried
// from granule to granule, with the odd samples of odd subbands negated as
// the frequency inversion leaves them. subbands: number of subbands to
// produce (32 >> downsample). out: per subband its 18 time slots, frequency
// inversion done (rows padded to 20); subbands above the count are left
// alone.
void hybridSynthesis(float* lines, uint32_t limit, const BlockShape& shape, int subbands,
                     float overlap[32][20], float out[32][20]);

} // namespace kalvo
