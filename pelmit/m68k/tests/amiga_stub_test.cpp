// The call loop of the emulated Amiga's resident program, run on a machine
// shaped like that Amiga: chip RAM as one plain row at 0 and one handler row
// for the chip registers, where a word of 255 at 0xDFF1FE ends the run.
#include "pelmit/m68k/cpu.h"
#include "pelmit/m68k/tests/machine.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

constexpr uint32_t chipBytes = 0x80000;
constexpr uint32_t registersLow = 0xBFD000, registersHigh = 0xDFF1FF;
constexpr uint32_t trapRegister = 0xDFF1FE;
constexpr uint32_t callEntry = 0x1000, callRegisters = 0x1004;
constexpr uint32_t resumeAt = 0x1082; // after the write of 255
constexpr uint32_t userStack = 0x7C000, supervisorStack = 0x80000;

// 0x1040-0x1087: reset entry, the two base pointers and the call loop.
const std::vector<uint16_t> callLoop = {
    0x6000, 0x000A,                 // bra.w 0x104c
    0x0000, 0x1088, 0x0000, 0x15FA, // support block, library base
    0x46FC, 0x0000,                 // move #0,sr
    0x4FF9, 0x0007, 0xC000,         // lea 0x7c000,a7
    0x203A, 0xFFA8,                 // move.l 0x1000(pc),d0
    0x671E,                         // beq.s 0x107a
    0x42B9, 0x0000, 0x1000,         // clr.l 0x1000
    0x2F3C, 0x0000, 0x1072,         // move.l #0x1072,-(a7)
    0x2F00,                         // move.l d0,-(a7)
    0x4CFA, 0x7FFF, 0xFF96,         // movem.l 0x1004(pc),d0-d7/a0-a6
    0x4E75,                         // rts
    0x48F9, 0x7FFF, 0x0000, 0x1004, // movem.l d0-d7/a0-a6,0x1004
    0x33FC, 0x00FF, 0x00DF, 0xF1FE, // move.w #255,0xdff1fe
    0x4E71, 0x4E71,                 // nop; nop
    0x60CE,                         // bra.s 0x1056
};

// A routine of the tune at 0x2000.
const std::vector<uint16_t> routine = {
    0x48E7, 0xC000, // movem.l d0-d1,-(a7)
    0x240E,         // move.l a6,d2
    0x4842,         // swap d2
    0x4683,         // not.l d3
    0x43E8, 0x0010, // lea 16(a0),a1
    0x32BC, 0x1234, // move.w #0x1234,(a1)
    0x78FF,         // moveq #-1,d4
    0x4CDF, 0x0003, // movem.l (a7)+,d0-d1
    0x5081,         // addq.l #8,d1
    0x4480,         // neg.l d0
    0x4E75,         // rts
};

// A level-6 interrupt handler at 0x2100.
const std::vector<uint16_t> interruptHandler = {
    0x33FC, 0x4321, 0x0000, 0x3000, // move.w #0x4321,0x3000
    0x4E73,                         // rte
};

std::vector<std::pair<uint32_t, uint32_t>> registerWrites;

uint32_t chipRead(uint32_t, const DataRegion*) {
    return 0;
}

void chipWrite(uint32_t address, uint32_t value, const DataRegion*) {
    registerWrites.emplace_back(address, value);
    if (address == trapRegister && value == 255) cpuEndSlice();
}

class AmigaStub : public ::testing::Test {
protected:
    Machine m{chipBytes};

    void SetUp() override {
        registerWrites.clear();
        for (MapSet* maps : {&m.supervisor, &m.user}) {
            maps->readByte.push_back({registersLow, registersHigh, &chipRead, nullptr});
            maps->readWord.push_back({registersLow, registersHigh, &chipRead, nullptr});
            maps->writeByte.push_back({registersLow, registersHigh, &chipWrite, nullptr});
            maps->writeWord.push_back({registersLow, registersHigh, &chipWrite, nullptr});
        }
        load(0x1040, callLoop);
        load(0x2000, routine);
        load(0x2100, interruptHandler);
        m.write32(0x78, 0x2100);
        ASSERT_EQ(m.boot(supervisorStack, 0x1040), 0u);
        m.write32(0, 0);
        // The first run finds nothing to call.
        ASSERT_EQ(cpuRun(10000000), runEnded);
        expectFinished();
    }

    void load(uint32_t address, const std::vector<uint16_t>& words) {
        for (uint16_t w : words) {
            m.write16(address, w);
            address += 2;
        }
    }

    // The run ended on the write of 255, ready for the next call, in user mode.
    void expectFinished() {
        EXPECT_EQ(registerWrites,
                  (std::vector<std::pair<uint32_t, uint32_t>>{{trapRegister, 255}}));
        EXPECT_EQ(cpuState.pc, resumeAt);
        EXPECT_EQ(cpuState.sr & 0xFF00, 0);
        EXPECT_EQ(cpuState.regs[15], userStack);
        EXPECT_EQ(cpuState.otherStackPointer, supervisorStack);
        registerWrites.clear();
    }
};

TEST_F(AmigaStub, CallRoundTripThroughTheCallFrame) {
    const uint32_t in[15] = {0x10,   0x20,   0,      0x0F0F0F0F, 4,      5,      6,         7,
                             0x4000, 0x4100, 0x4200, 0x4300,     0x4400, 0x1088, 0x12345678};
    m.write32(callEntry, 0x2000);
    for (uint32_t i = 0; i < 15; ++i) m.write32(callRegisters + 4 * i, in[i]);
    EXPECT_EQ(cpuRun(10000000), runEnded);
    expectFinished();
    EXPECT_EQ(m.read32(callEntry), 0u);
    uint32_t out[15];
    std::copy(in, in + 15, out);
    out[0] = 0xFFFFFFF0;
    out[1] = 0x28;
    out[2] = 0x56781234;
    out[3] = 0xF0F0F0F0;
    out[4] = 0xFFFFFFFF;
    out[9] = 0x4010;
    for (uint32_t i = 0; i < 15; ++i)
        EXPECT_EQ(m.read32(callRegisters + 4 * i), out[i]) << "register " << i;
    EXPECT_EQ(m.read16(0x4010), 0x1234);
}

TEST_F(AmigaStub, LevelSixInterruptReturnsByRte) {
    ASSERT_EQ(cpuRaiseInterrupt(6, -1), 0u);
    EXPECT_EQ(cpuRun(10000000), runEnded);
    EXPECT_EQ(m.read16(0x3000), 0x4321);
    expectFinished();
    EXPECT_EQ(cpuState.interruptLatch[0], 0);
}

} // namespace
