// The memory routines (byte order, the 24-bit cut, unmapped addresses, row
// ends, handler rows, overlapping rows), indexed displacements, the
// program-counter rule and the fetch guard at the end of a region.
#include "pelmit/m68k/operands.h"
#include "pelmit/m68k/tests/machine.h"
#include "pelmit/m68k/tests/words.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

constexpr uint32_t ioLow = 0x100000, ioHigh = 0x1000FF; // above the RAM row

std::vector<std::string> accesses;
uint32_t logRead(uint32_t address, const DataRegion*) {
    char text[32];
    std::snprintf(text, sizeof text, "r%X", address);
    accesses.push_back(text);
    return 0xA000 | (address & 0xFFF);
}
void logWrite(uint32_t address, uint32_t value, const DataRegion*) {
    char text[32];
    std::snprintf(text, sizeof text, "w%X=%X", address, value);
    accesses.push_back(text);
}

class Memory : public ::testing::Test {
protected:
    Machine m{0x80000}; // 0x000000-0x07FFFF, as the emulated Amiga's chip RAM

    void SetUp() override {
        accesses.clear();
        for (MapSet* maps : {&m.supervisor, &m.user}) {
            maps->readByte.push_back({ioLow, ioHigh, &logRead, nullptr});
            maps->readWord.push_back({ioLow, ioHigh, &logRead, nullptr});
            maps->writeByte.push_back({ioLow, ioHigh, &logWrite, nullptr});
            maps->writeWord.push_back({ioLow, ioHigh, &logWrite, nullptr});
        }
        ASSERT_EQ(m.boot(0x8000, 0x1000), 0u);
        refreshRowCaches();
        cpuTakeCycles();
    }
};

TEST_F(Memory, PlainRowsHoldHostOrderWords) {
    memWriteByte(1, 0x12);
    memWriteByte(0, 0x34);
    EXPECT_EQ(memReadWord(0), 0x3412u);
    uint16_t host;
    std::memcpy(&host, m.ram(), 2);
    EXPECT_EQ(host, 0x3412);
    memWriteLong(4, 0x11223344);
    EXPECT_EQ(memReadLong(4), 0x11223344u);
    EXPECT_EQ(memReadWord(4), 0x1122u);
    EXPECT_EQ(memReadByte(7), 0x44u);
    // The top byte of an address is cut off.
    EXPECT_EQ(memReadLong(0xFF000004), 0x11223344u);
    // A word or long at an odd address uses the word that holds the address.
    EXPECT_EQ(memReadWord(5), 0x1122u);
    EXPECT_EQ(memReadLong(5), 0x11223344u);
    memWriteWord(9, 0xBEEF);
    EXPECT_EQ(m.read16(8), 0xBEEF);
}

TEST_F(Memory, UnmappedAddressesReadAllOnesAndDropWrites) {
    EXPECT_EQ(memReadByte(0x200000), 0xFFu);
    EXPECT_EQ(memReadWord(0x200000), 0xFFFFu);
    EXPECT_EQ(memReadLong(0x200000), 0xFFFFFFFFu);
    memWriteLong(0x200000, 0);
    memWriteByte(0x200001, 0);
    EXPECT_EQ(memReadLong(0x200000), 0xFFFFFFFFu);
}

TEST_F(Memory, LongsAcrossTheEndOfARow) {
    memWriteLong(0x7FFFE, 0x11223344);
    EXPECT_EQ(m.read16(0x7FFFE), 0x1122);
    EXPECT_EQ(memReadLong(0x7FFFE), 0x1122FFFFu);
    // The second word of the long at 0xFFFFFE is address 0: an unmapped long
    // read does not look it up, an unmapped long write still writes it.
    memWriteWord(0, 0x5678);
    EXPECT_EQ(memReadLong(0xFFFFFE), 0xFFFFFFFFu);
    memWriteLong(0xFFFFFE, 0xAAAABBBB);
    EXPECT_EQ(m.read16(0), 0xBBBB);
}

TEST_F(Memory, HandlerRowsSeeEveryWordHighFirst) {
    EXPECT_EQ(memReadLong(0xFF100010), 0xA010A012u);
    memWriteLong(0x100020, 0x11223344);
    memWriteByte(0x100031, 0x1FF);
    EXPECT_EQ(memReadWord(0x100041), 0xA041u); // odd addresses reach handlers unchanged
    std::vector<std::string> expected = {"r100010",      "r100012",    "w100020=1122",
                                         "w100022=3344", "w100031=FF", "r100041"};
    EXPECT_EQ(accesses, expected);
    // A long whose second word lies past the handler row takes it through the
    // word map: unmapped here.
    accesses.clear();
    EXPECT_EQ(memReadLong(0x1000FE), 0xA0FEFFFFu);
    EXPECT_EQ(accesses.size(), 1u);
}

