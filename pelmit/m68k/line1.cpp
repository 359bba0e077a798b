// Line 1: MOVE.B.
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/moves.h"

namespace pelmit::m68k {

namespace {

struct Line1 {
    static constexpr uint32_t line = 1;

    // No byte moves from or to an address register.
    static constexpr Family classify(uint32_t op) {
        return isData(eaSource(op)) && isDataAlterable(eaMoveDest(op)) ? Family::MoveB
                                                                       : Family::Illegal;
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        if constexpr (classify(Op) == Family::MoveB)
            return &move<Byte, eaSource(Op), eaMoveDest(Op)>;
        else
            return fallbackHandler<classify(Op)>();
    }
};

} // namespace

const LineTable line1Table = lineTableOf<Line1>;

} // namespace pelmit::m68k
