// The 32-bit MPEG audio frame header, MPEG-2.5 included.
#pragma once

#include <cstdint>

namespace kalvo {

// The bits that must agree between the frames of one stream: sync, version,
// layer and sampling rate.
constexpr uint32_t headerLockMask = 0xFFFE0C00;

struct FrameHeader {
    uint32_t word = 0;
    uint32_t sync = 0; // the 11 sync bits
    uint32_t versionBits = 0;
    uint32_t layerBits = 0;
    bool protection = false; // a CRC word follows the header
    uint32_t bitRateIndex = 0;
    uint32_t samplingIndex = 0;
    uint32_t padding = 0;
    uint32_t privateBit = 0;
    uint32_t mode = 0; // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    uint32_t modeExtension = 0;
    uint32_t copyright = 0;
    uint32_t original = 0;
    uint32_t emphasis = 0;
    bool valid = false;

    // Derived values, set only for a valid header.
    int layer = 0;        // 1 to 3
    int versionIndex = 0; // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
    int channels = 0;
    uint32_t samplingRate = 0;
    uint32_t bitRate = 0; // bit/s
    uint32_t samplesPerFrame = 0;
    uint32_t frameLengthBits = 0;
    float frameDurationMs = 0;
};

// Splits the header word into its fields and checks it: sync, no reserved
// layer, no free format, no reserved rate, MPEG-2.5 only with Layer III.
FrameHeader parseFrameHeader(uint32_t word);

} // namespace kalvo
