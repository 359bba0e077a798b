// ABCD (line C) and SBCD (line 8): packed decimal bytes with the X flag as
// carry or borrow. Digits above 9 are not refused; they go through the same
// correction steps. N is bit 7 of the result and V is cleared.
#pragma once

#include "pelmit/m68k/arithmetic.h"

namespace pelmit::m68k {

// The flags of both: C = X = the decimal carry or borrow, Z only cleared.
inline uint32_t setDecimal(uint32_t result, uint32_t carry) {
    RunState& r = runState;
    r.c = r.extendFlag = uint8_t(carry);
    if (result) r.z = 0;
    r.n = result >> 7;
    r.v = 0;
    return result;
}

// d + s + X. The tests of the high-digit step look at the binary sum, not at
// the sum after the low-digit correction.
inline uint32_t addDecimal(uint32_t d, uint32_t s) {
    uint32_t x = runState.extendFlag;
    uint32_t sum = d + s + x;
    uint32_t r0 = sum & 0xFF;
    bool halfCarry = (d & 15) + (s & 15) + x > 15;
    uint32_t r = (r0 & 15) > 9 || halfCarry ? (r0 + 6) & 0xFF : r0;
    bool carry = r0 > 0x99 || sum > 0xFF;
    if (carry) r = (r + 0x60) & 0xFF;
    return setDecimal(r, carry);
}

// d - s - X.
inline uint32_t subtractDecimal(uint32_t d, uint32_t s) {
    uint32_t x = runState.extendFlag;
    uint32_t r0 = (d - s - x) & 0xFF;
    bool borrow = d < s + x;
    bool halfBorrow = (d & 15) < (s & 15) + x;
    uint32_t r = r0;
    bool carry = false;
    if ((r0 & 15) > 9 || halfBorrow) {
        r = (r0 - 6) & 0xFF;
        carry = borrow || r0 < 6;
    }
    if (r0 > 0x99 || borrow) {
        r = (r - 0x60) & 0xFF;
        carry = true;
    }
    return setDecimal(r, carry);
}

template <bool Add>
inline uint32_t decimal(uint32_t s, uint32_t d) {
    if constexpr (Add)
        return addDecimal(d, s);
    else
        return subtractDecimal(d, s);
}

// ABCD, SBCD Dy,Dx (the low bytes) and -(Ay),-(Ax).
template <bool Add>
void decimalRegisters(uint32_t op) {
    dataRegisterPair<Byte>(op, decimal<Add>);
    charge(6);
}

template <bool Add>
void decimalMemory(uint32_t op) {
    predecrementPair<Byte>(op, decimal<Add>);
    charge(18);
}

// The handler of an ABCD or SBCD word.
template <uint32_t Op, bool Add>
constexpr Handler decimalHandler() {
    return eaSource(Op) == Ea::DataReg ? &decimalRegisters<Add> : &decimalMemory<Add>;
}

} // namespace pelmit::m68k
