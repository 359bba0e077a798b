// The instruction families that the decode classifier sorts every opcode word
// into. The classifiers of the opcode lines (lineN.cpp) name the family of
// each word; the dispatch table and the coverage test are built from them.
#pragma once

#include "pelmit/m68k/decode.h"

#include <cstdint>

namespace pelmit::m68k {

// The table keeps one row per group of opcode lines, each led by the lines it
// covers; the formatter would reflow the rows into one run, so it leaves them.
// clang-format off
#define PELMIT_M68K_FAMILIES(X)                                                                    \
    X(Illegal) X(LineA) X(LineF)                                                                   \
    /* line 0 */                                                                                   \
    X(Ori) X(Andi) X(Subi) X(Addi) X(Eori) X(Cmpi) X(OriToCcr) X(AndiToCcr) X(EoriToCcr)           \
    X(OriToSr) X(AndiToSr) X(EoriToSr) X(Btst) X(Bchg) X(Bclr) X(Bset) X(Movep)                    \
    /* lines 1-3 */                                                                                \
    X(MoveB) X(MoveW) X(MoveL) X(MoveaW) X(MoveaL)                                                 \
    /* line 4 */                                                                                   \
    X(Negx) X(Clr) X(Neg) X(Not) X(Tst) X(Tas) X(Nbcd) X(MoveFromSr) X(MoveToCcr) X(MoveToSr)      \
    X(Chk) X(Lea) X(Pea) X(Swap) X(ExtW) X(ExtL) X(MovemToMemory) X(MovemFromMemory)               \
    X(IllegalOpcode) X(Trap) X(Link) X(Unlk) X(MoveToUsp) X(MoveFromUsp) X(Reset)                  \
    X(Nop) X(Stop) X(Rte) X(Rts) X(Trapv) X(Rtr) X(Jsr) X(Jmp)                                     \
    /* lines 5-7 */                                                                                \
    X(Addq) X(Subq) X(Scc) X(Dbcc) X(Bra) X(Bsr) X(Bcc) X(Moveq)                                   \
    /* lines 8-D */                                                                                \
    X(Or) X(Divu) X(Divs) X(Sbcd) X(Sub) X(Suba) X(Subx) X(Cmp) X(Cmpa) X(Cmpm) X(Eor) X(And)      \
    X(Mulu) X(Muls) X(Abcd) X(Exg) X(Add) X(Adda) X(Addx)                                          \
    /* line E, register and memory forms */                                                        \
    X(Asl) X(Asr) X(Lsl) X(Lsr) X(Roxl) X(Roxr) X(Rol) X(Ror)
// clang-format on

enum class Family : uint8_t {
#define PELMIT_M68K_ENUM(name) name,
    PELMIT_M68K_FAMILIES(PELMIT_M68K_ENUM)
#undef PELMIT_M68K_ENUM
        Count
};

constexpr const char* familyName(Family f) {
    constexpr const char* names[] = {
#define PELMIT_M68K_NAME(name) #name,
        PELMIT_M68K_FAMILIES(PELMIT_M68K_NAME)
#undef PELMIT_M68K_NAME
    };
    return f < Family::Count ? names[int(f)] : "?";
}

// The rule that lines 9 (SUB) and D (ADD) share: by opmode, the operation
// into a data register, its address-register form and the extended form.
constexpr Family classifyArithmeticLine(uint32_t op, Family plain, Family address,
                                        Family extended) {
    Ea ea = eaSource(op);
    switch (opmodeOf(op)) {
    case 0: return isData(ea) ? plain : Family::Illegal; // no byte from An
    case 1:
    case 2: return isMode(ea) ? plain : Family::Illegal;
    case 3:
    case 7: return isMode(ea) ? address : Family::Illegal;
    default:
        if (modeField(op) < 2) return extended;
        return isMemoryAlterable(ea) ? plain : Family::Illegal;
    }
}

// The rule of lines 2 and 3: MOVE, or MOVEA to an address register.
constexpr Family classifyMoveLine(uint32_t op, Family move, Family movea) {
    Ea dest = eaMoveDest(op);
    if (!isMode(eaSource(op))) return Family::Illegal;
    if (dest == Ea::AddrReg) return movea;
    return isDataAlterable(dest) ? move : Family::Illegal;
}

// Words that execute an instruction (all but the three exception families).
constexpr bool executes(Family f) {
    return f != Family::Illegal && f != Family::LineA && f != Family::LineF;
}

} // namespace pelmit::m68k
