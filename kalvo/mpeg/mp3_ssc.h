// The decoder's 32-bit status codes. The top two bits give the class: 00
// success, 01 information (the frame is usable), 10 warning, 11 error.
#pragma once

#include <cstdint>

namespace kalvo {

enum Mp3Ssc : uint32_t {
    sscOk = 0x00000000,
    sscInvalidParameter = 0xC0000001,
    sscOutOfMemory = 0xC0000002,
    sscInvalidHandle = 0xC0000003,
    sscIoGeneric = 0x80010001,
    sscIoOpenFailed = 0x80010002,
    sscIoCloseFailed = 0x80010003,
    sscIoReadError = 0x80010004,
    sscCrcError = 0x41010001,
    sscMainDataMissing = 0x41010002,
    sscDecoderGeneric = 0xC1010001,
    sscWrongLayer = 0xC1010002,
    sscBufferTooSmall = 0xC1010003,
    sscSyncSearched = 0x81010001,
    sscSyncLost = 0x81010002,
    sscSyncNeedData = 0x81010003,
    sscSyncEof = 0x81010004,
};

// Success or information: the frame's PCM may be played.
inline bool sscUsable(uint32_t ssc) {
    return (ssc >> 31) == 0;
}

// The code's fixed text; "(Mp3Ssc) unknown SSC" for any other value.
const char* mp3SscText(uint32_t ssc);

} // namespace kalvo
