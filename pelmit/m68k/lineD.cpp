// Line D: ADD, ADDA and ADDX.
#include "pelmit/m68k/arithmetic.h"
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

namespace {

struct LineD {
    static constexpr uint32_t line = 0xD;

    static constexpr Family classify(uint32_t op) {
        return classifyArithmeticLine(op, Family::Add, Family::Adda, Family::Addx);
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        constexpr Family f = classify(Op);
        if constexpr (executes(f))
            return arithmeticLineHandler<Op, AluOp::Add>();
        else
            return fallbackHandler<f>();
    }
};

} // namespace

const LineTable lineDTable = lineTableOf<LineD>;

} // namespace pelmit::m68k
