// Line 9: SUB, SUBA and SUBX.
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

namespace {

struct Line9 {
    static constexpr uint32_t line = 0x9;

    static constexpr Family classify(uint32_t op) {
        Ea ea = eaSource(op);
        switch (opmodeOf(op)) {
        case 0: return isData(ea) ? Family::Sub : Family::Illegal; // no byte from An
        case 1:
        case 2: return isMode(ea) ? Family::Sub : Family::Illegal;
        case 3:
        case 7: return isMode(ea) ? Family::Suba : Family::Illegal;
        default:
            if (modeField(op) < 2) return Family::Subx;
            return isMemoryAlterable(ea) ? Family::Sub : Family::Illegal;
        }
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        return fallbackHandler<classify(Op)>();
    }
};

} // namespace

const LineTable line9Table = lineTableOf<Line9>;

} // namespace pelmit::m68k
