// Line 2: MOVE.L and MOVEA.L.
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

namespace {

struct Line2 {
    static constexpr uint32_t line = 2;

    static constexpr Family classify(uint32_t op) {
        return classifyMoveLine(op, Family::MoveL, Family::MoveaL);
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        return fallbackHandler<classify(Op)>();
    }
};

} // namespace

const LineTable line2Table = lineTableOf<Line2>;

} // namespace pelmit::m68k
