// The SoundMon replayer tick by tick: rows and speed, arpeggio phases of both
// versions, the ways a song ends, limits, transposes, and the synth sequences
// (ADSR, LFO, EG, FX, MOD) with the tables they rewrite, all against values
// computed by hand.
#include "pelmit/formats/soundmon_player.h"
#include "pelmit/mixer/tests/mixer_rig.h"
#include "player_session.h"

#include <cstring>
#include <algorithm>

using namespace pelmit;
using namespace pelmit::test;

namespace {

using Table = std::array<int8_t, 64>;

// `steps` steps; voice 0 plays channel 3, which holds pattern k + 1 in step k,
// and the other channels hold the last, empty pattern.
BpSong voice0(char version, int steps = 1) {
    BpSong s;
    s.version = version;
    const uint16_t empty = uint16_t(steps + 1);
    for (int k = 0; k < steps; ++k)
        s.steps.push_back(
            {BpStepSpec{empty}, BpStepSpec{empty}, BpStepSpec{empty}, BpStepSpec{uint16_t(k + 1)}});
    s.patterns.assign(size_t(steps + 1), BpPatternSpec{});
    s.instruments[0] = bpSample(squareWave(64), 64, 0, 32);
    return s;
}

class SoundMonReplayerTest : public PlayerSession<SoundMonPlayer> {
protected:
    // Voice 0's command period after each of the next ticks.
    std::vector<int> periods(int count, int v = 0) {
        std::vector<int> out;
        for (int i = 0; i < count; ++i) {
            ticks(1);
            out.push_back(int(player->voice(v).command.period >> 16));
        }
        return out;
    }
    std::vector<int> volumes(int count) {
        std::vector<int> out;
        for (int i = 0; i < count; ++i) {
            ticks(1);
            out.push_back(int(player->voice(0).command.volume));
        }
        return out;
    }
    // Voice 0 plays instrument 1, a synth, from row 0 of a single step.
    void startSynth(char version, std::vector<Table> tables, const BpSynthSpec& synth,
                    BpRowSpec row0 = {13, 1, 0, 0}, BpRowSpec row1 = {}) {
        BpSong s = voice0(version);
        s.tables = std::move(tables);
        s.instruments[0] = bpSynth(synth);
        s.patterns[0][0] = row0;
        s.patterns[0][1] = row1;
        start(soundMonBytes(s));
    }
    int8_t table(uint32_t i) const { return player->tables()[i]; }
    // The Mixer's copy of the synth tables matches the player's.
    void expectSlotMirrorsTables() {
        const uint32_t bytes = player->tableCount() * 64;
        ASSERT_EQ(uint32_t(mixer.slotState(0).end - mixer.slotState(0).start), bytes);
        EXPECT_EQ(std::memcmp(mixer.slotState(0).start, player->tables(), bytes), 0);
    }
};

} // namespace

TEST(SoundMonTables, PeriodsAndVibrato) {
    const struct {
        int index, period;
    } cases[] = {{0, 6848}, {1, 6464}, {2, 6080}, {11, 3616}, {35, 904},
                 {36, 856}, {71, 113}, {72, 107}, {78, 76},   {83, 57}};
    for (const auto& c : cases) EXPECT_EQ(soundMonPeriods[size_t(c.index)], c.period) << c.index;
    EXPECT_EQ(soundMonVibrato[2], 128);
    EXPECT_EQ(soundMonVibrato[6], -128);
}

TEST_F(SoundMonReplayerTest, FirstRowOnTheFirstTickAndSpeedChanges) {
    BpSong s = voice0('3');
    auto& p = s.patterns[0];
    p[0] = {1, 1, 0, 0};
    p[1] = {13, 1, 2, 3}; // speed 3: the next row three ticks later
    p[2] = {25, 1, 0, 0};
    p[3] = {1, 1, 0, 0};
    start(soundMonBytes(s));
    EXPECT_EQ(periods(13),
              (std::vector<int>{856, 856, 856, 856, 856, 856, 428, 428, 428, 214, 214, 214, 856}));
    EXPECT_EQ(mixer.voiceState(0).step, periodToStep(856, 44100));
    // Voices 1-3 play the empty channels; nothing started them.
    for (int v = 1; v < 4; ++v) EXPECT_EQ(mixer.voiceState(uint32_t(v)).position, nullptr) << v;
    EXPECT_EQ(player->currentSpeed(), 3u);
}

