// ORI, ANDI, SUBI, ADDI, EORI and CMPI on data-alterable destinations (the
// status-register and condition-code forms are in system_control.h).
#pragma once

#include "pelmit/m68k/forms.h"

namespace pelmit::m68k {

enum class ImmediateOp : uint8_t { Or, And, Sub, Add, Eor, Cmp };

// The published times; the immediate's own fetch is in the base.
template <ImmediateOp O, class S, Ea M>
constexpr int32_t immediateCycles() {
    constexpr bool isLong = S::bytes == 4;
    if constexpr (O == ImmediateOp::Cmp) {
        if constexpr (M == Ea::DataReg) return isLong ? 14 : 8;
        return (isLong ? 12 : 8) + eaCycles<M, S>();
    } else {
        if constexpr (M == Ea::DataReg) return isLong ? (O == ImmediateOp::And ? 14 : 16) : 8;
        return (isLong ? 20 : 12) + eaCycles<M, S>();
    }
}

template <ImmediateOp O, class S, Ea M>
void immediateOperation(uint32_t op) {
    uint32_t s = fetchImmediate<S>();
    Operand<M, S> dst(regLow(op));
    uint32_t d = dst.read();
    if constexpr (O == ImmediateOp::Cmp) {
        setCompare<S>(s, d, d - s);
    } else {
        uint32_t r;
        if constexpr (O == ImmediateOp::Or) {
            r = d | s;
            setLogic<S>(r);
        } else if constexpr (O == ImmediateOp::And) {
            r = d & s;
            setLogic<S>(r);
        } else if constexpr (O == ImmediateOp::Eor) {
            r = d ^ s;
            setLogic<S>(r);
        } else if constexpr (O == ImmediateOp::Add) {
            r = d + s;
            setAdd<S>(s, d, r);
        } else {
            r = d - s;
            setSubtract<S>(s, d, r);
        }
        dst.write(r);
    }
    dst.finish();
    charge(immediateCycles<O, S, M>());
}

} // namespace pelmit::m68k
