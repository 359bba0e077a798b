// Every opcode word of lines 0-7 run once in each of three settings: the words
// that execute an instruction charge the cycles of the published tables with
// this interpreter's departures (written out here from the tables, apart
// from the handlers), and every other word takes the illegal-instruction
// exception and changes nothing else.
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/tests/machine.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

constexpr uint32_t codeAt = 0x2000;
constexpr uint32_t stackAt = 0x3000; // A7 and every An
constexpr uint32_t userStack = 0x3800;
constexpr uint32_t handlerAt = 0x7000; // every exception vector
constexpr uint16_t fillWord = 0x0700;  // memory operands: no T when RTE pops it

// Effective-address times by mode (the order of Ea), bytes and words, longs.
constexpr int32_t eaWord[] = {0, 0, 4, 4, 6, 8, 10, 8, 12, 8, 10, 4};
constexpr int32_t eaLong[] = {0, 0, 8, 8, 10, 12, 14, 12, 16, 12, 14, 8};
// MOVE destinations: -(An) costs what (An) costs.
constexpr int32_t moveDestWord[] = {0, 0, 4, 4, 4, 8, 10, 8, 12};
constexpr int32_t moveDestLong[] = {0, 0, 8, 8, 8, 12, 14, 12, 16};
// Bit operations by mode (0 where the mode is no operand).
constexpr int32_t btstDynamic[] = {6, 0, 8, 8, 10, 12, 14, 12, 16, 12, 14, 8};
constexpr int32_t bchgDynamic[] = {8, 0, 12, 12, 14, 16, 18, 16, 20};
constexpr int32_t bclrDynamic[] = {10, 0, 12, 12, 14, 16, 18, 16, 20};
constexpr int32_t btstStatic[] = {10, 0, 12, 12, 14, 16, 18, 16, 20, 16, 18, 12};
constexpr int32_t bchgStatic[] = {12, 0, 16, 16, 18, 20, 22, 20, 24};
constexpr int32_t bclrStatic[] = {14, 0, 16, 16, 18, 20, 22, 20, 24};
// Control modes: (An), -, -, d16, d8, abs.W, abs.L, d16(PC), d8(PC).
constexpr int32_t leaTimes[] = {0, 0, 4, 0, 0, 8, 12, 8, 12, 8, 12};
constexpr int32_t peaTimes[] = {0, 0, 12, 0, 0, 16, 20, 16, 20, 16, 20};
constexpr int32_t jmpTimes[] = {0, 0, 8, 0, 0, 10, 14, 10, 12, 10, 14};
constexpr int32_t jsrTimes[] = {0, 0, 16, 0, 0, 18, 22, 18, 20, 18, 22};
constexpr int32_t movemOutBase[] = {0, 0, 8, 0, 8, 12, 14, 12, 16};
constexpr int32_t movemInBase[] = {0, 0, 12, 12, 0, 16, 18, 16, 20, 16, 18};

// One setting: every extension word, every data register, the flags.
struct Setting {
    uint16_t ext;
    uint32_t d;
    uint8_t ccr;
};
constexpr Setting settings[] = {
    {0x0100, 0x0010, 0x00}, // conditions with N Z V C clear; counters run on
    {0x0100, 0x0000, 0x0F}, // N Z V C set; counters run out; TRAPV traps
    {0x8100, 0x8000, 0x04}, // negative CHK values; two-register MOVEM masks
};

bool conditionHolds(uint32_t c, uint8_t ccr) {
    bool C = ccr & 1, V = ccr & 2, Z = ccr & 4, N = ccr & 8;
    const bool tests[16] = {true, false, !C && !Z, C || Z, !C,           C,          !Z, Z, !V, V,
                            !N,   N,     N == V,   N != V, !Z && N == V, Z || N != V};
    return tests[c & 15];
}

int32_t ea(uint32_t op, uint32_t size) {
    int m = int(eaSource(op));
    return size == 2 ? eaLong[m] : eaWord[m];
}

