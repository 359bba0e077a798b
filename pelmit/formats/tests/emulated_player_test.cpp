// The emulated formats played through the Mixer: each test tune's tone and
// volume from the PCM, subsongs, seeking, the end after ten minutes, the
// DeliTracker Custom set-up, and tunes whose code misbehaves.
#include "emulated_fixtures.h"
#include "player_session.h"
#include "pelmit/amiga/amiga_machine.h"
#include "pelmit/formats/emulated_player.h"
#include "pelmit/formats/player_controls.h"
#include "pelmit/mixer/tests/mixer_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace pelmit {
namespace {

using test::emulatedFile;

constexpr uint32_t rate = 44100;
constexpr double palHalfClock = 3546894.6;
constexpr int waveBytes = 32;
// Period, volume and later volume of the fixtures' subsong indices 0-2.
constexpr int tonePeriods[] = {428, 214, 285};
constexpr int toneVolumes[][2] = {{64, 32}, {48, 24}, {32, 16}};
constexpr uint32_t supportBlock = 0x1088;

double toneHz(int index) {
    return palHalfClock / tonePeriods[index] / waveBytes;
}

class EmulatedPlayerTest : public test::PlayerSession<EmulatedPlayer> {
protected:
    bool loadFixture(const std::string& name) { return load(emulatedFile(name)); }

    // PCM as the decode thread reads it, ticking whenever the Mixer runs short.
    std::vector<int16_t> render(uint32_t ms) {
        std::vector<int16_t> pcm;
        int16_t block[576 * 2];
        while (pcm.size() < size_t(ms) * rate / 1000 * 2) {
            while (!mixer.readBlock(block, 576)) audioEngine.runTick();
            pcm.insert(pcm.end(), std::begin(block), std::end(block));
        }
        return pcm;
    }

    struct Tone {
        double hz;
        int peak;
    };
    static Tone measure(const std::vector<int16_t>& pcm, uint32_t fromMs, uint32_t toMs) {
        std::vector<int16_t> left;
        for (size_t f = size_t(fromMs) * rate / 1000; f < size_t(toMs) * rate / 1000; ++f)
            left.push_back(pcm[2 * f]);
        int peak = 0;
        for (int16_t s : left) peak = std::max(peak, std::abs(int(s)));
        return {test::zeroCrossingFrequency(left, rate), peak};
    }

    // The tone of subsong index `index` from `fromMs`, with its volume falling
    // to the later level after 50 ticks.
    void expectTone(const std::vector<int16_t>& pcm, int index, uint32_t fromMs, uint32_t tickHz,
                    const std::string& what) {
        const uint32_t changeMs = fromMs + 50 * 1000 / tickHz;
        const Tone early = measure(pcm, fromMs + 100, changeMs - 40);
        const Tone late = measure(pcm, changeMs + 40, changeMs + 400);
        EXPECT_NEAR(early.hz, toneHz(index), toneHz(index) * 0.005) << what;
        EXPECT_NEAR(late.hz, toneHz(index), toneHz(index) * 0.005) << what;
        ASSERT_GT(early.peak, 1000) << what;
        const double expected =
            double(toneVolumes[index][1] * 255 / 64) / double(toneVolumes[index][0] * 255 / 64);
        EXPECT_NEAR(double(late.peak) / early.peak, expected, 0.02) << what;
    }

