// The interpreter's engine room, shared by the run loop and every instruction
// handler: the run state, the memory routines with their inline fast path,
// the instruction stream, the program-counter rule and the exception entry.
//
// A handler is `void handler(uint32_t op)`: it is entered with the opcode word
// and the instruction pointer on the word after it, reads its extension words
// in order, reaches data only through the mem* routines, sets the working
// flags, calls charge() once after its last memory access and returns. Every
// change of the program counter goes through setPc(). A privileged handler
// calls privilegeViolation() before it fetches anything. A handler that wrote
// the whole status register ends with resumeAfterSrWrite().
#pragma once

#include "pelmit/m68k/cpu.h"

#include <bit>
#include <cstring>

namespace pelmit::m68k {

using Handler = void (*)(uint32_t op);

// Fast-path view of the first row of an active data map: 24-bit offsets from
// low below wordEnd lie in whole words of plain memory at host.
struct RowCache {
    uint32_t low;
    uint32_t wordEnd; // 0 when the first row is no plain row
    uint8_t* host;
};

// Private run variables, never saved with the CPU state.
struct RunState {
    uint32_t cyclesAsked;
    uint32_t cyclesHeldBack;
    uint32_t cachedRegionLow;
    uint32_t cachedRegionHigh;
    uint8_t extendFlag;
    uint8_t runFlags; // runInProgress, runFatalPc
    uint8_t tracePending;
    int32_t savedCyclesLeft;
    uintptr_t savedBase;
    const uint8_t* savedInstructionPointer;
    uint32_t savedAddress;

    // Working state of a run.
    const uint8_t* ip;    // host position of the next instruction word
    uintptr_t base;       // program counter = ip - base
    int32_t cyclesLeft;   // -1 outside a run
    uintptr_t fetchLimit; // fetching beyond it takes the guarded step
    uint8_t n, z, v, c;   // working flags, 0 or 1 each
    uint8_t halted;       // a failed or missing reset: runs are refused
    uint8_t srWritten;    // the end checks re-run the start checks
    uint8_t scratchActive;
    uint8_t haltRequested;
    uint32_t haltResult;
    RowCache readByte, readWord, writeByte, writeWord;
};

constexpr uint8_t runInProgress = 1;
constexpr uint8_t runFatalPc = 2;

extern RunState runState;
extern Handler dispatchTable[65536];

constexpr uint32_t addressMask = 0xFFFFFF;
constexpr uint16_t srSupervisor = 0x2000;
constexpr uint16_t srTrace = 0x8000;
constexpr uint16_t srHighMask = 0xA700;

// ---- Plain memory: host-order 16-bit words ----------------------------------

// The byte of an address sits in its word at offset XOR byteFlip.
constexpr uint32_t byteFlip = std::endian::native == std::endian::little ? 1 : 0;

inline uint32_t load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void store16(uint8_t* p, uint32_t value) {
    uint16_t v = uint16_t(value);
    std::memcpy(p, &v, 2);
}

// A long is two host-order words, the high one first: one host load and, on a
// little-endian host, a rotation by 16.
inline uint32_t load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return byteFlip ? v << 16 | v >> 16 : v;
}

inline void store32(uint8_t* p, uint32_t value) {
    uint32_t v = byteFlip ? value << 16 | value >> 16 : value;
    std::memcpy(p, &v, 4);
}

// ---- Data memory -------------------------------------------------------------

uint32_t readByteSlow(uint32_t address);
uint32_t readWordSlow(uint32_t address);
uint32_t readLongSlow(uint32_t address);
void writeByteSlow(uint32_t address, uint32_t value);
void writeWordSlow(uint32_t address, uint32_t value);
void writeLongSlow(uint32_t address, uint32_t value);

// Word and long accesses at an odd address in plain memory use the word that
// holds the address: the 68000 bus has no A0 line, and it never leaves the row.
inline uint32_t memReadByte(uint32_t address) {
    const RowCache& r = runState.readByte;
    uint32_t off = (address & addressMask) - r.low;
    if (off < r.wordEnd) [[likely]]
        return r.host[off ^ byteFlip];
    return readByteSlow(address);
}

inline uint32_t memReadWord(uint32_t address) {
    const RowCache& r = runState.readWord;
    uint32_t off = (address & addressMask) - r.low;
    if (off < r.wordEnd) [[likely]]
        return load16(r.host + (off & ~1u));
    return readWordSlow(address);
}

inline uint32_t memReadLong(uint32_t address) {
    const RowCache& r = runState.readWord;
    uint32_t off = (address & addressMask) - r.low;
    if (off + 2 < r.wordEnd) [[likely]] {
        return load32(r.host + (off & ~1u));
    }
    return readLongSlow(address);
}

inline void memWriteByte(uint32_t address, uint32_t value) {
    const RowCache& r = runState.writeByte;
    uint32_t off = (address & addressMask) - r.low;
    if (off < r.wordEnd) [[likely]] {
        r.host[off ^ byteFlip] = uint8_t(value);
        return;
    }
    writeByteSlow(address, value);
}

