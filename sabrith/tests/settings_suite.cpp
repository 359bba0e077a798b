#include "sabrith/tests/settings_suite.h"
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

    test::SettingsBackends backends_ = test::freshSettingsBackends();
    SettingsStore store{"Lumbrin", *backends_.registry, *backends_.profile};
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

} // namespace
} // namespace sabrith
