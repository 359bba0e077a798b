// What the decode thread needs of the MPEG decoder: one frame at a time into
// a buffer, the frame's format, and the controls for seeks and resyncs.
#pragma once

#include "kalvo/mpeg/mp3_ssc.h"

#include <cstdint>

namespace kalvo {

struct FrameFormat {
    int bitRate = 0; // bit/s of the frame decoded last
    int outputRate = 0;
    int outputChannels = 0;
    int outputBits = 0;
};

class FrameDecoder {
public:
    virtual ~FrameDecoder() = default;
    virtual uint32_t decodeFrame(uint8_t* buffer, uint32_t room, uint32_t* bytesOut) = 0;
    virtual FrameFormat format() const = 0;
    // After a seek: the stream starts over, nothing of the old one is kept.
    virtual void reset() = 0;
    // The input has ended and the last frame has been given out.
    virtual bool atEnd() const = 0;
    // Makes the search start one bit further on.
    virtual void skipBit() = 0;
};

} // namespace kalvo
