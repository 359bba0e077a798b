// Reader of the single-step vector files (format in the vectors' README).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelmit::m68k::testing {

struct VectorState {
    uint32_t d[8], a[7], usp, ssp, sr, pc;
    uint32_t prefetch[2];
    std::vector<std::pair<uint32_t, uint16_t>> ram; // address, word
};

struct VectorTest {
    std::string name;
    VectorState initial, final;
    uint32_t cycles;
    bool addressError;       // the real CPU took an address error
    int32_t exceptionVector; // the exception the instruction itself entered, or -1
};

// Reads every test of one file; false with a message when it is malformed.
bool readVectorFile(const std::string& path, std::vector<VectorTest>& tests, std::string& error);

} // namespace pelmit::m68k::testing
