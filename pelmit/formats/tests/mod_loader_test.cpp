// MOD detection and loading on generated modules: tags, 15-sample files,
// header checks, the loop fix, tracker guessing, cells, titles, truncated
// files and what a failed load gives back.
#include "pelmit/formats/mod_loader.h"
#include "pelmit/formats/mod_tables.h"
#include "pelmit/formats/tests/mod_fixture.h"

#include <cstring>

using namespace pelmit;
using namespace pelmit::test;

namespace {

ModWriter oneNoteModule(int channels = 4, const std::string& tag = "M.K.") {
    ModWriter w(channels, tag);
    w.samples.push_back(loopedSample());
    w.note(0, 0, 0, periodOf(36), 1);
    return w;
}

int identify(const std::string& path) {
    std::FILE* f = jk::test::openFile(path, "rb");
    const int channels = modFileType.identifyMod(f, path.c_str());
    std::fclose(f);
    return channels;
}

} // namespace

TEST(ModTables, FinetuneRowsAndTheirOuterOctaves) {
    const auto& row0 = modFinetunePeriods[0];
    EXPECT_EQ(
        std::vector<int>(row0.begin(), row0.begin() + 12),
        (std::vector<int>{3424, 3232, 3048, 2880, 2712, 2560, 2416, 2280, 2152, 2032, 1920, 1814}));
    EXPECT_EQ(std::vector<int>(row0.end() - 4, row0.end()), (std::vector<int>{33, 31, 30, 28}));
    EXPECT_EQ(row0[23], 907);
    // Octaves 2 and 3 come from floor-halving, not from other trackers' table.
    EXPECT_EQ(row0[52], 169);
    EXPECT_EQ(row0[55], 142);
    EXPECT_EQ(row0[56], 134);
    EXPECT_EQ(modFinetunePeriods[1][48], 212);
    EXPECT_EQ(modFinetunePeriods[8][0], 3628);
    EXPECT_EQ(modFinetunePeriods[15][83], 28);
    EXPECT_EQ(modPeriodTable[24], 856);
    EXPECT_EQ(modPeriodTable[83], 28);
    EXPECT_EQ(modPeriodTable[84], 0);
}

TEST_F(ModTest, TagsGiveChannelsAndTracker) {
    struct Case {
        std::string tag;
        int channels; // 0 = refused
        TrackerType tracker;
    } cases[] = {
        {"M.K.", 4, trackerNoiseTracker12}, {"M!K!", 4, trackerProTracker},
        {"WN\0&", 4, trackerProTracker},    {"FLT4", 4, trackerStarTrekker},
        {"6CHN", 6, trackerFastTracker},    {"8CHN", 8, trackerFastTracker},
        {"16CH", 16, trackerFastTracker},   {"32CH", 32, trackerFastTracker},
        {"33CH", 0, trackerFastTracker},    {"M.CH", 0, trackerFastTracker},
        {"0CHN", 0, trackerFastTracker},    {"00CH", 0, trackerFastTracker},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        std::string tag = c.tag;
        if (tag == "WN\0&") tag = std::string("WN\0&", 4);
        ModWriter w = oneNoteModule(c.channels ? c.channels : 4, tag);
        w.restart = 0;
        const std::string path = write(w);
        EXPECT_EQ(identify(path), c.channels);
        ASSERT_EQ(load(path), c.channels != 0);
        if (!c.channels) continue;
        EXPECT_EQ(player->channelCount(), c.channels);
        EXPECT_EQ(player->songData().trackerType, c.tracker);
        const bool fast = c.tracker == trackerFastTracker;
        EXPECT_EQ(player->songData().periodMin, fast ? 28 : 107);
        EXPECT_EQ(player->songData().periodMax, fast ? 3628 : 907);
    }
}