TEST_F(SoundMonReplayerTest, ArpeggioPhasesOfBothVersions) {
    // Arpeggio 0x37 on note 13 (period 428): +3 is note 16 (360), +7 note 20 (286).
    const struct {
        char version;
        std::vector<int> expected;
    } cases[] = {
        {'3', {428, 428, 428, 286, 360, 428, 428, 286, 360}}, // +3, base, base, +7
        {'2', {428, 428, 286, 360, 428, 286, 360, 428, 286}}, // +3, base, +7
    };
    for (const auto& c : cases) {
        BpSong s = voice0(c.version);
        for (int r = 0; r < 16; ++r) s.patterns[0][size_t(r)] = {0, 0, 0, 0x37};
        s.patterns[0][0].note = 13;
        s.patterns[0][0].instrument = 1;
        start(soundMonBytes(s));
        EXPECT_EQ(periods(9), c.expected) << c.version;
    }
}

TEST_F(SoundMonReplayerTest, HowSongsEnd) {
    // Three steps of 16 rows at speed 6, 20 ms a tick: row n is read on tick 6n + 1.
    struct Case {
        const char* what;
        char version;
        int step, row, effect, parameter;
        int lengthMs, position;
    };
    const Case cases[] = {
        {"after the last step", '3', 0, 0, 0, 0, 283 * 20, 0},
        {"2.2 jump back", '3', 2, 0, 7, 1, 193 * 20, 1},
        {"2.2 jump forward", '3', 0, 0, 7, 1, 193 * 20, 0},
        {"2.2 jump to the step count", '3', 1, 0, 7, 3, 97 * 20, 0},
        {"2.2 jump to its own position: the limit", '3', 1, 3, 7, 1, 30 * 60 * 1000, 1},
        {"2.0 jump ends at once", '2', 0, 2, 7, 0, 13 * 20, 0},
        {"speed 0", '3', 0, 2, 2, 0, 13 * 20, 0},
    };
    for (const Case& c : cases) {
        BpSong s = voice0(c.version, 3);
        s.patterns[size_t(c.step)][size_t(c.row)] = {1, 1, uint8_t(c.effect), uint8_t(c.parameter)};
        start(soundMonBytes(s));
        EXPECT_EQ(player->songLengthMs(), c.lengthMs) << c.what;
        ticks(c.lengthMs / 20 - 1);
        EXPECT_FALSE(player->songFinished()) << c.what;
        ticks(1);
        EXPECT_TRUE(player->songFinished()) << c.what;
        EXPECT_EQ(player->currentPosition(), uint32_t(c.position)) << c.what;
        const uint32_t frames = mixer.frameCount();
        ticks(1);
        EXPECT_EQ(mixer.frameCount(), frames) << c.what;
    }
}

TEST_F(SoundMonReplayerTest, VolumeAndPeriodLimits) {
    BpSong s = voice0('3');
    auto& p = s.patterns[0];
    p[0] = {48, 1, 0, 0};   // period 57, sent as 113
    p[1] = {0, 0, 1, 32};   // volume at once, without a note
    p[2] = {1, 1, 8, 0x7F}; // autoslide +127 a tick from 856
    p[6] = {49, 1, 0, 0};   // past the table: its last entry
    start(soundMonBytes(s));
    ticks(1);
    EXPECT_EQ(player->voice(0).command.period >> 16, 113u);
    EXPECT_EQ(player->voice(0).command.volume, 255);
    ticks(6);
    EXPECT_EQ(player->voice(0).command.volume, 127);
    EXPECT_TRUE(player->voice(0).command.flags & cmdVolume);
    ticks(6); // tick 13: row 2
    EXPECT_EQ(player->voice(0).command.period >> 16, 856u);
    EXPECT_EQ(periods(22),
              (std::vector<int>{983,  1110, 1237, 1364, 1491, 1618, 1745, 1872, 1999, 2126, 2253,
                                2380, 2507, 2634, 2761, 2888, 3015, 3142, 3269, 3396, 3523, 3628}));
    ticks(2); // tick 37: row 6
    EXPECT_EQ(player->voice(0).command.period >> 16, 113u);
    EXPECT_EQ(player->voice(0).period, 57);
}