// The charge of an executing word in a setting.
int32_t expectedCycles(uint32_t op, Family f, const Setting& s) {
    int m = int(eaSource(op));
    uint32_t size = sizeField(op);
    bool isLong = size == 2;
    bool reg = m == int(Ea::DataReg);
    uint32_t cond = (op >> 8) & 15;
    switch (f) {
    case Family::Ori:
    case Family::Andi:
    case Family::Subi:
    case Family::Addi:
    case Family::Eori:
        if (reg) return isLong ? (f == Family::Andi ? 14 : 16) : 8;
        return (isLong ? 20 : 12) + ea(op, size);
    case Family::Cmpi:
        if (reg) return isLong ? 14 : 8;
        return (isLong ? 12 : 8) + ea(op, size);
    case Family::OriToCcr:
    case Family::AndiToCcr:
    case Family::EoriToCcr:
    case Family::OriToSr:
    case Family::AndiToSr:
    case Family::EoriToSr: return 20;
    case Family::Btst: return (op & 0x100 ? btstDynamic : btstStatic)[m];
    case Family::Bchg:
    case Family::Bset: return (op & 0x100 ? bchgDynamic : bchgStatic)[m];
    case Family::Bclr: return (op & 0x100 ? bclrDynamic : bclrStatic)[m];
    case Family::Movep: return op & 0x40 ? 24 : 16;
    case Family::MoveB:
    case Family::MoveW:
    case Family::MoveaW: return 4 + eaWord[m] + moveDestWord[int(eaMoveDest(op))];
    case Family::MoveL:
    case Family::MoveaL: return 4 + eaLong[m] + moveDestLong[int(eaMoveDest(op))];
    case Family::Negx:
    case Family::Neg:
    case Family::Not:
        if (reg) return isLong ? 6 : 4;
        return (isLong ? 12 : 8) + ea(op, size);
    case Family::Clr:
        if (reg) return isLong ? 8 : 4;
        return isLong ? 12 + eaLong[m] : 6 + eaWord[m];
    case Family::MoveFromSr: return reg ? 6 : 8 + eaWord[m];
    case Family::MoveToCcr:
    case Family::MoveToSr: return 12 + eaWord[m];
    case Family::Chk: {
        int32_t value = int16_t(s.d);
        int32_t bound = reg ? value : m == int(Ea::Immediate) ? int16_t(s.ext) : int16_t(fillWord);
        return (value < 0 || value > bound ? 40 : 10) + eaWord[m];
    }
    case Family::Lea: return leaTimes[m];
    case Family::Pea: return peaTimes[m];
    case Family::Jmp: return jmpTimes[m];
    case Family::Jsr: return jsrTimes[m];
    case Family::Swap:
    case Family::ExtW:
    case Family::ExtL:
    case Family::Nop:
    case Family::Stop:
    case Family::MoveToUsp:
    case Family::MoveFromUsp:
    case Family::Moveq: return 4;
    case Family::Nbcd: return reg ? 6 : 8 + eaWord[m];
    case Family::MovemToMemory:
    case Family::MovemFromMemory: {
        int32_t base = (f == Family::MovemToMemory ? movemOutBase : movemInBase)[m];
        return base + std::popcount(uint32_t(s.ext)) * (op & 0x40 ? 8 : 4);
    }
    case Family::Tst: return 4 + ea(op, size);
    case Family::Tas: return reg ? 4 : 14 + eaWord[m];
    case Family::IllegalOpcode:
    case Family::Trap: return 34;
    case Family::Link: return 16;
    case Family::Unlk: return 12;
    case Family::Reset: return 132;
    case Family::Rte:
    case Family::Rtr: return 20;
    case Family::Rts: return 16;
    case Family::Trapv: return s.ccr & 2 ? 38 : 4;
    case Family::Addq:
    case Family::Subq:
        if (reg) return isLong ? 8 : 4;
        if (m == int(Ea::AddrReg)) return isLong || f == Family::Subq ? 8 : 4;
        return (isLong ? 12 : 8) + ea(op, size);
    case Family::Scc:
        if (reg) return conditionHolds(cond, s.ccr) ? 6 : 4;
        return 8 + eaWord[m];
    case Family::Dbcc:
        if (conditionHolds(cond, s.ccr)) return 12;
        return (s.d & 0xFFFF) == 0 ? 14 : 10;
    case Family::Bra: return 10;
    case Family::Bsr: return 18;
    case Family::Bcc:
        if (conditionHolds(cond, s.ccr)) return 10;
        return op & 0xFF ? 8 : 12;
    default: ADD_FAILURE() << "no charge for " << familyName(f); return -1;
    }
}