TEST_F(ModTest, FifteenSampleModulesNeedTheirName) {
    ModWriter w = oneNoteModule(4, "");
    w.samples[0].loopStart = 20; // stored in bytes by the old trackers
    w.samples[0].loopLength = 10;
    for (const char* name : {"tune.mod", "MOD.tune", "x.MoD"}) {
        SCOPED_TRACE(name);
        const std::string path = write(w, name);
        EXPECT_EQ(identify(path), 4);
        ASSERT_TRUE(load(path));
        const ModSong& s = player->songData();
        EXPECT_EQ(s.sampleCount, 15);
        EXPECT_EQ(s.trackerType, trackerSoundTracker);
        EXPECT_EQ(s.samples[0].loopStart, 20u); // 20 bytes: halved to 10 words
        EXPECT_EQ(s.samples[0].loopEnd, 40u);
        EXPECT_EQ(s.track(0, 0)[0].note, 36); // patterns at 600
        for (int i = 15; i < modMaxSamples; ++i) EXPECT_EQ(s.samples[i].length, 0u);
        // The sample data follows the one pattern.
        const SampleSlot& slot = mixer.slotState(1);
        ASSERT_NE(slot.start, nullptr);
        EXPECT_EQ(std::memcmp(slot.start, w.samples[0].data.data(), 64), 0);
    }
    EXPECT_EQ(identify(write(w, "tune.bin")), 0);
    EXPECT_FALSE(load(write(w, "tune.xm")));
}

