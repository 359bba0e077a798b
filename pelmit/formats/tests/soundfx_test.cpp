// The SoundFX player: recognition, the loader's rules for odd files, the row
// and effect ticks against hand-computed periods and volumes, the end of the
// song, its length and seeking.
#include "pelmit/formats/soundfx_player.h"
#include "pelmit/mixer/tests/mixer_rig.h"
#include "player_session.h"

#include <cstdio>

using namespace pelmit;
using namespace pelmit::test;

namespace {

SfxSampleSpec looped(uint16_t volume, uint32_t bytes = 64) {
    SfxSampleSpec s;
    s.name = "square";
    s.data = squareWave(bytes);
    s.volume = volume;
    s.loopLengthWords = uint16_t(bytes / 2);
    return s;
}

// Sample 1 at volume 60, sample 2 at volume 40.
SfxSong twoSamples() {
    SfxSong song;
    song.samples = {looped(60), looped(40)};
    return song;
}

// The tick that reads row r is tick 6 (r + 1): after a reset five ticks pass
// before the first row. t = 1..5 are the row's later ticks.
int at(int r, int t = 0) {
    return 6 * (r + 1) + t;
}

// Period and volume (0-255) of a channel's command as the Mixer last got them.
struct Expect {
    int tick, channel, period, volume;
};

class SoundFxTest : public PlayerSession<SoundFxPlayer> {
protected:
    void check(const std::vector<Expect>& table) {
        for (const Expect& e : table) {
            ASSERT_GE(e.tick, ticksRun) << "the table is in tick order";
            ticks(e.tick - ticksRun);
            const VoiceCommand& c = player->channel(e.channel).command;
            EXPECT_EQ(int(c.period >> 16), e.period)
                << "tick " << e.tick << " channel " << e.channel;
            EXPECT_EQ(int(c.volume), e.volume) << "tick " << e.tick << " channel " << e.channel;
        }
    }
};

} // namespace

TEST(SoundFxTables, ArpeggioPeriodsRepeatTheEndsOfTheScale) {
    EXPECT_EQ(sfxArpeggioPeriods[0], 856);
    EXPECT_EQ(sfxArpeggioPeriods[12], 856);
    EXPECT_EQ(sfxArpeggioPeriods[13], 808);
    EXPECT_EQ(sfxArpeggioPeriods[22], 480);
    EXPECT_EQ(sfxArpeggioPeriods[47], 113);
    EXPECT_EQ(sfxArpeggioPeriods[71], 113);
}

TEST_F(SoundFxTest, RecognisedByTheTagAloneAndPositionsTheStreamItself) {
    Bytes song = soundFxBytes(twoSamples());
    Bytes other = song;
    other[63] = 'H';
    const struct {
        const Bytes* bytes;
        size_t size;
        int expected;
    } cases[] = {{&song, song.size(), 1}, {&other, other.size(), 0}, {&song, 63, 0}};
    for (const auto& c : cases) {
        std::string path = write(Bytes(c.bytes->begin(), c.bytes->begin() + long(c.size)), "x.mod");
        std::FILE* f = jk::test::openFile(path, "rb");
        std::fgetc(f);
        EXPECT_EQ(identifySoundFx(f, path.c_str()), c.expected) << c.size;
        std::fclose(f);
    }
}

