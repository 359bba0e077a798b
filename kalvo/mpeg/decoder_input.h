// Where the decoder pulls its bytes from: the song source in the plug-in, a
// file or a memory block in the tools and tests.
#pragma once

#include <cstdint>

namespace kalvo {

class DecoderInput {
public:
    virtual ~DecoderInput() = default;
    // Fills up to length bytes of buffer and stores how many it filled in
    // *gotOut. A short count is not an error; atEnd() tells the end apart.
    virtual void read(uint8_t* buffer, uint32_t length, uint32_t* gotOut) = 0;
    // True once the input has no more bytes to give.
    virtual bool atEnd() = 0;
};

} // namespace kalvo
