#include "kalvo/player.h"
#include "kalvo/song_source.h"
#include "kalvo/tests/fake_host.h"
#include "kalvo/tests/tag_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace kalvo {
namespace {

using namespace kalvo::test;

// MPEG-1 Layer III, 128 kbit/s, 44,100 Hz, stereo: 417-byte frames of 1,152 samples.
constexpr uint32_t frameWord = 0xFFFB9000;
constexpr size_t frameBytes = 417;
constexpr uint32_t audioFrames = 100;
constexpr int32_t songMs = audioFrames * 1152 * 1000 / 44100; // 2,612

void put32(Bytes& b, uint32_t v, size_t at) {
    for (size_t i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
}

Bytes& put32(Bytes& b, uint32_t v) {
    b.resize(b.size() + 4);
    put32(b, v, b.size() - 4);
    return b;
}

// A frame with the header word first and `body` after the side information.
Bytes mpegFrame(const Bytes& body = {}) {
    Bytes f(frameBytes, 0);
    put32(f, frameWord, 0);
    for (size_t i = 0; i < body.size() && 36 + i < f.size(); ++i) f[36 + i] = body[i];
    return f;
}

Bytes xing(uint32_t flags, uint32_t frames, uint32_t bytes, const Bytes& toc) {
    Bytes b = bytesOf("Xing");
    put32(b, flags);
    if (flags & 1) put32(b, frames);
    if (flags & 2) put32(b, bytes);
    if (flags & 4) b.insert(b.end(), toc.begin(), toc.end());
    return mpegFrame(b);
}

// A header of id whose fields after b are two counts.
Bytes withCounts(const char* id, Bytes b, uint32_t first, uint32_t second) {
    put32(b, first);
    put32(b, second);
    return mpegFrame(bytesOf(id) + b);
}

Bytes evenToc() {
    Bytes toc(100);
    for (int i = 0; i < 100; ++i) toc[size_t(i)] = uint8_t(i * 256 / 100);
    return toc;
}

Bytes audio(uint32_t frames) {
    Bytes a;
    for (uint32_t i = 0; i < frames; ++i) a = a + mpegFrame();
    return a;
}

constexpr uint32_t streamBytes = (audioFrames + 1) * frameBytes;

TEST(VbrHeader, GivesTheLengthAndTheSeekOffsetsOrStandsAside) {
    Bytes backwards = evenToc();
    backwards[50] = 10;
    const Bytes vbri = withCounts("VBRI", Bytes{0, 1, 0, 0, 0, 50}, streamBytes, audioFrames);
    // VBRI: bytes, then frames; Info with flags 3: frames, then bytes.
    const Bytes info = withCounts("Info", Bytes{0, 0, 0, 3}, audioFrames, streamBytes);
    struct Case {
        const char* name;
        Bytes first;       // the header frame, or an audio frame
        uint32_t frames;   // audio frames after it
        int32_t lengthMs;  // -1: no believable header
        int64_t skipped;   // bytes left out at the start
        int64_t halfwayAt; // where a seek to half the length lands
    };
    const int64_t byRate = frameBytes + (streamBytes - frameBytes) / 2;
    const Case cases[] = {
        {"table", xing(7, audioFrames, streamBytes, evenToc()), audioFrames, songMs, frameBytes,
         128 * streamBytes / 256},
        {"no table", xing(3, audioFrames, streamBytes, {}), audioFrames, songMs, frameBytes,
         byRate},
        {"a table going back", xing(7, audioFrames, streamBytes, backwards), audioFrames, songMs,
         frameBytes, byRate},
        {"no byte count", xing(5, audioFrames, 0, evenToc()), audioFrames, songMs, frameBytes,
         128 * streamBytes / 256},
        {"Info", info, audioFrames, songMs, frameBytes, byRate},
        {"VBRI", vbri, audioFrames, songMs, frameBytes, byRate},
        // Cut to half of what the header says: half the length.
        {"cut off", xing(3, 2 * audioFrames, 2 * streamBytes, {}), audioFrames, songMs, frameBytes,
         byRate},
        {"no frames", xing(7, 0, streamBytes, evenToc()), audioFrames, -1, frameBytes, -1},
        {"four billion frames", xing(7, 0xFFFFFFFF, streamBytes, evenToc()), audioFrames, -1,
         frameBytes, -1},
        {"a tenth of the frames", xing(7, audioFrames / 10, streamBytes, evenToc()), audioFrames,
         -1, frameBytes, -1},
        {"no header", mpegFrame(), audioFrames, -1, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes head = tag(textFrame("TIT2", "x"));
        std::string path = writeTemp(head + c.first + audio(c.frames), "vbr.tqz");
        SongSource s;
        ASSERT_TRUE(s.open(path));
        EXPECT_EQ(s.headerLengthMs(), c.lengthMs);
        EXPECT_EQ(s.audioStart(), int64_t(head.size()) + c.skipped);
        s.seek(songMs / 2, 128);
        if (c.halfwayAt >= 0)
            EXPECT_EQ(s.position(), int64_t(head.size()) + c.halfwayAt);
        else // the running average's rule, from the audio on
            EXPECT_EQ(s.position(), s.audioStart() + (songMs / 2 * 16 & ~7));
        s.seek(-1000, 128);
        EXPECT_EQ(s.position(), s.audioStart());
        s.seek(songMs * 10, 128);
        EXPECT_TRUE(s.atEnd());
    }
}

// A decoder that gives out frames whatever the stream holds.
class EndlessDecoder : public FrameDecoder {
public:
    uint32_t decodeFrame(uint8_t*, uint32_t, uint32_t* bytesOut) override {
        *bytesOut = Player::pcmBufferBytes;
        return 0;
    }
    FrameFormat format() const override { return FrameFormat{128000, 44100, 2, 16}; }
    void reset() override {}
    bool atEnd() const override { return false; }
    void skipBit() override {}
};

TEST(VbrHeader, ThePositionStaysWithinTheHeadersLength) {
    FakeHost host;
    connectFake(&host);
    std::string path =
        writeTemp(xing(7, audioFrames, streamBytes, evenToc()) + audio(audioFrames), "long.tqz");
    SongSource source;
    ASSERT_TRUE(source.open(path));
    EndlessDecoder decoder;
    Player player;
    player.prepare();
    ASSERT_EQ(player.start(&fakeModule, &decoder, &source, nullptr, nullptr), playbackStarted);
    EXPECT_EQ(player.lengthMs(), songMs);
    for (uint32_t i = 0; i < 2 * audioFrames; ++i) player.pass();
    EXPECT_GT(player.playClockMs(), songMs);
    EXPECT_EQ(player.positionMs(), songMs);
    player.finish();
    connectFake(nullptr);
}

} // namespace
} // namespace kalvo
