// Line 9: SUB, SUBA and SUBX.
#include "pelmit/m68k/arithmetic.h"
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

namespace {

struct Line9 {
    static constexpr uint32_t line = 0x9;

    static constexpr Family classify(uint32_t op) {
        return classifyArithmeticLine(op, Family::Sub, Family::Suba, Family::Subx);
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        constexpr Family f = classify(Op);
        if constexpr (executes(f))
            return arithmeticLineHandler<Op, AluOp::Sub>();
        else
            return fallbackHandler<f>();
    }
};

} // namespace

const LineTable line9Table = lineTableOf<Line9>;

} // namespace pelmit::m68k
