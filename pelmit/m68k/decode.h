// Opcode fields and effective-address classes, usable at compile time: the
// per-line classifiers and the handler templates decode with them.
#pragma once

#include <cstdint>

namespace pelmit::m68k {

// The twelve addressing modes, in opcode order (mode 7 by its register field).
enum class Ea : uint8_t {
    DataReg,   // Dn
    AddrReg,   // An
    Indirect,  // (An)
    PostInc,   // (An)+
    PreDec,    // -(An)
    Disp,      // (d16,An)
    Index,     // (d8,An,Xn)
    AbsShort,  // (xxx).W
    AbsLong,   // (xxx).L
    PcDisp,    // (d16,PC)
    PcIndex,   // (d8,PC,Xn)
    Immediate, // #<data>
    None,      // mode 7 with register 5-7
};

constexpr Ea eaOf(uint32_t mode, uint32_t reg) {
    if (mode < 7) return Ea(mode);
    return reg <= 4 ? Ea(7 + reg) : Ea::None;
}

// The effective address in bits 5-0 and the destination of MOVE in bits 11-6.
constexpr Ea eaSource(uint32_t op) {
    return eaOf((op >> 3) & 7, op & 7);
}
constexpr Ea eaMoveDest(uint32_t op) {
    return eaOf((op >> 6) & 7, (op >> 9) & 7);
}

constexpr uint32_t lineOf(uint32_t op) {
    return (op >> 12) & 0xF;
}
constexpr uint32_t regHigh(uint32_t op) {
    return (op >> 9) & 7;
} // bits 11-9
constexpr uint32_t regLow(uint32_t op) {
    return op & 7;
} // bits 2-0
constexpr uint32_t opmodeOf(uint32_t op) {
    return (op >> 6) & 7;
} // bits 8-6
constexpr uint32_t sizeField(uint32_t op) {
    return (op >> 6) & 3;
} // bits 7-6
constexpr uint32_t modeField(uint32_t op) {
    return (op >> 3) & 7;
} // bits 5-3

// Addressing classes of the published standard.
constexpr bool isMode(Ea ea) {
    return ea != Ea::None;
}
constexpr bool isData(Ea ea) {
    return isMode(ea) && ea != Ea::AddrReg;
}
constexpr bool isMemory(Ea ea) {
    return isData(ea) && ea != Ea::DataReg;
}
constexpr bool isAlterable(Ea ea) {
    return isMode(ea) && ea <= Ea::AbsLong;
}
constexpr bool isDataAlterable(Ea ea) {
    return isData(ea) && ea <= Ea::AbsLong;
}
constexpr bool isMemoryAlterable(Ea ea) {
    return isMemory(ea) && ea <= Ea::AbsLong;
}
constexpr bool isControl(Ea ea) {
    return ea == Ea::Indirect || ea == Ea::Disp || ea == Ea::Index || ea == Ea::AbsShort ||
           ea == Ea::AbsLong || ea == Ea::PcDisp || ea == Ea::PcIndex;
}
constexpr bool isControlAlterable(Ea ea) {
    return isControl(ea) && ea <= Ea::AbsLong;
}

// Modes that take the register from bits 2-0 of the opcode at run time; the
// mode-7 forms serve one opcode word each.
constexpr bool usesRegister(Ea ea) {
    return ea <= Ea::Index;
}

} // namespace pelmit::m68k
