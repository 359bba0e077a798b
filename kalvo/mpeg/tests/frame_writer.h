// Writes Layer III frames for the tests without Huffman tables: big_values
// is 0 (unless a test forces it) and every line is coded as count1 quadruple
// of table B, so lines take the values -1, 0 and 1. Scale factors are given
// as raw bits. Each frame carries its own main data (main_data_begin 0)
// unless a test sets it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kalvo::test {

class BitWriter {
public:
    void put(uint32_t value, int bits);
    void putBytes(const std::vector<uint8_t>& b) {
        for (uint8_t v : b) put(v, 8);
    }
    size_t bits() const { return bits_; }
    // The bytes written so far, the last one padded with zeros.
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    size_t bits_ = 0;
};

struct CraftGranule {
    uint32_t globalGain = 180;
    uint32_t scalefacCompress = 0;
    bool windowSwitching = false;
    uint32_t blockType = 0;
    bool mixed = false;
    uint32_t tableSelect[3] = {0, 0, 0};
    uint32_t subblockGain[3] = {0, 0, 0};
    uint32_t region0 = 0, region1 = 0;
    uint32_t preflag = 0, scalefacScale = 0;
    std::vector<std::pair<uint32_t, int>> scaleFactors; // raw (value, bits) in stream order
    int8_t lines[576] = {};                             // -1, 0, 1 in stream order
    // Overrides for hostile frames: -1 keeps the computed value.
    int bigValues = -1;
    int part23Length = -1;
    std::vector<std::pair<uint32_t, int>> extraBits; // after the lines, inside part2_3_length
};

struct CraftFrame {
    int version = 0; // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
    uint32_t samplingIndex = 0;
    uint32_t bitRateIndex = 14;
    uint32_t mode = 0;
    uint32_t modeExtension = 0;
    uint32_t layerBits = 1; // 1: Layer III
    bool crc = false;
    bool corruptCrc = false; // store a wrong, non-zero CRC word
    bool zeroCrc = false;    // store the CRC word 0
    uint32_t mainDataBegin = 0;
    uint32_t scfsi[2] = {0, 0};
    CraftGranule gr[2][2];
};

// One frame; the main data is padded with zeros to the frame's length.
std::vector<uint8_t> writeFrame(const CraftFrame& f);

// The header word and frame length in bytes of a frame.
uint32_t headerWord(const CraftFrame& f, bool padding = false);
uint32_t frameBytes(const CraftFrame& f);

// CRC-16 of the standard, bit by bit.
uint16_t referenceCrc(const uint8_t* data, size_t firstBit, size_t bits, uint16_t crc);

} // namespace kalvo::test
