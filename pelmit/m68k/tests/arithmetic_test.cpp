// The two-operand instructions of lines 8 to D where the single-step vectors
// cannot look: the order of accesses on handler rows, odd and unmapped
// addresses, and registers that are both source and destination.
#include "pelmit/m68k/tests/single_step.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

constexpr uint32_t ioLow = 0xF0000, ioHigh = 0xF00FF; // a handler row

// Reads of the row give 0x8000 plus the low byte of the address.
struct Access {
    bool write;
    uint32_t address, value;
    bool operator==(const Access&) const = default;
};
void PrintTo(const Access& a, std::ostream* out) {
    *out << (a.write ? "write " : "read ") << std::hex << a.address << " " << a.value;
}
std::vector<Access> accesses;
uint32_t logRead(uint32_t address, const DataRegion*) {
    accesses.push_back({false, address, 0x8000 | (address & 0xFF)});
    return accesses.back().value;
}
void logWrite(uint32_t address, uint32_t value, const DataRegion*) {
    accesses.push_back({true, address, value});
}
Access read(uint32_t address) {
    return {false, address, 0x8000 | (address & 0xFF)};
}
Access write(uint32_t address, uint32_t value) {
    return {true, address, value};
}

class TwoOperands : public SingleStep {
protected:
    void SetUp() override {
        accesses.clear();
        for (MapSet* maps : {&m.supervisor, &m.user}) {
            maps->readByte.insert(maps->readByte.begin(), {ioLow, ioHigh, &logRead, nullptr});
            maps->readWord.insert(maps->readWord.begin(), {ioLow, ioHigh, &logRead, nullptr});
            maps->writeByte.insert(maps->writeByte.begin(), {ioLow, ioHigh, &logWrite, nullptr});
            maps->writeWord.insert(maps->writeWord.begin(), {ioLow, ioHigh, &logWrite, nullptr});
            // A read-only word: writes to 0x9000-0x9FFF go nowhere.
            for (auto* list : {&maps->writeByte, &maps->writeWord})
                *list = {list->front(), m.plainRow(0, 0x8FFF), m.plainRow(0xA000, m.size() - 1)};
        }
        SingleStep::SetUp();
    }
};

// Read-modify-write: one read, one write at the same address, the address
// register stepped only afterwards; a long makes two calls, high word first.
TEST_F(TwoOperands, MemoryDestinationsReadOnceThenWriteOnce) {
    struct Case {
        uint16_t op;
        std::vector<Access> log;
        uint32_t a0After, cycles;
    } cases[] = {
        // AND.B D4,(A0)+; EOR.W D1,-(A0) with D1 = 0 still writes.
        {0xC918, {read(0xF0010), write(0xF0010, 0x10)}, 0xF0011, 12},
        {0xB360, {read(0xF000E), write(0xF000E, 0x800E)}, 0xF000E, 14},
        // ADD.L D0,(A0); OR.L D1,(A0)+.
        {0xD190,
         {read(0xF0010), read(0xF0012), write(0xF0010, 0x8010), write(0xF0012, 0x8034)},
         0xF0010,
         20},
        {0x8398,
         {read(0xF0010), read(0xF0012), write(0xF0010, 0x8010), write(0xF0012, 0x8012)},
         0xF0014,
         20},
        // ROL.W (A0)+; CMPM.B (A0)+,(A1)+; SUBX.B -(A0),-(A1).
        {0xE7D8, {read(0xF0010), write(0xF0010, 0x21)}, 0xF0012, 12},
        {0xB308, {read(0xF0010), read(0xF0021)}, 0xF0011, 12},
        {0x9308, {read(0xF000F), read(0xF001F), write(0xF001F, 0x10)}, 0xF000F, 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.op);
        accesses.clear();
        a(0) = 0xF0010;
        a(1) = 0xF0021 - (c.op == 0xB308 ? 0 : 1);
        d(0) = 0x22;
        d(1) = 0;
        d(4) = 0x1F;
        EXPECT_EQ(run({c.op}), c.cycles);
        EXPECT_EQ(accesses, c.log);
        EXPECT_EQ(a(0), c.a0After);
    }
}

