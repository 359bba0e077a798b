// Line 7: MOVEQ.
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/moves.h"

namespace pelmit::m68k {

namespace {

struct Line7 {
    static constexpr uint32_t line = 7;

    static constexpr Family classify(uint32_t op) {
        return op & 0x100 ? Family::Illegal : Family::Moveq;
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        if constexpr (classify(Op) == Family::Moveq)
            return &moveQuick<regHigh(Op)>;
        else
            return fallbackHandler<classify(Op)>();
    }
};

} // namespace

const LineTable line7Table = lineTableOf<Line7>;

} // namespace pelmit::m68k
