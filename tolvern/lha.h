// The one-member LHA archive that a YM file travels in: a level-0 header and
// "-lh5-" data, depacked in memory.
#ifndef TOLVERN_LHA_H
#define TOLVERN_LHA_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolvern {

enum class LhaStatus {
    ok,
    notLha,      // too short for a header, or not "-lh5-"
    badLevel,    // a header level other than 0
    emptyMember, // depacked size 0
    tooLarge,    // depacked size beyond any YM file
    truncated,   // the header or the packed data ends early, or the data is malformed
    crcMismatch,
};

// No YM file comes near this: 180,000 frames of 16 registers plus digidrums.
constexpr uint32_t kMaxDepackedSize = 16u << 20;

// Depacks the first member of the archive held in file[0..size) into out.
LhaStatus depackLha(const uint8_t* file, size_t size, std::vector<uint8_t>& out);

} // namespace tolvern

#endif
