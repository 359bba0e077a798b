#include "kalvo/player.h"
#include "kalvo/tests/fake_host.h"
#include "kalvo/tests/tag_builder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kalvo {
namespace {

using namespace kalvo::test;

constexpr uint32_t syncEof = 0x81010004;

struct Frame {
    uint32_t status = 0;
    uint32_t bytes = 4608;
    int channels = 2;
    int bitRate = 128000;
};

// Hands out a scripted list of results; then the end of the stream.
class FakeDecoder : public FrameDecoder {
public:
    std::deque<Frame> script;
    FrameFormat last{128000, 44100, 2, 16};
    int resets = 0, skips = 0, calls = 0;
    uint8_t fill = 0;
    bool ended = false;
    std::function<void()> onCall;

    uint32_t decodeFrame(uint8_t* buffer, uint32_t room, uint32_t* bytesOut) override {
        ++calls;
        if (onCall) onCall();
        *bytesOut = 0;
        if (script.empty()) {
            ended = true;
            return syncEof;
        }
        Frame f = script.front();
        script.pop_front();
        if (!sscUsable(f.status)) return f.status;
        EXPECT_LE(f.bytes, room);
        for (uint32_t i = 0; i < f.bytes; ++i) buffer[i] = uint8_t(fill + i / 4);
        ++fill;
        last.bitRate = f.bitRate;
        last.outputChannels = f.channels;
        *bytesOut = f.bytes;
        return f.status;
    }
    FrameFormat format() const override { return last; }
    void reset() override { ++resets; }
    bool atEnd() const override { return ended; }
    void skipBit() override { ++skips; }
};

class PlayerTest : public testing::Test {
protected:
    void SetUp() override { connectFake(&host); }
    void TearDown() override { connectFake(nullptr); }

    int start() {
        player.prepare();
        return player.start(&fakeModule, &decoder, &source, post, nullptr);
    }
    // Runs passes until the thread would end (or a bound is reached).
    int runToEnd(int bound = 100000) {
        int passes = 0;
        while (passes < bound && player.pass() != Player::Pass::ended) ++passes;
        return passes;
    }

    FakeHost host;
    FakeDecoder decoder;
    SongSource source;
    Player player;
};

TEST_F(PlayerTest, PlaysASongInTheHostsOrderToOneEndMarker) {
    decoder.script.assign(10, Frame{});
    ASSERT_EQ(start(), playbackStarted);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"openStream 44100 2 16 -1 -1",
                                                    "reportStreamInfo", "visFeedOpen 77 44100",
                                                    "visFeedFormat 44100 2", "outputVolume -666"}));
    EXPECT_EQ(host.streamInfo[0], (std::array<int, 4>{128, 44, 2, 1}));
    EXPECT_EQ(player.blockBytes(), 4608);
    host.calls.clear();
    runToEnd();
    // Ten frames, each in two pieces of 576 stereo samples, then the marker;
    // the message only once the output has played out.
    EXPECT_EQ(host.pieces, 20);
    EXPECT_EQ(host.written.size(), 10u * 4608);
    EXPECT_EQ(host.endMarkers, 1);
    EXPECT_EQ(host.posts, 1);
    EXPECT_EQ(host.stillPlayingCountdown, 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"end", "post"}));
    EXPECT_EQ(host.streamInfo.size(), 1u); // a steady bit rate is reported once
    for (int k = 0; k < 20; ++k) EXPECT_EQ(host.visStamps[k], k * 576 * 1000 / 44100) << k;
    EXPECT_EQ(player.playClockMs(), 11520 * 1000 / 44100);
    player.finish();
    EXPECT_EQ(host.calls.back(), "visFeedClose");
    EXPECT_EQ(player.lengthMs(), -1); // no song any more
    EXPECT_EQ(player.positionMs(), 0);
}

TEST_F(PlayerTest, TheClockDoesNotDriftAt44100) {
    decoder.script.assign(5000, Frame{});
    ASSERT_EQ(start(), playbackStarted);
    runToEnd();
    // 10,000 pieces of 576 samples: 130,612 ms, not 10,000 x 13.
    EXPECT_EQ(host.visStamps.size(), 10000u);
    EXPECT_EQ(player.playClockMs(), 130612);
    EXPECT_EQ(host.visStamps.back(), int(int64_t(9999) * 576 * 1000 / 44100));
}

