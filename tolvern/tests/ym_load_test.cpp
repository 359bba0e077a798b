// The YM loaders: every variant's layout, the texts and digidrums, and files
// whose sizes and counts lie.
#include "tolvern/tests/recording_sink.h"
#include "tolvern/tests/ym_writer.h"
#include "tolvern/ym.h"

#include <gtest/gtest.h>

using namespace tolvern;
using namespace tolvern::test;

namespace {

// Frames whose registers all differ, so a wrong de-interleave shows.
std::vector<Registers> countingFrames(int n) {
    std::vector<Registers> frames(size_t(n), Registers{});
    for (int i = 0; i < n; ++i)
        for (int r = 0; r < 16; ++r) frames[size_t(i)][size_t(r)] = uint8_t(i * 7 + r * 13);
    return frames;
}

void expectFrame(const _corvel_YM& ym, int i, const Registers& r, bool timers) {
    const _corvel_YM_LINE& l = *ym.GetLine(i);
    EXPECT_EQ(int(l.PeriodA), r[1] << 8 | r[0]) << "frame " << i;
    EXPECT_EQ(int(l.PeriodB), r[3] << 8 | r[2]);
    EXPECT_EQ(int(l.PeriodC), r[5] << 8 | r[4]);
    EXPECT_EQ(int(l.PeriodNoice), r[6]);
    EXPECT_EQ(int(l.MixerControl), r[7]);
    EXPECT_EQ(int(l.VolumeA), r[8]);
    EXPECT_EQ(int(l.VolumeB), r[9]);
    EXPECT_EQ(int(l.VolumeC), r[10]);
    EXPECT_EQ(int(l.WaveformPeriod), r[12] << 8 | r[11]);
    EXPECT_EQ(int(l.WaveformShape), r[13]);
    EXPECT_EQ(int(l.Timer1), timers ? r[14] : 0);
    EXPECT_EQ(int(l.Timer2), timers ? r[15] : 0);
}

struct Loaded {
    _corvel_YM ym;
    RecordingSink sink;
    int result = 0;
    Loaded() : ym(&sink) {}
};

std::unique_ptr<Loaded> load(const std::vector<uint8_t>& image) {
    auto l = std::make_unique<Loaded>();
    l->result = l->ym.ymLoadImage(image.data(), image.size());
    return l;
}

std::string text(void (_corvel_YM::*get)(char*, size_t) const, const _corvel_YM& ym) {
    char buffer[300];
    (ym.*get)(buffer, sizeof buffer);
    return buffer;
}

} // namespace

TEST(YmLoad, Ym2And3ReadFourteenRegistersAndNoTexts) {
    for (const char* magic : {"YM2!", "YM3!"}) {
        YmSong song;
        song.magic = magic;
        song.frames = countingFrames(100);
        const std::vector<uint8_t> image = buildYm(song);
        ASSERT_EQ(image.size(), 4u + 14 * 100);
        auto l = load(image);
        ASSERT_EQ(l->result, 1);
        EXPECT_EQ(l->ym.GetType(), magic[2] - '0');
        EXPECT_EQ(l->ym.GetLines(), 100);
        EXPECT_EQ(l->ym.GetPlayTime(), 2);
        EXPECT_EQ(l->ym.GetSampleAmount(), 0);
        EXPECT_EQ(text(&_corvel_YM::GetTitle, l->ym), "not available");
        EXPECT_EQ(text(&_corvel_YM::GetAuthor, l->ym), "not available");
        EXPECT_EQ(text(&_corvel_YM::GetComment, l->ym), "not available");
        for (int i : {0, 1, 57, 99}) expectFrame(l->ym, i, song.frames[size_t(i)], false);
        EXPECT_TRUE(l->sink.messages.empty());
    }
}

