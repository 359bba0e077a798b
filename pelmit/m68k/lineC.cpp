// Line C: AND, MULU, MULS, ABCD and EXG.
#include "pelmit/m68k/arithmetic.h"
#include "pelmit/m68k/decimal.h"
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/exchange.h"
#include "pelmit/m68k/multiply_divide.h"

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
        constexpr Family f = classify(Op);
        constexpr Ea ea = eaSource(Op);
        constexpr uint32_t opmode = opmodeOf(Op);
        if constexpr (f == Family::Mulu || f == Family::Muls)
            return &multiply<f == Family::Muls, ea>;
        else if constexpr (f == Family::Abcd)
            return decimalHandler<Op, true>();
        else if constexpr (f == Family::Exg && opmode == 6)
            return &exchange<0, 8>;
        else if constexpr (f == Family::Exg)
            return ea == Ea::DataReg ? &exchange<0, 0> : &exchange<8, 8>;
        else if constexpr (f == Family::And)
            return bothDirectionsHandler<Op, AluOp::And>();
        else
            return fallbackHandler<f>();
    }
};

} // namespace

const LineTable lineCTable = lineTableOf<LineC>;

} // namespace pelmit::m68k
