// MULU, MULS, DIVU and DIVS: products and their data-dependent times,
// quotients and remainders, overflow (-2^31 / -1 among them) and the zero
// divisor's exception.
#include "pelmit/m68k/tests/single_step.h"

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

class MultiplyDivide : public SingleStep {};

TEST_F(MultiplyDivide, ProductsFlagsAndTimes) {
    struct Case {
        uint16_t op, immediate; // immediate follows the opcode for #<data>
        uint32_t source, destination, product, ccr, cycles;
    } cases[] = {
        {0xC0C1, 0, 0xFFFF, 0xFFFF, 0xFFFE0001, ccN, 70},       // MULU D1,D0: 16 ones
        {0xC1C1, 0, 0xFFFF, 0xFFFF, 0x00000001, 0, 40},         // MULS: -1 * -1, one change
        {0xC1C1, 0, 0x8000, 0x7FFF, 0xC0008000, ccN, 40},       // MULS
        {0xC1C1, 0, 0x8000, 0x8000, 0x40000000, 0, 40},         // MULS
        {0xC1C1, 0, 0xFFFF, 0x0001, 0xFFFFFFFF, ccN, 40},       // MULS
        {0xC0C1, 0, 0xFFFF, 0x0001, 0x0000FFFF, 0, 70},         // MULU
        {0xC0C1, 0, 0x0000, 0x1234, 0x00000000, ccZ, 38},       // MULU
        {0xC1C1, 0, 0x0000, 0x1234, 0x00000000, ccZ, 38},       // MULS
        {0xC1C1, 0, 0x5555, 0x0001, 0x00005555, 0, 70},         // MULS: 16 changes
        {0xC1C1, 0, 0xAAAA, 0x0001, 0xFFFFAAAA, ccN, 68},       // MULS: 15 changes
        {0xC0FC, 2, 0x1234, 0x12340003, 0x00000006, 0, 44},     // MULU #2,D0: the upper word of
        {0xC1FC, 2, 0x1234, 0x12340003, 0x00000006, 0, 46},     // D0 takes no part
        {0xC0C1, 0, 0x12340003, 0xFFFF0003, 0x00000009, 0, 42}, // only low words
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.op << " " << c.source);
        for (uint32_t xIn : {0u, ccX}) {
            d(1) = c.source;
            d(0) = c.destination;
            EXPECT_EQ(run({c.op, c.immediate}, xIn | ccV | ccC), c.cycles);
            EXPECT_EQ(d(0), c.product);
            EXPECT_EQ(ccr(), c.ccr | xIn);
        }
    }
    // MULU D0,D0 squares the low word.
    d(0) = 0xABCD0100;
    EXPECT_EQ(run({0xC0C0}), 38u + 2);
    EXPECT_EQ(d(0), 0x00010000u);
}

TEST_F(MultiplyDivide, QuotientsRemaindersAndOverflow) {
    constexpr uint16_t divu = 0x80C1, divs = 0x81C1; // D0 / D1
    struct Case {
        uint16_t op;
        uint32_t dividend, divisor, result, ccr;
    } cases[] = {
        {divu, 7, 2, 0x00010003, 0},
        {divu, 5, 7, 0x00050000, ccZ},
        {divu, 0x0000FFFF, 1, 0x0000FFFF, ccN},
        {divu, 0x00010000, 1, 0x00010000, ccV}, // overflow: D0 as it was
        {divu, 0xFFFFFFFF, 0xFFFF, 0xFFFFFFFF, ccV},
        {divu, 0xFFFEFFFF, 0x1FFFF, 0xFFFEFFFF, ccN}, // the low word of D1 only
        {divs, uint32_t(-7), 2, 0xFFFFFFFD, ccN},
        {divs, 7, 0xFFFE, 0x0001FFFD, ccN},
        {divs, 32768, 1, 32768, ccV},
        {divs, uint32_t(-32768), 1, 0x00008000, ccN},
        {divs, 0x80000000, 0xFFFF, 0x80000000, ccV}, // -2^31 / -1
        {divs, 0x80000000, 1, 0x80000000, ccV},
        {divs, uint32_t(-1), 0x7FFF, 0xFFFF0000, ccZ}, // remainder -1, quotient 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << std::hex << c.op << " " << c.dividend << " / " << c.divisor);
        for (uint32_t xIn : {0u, ccX}) {
            d(0) = c.dividend;
            d(1) = c.divisor;
            EXPECT_EQ(run({c.op}, xIn | ccN | ccZ | ccC), c.op == divu ? 133u : 150u);
            EXPECT_EQ(d(0), c.result);
            EXPECT_EQ(ccr(), c.ccr | xIn);
        }
    }
}

TEST_F(MultiplyDivide, ZeroDivisorTrapsAfterTheSourceWithFlagsUnchanged) {
    for (uint16_t op : {uint16_t(0x80D8), uint16_t(0x81D8)}) { // DIVU, DIVS (A0)+,D0
        a(0) = 0x2000;
        m.write16(0x2000, 0);
        d(0) = 0x12345678;
        a(7) = stackTop;
        EXPECT_EQ(run({op}, 0x1A), 42u);
        EXPECT_EQ(a(0), 0x2002u);
        EXPECT_EQ(d(0), 0x12345678u);
        EXPECT_EQ(cpuState.pc, handlerAt);
        EXPECT_EQ(m.read32(stackTop - 4), codeStart + 2); // the next instruction
        EXPECT_EQ(m.read16(stackTop - 6), 0x271A);
        EXPECT_EQ(ccr(), 0x1Au);
    }
}

} // namespace
