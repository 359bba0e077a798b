// Lines 9 and D share their layout word for word (SUB, SUBA, SUBX against
// ADD, ADDA, ADDX); only the operation and the family names differ.
#pragma once

#include "pelmit/m68k/arithmetic.h"
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

template <uint32_t Line, AluOp O, Family Plain, Family Address, Family Extended>
struct ArithmeticLine {
    static constexpr uint32_t line = Line;

    static constexpr Family classify(uint32_t op) {
        return classifyArithmeticLine(op, Plain, Address, Extended);
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        constexpr Family f = classify(Op);
        if constexpr (executes(f))
            return arithmeticLineHandler<Op, O>();
        else
            return fallbackHandler<f>();
    }
};

} // namespace pelmit::m68k
