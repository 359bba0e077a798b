// The MOD replayer tick by tick on generated modules: effects as a table of
// rows -> per-tick periods and volumes, the per-tracker arithmetic, pattern
// flow, the end of a song, length measurement and seeking.
#include "pelmit/formats/mod_tables.h"
#include "pelmit/formats/tests/mod_fixture.h"

#include <algorithm>
#include <cstring>

using namespace pelmit;
using namespace pelmit::test;

namespace {

// One row of channel 0.
struct Row {
    int note; // note index, -1 for none
    uint8_t sample, effect, parameter;
};

ModWriter moduleOf(const std::vector<Row>& rows) {
    ModWriter w(4, "M!K!");
    w.samples.push_back(loopedSample(64));
    w.samples.push_back(loopedSample(32));
    w.samples.push_back(loopedSample(64, 1));
    w.samples.push_back(loopedSample(64, 0x8F));
    for (size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        w.note(0, int(r), 0, row.note < 0 ? 0 : periodOf(row.note), row.sample, row.effect,
               row.parameter);
    }
    return w;
}

struct EffectCase {
    const char* what;
    TrackerType tracker;
    std::vector<Row> rows;
    std::vector<int> periods; // channel 0 after each tick from the start; -1: any
    std::vector<int> volumes;
};

const EffectCase effectCases[] = {
    {"arpeggio 037 on note 58 keeps ProTracker's notes below 60",
     trackerProTracker,
     {{58, 1, 0x0, 0x37}},
     {120, 113, 113, 120, 113, 113},
     {}},
    {"arpeggio 037 on note 58 goes up to note 65 in FastTracker modules",
     trackerFastTracker,
     {{58, 1, 0x0, 0x37}},
     {120, 101, 80, 120},
     {}},
    {"1xx slides up and stops at 107",
     trackerProTracker,
     {{59, 1, 0x1, 0x04}},
     {113, 109, 107, 107},
     {}},
    {"2xx slides down and stops at 907",
     trackerProTracker,
     {{24, 1, 0x2, 0x20}},
     {856, 888, 907, 907},
     {}},
    {"2xx goes on to 3628 in FastTracker modules",
     trackerFastTracker,
     {{24, 1, 0x2, 0x20}},
     {856, 888, 920, 952},
     {}},
    {"3xx slides to its note and stops there",
     trackerProTracker,
     {{36, 1, 0, 0}, {48, 0, 0x3, 0x40}},
     {428, -1, -1, -1, -1, -1, 428, 364, 300, 236, 214, 214},
     {}},
    {"5xy slides the volume and goes on sliding to the note",
     trackerProTracker,
     {{36, 1, 0, 0}, {48, 0, 0x3, 0x20}, {-1, 0, 0x5, 0x01}},
     {428, -1, -1, -1, -1, -1, 428, 396, 364, 332, 300, 268, 268, 236, 214, 214},
     {255, -1, -1, -1, -1, -1, 255, 255, 255, 255, 255, 255, 255, 251, 247, 243}},
    {"481 at sine position 16 adds 2 in ProTracker modules",
     trackerProTracker,
     {{36, 1, 0x4, 0x81}},
     {428, 428, 429, 430, 429, 428},
     {}},
    {"481 at sine position 16 adds 4 in SoundTracker modules",
     trackerSoundTracker,
     {{36, 1, 0x4, 0x81}},
     {428, 428, 430, 432, 430, 428},
     {}},
    {"6xy: the row starts on the note, the wave goes on, its lower half rounds down",
     trackerProTracker,
     {{36, 1, 0x4, 0x81}, {-1, 0, 0x6, 0x01}},
     {428, -1, -1, -1, -1, -1, 428, 426, 426, 426, 428, 429},
     {255, -1, -1, -1, -1, -1, 255, 251, 247, 243, 239, 235}},
    {"781 is half as deep as the vibrato's scale",
     trackerProTracker,
     {{36, 2, 0x7, 0x81}},
     {},
     {127, 127, 132, 135, 132, 127}},
    {"a row after a tremolo row starts at the base volume",
     trackerProTracker,
     {{36, 2, 0x7, 0x81}, {-1, 0, 0, 0}},
     {},
     {127, 127, 132, 135, 132, 127, 127, 127}},
    {"A40 stops at 256", trackerProTracker, {{36, 1, 0xA, 0x40}}, {}, {255, 256, 256}},
    {"A0F stops at 0", trackerProTracker, {{36, 2, 0xA, 0x0F}}, {}, {127, 67, 7, 0, 0}},
    {"C20 is scaled at load", trackerProTracker, {{36, 1, 0xC, 0x20}}, {}, {127, 127}},
    {"E13 and E21 move the period on the first tick only",
     trackerProTracker,
     {{36, 1, 0xE, 0x13}, {-1, 0, 0xE, 0x21}},
     {425, 425, 425, 425, 425, 425, 426, 426},
     {}},
    {"E51 plays this note with finetune +1",
     trackerProTracker,
     {{36, 1, 0xE, 0x51}},
     {425, 425},
     {}},
    {"the sample's finetune picks the row; 0x8F counts as -1",
     trackerProTracker,
     {{36, 3, 0, 0}, {36, 4, 0, 0}},
     {425, -1, -1, -1, -1, -1, 431},
     {}},
    {"EA2 and EB4 move the volume on the first tick",
     trackerProTracker,
     {{36, 2, 0xE, 0xA2}, {-1, 0, 0xE, 0xB4}},
     {},
     {135, 135, 135, 135, 135, 135, 119, 119}},
    {"EC2 cuts the note on tick 2", trackerProTracker, {{36, 1, 0xE, 0xC2}}, {}, {255, 255, 0, 0}},
};

} // namespace

