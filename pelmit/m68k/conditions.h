// Scc and DBcc: the sixteen condition tests applied to a byte and to a loop
// counter.
#pragma once

#include "pelmit/m68k/forms.h"

namespace pelmit::m68k {

// Scc writes its byte without reading it first.
template <uint32_t C, Ea M>
void setOnCondition(uint32_t op) {
    uint32_t taken = testCondition(C);
    uint32_t value = 0u - taken;
    if constexpr (M == Ea::DataReg) {
        writeRegister<Byte>(regLow(op), value);
        charge(4 + 2 * int32_t(taken));
    } else {
        Operand<M, Byte> dst(regLow(op));
        dst.write(value);
        dst.finish();
        charge(8 + eaCycles<M, Byte>());
    }
}

// DBcc: a true condition ends the loop; otherwise the low word of Dn counts
// down and the branch is taken until it passes 0 to 0xFFFF.
template <uint32_t C>
void decrementAndBranch(uint32_t op) {
    RunState& r = runState;
    if (testCondition(C)) {
        r.ip += 2;
        charge(12);
        return;
    }
    uint32_t& counter = cpuState.regs[regLow(op)];
    uint32_t low = (counter - 1) & 0xFFFF;
    counter = (counter & 0xFFFF0000) | low;
    if (low == 0xFFFF) {
        r.ip += 2;
        charge(14);
        return;
    }
    uint32_t base = currentPc();
    setPc(base + signExtend<Word>(fetchWord()));
    charge(10);
}

} // namespace pelmit::m68k
