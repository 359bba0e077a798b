#include "sabrith/file_dialog.h"
#include "sabrith/settings_store.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace sabrith {
namespace {

TEST(RegistrySettings, ValuesOfAnotherLengthReadAsTheDefault) {
    MemoryRegistry registry;
    IniFileProfile profile;
    SettingsStore store("Lumbrin", registry, profile);
    registry.keys["Lumbrin"]["Short"] = {false, {1, 2}};
    registry.keys["Lumbrin"]["Long"] = {false, {1, 2, 3, 4, 5}};
    registry.keys["Lumbrin"]["Text"] = {true, {'-', '1', '2', 0}}; // four bytes: a number
    int out = 0;
    store.readInt(nullptr, nullptr, "Short", out, 42, 0, 0);
    EXPECT_EQ(out, 42);
    store.readInt(nullptr, nullptr, "Long", out, 42, 0, 0);
    EXPECT_EQ(out, 42);
    store.readInt(nullptr, nullptr, "Text", out, 42, 0, 0);
    EXPECT_EQ(out, 0x0032312D);
    store.readInt(nullptr, "Fresh", "Value", out, 1, 0, 0);
    EXPECT_TRUE(registry.keys.count("Fresh")) << "reads create the missing key";
}

TEST(ProfileFile, ReadsLikeTheProfileFunctions) {
    const ProfileDocument doc(" [Effect] \r\n"
                              "  Spaced  =  12 ; note\r\n"
                              "QUOTED=\"a b\"\r\n"
                              "single='x\r\n"
                              "Hex=0x1F\r\n"
                              "Neg=-0x10\r\n"
                              "Upper=0X10\r\n"
                              "Octal=0o17\r\n"
                              "Binary=0b101\r\n"
                              "Trail=42abc\r\n"
                              "Word=abc\r\n"
                              "Empty=\r\n"
                              "Bare\r\n"
                              "Big=4294967297\r\n"
                              "Long=00000000000000000000000000000123\r\n"
                              "spaced=99\r\n"
                              "[effect]\r\n"
                              "Hidden=1\r\n");
    struct Case {
        const char* key;
        int32_t number;
    };
    const Case numbers[] = {{"spaced", 12},  {"Hex", 31},   {"Neg", -16},  {"Upper", 0},
                            {"Octal", 15},   {"Binary", 5}, {"Trail", 42}, {"Word", 0},
                            {"Empty", -7},   {"Bare", -7},  {"Big", 1},    {"Long", 0},
                            {"Missing", -7}, {"Hidden", -7}};
    for (const Case& c : numbers) EXPECT_EQ(doc.integer("EFFECT", c.key, -7), c.number) << c.key;
    EXPECT_EQ(doc.value("Effect", "Spaced"), "12 ; note");
    EXPECT_EQ(doc.value("Effect", "quoted"), "a b");
    EXPECT_EQ(doc.value("Effect", "single"), "'x");
    EXPECT_EQ(doc.value("Effect", "Bare"), "");
    EXPECT_EQ(doc.value("Other", "Bare"), std::nullopt);
    EXPECT_EQ(doc.entryCount("effect"), 15u);
}

TEST(ProfileFile, WritesReplaceAppendAndKeepTheRest) {
    ProfileDocument doc("; preset\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    doc.set("a", "X", "5");
    doc.set("A", "z", " 6 ");
    doc.set("C", "w", "7");
    EXPECT_EQ(doc.text(), "; preset\r\n[A]\r\nX=5\r\nz=6\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=7\r\n");
}

class ScriptedChooser final : public FileChooser {
public:
    bool choose(bool save, FileRequest& request) override {
        seen.push_back(request);
        saves.push_back(save);
        if (!confirm) return false;
        request.path = "C:\\Presets\\" + request.path + "x.lbp";
        request.title = "x.lbp";
        return true;
    }
    bool confirm = false;
    std::vector<FileRequest> seen;
    std::vector<bool> saves;
};

TEST(FileDialog, FirstRunWritesTheFolderLaterRunsReadIt) {
    MemoryRegistry registry;
    ScriptedChooser chooser;
    FileDialog first(presetFiles, registry, "C:\\Jukora\\Plugins\\sabrith.dll", chooser);
    EXPECT_EQ(first.startFolder(), "C:\\Jukora\\Plugins\\LBNPresets");
    registry.setString("LBNPresets", "DefaultDirectory", "D:\\Gone");
    FileDialog later(presetFiles, registry, "C:\\Jukora\\Plugins\\sabrith.dll", chooser);
    EXPECT_EQ(later.startFolder(), "D:\\Gone");

    std::string path = "untouched";
    EXPECT_EQ(later.openFile(nullptr, path), 0);
    EXPECT_EQ(path, "untouched");
    chooser.confirm = true;
    EXPECT_EQ(later.saveFile(nullptr, path), 1);
    EXPECT_EQ(path, "C:\\Presets\\x.lbp");
    EXPECT_EQ(later.openFile(nullptr, path), 1);
    ASSERT_EQ(chooser.seen.size(), 3u);
    EXPECT_EQ(chooser.seen[2].path, "x.lbp") << "the last chosen name is proposed";
    EXPECT_EQ(chooser.seen[2].startFolder, "D:\\Gone") << "a choice never moves the folder";
    EXPECT_EQ(chooser.saves, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(later.lastPath(), "C:\\Presets\\x.lbpx.lbp");
}

} // namespace
} // namespace sabrith
