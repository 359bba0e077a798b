// The private run-time generator and the two-word step, on vectors worked
// out by hand (the shift of a negative word is where a logical shift would
// go wrong).
#include "zavudev/random.h"

#include <gtest/gtest.h>

namespace zavudev {
namespace {

TEST(CrtRandom, NeverSeededSequence) {
    CrtRandom crt;
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724}) EXPECT_EQ(crt.next(), expected);
}

TEST(StepRandom, HandWorkedVectors) {
    struct Case {
        uint32_t a, b, newA, newB;
    } cases[] = {
        {0, 1, 0x80000000u, 0xC0000001u},
        {0, 0, 0, 0}, // a fixed point
        // A negative and B odd: the carry into A.
        {0xFFFFFFFFu, 1, 0x80000000u, 0xC0000001u},
        // B negative: B's arithmetic shift fills with ones, and the new A
        // being odd carries into B.
        {0, 0xFFFFFFFEu, 0xFFFFFFFFu, 0x7FFFFFFEu},
        // The new A negative: its shift into B fills with ones.
        {5, 3, 0x80000006u, 0xC0000006u},
    };
    for (const Case& c : cases) {
        RandomWords w{int32_t(c.a), int32_t(c.b)};
        stepRandom(w);
        EXPECT_EQ(uint32_t(w.a), c.newA) << std::hex << c.a << " " << c.b;
        EXPECT_EQ(uint32_t(w.b), c.newB) << std::hex << c.a << " " << c.b;
    }
}

TEST(StepRandom, SeedingFromTheRunTime) {
    CrtRandom crt;
    RandomWords first = seedWords(crt);
    EXPECT_EQ(uint32_t(first.a), 41u + 0x01234567u);
    EXPECT_EQ(uint32_t(first.b), 0x89AC1612u); // 18467 - 0x76543211, wrapped
    // The next start goes on with the sequence.
    RandomWords second = seedWords(crt);
    EXPECT_EQ(uint32_t(second.a), 6334u + 0x01234567u);
    EXPECT_EQ(uint32_t(second.b), 26500u - 0x76543211u);
}

} // namespace
} // namespace zavudev
