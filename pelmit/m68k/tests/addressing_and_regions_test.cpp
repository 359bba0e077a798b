// What the single-step vectors cannot show about lines 0-7: the accesses an
// instruction makes to a handler row and their order, memory where nothing is
// mapped, branches between program regions and out of them, and the forms
// this interpreter accepts or charges in its own way.
#include "pelmit/m68k/core.h"
#include "pelmit/m68k/tests/machine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

constexpr uint32_t codeAt = 0x1000;
constexpr uint32_t stackAt = 0x8000;
constexpr uint32_t handlerAt = 0x3000;
constexpr uint32_t ioLow = 0xF0000, ioHigh = 0xF00FF; // a handler row

// The accesses to the handler row, as "rb f0001" / "ww f0000=1234".
std::vector<std::string> accesses;
void log(const char* kind, uint32_t address, const char* value) {
    std::ostringstream s;
    s << kind << " " << std::hex << address << value;
    accesses.push_back(s.str());
}
// Reads give the low byte or word of the address plus 0x5500.
uint32_t ioReadByte(uint32_t a, const DataRegion*) {
    log("rb", a, "");
    return (a + 0x5500) & 0xFF;
}
uint32_t ioReadWord(uint32_t a, const DataRegion*) {
    log("rw", a, "");
    return (a + 0x5500) & 0xFFFF;
}
void ioWriteByte(uint32_t a, uint32_t v, const DataRegion*) {
    std::ostringstream s;
    s << "=" << std::hex << v;
    log("wb", a, s.str().c_str());
}
void ioWriteWord(uint32_t a, uint32_t v, const DataRegion*) {
    std::ostringstream s;
    s << "=" << std::hex << v;
    log("ww", a, s.str().c_str());
}

class AddressingAndRegions : public ::testing::Test {
protected:
    Machine m;

    void SetUp() override {
        accesses.clear();
        for (MapSet* maps : {&m.supervisor, &m.user}) {
            maps->readByte.push_back({ioLow, ioHigh, &ioReadByte, nullptr});
            maps->readWord.push_back({ioLow, ioHigh, &ioReadWord, nullptr});
            maps->writeByte.push_back({ioLow, ioHigh, &ioWriteByte, nullptr});
            maps->writeWord.push_back({ioLow, ioHigh, &ioWriteWord, nullptr});
        }
        // Plain RAM ends below the handler row; nothing is mapped at 0x100000.
        for (MapSet* maps : {&m.supervisor, &m.user})
            for (auto* list :
                 {&maps->readByte, &maps->readWord, &maps->writeByte, &maps->writeWord})
                (*list)[0] = m.plainRow(0, 0xEFFFF);
        for (uint32_t v = 2; v < 64; ++v) m.write32(v * 4, handlerAt);
        ASSERT_EQ(m.boot(stackAt, codeAt), 0u);
        cpuTakeCycles();
    }

    // Runs the words from codeAt as one instruction, in supervisor mode with
    // the given flags.
    uint32_t step(const std::vector<uint16_t>& words, uint16_t ccr = 0) {
        for (size_t i = 0; i < words.size(); ++i) m.write16(codeAt + 2 * uint32_t(i), words[i]);
        cpuState.pc = codeAt;
        cpuState.sr = uint16_t(0x2700 | ccr);
        accesses.clear();
        EXPECT_EQ(cpuRun(0), runEnded);
        return cpuTakeCycles();
    }
    uint16_t ccr() const { return cpuState.sr & 0x1F; }
};

