// BTST, BCHG, BCLR and BSET with the bit number in a data register or in an
// immediate word, and MOVEP.
#pragma once

#include "pelmit/m68k/forms.h"

namespace pelmit::m68k {

enum class BitChange : uint8_t { Test, Change, Clear, Set };

// Register forms of BCHG, BCLR and BSET charge the published maximum.
template <BitChange B, bool Static, Ea M>
constexpr int32_t bitCycles() {
    constexpr int32_t extra = Static ? 4 : 0;
    if constexpr (M == Ea::DataReg) {
        constexpr int32_t reg[] = {6, 8, 10, 8};
        return reg[int(B)] + extra;
    } else {
        return (B == BitChange::Test ? 4 : 8) + extra + eaCycles<M, Byte>();
    }
}

template <BitChange B>
constexpr uint32_t applyBit(uint32_t value, uint32_t mask) {
    if constexpr (B == BitChange::Change)
        return value ^ mask;
    else if constexpr (B == BitChange::Clear)
        return value & ~mask;
    else
        return value | mask;
}

// Z tells whether the bit was 0 before the change; a register is taken modulo
// 32, a memory byte (or the immediate byte of BTST) modulo 8.
template <BitChange B, bool Static, Ea M>
void bitOperation(uint32_t op) {
    uint32_t bit = Static ? fetchWord() : cpuState.regs[regHigh(op)];
    if constexpr (M == Ea::DataReg) {
        uint32_t& r = cpuState.regs[regLow(op)];
        uint32_t mask = 1u << (bit & 31);
        runState.z = (r & mask) == 0;
        if constexpr (B != BitChange::Test) r = applyBit<B>(r, mask);
    } else {
        Operand<M, Byte> dst(regLow(op));
        uint32_t d = dst.read();
        uint32_t mask = 1u << (bit & 7);
        runState.z = (d & mask) == 0;
        if constexpr (B != BitChange::Test) dst.write(applyBit<B>(d, mask));
        dst.finish();
    }
    charge(bitCycles<B, Static, M>());
}

// MOVEP: the bytes of a register, high first, to or from every other byte
// from (d16,Ay) on. Opmode 4-7: word in, long in, word out, long out.
template <uint32_t Opmode>
void movePeripheral(uint32_t op) {
    constexpr uint32_t bytes = Opmode & 1 ? 4 : 2;
    uint32_t a = cpuState.addressRegs()[regLow(op)] + signExtend<Word>(fetchWord());
    uint32_t& d = cpuState.regs[regHigh(op)];
    if constexpr (Opmode < 6) {
        uint32_t value = 0;
        for (uint32_t i = 0; i < bytes; ++i, a += 2) value = value << 8 | memReadByte(a);
        if constexpr (bytes == 4)
            d = value;
        else
            d = (d & 0xFFFF0000) | value;
    } else {
        for (uint32_t shift = bytes * 8; shift > 0; a += 2) {
            shift -= 8;
            memWriteByte(a, d >> shift);
        }
    }
    charge(bytes == 4 ? 24 : 16);
}

} // namespace pelmit::m68k
