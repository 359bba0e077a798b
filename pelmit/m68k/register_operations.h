// SWAP and EXT on a data register, CHK of a data register against a bound,
// and the address instructions LEA and PEA.
#pragma once

#include "pelmit/m68k/forms.h"

namespace pelmit::m68k {

inline void swapHalves(uint32_t op) {
    uint32_t& d = cpuState.regs[regLow(op)];
    d = d << 16 | d >> 16;
    setLogic<Long>(d);
    charge(4);
}

// EXT.W sign-extends the low byte into the low word, EXT.L the low word into
// the register.
template <class S>
void extend(uint32_t op) {
    uint32_t& d = cpuState.regs[regLow(op)];
    if constexpr (S::bytes == 2) {
        uint32_t value = signExtend<Byte>(d) & 0xFFFF;
        d = (d & 0xFFFF0000) | value;
        setLogic<Word>(value);
    } else {
        d = signExtend<Word>(d);
        setLogic<Long>(d);
    }
    charge(4);
}

// CHK traps (vector 6, the next instruction stacked) when the low word of Dn
// is below 0 (N set) or above the bound (N clear). Z, V and C are always
// cleared here, and N in bounds too: the published definition leaves them
// undefined.
template <Ea M>
void checkBounds(uint32_t op) {
    Operand<M, Word> src(regLow(op));
    int32_t bound = int16_t(src.read());
    src.finish();
    int32_t value = int16_t(cpuState.regs[regHigh(op)]);
    RunState& r = runState;
    r.z = r.v = r.c = 0;
    r.n = value < 0;
    constexpr int32_t ea = eaCycles<M, Word>();
    if (value < 0 || value > bound)
        takeException(6, 40 + ea);
    else
        charge(10 + ea);
}

template <Ea M>
void loadEffectiveAddress(uint32_t op) {
    uint32_t address = controlAddress<M>(regLow(op));
    cpuState.addressRegs()[regHigh(op)] = address;
    charge(controlCycles<M>({4, 8, 12, 8, 12, 8, 12}));
}

// PEA (A7) pushes A7 as it was before the push.
template <Ea M>
void pushEffectiveAddress(uint32_t op) {
    pushLong(controlAddress<M>(regLow(op)));
    charge(controlCycles<M>({12, 16, 20, 16, 20, 16, 20}));
}

} // namespace pelmit::m68k
