// Line 3: MOVE.W and MOVEA.W.
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

namespace {

struct Line3 {
    static constexpr uint32_t line = 3;

    static constexpr Family classify(uint32_t op) {
        return classifyMoveLine(op, Family::MoveW, Family::MoveaW);
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        return fallbackHandler<classify(Op)>();
    }
};

} // namespace

const LineTable line3Table = lineTableOf<Line3>;

} // namespace pelmit::m68k