TEST_F(Memory, FirstRowWins) {
    Machine other(0x1000);
    other.write16(0x100, 0x7777);
    m.supervisor.readWord.insert(m.supervisor.readWord.begin(),
                                 DataRegion{0x100, 0x1FF, nullptr, other.ram() + 0x100});
    m.install();
    cpuReset();
    refreshRowCaches();
    EXPECT_EQ(memReadWord(0x100), 0x7777u);
    EXPECT_EQ(memReadWord(0x200), 0u);
}

TEST_F(Memory, NullMapsAreEmpty) {
    cpuState.activeReadWordMap = nullptr;
    cpuState.activeWriteByteMap = nullptr;
    refreshRowCaches();
    EXPECT_EQ(memReadLong(0x10), 0xFFFFFFFFu);
    memWriteByte(0x10, 0);
    EXPECT_EQ(cpuPeekCode(0x1000), 0u);
}

TEST(IndexedDisplacement, BriefExtensionWords) {
    struct Case {
        uint16_t word;
        uint32_t index; // in A0 or D1
        uint32_t result;
    } cases[] = {
        {0x87FE, 0x00010000, 0xFFFFFFFE}, // A0.W = 0, d8 = -2; bits 10-8 mean nothing
        {0x8800, 0x00010000, 0x00010000}, // A0.L
        {0x1000, 0x0001FFFF, 0xFFFFFFFF}, // D1.W = -1
        {0x1804, 0x0001FFFF, 0x00020003}, // D1.L + 4
    };
    for (const Case& c : cases) {
        cpuState.regs[8] = c.index;
        cpuState.regs[1] = c.index;
        uint8_t stream[2];
        store16(stream, c.word);
        runState.ip = stream;
        EXPECT_EQ(indexedDisplacement(), c.result) << std::hex << c.word;
        EXPECT_EQ(runState.ip, stream + 2);
    }
}

TEST_F(Memory, JumpsKeepTheTopByte) {
    m.write32(32 * 4, 0x01001002);
    m.code(0x1000, {opTrap0, opNop});
    EXPECT_EQ(cpuRun(34 + 4), runEnded);
    EXPECT_EQ(cpuState.pc, 0x01001004u);
}

// A program region that ends in the middle of an instruction, backed by host
// memory of exactly its size, so that any read past it is caught.
TEST_F(Memory, FetchNeverLeavesARegion) {
    std::vector<uint16_t> code = {opNop, opMoveToCcrImm}; // 0x2000-0x2003
    std::vector<uint16_t> more = {0x0015, opNop, opNop};  // 0x2004-0x2009
    ProgramRegion first{0x2000, 0x2003, hostOffsetFor(code.data(), 0x2000)};
    ProgramRegion second{0x2004, 0x2009, hostOffsetFor(more.data(), 0x2004)};
    // The immediate continues in the next region.
    ProgramRegion vectors = m.programRow(0, 0xFFF);
    m.supervisor.program = {vectors, first, second};
    m.install();
    cpuReset();
    cpuState.pc = 0x2000;
    EXPECT_EQ(cpuRun(4 + 16 + 8), runEnded);
    EXPECT_EQ(cpuState.sr & 0xFF, 0x15);
    EXPECT_EQ(cpuState.pc, 0x200Au);
    EXPECT_EQ(cpuRun(100), runFatal); // sequential execution ran off the end
    EXPECT_EQ(cpuState.pc, 0x200Au);
    EXPECT_EQ(cpuTakeCycles(), 28u);
    // Without the next region the immediate reads as all ones, and the run
    // ends where no region goes on.
    m.supervisor.program = {vectors, first};
    m.install();
    cpuReset();
    cpuState.pc = 0x2000;
    EXPECT_EQ(cpuRun(100), runFatal);
    EXPECT_EQ(cpuState.sr & 0xFF, 0x1F);
    EXPECT_EQ(cpuState.pc, 0x2006u);
    EXPECT_EQ(cpuTakeCycles(), 4u + 16);
    // An odd program counter stays inside the region too (the sanitizer
    // watches the host reads; what the words mean does not matter).
    cpuState.pc = 0x2001;
    EXPECT_NE(cpuRun(100), runHalted);
}

TEST_F(Memory, ExceptionsFromTheGuardedStep) {
    std::vector<uint16_t> code = {opNop, opTrap0}; // the TRAP is in the last word
    m.supervisor.program = {m.programRow(0, 0xFFF),
                            {0x2000, 0x2003, hostOffsetFor(code.data(), 0x2000)},
                            m.programRow(0x3000, 0x7FFFF)};
    m.write32(32 * 4, 0x3000);
    m.code(0x3000, {opNop});
    m.install();
    cpuReset();
    cpuState.pc = 0x2000;
    EXPECT_EQ(cpuRun(4 + 34 + 4), runEnded);
    EXPECT_EQ(cpuState.pc, 0x3002u);
    EXPECT_EQ(m.read32(0x8000 - 4), 0x2004u);
}

} // namespace
