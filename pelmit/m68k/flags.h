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

// Addition d + s = r: N, Z, signed overflow, carry; X = C.
template <class S>
inline void setAdd(uint32_t s, uint32_t d, uint32_t r) {
    setNZ<S>(r);
    runState.v = ((s ^ r) & (d ^ r) & S::msb) != 0;
    runState.c = (((s & d) | (~r & (s | d))) & S::msb) != 0;
    runState.extendFlag = runState.c;
}

// Compare class, d - s = r: N, Z, signed overflow, borrow; X kept.
template <class S>
inline void setCompare(uint32_t s, uint32_t d, uint32_t r) {
    setNZ<S>(r);
    runState.v = ((s ^ d) & (r ^ d) & S::msb) != 0;
    runState.c = (((s & r) | (~d & (s | r))) & S::msb) != 0;
}

// Subtraction d - s = r: as compare, and X = C.
template <class S>
inline void setSubtract(uint32_t s, uint32_t d, uint32_t r) {
    setCompare<S>(s, d, r);
    runState.extendFlag = runState.c;
}

// Extended class (ADDX, SUBX, NEGX and the decimal instructions): Z is only
// ever cleared, so that a chain keeps it only while every part is zero.
template <class S>
inline void clearZUnlessZero(uint32_t result) {
    if (result & S::mask) runState.z = 0;
}

template <class S>
inline void setAddExtended(uint32_t s, uint32_t d, uint32_t r) {
    uint8_t z = runState.z;
    setAdd<S>(s, d, r);
    runState.z = z;
    clearZUnlessZero<S>(r);
}

template <class S>
inline void setSubtractExtended(uint32_t s, uint32_t d, uint32_t r) {
    uint8_t z = runState.z;
    setSubtract<S>(s, d, r);
    runState.z = z;
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
