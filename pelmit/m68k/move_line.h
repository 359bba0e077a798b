// The decoder of lines 2 (MOVE.L, MOVEA.L) and 3 (MOVE.W, MOVEA.W), which
// differ only in the operand size.
#pragma once

#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/moves.h"

namespace pelmit::m68k {

template <uint32_t N, class S, Family Move, Family Movea>
struct MoveLine {
    static constexpr uint32_t line = N;

    static constexpr Family classify(uint32_t op) { return classifyMoveLine(op, Move, Movea); }

    template <uint32_t Op>
    static constexpr Handler handler() {
        constexpr Family f = classify(Op);
        if constexpr (f == Move)
            return &move<S, eaSource(Op), eaMoveDest(Op)>;
        else if constexpr (f == Movea)
            return &moveAddress<S, eaSource(Op)>;
        else
            return fallbackHandler<f>();
    }
};

} // namespace pelmit::m68k
