#include "kalvo/decoder_factory.h"
#include "kalvo/equalizer_hook.h"
#include "kalvo/player.h"
#include "kalvo/song_source.h"
#include "kalvo/tests/fake_host.h"
#include "kalvo/tests/tag_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
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
Bytes mpegFrame(const Bytes& body = {}, uint32_t word = frameWord, size_t bytes = frameBytes) {
    Bytes f(bytes, 0);
    put32(f, word, 0);
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
        EXPECT_EQ(s.streamLengthMs(), c.lengthMs);
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

// 32 and 320 kbit/s frames of the same format: a stream whose rate jumps tenfold.
constexpr uint32_t lowWord = 0xFFFB1000, highWord = 0xFFFBE000;
constexpr size_t lowBytes = 104, highBytes = 1044;
const double frameMs = 1152 * 1000.0 / 44100;

// Quiet then loud: 40 frames at 32 kbit/s, then 40 at 320 kbit/s.
struct SteppedAudio {
    std::vector<size_t> sizes;
    Bytes bytes;

    SteppedAudio() : sizes(40, lowBytes) {
        sizes.resize(80, highBytes);
        for (size_t n : sizes) bytes = bytes + mpegFrame({}, n == lowBytes ? lowWord : highWord, n);
    }
    int32_t lengthMs() const { return int32_t(double(sizes.size()) * frameMs); }
    // The frame that holds byte `at` of the audio.
    int frameAt(int64_t at) const {
        size_t i = 0;
        for (int64_t end = int64_t(sizes[0]); end <= at && i + 1 < sizes.size();)
            end += int64_t(sizes[++i]);
        return int(i);
    }
};

// Seeks across the stream land within `frames` frames of their time.
void expectSeeksLand(SongSource& s, const SteppedAudio& audio, int64_t skip, int frames) {
    for (int32_t ms : {0, 300, 520, 1000, 1045, 1500, 2000}) {
        s.seek(ms, 128);
        EXPECT_NEAR(audio.frameAt(s.position() - s.audioStart() - skip), int(ms / frameMs), frames)
            << ms << " ms";
    }
}

struct VbriTable {
    uint16_t entrySize, scale, framesPerEntry;
};

// A VBRI header frame for audio made of frames of the given sizes, with its
// table of contents as an encoder writes it: each run's bytes over the scale.
Bytes vbriFrame(const std::vector<size_t>& sizes, VbriTable t) {
    size_t runs = (sizes.size() + t.framesPerEntry - 1) / t.framesPerEntry;
    Bytes b = bytesOf("VBRI") + Bytes{0, 1, 0, 0, 0, 75};
    size_t total = highBytes;
    for (size_t n : sizes) total += n;
    put32(b, uint32_t(total));
    put32(b, uint32_t(sizes.size()));
    for (uint16_t v : {uint16_t(runs), t.scale, t.entrySize, t.framesPerEntry})
        b.push_back(uint8_t(v >> 8)), b.push_back(uint8_t(v));
    for (size_t r = 0; r < runs; ++r) {
        size_t bytes = 0;
        for (size_t i = r * t.framesPerEntry; i < (r + 1) * t.framesPerEntry && i < sizes.size();
             ++i)
            bytes += sizes[i];
        uint32_t v = uint32_t(bytes / t.scale);
        for (int i = t.entrySize - 1; i >= 0; --i) b.push_back(uint8_t(v >> (8 * i)));
    }
    return mpegFrame(b, highWord, highBytes);
}

TEST(VbrHeader, AVbriStreamSeeksByItsTable) {
    const SteppedAudio audio;
    const Bytes head = tag(textFrame("TIT2", "x"));
    for (VbriTable t :
         {VbriTable{2, 1, 2}, VbriTable{1, 8, 1}, VbriTable{3, 1, 3}, VbriTable{4, 1, 7}}) {
        SCOPED_TRACE(testing::Message() << "entry size " << t.entrySize << ", scale " << t.scale
                                        << ", frames per entry " << t.framesPerEntry);
        SongSource s;
        ASSERT_TRUE(s.open(writeTemp(head + vbriFrame(audio.sizes, t) + audio.bytes, "vbri.tqz")));
        ASSERT_EQ(s.audioStart(), int64_t(head.size() + highBytes));
        EXPECT_EQ(s.streamLengthMs(), audio.lengthMs());
        // Within a run of frames the table cannot tell where the rate changes.
        expectSeeksLand(s, audio, 0, std::max(1, int(t.framesPerEntry)));
    }
    // A table that adds up to far less than the stream holds is no guide: the
    // seek goes by the average rate instead.
    Bytes lying = vbriFrame(std::vector<size_t>(80, lowBytes / 2), VbriTable{2, 1, 2});
    put32(lying, uint32_t(highBytes + audio.bytes.size()), 36 + 10);
    SongSource s;
    ASSERT_TRUE(s.open(writeTemp(head + lying + audio.bytes, "lying.tqz")));
    s.seek(int32_t(40 * frameMs), 128);
    EXPECT_NEAR(double(s.position() - s.audioStart()), double(audio.bytes.size()) / 2, 50);
}

TEST(VbrHeader, AStreamWithoutOneIsTimedByItsFrames) {
    // Junk before the first frame, a cut-off frame at the end: neither is audio.
    const SteppedAudio audio;
    Bytes cut = mpegFrame({}, highWord, highBytes);
    cut.resize(highBytes / 2);
    const Bytes head = tag(textFrame("TIT2", "x")) + Bytes(37, 0x12);
    std::string path = writeTemp(head + audio.bytes + cut, "frames.tqz");
    SongSource s;
    ASSERT_TRUE(s.open(path));
    EXPECT_EQ(s.streamLengthMs(), audio.lengthMs());
    s.seek(0, 128);
    EXPECT_EQ(s.position(), s.audioStart() + 37);
    expectSeeksLand(s, audio, 37, 1);

    // Played through: the length is the true one from the first pass on,
    // whatever the frames so far average.
    FakeHost host;
    connectFake(&host);
    EqualizerSettings eq;
    ASSERT_TRUE(s.open(path));
    auto decoder = createDecoder(Settings(), &s, &eq);
    Player player;
    player.prepare();
    ASSERT_EQ(player.start(&fakeModule, decoder.get(), &s, nullptr, nullptr), playbackStarted);
    for (int pass = 0; pass < 1000 && player.pass() != Player::Pass::ended; ++pass)
        ASSERT_EQ(player.lengthMs(), audio.lengthMs()) << "pass " << pass;
    EXPECT_EQ(host.written.size(), audio.sizes.size() * 1152 * 4);
    player.finish();
    connectFake(nullptr);
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
