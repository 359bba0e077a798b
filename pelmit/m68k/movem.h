// MOVEM: the registers of a mask to or from consecutive words or longs.
//
// The mask word comes before the effective address's extension words. In
// the -(An) form mask bit i names register 15 - i and the registers are
// stored from A7 down to D0; every other form runs from D0 up to A7. Words
// read into registers are sign-extended to 32 bits. The extra read that the
// 68000 makes after the last register is not made; its time stays in the base.
#pragma once

#include "pelmit/m68k/forms.h"

#include <bit>

namespace pelmit::m68k {

// Registers to memory; -(An) stores An as it was when the instruction began.
template <class S, Ea M>
void moveMultipleToMemory(uint32_t op) {
    uint32_t mask = fetchWord();
    int32_t count = std::popcount(mask);
    uint32_t* regs = cpuState.regs;
    if constexpr (M == Ea::PreDec) {
        uint32_t& an = cpuState.addressRegs()[regLow(op)];
        uint32_t a = an;
        for (; mask; mask &= mask - 1) {
            a -= S::bytes;
            writeMemory<S>(a, regs[15 - std::countr_zero(mask)]);
        }
        an = a;
        charge(8 + int32_t(S::bytes) * 2 * count);
    } else {
        uint32_t a = controlAddress<M>(regLow(op));
        for (; mask; mask &= mask - 1) {
            writeMemory<S>(a, regs[std::countr_zero(mask)]);
            a += S::bytes;
        }
        charge(4 + eaCycles<M, Word>() + int32_t(S::bytes) * 2 * count);
    }
}

// Memory to registers; (An)+ leaves An past the last register read, even when
// An was itself in the list.
template <class S, Ea M>
void moveMultipleToRegisters(uint32_t op) {
    uint32_t mask = fetchWord();
    int32_t count = std::popcount(mask);
    uint32_t* regs = cpuState.regs;
    uint32_t reg = regLow(op);
    uint32_t a;
    if constexpr (M == Ea::PostInc)
        a = cpuState.addressRegs()[reg];
    else
        a = controlAddress<M>(reg);
    for (; mask; mask &= mask - 1) {
        regs[std::countr_zero(mask)] = signExtend<S>(readMemory<S>(a));
        a += S::bytes;
    }
    if constexpr (M == Ea::PostInc) cpuState.addressRegs()[reg] = a;
    charge(8 + eaCycles<M, Word>() + int32_t(S::bytes) * 2 * count);
}

} // namespace pelmit::m68k
