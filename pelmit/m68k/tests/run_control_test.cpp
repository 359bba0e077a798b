// Run control: budgets, ending a slice and raising interrupts from handler
// rows, STOP, RESET, a program counter in no region, interrupt order and mask,
// trace and the cycle count.
#include "pelmit/m68k/core.h"
#include "pelmit/m68k/tests/machine.h"
#include "pelmit/m68k/tests/words.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

constexpr uint32_t codeStart = 0x1000;
constexpr uint32_t stackTop = 0x8000;
constexpr uint32_t ioLow = 0xF0000, ioHigh = 0xF00FF; // a handler row

// The handler row calls this on every access.
std::function<void()> onAccess;
uint32_t ioRead(uint32_t, const DataRegion*) {
    if (onAccess) onAccess();
    return 0;
}
void ioWrite(uint32_t, uint32_t, const DataRegion*) {
    if (onAccess) onAccess();
}

class RunControl : public ::testing::Test {
protected:
    Machine m;

    void SetUp() override {
        onAccess = nullptr;
        // The I/O row comes before RAM in every data map.
        for (MapSet* maps : {&m.supervisor, &m.user}) {
            maps->readByte.insert(maps->readByte.begin(), {ioLow, ioHigh, &ioRead, nullptr});
            maps->readWord.insert(maps->readWord.begin(), {ioLow, ioHigh, &ioRead, nullptr});
            maps->writeByte.insert(maps->writeByte.begin(), {ioLow, ioHigh, &ioWrite, nullptr});
            maps->writeWord.insert(maps->writeWord.begin(), {ioLow, ioHigh, &ioWrite, nullptr});
        }
        fill(codeStart, 0x400, opNop);
        ASSERT_EQ(m.boot(stackTop, codeStart), 0u);
        cpuTakeCycles();
    }
    void TearDown() override { onAccess = nullptr; }

    void fill(uint32_t address, uint32_t count, uint16_t word) {
        for (uint32_t i = 0; i < count; ++i) m.write16(address + 2 * i, word);
    }
    void vector(uint32_t number, uint32_t target) { m.write32(number * 4, target); }
};

TEST_F(RunControl, BudgetsRunWholeInstructions) {
    struct Case {
        int32_t budget;
        uint32_t cycles; // NOPs of 4 cycles until the budget is reached
    } cases[] = {
        {0, 4}, {1, 4}, {4, 4}, {5, 8}, {10, 12}, {-5, 4}, {INT_MIN, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.budget);
        cpuState.pc = codeStart;
        EXPECT_EQ(cpuRun(c.budget), runEnded);
        EXPECT_EQ(cpuTakeCycles(), c.cycles);
        EXPECT_EQ(cpuState.pc, codeStart + c.cycles / 2);
    }
}

TEST_F(RunControl, EndSliceFromAWriteHandlerCountsExactly) {
    // 25 NOPs (100 cycles), then MOVE SR,(A0) of 12 cycles into the I/O row.
    m.write16(codeStart + 50, opMoveFromSrA0);
    cpuState.regs[8] = ioLow;
    uint32_t elapsedInHandler = 0, pcInHandler = 0;
    onAccess = [&] {
        elapsedInHandler = cpuCyclesElapsed();
        pcInHandler = cpuCurrentPc();
        cpuEndSlice();
    };
    EXPECT_EQ(cpuRun(1000), runEnded);
    EXPECT_EQ(elapsedInHandler, 100u);
    EXPECT_EQ(pcInHandler, codeStart + 52);
    EXPECT_EQ(cpuState.cycleCounter, 112u);
    EXPECT_EQ(cpuState.pc, codeStart + 52);
}

