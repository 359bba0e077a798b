// Songs through the song source, the real decoder and the decode passes, to a
// recording host: the demo song and files made from it with junk, garbage,
// cuts and corruption.
#include "kalvo/decoder_factory.h"
#include "kalvo/equalizer_hook.h"
#include "kalvo/player.h"
#include "kalvo/tests/file_bytes.h"
#include "kalvo/tests/fake_host.h"
#include "kalvo/tests/tag_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>

namespace kalvo {
namespace {

using namespace kalvo::test;

struct Song {
    Bytes tag, audio;
};

Song demo() {
    Bytes all = readFileBytes(KALVO_DEMO_SONG);
    size_t start = size_t(audioStartOf(all.data(), all.size()));
    return {Bytes(all.begin(), all.begin() + start), Bytes(all.begin() + start, all.end())};
}

// Bytes without a 0xFF, so that no frame sync can hide in them.
Bytes junk(size_t n, uint32_t seed) {
    Bytes b(n);
    for (auto& x : b) x = uint8_t((seed = seed * 1103515245 + 12345) >> 16 & 0x7F);
    return b;
}

class SongPlayingTest : public testing::Test {
protected:
    void SetUp() override { connectFake(&host); }
    void TearDown() override { connectFake(nullptr); }

    // Plays the file to its end (or until stopped); returns startPlayback's result.
    int play(const Bytes& file, const char* name, int seekAtPass = -1, int seekMs = 0) {
        path = writeTemp(file, name);
        if (!source.open(path)) return -1;
        decoder = createDecoder(Settings(), &source, &equalizer);
        player.prepare();
        int r = player.start(&fakeModule, decoder.get(), &source, post, nullptr);
        if (r != 0) return r;
        for (int pass = 0; pass < 200000; ++pass) {
            if (pass == seekAtPass) player.requestSeek(seekMs);
            if (player.pass() == Player::Pass::ended || player.stopRequested()) break;
        }
        player.finish();
        return r;
    }