TEST_F(ModTest, EffectsTickByTick) {
    for (const EffectCase& c : effectCases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(load(moduleOf(c.rows)));
        player->setTrackerType(c.tracker);
        player->startSong();
        const size_t ticks = std::max(c.periods.size(), c.volumes.size());
        for (size_t t = 0; t < ticks; ++t) {
            tick();
            const ModChannel& ch = player->channel(0);
            if (t < c.periods.size() && c.periods[t] >= 0) {
                EXPECT_EQ(ch.period, c.periods[t]) << "tick " << t;
            }
            if (t < c.volumes.size() && c.volumes[t] >= 0) {
                EXPECT_EQ(ch.volume, c.volumes[t]) << "tick " << t;
            }
        }
    }
}

TEST_F(ModTest, NewRowsTriggerWhatTheyName) {
    ASSERT_TRUE(load(moduleOf({{36, 0, 0, 0}, // a note before any sample
                               {-1, 1, 0, 0}, // a new sample alone starts, keeping the loop
                               {-1, 1, 0, 0}, // the same sample again: volume only
                               {40, 0, 0, 0}})));
    player->startSong();
    std::vector<int> firstTickFlags;
    for (int r = 0; r < 4; ++r) {
        tick();
        firstTickFlags.push_back(player->channel(0).flags);
        // Slot 0 is not the song's: a note without a sample starts nothing.
        if (r == 0) {
            EXPECT_EQ(mixer.voiceState(0).position, nullptr);
        }
        for (int t = 1; t < 6; ++t) {
            tick();
            EXPECT_EQ(player->channel(0).flags, 0);
        }
    }
    EXPECT_EQ(firstTickFlags, (std::vector<int>{cmdPeriod, cmdVolume | cmdTrigger | cmdKeepPlaying,
                                                cmdVolume, cmdTrigger | cmdPeriod}));
    EXPECT_EQ(player->channel(0).period, 339);
    EXPECT_NE(mixer.voiceState(0).position, nullptr);
}

TEST_F(ModTest, SampleOffsetLastsUntilTheNextSampleNumber) {
    ModWriter w = moduleOf({{36, 5, 0x9, 0x01}, {36, 0, 0, 0}, {36, 5, 0, 0}});
    w.samples.push_back(WriterSample{});
    w.samples.back().data.assign(1024, 9);
    ASSERT_TRUE(load(w));
    player->startSong();
    std::vector<long> offsets;
    for (int r = 0; r < 3; ++r) {
        tick();
        const MixerVoice& v = mixer.voiceState(0);
        offsets.push_back(long(v.position - mixer.slotState(5).start));
        for (int t = 1; t < 6; ++t) tick();
    }
    // Measured after the first tick's 882 frames at period 428 (about 365 bytes).
    EXPECT_GE(offsets[0], 256);
    EXPECT_GE(offsets[1], 256); // the note without a sample number restarts at 9xx's offset
    EXPECT_LT(offsets[2], 256); // a sample number clears it
}

