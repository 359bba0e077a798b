// Line D: ADD, ADDA and ADDX.
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

namespace {

struct LineD {
    static constexpr uint32_t line = 0xD;

    static constexpr Family classify(uint32_t op) {
        Ea ea = eaSource(op);
        switch (opmodeOf(op)) {
        case 0: return isData(ea) ? Family::Add : Family::Illegal; // no byte from An
        case 1:
        case 2: return isMode(ea) ? Family::Add : Family::Illegal;
        case 3:
        case 7: return isMode(ea) ? Family::Adda : Family::Illegal;
        default:
            if (modeField(op) < 2) return Family::Addx;
            return isMemoryAlterable(ea) ? Family::Add : Family::Illegal;
        }
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        return fallbackHandler<classify(Op)>();
    }
};

} // namespace

const LineTable lineDTable = lineTableOf<LineD>;

} // namespace pelmit::m68k
