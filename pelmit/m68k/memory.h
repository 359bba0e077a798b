// Region lookup for the core's own use (run control, reset, the fetch guard).
#pragma once

#include "pelmit/m68k/core.h"

namespace pelmit::m68k {

// The longest 68000 instruction: an opcode and four extension words.
constexpr uint32_t maxInstructionBytes = 10;

// The first row holding a 24-bit address, or null. A null list is empty.
const DataRegion* findDataRow(const DataRegion* list, uint32_t a24);
const ProgramRegion* findProgramRow(const ProgramRegion* list, uint32_t a24);

// The program word at address when both of its bytes lie in the region that
// holds it.
bool readProgramWord(const ProgramRegion* list, uint32_t address, uint32_t& word);

} // namespace pelmit::m68k
