// Shifts and rotates: every count 0-63 of the register forms, every count of
// the immediate forms and the memory forms, for every size, against a model
// that takes one step at a time.
#include "pelmit/m68k/tests/single_step.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

// Kind in the order of the opcode's type field: AS, LS, ROX, RO.
enum Kind { Arithmetic, Logical, RotateExtend, Rotate };
const char* const kindNames[] = {"AS", "LS", "ROX", "RO"};

struct Outcome {
    uint32_t value, ccr;
};

// n single steps on a w-bit operand; x and ccr carry X N Z V C in bits 4-0.
Outcome stepModel(Kind kind, bool left, uint32_t w, uint32_t operand, uint32_t n, uint32_t ccrIn) {
    uint32_t mask = w == 32 ? 0xFFFFFFFF : (1u << w) - 1, top = 1u << (w - 1);
    uint32_t v = operand & mask, x = (ccrIn & ccX) ? 1 : 0, c = 0, overflow = 0;
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t before = v;
        uint32_t out = left ? (v & top) != 0 : v & 1;
        if (left) {
            uint32_t in = kind == Rotate ? out : kind == RotateExtend ? x : 0;
            v = ((v << 1) | in) & mask;
        } else {
            uint32_t in = kind == Arithmetic     ? (v & top) != 0
                          : kind == Rotate       ? out
                          : kind == RotateExtend ? x
                                                 : 0;
            v = (v >> 1) | (in ? top : 0);
        }
        c = out;
        if (kind != Rotate) x = out;
        if (kind == Arithmetic && left && ((before ^ v) & top)) overflow = 1;
    }
    if (n == 0) c = kind == RotateExtend ? x : 0;
    uint32_t ccr = x * ccX | ((v & top) ? ccN : 0) | (v == 0 ? ccZ : 0) | overflow * ccV | c * ccC;
    return {v, ccr};
}

const uint32_t operands[] = {0x00000000, 0x00000001, 0x80000000, 0xFFFFFFFF, 0x7FFFFFFF,
                             0x00000080, 0x00008000, 0x12345678, 0x8001C003, 0x55AA55AA,
                             0xAA55AA55, 0x0000FFFE, 0xC0000000, 0x40FF8100};

class Shifts : public SingleStep {
protected:
    // Checks one instruction on D1 against the model; count is the shift's
    // count as the model takes it.
    void check(uint16_t op, Kind kind, bool left, uint32_t size, uint32_t operand, uint32_t count,
               uint32_t ccrIn) {
        uint32_t w = 8u << size;
        uint32_t kept = w == 32 ? 0 : 0x9E5A3CF0 & ~((1u << w) - 1);
        d(1) = kept | (operand & (w == 32 ? 0xFFFFFFFF : (1u << w) - 1));
        uint32_t cycles = run({op}, ccrIn);
        Outcome want = stepModel(kind, left, w, operand, count, ccrIn);
        ASSERT_EQ(d(1), kept | want.value) << trace(op, operand, count, ccrIn);
        ASSERT_EQ(ccr(), want.ccr) << trace(op, operand, count, ccrIn);
        ASSERT_EQ(cycles, (size == 2 ? 8u : 6u) + 2 * count) << trace(op, operand, count, ccrIn);
    }
    static std::string trace(uint16_t op, uint32_t operand, uint32_t count, uint32_t ccrIn) {
        char text[80];
        std::snprintf(text, sizeof text, "op %04X operand %08X count %u ccr %02X", op, operand,
                      count, ccrIn);
        return text;
    }
};

// 1110 ccc d ss i tt yyy: count register D0, destination D1.
TEST_F(Shifts, RegisterCountsZeroTo63) {
    for (uint32_t kind = 0; kind < 4; ++kind)
        for (bool left : {false, true})
            for (uint32_t size = 0; size < 3; ++size) {
                uint16_t op = uint16_t(0xE021 | left << 8 | size << 6 | kind << 3);
                SCOPED_TRACE(::testing::Message() << kindNames[kind] << (left ? "L" : "R"));
                for (uint32_t count = 0; count < 64; ++count)
                    for (uint32_t operand : operands)
                        for (uint32_t ccrIn : {0x00u, 0x1Fu}) {
                            // Only the low six bits of the count register count.
                            d(0) = 0xFFFFFFC0 | count;
                            check(op, Kind(kind), left, size, operand, count, ccrIn);
                            if (HasFatalFailure()) return;
                        }
            }
}

TEST_F(Shifts, ImmediateCountsOneToEight) {
    for (uint32_t kind = 0; kind < 4; ++kind)
        for (bool left : {false, true})
            for (uint32_t size = 0; size < 3; ++size)
                for (uint32_t field = 0; field < 8; ++field) {
                    uint16_t op = uint16_t(0xE001 | field << 9 | left << 8 | size << 6 | kind << 3);
                    for (uint32_t operand : operands)
                        for (uint32_t ccrIn : {0x00u, 0x1Fu}) {
                            check(op, Kind(kind), left, size, operand, field ? field : 8, ccrIn);
                            if (HasFatalFailure()) return;
                        }
                }
}

// The memory forms shift one word by one place: read, write, then the
// address register update, at 8 cycles plus the operand's time.
TEST_F(Shifts, MemoryWordsByOne) {
    struct Form {
        uint16_t mode;
        std::vector<uint16_t> extension;
        uint32_t address, a0After, cycles;
    } forms[] = {
        {0x10, {}, 0x2000, 0x2000, 12},       {0x18, {}, 0x2000, 0x2002, 12},
        {0x20, {}, 0x1FFE, 0x1FFE, 14},       {0x28, {0x0010}, 0x2010, 0x2000, 16},
        {0x38, {0x2400}, 0x2400, 0x2000, 16}, {0x39, {0x0000, 0x2600}, 0x2600, 0x2000, 20},
    };
    for (uint32_t kind = 0; kind < 4; ++kind)
        for (bool left : {false, true})
            for (const Form& f : forms) {
                uint16_t op = uint16_t(0xE0C0 | kind << 9 | left << 8 | f.mode);
                for (uint32_t operand : operands)
                    for (uint32_t ccrIn : {0x00u, 0x1Fu}) {
                        a(0) = 0x2000;
                        m.write16(f.address, uint16_t(operand));
                        m.code(codeStart + 2, {0x4E71, 0x4E71});
                        for (size_t i = 0; i < f.extension.size(); ++i)
                            m.write16(codeStart + 2 + 2 * uint32_t(i), f.extension[i]);
                        uint32_t cycles = run({op}, ccrIn);
                        Outcome want = stepModel(Kind(kind), left, 16, operand, 1, ccrIn);
                        ASSERT_EQ(m.read16(f.address), want.value) << trace(op, operand, 1, ccrIn);
                        ASSERT_EQ(ccr(), want.ccr) << trace(op, operand, 1, ccrIn);
                        ASSERT_EQ(a(0), f.a0After);
                        ASSERT_EQ(cycles, f.cycles);
                        ASSERT_EQ(cpuState.pc, codeStart + 2 + 2 * f.extension.size());
                    }
            }
}

TEST_F(Shifts, CountRegisterIsReadBeforeTheDestinationChanges) {
    d(3) = 0x00000021; // ROXL.B D3,D3 by 33, 33 mod 9 = 6 steps
    EXPECT_EQ(run({0xE733}, 0), 6u + 66);
    EXPECT_EQ(d(3), 0x00000044u);
    EXPECT_EQ(ccr(), 0u);
}

} // namespace