    uint32_t deliTrackerTag(uint32_t tag) {
        AmigaMachine& m = *player->amiga();
        uint32_t value = 0;
        EXPECT_TRUE(m.findTag(m.peekLong(tuneAddress + 4 + 12), value, tag));
        return value;
    }
};

TEST_F(EmulatedPlayerTest, EachFixtureLoadsWithItsFormatAndSubsongs) {
    struct Case {
        const char* name;
        const char* formatName;
        int count, index, number;
    };
    const Case cases[] = {
        {"hippel", "Jochen Hippel", 2, 1, 1},
        {"hippel_coso", "Jochen Hippel", 255, 1, 1},
        {"hippel_none", "Jochen Hippel", 1, 1, 1}, // a count of 0 still gives one
        {"mon", "M.O.N.", 3, 1, 1},
        {"dm2", "Delta Music 2.0", 1, 1, 0},
        {"sidmon1", "SidMon 1", 1, 1, 0},
        {"dt_cia", "DeliTracker Custom", 3, 1, 0},
        {"dt_interrupt", "DeliTracker Custom", 2, 1, 1},
        {"dt_walk", "DeliTracker Custom", 3, 2, 2},
        // NextSong wraps round: the walk stops at its bound and keeps 1-2.
        {"dt_wrap", "DeliTracker Custom", 2, 2, 2},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(load(emulatedFile(c.name))) << c.name;
        EXPECT_STREQ(player->subFormatName(), c.formatName) << c.name;
        EXPECT_EQ(player->subsongCount(), c.count) << c.name;
        EXPECT_EQ(player->currentSubsongIndex(), c.index) << c.name;
        EXPECT_EQ(player->currentSubsongNumber(), c.number) << c.name;
        EXPECT_EQ(player->songLengthMs(), 600000);
        EXPECT_EQ(player->channelCount(), 4);
    }
}

TEST_F(EmulatedPlayerTest, EachFixturePlaysTheToneItsRoutineProgrammes) {
    for (const test::EmulatedFixture& f : test::emulatedFixtures) {
        ASSERT_TRUE(loadFixture(f.name)) << f.name;
        EXPECT_EQ(player->format(), f.format) << f.name;
        EXPECT_EQ(player->subsongCount(), f.subsongCount) << f.name;
        EXPECT_EQ(player->currentSubsongIndex(), f.currentIndex) << f.name;
        player->startSong();
        // The cia player asks for 100 ticks a second; the others tick at 50.
        const uint32_t tickHz = std::string(f.name) == "dt_cia" ? 100 : 50;
        const int toneIndex = std::string(f.name) == "dt_walk" ? 1 : 0;
        expectTone(render(1600), toneIndex, 0, tickHz, f.name);
        player->stopSong();
        player->releaseSong();
    }
}

TEST_F(EmulatedPlayerTest, ChosenSubsongStartsFromItsBeginning) {
    const std::tuple<const char*, int, int, int> cases[] = {
        // fixture, index chosen, subsong number, tone index
        {"dt_cia", 3, 2, 2}, // first subsong 0
        {"hippel", 2, 2, 1},
        {"mon", 3, 3, 2},
        {"dt_walk", 1, 1, 0},
    };
    for (auto [name, index, number, tone] : cases) {
        ASSERT_TRUE(loadFixture(name));
        player->startSong();
        render(300);
        player->selectSubsong(index);
        EXPECT_EQ(player->currentSubsongNumber(), number) << name;
        EXPECT_EQ(player->currentSubsongIndex(), index) << name;
        const uint32_t tickHz = std::string(name) == "dt_cia" ? 100 : 50;
        expectTone(render(1600), tone, 0, tickHz, name);
        // The elapsed time goes on from before the choice.
        EXPECT_GE(mixer.elapsedMs(), 1900);
    }
}

TEST_F(EmulatedPlayerTest, SubsongChosenBeforeTheStartIsTheOneStarted) {
    ASSERT_TRUE(loadFixture("hippel"));
    player->selectSubsong(2);
    player->startSong();
    EXPECT_EQ(player->currentSubsongNumber(), 2);
    expectTone(render(1600), 1, 0, 50, "hippel");
}

TEST_F(EmulatedPlayerTest, SeekReplaysToTheFirstTickAtOrPastTheTarget) {
    for (auto [name, tickMs] : {std::pair{"dm2", 20.0}, std::pair{"dt_cia", 10.0}}) {
        ASSERT_TRUE(loadFixture(name));
        player->startSong();
        render(200);
        const int reached = player->seekToMs(30000);
        EXPECT_GE(reached, 30000) << name;
        EXPECT_LT(reached, 30000 + tickMs) << name;
        EXPECT_EQ(mixer.queuedFrames(), 0u);
        // Past its first 50 ticks, the tune plays at its later volume.
        const Tone after = measure(render(400), 100, 400);
        EXPECT_NEAR(after.hz, toneHz(0), toneHz(0) * 0.005) << name;
        EXPECT_GE(mixer.elapsedMs(), 30400);
        player->stopSong();
    }
}

TEST_F(EmulatedPlayerTest, SongEndsAfterTenMinutesWithShortTicks) {
    // 100 ticks a second: ticks of 440 frames, shorter than a block.
    ASSERT_TRUE(loadFixture("dt_cia"));
    player->startSong();
    EXPECT_EQ(audioEngine.tickLength(), 440u);
    mixer.beginSkip();
    while (!player->songFinished() && mixer.elapsedMs() < 700000) audioEngine.runTick();
    const int ended = mixer.endSkip();
    EXPECT_GE(ended, 600000);
    EXPECT_LT(ended, 600010);
    EXPECT_EQ(player->songFinished(), 1);
    // Ticks after the end add nothing, and the decode thread plays out what is left.
    const uint32_t frames = mixer.frameCount();
    audioEngine.runTick();
    EXPECT_EQ(mixer.frameCount(), frames);
}

TEST_F(EmulatedPlayerTest, DeliTrackerSetUp) {
    ASSERT_TRUE(loadFixture("dt_cia"));
    // DeliBase: the support block's address where the player asked for it.
    EXPECT_EQ(player->amiga()->peekLong(deliTrackerTag(0x80004473)), supportBlock);
    player->startSong();
    // StartInt handed its routine over through the CIA-B resource.
    EXPECT_EQ(player->playRoutineAddress(), player->amiga()->reportedRoutineOf());
    EXPECT_NE(player->playRoutineAddress(), 0u);
    EXPECT_FALSE(player->ticksByInterrupt());

    ASSERT_TRUE(loadFixture("dt_interrupt"));
    player->startSong();
    EXPECT_TRUE(player->ticksByInterrupt());
    EXPECT_NE(player->amiga()->peekLong(levelSixVectorAddress), 0u);

    ASSERT_TRUE(loadFixture("dt_walk"));
    player->startSong();
    EXPECT_EQ(player->playRoutineAddress(), deliTrackerTag(0x8000445E));
    EXPECT_FALSE(player->ticksByInterrupt());
}

TEST_F(EmulatedPlayerTest, SidMonPlaysWithRtsInPlaceOfItsJump) {
    const test::Bytes file = emulatedFile("sidmon1");
    // The JMP abs.L after the play routine's final MOVEM.L (A7)+.
    size_t jump = 0;
    for (size_t i = 2; i + 4 < file.size(); i += 2)
        if (file[i] == 0x4C && file[i + 1] == 0xDF && file[i + 4] == 0x4E && file[i + 5] == 0xF9)
            jump = i + 4;
    ASSERT_NE(jump, 0u);
    ASSERT_TRUE(loadFixture("sidmon1"));
    EXPECT_EQ(player->amiga()->peekWord(tuneAddress + uint32_t(jump)), 0x4E75u);
    EXPECT_EQ(jk::test::readFile((folder / "song").string()), file);
}

// A DeliTracker Custom player written by hand: "DELIRIUM", the tag list
// (relocated), then code.
test::Bytes deliTrackerPlayer(const std::vector<std::pair<uint32_t, uint32_t>>& tags,
                              const std::vector<uint16_t>& code) {
    test::Bytes bytes = {0x70, 0xFF, 0x4E, 0x75, 'D', 'E', 'L', 'I', 'R', 'I', 'U', 'M'};
    test::appendLong(bytes, 16);
    std::vector<uint32_t> relocations = {12};
    const uint32_t codeAt = 16 + 8 * uint32_t(tags.size() + 1);
    for (auto [id, value] : tags) {
        test::appendLong(bytes, id);
        // Values below 0x100 stand for offsets into the code.
        if (value < 0x100) relocations.push_back(uint32_t(bytes.size()));
        test::appendLong(bytes, value < 0x100 ? codeAt + value : value);
    }
    test::appendLong(bytes, 0);
    test::appendLong(bytes, 0);
    for (uint16_t w : code) {
        bytes.push_back(uint8_t(w >> 8));
        bytes.push_back(uint8_t(w));
    }
    return test::hunkFile(bytes, relocations);
}

TEST_F(EmulatedPlayerTest, MisbehavingCodeIsBounded) {
    // Init and play routines that never return (BRA.S to themselves): every
    // call stops at its cycle budget and the song goes on.
    test::Bytes runaway = emulatedFile("dm2");
    runaway[0] = 0x60;
    runaway[1] = 0xFE;
    ASSERT_TRUE(load(runaway));
    player->startSong();
    mixer.beginSkip();
    for (int i = 0; i < 3; ++i) audioEngine.runTick();
    EXPECT_EQ(mixer.endSkip(), 60);

    // A start routine only, which reports nothing and installs nothing: the
    // ticks run no tune code and the song still ends after ten minutes.
    ASSERT_TRUE(load(deliTrackerPlayer({{0x80004455, 0x200}, {0x80004467, 0}}, {0x4E75})));
    player->startSong();
    EXPECT_EQ(player->playRoutineAddress(), 0u);
    EXPECT_FALSE(player->ticksByInterrupt());
    mixer.beginSkip();
    while (!player->songFinished() && mixer.elapsedMs() < 700000) audioEngine.runTick();
    EXPECT_EQ(mixer.endSkip(), 600000);

    // A subsong range backwards, or a count of 0xFFFF from a routine.
    ASSERT_TRUE(load(deliTrackerPlayer({{0x80004455, 0x200}, {0x80004467, 0}, {0x80004462, 6}},
                                       {0x4E75, 0, 0, 0x7005, 0x7203, 0x4E75})));
    EXPECT_EQ(player->subsongCount(), 1);
}

TEST_F(EmulatedPlayerTest, HostileDeliTrackerFilesAreRefused) {
    const std::vector<std::pair<uint32_t, uint32_t>> cases[] = {
        {{0x80004455, 0x200}},                  // neither Interrupt nor StartInt
        {{0x80004467, 0}},                      // not marked as a player
        {{0x80004474, 0x200}, {0x80004467, 0}}, // flags without bit 0
        {{0x00000002, 0x2014}},                 // a list leading back into itself
    };
    for (const auto& tags : cases) {
        test::Bytes file = deliTrackerPlayer(tags, {0x4E75});
        EXPECT_FALSE(load(file));
    }
    EXPECT_TRUE(load(deliTrackerPlayer({{0x80004474, 0x201}, {0x80004467, 0}}, {0x4E75})));
}

} // namespace
} // namespace pelmit
