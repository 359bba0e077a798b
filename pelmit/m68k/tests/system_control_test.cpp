// The system-control instructions: SR and CCR immediates, the status-register
// moves, MOVE USP, TRAP, TRAPV, RTE, NOP, and the words that take vectors 4,
// 10 and 11.
#include "pelmit/m68k/core.h"
#include "pelmit/m68k/tests/machine.h"
#include "pelmit/m68k/tests/words.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

constexpr uint32_t codeStart = 0x1000;
constexpr uint32_t stackTop = 0x8000;
constexpr uint32_t userStack = 0x6000;
constexpr uint32_t handlerAt = 0x3000; // every exception vector points here

class SystemControl : public ::testing::Test {
protected:
    Machine m;

    void SetUp() override {
        for (uint32_t v = 2; v < 64; ++v) m.write32(v * 4, handlerAt);
        ASSERT_EQ(m.boot(stackTop, codeStart), 0u);
        cpuState.otherStackPointer = userStack;
        cpuTakeCycles();
    }

    // Runs one instruction from codeStart with the given status register.
    uint32_t step(std::initializer_list<uint16_t> words, uint16_t sr) {
        m.code(codeStart, words);
        cpuState.pc = codeStart;
        cpuState.sr = sr;
        if (!(sr & 0x2000)) {
            std::swap(cpuState.regs[15], cpuState.otherStackPointer);
            m.activateUserMaps();
        }
        EXPECT_EQ(cpuRun(0), runEnded);
        return cpuTakeCycles();
    }

    void expectException(uint32_t vector, uint32_t stackedPc, uint16_t stackedSr) {
        (void)vector;
        EXPECT_EQ(cpuState.pc, handlerAt);
        EXPECT_EQ(cpuState.regs[15], stackTop - 6);
        EXPECT_EQ(m.read32(stackTop - 4), stackedPc);
        EXPECT_EQ(m.read16(stackTop - 6), stackedSr);
        EXPECT_TRUE(cpuState.sr & 0x2000);
        EXPECT_FALSE(cpuState.sr & 0x8000);
    }
};

TEST_F(SystemControl, ImmediatesToCcrAndSr) {
    struct Case {
        uint16_t op, imm, srBefore, srAfter;
        uint32_t cycles;
    } cases[] = {
        {opOriToCcr, 0x00FF, 0x2700, 0x271F, 20},  // X N Z V C and nothing else
        {opOriToCcr, 0x00E0, 0x2705, 0x2705, 20},  // bits 7-5 change nothing
        {opOriToCcr, 0xFF01, 0x2700, 0x2701, 20},  // the high byte is ignored
        {opAndiToCcr, 0x00EF, 0x271F, 0x270F, 20}, // X only
        {opEoriToCcr, 0x0015, 0x2704, 0x2711, 20},
        {opOriToSr, 0xFFFF, 0x2000, 0xA71F, 20}, // bits 14, 12, 11, 7-5 stay 0
        {opAndiToSr, 0xF8FF, 0x2715, 0x2015, 20},
        {opEoriToSr, 0x0700, 0x2300, 0x2400, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.op << " " << c.imm);
        EXPECT_EQ(step({c.op, c.imm}, c.srBefore), c.cycles);
        EXPECT_EQ(cpuState.sr, c.srAfter);
        EXPECT_EQ(cpuState.pc, codeStart + 4);
    }
}

TEST_F(SystemControl, SrWritesThatClearSSwitchStacksAndMaps) {
    // EORI #0x2000,SR in supervisor mode enters user mode.
    EXPECT_EQ(step({opEoriToSr, 0x2000}, 0x2700), 20u);
    EXPECT_EQ(cpuState.sr, 0x0700);
    EXPECT_EQ(cpuState.regs[15], userStack);
    EXPECT_EQ(cpuState.otherStackPointer, stackTop);
    EXPECT_EQ(cpuState.activeReadWordMap, cpuState.userReadWordMap);
    // MOVE #0,SR likewise; MOVE (A7)+,SR pops the supervisor stack first.
    m.write16(stackTop, 0x0004);
    cpuState.regs[15] = stackTop;
    cpuState.otherStackPointer = userStack;
    EXPECT_EQ(step({0x46DF}, 0x2700), 16u);
    EXPECT_EQ(cpuState.sr, 0x0004);
    EXPECT_EQ(cpuState.regs[15], userStack);
    EXPECT_EQ(cpuState.otherStackPointer, stackTop + 2);
}

