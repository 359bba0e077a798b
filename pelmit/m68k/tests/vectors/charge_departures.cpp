// Cycle charges where this interpreter departs from the published tables:
// register forms charged their longest time, writes that do not read first,
// traps that cost what the chip charges for them.
#include "pelmit/m68k/tests/vectors/departures.h"

namespace pelmit::m68k::testing {

namespace {

// Effective-address times of bytes and words for modes 2-6, (xxx).W and
// (xxx).L, with the low six bits of the opcode that select them and the mask
// that leaves out the register.
struct MemoryMode {
    uint16_t bits, mask;
    int32_t cycles;
};
constexpr MemoryMode memoryModes[] = {
    {0x10, 0xFFF8, 4},  {0x18, 0xFFF8, 4}, {0x20, 0xFFF8, 6},  {0x28, 0xFFF8, 8},
    {0x30, 0xFFF8, 10}, {0x38, 0xFFFF, 8}, {0x39, 0xFFFF, 12},
};

// One departure for each memory mode of an instruction whose charge is a
// base plus the mode's time; registerMask leaves out bits 11-9 as well.
void eachMemoryMode(std::vector<Departure>& table, const char* file, uint16_t op, int32_t base,
                    uint16_t registerMask, const char* why) {
    for (const MemoryMode& m : memoryModes)
        table.push_back({file, uint16_t(m.mask & registerMask), uint16_t(op | m.bits), 0, false,
                         base + m.cycles, why});
}

std::vector<Departure> build() {
    std::vector<Departure> t = {
        {"TRAPV", 0xFFFF, 0x4E76, 0, false, 38, "a TRAPV that traps is charged 38 cycles"},
        {"ADD.w", 0xF1F8, 0x5048, 0, false, 4, "ADDQ.W to an address register costs 4 cycles"},
        {"AND.l", 0xFFF8, 0x0280, 0, false, 14, "ANDI.L to a data register costs 14 cycles"},
        {"BTST", 0xF1FF, 0x013C, 0, false, 8, "BTST Dn,#<data> costs 8 cycles"},
        {"CLR.l", 0xFFF8, 0x4280, 0, false, 8, "CLR.L to a data register costs 8 cycles"},
    };
    // The register forms charge the time of bits 16-31, whatever the bit.
    const char* bitWhy = "a bit change in a data register is charged its longest time";
    t.push_back({"BCHG", 0xF1F8, 0x0140, 0, false, 8, bitWhy});
    t.push_back({"BCLR", 0xF1F8, 0x0180, 0, false, 10, bitWhy});
    t.push_back({"BSET", 0xF1F8, 0x01C0, 0, false, 8, bitWhy});
    t.push_back({"BCHG", 0xFFF8, 0x0840, 0, false, 12, bitWhy});
    t.push_back({"BCLR", 0xFFF8, 0x0880, 0, false, 14, bitWhy});
    t.push_back({"BSET", 0xFFF8, 0x08C0, 0, false, 12, bitWhy});
    eachMemoryMode(t, "CLR.b", 0x4200, 6, 0xFFFF,
                   "CLR.B to memory costs 6 + EA: it writes without reading first");
    eachMemoryMode(t, "CLR.w", 0x4240, 6, 0xFFFF,
                   "CLR.W to memory costs 6 + EA: it writes without reading first");
    eachMemoryMode(t, "TAS", 0x4AC0, 14, 0xFFFF, "TAS of memory costs 14 + EA");
    // CHK from a data register, memory or an immediate bound.
    const char* chkWhy = "a CHK that traps costs 40 + EA";
    t.push_back({"CHK", 0xF1F8, 0x4180, 0, false, 40, chkWhy});
    eachMemoryMode(t, "CHK", 0x4180, 40, 0xF1FF, chkWhy);
    t.push_back({"CHK", 0xF1FF, 0x41BA, 0, false, 48, chkWhy});
    t.push_back({"CHK", 0xF1FF, 0x41BB, 0, false, 50, chkWhy});
    t.push_back({"CHK", 0xF1FF, 0x41BC, 0, false, 44, chkWhy});
    return t;
}

} // namespace

const std::vector<Departure>& chargeDepartures() {
    static const std::vector<Departure> table = build();
    return table;
}

} // namespace pelmit::m68k::testing
