// ADDQ and SUBQ: a constant of 1 to 8 from the opcode word added to or taken
// from a data register, an address register or memory.
#pragma once

#include "pelmit/m68k/forms.h"

namespace pelmit::m68k {

// ADDQ.W to an address register costs 4 here, not the published 8 of SUBQ.W.
template <bool Subtract, class S, Ea M>
constexpr int32_t quickCycles() {
    constexpr bool isLong = S::bytes == 4;
    if constexpr (M == Ea::DataReg) return isLong ? 8 : 4;
    if constexpr (M == Ea::AddrReg) return isLong || Subtract ? 8 : 4;
    return (isLong ? 12 : 8) + eaCycles<M, S>();
}

// The constant of bits 11-9: 1-7, and 8 for 0.
constexpr uint32_t quickValue(uint32_t op) {
    return ((regHigh(op) - 1) & 7) + 1;
}

// An address register takes the constant on all 32 bits at either size and
// keeps every flag.
template <bool Subtract, class S, Ea M>
void quickArithmetic(uint32_t op) {
    const uint32_t q = quickValue(op);
    if constexpr (M == Ea::AddrReg) {
        uint32_t& a = cpuState.addressRegs()[regLow(op)];
        a = Subtract ? a - q : a + q;
    } else {
        Operand<M, S> dst(regLow(op));
        uint32_t d = dst.read();
        uint32_t r;
        if constexpr (Subtract) {
            r = d - q;
            setSubtract<S>(q, d, r);
        } else {
            r = d + q;
            setAdd<S>(q, d, r);
        }
        dst.write(r);
        dst.finish();
    }
    charge(quickCycles<Subtract, S, M>());
}

} // namespace pelmit::m68k
