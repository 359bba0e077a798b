// The one-operand instructions of line 4 with a size: NEGX, CLR, NEG, NOT
// and TST; and the byte instructions TAS and NBCD.
#pragma once

#include "pelmit/m68k/forms.h"

namespace pelmit::m68k {

enum class UnaryOp : uint8_t { Negx, Clr, Neg, Not };

// CLR.B and CLR.W to memory cost 6 + EA here (published 8 + EA), CLR.L to a
// data register 8 (published 6).
template <UnaryOp O, class S, Ea M>
constexpr int32_t unaryCycles() {
    constexpr bool isLong = S::bytes == 4;
    if constexpr (M == Ea::DataReg) return isLong ? (O == UnaryOp::Clr ? 8 : 6) : 4;
    if constexpr (O == UnaryOp::Clr && !isLong) return 6 + eaCycles<M, S>();
    return (isLong ? 12 : 8) + eaCycles<M, S>();
}

// CLR writes its operand without reading it.
template <UnaryOp O, class S, Ea M>
void unaryOperation(uint32_t op) {
    Operand<M, S> dst(regLow(op));
    uint32_t r;
    if constexpr (O == UnaryOp::Clr) {
        r = 0;
        setLogic<S>(0);
    } else {
        uint32_t d = dst.read();
        if constexpr (O == UnaryOp::Not) {
            r = ~d;
            setLogic<S>(r);
        } else if constexpr (O == UnaryOp::Neg) {
            r = 0 - d;
            setSubtract<S>(d, 0, r);
        } else {
            r = 0 - d - runState.extendFlag;
            setSubtractExtended<S>(d, 0, r);
        }
    }
    dst.write(r);
    dst.finish();
    charge(unaryCycles<O, S, M>());
}

template <class S, Ea M>
void test(uint32_t op) {
    Operand<M, S> src(regLow(op));
    setLogic<S>(src.read());
    src.finish();
    charge(4 + eaCycles<M, S>());
}

// TAS writes the byte back with bit 7 set even when it was set already.
template <Ea M>
void testAndSet(uint32_t op) {
    Operand<M, Byte> dst(regLow(op));
    uint32_t d = dst.read();
    setLogic<Byte>(d);
    dst.write(d | 0x80);
    dst.finish();
    charge(M == Ea::DataReg ? 4 : 14 + eaCycles<M, Byte>());
}

// 0 - d - X in decimal. N is bit 7 of the result and V is cleared (the
// published definition leaves both undefined); digits of 10-15 go through
// the same steps.
inline uint32_t negateDecimal(uint32_t d) {
    RunState& r = runState;
    uint32_t x = r.extendFlag;
    uint32_t t = (0 - d - x) & 0xFF;
    if ((d & 0x0F) != 0 || x) t = (t - 6) & 0xFF;
    uint32_t borrow = d != 0 || x;
    if (borrow) t = (t - 0x60) & 0xFF;
    r.c = r.extendFlag = uint8_t(borrow);
    if (t) r.z = 0;
    r.n = t >> 7;
    r.v = 0;
    return t;
}

template <Ea M>
void negateDecimalOperand(uint32_t op) {
    Operand<M, Byte> dst(regLow(op));
    dst.write(negateDecimal(dst.read()));
    dst.finish();
    charge(M == Ea::DataReg ? 6 : 8 + eaCycles<M, Byte>());
}

} // namespace pelmit::m68k
