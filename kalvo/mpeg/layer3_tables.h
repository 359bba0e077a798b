// Layer III tables of the standard that several steps share.
#pragma once

#include <cstdint>

namespace kalvo {

// Scale-factor band borders in spectral lines for one sampling rate: 22
// long bands (23 borders) and 13 short bands (14 borders, per window).
struct ScaleFactorBands {
    uint16_t longBorders[23];
    uint16_t shortBorders[14];
};

// By version index (0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5) x 3 + sampling index.
const ScaleFactorBands& scaleFactorBands(int versionIndex, uint32_t samplingIndex);

// Added to the long-block scale factors when preflag is set.
extern const uint8_t pretab[22];

// MPEG-1 scale-factor lengths by scalefac_compress.
extern const uint8_t slen1Table[16];
extern const uint8_t slen2Table[16];

// MPEG-2 scale factors per partition, by [row][block kind][partition], with
// the block kinds long, short and mixed (counts in scale factors, three per
// short band). Rows 0-2 serve ordinary channels, rows 3-5 the intensity
// stereo right channel.
extern const uint8_t mpeg2PartitionSizes[6][3][4];

} // namespace kalvo
