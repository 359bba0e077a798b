// MULU, MULS (line C) and DIVU, DIVS (line 8): 16 by 16 bits into 32, and
// 32 by 16 bits into a 16-bit quotient and remainder.
#pragma once

#include "pelmit/m68k/operands.h"

#include <bit>
#include <cstdint>

namespace pelmit::m68k {

// The data-dependent part of a multiply's time is two cycles per step of the
// 68000's algorithm: per 1 bit of the source for MULU, per change between
// adjacent bits (with a 0 below bit 0) for MULS.
template <bool Signed>
constexpr int32_t multiplySteps(uint32_t source) {
    if constexpr (Signed)
        return std::popcount((source ^ (source << 1)) & 0xFFFF);
    else
        return std::popcount(source & 0xFFFF);
}

// MULU, MULS <ea>,Dn: the low words of the source and of Dn, the whole
// product into Dn.
template <bool Signed, Ea M>
void multiply(uint32_t op) {
    Operand<M, Word> src(regLow(op));
    uint32_t s = src.read();
    src.finish();
    uint32_t& d = cpuState.dataRegs()[regHigh(op)];
    uint32_t product;
    if constexpr (Signed)
        product = uint32_t(int32_t(int16_t(s)) * int32_t(int16_t(d)));
    else
        product = s * (d & 0xFFFF);
    d = product;
    setLogic<Long>(product);
    charge(38 + Operand<M, Word>::cycles + 2 * multiplySteps<Signed>(s));
}

// DIVU, DIVS <ea>,Dn. These charge a fixed time where the 68000's depends on
// the operands. A zero divisor traps with the flags as they were; an overflow
// sets V, clears N, Z and C and leaves Dn alone.
template <bool Signed, Ea M>
void divide(uint32_t op) {
    Operand<M, Word> src(regLow(op));
    uint32_t s = src.read();
    src.finish();
    constexpr int32_t eaTime = Operand<M, Word>::cycles;
    if (s == 0) return takeException(5, 38 + eaTime);
    uint32_t& d = cpuState.dataRegs()[regHigh(op)];
    uint32_t quotient = 0, remainder = 0;
    bool overflow;
    if constexpr (Signed) {
        // -2^31 / -1 has no 32-bit quotient: test before dividing.
        int32_t dividend = int32_t(d), divisor = int16_t(s);
        overflow = dividend == INT32_MIN && divisor == -1;
        if (!overflow) {
            int32_t q = dividend / divisor;
            overflow = q < -32768 || q > 32767;
            quotient = uint32_t(q);
            remainder = uint32_t(dividend % divisor);
        }
    } else {
        quotient = d / s;
        remainder = d % s;
        overflow = quotient > 0xFFFF;
    }
    RunState& r = runState;
    if (overflow) {
        r.n = r.z = r.c = 0;
        r.v = 1;
    } else {
        d = remainder << 16 | (quotient & 0xFFFF);
        setLogic<Word>(quotient);
    }
    charge((Signed ? 150 : 133) + eaTime);
}

} // namespace pelmit::m68k