TEST_F(SystemControl, PrivilegedInstructionsInUserMode) {
    struct Case {
        std::vector<uint16_t> words;
    } cases[] = {
        {{opOriToSr, 0x0700}}, {{opAndiToSr, 0}}, {{opEoriToSr, 0}}, {{opMoveToSrImm, 0}},
        {{opStop, 0x2000}},    {{opReset}},       {{opRte}},         {{opMoveToUsp}},
        {{opMoveFromUsp}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.words[0]);
        cpuState.regs[15] = stackTop;
        cpuState.otherStackPointer = userStack;
        m.write16(codeStart + 2, 0xFFFF);
        for (size_t i = 0; i < c.words.size(); ++i) m.write16(codeStart + 2 * i, c.words[i]);
        EXPECT_EQ(step({}, 0x8015), 34u);
        expectException(8, codeStart, 0x8015);
        EXPECT_EQ(cpuState.otherStackPointer, userStack);
        EXPECT_EQ(cpuState.sr, 0x2015);
    }
}

TEST_F(SystemControl, StatusRegisterMoves) {
    cpuState.regs[0] = 0x12340000;
    EXPECT_EQ(step({opMoveFromSrD0}, 0x2704), 6u);
    EXPECT_EQ(cpuState.regs[0], 0x12342704u);
    // User mode, not privileged; bits 7-5 read 0.
    EXPECT_EQ(step({opMoveFromSrAbsW, 0x2000}, 0x0004), 16u);
    EXPECT_EQ(m.read16(0x2000), 0x0004);
    EXPECT_EQ(step({opMoveToCcrImm, 0x00FF}, 0x2700), 16u);
    EXPECT_EQ(cpuState.sr, 0x271F);
    EXPECT_EQ(step({opMoveToCcrImm, 0x0010}, 0x2700), 16u);
    EXPECT_EQ(cpuState.sr, 0x2710);
    // A source where nothing is mapped reads all ones.
    EXPECT_EQ(step({opMoveToCcrAbsW, 0x8000}, 0x2700), 20u);
    EXPECT_EQ(cpuState.sr, 0x2700 | 0x1F);
    // MOVE #0xFFFF,SR then MOVE SR,D0: 0xA71F, and the MOVE from SR is traced.
    m.code(codeStart, {opMoveToSrImm, 0xFFFF, opMoveFromSrD0});
    cpuState.pc = codeStart;
    cpuState.regs[15] = stackTop;
    cpuState.sr = 0x2700;
    EXPECT_EQ(cpuRun(22), runEnded);
    EXPECT_EQ(cpuState.regs[0] & 0xFFFF, 0xA71Fu);
    EXPECT_EQ(cpuState.pc, handlerAt);
    EXPECT_EQ(m.read32(stackTop - 4), codeStart + 6);
    EXPECT_EQ(cpuTakeCycles(), 16u + 6 + 34);
}

TEST_F(SystemControl, MoveToSrLoweringTheMaskTakesAPendingInterrupt) {
    cpuRaiseInterrupt(3, -1);
    m.code(codeStart + 4, {opNop});
    EXPECT_EQ(step({opMoveToSrImm, 0x2000}, 0x2700), 16u + 44);
    EXPECT_EQ(cpuState.pc, handlerAt);
    EXPECT_EQ(m.read32(stackTop - 4), codeStart + 4);
    EXPECT_EQ(m.read16(stackTop - 6), 0x2000);
}

TEST_F(SystemControl, MoveUsp) {
    cpuState.regs[8 + 3] = 0x11223344;
    EXPECT_EQ(step({uint16_t(opMoveToUsp | 3)}, 0x2700), 4u);
    EXPECT_EQ(cpuState.otherStackPointer, 0x11223344u);
    EXPECT_EQ(step({uint16_t(opMoveFromUsp | 7)}, 0x2700), 4u);
    EXPECT_EQ(cpuState.regs[15], 0x11223344u);
}

