// The playback shell with a tone player and a stand-in host: call order,
// blocks, seeking, the sample processor, the end of a song and stopping.
#include "fake_host.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/playback.h"
#include "pelmit/settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <functional>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace pelmit;
using test::fakeHost;

namespace {

// Plays a square wave for a number of 125-BPM ticks, named "tone:TICKS" (or
// "mute:TICKS" for a player whose ticks after the end render nothing and
// which never reports its end by itself).
class TonePlayer : public FormatPlayer {
public:
    int loadSong(const char* path) override {
        std::string p = path;
        if (p.rfind("tone:", 0) == 0)
            mute = false;
        else if (p.rfind("mute:", 0) == 0)
            mute = true;
        else
            return 0;
        ticks = std::stoi(p.substr(5));
        set = mixer.allocateVoices(1);
        for (int i = 0; i < 64; ++i) wave[i] = int8_t(i < 32 ? 100 : -100);
        SampleDescriptor d{wave, sizeof wave, 0, sizeof wave, 0, 0, 0};
        mixer.loadSample(set, &d);
        // Length: every tick from the start in skip mode.
        begin();
        mixer.beginSkip();
        while (!songFinished() && played < ticks) audioEngine.runTick();
        lengthMs = mixer.endSkip();
        TickTimer* t = mixer.getTickTimer();
        t->stop();
        t->release();
        mixer.resetVoices(set);
        return 1;
    }
    void startSong() override { begin(); }
    void stopSong() override { mixer.getTickTimer()->stop(); }
    void releaseSong() override {
        if (set) mixer.releaseVoices(set);
        set = nullptr;
    }
    int songFinished() override { return !mute && played >= ticks; }
    void songTitle(char* buffer, size_t size) override { std::snprintf(buffer, size, "tone"); }
    int songLengthMs() override { return lengthMs; }
    int seekToMs(int target) override {
        begin();
        mixer.beginSkip();
        while (!songFinished() && mixer.elapsedMs() < target && played < ticks)
            audioEngine.runTick();
        int reached = mixer.endSkip();
        mixer.resetOutput();
        return reached;
    }

    static FormatPlayer* create() { return new TonePlayer; }
    static int identify(std::FILE*, const char* path) {
        return std::strncmp(path, "tone:", 5) == 0 || std::strncmp(path, "mute:", 5) == 0;
    }

private:
    void begin() {
        played = 0;
        TickTimer* t = mixer.getTickTimer();
        mixer.resetOutput();
        t->setBpm(125);
        t->setCallback(tick, this);
        t->start();
    }
    static void tick(void* self) { static_cast<TonePlayer*>(self)->onTick(); }
    void onTick() {
        if (played >= ticks) return; // after the end nothing is rendered
        if (played == 0) {
            VoiceCommand c{};
            c.flags = cmdTrigger | cmdVolume | cmdPeriod;
            c.volume = 255;
            c.period = 428u << 16;
            mixer.sendVoiceCommand(set, &c);
        }
        ++played;
        mixer.renderVoices(set);
    }

    VoiceSet* set = nullptr;
    int8_t wave[64];
    int ticks = 0, played = 0, lengthMs = 0;
    bool mute = false;
};

// A tone of several subsongs that notes which thread chose one.
class SubsongTonePlayer final : public TonePlayer, public SubsongSelection {
public:
    int subsongCount() const override { return 3; }
    int currentSubsongIndex() const override { return current; }
    void selectSubsong(int index) override {
        current = index;
        chosenOn = std::this_thread::get_id();
    }
    const char* subFormatName() const override { return "tone"; }

    static FormatPlayer* create() { return new SubsongTonePlayer; }
    static int identify(std::FILE*, const char* path) {
        return std::strncmp(path, "subs:", 5) == 0;
    }
    int loadSong(const char* path) override {
        return identify(nullptr, path) &&
               TonePlayer::loadSong(("tone" + std::string(path + 4)).c_str());
    }