TEST_F(SoundFxTest, EffectsRowByRowAndTickByTick) {
    SfxSong song = twoSamples();
    auto& p = song.patterns[0];
    p[0] = {{{428, 1, 5, 10}, {428, 2, 1, 0x47}, {428, 2, 7, 0x23}, {428, 1, 0, 0}}};
    p[1] = {{{0, 1, 6, 70}, {}, {}, {0xFFFE, 0, 0, 0}}};
    p[2][3] = {0xFFFD, 1, 5, 10};
    p[3][3] = {0xFE10, 2, 0, 0};
    p[4] = {{{428, 1, 2, 0x30}, {856, 2, 8, 0x35}, {428, 2, 7, 0x00}, {}}};
    p[5] = {{{0, 0, 2, 0x03}, {}, {}, {0, 0, 1, 0xFC}}};
    p[6][0] = {113, 1, 1, 0xFF};
    start(soundFxBytes(song));

    ticks(at(0) - 1);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(player->channel(c).command.flags, 0) << "silent before row 0";
    check({
        // Row 0: volume up 10 from 60 stops at 64; arpeggio 0x47 on note 24 runs
        // notes 28, 31, 24, 31, 28; slide 0x23 moves by 3 from the second tick.
        {at(0), 0, 428, 255},
        {at(0), 1, 428, 159},
        {at(0), 3, 428, 239},
        {at(0, 1), 1, 339, 159},
        {at(0, 1), 2, 428, 159},
        {at(0, 2), 1, 285, 159},
        {at(0, 2), 2, 431, 159},
        {at(0, 3), 1, 428, 159},
        {at(0, 4), 1, 285, 159},
        {at(0, 5), 1, 339, 159},
        {at(0, 5), 2, 440, 159},
        // Row 1: volume down 70 gives 0; 0xFFFE silences; the slide goes on
        // through rows without a note.
        {at(1), 0, 428, 0},
        {at(1), 3, 428, 0},
        {at(1, 1), 2, 443, 159},
        {at(1, 5), 2, 455, 159},
        // Row 2: 0xFFFD cancels the row's sample and effect.
        {at(2), 3, 428, 0},
        // Row 3: a word above the table that is no special code is no note;
        // the sample number still sets the volume. The slide stops at note 22.
        {at(3), 3, 428, 159},
        {at(3, 3), 2, 479, 159},
        {at(3, 4), 2, 480, 159},
        {at(3, 5), 2, 480, 159},
        // Row 4: pitch bend up 3 a tick; slide up 0x35 from note 12 by 5; a slide
        // of speed 0 holds the note.
        {at(4), 0, 428, 239},
        {at(4), 2, 428, 159},
        {at(4, 1), 0, 431, 239},
        {at(4, 1), 1, 856, 159},
        {at(4, 2), 1, 851, 159},
        {at(4, 5), 0, 443, 239},
        {at(4, 5), 1, 836, 159},
        {at(4, 5), 2, 428, 159},
        // Row 5: a pitch bend without a note bends nothing; an arpeggio without
        // a note reads the table's top end (clamped past it).
        {at(5, 1), 0, 443, 239},
        {at(5, 1), 3, 113, 159},
        {at(5, 2), 3, 113, 159},
        {at(5, 3), 3, 113, 159},
        {at(5, 5), 1, 811, 159},
        // Row 6: arpeggio 0xFF on the top note stays on it; a note without a
        // sample number replays the channel's last sample.
        {at(6, 1), 0, 113, 239},
        {at(6, 5), 0, 113, 239},
        {at(6, 5), 1, 786, 159},
    });
    // The commands reach the Mixer's voices.
    EXPECT_EQ(mixer.voiceState(1).step, periodToStep(786, 44100));
    EXPECT_EQ(mixer.voiceState(3).volume, 159);
    EXPECT_NE(mixer.voiceState(3).position, nullptr) << "0xFFFE silenced, did not stop";
}

TEST_F(SoundFxTest, NotesWithoutSampleNumbers) {
    SfxSong song = twoSamples();
    song.patterns[0][0][0] = {428, 0, 0, 0}; // before any sample: nothing to play
    song.patterns[0][1][0] = {428, 2, 0, 0};
    song.patterns[0][2][0] = {856, 0, 0, 0};    // the last sample again
    song.patterns[0][2][1] = {0xFFEA, 1, 0, 0}; // a special code is never a note
    start(soundFxBytes(song));
    ticks(at(0));
    EXPECT_EQ(mixer.voiceState(0).position, nullptr);
    ticks(6);
    const int8_t* second = mixer.slotState(1).start;
    EXPECT_EQ(player->channel(0).command.slot, 1);
    ticks(6);
    EXPECT_TRUE(player->channel(0).command.flags & cmdTrigger);
    EXPECT_EQ(player->channel(0).command.slot, 1);
    EXPECT_EQ(mixer.voiceState(0).step, periodToStep(856, 44100));
    EXPECT_GE(mixer.voiceState(0).position, second);
    EXPECT_FALSE(player->channel(1).command.flags & (cmdTrigger | cmdPeriod));
    EXPECT_EQ(mixer.voiceState(1).position, nullptr);
}

TEST_F(SoundFxTest, EndsAfterTheLastOrderAndMeasuresItsLength) {
    SfxSong song = twoSamples();
    song.length = 2;
    song.orders = {1, 0, 5};
    song.patterns.push_back(SfxPatternSpec{});
    start(soundFxBytes(song));
    EXPECT_EQ(player->patternCount(), 2u);
    // 768 ticks of trunc(14187 x 44100 / 709378.92) = 881 frames.
    EXPECT_EQ(player->songLengthMs(), 768 * 881 * 1000 / 44100);
    ticks(767);
    EXPECT_FALSE(player->songFinished());
    EXPECT_EQ(player->songPosition(), 1);
    EXPECT_EQ(player->patternRow(), 63);
    ticks(1);
    EXPECT_TRUE(player->songFinished());
    EXPECT_EQ(player->songPosition(), 0);
    const uint32_t frames = mixer.frameCount();
    ticks(1);
    EXPECT_EQ(mixer.frameCount(), frames) << "a tick after the end renders nothing";
}