TEST_F(SystemControl, TrapsAndNop) {
    EXPECT_EQ(step({opNop}, 0x2715), 4u);
    EXPECT_EQ(cpuState.pc, codeStart + 2);
    for (uint16_t n : {0, 15}) {
        m.write32((32 + n) * 4, handlerAt + 2 * n);
        cpuState.regs[15] = stackTop;
        EXPECT_EQ(step({uint16_t(opTrap0 | n)}, 0x0015), 34u);
        EXPECT_EQ(cpuState.pc, handlerAt + 2 * n);
        EXPECT_EQ(m.read32(stackTop - 4), codeStart + 2);
        EXPECT_EQ(m.read16(stackTop - 6), 0x0015);
    }
    cpuState.regs[15] = stackTop;
    EXPECT_EQ(step({opTrapv}, 0x2700), 4u);
    EXPECT_EQ(cpuState.pc, codeStart + 2);
    EXPECT_EQ(step({opTrapv}, 0x2702), 38u);
    expectException(7, codeStart + 2, 0x2702);
}

TEST_F(SystemControl, RteReturnsThroughTheSupervisorStack) {
    // To user mode: the frame is popped from the supervisor stack.
    m.write16(stackTop - 6, 0x0013);
    m.write32(stackTop - 4, 0x2000);
    cpuState.regs[15] = stackTop - 6;
    EXPECT_EQ(step({opRte}, 0x2700), 20u);
    EXPECT_EQ(cpuState.pc, 0x2000u);
    EXPECT_EQ(cpuState.sr, 0x0013);
    EXPECT_EQ(cpuState.regs[15], userStack);
    EXPECT_EQ(cpuState.otherStackPointer, stackTop);
    // Bits 14, 12 and 11 of the frame's word read 0; T is kept.
    m.write16(stackTop - 6, 0xFFFF);
    cpuState.regs[15] = stackTop - 6;
    cpuState.otherStackPointer = userStack;
    m.code(0x2000, {opNop});
    EXPECT_EQ(step({opRte}, 0x2700), 20u);
    EXPECT_EQ(cpuState.sr, 0xA71F);
}

TEST_F(SystemControl, RteReadsTheWholeFrameBeforeTheModeSwitch) {
    // The user maps read nothing: the PC must come from the supervisor stack.
    m.user.readWord.clear();
    m.user.readByte.clear();
    m.install();
    m.write16(stackTop - 6, 0x0000);
    m.write32(stackTop - 4, 0x2000);
    cpuState.regs[15] = stackTop - 6;
    EXPECT_EQ(step({opRte}, 0x2700), 20u);
    EXPECT_EQ(cpuState.pc, 0x2000u);
}

TEST_F(SystemControl, WordsOfNoInstruction) {
    struct Case {
        uint16_t op;
        uint32_t vector;
    } cases[] = {{opIllegal, 4}, {0x42C0, 4},  {0x4AFC, 4}, {0xA000, 10},
                 {0xAFFF, 10},   {0xF000, 11}, {0xFFFF, 11}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.op);
        m.write32(c.vector * 4, handlerAt + 2 * c.vector);
        cpuState.regs[15] = stackTop;
        cpuState.otherStackPointer = userStack;
        cpuState.regs[0] = 0x55;
        // Nothing after the word is consumed; flags are kept; T is not traced.
        EXPECT_EQ(step({c.op, opNop}, 0x801F), 34u);
        EXPECT_EQ(cpuState.pc, handlerAt + 2 * c.vector);
        EXPECT_EQ(m.read32(stackTop - 4), codeStart);
        EXPECT_EQ(m.read16(stackTop - 6), 0x801F);
        EXPECT_EQ(cpuState.sr, 0x201F);
        EXPECT_EQ(cpuState.otherStackPointer, userStack);
        EXPECT_EQ(cpuState.regs[0], 0x55u);
    }
}

} // namespace
