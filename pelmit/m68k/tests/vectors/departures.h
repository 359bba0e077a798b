// Where this interpreter departs from the chip that produced the vectors, by
// design, in two tables by topic: cycle charges that differ from the published
// tables, and the decimal and division instructions' flags and times.
#pragma once

#include "pelmit/m68k/tests/vectors/vector_file.h"

#include <cstdint>
#include <vector>

namespace pelmit::m68k::testing {

struct Departure {
    const char* file;         // vector file, without ".json.bin"
    uint16_t opMask, opValue; // opcode words it concerns: op & opMask == opValue
    uint16_t srIgnored;       // status-register bits not compared
    bool anyState;            // registers, memory and PC are not compared
    int32_t cycles;           // the interpreter's own charge, or -1
    const char* why;
    // When given, only the tests of those words that it accepts.
    bool (*applies)(const VectorTest& test) = nullptr;
};

const std::vector<Departure>& chargeDepartures();
const std::vector<Departure>& decimalAndDivisionDepartures();

} // namespace pelmit::m68k::testing
