// Line D: ADD, ADDA and ADDX.
#include "pelmit/m68k/arithmetic_line.h"

namespace pelmit::m68k {

const LineTable lineDTable =
    lineTableOf<ArithmeticLine<0xD, AluOp::Add, Family::Add, Family::Adda, Family::Addx>>;

} // namespace pelmit::m68k
