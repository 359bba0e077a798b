// The SoundMon loader: recognition, both synth layouts, slot numbering,
// sample loops, the refused files and the title.
#include "pelmit/formats/soundmon_player.h"
#include "pelmit/mixer/tests/mixer_rig.h"
#include "player_session.h"

#include <cstdio>
#include <cstring>

using namespace pelmit;
using namespace pelmit::test;

namespace {

// One step of pattern 1 on every channel.
BpSong song(char version, int tables = 0) {
    BpSong s;
    s.version = version;
    s.steps = {{BpStepSpec{}, BpStepSpec{}, BpStepSpec{}, BpStepSpec{}}};
    s.patterns = {BpPatternSpec{}};
    s.patterns[0][0] = {13, 1, 0, 0};
    for (int t = 0; t < tables; ++t) s.tables.push_back(bpTable([t](int k) { return t * 10 + k; }));
    return s;
}

BpSynthSpec fullSynth() {
    BpSynthSpec s;
    s.waveTable = 0;
    s.waveLengthWords = 16;
    s.adsrControl = 1;
    s.adsrTable = 1;
    s.adsrLength = 64;
    s.adsrSpeed = 2;
    s.lfoControl = 1;
    s.lfoTable = 1;
    s.lfoDepth = 3;
    s.lfoLength = 32;
    s.lfoDelay = 5;
    s.lfoSpeed = 1;
    s.egControl = 1;
    s.egTable = 1;
    s.egLength = 16;
    s.egDelay = 2;
    s.egSpeed = 4;
    s.egOffset = 64;
    s.volume = 48;
    return s;
}

using SoundMonLoaderTest = PlayerSession<SoundMonPlayer>;

} // namespace

TEST_F(SoundMonLoaderTest, Version2SynthLayoutAndSlots) {
    BpSong s = song('2', 2);
    s.instruments[0] = bpSample(squareWave(64), 40, 0, 32);
    s.instruments[1] = bpSynth(fullSynth());
    ASSERT_TRUE(load(soundMonBytes(s)));
    EXPECT_EQ(player->variant(), 1);
    EXPECT_EQ(player->tableCount(), 2u);
    const SoundMonInstrument& synth = player->instrument(1);
    EXPECT_EQ(synth.kind, soundMonSynth);
    EXPECT_STREQ(synth.name, "[SYNTH]");
    EXPECT_EQ(synth.sampleSlot, 0);
    EXPECT_EQ(synth.waveLength, 32u);
    EXPECT_EQ(
        (std::vector<int>{synth.adsrControl, synth.adsrTable, synth.adsrLength, synth.adsrSpeed}),
        (std::vector<int>{1, 1, 64, 2}));
    EXPECT_EQ((std::vector<int>{synth.lfoControl, synth.lfoTable, synth.lfoDepth, synth.lfoLength,
                                synth.lfoDelay, synth.lfoSpeed}),
              (std::vector<int>{1, 1, 3, 32, 5, 1}));
    EXPECT_EQ((std::vector<int>{synth.egControl, synth.egTable, synth.egLength, synth.egDelay,
                                synth.egSpeed, synth.egOffset, synth.volume}),
              (std::vector<int>{1, 1, 16, 2, 4, 64, 48}));
    EXPECT_EQ((std::vector<int>{synth.fxControl, synth.modControl}), (std::vector<int>{0, 0}));
    const SoundMonInstrument& sample = player->instrument(0);
    EXPECT_EQ(sample.kind, soundMonSample);
    EXPECT_EQ(sample.sampleSlot, 1);
    EXPECT_EQ(sample.volume, 40);
    EXPECT_EQ(player->instrument(2).kind, soundMonEmpty);
    EXPECT_EQ(player->instrument(2).sampleSlot, -1);
    // Slot 0 holds the tables as loaded.
    const SampleSlot& tables = mixer.slotState(0);
    ASSERT_EQ(tables.end - tables.start, 128);
    EXPECT_EQ(std::memcmp(tables.start, player->tables(), 128), 0);
    EXPECT_EQ(player->tables()[64], 10);
    EXPECT_EQ(mixer.slotState(1).end - mixer.slotState(1).start, 64);
}

