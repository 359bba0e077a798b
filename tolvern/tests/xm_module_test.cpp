// The XM file as players see it: header, patterns and rows, the instrument
// block, the sample files, and no file at all when there is nothing to write.
#include "tests/test_files.h"
#include "tolvern/tests/xm_check.h"
#include "tolvern/xm_channel.h"
#include "tolvern/xm_module.h"
#include "tolvern/ym.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace tolvern;
using namespace tolvern::test;

namespace {

YmSong framesOfTone(int count) {
    YmSong song;
    Registers r = silentFrame();
    playTone(r, 0, 478, 15);
    song.frames.assign(size_t(count), r);
    return song;
}

std::string command(const std::string& cmd) {
    // A module the peer refuses shows in its report, which the test reads.
    int status = 0;
    return jk::test::commandOutput(cmd, &status);
}

std::string infoLine(const std::string& info, const std::string& key) {
    size_t at = info.find("\n" + key);
    if (at == std::string::npos) return "";
    size_t colon = info.find(": ", at);
    return info.substr(colon + 2, info.find('\n', colon) - colon - 2);
}

} // namespace

TEST(XmModule, PatternsFollowTheFrames) {
    TempDir dir;
    struct Case {
        int frames;
        std::vector<int> rows;
    } cases[] = {{1, {1}}, {256, {256}}, {257, {256, 1}}, {300, {256, 44}}};
    for (const Case& c : cases) {
        ConvertedSong xm(framesOfTone(c.frames), dir);
        openmpt::module& m = xm.module();
        ASSERT_EQ(m.get_num_patterns(), int(c.rows.size())) << c.frames;
        ASSERT_EQ(m.get_num_orders(), int(c.rows.size()));
        for (size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(m.get_order_pattern(int(i)), int(i));
            EXPECT_EQ(m.get_pattern_num_rows(int(i)), c.rows[i]) << c.frames;
        }
        EXPECT_EQ(m.get_num_channels(), 12);
        EXPECT_EQ(m.get_num_instruments(), 8);
        EXPECT_EQ(m.get_num_samples(), 6);
        EXPECT_NEAR(m.get_duration_seconds(), c.frames / 50.0, 0.001) << c.frames;
        EXPECT_EQ(m.get_metadata("type_long"), "FastTracker 2 v1.04");
    }
}

TEST(XmModule, HeaderAndInstrumentBlock) {
    TempDir dir;
    ConvertedSong xm(framesOfTone(300), dir);
    const std::vector<uint8_t> file = readFile(xm.path());
    ASSERT_GT(file.size(), size_t(kXmHeaderSize));
    EXPECT_EQ(std::string(file.begin(), file.begin() + 60),
              std::string("Extended Module: Converted by Melchor\x1A"
                          "FastTracker v2.00   \x04\x01",
                          60));
    const uint8_t fields[] = {0x14, 1, 0, 0, 2, 0, 0,   0, 12, 0, 2, 0,
                              8,    0, 1, 0, 2, 0, 250, 0, 0,  1, 0};
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 60, file.begin() + 83),
              std::vector<uint8_t>(fields, fields + sizeof fields));
    EXPECT_EQ(Instruments().size(), 7063u);
    EXPECT_TRUE(std::equal(Instruments().begin(), Instruments().end(), file.end() - 7063));
    const std::vector<std::string> names = xm.module().get_instrument_names();
    ASSERT_EQ(names.size(), 8u);
    EXPECT_EQ(names[0], "Converted by VANTO");
    EXPECT_EQ(names[1], "by Melchorbrand");
    EXPECT_EQ(names[2], "of Corvel ...");
}