TEST(YmLoad, Ym4To6ReadDrumsTextsAndSixteenRegisters) {
    for (const char* magic : {"YM4!", "YM5!", "YM6!"}) {
        YmSong song;
        song.magic = magic;
        song.frames = countingFrames(300);
        song.drums = {{0x00, 0x80, 0xFF}, std::vector<uint8_t>(1000, 0x42)};
        song.title = "a";
        song.author = "b";
        song.comment = "c";
        song.additional = magic[2] == '4' ? 0 : 5;
        auto l = load(buildYm(song));
        ASSERT_EQ(l->result, 1) << magic;
        EXPECT_EQ(l->ym.GetType(), magic[2] - '0');
        EXPECT_EQ(l->ym.GetLines(), 300);
        EXPECT_EQ(l->ym.GetPlayTime(), 6);
        EXPECT_EQ(text(&_corvel_YM::GetTitle, l->ym), "a");
        EXPECT_EQ(text(&_corvel_YM::GetAuthor, l->ym), "b");
        EXPECT_EQ(text(&_corvel_YM::GetComment, l->ym), "c");
        ASSERT_EQ(l->ym.GetSampleAmount(), 2);
        EXPECT_EQ(l->ym.GetSample(0), song.drums[0]);
        EXPECT_EQ(l->ym.GetSampleLength(1), 1000u);
        EXPECT_EQ(l->ym.GetSample(1), song.drums[1]);
        for (int i : {0, 1, 150, 299}) expectFrame(l->ym, i, song.frames[size_t(i)], true);
    }
}

TEST(YmLoad, Ym5DrumsAreCopiedOnlyForTheirAttributes) {
    struct Case {
        uint32_t attributes;
        bool copied;
    } cases[] = {{0, false}, {1, true}, {2, true}, {3, true}, {5, false}, {7, true}};
    for (const Case& c : cases) {
        YmSong song;
        song.frames = countingFrames(3);
        song.attributes = c.attributes;
        song.drums = {{1, 2, 3, 4}};
        auto l = load(buildYm(song));
        ASSERT_EQ(l->result, 1);
        EXPECT_EQ(l->ym.GetSample(0), c.copied ? song.drums[0] : std::vector<uint8_t>(4, 0))
            << "attributes " << c.attributes;
    }
}

