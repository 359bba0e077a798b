#include "kalvo/song_source.h"
#include "kalvo/tests/tag_builder.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

using namespace kalvo::test;

Bytes counting(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 7 + i / 256);
    return b;
}

TEST(SongSource, StreamRunsFromTheTagsEndToAnId3v1Trailer) {
    Bytes audio = counting(300000);
    Bytes v1 = bytesOf("TAG") + Bytes(125, 'x');
    Bytes head = tag(textFrame("TIT2", "x"), 50);
    std::string path = writeTemp(head + audio + v1, "stream.tqz");
    SongSource s;
    ASSERT_TRUE(s.open(path));
    EXPECT_EQ(s.audioStart(), int64_t(head.size()));
    EXPECT_EQ(s.byteSize(), int32_t(audio.size()));
    EXPECT_EQ(s.canSeek(), 1);

    Bytes got(audio.size() + 100);
    uint32_t n = 0, total = 0;
    while (!s.atEnd()) {
        s.read(got.data() + total, 4096, &n);
        ASSERT_GT(n, 0u);
        total += n;
    }
    EXPECT_EQ(total, audio.size());
    got.resize(total);
    EXPECT_EQ(got, audio);
    s.read(got.data(), 10, &n);
    EXPECT_EQ(n, 0u);

    // 10 s at 128 kbit/s is 160,000 bytes into the stream.
    s.seek(10000, 128);
    EXPECT_EQ(s.position(), s.audioStart() + 160000);
    EXPECT_FALSE(s.atEnd());
    uint8_t b[4];
    s.read(b, 4, &n);
    EXPECT_EQ(Bytes(b, b + 4), Bytes(audio.begin() + 160000, audio.begin() + 160004));
    // Rounded, lowered to a multiple of 8; never past the end; no rate is 0.
    s.seek(1001, 112); // 14014 -> 14008
    EXPECT_EQ(s.position() - s.audioStart(), 14008);
    s.seek(2000000, 320);
    EXPECT_TRUE(s.atEnd());
    s.seek(5000, 0);
    EXPECT_EQ(s.position(), s.audioStart());
    s.close();
    EXPECT_TRUE(s.atEnd());
    s.read(b, 4, &n);
    EXPECT_EQ(n, 0u);
}

TEST(SongSource, AudioStartOfFileHeads) {
    struct Case {
        Bytes head;
        int64_t start;
    } cases[] = {
        {tagHeader(1000), 1010},
        {tagHeader(1000, 4, 0x10), 1020}, // a v2.4 footer
        {tagHeader(1000, 4), 1010},
        {Bytes{0xFF, 0xFB, 0x90, 0x64, 0, 0, 0, 0, 0, 0}, 0},
        {Bytes{'I', 'D', '3', 3, 0, 0, 0x80, 0, 0, 0}, 0}, // not synch-safe
        {bytesOf("ID3"), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(audioStartOf(c.head.data(), c.head.size()), c.start);
}

TEST(SongSource, MissingAndTinyFiles) {
    SongSource s;
    EXPECT_FALSE(s.open(testing::TempDir() + "no-such-file.tqz"));
    EXPECT_TRUE(s.atEnd());
    std::string path = writeTemp(tagHeader(5000), "tiny.tqz"); // the tag claims past the end
    ASSERT_TRUE(s.open(path));
    EXPECT_EQ(s.byteSize(), 0);
    EXPECT_TRUE(s.atEnd());
}

} // namespace
} // namespace kalvo
