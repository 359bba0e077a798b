// Operand sizes, the condition-code classes and the sixteen condition tests.
//
// During a run N, Z, V and C live in runState.n/z/v/c and X in extendFlag, one
// byte each holding 0 or 1, set straight from 32-bit unsigned arithmetic.
#pragma once

#include "pelmit/m68k/core.h"

namespace pelmit::m68k {

struct Byte {
    static constexpr uint32_t bytes = 1, mask = 0xFF, msb = 0x80;
};
struct Word {
    static constexpr uint32_t bytes = 2, mask = 0xFFFF, msb = 0x8000;
};
struct Long {
    static constexpr uint32_t bytes = 4, mask = 0xFFFFFFFF, msb = 0x80000000;
};

template <class S>
constexpr uint32_t signExtend(uint32_t value) {
    if constexpr (S::bytes == 1)
        return uint32_t(int32_t(int8_t(uint8_t(value))));
    else if constexpr (S::bytes == 2)
        return uint32_t(int32_t(int16_t(uint16_t(value))));
    else
        return value;
}

// N and Z from a result of size S.
template <class S>
inline void setNZ(uint32_t result) {
    runState.n = (result & S::msb) != 0;
    runState.z = (result & S::mask) == 0;
}

// Logical class: N, Z from the result, V and C cleared, X kept.
template <class S>
inline void setLogic(uint32_t result) {
    setNZ<S>(result);
    runState.v = 0;
    runState.c = 0;
}

// An operand of size S moved to the top of 32 bits, where the host's carry
// and overflow of a 32-bit operation are those of size S.
template <class S>
constexpr uint32_t atTop(uint32_t value) {
    return value << (32 - 8 * S::bytes);
}

// N, Z, V and C of d + s or d - s at size S, from the host's flags of one
// 32-bit operation on the operands moved to the top.
template <class S, bool Subtract>
inline void setFromHost(uint32_t s, uint32_t d) {
    RunState& st = runState;
    uint32_t a = atTop<S>(d), b = atTop<S>(s), r;
    int32_t signedR;
    if constexpr (Subtract) {
        st.c = __builtin_sub_overflow(a, b, &r);
        st.v = __builtin_sub_overflow(int32_t(a), int32_t(b), &signedR);
    } else {
        st.c = __builtin_add_overflow(a, b, &r);
        st.v = __builtin_add_overflow(int32_t(a), int32_t(b), &signedR);
    }
    st.n = r >> 31;
    st.z = r == 0;
}

// Addition r = d + s: N, Z, signed overflow, carry; X = C.
template <class S>
inline void setAdd(uint32_t s, uint32_t d, [[maybe_unused]] uint32_t r) {
    setFromHost<S, false>(s, d);
    runState.extendFlag = runState.c;
}

// Compare class, r = d - s: N, Z, signed overflow, borrow; X kept.
template <class S>
inline void setCompare(uint32_t s, uint32_t d, [[maybe_unused]] uint32_t r) {
    setFromHost<S, true>(s, d);
}

// Subtraction r = d - s: as compare, and X = C.
template <class S>
inline void setSubtract(uint32_t s, uint32_t d, [[maybe_unused]] uint32_t r) {
    setFromHost<S, true>(s, d);
    runState.extendFlag = runState.c;
}

// Extended class (ADDX, SUBX, NEGX and the decimal instructions): Z is only
// ever cleared, so that a chain keeps it only while every part is zero.
template <class S>
inline void clearZUnlessZero(uint32_t result) {
    if (result & S::mask) runState.z = 0;
}

// N, V, C and X of r = d + s + X or r = d - s - X, from the top bits of the
// operands and the result.
template <class S, bool Subtract>
inline void setWithCarryIn(uint32_t s, uint32_t d, uint32_t r) {
    RunState& st = runState;
    st.n = (r & S::msb) != 0;
    if constexpr (Subtract) {
        st.v = ((s ^ d) & (r ^ d) & S::msb) != 0;
        st.c = (((s & r) | (~d & (s | r))) & S::msb) != 0;
    } else {
        st.v = ((s ^ r) & (d ^ r) & S::msb) != 0;
        st.c = (((s & d) | (~r & (s | d))) & S::msb) != 0;
    }
    st.extendFlag = st.c;
}

template <class S>
inline void setAddExtended(uint32_t s, uint32_t d, uint32_t r) {
    setWithCarryIn<S, false>(s, d, r);
    clearZUnlessZero<S>(r);
}

template <class S>
inline void setSubtractExtended(uint32_t s, uint32_t d, uint32_t r) {
    setWithCarryIn<S, true>(s, d, r);
    clearZUnlessZero<S>(r);
}

// The sixteen tests of Bcc, DBcc and Scc (condition field 0-15).
inline bool testCondition(uint32_t condition) {
    const RunState& r = runState;
    switch (condition & 15) {
    case 0: return true;
    case 1: return false;
    case 2: return !r.c && !r.z;
    case 3: return r.c || r.z;
    case 4: return !r.c;
    case 5: return r.c;
    case 6: return !r.z;
    case 7: return r.z;
    case 8: return !r.v;
    case 9: return r.v;
    case 10: return !r.n;
    case 11: return r.n;
    case 12: return r.n == r.v;
    case 13: return r.n != r.v;
    case 14: return !r.z && r.n == r.v;
    default: return r.z || r.n != r.v;
    }
}

} // namespace pelmit::m68k
