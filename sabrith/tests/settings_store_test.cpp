#include "sabrith/file_dialog.h"
#include "sabrith/settings_store.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace sabrith {
namespace {

// The same suite runs on the registry (no file) and on an ini file.
class SettingsSuite : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam()) {
            std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
            std::replace(name.begin(), name.end(), '/', '-');
            path_ = jk::test::tempFolder() + name + ".lbp";
            std::remove(path_.c_str());
        }
    }
    const char* file() const { return GetParam() ? path_.c_str() : nullptr; }

    MemoryRegistry registry;
    IniFileProfile profile;
    SettingsStore store{"Lumbrin", registry, profile};
    std::string path_;
};

TEST_P(SettingsSuite, IntegersRoundTripWithIndexedNamesAndClamps) {
    store.writeInt(file(), nullptr, "Color", -5);
    store.writeInt(file(), "VedozadI", "Color", 0, 3);
    store.writeInt(file(), "VedozadI", "Color", 99, 4);
    int out = 1234;
    store.readInt(file(), nullptr, "Color", out, 7, 0, 0);
    EXPECT_EQ(out, -5) << "min = max means no limits";
    store.readInt(file(), "VedozadI", "Color", out, 7, 1, 21, 3);
    EXPECT_EQ(out, 1) << "0 raised to the minimum";
    store.readInt(file(), "VedozadI", "Color", out, 7, 1, 21, 4);
    EXPECT_EQ(out, 21);
    store.readInt(file(), "VedozadI", "Color", out, 7, 1, 21);
    EXPECT_EQ(out, 7) << "index 0 is the plain name, which is missing";
    store.readInt(file(), "VedozadI", "Color", out, 50, 1, 21, 9);
    EXPECT_EQ(out, 21) << "the default is clamped too";
    store.readInt(file(), "Missing", "Color", out, -3, 5, 1);
    EXPECT_EQ(out, -3) << "min above max means no limits";
}

TEST_P(SettingsSuite, TextsFallBackWhenEmptyOrMissingAndAreCut) {
    store.writeString(file(), "Skin", "Name", "Bass", 1);
    store.writeString(file(), "Skin", "Name", "", 2);
    EXPECT_EQ(store.readString(file(), "Skin", "Name", 256, "Unnamed", 1), "Bass");
    EXPECT_EQ(store.readString(file(), "Skin", "Name", 256, "Unnamed", 3), "Unnamed");
    if (GetParam()) {
        EXPECT_EQ(store.readString(file(), "Skin", "Name", 256, "Unnamed", 2), "Unnamed");
        EXPECT_EQ(store.readString(file(), "Skin", "Name", 3, "Unnamed", 1), "Ba");
    } else {
        // The registry keeps an empty text and refuses to cut a long one.
        EXPECT_EQ(store.readString(file(), "Skin", "Name", 256, "Unnamed", 2), "");
        EXPECT_EQ(store.readString(file(), "Skin", "Name", 4, "Unnamed", 1), "Unn");
        EXPECT_EQ(store.readString(file(), "Skin", "Name", 5, "Unnamed", 1), "Bass");
    }
}

TEST_P(SettingsSuite, FilesAndRegistryStayApart) {
    store.writeInt(file(), nullptr, "Fade", 80);
    int out = 0;
    if (GetParam()) {
        store.readInt(nullptr, nullptr, "Fade", out, -1, 0, 0);
        EXPECT_EQ(out, -1) << "the file write left the registry alone";
        EXPECT_TRUE(store.sectionExists(file(), "Lumbrin"));
        EXPECT_TRUE(store.sectionExists(file(), "LUMBRIN")) << "sections compare without case";
        EXPECT_FALSE(store.sectionExists(file(), "ZirarovoZ"));
    } else {
        const std::string other = jk::test::tempFolder() + "registry-only.lbp";
        store.readInt(other.c_str(), nullptr, "Fade", out, -1, 0, 0);
        EXPECT_EQ(out, -1);
        EXPECT_TRUE(store.sectionExists(nullptr, "Anything"));
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, SettingsSuite, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "IniFile" : "Registry"; });

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
