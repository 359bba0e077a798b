// Line 5: ADDQ, SUBQ, Scc and DBcc.
#include "pelmit/m68k/conditions.h"
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/quick_arithmetic.h"

namespace pelmit::m68k {

namespace {

struct Line5 {
    static constexpr uint32_t line = 5;

    static constexpr Family classify(uint32_t op) {
        Ea ea = eaSource(op);
        uint32_t size = sizeField(op);
        if (size == 3) {
            if (ea == Ea::AddrReg) return Family::Dbcc;
            return isDataAlterable(ea) ? Family::Scc : Family::Illegal;
        }
        // No byte operation on an address register.
        bool legal = size == 0 ? isDataAlterable(ea) : isAlterable(ea);
        if (!legal) return Family::Illegal;
        return op & 0x100 ? Family::Subq : Family::Addq;
    }

    static constexpr uint32_t condition(uint32_t op) { return (op >> 8) & 15; }

    template <uint32_t Op>
    static constexpr Handler handler() {
        constexpr Family f = classify(Op);
        if constexpr (f == Family::Addq || f == Family::Subq)
            return &quickArithmetic<f == Family::Subq, SizeOf<Op>, eaSource(Op)>;
        else if constexpr (f == Family::Scc)
            return &setOnCondition<condition(Op), eaSource(Op)>;
        else if constexpr (f == Family::Dbcc)
            return &decrementAndBranch<condition(Op)>;
        else
            return fallbackHandler<f>();
    }
};

} // namespace

const LineTable line5Table = lineTableOf<Line5>;

} // namespace pelmit::m68k
