// Line 9: SUB, SUBA and SUBX.
#include "pelmit/m68k/arithmetic_line.h"

namespace pelmit::m68k {

const LineTable line9Table =
    lineTableOf<ArithmeticLine<0x9, AluOp::Sub, Family::Sub, Family::Suba, Family::Subx>>;

} // namespace pelmit::m68k
