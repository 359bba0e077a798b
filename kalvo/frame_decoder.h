// What the decode thread needs of the MPEG decoder: one frame at a time into
// a buffer, the frame's format, and the controls for seeks and resyncs.
#pragma once

#include <cstdint>

namespace kalvo {

// Status codes that the shell tells apart (the decoder's Mp3Ssc values).
constexpr uint32_t statusSyncSearched = 0x81010001;
constexpr uint32_t statusSyncLost = 0x81010002;
constexpr uint32_t statusSyncNeedData = 0x81010003;
constexpr uint32_t statusWrongLayer = 0xC1010002;

// Success or information: the frame's PCM may be played.
inline bool statusUsable(uint32_t status) {
    return (status >> 31) == 0;
}

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
