// The owner's routines around runs: reset, interrupts requested from outside,
// the cycle count, state snapshots and the queries allowed inside a run.
#include "pelmit/m68k/memory.h"

namespace pelmit::m68k {

CpuState cpuState;

RunState runState = [] {
    RunState r{};
    r.savedCyclesLeft = -1;
    r.cyclesLeft = -1;
    // Nothing runs before a successful reset.
    r.halted = 1;
    return r;
}();

namespace {

bool running() {
    return (runState.runFlags & runInProgress) != 0;
}

} // namespace

uint32_t cpuReset() {
    CpuState& s = cpuState;
    RunState& r = runState;
    if (running() || !s.supervisorProgramMap) return 1;
    r.runFlags = 0;
    for (uint32_t& reg : s.regs) reg = 0;
    s.otherStackPointer = 0;
    s.sr = 0x2700;
    s.activeProgramMap = s.supervisorProgramMap;
    s.activeReadByteMap = s.supervisorReadByteMap;
    s.activeReadWordMap = s.supervisorReadWordMap;
    s.activeWriteByteMap = s.supervisorWriteByteMap;
    s.activeWriteWordMap = s.supervisorWriteWordMap;
    // Halted with an odd program counter until the vectors are read.
    s.pc = 1;
    s.interruptLatch[0] = 1;
    r.halted = 1;
    r.tracePending = 0;
    const ProgramRegion* row = findProgramRow(s.activeProgramMap, 0);
    if (!row) {
        r.cachedRegionLow = 0xFFFFFFFF;
        r.cachedRegionHigh = 0;
        r.runFlags = runFatalPc;
        return 1;
    }
    r.cachedRegionLow = row->low;
    r.cachedRegionHigh = row->high;
    // The reset vectors are read through the program map, each word only
    // where a region holds it.
    uint32_t words[4];
    for (uint32_t i = 0; i < 4; ++i)
        if (!readProgramWord(s.activeProgramMap, i * 2, words[i])) return 1;
    s.regs[15] = words[0] << 16 | words[1];
    s.pc = words[2] << 16 | words[3];
    s.interruptLatch[0] = uint8_t(s.pc & 1);
    if (s.pc & 1) return runHalted;
    r.halted = 0;
    return 0;
}

uint32_t cpuRaiseInterrupt(int32_t level, int32_t vector) {
    CpuState& s = cpuState;
    RunState& r = runState;
    if (level < 1 || level > 7 || vector < -2 || vector > 255) return 2;
    uint32_t number = vector == -2 ? 24 : vector == -1 ? 24 + uint32_t(level) : uint32_t(vector);
    uint8_t bit = uint8_t(1u << level);
    if (s.interruptLatch[0] & bit) return 1;
    s.interruptLatch[0] |= bit;
    s.interruptLatch[level] = uint8_t(number);
    // Any request wakes a stopped CPU, masked or not; a halted one stays put.
    if (!r.halted) s.interruptLatch[0] &= uint8_t(~1u);
    // Inside a run: stop after the current instruction so that the end checks
    // see the request, and go on with the rest of the budget.
    r.cyclesHeldBack += uint32_t(r.savedCyclesLeft) + 1;
    r.savedCyclesLeft = -1;
    return 0;
}

void cpuServiceInterrupts() {
    CpuState& s = cpuState;
    RunState& r = runState;
    if (running() || r.halted || !interruptAdmitted()) return;
    // A run of no budget around the exception entry: the memory routines and
    // handler rows need the working state.
    r.runFlags = runInProgress;
    r.cyclesAsked = 0;
    r.cyclesLeft = -1;
    setCcr(s.sr);
    refreshRowCaches();
    r.base = 0;
    r.ip = reinterpret_cast<const uint8_t*>(uintptr_t(s.pc));
    r.cachedRegionLow = 0xFFFFFFFF;
    r.cachedRegionHigh = 0;
    uint32_t mask = (s.sr >> 8) & 7;
    for (uint32_t level = 7; level >= 1; --level) {
        if (level != 7 && level <= mask) break;
        if (!(s.interruptLatch[0] & (1u << level))) continue;
        s.interruptLatch[0] &= uint8_t(~(1u << level));
        s.pc = enterException(s.interruptLatch[level]);
        s.sr = uint16_t((s.sr & ~0x0700u) | level << 8);
        s.cycleCounter += 44;
        break;
    }
    r.runFlags = 0;
    r.cyclesAsked = 0;
    r.cyclesHeldBack = 0;
    r.savedCyclesLeft = -1;
}

uint32_t cpuStateSize() {
    return sizeof(CpuState);
}

uint32_t cpuSaveState(void* buffer) {
    if (!running()) std::memcpy(buffer, &cpuState, sizeof(CpuState));
    return 0;
}

uint32_t cpuLoadState(const void* buffer) {
    if (running()) return 0;
    std::memcpy(&cpuState, buffer, sizeof(CpuState));
    runState.halted = (cpuState.interruptLatch[0] & 1) && (cpuState.pc & 1);
    return 0;
}

uint32_t cpuPeekCode(uint32_t address) {
    uint32_t word;
    return readProgramWord(cpuState.supervisorProgramMap, address, word) ? word : 0xFFFFFFFF;
}

uint32_t cpuCyclesElapsed() {
    const RunState& r = runState;
    return cpuState.cycleCounter + r.cyclesAsked - uint32_t(r.savedCyclesLeft) - 1 -
           r.cyclesHeldBack;
}

uint32_t cpuTakeCycles() {
    RunState& r = runState;
    uint32_t elapsed = cpuCyclesElapsed();
    cpuState.cycleCounter = 0;
    r.cyclesAsked = uint32_t(r.savedCyclesLeft) + 1 + r.cyclesHeldBack;
    return elapsed;
}

uint32_t cpuCycleCounterControl(uint32_t take) {
    return take ? cpuTakeCycles() : cpuCyclesElapsed();
}

uint32_t cpuEndSlice() {
    // The saved budget is the live one while a handler runs.
    cancelBudget(runState.savedCyclesLeft);
    return 0;
}

uint32_t cpuCurrentPc() {
    const RunState& r = runState;
    if (!running()) return cpuState.pc;
    return uint32_t(reinterpret_cast<uintptr_t>(r.savedInstructionPointer) - r.savedBase);
}

} // namespace pelmit::m68k