TEST_F(ModTest, RetriggersAndDelayedNotes) {
    // E92 retriggers on the even later ticks; ED3 at speed 2 starts on tick 1
    // with a random start delay; ED0 delays the start on the first tick.
    ASSERT_TRUE(load(moduleOf({{36, 1, 0xF, 0x06},
                               {36, 1, 0xE, 0x92},
                               {36, 1, 0xF, 0x02},
                               {36, 1, 0xE, 0xD3},
                               {36, 1, 0xE, 0xD0}})));
    ModPlayer::seedRandomDelay(1); // the length measurement drew too
    player->startSong();
    std::vector<int> flags;
    const ModChannel& ch = player->channel(0);
    for (int t = 0; t < 6 + 6 + 2; ++t) {
        tick();
        if (t >= 6) flags.push_back(ch.flags);
    }
    const int noteFlags = cmdVolume | cmdTrigger | cmdPeriod;
    EXPECT_EQ(flags, (std::vector<int>{noteFlags, 0, cmdTrigger, 0, cmdTrigger, 0, noteFlags, 0}));
    tick();
    EXPECT_EQ(ch.flags, cmdVolume); // ED3: the note waits
    tick();
    EXPECT_EQ(ch.flags, cmdTrigger | cmdVolume | cmdPeriod | cmdDelay);
    EXPECT_EQ(ch.delay, 407); // the first draw of the generator seeded 1
    tick();
    EXPECT_EQ(ch.flags, noteFlags | cmdDelay);
    EXPECT_GE(ch.delay, 400);
    EXPECT_LE(ch.delay, 1799);
}

TEST_F(ModTest, PatternDelayRepeatsFirstTickEffectsButNotTheNotes) {
    ModWriter w = moduleOf({{36, 2, 0, 0}});
    w.note(0, 0, 1, 0, 0, 0xE, 0xE2); // the delay on another channel
    w.note(0, 0, 0, periodOf(36), 2, 0xE, 0xA1);
    ASSERT_TRUE(load(w));
    player->startSong();
    std::vector<int> volumes, triggers;
    for (int t = 0; t < 18; ++t) {
        tick();
        volumes.push_back(player->channel(0).volume);
        triggers.push_back(player->channel(0).flags & cmdTrigger);
        EXPECT_EQ(player->patternRow(), t < 17 ? 0 : 1) << t;
    }
    EXPECT_EQ(volumes[0], 131);
    EXPECT_EQ(volumes[6], 135);
    EXPECT_EQ(volumes[12], 139);
    EXPECT_EQ(std::count(triggers.begin(), triggers.end(), cmdTrigger), 1);
}