    FakeHost host;
    EqualizerSettings equalizer;
    SongSource source;
    std::unique_ptr<FrameDecoder> decoder;
    Player player;
    std::string path;
};

TEST_F(SongPlayingTest, TheDemoSongPlaysWholeAndLikeTheDecoderAlone) {
    Song s = demo();
    ASSERT_FALSE(s.audio.empty()) << "no demo song at " << KALVO_DEMO_SONG;
    ASSERT_EQ(play(s.tag + s.audio, "demo.tqz"), 0);
    EXPECT_EQ(host.endMarkers, 1);
    EXPECT_EQ(host.posts, 1);
    EXPECT_EQ(host.streamInfo.front(), (std::array<int, 4>{112, 44, 2, 1}));
    EXPECT_EQ(host.streamInfo.size(), 1u);

    // The same bytes through the bare decoder.
    SongSource alone;
    ASSERT_TRUE(alone.open(path));
    auto d = createDecoder(Settings(), &alone, nullptr);
    Bytes expected;
    uint8_t pcm[4608];
    for (;;) {
        uint32_t n = 0;
        uint32_t status = d->decodeFrame(pcm, sizeof pcm, &n);
        if (sscUsable(status))
            expected.insert(expected.end(), pcm, pcm + n);
        else if (d->atEnd())
            break;
    }
    EXPECT_EQ(host.written, expected);
    EXPECT_EQ(player.playClockMs(), int(int64_t(expected.size() / 4) * 1000 / 44100));
}

TEST_F(SongPlayingTest, AFirstFrameBehindJunkIsFound) {
    Song s = demo();
    ASSERT_EQ(play(s.tag + s.audio, "plain.tqz"), 0);
    Bytes plain = host.written;
    host = FakeHost();
    ASSERT_EQ(play(s.tag + junk(10000, 1) + s.audio, "junk.tqz"), 0);
    EXPECT_EQ(host.written, plain);
}

TEST_F(SongPlayingTest, GarbageInTheMiddleIsReportedAndSurvived) {
    Song s = demo();
    Bytes garbage(200000);
    uint32_t seed = 7;
    for (auto& x : garbage) x = uint8_t((seed = seed * 1664525 + 1013904223) >> 24);
    Bytes audio(s.audio.begin(), s.audio.begin() + 40000);
    audio = audio + garbage + Bytes(s.audio.begin() + 40000, s.audio.end());
    ASSERT_EQ(play(s.tag + audio, "garbage.tqz"), 0);
    EXPECT_EQ(host.endMarkers, 1);
    auto lost = std::find(host.streamInfo.begin(), host.streamInfo.end(),
                          std::array<int, 4>{-1, -1, -1, 0});
    ASSERT_NE(lost, host.streamInfo.end());
    ASSERT_NE(lost + 1, host.streamInfo.end());
    EXPECT_EQ((*(lost + 1))[3], 1);
}

TEST_F(SongPlayingTest, AStopInsideGarbageComesAtOnce) {
    Song s = demo();
    Bytes garbage(3000000);
    uint32_t seed = 9;
    for (auto& x : garbage) x = uint8_t((seed = seed * 1664525 + 1013904223) >> 24);
    Bytes file = s.tag + Bytes(s.audio.begin(), s.audio.begin() + 20000) + garbage;
    // The host asks for the stop when the stream is first reported lost.
    host.onStreamLost = [&] { player.requestStop(); };
    ASSERT_EQ(play(file, "stop.tqz"), 0);
    EXPECT_TRUE(player.stopRequested());
    EXPECT_EQ(host.endMarkers, 0);
    // The decode loop left within a ring's fill or two of where the garbage began.
    EXPECT_LT(source.position(), int64_t(s.tag.size()) + 20000 + 64 * 1024);
}

TEST_F(SongPlayingTest, ASeekPositionsTheStreamAndTheClock) {
    Song s = demo();
    ASSERT_EQ(play(s.tag + s.audio, "seek.tqz", 3, 4000), 0);
    EXPECT_EQ(host.flushes, std::vector<int>{4000});
    EXPECT_EQ(host.endMarkers, 1);
    // 4 s at 112 kbit/s: 56,000 bytes in; about 4 s of song are left.
    size_t after = host.written.size() / 4 - 3 * 2 * 576;
    EXPECT_NEAR(double(after), 44100.0 * (double(s.audio.size() - 56000) / 14000), 2 * 1152);
}

TEST_F(SongPlayingTest, TheEqualizerReachesTheDecoder) {
    Song s = demo();
    auto peak = [](const Bytes& pcm) {
        int p = 0;
        for (size_t i = 0; i + 1 < pcm.size(); i += 2)
            p = std::max(p, std::abs(int(int16_t(uint16_t(pcm[i] | pcm[i + 1] << 8)))));
        return p;
    };
    char bands[10] = {31, 31, 31, 31, 31, 31, 31, 31, 31, 31};
    storeEqualizer(equalizer, 1, bands, 31); // flat: off
    ASSERT_EQ(play(s.tag + s.audio, "flat.tqz"), 0);
    Bytes flat = host.written;
    host = FakeHost();
    storeEqualizer(equalizer, 1, bands, 63); // the preamp at a quarter
    ASSERT_EQ(play(s.tag + s.audio, "quiet.tqz"), 0);
    EXPECT_NEAR(double(peak(host.written)) / peak(flat), 0.25, 0.02);
}

TEST_F(SongPlayingTest, FilesThatAreNotSongs) {
    Song s = demo();
    EXPECT_EQ(play(s.tag + junk(60000, 3), "notmpeg.tqz"), -1);
    EXPECT_TRUE(host.written.empty());
    EXPECT_EQ(play(Bytes(), "empty.tqz"), -1);
    EXPECT_EQ(play(s.tag, "tagonly.tqz"), -1);
    host = FakeHost();
    EXPECT_EQ(play(s.tag + Bytes(s.audio.begin(), s.audio.end() - 150), "cut.tqz"), 0);
    EXPECT_EQ(host.endMarkers, 1);
}

TEST_F(SongPlayingTest, CorruptedSongsEndCleanly) {
    Song s = demo();
    uint32_t seed = 12345;
    for (int round = 0; round < 24; ++round) {
        Bytes audio = s.audio;
        int flips = 1 + round * 8;
        for (int i = 0; i < flips; ++i) {
            seed = seed * 1103515245 + 12345;
            audio[(seed >> 8) % audio.size()] ^= uint8_t(1 << (seed % 8));
        }
        host = FakeHost();
        if (play(s.tag + audio, "corrupt.tqz") == 0) {
            EXPECT_EQ(host.endMarkers, 1) << round;
            EXPECT_EQ(host.posts, 1) << round;
            EXPECT_EQ(host.written.size() % 4, 0u) << round;
        }
    }
}

} // namespace
} // namespace kalvo
