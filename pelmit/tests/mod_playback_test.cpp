// The playback shell with the real format table and generated MOD modules:
// a song plays to its measured length with one end message, the channel
// count reaches the stream information, and a hundred starts and stops
// leave nothing behind.
#include "fake_host.h"
#include "pelmit/formats/tests/mod_writer.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/playback.h"
#include "pelmit/settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

using namespace pelmit;
using pelmit::test::fakeHost;
using pelmit::test::ModWriter;

namespace {

class ModPlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeHost.reset();
        bindPlayback(fakeHost.module());
        setFormats(builtInFormats());
        settings.SampleRate = 44100;
        ASSERT_TRUE(mixer.connect());
        setMixerReady(true);
    }
    void TearDown() override {
        stopPlayback();
        EXPECT_EQ(mixer.voicesInUse(), 0u);
        mixer.disconnect();
        for (const std::string& f : files) std::filesystem::remove(f);
    }
    std::string write(int channels, const std::string& tag, int patterns) {
        ModWriter w(channels, tag);
        w.samples.push_back({});
        w.samples[0].data = test::waveCycle(64, 0);
        w.samples[0].loopLength = 32;
        w.order.clear();
        for (int p = 0; p < patterns; ++p) {
            w.order.push_back(uint8_t(p));
            for (int r = 0; r < 64; r += 4) w.note(p, r, r / 4 % channels, test::periodOf(36), 1);
        }
        const std::string path =
            ::testing::TempDir() + "pelmit-playback-" + std::to_string(files.size()) + ".mod";
        w.save(path);
        files.push_back(path);
        return path;
    }
    static bool waitFor(const std::function<bool()>& done, int ms = 10000) {
        for (int i = 0; i < ms; ++i) {
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    std::vector<std::string> files;
};

} // namespace

TEST_F(ModPlaybackTest, SongPlaysToItsMeasuredLength) {
    const std::string path = write(8, "8CHN", 2);
    EXPECT_EQ(claimsFile(path.c_str()), 8);
    ASSERT_EQ(startPlayback(path.c_str()), playbackStarted);
    EXPECT_EQ(queryLengthMs(), 15360);
    EXPECT_EQ(fakeHost.streamInfo, (std::vector<std::vector<int>>{{80000, 44, 2, 1}}));
    ASSERT_TRUE(waitFor([] { return fakeHost.endOfStream > 0; }));
    ASSERT_TRUE(waitFor([] { return playback.threadDone.load() == 1; }));
    EXPECT_EQ(fakeHost.endOfStream, 1);
    EXPECT_EQ(fakeHost.bytesWritten, (15360 * 441 / 10 + 575) / 576 * 2304);
    char title[titleBufferSize];
    int length = 0;
    describeFile(path.c_str(), title, &length);
    EXPECT_EQ(length, 15360);
    EXPECT_STREQ(title, ("pelmit-playback-0"));
}

TEST_F(ModPlaybackTest, HundredStartsAndStopsLeaveNothingBehind) {
    const std::string path = write(4, "M.K.", 4);
    fakeHost.capacity = 4 * 2304;
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(startPlayback(path.c_str()), playbackStarted);
        if (i % 3 == 0) requestSeekMs(i * 300);
        if (i % 2) pausePlayback();
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        const auto t0 = std::chrono::steady_clock::now();
        stopPlayback();
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
        EXPECT_EQ(mixer.voicesInUse(), 0u);
    }
    for (uint32_t slot = 0; slot < mixerSlotCount; ++slot)
        EXPECT_EQ(mixer.slotState(slot).start, nullptr) << slot;
}