    int current = 1;
    std::thread::id chosenOn;
};

const FormatEntry toneFormats[] = {
    {FormatKind::Emulated, SubsongTonePlayer::create, SubsongTonePlayer::identify, nullptr},
    {FormatKind::Mod, TonePlayer::create, TonePlayer::identify, nullptr},
};

// claimsFile and describeFile open the file, so the tests name real ones.
class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeHost.reset();
        bindPlayback(fakeHost.module());
        setFormats(toneFormats);
        settings.SampleRate = 44100;
        ASSERT_TRUE(mixer.connect());
        setMixerReady(true);
    }
    void TearDown() override {
        stopPlayback();
        mixer.disconnect();
    }
    static bool waitFor(const std::function<bool()>& done, int ms = 5000) {
        for (int i = 0; i < ms; ++i) {
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
};

} // namespace

TEST_F(PlaybackTest, PlaysToTheEndInTheHostsOrder) {
    ASSERT_EQ(startPlayback("tone:100"), playbackStarted);
    EXPECT_EQ(queryLengthMs(), 2000); // 100 ticks of 882 frames
    ASSERT_TRUE(waitFor([] { return fakeHost.endOfStream > 0; }));
    ASSERT_TRUE(waitFor([] { return playback.threadDone.load() == 1; }));
    EXPECT_EQ(fakeHost.endOfStream, 1);
    // 88,200 frames in blocks of 576, the last one padded with silence.
    EXPECT_EQ(fakeHost.bytesWritten, (88200 + 575) / 576 * 2304);
    for (int size : fakeHost.writeSizes) EXPECT_EQ(size, 2304);
    std::vector<std::string> head(fakeHost.calls.begin(), fakeHost.calls.begin() + 7);
    EXPECT_EQ(head, (std::vector<std::string>{"openStream", "reportStreamInfo", "visFeedOpen",
                                              "visFeedFormat", "setPaused(0)", "outputVolume",
                                              "flushTo"}));
    EXPECT_EQ(fakeHost.streamInfo, (std::vector<std::vector<int>>{{40000, 44, 2, 1}}));
    stopPlayback();
    EXPECT_EQ(fakeHost.count("closeStream"), 1);
    EXPECT_EQ(fakeHost.count("visFeedClose"), 1);
    EXPECT_EQ(queryLengthMs(), lengthUnknownMs);
}

TEST_F(PlaybackTest, SeekLandsOnTheTickAtOrAfterTheTarget) {
    fakeHost.capacity = 2304; // one block at a time keeps the song going
    ASSERT_EQ(startPlayback("tone:1000"), playbackStarted);
    requestSeekMs(10000);
    EXPECT_EQ(queryPositionMs(), 10000); // the target until the thread serves it
    ASSERT_TRUE(waitFor([] { return fakeHost.count("flushTo") == 2; }));
    int reached = fakeHost.flushes.back();
    EXPECT_GE(reached, 10000);
    EXPECT_LT(reached, 10000 + 20); // within one tick
}

TEST_F(PlaybackTest, SeeksBeforeTheStartGoToTheStart) {
    for (int target : {-1, -2, -30000, INT_MIN}) {
        fakeHost.reset();
        fakeHost.capacity = 2304;
        ASSERT_EQ(startPlayback("tone:1000"), playbackStarted);
        // The paused output keeps the song from playing out before the seeks.
        pausePlayback();
        requestSeekMs(5000);
        ASSERT_TRUE(waitFor([] { return fakeHost.count("flushTo") == 2; }));
        requestSeekMs(target);
        ASSERT_TRUE(waitFor([] { return fakeHost.count("flushTo") == 3; })) << target;
        EXPECT_EQ(fakeHost.flushes.back(), 0) << target;
        stopPlayback();
    }
}

TEST_F(PlaybackTest, SampleProcessorDoublesTheRoomAndIsBounded) {
    struct Case {
        int dspFrames, bytesPerWrite;
    } cases[] = {{1152, 4608}, {576, 2304}, {5000, 4608}, {-3, 0}};
    for (const Case& c : cases) {
        fakeHost.reset();
        fakeHost.dspActive = true;
        fakeHost.dspResultFrames = c.dspFrames;
        fakeHost.capacity = 4607; // one byte short of a doubled block: nothing is written
        ASSERT_EQ(startPlayback("tone:50"), playbackStarted);
        ASSERT_TRUE(waitFor([] { return fakeHost.writableAsked > 3; }));
        EXPECT_EQ(fakeHost.writeSizes.size(), 0u);
        {
            std::lock_guard<std::mutex> g(fakeHost.lock);
            fakeHost.capacity = 4608;
        }
        ASSERT_TRUE(waitFor([] { return fakeHost.endOfStream > 0; }));
        stopPlayback();
        ASSERT_FALSE(fakeHost.writeSizes.empty());
        for (int size : fakeHost.writeSizes) EXPECT_EQ(size, c.bytesPerWrite) << c.dspFrames;
        EXPECT_EQ(fakeHost.dspCalls, int(fakeHost.writeSizes.size()));
    }
}

