// EXG: two whole registers swap their values; no flag changes. Register
// numbers 0-15 name D0-D7 and A0-A7, so each form is a pair of bases.
#pragma once

#include "pelmit/m68k/operands.h"

#include <utility>

namespace pelmit::m68k {

// EXG Dx,Dy (0, 0), Ax,Ay (8, 8) and Dx,Ay (0, 8); A7 is the stack pointer in
// force.
template <uint32_t XBase, uint32_t YBase>
void exchange(uint32_t op) {
    std::swap(cpuState.regs[XBase + regHigh(op)], cpuState.regs[YBase + regLow(op)]);
    charge(6);
}

} // namespace pelmit::m68k
