// The decimal and division instructions where this interpreter departs from
// the vectors: flags the 68000 leaves undefined, digits above 9, and the fixed
// time of a division.
#include "pelmit/m68k/tests/vectors/departures.h"

namespace pelmit::m68k::testing {

namespace {

constexpr uint16_t flagN = 8, flagZ = 4, flagV = 2;

uint32_t addressRegister(const VectorState& s, uint32_t n) {
    if (n < 7) return s.a[n];
    return (s.sr & 0x2000) ? s.ssp : s.usp;
}

uint32_t byteAt(const VectorState& s, uint32_t address) {
    address &= 0xFFFFFF;
    for (auto [at, word] : s.ram)
        if ((at & 0xFFFFFE) == (address & ~1u)) return address & 1 ? word & 0xFF : word >> 8;
    return 0;
}

bool hasDigitAboveNine(uint32_t byte) {
    return (byte & 15) > 9 || (byte >> 4) > 9;
}

// The operands of ABCD or SBCD, read from the state before the instruction.
bool decimalOperandNotDecimal(const VectorTest& t) {
    const VectorState& s = t.initial;
    uint32_t op = t.initial.prefetch[0], x = (op >> 9) & 7, y = op & 7;
    if (!(op & 8)) return hasDigitAboveNine(s.d[x] & 0xFF) || hasDigitAboveNine(s.d[y] & 0xFF);
    uint32_t source = addressRegister(s, y) - (y == 7 ? 2 : 1);
    uint32_t ax = x == y ? source : addressRegister(s, x);
    uint32_t destination = ax - (x == 7 ? 2 : 1);
    return hasDigitAboveNine(byteAt(s, source)) || hasDigitAboveNine(byteAt(s, destination));
}

bool divisionOverflowed(const VectorTest& t) {
    return t.final.sr & flagV;
}

// DIVU and DIVS charge 133 and 150 plus the source's time whatever the
// operands; on overflow they clear N and Z, which the 68000 leaves undefined.
void addDivisions(std::vector<Departure>& table) {
    struct Source {
        uint16_t mask, bits;
        int32_t time;
    };
    const Source sources[] = {{0xF1F8, 0x00, 0},  {0xF1F8, 0x10, 4},  {0xF1F8, 0x18, 4},
                              {0xF1F8, 0x20, 6},  {0xF1F8, 0x28, 8},  {0xF1F8, 0x30, 10},
                              {0xF1FF, 0x38, 8},  {0xF1FF, 0x39, 12}, {0xF1FF, 0x3A, 8},
                              {0xF1FF, 0x3B, 10}, {0xF1FF, 0x3C, 4}};
    for (bool divs : {false, true})
        for (const Source& s : sources) {
            const char* file = divs ? "DIVS" : "DIVU";
            uint16_t op = uint16_t((divs ? 0x81C0 : 0x80C0) | s.bits);
            int32_t cycles = (divs ? 150 : 133) + s.time;
            table.push_back({file, s.mask, op, uint16_t(flagN | flagZ), false, cycles,
                             "a division that overflows clears N and Z and takes a fixed time",
                             &divisionOverflowed});
            table.push_back({file, s.mask, op, 0, false, cycles,
                             "a division takes a fixed time whatever its operands"});
        }
}

} // namespace

const std::vector<Departure>& decimalAndDivisionDepartures() {
    static const std::vector<Departure> table = [] {
        std::vector<Departure> t = {
            {"SBCD", 0xF1F0, 0x8100, 0x1F, true, -1,
             "digits above 9 go through the correction steps that decimal digits take",
             &decimalOperandNotDecimal},
            {"SBCD", 0xF1F0, 0x8100, uint16_t(flagN | flagV), false, -1,
             "N is bit 7 of the result and V is cleared, both undefined on the 68000"},
            {"ABCD", 0xF1F0, 0xC100, uint16_t(flagN | flagV), false, -1,
             "N is bit 7 of the result and V is cleared, both undefined on the 68000"},
            {"NBCD", 0xFFC0, 0x4800, flagV, false, -1,
             "NBCD clears V, which the chip leaves undefined"},
        };
        addDivisions(t);
        return t;
    }();
    return table;
}

} // namespace pelmit::m68k::testing