TEST_F(SoundMonReplayerTest, TransposesAndInstrumentNumbers) {
    BpSong s = voice0('3');
    s.steps[0][3].noteTranspose = 12;
    s.steps[0][3].soundTranspose = 1;
    s.instruments[0] = bpSample(squareWave(64), 10, 0, 32);
    s.instruments[1] = bpSample(squareWave(64), 20, 0, 32);
    s.instruments[2] = bpSample(squareWave(64), 30, 0, 32);
    s.instruments[14] = bpSample(squareWave(64), 50, 0, 32);
    auto& p = s.patterns[0];
    p[0] = {1, 1, 0, 0};     // note 13, instrument 2
    p[1] = {1, 0, 0, 0};     // the current instrument plus the transpose again: 3
    p[2] = {1, 1, 10, 0x10}; // no note transpose
    p[3] = {1, 1, 10, 0x01}; // no sound transpose
    p[4] = {1, 15, 0, 0};    // 16 is no instrument: 0
    p[5] = {1, 1, 15, 0};    // 2.2 effects 13-15 keep the instrument
    start(soundMonBytes(s));
    const struct {
        int period, instrument, volume;
        bool trigger;
    } rows[] = {{428, 2, 79, true}, {428, 3, 119, true}, {856, 2, 79, true},
                {428, 1, 39, true}, {428, 0, 39, false}, {428, 0, 39, false}};
    for (const auto& r : rows) {
        ticks(ticksRun == 0 ? 1 : 6);
        const SoundMonVoice& vc = player->voice(0);
        EXPECT_EQ(int(vc.command.period >> 16), r.period) << ticksRun;
        EXPECT_EQ(vc.instrument, r.instrument) << ticksRun;
        EXPECT_EQ(vc.command.volume, r.volume) << ticksRun;
        EXPECT_EQ(bool(vc.command.flags & cmdTrigger), r.trigger) << ticksRun;
    }
}

TEST_F(SoundMonReplayerTest, AdsrRunsAcrossTablesButNotPastThem) {
    // Table 0 level 0 (volume 127), table 1 level 127 (251); past the two
    // tables the level reads 0 again.
    BpSynthSpec synth;
    synth.adsrControl = 2;
    synth.adsrTable = 0;
    synth.adsrLength = 200;
    synth.adsrSpeed = 1;
    startSynth('3', {bpTable([](int) { return 0; }), bpTable([](int) { return 127; })}, synth,
               {13, 1, 2, 255});
    std::vector<int> v = volumes(131);
    EXPECT_EQ(v[0], 127);
    EXPECT_EQ(v[64], 127);  // tick 65 reads position 63
    EXPECT_EQ(v[65], 251);  // tick 66: position 64, the first byte of table 1
    EXPECT_EQ(v[128], 251); // position 127
    EXPECT_EQ(v[129], 127); // position 128: past the tables
}

TEST_F(SoundMonReplayerTest, AdsrOnceThenHolds) {
    BpSynthSpec synth;
    synth.adsrControl = 1;
    synth.adsrTable = 1;
    synth.adsrLength = 4;
    synth.adsrSpeed = 2;
    const int levels[] = {-128, -64, 0, 127};
    startSynth(
        '3',
        {bpTable([](int) { return 0; }), bpTable([&](int k) { return levels[std::min(k, 3)]; })},
        synth, {13, 1, 2, 20});
    EXPECT_EQ(volumes(11), (std::vector<int>{0, 0, 0, 63, 63, 127, 127, 251, 251, 251, 251}));
    EXPECT_EQ(player->voice(0).adsrControl, 0);
}