TEST_F(SoundFxTest, SeekReplaysToTheTickAtOrAfterTheTarget) {
    SfxSong song = twoSamples();
    for (int r = 0; r < 64; r += 4) song.patterns[0][size_t(r)][1] = {428, 1, 1, uint8_t(r)};
    ASSERT_TRUE(load(soundFxBytes(song)));
    player->startSong();
    // 151 ticks of 881 frames are the first to reach 3,000 ms.
    EXPECT_EQ(player->seekToMs(3000), 151 * 881 * 1000 / 44100);
    EXPECT_EQ(player->patternRow(), 25);
    const VoiceCommand sought = player->channel(1).command;
    player->stopSong();
    player->startSong();
    mixer.beginSkip();
    ticks(151);
    EXPECT_EQ(player->channel(1).command.period, sought.period);
    EXPECT_EQ(player->seekToMs(1000000), player->songLengthMs());
    EXPECT_TRUE(player->songFinished());
    player->setSongPosition(1); // past the one order: no pattern to play
    EXPECT_EQ(player->songPosition(), 0);
}

TEST_F(SoundFxTest, LoaderRules) {
    struct Case {
        const char* what;
        void (*edit)(SfxSong&);
        bool loads;
    };
    const Case cases[] = {
        {"song length 0 never ends", [](SfxSong& s) { s.length = 0; }, false},
        {"timer 0", [](SfxSong& s) { s.timer = 0; }, false},
        {"timer too small for a tick of one frame at 8 kHz", [](SfxSong& s) { s.timer = 88; },
         false},
        {"the smallest usable timer", [](SfxSong& s) { s.timer = 89; }, true},
        {"song length above the order list", [](SfxSong& s) { s.length = 200; }, true},
    };
    for (const Case& c : cases) {
        SfxSong song = twoSamples();
        c.edit(song);
        EXPECT_EQ(load(soundFxBytes(song)), c.loads) << c.what;
    }
    EXPECT_EQ(player->orderCount(), 128u);
    EXPECT_EQ(player->songLengthMs(), int(int64_t(128) * 384 * 881 * 1000 / 44100));
}

TEST_F(SoundFxTest, SampleRecordsAreLimitedToTheBytesRead) {
    SfxSong song;
    SfxSampleSpec longRecord = looped(64, 64);
    longRecord.lengthWords = 100; // 200 bytes described, 64 stored
    SfxSampleSpec loopPast = looped(64, 64);
    loopPast.loopStart = 10;
    loopPast.loopLengthWords = 50; // the record grows to 110 bytes
    SfxSampleSpec noLoop = looped(64, 64);
    noLoop.loopLengthWords = 1;
    SfxSampleSpec shortRecord = looped(64, 64);
    shortRecord.lengthWords = 8;
    shortRecord.loopLengthWords = 1;
    song.samples = {longRecord, loopPast, noLoop, shortRecord};
    // The last sample claims far more than the file holds.
    SfxSampleSpec cut = looped(64, 64);
    cut.headerSize = 0xFFFFFFF0u;
    song.samples.push_back(cut);
    ASSERT_TRUE(load(soundFxBytes(song)));
    const struct {
        int slot;
        long size, loopStart, loopEnd; // -1: no loop
    } expected[] = {
        {0, 64, 0, 64}, {1, 64, 10, 64}, {2, 64, -1, -1}, {3, 16, -1, -1}, {4, 64, 0, 64}};
    for (const auto& e : expected) {
        const SampleSlot& s = mixer.slotState(uint32_t(e.slot));
        ASSERT_NE(s.start, nullptr) << e.slot;
        EXPECT_EQ(s.end - s.start, e.size) << e.slot;
        EXPECT_EQ(s.loopEnd ? s.loopStart - s.start : -1, e.loopStart) << e.slot;
        EXPECT_EQ(s.loopEnd ? s.loopEnd - s.start : -1, e.loopEnd) << e.slot;
    }
    EXPECT_EQ(player->sample(1).length, 110u);
}

TEST_F(SoundFxTest, TitleIsTheFileNameCutTo22Characters) {
    Bytes bytes = soundFxBytes(twoSamples());
    const struct {
        const char* name;
        const char* title;
    } cases[] = {{"songs\\tune.sfx", "tune.sfx"},
                 {"a\\very long name of a tune.sfx", "very long name of a tu"}};
    std::filesystem::create_directories(folder / "songs"); // where a backslash divides folders
    std::filesystem::create_directories(folder / "a");
    for (const auto& c : cases) {
        SoundFxPlayer p;
        ASSERT_TRUE(p.loadSong(write(bytes, c.name).c_str()));
        char title[64];
        p.songTitle(title, sizeof title);
        EXPECT_STREQ(title, c.title);
        p.songTitle(title, 5);
        EXPECT_EQ(std::string(title), std::string(c.title).substr(0, 4));
    }
}