TEST_F(PlaybackTest, PlayerThatRendersNothingAfterItsEndStillEnds) {
    ASSERT_EQ(startPlayback("mute:20"), playbackStarted);
    ASSERT_TRUE(waitFor([] { return fakeHost.endOfStream > 0; }));
    EXPECT_EQ(fakeHost.bytesWritten, (20 * 882 + 575) / 576 * 2304);
}

TEST_F(PlaybackTest, StopWhilePlayingOrPausedReturnsAndRepeatsCleanly) {
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(startPlayback("tone:100000"), playbackStarted);
        if (i % 2) pausePlayback();
        if (i % 3 == 0) requestSeekMs(i * 100);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        auto t0 = std::chrono::steady_clock::now();
        stopPlayback();
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
        EXPECT_FALSE(playback.decodeThread.joinable());
        EXPECT_EQ(playback.currentPlayer, nullptr);
    }
    EXPECT_EQ(mixer.voicesInUse(), 0u);
}

TEST_F(PlaybackTest, RefusedFilesAndFailedOutput) {
    EXPECT_EQ(startPlayback("nothing"), playbackNotPlayable);
    EXPECT_TRUE(fakeHost.calls.empty());
    fakeHost.openFails = true;
    EXPECT_EQ(startPlayback("tone:10"), playbackOutputFailed);
    EXPECT_NE(playback.currentPlayer, nullptr); // kept until stopPlayback
    stopPlayback();
    fakeHost.openFails = false;
    setMixerReady(false);
    EXPECT_EQ(startPlayback("tone:10"), playbackOutputFailed);
}

TEST_F(PlaybackTest, DescribesTheCurrentSongOrAFileOnDisk) {
    char title[titleBufferSize] = "untouched";
    int length = 0;
    describeFile("/nonexistent", title, &length);
    EXPECT_STREQ(title, "untouched");
    EXPECT_EQ(length, lengthUnknownMs);
    ASSERT_EQ(startPlayback("tone:50"), playbackStarted);
    describeFile("", title, &length);
    EXPECT_STREQ(title, "tone");
    EXPECT_EQ(length, 1000);
    describeFile(nullptr, nullptr, &length);
    EXPECT_EQ(length, 1000);
}

TEST_F(PlaybackTest, SubsongIsChosenOnTheDecodeThread) {
    // Playing: the thread that ticks the player chooses, and the call waits for it.
    fakeHost.capacity = 2304;
    ASSERT_EQ(startPlayback("subs:100000"), playbackStarted);
    auto* player = dynamic_cast<SubsongTonePlayer*>(playback.currentPlayer);
    ASSERT_NE(player, nullptr);
    std::thread::id decodeThread = playback.decodeThread.get_id();
    EXPECT_TRUE(selectSubsong(2));
    EXPECT_EQ(player->current, 2);
    EXPECT_EQ(player->chosenOn, decodeThread);
    stopPlayback();
    // Played out: nothing runs the player any more, so the choice is made at once.
    ASSERT_EQ(startPlayback("subs:5"), playbackStarted);
    ASSERT_TRUE(waitFor([] { return playback.threadDone.load() == 1; }));
    player = dynamic_cast<SubsongTonePlayer*>(playback.currentPlayer);
    EXPECT_TRUE(selectSubsong(3));
    EXPECT_EQ(player->chosenOn, std::this_thread::get_id());
    stopPlayback();
    // A song without subsongs offers none.
    ASSERT_EQ(startPlayback("tone:100"), playbackStarted);
    EXPECT_EQ(subsongsOf(playback.currentPlayer), nullptr);
    EXPECT_FALSE(selectSubsong(1));
}