TEST_F(SoundMonReplayerTest, LfoBendsThePeriod) {
    BpSynthSpec synth;
    synth.lfoControl = 2;
    synth.lfoTable = 1;
    synth.lfoDepth = 2;
    synth.lfoLength = 4;
    synth.lfoDelay = 1;
    synth.lfoSpeed = 1;
    const int bends[] = {20, -20, 40, 0};
    startSynth(
        '3',
        {bpTable([](int) { return 0; }), bpTable([&](int k) { return bends[std::min(k, 3)]; })},
        synth);
    EXPECT_EQ(periods(7), (std::vector<int>{428, 428, 438, 418, 448, 428, 438}));
}

TEST_F(SoundMonReplayerTest, EgNegatesFromTheBackupBothWays) {
    BpSynthSpec synth;
    synth.egControl = 2;
    synth.egTable = 1;
    synth.egLength = 3;
    synth.egSpeed = 1;
    // EG levels 8, 16, 4, repeating.
    const int levels[] = {-64, 0, -96};
    startSynth('2', {bpTable([](int k) { return 10 + k; }), bpTable([&](int k) {
                         return levels[std::min(k, 2)];
                     })},
               synth);
    // Bytes 0..n of the wave are negated after ticks 1..5.
    const int negatedUpTo[] = {-1, 8, 16, 3, 8};
    for (int n : negatedUpTo) {
        ticks(1);
        for (int k = 0; k < 33; ++k)
            ASSERT_EQ(table(uint32_t(k)), k <= n ? -(10 + k) : 10 + k)
                << "tick " << ticksRun << " byte " << k;
        expectSlotMirrorsTables();
    }
    player->stopSong();
    for (int k = 0; k < 64; ++k) ASSERT_EQ(table(uint32_t(k)), 10 + k) << "restored";
    expectSlotMirrorsTables();
}

TEST_F(SoundMonReplayerTest, Version2NegatesTheStartOfTheWaveAtTheNote) {
    const struct {
        uint8_t egControl, egOffset;
        int negated;
    } cases[] = {{1, 40, 5}, {1, 0, 0}, {0, 16, 16}, {0, 200, 32}};
    for (const auto& c : cases) {
        BpSynthSpec synth;
        synth.egControl = c.egControl;
        synth.egTable = 1;
        synth.egLength = 1;
        synth.egDelay = 100;
        synth.egOffset = c.egOffset;
        startSynth('2', {bpTable([](int k) { return 10 + k; }), bpTable([](int) { return 127; })},
                   synth);
        ticks(1);
        for (int k = 0; k < 64; ++k)
            ASSERT_EQ(table(uint32_t(k)), k < c.negated ? -(10 + k) : 10 + k)
                << int(c.egOffset) << " " << k;
    }
}

