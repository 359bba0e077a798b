// What the line decoders of lines 0-7 take out of an opcode word at compile
// time to pick a handler, and what the handlers of several families share:
// the size field as an operand size, the times of control addressing and the
// pushes and pops of the stack.
#pragma once

#include "pelmit/m68k/operands.h"

namespace pelmit::m68k {

namespace detail {
template <uint32_t Field>
struct SizeOfField;
template <>
struct SizeOfField<0> {
    using type = Byte;
};
template <>
struct SizeOfField<1> {
    using type = Word;
};
template <>
struct SizeOfField<2> {
    using type = Long;
};
} // namespace detail

// The operand size of bits 7-6 (00 byte, 01 word, 10 long).
template <uint32_t Op>
using SizeOf = typename detail::SizeOfField<sizeField(Op)>::type;

// Times of the control modes in the order (An), (d16,An), (d8,An,Xn),
// (xxx).W, (xxx).L, (d16,PC), (d8,PC,Xn).
struct ControlTimes {
    int32_t indirect, disp, index, absShort, absLong, pcDisp, pcIndex;
};

template <Ea M>
constexpr int32_t controlCycles(ControlTimes t) {
    static_assert(isControl(M));
    switch (M) {
    case Ea::Indirect: return t.indirect;
    case Ea::Disp: return t.disp;
    case Ea::Index: return t.index;
    case Ea::AbsShort: return t.absShort;
    case Ea::AbsLong: return t.absLong;
    case Ea::PcDisp: return t.pcDisp;
    default: return t.pcIndex;
    }
}

// The address that a control mode names: its extension words are consumed and
// nothing is read at it.
template <Ea M>
inline uint32_t controlAddress(uint32_t reg) {
    static_assert(isControl(M));
    return Operand<M, Long>(reg).address();
}

// A long onto the stack of the mode in force, and off it.
inline void pushLong(uint32_t value) {
    uint32_t& sp = cpuState.regs[15];
    memWriteLong(sp - 4, value);
    sp -= 4;
}

inline uint32_t popLong() {
    uint32_t& sp = cpuState.regs[15];
    uint32_t value = memReadLong(sp);
    sp += 4;
    return value;
}

} // namespace pelmit::m68k
