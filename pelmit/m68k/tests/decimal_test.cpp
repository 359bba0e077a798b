// ABCD and SBCD: every (destination, source, X) through the register forms
// against plain models of the decimal steps, NBCD over every (operand, X) as
// the subtraction from zero, and the address order of the memory forms.
#include "pelmit/m68k/tests/single_step.h"

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

struct Decimal {
    uint32_t result, carry;
};

// The binary sum, a +6 correction of the low digit when it exceeds 9 or
// carried, and a +0x60 correction (with a decimal carry) when the 9-bit sum
// exceeds 0x99.
Decimal addModel(uint32_t d, uint32_t s, uint32_t x) {
    uint32_t t = d + s + x;
    bool half = (d & 0xF) + (s & 0xF) + x > 0xF;
    uint32_t r = t & 0xFF;
    if ((r & 0xF) > 9 || half) r = (r + 6) & 0xFF;
    if (t > 0x99) return {(r + 0x60) & 0xFF, 1};
    return {r, 0};
}

// The binary difference, a -6 correction when its low digit exceeds 9 or the
// low digit borrowed, and a -0x60 correction when it exceeds 0x99 or the
// whole subtraction borrowed.
Decimal subtractModel(uint32_t d, uint32_t s, uint32_t x) {
    int difference = int(d) - int(s) - int(x);
    bool borrow = difference < 0;
    bool halfBorrow = int(d & 0xF) - int(s & 0xF) - int(x) < 0;
    uint32_t r0 = uint32_t(difference) & 0xFF, r = r0, carry = 0;
    if ((r0 & 0xF) > 9 || halfBorrow) {
        r = (r0 - 6) & 0xFF;
        carry = borrow || r0 < 6;
    }
    if (r0 > 0x99 || borrow) {
        r = (r - 0x60) & 0xFF;
        carry = 1;
    }
    return {r, carry};
}

bool isDecimal(uint32_t byte) {
    return (byte & 0xF) <= 9 && (byte >> 4) <= 9;
}
uint32_t fromDecimal(uint32_t byte) {
    return (byte >> 4) * 10 + (byte & 0xF);
}

TEST(DecimalModels, AgreeWithWorkedExamplesAndDecimalArithmetic) {
    struct Case {
        bool add;
        uint32_t d, s, x, result, carry;
    } cases[] = {
        {true, 0x45, 0x55, 0, 0x00, 1},  {true, 0x99, 0x99, 1, 0x99, 1},
        {true, 0x50, 0x30, 0, 0x80, 0},  {true, 0x0A, 0x0A, 0, 0x1A, 0},
        {true, 0x0F, 0x00, 0, 0x15, 0},  {true, 0x9A, 0x00, 0, 0x00, 1},
        {true, 0xF0, 0x00, 0, 0x50, 1},  {true, 0x9F, 0x00, 0, 0x05, 1},
        {true, 0xFF, 0xFF, 1, 0x65, 1},  {true, 0x45, 0x38, 0, 0x83, 0},
        {false, 0x00, 0x01, 0, 0x99, 1}, {false, 0x00, 0x00, 1, 0x99, 1},
        {false, 0x99, 0x99, 1, 0x99, 1}, {false, 0x45, 0x45, 0, 0x00, 0},
        {false, 0x10, 0x01, 1, 0x08, 0}, {false, 0x12, 0x0F, 0, 0xFD, 1},
        {false, 0x9A, 0x00, 0, 0x34, 1},
    };
    for (const Case& c : cases) {
        Decimal r = c.add ? addModel(c.d, c.s, c.x) : subtractModel(c.d, c.s, c.x);
        EXPECT_EQ(r.result, c.result) << std::hex << c.d << (c.add ? " + " : " - ") << c.s;
        EXPECT_EQ(r.carry, c.carry) << std::hex << c.d << (c.add ? " + " : " - ") << c.s;
    }
    // On decimal digits the models are decimal arithmetic modulo 100.
    for (uint32_t d = 0; d < 256; ++d)
        for (uint32_t s = 0; s < 256; ++s)
            for (uint32_t x = 0; x < 2; ++x) {
                if (!isDecimal(d) || !isDecimal(s)) continue;
                uint32_t sum = fromDecimal(d) + fromDecimal(s) + x;
                int difference = int(fromDecimal(d)) - int(fromDecimal(s)) - int(x);
                Decimal a = addModel(d, s, x), b = subtractModel(d, s, x);
                ASSERT_EQ(fromDecimal(a.result), sum % 100);
                ASSERT_EQ(a.carry, sum >= 100 ? 1u : 0u);
                ASSERT_EQ(fromDecimal(b.result), uint32_t(difference + 100) % 100);
                ASSERT_EQ(b.carry, difference < 0 ? 1u : 0u);
            }
}

