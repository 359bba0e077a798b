// The effective-address operand library that every handler family uses.
//
// An Operand<M, S> is one operand of mode M and size S. Constructing it reads
// the mode's extension words and forms its address from the registers as they
// stand; read() and write() access it (through the memory routines, a register
// or the immediate); finish() stores the new address register of (An)+ and
// -(An). The order that every instruction keeps follows from using them in
// sequence:
//
//   source:       Operand<M, S> src(regLow(op)); v = src.read(); src.finish();
//   destination:  Operand<M, S> dst(reg); (d = dst.read();) dst.write(r); dst.finish();
//
// so the source is complete, its register update included, before the
// destination's extension words are read and its address is formed. The
// instruction's own words (immediate, bit number, displacement) are fetched
// with fetchImmediate() before any operand is constructed.
#pragma once

#include "pelmit/m68k/decode.h"
#include "pelmit/m68k/flags.h"

namespace pelmit::m68k {

// Effective-address time of mode M at size S.
template <Ea M, class S>
constexpr int32_t eaCycles() {
    constexpr int32_t wordTimes[] = {0, 0, 4, 4, 6, 8, 10, 8, 12, 8, 10, 4};
    constexpr int32_t longTimes[] = {0, 0, 8, 8, 10, 12, 14, 12, 16, 12, 14, 8};
    static_assert(M != Ea::None);
    return S::bytes == 4 ? longTimes[int(M)] : wordTimes[int(M)];
}

// The brief extension word of (d8,An,Xn) and (d8,PC,Xn): index + d8. Bits
// 15-12 name the index among D0-D7 and A0-A7, bit 11 its size; bits 10-8 mean
// nothing.
inline uint32_t indexedDisplacement() {
    uint32_t w = fetchWord();
    uint32_t index = cpuState.regs[w >> 12];
    if (!(w & 0x800)) index = signExtend<Word>(index);
    return index + signExtend<Byte>(w);
}

// An immediate of size S from the instruction stream: a byte is the low byte
// of one word, a long two words, high first.
template <class S>
inline uint32_t fetchImmediate() {
    if constexpr (S::bytes == 4)
        return fetchLong();
    else
        return fetchWord() & S::mask;
}

template <class S>
inline uint32_t readMemory(uint32_t address) {
    if constexpr (S::bytes == 1)
        return memReadByte(address);
    else if constexpr (S::bytes == 2)
        return memReadWord(address);
    else
        return memReadLong(address);
}

template <class S>
inline void writeMemory(uint32_t address, uint32_t value) {
    if constexpr (S::bytes == 1)
        memWriteByte(address, value);
    else if constexpr (S::bytes == 2)
        memWriteWord(address, value);
    else
        memWriteLong(address, value);
}

// Stores the low S bits of value into register reg (0-15), keeping the rest.
template <class S>
inline void writeRegister(uint32_t reg, uint32_t value) {
    uint32_t& r = cpuState.regs[reg];
    r = (r & ~S::mask) | (value & S::mask);
}

// The step of (An)+ and -(An): the size, but 2 for a byte on A7.
template <class S>
constexpr uint32_t addressStep(uint32_t reg) {
    return S::bytes == 1 && reg == 7 ? 2 : S::bytes;
}

template <Ea M, class S>
class Operand {
public:
    static constexpr int32_t cycles = eaCycles<M, S>();
    static constexpr bool inMemory = M != Ea::DataReg && M != Ea::AddrReg && M != Ea::Immediate;

    // reg is the register field of the mode (bits 2-0 for most operands); the
    // mode-7 forms ignore it.
    explicit Operand(uint32_t reg) : reg_(reg & 7) {
        uint32_t* a = cpuState.addressRegs();
        if constexpr (M == Ea::Indirect || M == Ea::PostInc) {
            address_ = a[reg_];
        } else if constexpr (M == Ea::PreDec) {
            address_ = a[reg_] - addressStep<S>(reg_);
        } else if constexpr (M == Ea::Disp) {
            address_ = a[reg_] + signExtend<Word>(fetchWord());
        } else if constexpr (M == Ea::Index) {
            address_ = a[reg_] + indexedDisplacement();
        } else if constexpr (M == Ea::AbsShort) {
            address_ = signExtend<Word>(fetchWord());
        } else if constexpr (M == Ea::AbsLong) {
            address_ = fetchLong();
        } else if constexpr (M == Ea::PcDisp) {
            uint32_t base = currentPc();
            address_ = base + signExtend<Word>(fetchWord());
        } else if constexpr (M == Ea::PcIndex) {
            uint32_t base = currentPc();
            address_ = base + indexedDisplacement();
        } else if constexpr (M == Ea::Immediate) {
            address_ = fetchImmediate<S>();
        } else {
            static_assert(M == Ea::DataReg || M == Ea::AddrReg);
            address_ = 0;
        }
    }

    // The effective address of a memory operand.
    uint32_t address() const { return address_; }
    uint32_t reg() const { return reg_; }

    // The operand's value, zero-extended from size S.
    uint32_t read() const {
        if constexpr (M == Ea::DataReg)
            return cpuState.regs[reg_] & S::mask;
        else if constexpr (M == Ea::AddrReg)
            return cpuState.regs[8 + reg_] & S::mask;
        else if constexpr (M == Ea::Immediate)
            return address_;
        else
            return readMemory<S>(address_);
    }

    // Stores value: the low S bits of a data register, all 32 bits of an
    // address register (the caller sign-extends), or memory at the address.
    void write(uint32_t value) const {
        static_assert(M != Ea::Immediate && M != Ea::PcDisp && M != Ea::PcIndex);
        if constexpr (M == Ea::DataReg)
            writeRegister<S>(reg_, value);
        else if constexpr (M == Ea::AddrReg)
            cpuState.regs[8 + reg_] = value;
        else
            writeMemory<S>(address_, value);
    }

    // The address-register update of (An)+ and -(An), after the last access.
    void finish() const {
        if constexpr (M == Ea::PostInc)
            cpuState.regs[8 + reg_] = address_ + addressStep<S>(reg_);
        else if constexpr (M == Ea::PreDec)
            cpuState.regs[8 + reg_] = address_;
    }

private:
    uint32_t reg_;
    uint32_t address_;
};

} // namespace pelmit::m68k