TEST_F(RunControl, InterruptFromAHandlerIsTakenAfterTheInstruction) {
    // 10 NOPs (40), MOVE SR,(A0) (12) raising level 3, the interrupt (44), then
    // NOPs of the interrupt routine until the budget of 1000 is spent.
    m.write16(codeStart + 20, opMoveFromSrA0);
    cpuState.regs[8] = ioLow;
    cpuState.sr = 0x2000;
    vector(27, 0x2000);
    fill(0x2000, 0x200, opNop);
    onAccess = [] { EXPECT_EQ(cpuRaiseInterrupt(3, -1), 0u); };
    EXPECT_EQ(cpuRun(1000), runEnded);
    EXPECT_EQ(cpuState.cycleCounter, 1000u);
    EXPECT_EQ(cpuState.pc, 0x2000u + 2 * 226);
    EXPECT_EQ(cpuState.sr & 0x0700, 0x0300);
    EXPECT_EQ(m.read32(stackTop - 4), codeStart + 22); // the instruction after the MOVE
    EXPECT_EQ(m.read16(stackTop - 6), 0x2000);
}

TEST_F(RunControl, TakeCyclesInsideARunRestartsTheCount) {
    m.write16(codeStart + 20, opMoveFromSrA0);
    cpuState.regs[8] = ioLow;
    uint32_t taken = 0, after = 1;
    onAccess = [&] {
        taken = cpuTakeCycles();
        after = cpuCyclesElapsed();
    };
    EXPECT_EQ(cpuRun(100), runEnded); // 40 + 12 + 12 NOPs = 100
    EXPECT_EQ(taken, 40u);
    EXPECT_EQ(after, 0u);
    EXPECT_EQ(cpuState.cycleCounter, 60u);
    // Also when the instruction is traced.
    cpuState.pc = codeStart + 20;
    cpuState.sr = 0xA700;
    vector(9, 0x3000);
    fill(0x3000, 8, opNop);
    EXPECT_EQ(cpuRun(1), runEnded);
    EXPECT_EQ(after, 0u);
}

TEST_F(RunControl, StopSpendsBudgetsUntilAnInterruptIsRequested) {
    m.code(codeStart, {opStop, 0x2000});
    EXPECT_EQ(cpuRun(1000), runEnded);
    EXPECT_EQ(cpuTakeCycles(), 1000u);
    EXPECT_EQ(cpuState.sr, 0x2000);
    EXPECT_EQ(cpuState.pc, codeStart + 4);
    EXPECT_EQ(cpuState.interruptLatch[0] & 1, 1);
    EXPECT_EQ(cpuRun(500), runEnded);
    EXPECT_EQ(cpuRun(0), runEnded); // a budget of nothing adds nothing
    EXPECT_EQ(cpuTakeCycles(), 500u);
    // Even a masked request wakes it, and stays pending.
    cpuState.sr = 0x2700;
    EXPECT_EQ(cpuRaiseInterrupt(2, -1), 0u);
    EXPECT_EQ(cpuRun(4), runEnded);
    EXPECT_EQ(cpuTakeCycles(), 4u);
    EXPECT_EQ(cpuState.pc, codeStart + 6);
    EXPECT_EQ(cpuState.interruptLatch[0], 1 << 2);
}

TEST_F(RunControl, StopBelowAPendingLevelTakesItInTheSameRun) {
    m.code(codeStart, {opStop, 0x2100});
    vector(29, 0x2000); // level 5
    fill(0x2000, 8, opNop);
    cpuState.sr = 0x2700;
    EXPECT_EQ(cpuRaiseInterrupt(5, -1), 0u);
    EXPECT_EQ(cpuRun(100), runEnded);
    EXPECT_EQ(cpuState.interruptLatch[0], 0);
    EXPECT_EQ(cpuState.pc, 0x2000u);
    EXPECT_EQ(cpuTakeCycles(), 100u + 44);
}

uint32_t resetCalls;
void countReset() {
    ++resetCalls;
    cpuEndSlice();
}

