// The Future Composer replayer tick by tick: the periods, volumes and sounds
// that voice 0 sends for short patterns and sequences, worked out by hand from
// the format's rules; rows, steps, the end of the song, measuring and seeking.
#include "fc_file.h"
#include "fc_fixture.h"
#include "pelmit/formats/future_composer_player.h"

#include <gtest/gtest.h>

using namespace pelmit;
using namespace pelmit::test;

namespace {

using Bytes = std::vector<uint8_t>;

// One step at speed 1, so that voice 0 reads row 0 (note, sound 0) on the
// first tick and an empty row on every tick after. Voices 1-3 play the empty
// pattern 1. The case gives volume sequence 0 (its 5-byte head, then the
// commands) and frequency sequence 0.
FcFile oneNote(uint8_t note, const Bytes& volume, const Bytes& frequency, bool fc14 = false) {
    FcFile f;
    f.fc14 = fc14;
    f.addStep({0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0}, 1);
    f.setRow(0, 0, note, 0);
    f.setRow(1, 31, 0, 0);
    FcFile::setSequence(f.volumeSequences, 0, volume);
    FcFile::setSequence(f.frequencySequences, 0, frequency);
    f.samples[0].bytes.assign(64, 0x40);
    return f;
}

// Full volume from the first tick, no vibrato, frequency sequence 0.
const Bytes fullVolume = {1, 0, 0, 0, 0, 0x40, 0xE1};
// Frequency sequence 0 that adds nothing to the note.
const Bytes plainNote = {0x00, 0xE1};

template <class T, class F>
std::vector<T> column(const std::vector<FcTick>& ticks, F field) {
    std::vector<T> out;
    for (const FcTick& t : ticks) out.push_back(T(field(t)));
    return out;
}
std::vector<int> periods(const std::vector<FcTick>& t) {
    return column<int>(t, [](const FcTick& x) { return x.period; });
}
std::vector<int> volumes(const std::vector<FcTick>& t) {
    return column<int>(t, [](const FcTick& x) { return x.volume; });
}
std::vector<int> values(const std::vector<FcTick>& t) {
    return column<int>(t, [](const FcTick& x) { return x.frequencyValue; });
}

} // namespace

TEST(FcPeriods, TableOfNotes) {
    const std::pair<int, int> entries[] = {
        {0, 1712},  {11, 906},  {12, 856},  {23, 453}, {24, 428},  {35, 226},
        {36, 214},  {47, 113},  {48, 113},  {59, 113}, {60, 3424}, {71, 1812},
        {72, 6848}, {83, 3624}, {84, 1712}, {96, 856}, {120, 214}, {131, 113}};
    for (auto [k, period] : entries) EXPECT_EQ(fcPeriods[k], period) << k;
}

TEST_F(FcFixture, FrequencySequences) {
    struct Case {
        const char* what;
        uint8_t note;
        Bytes sequence0, sequence1;
        std::vector<int> values, periods;
    } cases[] = {
        {"values, then E1 keeps the last",
         24,
         {0x01, 0x00, 0x00, 0xE1},
         {},
         {1, 0, 0, 0, 0, 0},
         {404, 428, 428, 428, 428, 428}},
        {"E8 00 goes on within the tick",
         24,
         {0xE8, 0x00, 0x05, 0xE1},
         {},
         {5, 5, 5, 5, 5, 5},
         {320, 320, 320, 320, 320, 320}},
        {"E8 03 holds for three ticks",
         24,
         {0x03, 0xE8, 0x03, 0x07, 0xE1},
         {},
         {3, 3, 3, 3, 7, 7},
         {360, 360, 360, 360, 285, 285}},
        {"E0 loops",
         24,
         {0x05, 0x06, 0xE0, 0x00},
         {},
         {5, 6, 5, 6, 5, 6},
         {320, 302, 320, 302, 320, 302}},
        // E1 where a jump lands is a value; its bit 7 makes it a fixed note.
        {"E1 after E0 is a fixed note",
         24,
         {0x07, 0xE0, 0x03, 0xE1, 0xE1},
         {},
         {7, 0xE1, 0xE1, 0xE1, 0xE1, 0xE1},
         {285, 808, 808, 808, 808, 808}},
        {"0x98 plays entry 0x18 whatever the note",
         30,
         {0x98, 0xE1},
         {},
         {0x98, 0x98, 0x98, 0x98, 0x98, 0x98},
         {428, 428, 428, 428, 428, 428}},
        {"E7 continues in another sequence",
         24,
         {0x02, 0xE7, 0x01},
         {0x09, 0xE1},
         {2, 9, 9, 9, 9, 9},
         {381, 254, 254, 254, 254, 254}},
        {"E7 acts where a jump lands",
         24,
         {0x04, 0xE0, 0x03, 0xE7, 0x01},
         {0x0B, 0xE1},
         {4, 11, 11, 11, 11, 11},
         {339, 226, 226, 226, 226, 226}},
        // Sequence 0 never reaches a value: reading stops after 256 bytes.
        {"E7 into itself stops",
         24,
         {0xE7, 0x00},
         {},
         {0, 0, 0, 0, 0, 0},
         {428, 428, 428, 428, 428, 428}},
        // 32 sustains of 0 run into sequence 1, which the file leaves as the
        // default sequence.
        {"a sequence runs on into the next",
         24,
         Bytes(64, 0),
         {},
         {1, 0, 0, 0, 0, 0},
         {404, 428, 428, 428, 428, 428}},
    };
    for (Case& c : cases) {
        if (c.sequence0.size() == 64)
            for (size_t i = 0; i < 64; i += 2) c.sequence0[i] = 0xE8;
        FcFile f = oneNote(c.note, fullVolume, c.sequence0);
        if (!c.sequence1.empty()) FcFile::setSequence(f.frequencySequences, 1, c.sequence1);
        load(f);
        const std::vector<FcTick> t = run(6);
        EXPECT_EQ(values(t), c.values) << c.what;
        EXPECT_EQ(periods(t), c.periods) << c.what;
        player.reset();
    }
}