TEST_F(PlayerTest, WaitsForABlockOfRoomAndTwoWithTheSampleProcessor) {
    decoder.script.assign(3, Frame{});
    ASSERT_EQ(start(), playbackStarted);
    host.writable = 4607;
    EXPECT_EQ(player.pass(), Player::Pass::idle);
    host.writable = 4608;
    EXPECT_EQ(player.pass(), Player::Pass::wrote);
    host.dsp = true;
    host.writable = 2 * 4608 - 1;
    EXPECT_EQ(player.pass(), Player::Pass::idle);
    EXPECT_EQ(decoder.calls, 1); // only the first frame, decoded by start
    host.writable = 2 * 4608;
    EXPECT_EQ(player.pass(), Player::Pass::wrote);
    EXPECT_EQ(decoder.calls, 2);
}

TEST_F(PlayerTest, ASeekFlushesResetsAndRestartsTheClock) {
    Bytes audio(400000, 0x55);
    std::string path = test::writeTemp(test::tag(test::textFrame("TIT2", "x")) + audio, "s.tqz");
    ASSERT_TRUE(source.open(path));
    decoder.script.assign(20, Frame{});
    ASSERT_EQ(start(), playbackStarted);
    for (int i = 0; i < 3; ++i) player.pass();
    player.requestSeek(10000);
    EXPECT_EQ(player.pass(), Player::Pass::wrote);
    EXPECT_EQ(host.flushes, std::vector<int>{10000});
    EXPECT_EQ(decoder.resets, 1);
    // The stream was positioned before the frame after the seek was decoded.
    EXPECT_EQ(source.position(), source.audioStart() + 160000);
    EXPECT_EQ(player.playClockMs(), 10000 + 1152 * 1000 / 44100);
    host.writtenMs = 10026;
    host.playedMs = 10003;
    EXPECT_EQ(player.positionMs(), 10000 + 26 - 10026 + 10003);
    EXPECT_EQ(player.lengthMs(), 400000 * 8 / 128);
}

TEST_F(PlayerTest, SeekTargetsAreClampedToTheSong) {
    // 400,000 bytes at 128 kbit/s: a 25-second song.
    Bytes audio(400000, 0x55);
    std::string path = test::writeTemp(test::tag(test::textFrame("TIT2", "x")) + audio, "c.tqz");
    ASSERT_TRUE(source.open(path));
    decoder.script.assign(20, Frame{});
    ASSERT_EQ(start(), playbackStarted);
    struct Case {
        int32_t request, served;
        int64_t offset;
    };
    for (Case c : {Case{-5000, 0, 0}, Case{999999, 25000, 400000}, Case{INT32_MIN, 0, 0},
                   Case{25000, 25000, 400000}, Case{10000, 10000, 160000}, Case{-1, 0, 0},
                   Case{10000, 10000, 160000}, Case{-2, 0, 0}}) {
        host.flushes.clear();
        player.requestSeek(c.request);
        player.pass();
        EXPECT_EQ(host.flushes, std::vector<int>{c.served}) << c.request;
        EXPECT_EQ(source.position(), source.audioStart() + c.offset) << c.request;
        EXPECT_GE(player.playClockMs(), c.served) << c.request;
    }
}

TEST_F(PlayerTest, StopAndSeekAreServedInsideALongSearch) {
    decoder.script.assign(1, Frame{});
    for (int i = 0; i < 100000; ++i) decoder.script.push_back(Frame{sscSyncSearched});
    ASSERT_EQ(start(), playbackStarted);
    EXPECT_EQ(player.pass(), Player::Pass::wrote); // the first frame
    decoder.onCall = [&] {
        if (decoder.calls == 50) player.requestSeek(500);
    };
    EXPECT_EQ(player.pass(), Player::Pass::idle);
    EXPECT_EQ(decoder.calls, 50);
    decoder.onCall = [&] {
        if (decoder.calls == 120) player.requestStop();
    };
    player.pass();
    EXPECT_EQ(decoder.calls, 120);
    EXPECT_TRUE(player.stopRequested());
}