TEST_F(SoundMonLoaderTest, Version3SynthLayoutWithFxAndMod) {
    BpSong s = song('3', 3);
    BpSynthSpec spec = fullSynth();
    spec.lfoDelay = 7;
    spec.egLength = 300;
    spec.egDelay = 9;
    spec.fxControl = 4;
    spec.fxSpeed = 3;
    spec.fxDelay = 2;
    spec.modControl = 2;
    spec.modTable = 2;
    spec.modSpeed = 6;
    spec.modDelay = 1;
    spec.modLength = 0x0123;
    spec.egTable = 0; // byte 17 of the record, which recognition reads as the 2.0 EG control
    s.instruments[0] = bpSynth(spec);
    ASSERT_TRUE(load(soundMonBytes(s)));
    EXPECT_EQ(player->variant(), 2);
    const SoundMonInstrument& in = player->instrument(0);
    EXPECT_EQ((std::vector<int>{in.lfoDelay, in.lfoSpeed, in.egControl, in.egTable, in.egLength,
                                in.egDelay, in.egSpeed, in.egOffset}),
              (std::vector<int>{7, 1, 1, 0, 300, 9, 4, 0}));
    EXPECT_EQ((std::vector<int>{in.fxControl, in.fxSpeed, in.fxDelay, in.modControl, in.modTable,
                                in.modSpeed, in.modDelay, in.modLength, in.volume}),
              (std::vector<int>{4, 3, 2, 2, 2, 6, 1, 0x23, 48}));
}