TEST(XmModule, OpenmptInfoReadsItLikeARealXm) {
    TempDir dir;
    ConvertedSong xm(framesOfTone(300), dir);
    const std::string info = command("openmpt123 --info '" + xm.path() + "' 2>&1");
    EXPECT_EQ(infoLine(info, "Channels"), "12") << info;
    EXPECT_EQ(infoLine(info, "Patterns"), "2");
    EXPECT_EQ(infoLine(info, "Orders"), "2");
    EXPECT_EQ(infoLine(info, "Instruments"), "8");
    EXPECT_EQ(infoLine(info, "Samples"), "6");
    EXPECT_EQ(infoLine(info, "Duration").substr(0, 6), "00:05.") << "6 s less rounding";
    EXPECT_EQ(infoLine(info, "Title"), "Converted by Melchor");
    const char* root = std::getenv("JK_TESTDATA_DIR");
    const std::string real =
        std::string(root ? root : "") + "/gemdropx/usr/share/games/gemdropx/sounds/hr_suds.xm";
    if (fileExists(real)) {
        EXPECT_EQ(infoLine(info, "Type"),
                  infoLine(command("openmpt123 --info '" + real + "' 2>&1"), "Type"));
    }
}

TEST(XmModule, DigidrumsGoToSampleFilesInTheWorkingFolder) {
    TempDir dir;
    YmSong song = framesOfTone(10);
    song.drums = {{0x00, 0x80, 0xFF}, {}, {0x01, 0x7F}};
    std::filesystem::create_directory(dir / "out");
    const std::vector<uint8_t> image = buildYm(song);
    _corvel_YM ym;
    ASSERT_EQ(ym.ymLoadImage(image.data(), image.size()), 1);
    XmModule module;
    XmChannel channels[kXmChannels];
    ASSERT_EQ(ym.Convert((dir / "out/song.xm").c_str(), module, channels), 1);
    EXPECT_EQ(readFile(dir / "sample16.smp"), (std::vector<uint8_t>{0x80, 0x00, 0x7F}));
    EXPECT_FALSE(fileExists(dir / "sample17.smp")); // an empty drum has no file
    EXPECT_EQ(readFile(dir / "sample18.smp"), (std::vector<uint8_t>{0x81, 0xFF}));
    EXPECT_TRUE(fileExists(dir / "out/song.xm"));

    TempDir other;
    ConvertedSong plain(framesOfTone(10), other);
    for (const auto& entry : std::filesystem::directory_iterator(other.path()))
        EXPECT_NE(entry.path().extension(), ".smp") << entry.path();
}

TEST(XmModule, NothingToConvertWritesNothing) {
    TempDir dir;
    struct Case {
        std::vector<uint8_t> image;
        const char* message;
    } cases[] = {
        {{'Y', 'M', '3', 'b', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         "Error YM3b files cannot be converted !"},
        {buildYm(framesOfTone(0)), "Error No frames to convert !"},
    };
    for (const Case& c : cases) {
        writeFile(dir / "old.xm", {'o', 'l', 'd'});
        RecordingSink sink;
        _corvel_YM ym(&sink);
        ASSERT_EQ(ym.ymLoadImage(c.image.data(), c.image.size()), 1);
        XmModule module;
        XmChannel channels[kXmChannels];
        EXPECT_EQ(ym.Convert((dir / "old.xm").c_str(), module, channels), 0);
        EXPECT_EQ(sink.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(readFile(dir / "old.xm"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    }
    // A folder that cannot be written to is told, not passed over.
    RecordingSink sink;
    const std::vector<uint8_t> image = buildYm(framesOfTone(5));
    _corvel_YM ym(&sink);
    ASSERT_EQ(ym.ymLoadImage(image.data(), image.size()), 1);
    XmModule module;
    XmChannel channels[kXmChannels];
    const std::string nowhere = dir / "no/such/folder.xm";
    EXPECT_EQ(ym.Convert(nowhere.c_str(), module, channels), 0);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Not written : " + nowhere});
}

TEST(XmModule, LongSongsAreCutAt256PatternsAndTheUserIsTold) {
    TempDir dir;
    ConvertedSong xm(framesOfTone(256 * 256 + 300), dir);
    EXPECT_EQ(xm.module().get_num_patterns(), 256);
    EXPECT_EQ(xm.module().get_pattern_num_rows(255), 256);
    EXPECT_EQ(xm.sink.messages,
              std::vector<std::string>{"Warning : The song is longer than 256 patterns: only its "
                                       "first 65536 frames are converted."});
}
