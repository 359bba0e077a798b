// An emulated song in the playback shell with its decode thread: a subsong
// chosen and a seek requested from the host's thread while the song plays
// are served by the decode thread and heard in the PCM that reaches the host.
#include "fake_host.h"
#include "pelmit/formats/emulated_player.h"
#include "pelmit/formats/tests/emulated_fixtures.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/mixer/tests/mixer_rig.h"
#include "pelmit/playback.h"
#include "pelmit/settings.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

using namespace pelmit;
using pelmit::test::fakeHost;

namespace {

constexpr uint32_t rate = 44100;

bool waitFor(const std::function<bool()>& done, int ms = 20000) {
    for (int i = 0; i < ms; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

class EmulatedPlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeHost.reset();
        bindPlayback(fakeHost.module());
        setFormats(builtInFormats());
        settings.SampleRate = int(rate);
        ASSERT_TRUE(mixer.connect());
        setMixerReady(true);
        path = ::testing::TempDir() + "pelmit-emulated-playback.cust";
        const test::Bytes bytes = test::emulatedFile("dt_cia");
        jk::test::writeFile(path, bytes);
    }
    void TearDown() override {
        stopPlayback();
        EXPECT_EQ(mixer.voicesInUse(), 0u);
        mixer.disconnect();
        std::filesystem::remove(path);
    }

    // The paused output takes blocks until it is full; emptying it lets the
    // decode thread write that much again.
    static bool full() {
        std::lock_guard<std::mutex> g(fakeHost.lock);
        return fakeHost.capacity - fakeHost.buffered < 2304;
    }
    static void pump(int times) {
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(waitFor(full));
            std::lock_guard<std::mutex> g(fakeHost.lock);
            fakeHost.buffered = 0;
        }
        ASSERT_TRUE(waitFor(full));
    }
    static size_t pcmSize() {
        std::lock_guard<std::mutex> g(fakeHost.lock);
        return fakeHost.pcm.size();
    }
    // Pitch of the left channel over the frames from..to.
    static double hz(size_t fromFrame, size_t toFrame) {
        std::lock_guard<std::mutex> g(fakeHost.lock);
        std::vector<int16_t> left;
        for (size_t f = fromFrame; f < toFrame && 2 * f < fakeHost.pcm.size(); ++f)
            left.push_back(fakeHost.pcm[2 * f]);
        return test::zeroCrossingFrequency(left, rate);
    }

    std::string path;
};

TEST_F(EmulatedPlaybackTest, SubsongAndSeekWhilePlayingAreServedByTheDecodeThread) {
    ASSERT_GT(claimsFile(path.c_str()), 0);
    {
        std::lock_guard<std::mutex> g(fakeHost.lock);
        fakeHost.keepPcm = true;
    }
    ASSERT_EQ(startPlayback(path.c_str()), playbackStarted);
    pausePlayback();
    auto* player = static_cast<EmulatedPlayer*>(playback.players[int(FormatKind::Emulated)]);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->subsongCount(), 3);
    pump(2);

    // Subsong 3 of 0-2: period 285 from the choice on, 428 before. The shell
    // hands the choice to the decode thread and waits until it has made it.
    const size_t chosenAt = pcmSize() / 2;
    ASSERT_TRUE(selectSubsong(3));
    EXPECT_EQ(player->currentSubsongIndex(), 3);
    EXPECT_EQ(player->currentSubsongNumber(), 2);
    pump(4);
    const double before = hz(chosenAt - rate / 4, chosenAt);
    const double after = hz(chosenAt, pcmSize() / 2);
    EXPECT_NEAR(before, 3546894.6 / 428 / 32, 1.0);
    EXPECT_NEAR(after, 3546894.6 / 285 / 32, 1.5);

    // A seek replays the chosen subsong up to the first tick at or past 30 s.
    const size_t seekAt = pcmSize() / 2;
    requestSeekMs(30000);
    ASSERT_TRUE(waitFor([] {
        std::lock_guard<std::mutex> g(fakeHost.lock);
        return !fakeHost.flushes.empty() && fakeHost.flushes.back() != 0;
    }));
    ASSERT_TRUE(waitFor([] { return playback.pendingSeekMs.load() == noPendingSeek; }));
    pump(2);
    {
        std::lock_guard<std::mutex> g(fakeHost.lock);
        EXPECT_GE(fakeHost.flushes.back(), 30000);
        EXPECT_LT(fakeHost.flushes.back(), 30010);
    }
    EXPECT_EQ(player->currentSubsongNumber(), 2);
    EXPECT_NEAR(hz(seekAt + 2 * 576, pcmSize() / 2), 3546894.6 / 285 / 32, 1.5);
    EXPECT_EQ(queryLengthMs(), 600000);
}

} // namespace
