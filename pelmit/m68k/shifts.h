// Line E: ASL, ASR, LSL, LSR, ROXL, ROXR, ROL and ROR of data registers (by a
// count of 1-8 in the opcode or by a register modulo 64) and of memory words
// (by one).
//
// Counts reach 63 on operands of 8 to 32 bits, so every shift is made on
// 64-bit values: a shift by the width or more is well defined there.
#pragma once

#include "pelmit/m68k/operand_size.h"
#include "pelmit/m68k/operands.h"

namespace pelmit::m68k {

// Bits 4-3 of the register forms and bits 10-9 of the memory forms.
enum class ShiftKind : uint8_t { Arithmetic, Logical, RotateExtend, Rotate };

// Shifts or rotates the S-bit operand x by n (1-63) places and sets the
// condition codes: C the last bit out, X = C except for ROL and ROR, V only
// for ASL (whether the top bit changed at any step), N and Z from the result.
template <ShiftKind K, bool Left, class S>
inline uint32_t shiftOperand(uint32_t x, uint32_t n) {
    constexpr uint32_t w = S::bytes * 8;
    RunState& st = runState;
    uint64_t wide = x;
    uint32_t result, carry;
    uint8_t overflow = 0;
    if constexpr (K == ShiftKind::Arithmetic || K == ShiftKind::Logical) {
        if constexpr (Left) {
            uint64_t shifted = wide << n;
            result = uint32_t(shifted) & S::mask;
            carry = uint32_t(shifted >> w) & 1;
            if constexpr (K == ShiftKind::Arithmetic) {
                if (n >= w) {
                    overflow = x != 0;
                } else {
                    // The top n + 1 bits of the operand, all alike or not.
                    uint32_t top = x >> (w - 1 - n);
                    uint32_t ones = (2u << n) - 1;
                    overflow = top != 0 && top != ones;
                }
            }
        } else if constexpr (K == ShiftKind::Arithmetic) {
            int64_t signedWide = int64_t(int32_t(signExtend<S>(x)));
            result = uint32_t(signedWide >> n) & S::mask;
            carry = uint32_t(signedWide >> (n - 1)) & 1;
        } else {
            result = uint32_t(wide >> n);
            carry = uint32_t(wide >> (n - 1)) & 1;
        }
        st.extendFlag = uint8_t(carry);
    } else if constexpr (K == ShiftKind::Rotate) {
        uint32_t k = n & (w - 1);
        if constexpr (Left)
            result = uint32_t((wide << k) | (wide >> (w - k))) & S::mask;
        else
            result = uint32_t((wide >> k) | (wide << (w - k))) & S::mask;
        carry = Left ? result & 1 : result >> (w - 1);
    } else {
        // X and the operand form one quantity of w + 1 bits.
        constexpr uint64_t all = (uint64_t(1) << (w + 1)) - 1;
        uint32_t k = n % (w + 1);
        uint64_t q = uint64_t(st.extendFlag) << w | wide;
        if constexpr (Left)
            q = ((q << k) | (q >> (w + 1 - k))) & all;
        else
            q = ((q >> k) | (q << (w + 1 - k))) & all;
        result = uint32_t(q) & S::mask;
        carry = uint32_t(q >> w);
        st.extendFlag = uint8_t(carry);
    }
    st.c = uint8_t(carry);
    st.v = overflow;
    setNZ<S>(result);
    return result;
}

// A count of 1-8 held in the opcode (0 there means 8).
template <ShiftKind K, bool Left, class S, uint32_t Count>
void shiftRegisterByImmediate(uint32_t op) {
    uint32_t y = regLow(op);
    writeRegister<S>(y, shiftOperand<K, Left, S>(cpuState.regs[y] & S::mask, Count));
    charge((S::bytes < 4 ? 6 : 8) + 2 * int32_t(Count));
}

// A count of Dx modulo 64, read before Dy changes. Count 0 changes no
// register and leaves X; C is then cleared, or X for the rotates through X.
template <ShiftKind K, bool Left, class S>
void shiftRegisterByRegister(uint32_t op) {
    uint32_t n = cpuState.regs[regHigh(op)] & 63;
    uint32_t y = regLow(op);
    uint32_t x = cpuState.regs[y] & S::mask;
    if (n) {
        writeRegister<S>(y, shiftOperand<K, Left, S>(x, n));
    } else {
        setLogic<S>(x);
        if constexpr (K == ShiftKind::RotateExtend) runState.c = runState.extendFlag;
    }
    charge((S::bytes < 4 ? 6 : 8) + 2 * int32_t(n));
}

// The memory forms: one word, one place, read and written once.
template <ShiftKind K, bool Left, Ea M>
void shiftMemory(uint32_t op) {
    Operand<M, Word> dst(regLow(op));
    dst.write(shiftOperand<K, Left, Word>(dst.read(), 1));
    dst.finish();
    charge(8 + Operand<M, Word>::cycles);
}

} // namespace pelmit::m68k
