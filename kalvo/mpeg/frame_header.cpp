#include "kalvo/mpeg/frame_header.h"

namespace kalvo {

namespace {

// Bit rates in kbit/s by [MPEG-1 or not][layer - 1][index]; index 15 is
// reserved and index 0 (free format) is never decoded.
const uint16_t bitRates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
};

const uint32_t mpeg1Rates[3] = {44100, 48000, 32000};

} // namespace

FrameHeader parseFrameHeader(uint32_t word) {
    FrameHeader h;
    h.word = word;
    h.sync = word >> 21;
    h.versionBits = (word >> 19) & 3;
    h.layerBits = (word >> 17) & 3;
    h.protection = ((word >> 16) & 1) == 0;
    h.bitRateIndex = (word >> 12) & 15;
    h.samplingIndex = (word >> 10) & 3;
    h.padding = (word >> 9) & 1;
    h.privateBit = (word >> 8) & 1;
    h.mode = (word >> 6) & 3;
    h.modeExtension = (word >> 4) & 3;
    h.copyright = (word >> 3) & 1;
    h.original = (word >> 2) & 1;
    h.emphasis = word & 3;

    if (h.sync != 0x7FF || h.layerBits == 0 || h.bitRateIndex == 0 || h.bitRateIndex == 15 ||
        h.samplingIndex == 3 || h.versionBits == 1)
        return h;
    h.layer = 4 - int(h.layerBits);
    h.versionIndex = (h.versionBits & 1) ? 0 : (h.versionBits & 2) ? 1 : 2;
    if (h.versionIndex == 2 && h.layer != 3) return h;
    h.valid = true;

    h.channels = h.mode == 3 ? 1 : 2;
    h.samplingRate = mpeg1Rates[h.samplingIndex] >> h.versionIndex;
    h.bitRate = bitRates[h.versionIndex != 0][h.layer - 1][h.bitRateIndex] * 1000u;
    h.samplesPerFrame = h.layer == 1 ? 384 : (h.layer == 3 && h.versionIndex != 0) ? 576 : 1152;
    uint32_t slotBits = h.layer == 1 ? 32 : 8;
    h.frameLengthBits =
        slotBits * (h.bitRate / slotBits * h.samplesPerFrame / h.samplingRate + h.padding);
    h.frameDurationMs = float(h.samplesPerFrame) * 1000.0f / float(h.samplingRate);
    return h;
}

} // namespace kalvo
