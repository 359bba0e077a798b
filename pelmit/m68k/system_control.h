// The system-control instructions: the status-register and condition-code
// forms of ORI, ANDI and EORI, the status-register moves, the traps, NOP,
// STOP, RESET, RTE and MOVE USP.
#pragma once

#include "pelmit/m68k/operands.h"

namespace pelmit::m68k {

enum class BitOp : uint8_t { Or, And, Eor };

template <BitOp O>
constexpr uint32_t applyBitOp(uint32_t a, uint32_t b) {
    if constexpr (O == BitOp::Or)
        return a | b;
    else if constexpr (O == BitOp::And)
        return a & b;
    else
        return a ^ b;
}

// ORI, ANDI, EORI to CCR: the low byte of one extension word.
template <BitOp O>
void immediateToCcr(uint32_t) {
    setCcr(applyBitOp<O>(ccr(), fetchWord() & 0xFF));
    charge(20);
}

// ORI, ANDI, EORI to SR (privileged).
template <BitOp O>
void immediateToSr(uint32_t) {
    if (!supervisorMode()) return privilegeViolation();
    statusRegisterWrite(applyBitOp<O>(currentSr(), fetchWord()));
    charge(20);
    resumeAfterSrWrite();
}

// MOVE from SR: not privileged; the destination is written, never read.
template <Ea M>
void moveFromSr(uint32_t op) {
    Operand<M, Word> dst(regLow(op));
    dst.write(currentSr());
    dst.finish();
    charge(M == Ea::DataReg ? 6 : 8 + Operand<M, Word>::cycles);
}

template <Ea M>
void moveToCcr(uint32_t op) {
    Operand<M, Word> src(regLow(op));
    uint32_t value = src.read();
    src.finish();
    setCcr(value);
    charge(12 + Operand<M, Word>::cycles);
}

// MOVE to SR (privileged): the source is read in the mode in force before it.
template <Ea M>
void moveToSr(uint32_t op) {
    if (!supervisorMode()) return privilegeViolation();
    Operand<M, Word> src(regLow(op));
    uint32_t value = src.read();
    src.finish();
    statusRegisterWrite(value);
    charge(12 + Operand<M, Word>::cycles);
    resumeAfterSrWrite();
}

inline void trap(uint32_t op) {
    takeException(32 + (op & 15), 34);
}

// A taken TRAPV costs 38 cycles here, not the published 34.
inline void trapv(uint32_t) {
    if (runState.v)
        takeException(7, 38);
    else
        charge(4);
}

inline void nop(uint32_t) {
    charge(4);
}

inline void stop(uint32_t) {
    if (!supervisorMode()) return privilegeViolation();
    statusRegisterWrite(fetchWord());
    cpuState.interruptLatch[0] |= 1;
    charge(4);
    // The rest of the budget counts as spent; the end checks still take an
    // interrupt that the new mask admits.
    if (runState.cyclesLeft >= 0) runState.cyclesLeft = -1;
}

inline void reset(uint32_t) {
    if (!supervisorMode()) return privilegeViolation();
    if (!cpuState.resetHandler) return haltAtInstruction();
    callResetHandler(cpuState.resetHandler);
    charge(132);
}

// The frame is read through the supervisor maps before the mode switch, so
// both halves come from the supervisor stack.
inline void rte(uint32_t) {
    if (!supervisorMode()) return privilegeViolation();
    uint32_t frame = cpuState.regs[15];
    uint32_t sr = memReadWord(frame);
    uint32_t pc = memReadLong(frame + 2);
    statusRegisterWrite(sr);
    if (supervisorMode())
        cpuState.regs[15] += 6;
    else
        cpuState.otherStackPointer += 6;
    setPc(pc);
    charge(20);
    resumeAfterSrWrite();
}

inline void moveToUsp(uint32_t op) {
    if (!supervisorMode()) return privilegeViolation();
    cpuState.otherStackPointer = cpuState.addressRegs()[regLow(op)];
    charge(4);
}

inline void moveFromUsp(uint32_t op) {
    if (!supervisorMode()) return privilegeViolation();
    cpuState.addressRegs()[regLow(op)] = cpuState.otherStackPointer;
    charge(4);
}

} // namespace pelmit::m68k
