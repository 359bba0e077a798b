// Line 8: OR, DIVU, DIVS and SBCD.
#include "pelmit/m68k/arithmetic.h"
#include "pelmit/m68k/decimal.h"
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/multiply_divide.h"

namespace pelmit::m68k {

namespace {

struct Line8 {
    static constexpr uint32_t line = 8;

    static constexpr Family classify(uint32_t op) {
        Ea ea = eaSource(op);
        switch (opmodeOf(op)) {
        case 3: return isData(ea) ? Family::Divu : Family::Illegal;
        case 7: return isData(ea) ? Family::Divs : Family::Illegal;
        case 0:
        case 1:
        case 2: return isData(ea) ? Family::Or : Family::Illegal;
        case 4:
            if (modeField(op) < 2) return Family::Sbcd;
            return isMemoryAlterable(ea) ? Family::Or : Family::Illegal;
        default: return isMemoryAlterable(ea) ? Family::Or : Family::Illegal;
        }
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        constexpr Family f = classify(Op);
        if constexpr (f == Family::Divu || f == Family::Divs)
            return &divide<f == Family::Divs, eaSource(Op)>;
        else if constexpr (f == Family::Sbcd)
            return decimalHandler<Op, false>();
        else if constexpr (f == Family::Or)
            return bothDirectionsHandler<Op, AluOp::Or>();
        else
            return fallbackHandler<f>();
    }
};

} // namespace

const LineTable line8Table = lineTableOf<Line8>;

} // namespace pelmit::m68k