class DecimalInstructions : public SingleStep {};

// ABCD D1,D0 and SBCD D1,D0 over all 131,072 operand pairs and X: the low
// byte of D0, C = X = the decimal carry, Z cleared by a non-zero result and
// kept otherwise, N = bit 7, V cleared; 6 cycles.
TEST_F(DecimalInstructions, RegisterFormsOverEveryOperand) {
    for (bool add : {true, false}) {
        uint16_t op = add ? 0xC101 : 0x8101;
        for (uint32_t dd = 0; dd < 256; ++dd)
            for (uint32_t ss = 0; ss < 256; ++ss)
                for (uint32_t x = 0; x < 2; ++x) {
                    uint32_t zIn = (dd ^ ss ^ x) & 1;
                    d(0) = 0xABCDEF00 | dd;
                    d(1) = 0x12345600 | ss;
                    uint32_t cycles = run({op}, x * ccX | zIn * ccZ | ccN | ccV | ccC);
                    Decimal want = add ? addModel(dd, ss, x) : subtractModel(dd, ss, x);
                    uint32_t flags = want.carry * (ccX | ccC) | (want.result & 0x80 ? ccN : 0) |
                                     (zIn && want.result == 0 ? ccZ : 0);
                    ASSERT_EQ(d(0), 0xABCDEF00 | want.result)
                        << std::hex << op << " " << dd << " " << ss << " " << x;
                    ASSERT_EQ(ccr(), flags) << std::hex << op << " " << dd << " " << ss << " " << x;
                    ASSERT_EQ(d(1), 0x12345600 | ss);
                    ASSERT_EQ(cycles, 6u);
                }
    }
}

// NBCD D0 over every byte and X: zero minus the operand and X by the
// subtraction's steps, with SBCD's flags; 6 cycles.
TEST_F(DecimalInstructions, NegateOverEveryOperand) {
    for (uint32_t dd = 0; dd < 256; ++dd)
        for (uint32_t x = 0; x < 2; ++x)
            for (uint32_t zIn = 0; zIn < 2; ++zIn) {
                d(0) = 0x89ABCD00 | dd;
                uint32_t cycles = run({0x4800}, x * ccX | zIn * ccZ | ccN | ccV | ccC);
                Decimal want = subtractModel(0, dd, x);
                uint32_t flags = want.carry * (ccX | ccC) | (want.result & 0x80 ? ccN : 0) |
                                 (zIn && want.result == 0 ? ccZ : 0);
                ASSERT_EQ(d(0), 0x89ABCD00 | want.result) << std::hex << dd << " " << x;
                ASSERT_EQ(ccr(), flags) << std::hex << dd << " " << x << " " << zIn;
                ASSERT_EQ(cycles, 6u);
            }
}

// -(Ay),-(Ax): the source below Ay, then the destination below Ax as it then
// stands; A7 steps by 2; 18 cycles.
TEST_F(DecimalInstructions, MemoryFormsStepBothRegisters) {
    struct Case {
        uint16_t op;
        uint32_t ay, ax; // register numbers
        uint32_t source, destination, ayAfter, axAfter;
    } cases[] = {
        {0xC308, 0, 1, 0x1FFF, 0x2FFF, 0x1FFF, 0x2FFF}, // ABCD -(A0),-(A1)
        {0xC108, 0, 0, 0x1FFF, 0x1FFE, 0x1FFE, 0x1FFE}, // ABCD -(A0),-(A0)
        {0xCF0F, 7, 7, 0x6FFE, 0x6FFC, 0x6FFC, 0x6FFC}, // ABCD -(A7),-(A7)
        {0xC30F, 7, 1, 0x6FFE, 0x2FFF, 0x6FFE, 0x2FFF}, // ABCD -(A7),-(A1)
        {0x8F09, 1, 7, 0x2FFF, 0x6FFE, 0x2FFF, 0x6FFE}, // SBCD -(A1),-(A7)
        {0x8108, 0, 0, 0x1FFF, 0x1FFE, 0x1FFE, 0x1FFE}, // SBCD -(A0),-(A0)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.op);
        bool add = (c.op & 0xF000) == 0xC000;
        a(0) = 0x2000;
        a(1) = 0x3000;
        a(7) = 0x7000;
        m.write8(c.source, 0x19);
        m.write8(c.destination, 0x27);
        EXPECT_EQ(run({c.op}, ccX), 18u);
        EXPECT_EQ(m.read8(c.destination), add ? 0x47 : 0x07);
        EXPECT_EQ(a(c.ay), c.ayAfter);
        EXPECT_EQ(a(c.ax), c.axAfter);
        EXPECT_EQ(ccr(), 0u);
    }
}

} // namespace
