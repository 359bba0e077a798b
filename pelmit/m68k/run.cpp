// cpuRun: the dispatch loop with its start and end checks and the fetch guard.
//
// Nothing is polled between instructions but the cycles left and one compare
// of the instruction pointer with the fetch limit: trace, interrupt requests,
// the end of a slice and status-register writes all force the cycles left
// below zero and park the rest of the budget in cyclesHeldBack.
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/memory.h"

namespace pelmit::m68k {

namespace {

// Arms the trace of the next instruction when T is set.
void armTrace() {
    RunState& r = runState;
    r.tracePending = (cpuState.sr & srTrace) ? 1 : 0;
    if (r.tracePending) {
        r.cyclesHeldBack += uint32_t(r.cyclesLeft) + 1;
        r.cyclesLeft = -1;
    }
}

// Interrupts, then T. False when an interrupt leads nowhere.
bool startChecks() {
    if (interruptAdmitted() && !checkPendingInterrupts()) return false;
    armTrace();
    return true;
}

// The word at a 68000 address for an instruction that straddles the end of
// its region: read through the program map, all ones where no region has it.
uint32_t guardedWord(uint32_t address) {
    uint32_t word;
    return readProgramWord(cpuState.activeProgramMap, address, word) ? word : 0xFFFF;
}

// Runs one instruction that lies too close to the end of its region to be
// fetched in place. False when the program counter has left every region.
bool guardedStep() {
    RunState& r = runState;
    uint32_t pc = currentPc();
    if (pc < r.cachedRegionLow || pc > r.cachedRegionHigh) {
        // Sequential execution ran past the region: another row may go on.
        if (!selectProgramRegion(pc)) return false;
        if (reinterpret_cast<uintptr_t>(r.ip) <= r.fetchLimit) return true;
    }
    uint8_t scratch[maxInstructionBytes];
    for (uint32_t i = 0; i < maxInstructionBytes; i += 2) store16(scratch + i, guardedWord(pc + i));
    const uint32_t low = r.cachedRegionLow, high = r.cachedRegionHigh;
    const uintptr_t base = r.base, limit = r.fetchLimit;
    // Any jump out of the scratch copy goes through selectProgramRegion.
    r.cachedRegionLow = 0xFFFFFFFF;
    r.cachedRegionHigh = 0;
    r.base = reinterpret_cast<uintptr_t>(scratch) - pc;
    r.ip = scratch;
    r.scratchActive = 1;
    uint32_t op = fetchWord();
    dispatchTable[op](op);
    if (r.scratchActive) {
        uint32_t next = currentPc();
        r.scratchActive = 0;
        r.cachedRegionLow = low;
        r.cachedRegionHigh = high;
        r.base = base;
        r.fetchLimit = limit;
        r.ip = reinterpret_cast<const uint8_t*>(next + base);
    }
    return true;
}

// The end checks: true to go on with the held-back budget, false with the
// run's result in result.
bool endChecks(uint32_t& result) {
    RunState& r = runState;
    if (r.haltRequested) {
        result = r.haltResult;
        return false;
    }
    bool srWritten = r.srWritten;
    r.srWritten = 0;
    if (r.tracePending) takeException(9, 34);
    if (interruptAdmitted() && !checkPendingInterrupts()) {
        result = runFatal;
        return false;
    }
    r.cyclesLeft += int32_t(r.cyclesHeldBack);
    r.cyclesHeldBack = 0;
    if (r.cyclesLeft < 0) {
        result = runEnded;
        return false;
    }
    // A status-register write re-runs the start checks; after an exception T
    // is clear and nothing is armed.
    if (srWritten) armTrace();
    return true;
}

uint32_t dispatchLoop() {
    RunState& r = runState;
    for (;;) {
        do {
            if (reinterpret_cast<uintptr_t>(r.ip) > r.fetchLimit) [[unlikely]] {
                if (!guardedStep()) return runFatal;
            } else {
                uint32_t op = load16(r.ip);
                r.ip += 2;
                dispatchTable[op](op);
            }
        } while (r.cyclesLeft >= 0);
        uint32_t result;
        if (!endChecks(result)) return result;
    }
}

uint32_t finishRun(uint32_t result) {
    RunState& r = runState;
    CpuState& s = cpuState;
    s.pc = currentPc();
    s.sr = uint16_t((s.sr & 0xFF00) | ccr());
    r.cyclesLeft += int32_t(r.cyclesHeldBack);
    s.cycleCounter += r.cyclesAsked - (uint32_t(r.cyclesLeft) + 1);
    r.runFlags = 0;
    r.cyclesAsked = 0;
    r.cyclesHeldBack = 0;
    r.cyclesLeft = -1;
    r.savedCyclesLeft = -1;
    r.tracePending = 0;
    r.srWritten = 0;
    r.scratchActive = 0;
    r.haltRequested = 0;
    return result;
}

} // namespace

uint32_t cpuRun(int32_t budget) {
    RunState& r = runState;
    CpuState& s = cpuState;
    if ((r.runFlags & runInProgress) || r.halted) return runHalted;
    // A budget of 0 or less (0x80000000 and above) runs one instruction.
    uint32_t asked = budget > 0 ? uint32_t(budget) : 0;
    if (s.interruptLatch[0] & 1) {
        s.cycleCounter += asked;
        return runEnded;
    }
    ensureDispatchTable();
    r.cyclesAsked = asked;
    r.cyclesLeft = int32_t(asked - 1);
    r.cyclesHeldBack = 0;
    setCcr(s.sr);
    r.runFlags = runInProgress;
    r.srWritten = 0;
    r.haltRequested = 0;
    refreshRowCaches();
    if (!selectProgramRegion(s.pc) || !startChecks()) return finishRun(runFatal);
    return finishRun(dispatchLoop());
}

} // namespace pelmit::m68k
