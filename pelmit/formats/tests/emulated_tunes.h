// The emulated formats' test tunes as the cross assembler made them, built
// into the tests from tests/emulated/*.s.
#pragma once

#include <cstddef>

namespace pelmit::test {

struct AssembledTune {
    const char* name;
    const unsigned char* bytes;
    size_t size;
};

extern const AssembledTune assembledTunes[];
extern const size_t assembledTuneCount;

} // namespace pelmit::test