TEST_F(ModTest, HeaderChecksRefuseWhatIsNoModule) {
    struct Case {
        const char* what;
        void (*change)(ModWriter&);
        bool accepted;
    } cases[] = {
        {"song length 0", [](ModWriter& w) { w.songLengthOverride = 0; }, false},
        {"song length 129", [](ModWriter& w) { w.songLengthOverride = 129; }, false},
        {"song length 128", [](ModWriter& w) { w.songLengthOverride = 128; }, true},
        {"volume 65", [](ModWriter& w) { w.samples[0].volume = 65; }, false},
        {"finetune 16", [](ModWriter& w) { w.samples[0].finetune = 16; }, false},
        {"finetune 0x80", [](ModWriter& w) { w.samples[0].finetune = 0x80; }, true},
        {"finetune 0xFF", [](ModWriter& w) { w.samples[0].finetune = 0xFF; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModWriter w = oneNoteModule();
        c.change(w);
        const std::string path = write(w);
        EXPECT_EQ(identify(path) != 0, c.accepted);
        EXPECT_EQ(load(path), c.accepted);
    }
    // Headers cut short: every read is checked, whatever the name says.
    const std::vector<uint8_t> full = oneNoteModule().bytes();
    for (size_t size : {size_t(0), size_t(19), size_t(500), size_t(1083)}) {
        SCOPED_TRACE(size);
        const std::string path =
            write(std::vector<uint8_t>(full.begin(), full.begin() + long(size)), "cut.mod");
        EXPECT_EQ(identify(path), 0);
        EXPECT_FALSE(load(path));
    }
}

TEST_F(ModTest, SampleRecordsBecomeBytesVolumesAndLoops) {
    struct Case {
        int length, loopStart, loopLength; // words, as the file holds them
        uint32_t expectedStart, expectedEnd;
    } cases[] = {
        {100, 10, 20, 20, 60},     // a plain loop
        {100, 10, 1, 0, 0},        // loop length 1: no loop
        {100, 10, 0, 0, 0},        //
        {100, 90, 20, 90, 130},    // past the end: the start stood in bytes (halved to 45)
        {100, 150, 60, 150, 200},  // halved to 75, then cut to the end
        {100, 250, 1, 0, 0},       // loop start past the end, length 1: no loop
        {100, 230, 2, 0, 0},       // halved to 115: still past the end, no loop
        {100, 100, 100, 100, 200}, // halved to 50, cut to 50 words
    };
    ModWriter w;
    for (const Case& c : cases) {
        WriterSample s;
        s.data.assign(size_t(2 * c.length), 1);
        s.loopStart = uint16_t(c.loopStart);
        s.loopLength = uint16_t(c.loopLength);
        w.samples.push_back(s);
    }
    w.samples[0].volume = 64;
    w.samples[1].volume = 32;
    w.samples[2].volume = 0;
    w.samples[1].finetune = 0xF8;
    w.restart = 0;
    ASSERT_TRUE(load(w));
    const ModSong& song = player->songData();
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(song.samples[i].length, 200u);
        EXPECT_EQ(song.samples[i].loopStart, cases[i].expectedStart);
        EXPECT_EQ(song.samples[i].loopEnd, cases[i].expectedEnd);
    }
    EXPECT_EQ(song.samples[0].volume, 255);
    EXPECT_EQ(song.samples[1].volume, 127);
    EXPECT_EQ(song.samples[2].volume, 0);
    EXPECT_EQ(song.samples[1].finetune, 0xF8); // kept as the file has it
    // A halved loop start makes an "M.K." module a SoundTracker one.
    EXPECT_EQ(song.trackerType, trackerSoundTracker);
    EXPECT_EQ(song.periodMax, 907);
}

TEST_F(ModTest, CellsBecomeNoteIndexesSamplesAndEffects) {
    ModWriter w;
    w.samples.push_back(loopedSample());
    const uint16_t periods[] = {856, 850, 0, 3424, 4000, 28, 27, 113, 907};
    const uint8_t expected[] = {24, 25, 84, 0, 0, 83, 84, 59, 23};
    for (int r = 0; r < int(std::size(periods)); ++r) w.note(0, r, 0, periods[r], 1);
    w.note(0, 0, 1, 0, 0, 0xC, 0x40);
    w.note(0, 1, 1, 0, 0, 0xC, 0x20);
    w.note(0, 2, 1, 0, 0, 0xC, 0xFF);
    w.note(0, 3, 1, 0, 0x1F, 0xB, 0x7F); // sample 31, any parameter
    w.note(0, 4, 1, 0, 0x20, 0, 0);      // no sample 32: none
    ASSERT_TRUE(load(w));
    const ModSong& s = player->songData();
    for (size_t r = 0; r < std::size(periods); ++r)
        EXPECT_EQ(s.track(0, 0)[r].note, expected[r]) << periods[r];
    EXPECT_EQ(s.track(0, 1)[0].parameter, 255);
    EXPECT_EQ(s.track(0, 1)[1].parameter, 127);
    EXPECT_EQ(s.track(0, 1)[2].parameter, 255);
    EXPECT_EQ(s.track(0, 1)[3].sample, 31);
    EXPECT_EQ(s.track(0, 1)[3].effect, 0xB);
    EXPECT_EQ(s.track(0, 1)[3].parameter, 0x7F);
    EXPECT_EQ(s.track(0, 1)[4].sample, 0);
}

TEST_F(ModTest, TrackerGuessOfNoiseTrackerModules) {
    struct Case {
        const char* what;
        uint8_t restart;
        uint8_t effect, parameter;
        TrackerType tracker;
        int restartPosition;
    } cases[] = {
        {"restart 1, plain effects", 1, 0xA, 0x01, trackerNoiseTracker12, 1},
        {"restart 127", 127, 0, 0, trackerProTracker, 0},
        {"restart 120", 120, 0, 0, trackerProTracker, 0},
        {"restart at the length", 2, 0, 0, trackerProTracker, 0},
        {"an E command", 0, 0xE, 0x00, trackerProTracker, 0},
        {"effect 5", 0, 0x5, 0x01, trackerProTracker, 0},
        {"effect F", 0, 0xF, 0x06, trackerNoiseTracker12, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModWriter w;
        w.samples.push_back(loopedSample());
        w.order = {0, 1};
        w.restart = c.restart;
        w.note(1, 5, 2, 0, 0, c.effect, c.parameter);
        ASSERT_TRUE(load(w));
        EXPECT_EQ(player->songData().trackerType, c.tracker);
        EXPECT_EQ(player->songData().restartPosition, c.restartPosition);
    }
}

TEST_F(ModTest, UsedEffectsAndTheHighestPattern) {
    ModWriter w;
    w.samples.push_back(loopedSample());
    w.order = {0};
    w.unusedOrder = {0, 3}; // beyond the song, yet read
    w.note(0, 0, 0, 0, 0, 0x0, 0x37);
    w.note(0, 1, 0, 0, 0, 0xE, 0x60);
    w.note(0, 2, 0, 0, 0, 0xE, 0xE2);
    w.note(3, 0, 0, 0, 0, 0x9, 0x10);
    ASSERT_TRUE(load(w));
    const ModSong& s = player->songData();
    EXPECT_EQ(s.highestPattern, 3);
    EXPECT_EQ(s.usedEffects,
              (1u << 0) | (1u << 14) | (1u << (16 + 6)) | (1u << (16 + 14)) | (1u << 9));
    EXPECT_EQ(s.track(3, 0)[0].effect, 9);
    ASSERT_NE(mixer.slotState(1).start, nullptr); // the sample data after pattern 3
    EXPECT_EQ(std::memcmp(mixer.slotState(1).start, w.samples[0].data.data(), 64), 0);
}

TEST_F(ModTest, TruncatedSamplesAreSilenceAndThePatternsZeros) {
    ModWriter w;
    w.samples.push_back(loopedSample());
    w.samples.push_back(loopedSample());
    w.samples[1].data.assign(1000, 50);
    w.note(0, 0, 0, periodOf(36), 2);
    std::vector<uint8_t> bytes = w.bytes();
    bytes.resize(bytes.size() - 600); // 400 of the second sample's 1000 bytes are left
    ASSERT_TRUE(load(write(bytes)));
    const SampleSlot& slot = mixer.slotState(2);
    ASSERT_EQ(slot.end - slot.start, 1000);
    EXPECT_EQ(slot.start[399], 50);
    EXPECT_EQ(slot.start[400], 0);
    EXPECT_GT(player->songLengthMs(), 0);

    bytes.resize(1084 + 100); // the pattern cut short, no sample data at all
    ASSERT_TRUE(load(write(bytes)));
    EXPECT_EQ(player->songData().track(0, 0)[0].note, 36);
    EXPECT_EQ(player->songData().track(0, 0)[1].note, modNoNote);
    EXPECT_EQ(mixer.slotState(1).start[0], 0);
}

TEST_F(ModTest, TrailingPatternDelaysEndTheSongWhenStripped) {
    ModWriter w;
    w.samples.push_back(loopedSample());
    w.order = {0, 1};
    w.note(1, 0, 0, periodOf(36), 1);
    w.note(1, 61, 1, 0, 0, 0xE, 0xE5);
    w.note(1, 62, 2, 0, 0, 0xE, 0xEF);
    w.note(1, 63, 3, 0, 0, 0xE, 0xE1);
    w.note(1, 63, 0, 0, 0, 0xA, 0x01); // effect A: row 63 does not qualify...
    const auto rowsMarked = [&] {
        int marked = 0;
        for (int r = 0; r < modRows; ++r)
            marked += player->songData().track(1, 0)[r].sample == modEndMark;
        return marked;
    };
    ASSERT_TRUE(load(w));
    EXPECT_EQ(rowsMarked(), 0); // the setting is off

    ModFileType::stripTrailingPause = 1;
    ASSERT_TRUE(load(w));
    EXPECT_EQ(rowsMarked(), 0);      // ... so nothing is stripped
    w.note(1, 63, 0, 0, 0, 0, 0x55); // effect 0 with any parameter qualifies
    ASSERT_TRUE(load(w));
    const int full = player->songLengthMs();
    EXPECT_EQ(rowsMarked(), 3);
    EXPECT_EQ(player->songData().track(1, 0)[60].sample, 0); // no delay in row 60

    ModFileType::stripTrailingPause = 0;
    ASSERT_TRUE(load(w));
    EXPECT_GT(player->songLengthMs(), full);
    // The last pattern must be played only at the end.
    ModFileType::stripTrailingPause = 1;
    w.order = {1, 1};
    ASSERT_TRUE(load(w));
    EXPECT_EQ(rowsMarked(), 0);
}

TEST(ModFileName, PrefixOrSuffixOfTheNameAfterTheFolders) {
    struct Case {
        const char* path;
        bool mod;
    } cases[] = {
        {"C:\\music\\mod.intro", true},
        {"C:\\music\\Intro.MOD", true},
        {"/music/MoD.intro", true},
        {"C:\\mod.music\\intro", false},
        {"C:\\music\\intro.mod2", false},
        {"mod", false},
        {".mod", true},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(hasModFileName(c.path), c.mod) << c.path;
    EXPECT_FALSE(hasModFileName(nullptr));
}

TEST_F(ModTest, TitlesFromTheFileAndFromItsName) {
    ModWriter w = oneNoteModule();
    w.title = "twenty characters!!!";
    const std::string path = write(w);
    char title[64] = "unchanged";
    readModTitle(path.c_str(), title, sizeof title);
    EXPECT_STREQ(title, "twenty characters!!!");
    readModTitle((path + ".missing").c_str(), title, sizeof title);
    EXPECT_STREQ(title, "File not found");
    readModTitle(path.c_str(), title, 5);
    EXPECT_STREQ(title, "twen");

    w.title = "";
    ASSERT_TRUE(load(w, "mod.intro.mod"));
    player->songTitle(title, sizeof title);
    EXPECT_STREQ(title, "intro");
    ASSERT_TRUE(load(w, "A-Much-Longer-Name-Than-Twenty.MOD"));
    player->songTitle(title, sizeof title);
    EXPECT_STREQ(title, "A-Much-Longer-Name-T");
    readModTitle(files.back().c_str(), title, sizeof title);
    EXPECT_STREQ(title, ""); // the raw title of a file that is not playing
}

TEST_F(ModTest, SampleNamesStartingWithHashJoinTheTitle) {
    ModWriter w = oneNoteModule();
    w.title = "song";
    w.samples.resize(4);
    w.samples[1].name = "#by someone";
    w.samples[2].name = "not this";
    w.samples[3].name = "##2024#";
    ASSERT_TRUE(load(w));
    char title[128];
    player->songTitle(title, sizeof title);
    EXPECT_STREQ(title, "song - by someone - 2024");

    w.title = std::string(20, 'T');
    w.samples.assign(31, WriterSample{});
    for (WriterSample& s : w.samples) s.name = "#abcdefghijklmnopqrstu";
    w.samples[0] = loopedSample();
    w.samples[0].name = "#abcdefghijklmnopqrstu";
    ASSERT_TRUE(load(w));
    player->songTitle(title, sizeof title);
    EXPECT_EQ(std::string(title),
              std::string(20, 'T') + " - abcdefghijklmnopqrstu - abcdefghijklmnop");
    EXPECT_EQ(std::strlen(title), 63u);
    player->songTitle(title, 8);
    EXPECT_STREQ(title, "TTTTTTT");
}

// A file type whose loads fail after taking the voices and reading patterns
// and samples, as running out of memory would.
class FailingFileType : public ModFileType {
public:
    int loadMod(ModPlayer& player, std::FILE* stream, const char* path) override {
        ModFileType::loadMod(player, stream, path);
        return 0;
    }
};

TEST_F(ModTest, FailedLoadGivesBackItsVoicesAndSamples) {
    FailingFileType failing;
    const std::string path = write(oneNoteModule(8, "8CHN"));
    {
        ModPlayer p(failing);
        EXPECT_EQ(p.loadSong(path.c_str()), 0);
        EXPECT_EQ(mixer.voicesInUse(), 0u);
        EXPECT_EQ(mixer.slotState(1).start, nullptr);
    }
    // The next song gets the first voices and its own pans.
    ASSERT_TRUE(load(write(oneNoteModule())));
    EXPECT_EQ(mixer.voicesInUse(), 4u);
    EXPECT_EQ(player->songData().voices->voices[0], 0u);
    player->releaseSong();
    EXPECT_EQ(mixer.voicesInUse(), 0u);
    EXPECT_FALSE(load(path + ".missing"));
}