TEST_F(PlayerTest, TheFirstFrameMayComeLate) {
    struct Case {
        std::vector<uint32_t> before;
        int result;
    } cases[] = {
        {{sscSyncSearched, sscSyncSearched, sscSyncNeedData, sscSyncLost}, 0},
        {{sscWrongLayer}, -1},
        {{0xC1010001}, -1},
    };
    for (const Case& c : cases) {
        FakeDecoder d;
        for (uint32_t s : c.before) d.script.push_back(Frame{s});
        d.script.push_back(Frame{});
        player.prepare();
        EXPECT_EQ(player.start(&fakeModule, &d, &source, post, nullptr), c.result);
    }
    FakeDecoder none; // garbage to the end
    none.script.assign(5, Frame{sscSyncSearched});
    player.prepare();
    EXPECT_EQ(player.start(&fakeModule, &none, &source, post, nullptr), playbackNotPlayable);
    EXPECT_EQ(none.calls, 6);
}

TEST_F(PlayerTest, AFailingOutputGivesOneAndOpensNothingElse) {
    decoder.script.assign(1, Frame{});
    host.openResult = -1;
    EXPECT_EQ(start(), playbackOutputFailed);
    EXPECT_EQ(host.calls.size(), 1u);
    player.finish(); // nothing to close
    EXPECT_EQ(host.calls.size(), 1u);
}

TEST_F(PlayerTest, ErrorsAreReportedOncePerRunAndRecoveryAfter) {
    decoder.script = {Frame{}, Frame{sscSyncLost},       Frame{sscSyncSearched},
                      Frame{}, Frame{sscWrongLayer},     Frame{sscSyncNeedData},
                      Frame{}, Frame{0, 4608, 2, 320000}};
    ASSERT_EQ(start(), playbackStarted);
    runToEnd();
    EXPECT_EQ(decoder.skips, 1);
    using Info = std::array<int, 4>;
    EXPECT_EQ(host.streamInfo, (std::vector<Info>{{128, 44, 2, 1},
                                                  {-1, -1, -1, 0},
                                                  {-1, -1, -1, 1},
                                                  {-1, -1, -1, 0},
                                                  {-1, -1, -1, 1},
                                                  {176, 44, 2, 1}})); // (2 + 128 x 3 + 320) / 4
}

TEST_F(PlayerTest, LaterFramesKeepTheFirstFramesChannels) {
    decoder.last.outputChannels = 1;
    decoder.script = {Frame{0, 2304, 1}, Frame{0, 4608, 2}, Frame{0, 2304, 1}};
    ASSERT_EQ(start(), playbackStarted);
    runToEnd();
    EXPECT_EQ(host.written.size(), 3u * 2304);
    EXPECT_EQ(host.pieces, 6); // 576 mono samples each
}

TEST(FitChannels, DownmixesAndDuplicates) {
    uint8_t s16[8] = {0x10, 0x00, 0x30, 0x00, 0x00, 0x80, 0xFF, 0x7F}; // (16,48) (-32768,32767)
    EXPECT_EQ(fitChannels(s16, 8, 2, 1, 16, 8), 4u);
    EXPECT_EQ(int16_t(s16[0] | s16[1] << 8), 32);
    EXPECT_EQ(int16_t(s16[2] | s16[3] << 8), -1);
    uint8_t m16[8] = {0x01, 0x02, 0xFE, 0xFF};
    EXPECT_EQ(fitChannels(m16, 4, 1, 2, 16, 8), 8u);
    EXPECT_EQ(Bytes(m16, m16 + 8), (Bytes{0x01, 0x02, 0x01, 0x02, 0xFE, 0xFF, 0xFE, 0xFF}));
    uint8_t s8[4] = {0, 255, 128, 130};
    EXPECT_EQ(fitChannels(s8, 4, 2, 1, 8, 4), 2u);
    EXPECT_EQ(s8[0], 127);
    EXPECT_EQ(s8[1], 129);
    uint8_t m8[4] = {5, 6, 0, 0};
    EXPECT_EQ(fitChannels(m8, 2, 1, 2, 8, 3), 2u); // room for one stereo frame only
    EXPECT_EQ(m8[0], 5);
    EXPECT_EQ(m8[1], 5);
    EXPECT_EQ(fitChannels(m8, 2, 1, 1, 8, 4), 2u);
}

} // namespace
} // namespace kalvo
