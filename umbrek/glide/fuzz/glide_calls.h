// The call language of the board fuzzer: each call is an operation byte and
// its arguments, read from the input; shared by the fuzzer and its seeds.
#pragma once

#include <cstdint>

namespace umbrek::glide::fuzz {

enum Op : uint8_t {
    SetState,    // setter byte, four int32 values
    Triangle,    // three vertices of 15 floats
    Line,        // two vertices
    Download,    // smallLod, largeLod, aspect, format, start (int32 each)
    Source,      // the same
    Table,       // type (int32); the table is taken from the input's next bytes
    Lock,        // buffer, mode, then offset and value (uint32) of one write
    Unlock,      // buffer
    ReadRegion,  // buffer, x, y, width, height (int32 each)
    WriteRegion, // the same
    Clear,       // colour, depth
    Swap,        // -
    SaveRestore, // -: save, disable all effects, restore
    Reopen,      // resolution (int32)
    OpCount
};

// Setters SetState drives, in this order.
constexpr int setterCount = 25;

} // namespace umbrek::glide::fuzz