TEST_F(RunControl, ResetHaltsWithoutAHandlerAndCallsOne) {
    m.code(codeStart + 4, {opReset});
    EXPECT_EQ(cpuRun(1000), codeStart + 4);
    EXPECT_EQ(cpuTakeCycles(), 8u); // the RESET itself is not charged
    EXPECT_EQ(cpuState.pc, codeStart + 4);
    EXPECT_EQ(cpuRun(1000), codeStart + 4);
    EXPECT_EQ(cpuTakeCycles(), 0u);

    resetCalls = 0;
    cpuState.resetHandler = &countReset;
    EXPECT_EQ(cpuRun(1000), runEnded);
    EXPECT_EQ(resetCalls, 1u);
    EXPECT_EQ(cpuTakeCycles(), 132u);
    EXPECT_EQ(cpuState.pc, codeStart + 6);

    // In user mode: a privilege violation.
    cpuState.pc = codeStart + 4;
    cpuState.sr = 0x0000;
    cpuState.otherStackPointer = stackTop;
    vector(8, 0x2000);
    EXPECT_EQ(cpuRun(1), runEnded);
    EXPECT_EQ(resetCalls, 1u);
    EXPECT_EQ(cpuState.pc, 0x2000u);
    EXPECT_EQ(m.read32(stackTop - 4), codeStart + 4);
    EXPECT_EQ(cpuTakeCycles(), 34u);
}

TEST_F(RunControl, ProgramCounterInNoRegionIsFatal) {
    m.code(codeStart, {opTrap0});
    vector(32, 0x00F00000);
    EXPECT_EQ(cpuRun(1000), runEnded);
    EXPECT_EQ(cpuState.pc, 0x00F00000u);
    EXPECT_EQ(cpuTakeCycles(), 34u);
    EXPECT_EQ(cpuRun(1000), runFatal);
    EXPECT_EQ(cpuRun(1000), runFatal);
    EXPECT_EQ(cpuTakeCycles(), 0u);
    EXPECT_EQ(cpuState.pc, 0x00F00000u);
}

TEST_F(RunControl, RequestsAreCheckedAndLatched) {
    EXPECT_EQ(cpuRaiseInterrupt(3, -1), 0u);
    EXPECT_EQ(cpuState.interruptLatch[3], 27);
    EXPECT_EQ(cpuRaiseInterrupt(3, -1), 1u);
    EXPECT_EQ(cpuRaiseInterrupt(0, -1), 2u);
    EXPECT_EQ(cpuRaiseInterrupt(8, -1), 2u);
    EXPECT_EQ(cpuRaiseInterrupt(4, 256), 2u);
    EXPECT_EQ(cpuRaiseInterrupt(4, -3), 2u);
    EXPECT_EQ(cpuRaiseInterrupt(5, -2), 0u);
    EXPECT_EQ(cpuState.interruptLatch[5], 24);
    EXPECT_EQ(cpuRaiseInterrupt(6, 200), 0u);
    EXPECT_EQ(cpuState.interruptLatch[6], 200);
    EXPECT_EQ(cpuState.interruptLatch[0], (1 << 3) | (1 << 5) | (1 << 6));
}

TEST_F(RunControl, InterruptLevelsMaskAndOrder) {
    vector(26, 0x2000); // level 2
    vector(27, 0x2100); // level 3
    vector(29, 0x2200); // level 5
    vector(31, 0x2300); // level 7
    fill(0x2000, 4, opNop);
    fill(0x2100, 4, opNop);
    m.code(0x2200, {opRte});
    fill(0x2300, 4, opNop);

    // Mask 2: level 3 is taken at the start of the run, level 2 waits.
    cpuState.sr = 0x2215;
    cpuRaiseInterrupt(2, -1);
    cpuRaiseInterrupt(3, -1);
    EXPECT_EQ(cpuRun(0), runEnded);
    EXPECT_EQ(cpuState.pc, 0x2102u);
    EXPECT_EQ(cpuState.sr, 0x2315);
    EXPECT_EQ(m.read16(stackTop - 6), 0x2215);
    EXPECT_EQ(m.read32(stackTop - 4), codeStart);
    EXPECT_EQ(cpuTakeCycles(), 48u);
    EXPECT_EQ(cpuState.interruptLatch[0], 1 << 2);

    // Level 7 is taken with mask 7.
    cpuState.sr = 0x2700;
    cpuRaiseInterrupt(7, -1);
    EXPECT_EQ(cpuRun(0), runEnded);
    EXPECT_EQ(cpuState.pc, 0x2302u);
    EXPECT_EQ(cpuState.sr & 0x0700, 0x0700);
    EXPECT_EQ(cpuTakeCycles(), 48u);

    // Levels 2 and 5 pending with mask 0: 5 first, 2 once its RTE has restored
    // the mask.
    cpuState.pc = codeStart;
    cpuState.regs[15] = stackTop;
    cpuState.sr = 0x2000;
    cpuRaiseInterrupt(5, -1);
    EXPECT_EQ(cpuRun(0), runEnded); // level 5, its RTE, then level 2
    EXPECT_EQ(cpuState.pc, 0x2000u);
    EXPECT_EQ(cpuState.sr & 0x0700, 0x0200);
    EXPECT_EQ(cpuState.interruptLatch[0], 0);
    EXPECT_EQ(m.read32(stackTop - 4), codeStart);
    EXPECT_EQ(cpuTakeCycles(), 44u + 20 + 44);
}

