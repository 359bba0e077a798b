#include "kalvo/mpeg/bit_reader.h"
#include "kalvo/mpeg/tests/frame_writer.h"
#include "kalvo/mpeg/tests/test_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace kalvo;
using namespace kalvo::test;

namespace {

std::vector<uint8_t> randomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = uint8_t(rng());
    return v;
}

uint32_t bitsAt(const std::vector<uint8_t>& data, size_t first, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i, ++first) v = v << 1 | ((data[first / 8] >> (7 - first % 8)) & 1);
    return v;
}

} // namespace

TEST(BitReader, RingSizeIsThePowerOfTwoAtOrAboveTheSizeAsked) {
    const std::pair<uint32_t, uint32_t> cases[] = {{1, 1},       {2000, 2048},  {2048, 2048},
                                                   {8192, 8192}, {8193, 16384}, {1u << 20, 65536}};
    for (auto [asked, bytes] : cases) {
        BitReader r;
        ASSERT_TRUE(r.init(asked));
        EXPECT_EQ(r.sizeBits(), bytes * 8) << asked;
        EXPECT_EQ(r.freeBytes(), bytes);
    }
}

// Reads of every width, across the ring's end many times over, with steps
// back and forth, give the bits in stream order.
TEST(BitReader, ReadsAndSkipsAcrossTheRingEnd) {
    std::vector<uint8_t> data = randomBytes(4000, 1);
    BitReader r;
    ASSERT_TRUE(r.init(64));
    std::mt19937 rng(2);
    size_t written = 0, pos = 0;
    while (pos + 64 < data.size() * 8) {
        written += r.write(data.data() + written,
                           uint32_t(std::min<size_t>(r.freeBytes(), data.size() - written)));
        while (r.bitsHeld() >= 48) {
            int n = int(rng() % 16) + 1;
            ASSERT_EQ(r.read(n), bitsAt(data, pos, n)) << "at bit " << pos;
            pos += size_t(n);
            // Never back past where the last write began to reuse the ring.
            int back = -int(rng() % uint32_t(n + 1));
            r.skip(back);
            pos -= size_t(-back);
            ASSERT_EQ(r.peek32(), bitsAt(data, pos, 32));
            ASSERT_EQ(r.read32(), bitsAt(data, pos, 32));
            pos += 32;
        }
        ASSERT_EQ(written * 8 - pos, r.bitsHeld());
    }
    // A forward skip stops at the end of what is held.
    r.skip(int32_t(r.bitsHeld()) + 100);
    EXPECT_EQ(r.bitsHeld(), 0u);
}

TEST(BitReader, CopiesWholeBytesFromAnyBitPosition) {
    std::vector<uint8_t> data = randomBytes(300, 3);
    for (int offset : {0, 3, 7}) {
        BitReader from, to;
        ASSERT_TRUE(from.init(256));
        ASSERT_TRUE(to.init(128));
        from.write(data.data(), 200);
        from.read(offset);
        // Only what fits and what the source holds moves.
        EXPECT_EQ(to.copyBytes(from, 150), 128u);
        for (int i = 0; i < 128; ++i)
            ASSERT_EQ(to.read(8), bitsAt(data, size_t(offset + 8 * i), 8));
        EXPECT_EQ(from.bitsHeld(), 200u * 8 - uint32_t(offset) - 128 * 8);
    }
}

TEST(BitReader, MakeRoomDropsTheOldestBytes) {
    std::vector<uint8_t> data = randomBytes(64, 4);
    BitReader r;
    ASSERT_TRUE(r.init(32));
    r.write(data.data(), 30);
    r.read(3);
    EXPECT_EQ(r.freeBytes(), 2u); // the partly read byte still counts
    r.makeRoom(10);
    EXPECT_EQ(r.freeBytes(), 10u);
    EXPECT_EQ(r.read(13), bitsAt(data, 3 + 8 * 8, 13));
}

TEST(BitReader, Crc16MatchesTheBitwiseDefinition) {
    std::vector<uint8_t> data = randomBytes(64, 5);
    for (int first : {0, 5, 16}) {
        for (uint32_t n : {0u, 1u, 8u, 13u, 16u, 136u, 256u, 270u}) {
            BitReader r;
            ASSERT_TRUE(r.init(128));
            r.write(data.data(), uint32_t(data.size()));
            r.read(first);
            EXPECT_EQ(r.crc16(n, 0xFFFF), referenceCrc(data.data(), size_t(first), n, 0xFFFF))
                << first << " " << n;
            EXPECT_EQ(r.bitsHeld(), data.size() * 8 - uint32_t(first) - n);
        }
    }
}

TEST(BitReader, FillReadsUntilFullOrShortAndNotesTheEnd) {
    std::vector<uint8_t> data = randomBytes(5000, 6);
    MemoryInput input(data, 700); // every read gives at most 700 bytes
    BitReader r;
    ASSERT_TRUE(r.init(2048));
    r.attach(&input);
    r.fill(); // a short read ends the fill
    EXPECT_EQ(r.bitsHeld(), 700u * 8);
    r.fill();
    r.fill(); // up to the ring's end: 648 bytes are not a short read, then the ring is full
    EXPECT_EQ(r.bitsHeld(), 2048u * 8);
    r.fill();
    EXPECT_EQ(r.bitsHeld(), 2048u * 8);
    for (size_t i = 0; i < data.size(); ++i) {
        if (r.bitsHeld() < 8) r.fill();
        ASSERT_EQ(r.read(8), data[i]) << i;
    }
    r.fill();
    EXPECT_TRUE(r.inputEnded());
    EXPECT_EQ(r.bitsHeld(), 0u);
}
