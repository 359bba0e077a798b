// Line 3: MOVE.W and MOVEA.W.
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

namespace {

struct Line3 {
    static constexpr uint32_t line = 3;

    static constexpr Family classify(uint32_t op) {
        Ea dest = eaMoveDest(op);
        if (!isMode(eaSource(op))) return Family::Illegal;
        if (dest == Ea::AddrReg) return Family::MoveaW;
        return isDataAlterable(dest) ? Family::MoveW : Family::Illegal;
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        return fallbackHandler<classify(Op)>();
    }
};

} // namespace

const LineTable line3Table = lineTableOf<Line3>;

} // namespace pelmit::m68k