TEST_F(RunControl, UserModeInterruptReadsTheUserVectorAndWritesTheSupervisorStack) {
    // The user maps read vectors from a second copy of low memory.
    Machine shadow(0x1000);
    shadow.write32(27 * 4, 0x2000);
    for (auto* rows : {&m.user.readWord, &m.user.readByte})
        rows->insert(rows->begin(), DataRegion{0, 0xFFF, nullptr, shadow.ram()});
    m.user.writeWord.clear(); // user writes go nowhere
    m.write32(27 * 4, 0x3000);
    m.install();
    fill(0x2000, 4, opNop);
    cpuState.sr = 0x0000;
    cpuState.regs[15] = 0x6000;
    cpuState.otherStackPointer = stackTop;
    m.activateUserMaps();
    cpuRaiseInterrupt(3, -1);
    EXPECT_EQ(cpuRun(0), runEnded);
    EXPECT_EQ(cpuState.pc, 0x2002u);
    EXPECT_EQ(cpuState.regs[15], stackTop - 6);
    EXPECT_EQ(cpuState.otherStackPointer, 0x6000u);
    EXPECT_EQ(m.read32(stackTop - 4), codeStart);
    EXPECT_EQ(m.read16(stackTop - 6), 0x0000);
}

TEST_F(RunControl, TraceFollowsEveryInstruction) {
    vector(9, 0x2000);
    m.code(0x2000, {opRte});
    cpuState.sr = 0xA700;
    // NOP, trace, RTE (restores T), NOP, trace, RTE.
    EXPECT_EQ(cpuRun(4 + 34 + 20 + 4 + 34), runEnded);
    EXPECT_EQ(cpuState.pc, 0x2000u);
    EXPECT_EQ(m.read32(stackTop - 4), codeStart + 4);
    EXPECT_EQ(m.read16(stackTop - 6), 0xA700);
    EXPECT_EQ(cpuState.sr, 0x2700);
    // An exception taken by the traced instruction itself is not traced.
    m.code(0x2000, {opNop});
    m.code(codeStart, {opIllegal});
    vector(4, 0x2400);
    fill(0x2400, 4, opNop);
    cpuState.pc = codeStart;
    cpuState.sr = 0xA700;
    EXPECT_EQ(cpuRun(34), runEnded);
    EXPECT_EQ(cpuState.pc, 0x2400u);
}

TEST_F(RunControl, ServiceInterruptsBetweenRuns) {
    vector(30, 0x2000);
    cpuState.sr = 0x2504;
    cpuServiceInterrupts();
    EXPECT_EQ(cpuState.pc, codeStart); // nothing pending
    cpuRaiseInterrupt(6, -1);
    cpuServiceInterrupts();
    EXPECT_EQ(cpuState.pc, 0x2000u);
    EXPECT_EQ(cpuState.sr, 0x2604);
    EXPECT_EQ(m.read16(stackTop - 6), 0x2504);
    EXPECT_EQ(m.read32(stackTop - 4), codeStart);
    EXPECT_EQ(cpuTakeCycles(), 44u);
}