inline void memWriteWord(uint32_t address, uint32_t value) {
    const RowCache& r = runState.writeWord;
    uint32_t off = (address & addressMask) - r.low;
    if (off < r.wordEnd) [[likely]] {
        store16(r.host + (off & ~1u), value);
        return;
    }
    writeWordSlow(address, value);
}

inline void memWriteLong(uint32_t address, uint32_t value) {
    const RowCache& r = runState.writeWord;
    uint32_t off = (address & addressMask) - r.low;
    if (off + 2 < r.wordEnd) [[likely]] {
        store32(r.host + (off & ~1u), value);
        return;
    }
    writeLongSlow(address, value);
}

// Re-reads the first rows of the active data maps (run start, mode switch).
void refreshRowCaches();

// ---- Instruction stream --------------------------------------------------------

// An odd program counter is legal, so stream reads make no alignment claim.
inline uint32_t fetchWord() {
    uint32_t w = load16(runState.ip);
    runState.ip += 2;
    return w;
}

inline uint32_t fetchLong() {
    uint32_t v = load32(runState.ip);
    runState.ip += 4;
    return v;
}

inline uint32_t currentPc() {
    return uint32_t(reinterpret_cast<uintptr_t>(runState.ip) - runState.base);
}

// Looks pc up in the active program map and makes it the current position.
// A miss marks the run fatal and cancels the rest of its budget, so that the
// run ends after the current instruction. Returns whether a region holds pc.
bool selectProgramRegion(uint32_t pc);

// The one rule for every change of the program counter.
inline void setPc(uint32_t pc) {
    if (pc >= runState.cachedRegionLow && pc <= runState.cachedRegionHigh) [[likely]]
        runState.ip = reinterpret_cast<const uint8_t*>(pc + runState.base);
    else
        selectProgramRegion(pc);
}

// ---- Cycles ---------------------------------------------------------------------

inline void charge(int32_t cycles) {
    runState.cyclesLeft -= cycles;
}

// Ends the budget of the run without losing count of the cycles executed;
// cyclesLeft is the live count, or its saved copy while the owner's code runs.
void cancelBudget(int32_t& cyclesLeft);

// Calls the owner's reset handler with the run's position and budget saved.
void callResetHandler(ResetHandler handler);

// ---- Status register --------------------------------------------------------------

inline uint32_t ccr() {
    const RunState& r = runState;
    return uint32_t(r.extendFlag) << 4 | uint32_t(r.n) << 3 | uint32_t(r.z) << 2 |
           uint32_t(r.v) << 1 | r.c;
}

inline void setCcr(uint32_t value) {
    RunState& r = runState;
    r.extendFlag = (value >> 4) & 1;
    r.n = (value >> 3) & 1;
    r.z = (value >> 2) & 1;
    r.v = (value >> 1) & 1;
    r.c = value & 1;
}

inline uint32_t currentSr() {
    return (cpuState.sr & 0xFF00u) | ccr();
}

inline bool supervisorMode() {
    return (cpuState.sr & srSupervisor) != 0;
}

// Exchanges A7 and otherStackPointer and makes the maps of the new mode active.
void switchMode(bool supervisor);

// Loads the whole status register: the mode (stack pointers and maps), the high
// byte masked with 0xA7, and the condition codes.
void statusRegisterWrite(uint32_t value);

// The return of a handler that wrote the whole status register: the loop takes
// interrupts against the new mask and samples T before the next instruction.
inline void resumeAfterSrWrite() {
    RunState& r = runState;
    r.srWritten = 1;
    if (r.cyclesLeft >= 0) {
        r.cyclesHeldBack += uint32_t(r.cyclesLeft) + 1;
        r.cyclesLeft = -1;
    }
}

// ---- Exceptions --------------------------------------------------------------------

// Stacks the program counter and status register on the supervisor stack and
// gives the new program counter read from vector v.
uint32_t enterException(uint32_t vector);

// enterException, the program-counter rule and the exception's charge.
void takeException(uint32_t vector, int32_t cycles);

// The tail of every privileged instruction met in user mode.
void privilegeViolation();

// Ends the run at once with the address of the current opcode (a RESET with no
// reset handler); nothing is charged.
void haltAtInstruction();

// Whether an interrupt is pending that the mask admits (level 7 always).
bool interruptAdmitted();

// Takes the highest admitted pending interrupt and sets the mask to its level.
// Returns false when its new program counter lies in no program region.
bool checkPendingInterrupts();

// The handlers of words that execute no instruction, and of lines A and F:
// the stacked program counter is the opcode's own address.
inline void illegalInstruction(uint32_t) {
    runState.ip -= 2;
    takeException(4, 34);
}

inline void lineA(uint32_t) {
    runState.ip -= 2;
    takeException(10, 34);
}

inline void lineF(uint32_t) {
    runState.ip -= 2;
    takeException(11, 34);
}

} // namespace pelmit::m68k
