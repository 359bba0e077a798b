#include "pelmit/formats/structure_reader.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace pelmit;

namespace {

// A read-only stream over some bytes.
struct Stream {
    jk::test::ByteStream f;
    explicit Stream(const std::vector<uint8_t>& bytes) : f(bytes) {}
};

std::vector<uint8_t> counting(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = uint8_t(i + 1);
    return v;
}

} // namespace

TEST(StructureReader, ByteOrderReaders) {
    Stream s({0x12, 0x34, 0x12, 0x34, 1, 2, 3, 4, 1, 2, 3, 4});
    EXPECT_EQ(readBe16(s.f), 0x1234);
    EXPECT_EQ(readLe16(s.f), 0x3412);
    EXPECT_EQ(readBe32(s.f), 0x01020304u);
    EXPECT_EQ(readLe32(s.f), 0x04030201u);
}

TEST(StructureReader, RecordsArePackedInHostOrder) {
#pragma pack(push, 1)
    struct Sample {
        char name[22];
        uint16_t length;
        uint8_t finetune, volume;
        uint16_t loopStart, loopLength;
    };
#pragma pack(pop)
    static_assert(sizeof(Sample) == 30);
    const int32_t d[] = {FieldByte, 22, FieldBe16, FieldByte, FieldByte, FieldBe16, FieldBe16, 0};
    std::vector<uint8_t> bytes(22, 'x');
    bytes.insert(bytes.end(), {0x12, 0x34, 0x05, 0x40, 0x00, 0x10, 0x00, 0x01, 0xAA});
    Stream s(bytes);
    Sample r{};
    ASSERT_EQ(readRecord(r, d, s.f), 1);
    EXPECT_EQ(std::memcmp(r.name, std::string(22, 'x').data(), 22), 0);
    EXPECT_EQ(r.length, 0x1234);
    EXPECT_EQ(r.finetune, 5);
    EXPECT_EQ(r.volume, 64);
    EXPECT_EQ(r.loopStart, 0x10);
    EXPECT_EQ(r.loopLength, 1);
    EXPECT_EQ(std::fgetc(s.f), 0xAA); // left right after the record
}

TEST(StructureReader, CountsAndCodes) {
    struct Case {
        std::vector<int32_t> descriptor;
        size_t bytes; // read and stored
    } cases[] = {
        {{0}, 0},
        {{FieldByte, 0}, 1},
        // The second FieldByte is a code, not a count: it is not below 65520.
        {{FieldByte, FieldByte, FieldByte, 128, FieldBe32, 0}, 134},
        {{FieldLe32, 2, FieldLe16, 0}, 10},
    };
    for (const Case& c : cases) {
        Stream s(counting(200));
        std::vector<uint8_t> out(200, 0xEE);
        EXPECT_EQ(readRecord(out.data(), out.size(), c.descriptor.data(), s.f), 1);
        EXPECT_EQ(size_t(std::ftell(s.f)), c.bytes);
        EXPECT_EQ(out[c.bytes], 0xEE) << c.bytes;
    }
}

TEST(StructureReader, ShortStreamStoresTheLastElementAndFails) {
    const int32_t d[] = {FieldByte, FieldBe16, 0};
    Stream s({0x07, 0x12});
    uint8_t out[3] = {0, 0xEE, 0xEE};
    EXPECT_EQ(readRecord(out, sizeof out, d, s.f), 0);
    EXPECT_EQ(out[0], 7);
    EXPECT_NE(out[1], 0xEE); // stored, though no caller uses it
}

TEST(StructureReader, MalformedDescriptorsAndSmallDestinationsAreRefused) {
    const int32_t unknown[] = {FieldByte, 0xFFF1, 0};
    const int32_t tooLong[] = {FieldBe32, 2, 0};
    Stream s(counting(16));
    uint8_t out[4];
    EXPECT_EQ(readRecord(out, sizeof out, unknown, s.f), 0);
    EXPECT_EQ(readRecord(out, sizeof out, tooLong, s.f), 0);
}
