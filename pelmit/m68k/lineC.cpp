// Line C: AND, MULU, MULS, ABCD and EXG.
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

namespace {

struct LineC {
    static constexpr uint32_t line = 0xC;

    static constexpr Family classify(uint32_t op) {
        Ea ea = eaSource(op);
        switch (opmodeOf(op)) {
        case 0:
        case 1:
        case 2: return isData(ea) ? Family::And : Family::Illegal;
        case 3: return isData(ea) ? Family::Mulu : Family::Illegal;
        case 7: return isData(ea) ? Family::Muls : Family::Illegal;
        case 4:
            if (modeField(op) < 2) return Family::Abcd;
            break;
        case 5:
            if (modeField(op) < 2) return Family::Exg; // Dx,Dy and Ax,Ay
            break;
        default:
            if (ea == Ea::AddrReg) return Family::Exg; // Dx,Ay
            break;
        }
        return isMemoryAlterable(ea) ? Family::And : Family::Illegal;
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        return fallbackHandler<classify(Op)>();
    }
};

} // namespace

const LineTable lineCTable = lineTableOf<LineC>;

} // namespace pelmit::m68k