void resetDevices() {}

// Where the operands of the three settings lie: the vectors, (xxx).W, the
// code with its PC-relative operands and the stack (all below 0x3800), and
// the indexed and (xxx).L operands of the third setting.
constexpr uint32_t lowBytes = 0x3800;
constexpr uint32_t windows[] = {0x0100, 0x2000, 0x2F00, 0x6000, 0x8100};
constexpr uint32_t windowBytes = 0x300;

class CycleCharges : public ::testing::Test {
protected:
    Machine m;
    std::vector<uint8_t> low;

    void SetUp() override {
        for (uint32_t v = 2; v < 64; ++v) m.write32(v * 4, handlerAt);
        ASSERT_EQ(m.boot(stackAt, codeAt), 0u);
        cpuState.resetHandler = &resetDevices;
        for (uint32_t a : windows)
            for (uint32_t i = 0; i < windowBytes; i += 2) m.write16(a + i, fillWord);
        low.assign(m.ram(), m.ram() + lowBytes);
    }

    // Runs the word at codeAt, followed by four extension words, in the
    // setting, and gives its charge.
    uint32_t run(uint16_t op, const Setting& s) {
        std::memcpy(m.ram(), low.data(), lowBytes);
        for (uint32_t a : windows)
            if (a >= lowBytes) std::memcpy(m.ram() + a, low.data() + windows[0], windowBytes);
        m.code(codeAt, {op, s.ext, s.ext, s.ext, s.ext});
        CpuState& c = cpuState;
        for (uint32_t i = 0; i < 8; ++i) c.regs[i] = s.d;
        for (uint32_t i = 8; i < 16; ++i) c.regs[i] = stackAt;
        c.otherStackPointer = userStack;
        c.sr = uint16_t(0x2700 | s.ccr);
        c.pc = codeAt;
        std::memset(c.interruptLatch, 0, sizeof c.interruptLatch);
        cpuTakeCycles();
        cpuRun(0);
        return cpuTakeCycles();
    }
};

TEST_F(CycleCharges, EveryExecutingWordChargesItsTime) {
    uint32_t checked = 0;
    for (const Setting& s : settings)
        for (uint32_t op = 0; op < 0x8000; ++op) {
            Family f = lineTables[op >> 12]->classify(op);
            if (!executes(f)) continue;
            ASSERT_EQ(int32_t(run(uint16_t(op), s)), expectedCycles(op, f, s))
                << familyName(f) << " " << std::hex << op << " ext " << s.ext << " ccr "
                << int(s.ccr);
            ++checked;
        }
    EXPECT_EQ(checked, 3u * (2989 + 2650 + 3538 + 3538 + 1959 + 3584 + 4096 + 2048));
}

TEST_F(CycleCharges, WordsOfNoInstructionTakeVector4AndChangeNothingElse) {
    const Setting& s = settings[0];
    uint32_t checked = 0;
    for (uint32_t op = 0; op < 0x8000; ++op) {
        if (lineTables[op >> 12]->classify(op) != Family::Illegal) continue;
        ASSERT_EQ(run(uint16_t(op), s), 34u) << std::hex << op;
        ASSERT_EQ(cpuState.pc, handlerAt) << std::hex << op;
        ASSERT_EQ(m.read32(stackAt - 4), codeAt) << std::hex << op;
        ASSERT_EQ(m.read16(stackAt - 6), 0x2700 | s.ccr) << std::hex << op;
        for (uint32_t i = 0; i < 8; ++i) ASSERT_EQ(cpuState.regs[i], s.d) << std::hex << op;
        for (uint32_t i = 8; i < 15; ++i) ASSERT_EQ(cpuState.regs[i], stackAt) << std::hex << op;
        ++checked;
    }
    EXPECT_EQ(checked, 1107u + 1446 + 558 + 558 + 2137 + 512 + 0 + 2048);
}

} // namespace