TEST_F(FcFixture, VolumeSequences) {
    struct Case {
        const char* what;
        Bytes sequence;
        std::vector<int> volumes; // what the Mixer is sent, 0-255
    } cases[] = {
        {"values, 64 and above are full",
         {1, 0, 0, 0, 0, 0x10, 0x20, 0x40, 0x50, 0xE1},
         {63, 127, 255, 255, 255, 255, 255}},
        {"speed 2 reads every second tick",
         {2, 0, 0, 0, 0, 0x10, 0x20, 0xE1},
         {0, 63, 63, 127, 127, 127, 127}},
        {"E8 02 sustains two ticks",
         {1, 0, 0, 0, 0, 0x10, 0xE8, 0x02, 0x20, 0xE1},
         {63, 63, 63, 63, 127, 127, 127}},
        {"EA slides every second tick, starting at once",
         {1, 0, 0, 0, 0, 0x14, 0xEA, 0xFC, 0x03, 0xE1},
         {79, 63, 63, 47, 47, 31, 31}},
        {"a slide below 0 stops at 0",
         {1, 0, 0, 0, 0, 0x04, 0xEA, 0xFD, 0x05, 0xE1},
         {15, 3, 3, 0, 0, 0, 0}},
        {"E0 jumps to a position",
         {1, 0, 0, 0, 0, 0x10, 0x20, 0x30, 0xE0, 0x06},
         {63, 127, 191, 127, 191, 127, 191}},
        {"E0 onto itself stops", {1, 0, 0, 0, 0, 0x10, 0xE0, 0x06}, {63, 63, 63, 63, 63, 63, 63}},
        {"negative bytes are full",
         {1, 0, 0, 0, 0, 0x3F, 0x80, 0xE5, 0x7F, 0x00, 0xE1},
         {251, 255, 255, 255, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        load(oneNote(24, c.sequence, plainNote));
        EXPECT_EQ(volumes(run(7)), c.volumes) << c.what;
        player.reset();
    }
}

TEST_F(FcFixture, VibratoFallsFirstAndScalesWithTheOctave) {
    // Speed 1, depth 2, delay 1: the value starts at the depth and falls.
    const Bytes vibrato = {1, 0, 1, 2, 1, 0x40, 0xE1};
    struct Case {
        uint8_t note;
        Bytes volume, frequency;
        std::vector<int> periods;
    } cases[] = {
        {36, vibrato, plainNote, {214, 212, 210, 210, 212, 214, 216, 218, 218, 216}},
        {5, vibrato, plainNote, {1280, 1264, 1248, 1248, 1264, 1280, 1296, 1312, 1312, 1296}},
        {96, vibrato, plainNote, {856, 855, 854, 854, 855, 856, 857, 858, 858, 857}},
        // E3 sets speed 2 and depth 1; the value stays where the head left it (0).
        {96,
         fullVolume,
         {0xE3, 0x02, 0x01, 0x00, 0xE1},
         {855, 857, 857, 855, 855, 857, 857, 855, 855, 857}},
    };
    for (const Case& c : cases) {
        load(oneNote(c.note, c.volume, c.frequency));
        EXPECT_EQ(periods(run(10)), c.periods) << int(c.note);
        player.reset();
    }
}

TEST_F(FcFixture, PortamentoAndPitchBend) {
    struct Case {
        const char* what;
        bool fc14;
        uint8_t note, parameter;
        Bytes frequency;
        std::vector<int> periods;
    } cases[] = {
        {"0x21 raises by 1 every tick in SMOD",
         false,
         24,
         0x21,
         plainNote,
         {429, 430, 431, 432, 433, 434}},
        {"0x21 raises every second tick in FC14",
         true,
         24,
         0x21,
         plainNote,
         {429, 429, 430, 430, 431, 431}},
        {"0x05 lowers by 5", false, 24, 0x05, plainNote, {423, 418, 413, 408, 403, 398}},
        {"0x05 in FC14", true, 24, 0x05, plainNote, {423, 423, 418, 418, 413, 413}},
        // Below 0 the period wraps high and ends at the top.
        {"clamped, unsigned", false, 48, 0x1F, plainNote, {113, 113, 113, 3424, 3424, 3424}},
        {"EA bends down every second tick",
         false,
         24,
         0,
         {0xEA, 0x02, 0x03, 0x00, 0xE1},
         {426, 426, 424, 424, 422, 422}},
        {"EA with a negative speed bends up",
         false,
         24,
         0,
         {0xEA, 0xFE, 0x02, 0x00, 0xE1},
         {430, 430, 432, 432, 432, 432}},
    };
    for (const Case& c : cases) {
        FcFile f = oneNote(c.note, fullVolume, c.frequency, c.fc14);
        // Portamento on in row 0; its parameter is the info byte of row 1.
        f.setRow(0, 0, c.note, c.parameter ? 0x80 : 0);
        f.setRow(0, 1, 0, c.parameter);
        load(f);
        EXPECT_EQ(periods(run(6)), c.periods) << c.what;
        player.reset();
    }
}

TEST_F(FcFixture, PortamentoEndsOnBit6AndANewNote) {
    FcFile f = oneNote(24, fullVolume, plainNote);
    f.setRow(0, 0, 24, 0x80);
    f.setRow(0, 1, 0, 0x21);
    f.setRow(0, 3, 0, 0x40); // off, the offset stays
    f.setRow(0, 5, 24, 0);   // a note clears the offset
    load(f);
    EXPECT_EQ(periods(run(6)), (std::vector<int>{429, 430, 431, 431, 431, 428}));
}

// Sounds in SMOD: sample 0 is slot 0, sample 1 is empty, and wave n (sound
// 10 + n) is slot 1 + n.
TEST_F(FcFixture, FrequencySequencesChooseSounds) {
    const Bytes envelope = {1, 0, 0, 0, 0, 0x40, 0x30, 0x20, 0x10, 0xE1};
    struct Case {
        const char* what;
        Bytes frequency;
        std::vector<int> volumes;
        std::vector<int> triggers; // flags: cmdTrigger 1, cmdKeepPlaying 16
        std::vector<int> slots;    // slot sent, where a trigger is
        std::vector<int> periods;
    } cases[] = {
        {"E2 starts a sound and the envelope",
         {0xE2, 0x0A, 0x00, 0xE2, 0x0B, 0x01, 0xE1},
         {255, 255, 191},
         {1, 1, 0},
         {1, 2, 2},
         {428, 404, 404}},
        {"E2 of an empty sample silences, the period goes on",
         {0xE2, 0x01, 0x00, 0xE2, 0x01, 0x01, 0x02, 0xE1},
         {0, 0, 191},
         {0, 0, 0},
         {0, 0, 0},
         {428, 404, 381}},
        {"E2 past the sounds silences",
         {0xE2, 0x5A, 0x00, 0xE1},
         {0, 191, 127},
         {0, 0, 0},
         {0, 0, 0},
         {428, 428, 428}},
        {"E4 starts a new sound at its loop",
         {0xE4, 0x0B, 0x00, 0xE4, 0x0B, 0x00, 0xE4, 0x0C, 0x00, 0xE1},
         {255, 191, 127},
         {17, 0, 17},
         {2, 2, 3},
         {428, 428, 428}},
        {"E9 without a pack reads on",
         {0x00, 0xE9, 0x00, 0x01, 0x05, 0xE1},
         {255, 191, 127},
         {0, 0, 0},
         {0, 0, 0},
         {428, 320, 320}},
    };
    for (const Case& c : cases) {
        load(oneNote(24, envelope, c.frequency));
        const std::vector<FcTick> t = run(3);
        EXPECT_EQ(volumes(t), c.volumes) << c.what;
        EXPECT_EQ(column<int>(t, [](const FcTick& x) { return x.flags & (cmdTrigger | 0x10); }),
                  c.triggers)
            << c.what;
        EXPECT_EQ(column<int>(t, [](const FcTick& x) { return x.slot; }), c.slots) << c.what;
        EXPECT_EQ(periods(t), c.periods) << c.what;
        player.reset();
    }
}

TEST_F(FcFixture, E9PlaysPackEntries) {
    FcFile f = oneNote(24, {1, 0, 0, 0, 0, 0x40, 0x30, 0x20, 0x10, 0xE1},
                       {0xE9, 0x00, 0x02, 0x00, 0xE9, 0x00, 0x01, 0x00, 0xE9, 0x00, 0x0C, 0x00,
                        0xE9, 0x00, 0x00, 0x00, 0xE1},
                       true);
    f.samples[0].bytes = samplePack({{0, 4, 0, 1}, {0, 0, 0, 0}, {8, 4, 0, 1}}, Bytes(16, 1));
    load(f);
    const std::vector<FcTick> t = run(4);
    // Entry 2 is slot 2 (after the pack's own slot 0 and entry 0); entry 1 is
    // empty and 12 is past the table: both silence.
    EXPECT_EQ(volumes(t), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(column<int>(t, [](const FcTick& x) { return x.flags & cmdTrigger; }),
              (std::vector<int>{1, 0, 0, 1}));
    EXPECT_EQ(t[0].slot, 2);
    EXPECT_EQ(t[3].slot, 1);
}

TEST_F(FcFixture, TheFirstRowComesOnTickSpeed) {
    FcFile f = oneNote(24, fullVolume, plainNote);
    f.sequence[12] = 0; // speed 3
    load(f);
    std::vector<int> rows, notes;
    for (int i = 0; i < 7; ++i) {
        audioEngine.runTick();
        rows.push_back(int(player->voice(0).row));
        notes.push_back(player->voice(0).note);
    }
    EXPECT_EQ(rows, (std::vector<int>{0, 0, 1, 1, 1, 2, 2}));
    EXPECT_EQ(notes, (std::vector<int>{0, 0, 24, 24, 24, 24, 24}));
    EXPECT_EQ(player->currentSpeed(), 3);
}

namespace {

// Two steps at speed 1. Voice 0 ends its first pattern at row 2 with 0x49 and
// starts pattern 1 with a 0x49 note byte; voices 1-3 play 32 empty rows per
// step, and voice 3 brings speed 5 with step 1.
FcFile driftingVoices() {
    FcFile f;
    f.addStep({0, 0, 0, 2, 0, 0, 2, 0, 0, 2, 0, 0}, 1);
    f.addStep({1, 0, 0, 2, 0, 0, 2, 0, 0, 2, 0, 0}, 5);
    f.setRow(0, 0, 24, 0);
    f.setRow(0, 1, 25, 0);
    f.setRow(0, 2, 0x49, 0);
    f.setRow(1, 0, 0x49, 0);
    f.setRow(2, 31, 0, 0);
    FcFile::setSequence(f.volumeSequences, 0, fullVolume);
    FcFile::setSequence(f.frequencySequences, 0, plainNote);
    return f;
}

} // namespace

TEST_F(FcFixture, VoicesDriftAndTheFirstToWrapEndsTheSong) {
    auto& p = load(driftingVoices());
    const uint32_t start = mixer.frameCount();
    // Voice 0 wraps on tick 43: 2 + 31 rows at speed 1, then 2 rows at speed 5.
    EXPECT_EQ(p.songLengthMs(), 43 * 20);
    std::vector<FcTick> t = run(3);
    EXPECT_EQ(p.voice(0).position, 1u);
    EXPECT_EQ(p.voice(0).note, 73); // 0x49 on row 0 is a note
    EXPECT_EQ(t[2].period, 3424);   // entry 73 (6464) clamped
    run(29);
    EXPECT_EQ(p.voice(3).position, 0u);
    EXPECT_EQ(p.currentSpeed(), 1);
    run(1); // tick 33: voice 3 takes step 1 and its speed
    EXPECT_EQ(p.voice(3).position, 1u);
    EXPECT_EQ(p.currentSpeed(), 5);
    run(9);
    EXPECT_EQ(p.songFinished(), 0);
    run(1);
    EXPECT_EQ(p.songFinished(), 1);
    EXPECT_EQ(p.voice(0).position, 0u);
    EXPECT_EQ(mixer.frameCount() - start, 43u * 882);
    // Nothing is played after the end.
    run(5);
    EXPECT_EQ(mixer.frameCount() - start, 43u * 882);
}

TEST_F(FcFixture, SeeksReplayFromTheStart) {
    FcFile song = driftingVoices();
    FcFile::setSequence(song.volumeSequences, 0, {1, 0, 1, 3, 0, 0x10, 0x20, 0x30, 0xE0, 0x06});
    FcFile::setSequence(song.frequencySequences, 0, {0x00, 0x02, 0x04, 0xE0, 0x00});
    auto& p = load(song);
    run(15);
    const FcVoice played = p.voice(0);
    EXPECT_EQ(p.seekToMs(290), 300); // the first tick boundary at or after the target
    const FcVoice& sought = p.voice(0);
    EXPECT_EQ(sought.row, played.row);
    EXPECT_EQ(sought.position, played.position);
    EXPECT_EQ(sought.command.period, played.command.period);
    EXPECT_EQ(sought.command.volume, played.command.volume);
    EXPECT_EQ(sought.frequencySequence.position, played.frequencySequence.position);
    EXPECT_EQ(sought.vibratoValue, played.vibratoValue);
    EXPECT_EQ(mixer.elapsedMs(), 300);
    // Playing on continues from there.
    run(1);
    EXPECT_EQ(mixer.elapsedMs(), 320);
    EXPECT_EQ(p.seekToMs(100000), 860);
    EXPECT_EQ(p.songFinished(), 1);
    EXPECT_EQ(p.seekToMs(0), 0);
    EXPECT_EQ(p.songFinished(), 0);
}

TEST_F(FcFixture, StopSilencesAndStartBeginsAgain) {
    FcFile f = oneNote(24, fullVolume, {0xE2, 0x00, 0x00, 0xE1});
    f.samples[0].loopWords = 32;
    auto& p = load(f);
    run(3);
    EXPECT_NE(mixer.voiceState(0).position, nullptr);
    p.stopSong();
    EXPECT_EQ(mixer.voiceState(0).position, nullptr);
    audioEngine.runTick(); // the timer is stopped
    EXPECT_EQ(p.voice(0).row, 3u);
    p.startSong();
    run(1);
    EXPECT_EQ(p.voice(0).row, 1u);
    EXPECT_NE(mixer.voiceState(0).position, nullptr);
}

// Numbers the file may hold that reach past what was loaded: they read as
// stops, empty rows or missing sounds.
TEST_F(FcFixture, ReadsPastTheLoadedDataAreBounded) {
    FcFile f;
    f.addStep({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 1);
    f.addStep({0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0}, 0); // voice 3: no pattern 9
    // Sound 63: frequency sequence 200 (past the area); E0 FF past the area.
    f.setRow(0, 0, 24, 63);
    // Portamento on row 31 of the last pattern: its parameter lies past the data.
    f.setRow(0, 31, 26, 0x80 | 63);
    FcFile::setSequence(f.volumeSequences, 63, {1, 200, 0, 0, 0, 0x40, 0xE0, 0xFF});
    auto& p = load(f);
    const std::vector<FcTick> t = run(33);
    EXPECT_EQ(t[0].volume, 255);
    EXPECT_EQ(t[1].volume, 255);
    EXPECT_EQ(t[0].frequencyValue, 0);
    EXPECT_EQ(t[31].period, 381);
    EXPECT_EQ(p.voice(0).portamentoParameter, 0);
    EXPECT_EQ(p.voice(3).pattern, -1);
    EXPECT_EQ(p.songLengthMs(), 65 * 20);
}

TEST_F(FcFixture, ASongEndsAfterAnHourAsItsLengthSays) {
    // 300 steps of 32 rows at speed 255 would last 34 hours.
    FcFile f;
    for (int i = 0; i < 300; ++i) f.addStep({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 255);
    f.setRow(0, 31, 0, 0);
    auto& p = load(f);
    EXPECT_EQ(p.songLengthMs(), 3600 * 1000);
    EXPECT_EQ(p.seekToMs(3700 * 1000), 3600 * 1000);
    EXPECT_EQ(p.songFinished(), 1);
    // Played rather than skipped, the last tick before the hour still sounds
    // and the one after it ends the song.
    EXPECT_EQ(p.seekToMs(3600 * 1000 - 40), 3600 * 1000 - 40);
    EXPECT_EQ(p.songFinished(), 0);
    run(1);
    EXPECT_EQ(p.songFinished(), 0);
    run(1);
    EXPECT_EQ(p.songFinished(), 1);
}