TEST_F(AddressingAndRegions, AccessesToAHandlerRowAndTheirOrder) {
    struct Case {
        const char* what;
        std::vector<uint16_t> words;
        std::vector<std::string> expected;
    } cases[] = {
        {"CLR.W (A0) writes without reading", {0x4250}, {"ww f0000=0"}},
        {"CLR.L (A0)", {0x4290}, {"ww f0000=0", "ww f0002=0"}},
        {"ST (A0) writes without reading", {0x50D0}, {"wb f0000=ff"}},
        {"NEG.W (A0) reads, then writes at the same address",
         {0x4450},
         {"rw f0000", "ww f0000=ab00"}},
        {"NEG.L (A0), high words first",
         {0x4490},
         {"rw f0000", "rw f0002", "ww f0000=aaff", "ww f0002=aafe"}},
        {"TAS (A0) writes back bit 7 set", {0x4AD0}, {"rb f0000", "wb f0000=80"}},
        {"BTST #0,(A0) only reads", {0x0810, 0x0000}, {"rb f0000"}},
        {"MOVE.L D0,(A0)", {0x2080}, {"ww f0000=1122", "ww f0002=3344"}},
        {"MOVE.W (A0)+,(A0)+ reads at A0, writes at A0 + 2",
         {0x30D8},
         {"rw f0000", "ww f0002=5500"}},
        {"MOVEM.L D0-D1,(A0): one long per register, in order",
         {0x48D0, 0x0003},
         {"ww f0000=1122", "ww f0002=3344", "ww f0004=5566", "ww f0006=7788"}},
        {"MOVEM.W (A0),D0-D1 makes no read after the last register",
         {0x4C90, 0x0003},
         {"rw f0000", "rw f0002"}},
        {"MOVEM.L D0/D1,-(A0) stores D1 first, at the top",
         {0x48E0, 0xC000},
         {"ww f0004=5566", "ww f0006=7788", "ww f0000=1122", "ww f0002=3344"}},
        {"MOVEP.L D0,(0,A0): every other byte, ascending",
         {0x01C8, 0x0000},
         {"wb f0000=11", "wb f0002=22", "wb f0004=33", "wb f0006=44"}},
        {"ADDQ.L #1,(A0)", {0x5290}, {"rw f0000", "rw f0002", "ww f0000=5500", "ww f0002=5503"}},
        {"NBCD (A0) with X set", {0x4810}, {"rb f0000", "wb f0000=99"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cpuState.regs[0] = 0x11223344;
        cpuState.regs[1] = 0x55667788;
        cpuState.regs[8] = c.words[0] == 0x48E0 ? ioLow + 8 : ioLow;
        step(c.words, 0x10);
        EXPECT_EQ(accesses, c.expected);
    }
}

TEST_F(AddressingAndRegions, MemoryWhereNothingIsMapped) {
    // Reads give all ones; writes are dropped; registers and flags go on.
    cpuState.regs[8] = 0x100000;
    cpuState.regs[4] = 0x12340000;
    EXPECT_EQ(step({0x3810}), 8u); // MOVE.W (A0),D4
    EXPECT_EQ(cpuState.regs[4], 0x1234FFFFu);
    EXPECT_EQ(ccr(), 0x08);
    EXPECT_EQ(step({0x2810}), 12u); // MOVE.L (A0),D4
    EXPECT_EQ(cpuState.regs[4], 0xFFFFFFFFu);
    EXPECT_EQ(step({0x30C4}), 8u); // MOVE.W D4,(A0)+
    EXPECT_EQ(cpuState.regs[8], 0x100002u);
    EXPECT_EQ(ccr(), 0x08);
    EXPECT_EQ(step({0x3050}), 8u); // MOVEA.W (A0),A0
    EXPECT_EQ(cpuState.regs[8], 0xFFFFFFFFu);
}

TEST_F(AddressingAndRegions, AddressesKeepTheirTopByteAndOddWordsUseTheirWord) {
    m.write32(0x2000, 0xA1B2C3D4);
    cpuState.regs[8] = 0xFF002000;
    EXPECT_EQ(step({0x2018}), 12u); // MOVE.L (A0)+,D0
    EXPECT_EQ(cpuState.regs[0], 0xA1B2C3D4u);
    EXPECT_EQ(cpuState.regs[8], 0xFF002004u);
    // A word at an odd address of plain memory is the word that holds it.
    cpuState.regs[8] = 0x2001;
    EXPECT_EQ(step({0x3010}), 8u); // MOVE.W (A0),D0
    EXPECT_EQ(cpuState.regs[0] & 0xFFFF, 0xA1B2u);
    // (xxx).W 0x8000 is 0xFFFF8000: LEA keeps all 32 bits.
    EXPECT_EQ(step({0x41F8, 0x8000}), 8u); // LEA (0x8000).W,A0
    EXPECT_EQ(cpuState.regs[8], 0xFFFF8000u);
}

TEST_F(AddressingAndRegions, FormsChargedOrAcceptedByThisInterpreter) {
    // Static BTST #n,#<data> is accepted: the bit number, then the data word.
    EXPECT_EQ(step({0x083C, 0x0007, 0x0081}), 12u);
    EXPECT_EQ(ccr(), 0x00);
    EXPECT_EQ(cpuState.pc, codeAt + 6);
    EXPECT_EQ(step({0x083C, 0x0001, 0x0081}), 12u);
    EXPECT_EQ(ccr(), 0x04);
    // ADDQ.W #1,A0 costs 4, carries into the upper word and keeps the flags.
    cpuState.regs[8] = 0x0001FFFF;
    EXPECT_EQ(step({0x5248}, 0x1F), 4u);
    EXPECT_EQ(cpuState.regs[8], 0x00020000u);
    EXPECT_EQ(ccr(), 0x1F);
    EXPECT_EQ(step({0x5348}), 8u); // SUBQ.W #1,A0
    // LINK A7 pushes A7 as it was; UNLK A7 pops it back.
    cpuState.regs[15] = stackAt;
    EXPECT_EQ(step({0x4E57, 0xFFF8}), 16u);
    EXPECT_EQ(m.read32(stackAt - 4), stackAt);
    EXPECT_EQ(cpuState.regs[15], stackAt - 12);
    cpuState.regs[15] = stackAt - 4;
    EXPECT_EQ(step({0x4E5F}), 12u);
    EXPECT_EQ(cpuState.regs[15], stackAt);
    // CHK clears Z, V and C, and N in bounds.
    cpuState.regs[1] = 5;
    cpuState.regs[0] = 5;
    EXPECT_EQ(step({0x4380}, 0x0F), 10u); // CHK D0,D1
    EXPECT_EQ(ccr(), 0x00);
    cpuState.regs[1] = 0xFFFF;
    cpuState.regs[15] = stackAt;
    EXPECT_EQ(step({0x4380}, 0x07), 40u);
    EXPECT_EQ(ccr(), 0x08);
    EXPECT_EQ(m.read32(stackAt - 4), codeAt + 2);
}

TEST_F(AddressingAndRegions, LoopOfDbfRunsItsCountPlusOne) {
    // moveq #0,d1; move.w #4,d0; loop: addq.w #1,d1; dbf d0,loop; reset
    m.code(codeAt, {0x7200, 0x303C, 0x0004, 0x5241, 0x51C8, 0xFFFC, 0x4E70});
    cpuState.pc = codeAt;
    cpuState.regs[0] = 0xABCD0000;
    EXPECT_EQ(cpuRun(100000), codeAt + 12);
    EXPECT_EQ(cpuState.regs[1], 5u);
    EXPECT_EQ(cpuState.regs[0], 0xABCDFFFFu);
    EXPECT_EQ(cpuTakeCycles(), 4u + 8 + 5 * 4 + 4 * 10 + 14);
}

// Two program regions with a gap between them: relative branches, DBcc and
// returns that leave the region they start in. The second region's code lies
// in RAM at 0x10000.
class ProgramRegions : public AddressingAndRegions {
protected:
    void SetUp() override {
        m.supervisor.program = {m.programRow(0, 0x107F),
                                {0x8000, 0xBFFF, hostOffsetFor(m.ram() + 0x10000, 0x8000)}};
        AddressingAndRegions::SetUp();
    }
};

TEST_F(ProgramRegions, BranchesGoOnInTheRegionTheyReach) {
    struct Case {
        const char* what;
        std::vector<uint16_t> words;
    } cases[] = {
        {"BRA.W", {0x6000, 0x7000 - 2}},           {"BEQ.W taken", {0x6700, 0x7000 - 2}},
        {"BSR.W", {0x6100, 0x7000 - 2}},           {"DBF", {0x51C8, 0x7000 - 2}},
        {"JMP (xxx).L", {0x4EF9, 0x0000, 0x8000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m.code(0x10000, {0x7E07, 0x4E70}); // moveq #7,d7; reset, at 0x8000
        m.code(codeAt, {0x4E71});
        for (size_t i = 0; i < c.words.size(); ++i) m.write16(codeAt + 2 * i, c.words[i]);
        cpuState.pc = codeAt;
        cpuState.sr = 0x2704;
        cpuState.regs[0] = 3;
        cpuState.regs[7] = 0;
        cpuState.regs[15] = stackAt - 0x100;
        EXPECT_EQ(cpuRun(1000), 0x8002u);
        EXPECT_EQ(cpuState.regs[7], 7u);
    }
}

TEST_F(ProgramRegions, BranchesIntoNoRegionEndTheRun) {
    struct Case {
        const char* what;
        std::vector<uint16_t> words;
        uint32_t target;
    } cases[] = {
        {"BRA.W", {0x6000, 0x4000}, 0x5002},
        {"BRA.S", {0x607E}, 0x1080},
        {"DBF", {0x51C8, 0x4000}, 0x5002},
        {"RTS", {0x4E75}, 0x6000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (size_t i = 0; i < c.words.size(); ++i) m.write16(codeAt + 2 * i, c.words[i]);
        m.write32(stackAt, 0x6000);
        cpuState.pc = codeAt;
        cpuState.sr = 0x2700;
        cpuState.regs[0] = 3;
        cpuState.regs[15] = stackAt;
        EXPECT_EQ(cpuRun(1000), runEnded);
        EXPECT_EQ(cpuState.pc, c.target);
        EXPECT_EQ(cpuRun(1000), runFatal);
    }
}

} // namespace