TEST(YmLoad, Ym3bIsRecognisedButLoadsNothing) {
    auto l = load({'Y', 'M', '3', 'b', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    EXPECT_EQ(l->result, 1);
    EXPECT_EQ(l->ym.GetType(), kYm3b);
    EXPECT_EQ(l->ym.GetLines(), 0);
    EXPECT_TRUE(l->sink.messages.empty());
}

TEST(YmLoad, RefusedFilesSayWhy) {
    YmSong good;
    good.frames = countingFrames(10);
    good.drums = {{1, 2, 3}};
    good.title = "title";
    auto image = [&](auto change) {
        YmSong s = good;
        change(s);
        return buildYm(s);
    };
    auto patch = [&](size_t at, uint8_t v) {
        std::vector<uint8_t> b = buildYm(good);
        b[at] = v;
        return b;
    };
    auto cut = [&](size_t n) {
        std::vector<uint8_t> v = buildYm(good);
        v.resize(n);
        return v;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> image;
        int type;
        const char* message;
    };
    const char* truncated = "Error YM-file is truncated !";
    std::vector<Case> cases = {
        {"unknown magic", image([](YmSong& s) { s.magic = "YM7!"; }), 0,
         "Error File is either not an YM-file or not depacked !"},
        {"too short for a magic",
         {'Y', 'M'},
         0,
         "Error File is either not an YM-file or not depacked !"},
        {"check string", image([](YmSong& s) { s.check = "TaMbUrK?"; }), 5,
         "Error Wrong check string in YM-file !"},
        {"check string YM4", image([](YmSong& s) {
             s.magic = "YM4!";
             s.check = "tAmBuRk!";
         }),
         4, "Error Wrong check string in YM-file !"},
        {"header cut", cut(30), 5, truncated},
        {"drum runs past the end", cut(34 + 4 + 2), 5, truncated},
        {"more drums declared than held", image([](YmSong& s) { s.declaredDrums = 60000; }), 5,
         truncated},
        {"additional data past the end", patch(32, 0xFF), 5, truncated},
        {"title without its zero", cut(34 + 4 + 3 + 3), 5, truncated},
        {"frames far beyond the file", image([](YmSong& s) { s.declaredFrames = 0x7FFFFFFF; }), 5,
         truncated},
    };
    for (const Case& c : cases) {
        auto l = load(c.image);
        EXPECT_EQ(l->result, 0) << c.what;
        EXPECT_EQ(l->ym.GetType(), c.type) << c.what;
        EXPECT_EQ(l->ym.GetLines(), 0) << c.what;
        EXPECT_EQ(l->sink.messages, std::vector<std::string>{c.message}) << c.what;
    }
}

TEST(YmLoad, SizesFromTheFileAreBounded) {
    // More frames declared than the file holds: only the complete ones load.
    YmSong song;
    song.frames = countingFrames(100);
    song.declaredFrames = 101;
    auto l = load(buildYm(song));
    EXPECT_EQ(l->result, 1);
    // With a stride of 101 the last register of frame i is at 15 * 101 + i, and
    // the file holds 16 * 100 + 4 bytes of register data and "End!".
    EXPECT_EQ(l->ym.GetLines(), 16 * 100 + 4 - 15 * 101);

    // Forty drums: all are walked, the first 32 kept.
    YmSong many;
    many.frames = countingFrames(5);
    for (int i = 0; i < 40; ++i)
        many.drums.push_back(std::vector<uint8_t>(size_t(i + 1), uint8_t(i)));
    many.comment = std::string(400, 'x');
    auto m = load(buildYm(many));
    ASSERT_EQ(m->result, 1);
    EXPECT_EQ(m->ym.GetSampleAmount(), 32);
    EXPECT_EQ(m->ym.GetSample(31), many.drums[31]);
    EXPECT_EQ(text(&_corvel_YM::GetComment, m->ym), std::string(255, 'x'));
    expectFrame(m->ym, 4, many.frames[4], true);
}

TEST(YmLoad, PackedFilesLoadAndFailuresAreTold) {
    TempDir dir;
    YmSong song;
    song.frames = countingFrames(400);
    song.title = "Packed";
    const std::vector<uint8_t> archive = packLh5(buildYm(song), dir.path());
    writeFile(dir / "good.ym", archive);
    {
        RecordingSink sink;
        _corvel_YM ym(&sink);
        EXPECT_EQ(ym.LoadFile((dir / "good.ym").c_str()), 1);
        EXPECT_EQ(ym.GetLines(), 400);
        EXPECT_EQ(text(&_corvel_YM::GetTitle, ym), "Packed");
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_FALSE(fileExists(dir / "temp.tmp"));
    }
    auto patched = [&](size_t at, uint8_t v) {
        std::vector<uint8_t> a = archive;
        a[at] = v;
        return a;
    };
    const size_t crcAt = 22 + archive[21];
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        std::string message;
    } cases[] = {
        {"plain.ym", buildYm(song), "Not an lha file : "},
        {"level.ym", patched(20, 2), "Error : LHA header level must be 0"},
        {"crc.ym", patched(crcAt, uint8_t(archive[crcAt] + 1)),
         "Error : CRC error in lh5 - file !"},
        {"cut.ym", std::vector<uint8_t>(archive.begin(), archive.end() - 40),
         "Error : Corrupted lh5 - file !"},
    };
    // A user's own working file of the old name is never touched.
    writeFile(dir / "temp.tmp", {'m', 'i', 'n', 'e'});
    for (const Case& c : cases) {
        writeFile(dir / c.name, c.file);
        RecordingSink sink;
        _corvel_YM ym(&sink);
        EXPECT_EQ(ym.LoadFile((dir / c.name).c_str()), 0) << c.name;
        EXPECT_EQ(ym.GetLines(), 0) << c.name;
        std::string expected = c.message;
        if (expected.back() == ' ') expected += dir / c.name;
        EXPECT_EQ(sink.messages, std::vector<std::string>{expected}) << c.name;
    }
    RecordingSink sink;
    _corvel_YM ym(&sink);
    EXPECT_EQ(ym.LoadFile((dir / "missing.ym").c_str()), 0);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Not found : " + (dir / "missing.ym")});
    EXPECT_EQ(readFile(dir / "temp.tmp"), (std::vector<uint8_t>{'m', 'i', 'n', 'e'}));
}