TEST_F(ModTest, PatternLoopsAndJumps) {
    struct Case {
        const char* what;
        TrackerType tracker;
        std::vector<Row> rows;
        Row otherChannel;                  // on row 0 of channel 1
        std::vector<int> positionsAndRows; // after each row: position * 100 + row
        bool ends;
    } cases[] = {
        {"E63 after E60 plays the rows four times",
         trackerProTracker,
         {{-1, 0, 0xE, 0x60}, {-1, 0, 0xE, 0x63}},
         {},
         {1, 0, 1, 0, 1, 0, 1, 2},
         false},
        {"E62 without E60 does not jump",
         trackerProTracker,
         {{-1, 0, 0, 0}, {-1, 0, 0xE, 0x62}},
         {},
         {1, 2, 3},
         false},
        {"D32 breaks to row 32 of the next position",
         trackerProTracker,
         {{-1, 0, 0xD, 0x32}},
         {},
         {132, 133},
         false},
        {"D70 breaks to row 0", trackerProTracker, {{-1, 0, 0xD, 0x70}}, {}, {100}, false},
        {"D32 of old trackers breaks to row 0",
         trackerSoundTracker,
         {{-1, 0, 0xD, 0x32}},
         {},
         {100, 101},
         false},
        {"B01 with D05 lands on row 5",
         trackerProTracker,
         {{-1, 0, 0xB, 0x01}},
         {-1, 0, 0xD, 0x05},
         {105},
         false},
        {"Bxx past the song's end jumps back to 0: the end",
         trackerProTracker,
         {{-1, 0, 0, 0}, {-1, 0, 0xB, 0x09}},
         {},
         {1, 0},
         true},
        {"a jump to its own row with no break row: the end",
         trackerProTracker,
         {{-1, 0, 0xB, 0x00}},
         {},
         {0},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModWriter w = moduleOf(c.rows);
        w.order = {0, 1};
        w.note(0, 0, 1, 0, 0, c.otherChannel.effect, c.otherChannel.parameter);
        ASSERT_TRUE(load(w));
        player->setTrackerType(c.tracker);
        player->startSong();
        for (int expected : c.positionsAndRows) {
            EXPECT_FALSE(player->songFinished());
            for (int t = 0; t < 6; ++t) tick();
            EXPECT_EQ(player->songPosition() * 100 + player->patternRow(), expected);
        }
        EXPECT_EQ(player->songFinished(), c.ends);
    }
}

TEST_F(ModTest, SpeedTempoAndTheEndOfTheSong) {
    struct Case {
        TrackerType tracker;
        uint8_t parameter;
        bool ignoreF00;
        int speed, tempo;
        bool ended;
    } cases[] = {
        {trackerProTracker, 0x00, false, 6, 125, true},
        {trackerProTracker, 0x00, true, 6, 125, false},
        {trackerSoundTracker, 0x00, false, 6, 125, false},
        {trackerProTracker, 0x20, false, 6, 32, false},
        {trackerFastTracker, 0xFF, false, 6, 255, false},
        {trackerProTracker, 0x1F, false, 31, 125, false},
        {trackerSoundTracker, 0x20, false, 6, 125, false},
        {trackerSoundTracker, 0x25, false, 5, 125, false},
        {trackerStarTrekker, 0x23, false, 3, 125, false},
        {trackerNoiseTracker12, 0x20, false, 31, 125, false},
        {trackerNoiseTracker12, 0x00, false, 1, 125, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.tracker << " F" << std::hex
                                        << int(c.parameter) << (c.ignoreF00 ? " ignored" : ""));
        ModPlayer::ignoreF00 = c.ignoreF00;
        ASSERT_TRUE(load(moduleOf({{36, 1, 0xF, c.parameter}})));
        player->setTrackerType(c.tracker);
        player->startSong();
        tick();
        EXPECT_EQ(player->currentSpeed(), c.speed);
        EXPECT_EQ(player->currentTempo(), c.tempo);
        EXPECT_EQ(player->songFinished(), c.ended);
        EXPECT_EQ(audioEngine.tickLength(), 44100u * 125 / c.tempo / 50);
    }
}

TEST_F(ModTest, FunkInvertsTheLoopForTheRestOfTheSong) {
    ModWriter w = moduleOf({{36, 1, 0xE, 0xFF}, {36, 6, 0xE, 0xFF}});
    w.samples.resize(6); // sample 6 is empty
    ASSERT_TRUE(load(w));
    const std::vector<int8_t> original = w.samples[0].data;
    // Measuring the song funked the loop; the song starts from it as loaded.
    player->startSong();
    EXPECT_EQ(std::memcmp(mixer.slotState(1).start, original.data(), 64), 0);
    for (int t = 0; t < 3; ++t) tick(); // two later ticks: two bytes inverted
    const int8_t* data = mixer.slotState(1).start;
    EXPECT_EQ(data[0], original[0]);
    EXPECT_EQ(data[1], int8_t(~original[1]));
    EXPECT_EQ(data[2], int8_t(~original[2]));
    EXPECT_EQ(data[3], original[3]);
    for (int t = 3; t < 12; ++t) tick(); // an empty sample changes nothing
    EXPECT_EQ(player->channel(0).sample, 6);
}

TEST_F(ModTest, FilterCommandsFollowTheSetting) {
    ASSERT_TRUE(load(moduleOf({{-1, 0, 0xE, 0x00}, {-1, 0, 0xE, 0x01}})));
    player->startSong();
    EXPECT_EQ(mixer.currentOutputFlags() & outputLedFilter, 0u);
    tick();
    EXPECT_NE(mixer.currentOutputFlags() & outputLedFilter, 0u);
    for (int t = 0; t < 6; ++t) tick();
    EXPECT_EQ(mixer.currentOutputFlags() & outputLedFilter, 0u);
    ModPlayer::emulateFilter = 0;
    player->stopSong();
    player->startSong();
    tick();
    EXPECT_EQ(mixer.currentOutputFlags() & outputLedFilter, 0u);
}

TEST_F(ModTest, LengthIsTheSongPlayedFromTheStart) {
    ModWriter w = moduleOf({{36, 1, 0, 0}});
    w.order = {0, 1};
    ASSERT_TRUE(load(w));
    EXPECT_EQ(player->songLengthMs(), 15360); // 128 rows of 6 ticks of 882 frames
    // Played for real, the song renders exactly that much.
    player->startSong();
    uint32_t frames = 0;
    while (!player->songFinished()) {
        tick();
        frames += audioEngine.tickLength();
    }
    EXPECT_EQ(frames, 128u * 6 * 882);
    EXPECT_EQ(player->songPosition(), 0); // back at the restart position
}

TEST_F(ModTest, SongsThatNeverEndAreCut) {
    // B00 with D05 jumps back into its own position for ever.
    ModWriter w = moduleOf({{36, 1, 0, 0}});
    w.order = {0, 1};
    w.note(0, 10, 0, 0, 0, 0xB, 0x00);
    w.note(0, 10, 1, 0, 0, 0xD, 0x05);
    ASSERT_TRUE(load(w));
    EXPECT_EQ(player->songLengthMs(), (11 + 6) * 6 * 20); // until row 5 is landed on again

    // A loop that is only played four times is no repeat.
    ModWriter loop = moduleOf({{36, 1, 0xE, 0x60}, {-1, 0, 0xE, 0x63}});
    ASSERT_TRUE(load(loop));
    EXPECT_EQ(player->songLengthMs(), (64 + 6) * 6 * 20);

    // Speed 31 and a pattern delay on every row: 9.92 s a row, three
    // patterns, half an hour and more: cut at 30 minutes.
    ModWriter slow = moduleOf({{36, 1, 0xF, 0x1F}});
    slow.order = {0, 0, 0};
    for (int r = 0; r < 64; ++r) slow.note(0, r, 1, 0, 0, 0xE, 0xEF);
    ASSERT_TRUE(load(slow));
    EXPECT_NEAR(player->songLengthMs(), modSongTimeLimitMs, 1);
    // A Bxx to the same last position with no loop running ends the song.
    ModWriter last = moduleOf({{36, 1, 0, 0}, {-1, 0, 0xB, 0x00}});
    ASSERT_TRUE(load(last));
    EXPECT_EQ(player->songLengthMs(), 2 * 6 * 20);
}

TEST_F(ModTest, SeekingReplaysFromTheStart) {
    ModWriter w = moduleOf({{36, 1, 0xE, 0x00}});
    w.order = {0, 1};
    ASSERT_TRUE(load(w));
    player->startSong();
    for (int t = 0; t < 10; ++t) tick();
    EXPECT_EQ(player->seekToMs(5000), 5000);
    EXPECT_EQ(player->songPosition(), 0);
    EXPECT_EQ(player->patternRow(), 41); // 250 ticks of 6
    EXPECT_EQ(player->currentRowTick(), 4);
    EXPECT_EQ(mixer.queuedFrames(), 0u);
    EXPECT_NE(mixer.currentOutputFlags() & outputLedFilter, 0u); // left as the song set it
    tick();
    EXPECT_EQ(mixer.elapsedMs(), 5020); // the clock goes on from the target

    EXPECT_EQ(player->seekToMs(3 * 60000), player->songLengthMs());
    EXPECT_TRUE(player->songFinished());
    EXPECT_EQ(player->seekToMs(0), 0);
    EXPECT_FALSE(player->songFinished());

    player->setSongPosition(7);
    EXPECT_EQ(player->songPosition(), 1);
    player->stopSong();
    EXPECT_EQ(mixer.voiceState(0).position, nullptr);
}