TEST_F(SoundMonLoaderTest, SlotsFollowTheTablesInInstrumentOrder) {
    BpSong s = song('3', 3);
    s.instruments[0] = bpSynth(BpSynthSpec{});
    s.instruments[1] = bpSample(squareWave(32));
    s.instruments[4] = bpSample(squareWave(16));
    ASSERT_TRUE(load(soundMonBytes(s)));
    const int expected[15] = {0, 1, -1, -1, 2, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    for (int i = 0; i < 15; ++i) EXPECT_EQ(player->instrument(i).sampleSlot, expected[i]) << i;
    EXPECT_EQ(mixer.slotState(2).end - mixer.slotState(2).start, 16);
}

TEST_F(SoundMonLoaderTest, VersionBelow2HasNoTables) {
    BpSong s = song('1');
    s.tableCount = 3; // not read: the samples follow the patterns
    s.instruments[0] = bpSample(squareWave(32));
    ASSERT_TRUE(load(soundMonBytes(s)));
    EXPECT_EQ(player->variant(), 2);
    EXPECT_EQ(player->tableCount(), 0u);
    EXPECT_EQ(player->synthSlotNumber(), -1);
    EXPECT_EQ(player->instrument(0).sampleSlot, 0);
    EXPECT_EQ(mixer.slotState(0).start[0], 100);
}

TEST_F(SoundMonLoaderTest, SampleLoops) {
    const struct {
        uint16_t loopStart, loopWords, lengthWords;
        uint32_t start, length;
    } cases[] = {
        {0, 0, 32, 0, 0},      // no loop
        {0, 1, 32, 0, 0},      // one word is no loop
        {10, 5, 32, 10, 10},   // as stored
        {2, 150, 150, 2, 298}, // cut to the sample
        {1000, 1, 32, 0, 0},   // a start past the end with one word: no loop
    };
    for (const auto& c : cases) {
        BpSong s = song('3');
        s.instruments[0] = bpSample(squareWave(2u * c.lengthWords), 64, c.loopStart, c.loopWords);
        ASSERT_TRUE(load(soundMonBytes(s))) << c.loopStart << " " << c.loopWords;
        EXPECT_EQ(player->instrument(0).loopStart, c.start);
        EXPECT_EQ(player->instrument(0).loopLength, c.length);
        const SampleSlot& slot = mixer.slotState(0);
        EXPECT_EQ(slot.loopEnd ? slot.loopEnd - slot.loopStart : 0, long(c.length));
    }
}

TEST_F(SoundMonLoaderTest, RefusedFiles) {
    struct Case {
        const char* what;
        void (*edit)(BpSong&);
    };
    const Case cases[] = {
        {"version above 3", [](BpSong& s) { s.version = '4'; }},
        {"no steps", [](BpSong& s) { s.steps.clear(); }},
        {"step pattern 0", [](BpSong& s) { s.steps[0][2].pattern = 0; }},
        {"synth wave table past the tables",
         [](BpSong& s) {
             s.instruments[3] = bpSynth(BpSynthSpec{});
             s.instruments[3].synthSpec.waveTable = 2;
         }},
        {"synth instrument without tables (version below 2)",
         [](BpSong& s) {
             s.version = '1';
             s.instruments[3] = bpSynth(BpSynthSpec{});
         }},
        {"2.0 EG table past the tables, checked in every version",
         [](BpSong& s) {
             s.instruments[3] = bpSynth(BpSynthSpec{});
             s.instruments[3].synthSpec.egTable = 1;       // byte 17
             s.instruments[3].synthSpec.egLength = 0x0500; // byte 18 in the 2.2 layout
         }},
        {"sample loop past the end",
         [](BpSong& s) { s.instruments[0] = bpSample(squareWave(32), 64, 32, 2); }},
    };
    for (const Case& c : cases) {
        BpSong s = song('3', 2);
        c.edit(s);
        EXPECT_FALSE(load(soundMonBytes(s))) << c.what;
    }
    // A file cut short in its step table.
    Bytes cut = soundMonBytes(song('3'));
    cut.resize(32 + 15 * 32 + 10);
    EXPECT_FALSE(load(cut));
}

TEST_F(SoundMonLoaderTest, AModuleWithVersionMarkInASampleNameIsNotSoundMon) {
    // A 31-sample module whose first sample name holds "V.2" at file offset 26.
    Bytes mod(1084 + 1024, 0);
    std::memcpy(&mod[0], "a module", 8);
    std::memcpy(&mod[20], "sampleV.2 name", 14);
    for (int i = 0; i < 31; ++i) {
        uint8_t* r = &mod[20 + 30 * size_t(i)];
        r[22] = 0x10; // length 4096 words, no loop (loop length 1)
        r[25] = 64;
        r[29] = 1;
    }
    mod[950] = 1;
    std::memcpy(&mod[1080], "M.K.", 4);
    std::string path = write(mod);
    std::FILE* f = jk::test::openFile(path, "rb");
    EXPECT_EQ(identifySoundMon(f), 0);
    std::fclose(f);
    EXPECT_FALSE(load(mod));
}

TEST_F(SoundMonLoaderTest, RecognitionLeavesTheStreamAfterTheInstruments) {
    std::string path = write(soundMonBytes(song('2', 1)));
    std::FILE* f = jk::test::openFile(path, "rb");
    EXPECT_EQ(identifySoundMon(f), 1);
    EXPECT_EQ(std::ftell(f), 32 + 15 * 32);
    std::fclose(f);
}

TEST_F(SoundMonLoaderTest, UsedEffectsAndClampedTableNumbers) {
    BpSong s = song('3', 2);
    auto& p = s.patterns[0];
    p[1] = {0, 0, 10, 0};
    p[2] = {0, 0, 0, 0};
    p[3] = {0, 0, 1, 0};
    p[4] = {0, 0, 11, 3};
    BpSynthSpec spec;
    spec.egTable = 9; // the 2.2 EG and MOD tables are not checked by recognition
    spec.modTable = 7;
    s.instruments[0] = bpSynth(spec);
    ASSERT_TRUE(load(soundMonBytes(s)));
    EXPECT_EQ(player->effectsUsed(), (1u << 1) | (1u << 11));
    EXPECT_EQ(player->instrument(0).egTable, 0);
    EXPECT_EQ(player->instrument(0).modTable, 0);

    p[2] = {0, 0, 0, 0x37};
    ASSERT_TRUE(load(soundMonBytes(s)));
    EXPECT_EQ(player->effectsUsed(), 1u | (1u << 1) | (1u << 11));
}

TEST_F(SoundMonLoaderTest, ShortFilesKeepWhatWasRead) {
    BpSong s = song('3', 1);
    s.instruments[0] = bpSample(squareWave(64));
    Bytes bytes = soundMonBytes(s);
    bytes.resize(bytes.size() - 40);
    ASSERT_TRUE(load(bytes));
    const SampleSlot& slot = mixer.slotState(1);
    ASSERT_EQ(slot.end - slot.start, 64);
    EXPECT_EQ(slot.start[23], 100);
    EXPECT_EQ(slot.start[24], 0) << "the part past the end of the file is silent";
}

TEST_F(SoundMonLoaderTest, Titles) {
    BpSong s = song('3');
    s.title = "abcdefghijklmnopqrstuvwxyz0123";
    std::string path = write(soundMonBytes(s));
    char title[64] = "unchanged";
    readSoundMonTitle(path.c_str(), title, sizeof title);
    EXPECT_STREQ(title, "abcdefghijklmnopqrstuvwxyz");
    readSoundMonTitle((folder / "missing").string().c_str(), title, sizeof title);
    EXPECT_STREQ(title, "");
    ASSERT_TRUE(load(soundMonBytes(s)));
    player->songTitle(title, sizeof title);
    EXPECT_STREQ(title, "abcdefghijklmnopqrstuvwxyz");
    player->songTitle(title, 4);
    EXPECT_STREQ(title, "abc");
}
