// Huffman decoding of the spectral values: big-value pairs with the code
// tables of the standard (linbits included) and count1 quadruples.
#pragma once

#include "kalvo/mpeg/bit_reader.h"

#include <cstdint>

namespace kalvo {

struct HuffmanRegions {
    uint32_t bigValues;      // pairs, at most 288
    uint32_t tableSelect[3]; // per region
    uint32_t region1Start;   // lines, at most 576
    uint32_t region2Start;
    uint32_t count1Table; // 0: table A, 1: table B
};

// Decodes one granule channel's values from c up to the bit position end (a
// position of c) and requantises them in the same pass: line i becomes
// sign(v) |v|^(4/3) gains[i]. Returns how many lines there are up to the
// last non-zero one; every line after it is 0. Quadruples are read while
// bits are left and their first line is at most 572; one that runs past end
// is dropped. Table selects 4 and 14, which the standard leaves undefined,
// decode as zeros without reading bits. Band borders are even, so both
// lines of a pair share a gain, as do lines 2k and 2k + 1 of a quadruple.
uint32_t decodeHuffman(BitCursor& c, uint32_t end, const HuffmanRegions& r, const float gains[576],
                       float lines[576]);

// The code tables as data, for the tests: codes and lengths of table t
// (1-13, 15, 16, 24, and 32 for count1 table A), row by row; dim is the
// number of values per row (16 entries in one row for table 32).
struct HuffmanCodeTable {
    const uint16_t* codes;
    const uint8_t* lengths;
    int dim;
    int entries;
};
HuffmanCodeTable huffmanCodeTable(int t);

} // namespace kalvo