TEST_F(RunControl, HaltedCpuStaysHalted) {
    m.write32(4, codeStart + 1);
    EXPECT_EQ(cpuReset(), runHalted);
    EXPECT_EQ(cpuRun(100), runHalted);
    EXPECT_EQ(cpuRaiseInterrupt(7, -1), 0u);
    EXPECT_EQ(cpuRun(100), runHalted);
    cpuServiceInterrupts();
    EXPECT_EQ(cpuRun(100), runHalted);
    EXPECT_EQ(cpuTakeCycles(), 0u);
    // A good reset wakes it; the reset clears the pending request.
    m.write32(4, codeStart);
    EXPECT_EQ(cpuReset(), 0u);
    EXPECT_EQ(cpuRun(1), runEnded);
}

TEST_F(RunControl, ResetFailures) {
    // No program region at address 0.
    m.supervisor.program = {m.programRow(0x1000, 0xFFFF)};
    m.install();
    EXPECT_EQ(cpuReset(), 1u);
    EXPECT_EQ(cpuRun(10), runHalted);
    // A region that holds address 0 but not the whole vector.
    m.supervisor.program = {m.programRow(0, 5), m.programRow(0x1000, 0xFFFF)};
    m.install();
    EXPECT_EQ(cpuReset(), 1u);
    // No supervisor program map: refused, nothing changed.
    cpuState.supervisorProgramMap = nullptr;
    cpuState.regs[0] = 0x1234;
    EXPECT_EQ(cpuReset(), 1u);
    EXPECT_EQ(cpuState.regs[0], 0x1234u);
}

TEST_F(RunControl, OwnerRoutinesInsideARunAreRefused) {
    m.write16(codeStart, opMoveFromSrA0);
    cpuState.regs[8] = ioLow;
    uint8_t saved[sizeof(CpuState)] = {};
    onAccess = [&] {
        EXPECT_EQ(cpuRun(100), runHalted);
        EXPECT_EQ(cpuReset(), 1u);
        cpuSaveState(saved);
        cpuLoadState(saved);
        EXPECT_EQ(cpuInitialize(), 0u);
    };
    EXPECT_EQ(cpuRun(12), runEnded);
    EXPECT_EQ(saved[0], 0); // nothing was saved
    EXPECT_EQ(cpuState.pc, codeStart + 2);
}

TEST_F(RunControl, SaveAndLoadCopyTheWholeState) {
    EXPECT_EQ(cpuStateSize(), sizeof(CpuState));
    std::vector<uint8_t> buffer(cpuStateSize());
    cpuState.regs[3] = 0xDEADBEEF;
    EXPECT_EQ(cpuSaveState(buffer.data()), 0u);
    cpuState.regs[3] = 0;
    EXPECT_EQ(cpuLoadState(buffer.data()), 0u);
    EXPECT_EQ(cpuState.regs[3], 0xDEADBEEFu);
    // A loaded state that is stopped at an odd address is halted.
    cpuState.pc = 0x1001;
    cpuState.interruptLatch[0] = 1;
    cpuSaveState(buffer.data());
    cpuLoadState(buffer.data());
    EXPECT_EQ(cpuRun(4), runHalted);
    cpuState.pc = codeStart;
    cpuState.interruptLatch[0] = 0;
    cpuSaveState(buffer.data());
    cpuLoadState(buffer.data());
    EXPECT_EQ(cpuRun(4), runEnded);
}

TEST_F(RunControl, PeekCodeLooksAtTheProgramMap) {
    m.write16(codeStart, 0x1234);
    EXPECT_EQ(cpuPeekCode(codeStart), 0x1234u);
    EXPECT_EQ(cpuPeekCode(0xFF000000 | codeStart), 0x1234u);
    EXPECT_EQ(cpuPeekCode(0x00F00000), 0xFFFFFFFFu);
    EXPECT_EQ(cpuPeekCode(m.size() - 1), 0xFFFFFFFFu); // half a word in the region
    cpuState.sr = 0;
    EXPECT_EQ(cpuPeekCode(codeStart), 0x1234u);
}

} // namespace
