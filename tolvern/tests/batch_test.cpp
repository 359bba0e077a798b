// Batch mode's command line and names, and one conversion from file to file.
#include "tolvern/batch.h"
#include "tolvern/tests/demo_song.h"
#include "tolvern/tests/recording_sink.h"

#include <gtest/gtest.h>

using namespace tolvern;
using namespace tolvern::test;

TEST(Batch, CommandLineNames) {
    using Names = std::vector<std::string>;
    struct Case {
        const char* line;
        Names names;
    } cases[] = {
        {"", {}},
        {"a.ym", {"a.ym"}},
        {"a.ym b.ym", {"a.ym", "b.ym"}},
        {"a.ym  b.ym", {"a.ym", "", "b.ym"}}, // two blanks: an empty name
        {"\"C:\\My Music\\a song.ym\" b.ym", {"C:\\My Music\\a song.ym", "b.ym"}},
        {"C:\\\"My Music\"\\a.ym", {"C:\\My Music\\a.ym"}},
        {"\"open ended", {"open ended"}},
    };
    for (const Case& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.names) << c.line;
}

TEST(Batch, XmNames) {
    struct Case {
        const char* ym;
        const char* xm;
    } cases[] = {
        {"a.ym", "a.xm"},
        {"x.y.ym", "x.y.xm"},
        {"song", "song.xm"},
        {"C:\\a.b\\song", "C:\\a.b\\song.xm"},
        {"dir/a.b/song", "dir/a.b/song.xm"},
        {"C:\\a.b\\song.YM", "C:\\a.b\\song.xm"},
        {"", ".xm"},
    };
    for (const Case& c : cases) EXPECT_EQ(xmNameFor(c.ym), c.xm) << c.ym;
}

TEST(Batch, ConvertsPackedFilesAndRefusesOthers) {
    TempDir dir;
    writeFile(dir / "demo.ym", packLh5(buildYm(demoSong()), dir.path()));
    RecordingSink sink;
    EXPECT_TRUE(convertYmFile(dir / "demo.ym", &sink));
    EXPECT_TRUE(fileExists(dir / "demo.xm"));
    EXPECT_TRUE(fileExists(dir / "sample16.smp"));
    EXPECT_TRUE(sink.messages.empty());

    EXPECT_FALSE(convertYmFile("", &sink));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Not found : "});
    EXPECT_FALSE(fileExists(dir / ".xm"));
}
