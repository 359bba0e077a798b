// MOVE and MOVEA of bytes, words and longs, and MOVEQ.
//
// A move handles its source completely, register update included, before it
// reads the destination's extension words and forms its address; the
// destination is written, never read.
#pragma once

#include "pelmit/m68k/forms.h"

namespace pelmit::m68k {

// The published move times: 4, the source's time, and the destination's,
// where -(An) costs what (An) costs.
template <class S, Ea Src, Ea Dst>
constexpr int32_t moveCycles() {
    constexpr Ea timedDst = Dst == Ea::PreDec ? Ea::Indirect : Dst;
    return 4 + eaCycles<Src, S>() + eaCycles<timedDst, S>();
}

template <class S, Ea Src, Ea Dst>
void move(uint32_t op) {
    Operand<Src, S> src(regLow(op));
    uint32_t value = src.read();
    src.finish();
    Operand<Dst, S> dst(regHigh(op));
    dst.write(value);
    dst.finish();
    setLogic<S>(value);
    charge(moveCycles<S, Src, Dst>());
}

// MOVEA: the word sign-extended, into the whole register; no flags. The load
// comes last, so MOVEA (An)+,An keeps the value read.
template <class S, Ea Src>
void moveAddress(uint32_t op) {
    Operand<Src, S> src(regLow(op));
    uint32_t value = signExtend<S>(src.read());
    src.finish();
    cpuState.addressRegs()[regHigh(op)] = value;
    charge(moveCycles<S, Src, Ea::AddrReg>());
}

template <uint32_t R>
void moveQuick(uint32_t op) {
    uint32_t value = signExtend<Byte>(op);
    cpuState.regs[R] = value;
    setLogic<Long>(value);
    charge(4);
}

} // namespace pelmit::m68k
