// Exception entry, interrupts, privilege, mode switches and the handlers of
// words that execute no instruction.
#include "pelmit/m68k/core.h"

#include <utility>

namespace pelmit::m68k {

void switchMode(bool supervisor) {
    CpuState& s = cpuState;
    std::swap(s.regs[15], s.otherStackPointer);
    if (supervisor) {
        s.activeProgramMap = s.supervisorProgramMap;
        s.activeReadByteMap = s.supervisorReadByteMap;
        s.activeReadWordMap = s.supervisorReadWordMap;
        s.activeWriteByteMap = s.supervisorWriteByteMap;
        s.activeWriteWordMap = s.supervisorWriteWordMap;
    } else {
        s.activeProgramMap = s.userProgramMap;
        s.activeReadByteMap = s.userReadByteMap;
        s.activeReadWordMap = s.userReadWordMap;
        s.activeWriteByteMap = s.userWriteByteMap;
        s.activeWriteWordMap = s.userWriteWordMap;
    }
    refreshRowCaches();
}

void statusRegisterWrite(uint32_t value) {
    bool supervisor = (value & srSupervisor) != 0;
    if (supervisor != supervisorMode()) switchMode(supervisor);
    // The mode switch selects no program region: fetch goes on from the cached
    // one until the program counter leaves it.
    cpuState.sr = uint16_t((value & srHighMask) | (cpuState.sr & 0xFF));
    setCcr(value);
}

uint32_t enterException(uint32_t vector) {
    CpuState& s = cpuState;
    s.interruptLatch[0] &= uint8_t(~1u);
    uint32_t newPc = memReadLong(vector * 4);
    uint32_t oldSr = currentSr();
    if (!supervisorMode()) {
        switchMode(true);
        s.sr |= srSupervisor;
    }
    s.sr &= 0x27FF;
    runState.tracePending = 0;
    uint32_t sp = s.regs[15];
    memWriteLong(sp - 4, currentPc());
    memWriteWord(sp - 6, oldSr);
    s.regs[15] = sp - 6;
    return newPc;
}

void takeException(uint32_t vector, int32_t cycles) {
    setPc(enterException(vector));
    charge(cycles);
}

void privilegeViolation() {
    runState.ip -= 2;
    takeException(8, 34);
}

void haltAtInstruction() {
    RunState& r = runState;
    r.ip -= 2;
    r.haltRequested = 1;
    r.haltResult = currentPc() & addressMask;
    // Leave the loop without charging anything.
    r.cyclesHeldBack += uint32_t(r.cyclesLeft) + 1;
    r.cyclesLeft = -1;
}

bool interruptAdmitted() {
    uint32_t pending = cpuState.interruptLatch[0] & 0xFE;
    uint32_t mask = (cpuState.sr >> 8) & 7;
    return (pending >> (mask + 1)) != 0 || (pending & 0x80) != 0;
}

bool checkPendingInterrupts() {
    CpuState& s = cpuState;
    uint32_t mask = (s.sr >> 8) & 7;
    for (uint32_t level = 7; level >= 1; --level) {
        if (level != 7 && level <= mask) break;
        if (!(s.interruptLatch[0] & (1u << level))) continue;
        s.interruptLatch[0] &= uint8_t(~(1u << level));
        uint32_t newPc = enterException(s.interruptLatch[level]);
        // The frame holds the old mask, so the handler's RTE restores it.
        s.sr = uint16_t((s.sr & ~0x0700u) | level << 8);
        charge(44);
        if (newPc >= runState.cachedRegionLow && newPc <= runState.cachedRegionHigh) {
            setPc(newPc);
            return true;
        }
        return selectProgramRegion(newPc);
    }
    return true;
}

} // namespace pelmit::m68k
