// The "-lh5-" method of LHA archives: LZSS over an 8 KB window whose literals,
// lengths and distances are sent with static Huffman codes, one set per block.
#ifndef TOLVERN_LH5_H
#define TOLVERN_LH5_H

#include <cstddef>
#include <cstdint>

namespace tolvern {

// CRC-16 of the depacked data as LHA stores it: reflected polynomial 0xA001, init 0.
uint16_t crc16(const uint8_t* data, size_t size);

// Depacks packedSize bytes into exactly originalSize bytes of output.
// Result 0 when the CRC of the output equals crc, -1 when it does not, -2 when
// the packed data is malformed or ends before the output is complete.
int depak_lh5(const uint8_t* packed, size_t packedSize, uint8_t* output, size_t originalSize,
              uint16_t crc);

} // namespace tolvern

#endif