TEST_F(SoundMonReplayerTest, WaveEffects) {
    // Table 0: 2k; table 1: 16 throughout; table 2: -50 + k.
    struct Case {
        const char* what;
        uint8_t wave, fx, speed, delay, mod;
        int ticks;
        std::vector<std::pair<int, int>> bytes; // offset in the tables, value
    };
    const Case cases[] = {
        {"FX 1 averages every `speed` ticks",
         0,
         1,
         2,
         0,
         0,
         2,
         {{0, 1}, {10, 21}, {31, 63}, {32, 64}}},
        {"FX 1, second pass", 0, 1, 2, 0, 0, 4, {{0, 2}, {30, 62}, {31, 63}}},
        {"FX 2 moves toward the mirrored backup",
         0,
         2,
         3,
         0,
         0,
         2,
         {{0, 3}, {15, 33}, {16, 29}, {31, 59}}},
        {"FX 3 with the wave as backed up", 0, 3, 3, 0, 0, 3, {{0, 0}, {31, 62}}},
        {"FX 4 moves from the next table", 0, 4, 2, 0, 0, 2, {{0, 14}, {8, 16}, {9, 18}, {31, 18}}},
        {"FX 6 waits its delay", 0, 6, 2, 2, 0, 3, {{0, 0}, {31, 62}}},
        {"FX 6 copies the next table", 0, 6, 2, 2, 0, 4, {{0, 16}, {31, 16}}},
        {"FX 6 then averages", 0, 6, 2, 2, 0, 5, {{0, 16}, {31, 40}}},
        {"FX 4 on the last table", 2, 4, 2, 0, 0, 3, {{128, -50}, {159, -19}}},
        {"FX 6 on the last table", 2, 6, 2, 0, 0, 3, {{128, -50}, {159, -19}}},
        {"MOD sets byte 32", 0, 0, 0, 0, 1, 2, {{32, -50}}},
        {"MOD once", 0, 0, 0, 0, 1, 5, {{32, -49}, {31, 62}}},
        {"nothing active leaves the tables", 0, 0, 0, 0, 0, 10, {{0, 0}, {32, 64}}},
    };
    for (const Case& c : cases) {
        BpSynthSpec synth;
        synth.waveTable = c.wave;
        synth.fxControl = c.fx;
        synth.fxSpeed = c.speed;
        synth.fxDelay = c.delay;
        synth.modControl = c.mod;
        synth.modTable = 2;
        synth.modSpeed = 1;
        synth.modLength = 2;
        startSynth('3',
                   {bpTable([](int k) { return 2 * k; }), bpTable([](int) { return 16; }),
                    bpTable([](int k) { return k - 50; })},
                   synth);
        ticks(c.ticks);
        for (auto [offset, value] : c.bytes)
            EXPECT_EQ(table(uint32_t(offset)), value) << c.what << " @" << offset;
        expectSlotMirrorsTables();
    }
}

TEST_F(SoundMonReplayerTest, FxControlSwitchesMidNote) {
    BpSynthSpec synth;
    synth.fxControl = 2;
    synth.fxSpeed = 3;
    // Row 1 switches to FX 3 from tick 8: back toward the backup.
    startSynth('3', {bpTable([](int k) { return 2 * k; }), bpTable([](int) { return 0; })}, synth,
               {13, 1, 0, 0}, {0, 0, 11, 3});
    ticks(7); // FX 2 on ticks 2-7
    EXPECT_EQ(table(0), 18);
    EXPECT_EQ(table(31), 44);
    ticks(1);
    EXPECT_EQ(table(0), 15);
    EXPECT_EQ(table(31), 47);
}

TEST_F(SoundMonReplayerTest, TablesAreRestoredAfterMeasurementStopAndSeek) {
    BpSynthSpec synth;
    synth.fxControl = 2;
    synth.fxSpeed = 1;
    startSynth('3', {bpTable([](int k) { return 2 * k; }), bpTable([](int) { return 0; })}, synth);
    for (int k = 0; k < 64; ++k) ASSERT_EQ(table(uint32_t(k)), 2 * k) << "after the measurement";
    expectSlotMirrorsTables();
    ticks(50);
    std::vector<int8_t> played(player->tables(), player->tables() + 128);
    EXPECT_NE(played[0], 0);
    EXPECT_EQ(player->seekToMs(1000), 1000); // 50 ticks of 20 ms
    EXPECT_EQ(std::vector<int8_t>(player->tables(), player->tables() + 128), played);
    player->stopSong();
    for (int k = 0; k < 64; ++k) ASSERT_EQ(table(uint32_t(k)), 2 * k) << "after stopping";
    expectSlotMirrorsTables();
}

TEST_F(SoundMonReplayerTest, FilterEffectFollowsTheSetting) {
    BpSong s = voice0('3');
    s.patterns[0][0] = {13, 1, 3, 0};
    s.patterns[0][1] = {0, 0, 3, 1};
    for (int on : {1, 0}) {
        soundMonEmulateFilter = on;
        start(soundMonBytes(s));
        EXPECT_EQ(bool(mixer.currentOutputFlags() & outputLedFilter), bool(on)) << "at the start";
        ticks(1);
        EXPECT_FALSE(mixer.currentOutputFlags() & outputLedFilter);
        ticks(6);
        EXPECT_EQ(bool(mixer.currentOutputFlags() & outputLedFilter), bool(on)) << "effect 3 on";
    }
    soundMonEmulateFilter = 1;
}
