// The two-operand integer instructions of lines 8 to D: ADD, SUB, CMP, AND,
// OR and EOR between a data register and an effective address, ADDA, SUBA and
// CMPA into an address register, ADDX and SUBX, and CMPM.
//
// Every handler takes the register of bits 11-9 and the one of bits 2-0 from
// the opcode word; the operation, the size and the addressing mode are fixed.
#pragma once

#include "pelmit/m68k/operand_size.h"
#include "pelmit/m68k/operands.h"

namespace pelmit::m68k {

enum class AluOp : uint8_t { Add, Sub, Cmp, And, Or, Eor };

// d op s at size S, with the condition codes of the operation's class. s and
// d hold S's bits only.
template <AluOp O, class S>
inline uint32_t alu(uint32_t s, uint32_t d) {
    uint32_t r;
    if constexpr (O == AluOp::Add) {
        r = d + s;
        setAdd<S>(s, d, r);
    } else if constexpr (O == AluOp::Sub) {
        r = d - s;
        setSubtract<S>(s, d, r);
    } else if constexpr (O == AluOp::Cmp) {
        r = d - s;
        setCompare<S>(s, d, r);
    } else {
        if constexpr (O == AluOp::And)
            r = d & s;
        else if constexpr (O == AluOp::Or)
            r = d | s;
        else
            r = d ^ s;
        setLogic<S>(r);
    }
    return r;
}

// Long operations into a register cost 8 rather than 6 plus the source's time
// when the source is a register or an immediate (ADD, SUB, AND, OR, ADDA,
// SUBA; CMP and CMPA keep 6).
template <Ea M>
constexpr int32_t longBaseIntoRegister() {
    return M == Ea::DataReg || M == Ea::AddrReg || M == Ea::Immediate ? 8 : 6;
}

// ADD, SUB, CMP, AND, OR <ea>,Dn: the source is complete, its address
// register update included, before the operation.
template <AluOp O, Ea M, class S>
void aluIntoDataRegister(uint32_t op) {
    Operand<M, S> src(regLow(op));
    uint32_t s = src.read();
    src.finish();
    uint32_t reg = regHigh(op);
    uint32_t r = alu<O, S>(s, cpuState.regs[reg] & S::mask);
    if constexpr (O != AluOp::Cmp) writeRegister<S>(reg, r);
    constexpr int32_t base = S::bytes < 4 ? 4 : (O == AluOp::Cmp ? 6 : longBaseIntoRegister<M>());
    charge(base + Operand<M, S>::cycles);
}

// ADD, SUB, AND, OR Dn,<ea> (memory) and EOR Dn,<ea> (memory or Dn): one read
// and one write at the same address, then the address register update.
template <AluOp O, Ea M, class S>
void aluIntoEffectiveAddress(uint32_t op) {
    uint32_t s = cpuState.regs[regHigh(op)] & S::mask;
    Operand<M, S> dst(regLow(op));
    uint32_t r = alu<O, S>(s, dst.read());
    dst.write(r);
    dst.finish();
    if constexpr (M == Ea::DataReg)
        charge(S::bytes < 4 ? 4 : 8);
    else
        charge((S::bytes < 4 ? 8 : 12) + Operand<M, S>::cycles);
}

// ADDA, SUBA, CMPA: a word source is sign-extended and the whole register
// takes part. A source that steps the destination register itself ((An)+,
// -(An)) has already stepped it.
template <AluOp O, Ea M, class S>
void aluIntoAddressRegister(uint32_t op) {
    Operand<M, S> src(regLow(op));
    uint32_t s = signExtend<S>(src.read());
    src.finish();
    uint32_t& a = cpuState.addressRegs()[regHigh(op)];
    if constexpr (O == AluOp::Add)
        a += s;
    else if constexpr (O == AluOp::Sub)
        a -= s;
    else
        alu<AluOp::Cmp, Long>(s, a);
    constexpr int32_t base = O == AluOp::Cmp ? 6 : (S::bytes == 2 ? 8 : longBaseIntoRegister<M>());
    charge(base + Operand<M, S>::cycles);
}

// ADDX and SUBX: d + s + X or d - s - X, with Z only ever cleared.
template <AluOp O, class S>
inline uint32_t aluExtended(uint32_t s, uint32_t d) {
    uint32_t x = runState.extendFlag;
    if constexpr (O == AluOp::Add) {
        uint32_t r = d + s + x;
        setAddExtended<S>(s, d, r);
        return r;
    } else {
        static_assert(O == AluOp::Sub);
        uint32_t r = d - s - x;
        setSubtractExtended<S>(s, d, r);
        return r;
    }
}

// The two forms of ADDX, SUBX, ABCD and SBCD, which store result(source,
// destination). Dy,Dx: the low S bits of both registers.
template <class S, class F>
inline void dataRegisterPair(uint32_t op, F result) {
    uint32_t* d = cpuState.dataRegs();
    uint32_t x = regHigh(op);
    writeRegister<S>(x, result(d[regLow(op)] & S::mask, d[x] & S::mask));
}

// -(Ay),-(Ax): the source and Ay first, then the destination below Ax as it
// then stands, which is stored after the write.
template <class S, class F>
inline void predecrementPair(uint32_t op, F result) {
    Operand<Ea::PreDec, S> src(regLow(op));
    uint32_t s = src.read();
    src.finish();
    Operand<Ea::PreDec, S> dst(regHigh(op));
    dst.write(result(s, dst.read()));
    dst.finish();
}

template <AluOp O, class S>
void aluExtendedRegisters(uint32_t op) {
    dataRegisterPair<S>(op, aluExtended<O, S>);
    charge(S::bytes < 4 ? 4 : 8);
}

template <AluOp O, class S>
void aluExtendedMemory(uint32_t op) {
    predecrementPair<S>(op, aluExtended<O, S>);
    charge(S::bytes < 4 ? 18 : 30);
}

// CMPM (Ay)+,(Ax)+: source read, Ay step, destination read, Ax step.
template <class S>
void compareMemory(uint32_t op) {
    Operand<Ea::PostInc, S> src(regLow(op));
    uint32_t s = src.read();
    src.finish();
    Operand<Ea::PostInc, S> dst(regHigh(op));
    alu<AluOp::Cmp, S>(s, dst.read());
    dst.finish();
    charge(S::bytes < 4 ? 12 : 20);
}

// OR (line 8) and AND (line C): opmodes 0-2 into Dn, 4-6 into memory.
template <uint32_t Op, AluOp O>
constexpr Handler bothDirectionsHandler() {
    constexpr uint32_t opmode = opmodeOf(Op);
    if constexpr (opmode < 3)
        return &aluIntoDataRegister<O, eaSource(Op), OperandSize<Op>>;
    else
        return &aluIntoEffectiveAddress<O, eaSource(Op), OperandSize<Op>>;
}

// The handlers of lines 9 (SUB) and D (ADD), whose opmodes are laid out alike:
// 0-2 into Dn, 3 and 7 into An, 4-6 into memory or, with modes 0 and 1, the
// extended forms. Op must be a word that executes.
template <uint32_t Op, AluOp O>
constexpr Handler arithmeticLineHandler() {
    constexpr uint32_t opmode = opmodeOf(Op);
    constexpr Ea ea = eaSource(Op);
    if constexpr (opmode == 3)
        return &aluIntoAddressRegister<O, ea, Word>;
    else if constexpr (opmode == 7)
        return &aluIntoAddressRegister<O, ea, Long>;
    else if constexpr (opmode < 3)
        return &aluIntoDataRegister<O, ea, OperandSize<Op>>;
    else if constexpr (ea == Ea::DataReg)
        return &aluExtendedRegisters<O, OperandSize<Op>>;
    else if constexpr (ea == Ea::AddrReg)
        return &aluExtendedMemory<O, OperandSize<Op>>;
    else
        return &aluIntoEffectiveAddress<O, ea, OperandSize<Op>>;
}

} // namespace pelmit::m68k