// No address errors: a word or long at an odd address is the word that holds
// the address, and the registers step as usual.
TEST_F(TwoOperands, OddAddressesTakeNoException) {
    m.write32(0x2000, 0x12345678);
    a(0) = 0x2001;
    d(0) = 0x00010000;
    EXPECT_EQ(run({0x9050}), 8u); // SUB.W (A0),D0
    EXPECT_EQ(d(0), 0x0001EDCCu);
    EXPECT_EQ(cpuState.pc, codeStart + 2);
    a(0) = 0x2001;
    a(1) = 0x2003;
    EXPECT_EQ(run({0xB348}), 12u); // CMPM.W (A0)+,(A1)+
    EXPECT_EQ(a(0), 0x2003u);
    EXPECT_EQ(a(1), 0x2005u);
    EXPECT_EQ(ccr(), 0u); // 0x5678 - 0x1234
}

// Unmapped memory reads all ones; the flags come from that value and the
// write is dropped.
TEST_F(TwoOperands, UnmappedAndReadOnlyMemory) {
    d(0) = 1;
    EXPECT_EQ(run({0x9179, 0x0020, 0x0000}), 20u); // SUB.W D0,(xxx).L at 0x200000
    EXPECT_EQ(ccr(), ccN);                         // 0xFFFF - 1
    m.write16(0x9000, 0x00F0);
    d(2) = 0x0F;
    EXPECT_EQ(run({0x8579, 0x0000, 0x9000}), 20u); // OR.W D2,(xxx).L: read-only
    EXPECT_EQ(m.read16(0x9000), 0x00F0);
    EXPECT_EQ(ccr(), 0u);
    d(3) = 0x11111111;
    EXPECT_EQ(run({0xD6B9, 0x0020, 0x0000}), 22u); // ADD.L (xxx).L,D3
    EXPECT_EQ(d(3), 0x11111110u);
}

// A source that steps the destination register steps it first; two memory
// operands on one register step it twice.
TEST_F(TwoOperands, SameRegisterOnBothSides) {
    struct Case {
        uint16_t op;
        uint32_t a0After;
        uint32_t ccr; // with X set before
    } cases[] = {
        {0x90E0, 0x1FFE - 0x0020, ccX},     // SUBA.W -(A0),A0
        {0xD1E0, 0x1FFC + 0x00100020, ccX}, // ADDA.L -(A0),A0
        {0xB1D8, 0x2004, ccX | ccZ},        // CMPA.L (A0)+,A0
        {0xB148, 0x2004, ccX},              // CMPM.W (A0)+,(A0)+: 0x2004 - 0
        {0xD148, 0x1FFC, 0},                // ADDX.W -(A0),-(A0): 0x10 + 0x20 + 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.op);
        m.write32(0x1FFC, 0x00100020);
        m.write32(0x2000, 0x00002004);
        a(0) = 0x2000;
        run({c.op}, ccX);
        EXPECT_EQ(a(0), c.a0After);
        EXPECT_EQ(ccr(), c.ccr);
    }
}

TEST_F(TwoOperands, ExchangeTouchesOnlyTheActiveStackPointer) {
    d(0) = 1;
    a(7) = 0xFFFFFFFF;
    cpuState.otherStackPointer = 0x6000;
    EXPECT_EQ(run({0xC18F}, 0x15), 6u); // EXG D0,A7
    EXPECT_EQ(d(0), 0xFFFFFFFFu);
    EXPECT_EQ(a(7), 1u);
    EXPECT_EQ(cpuState.otherStackPointer, 0x6000u);
    EXPECT_EQ(ccr(), 0x15u);
}

} // namespace
