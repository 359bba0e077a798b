#include "yarnot/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace yarnot {
namespace {

// A section as the profile functions read it: numbers through atoi, like
// GetPrivateProfileInt (non-numeric text gives 0).
class MapProfile : public Profile {
public:
    std::map<std::string, std::string> keys;
    std::vector<std::string> written;
    int ReadInt(const char* key, int fallback) override {
        auto it = keys.find(key);
        return it == keys.end() ? fallback : std::atoi(it->second.c_str());
    }
    std::string ReadString(const char* key, const char* fallback) override {
        auto it = keys.find(key);
        return it == keys.end() ? fallback : it->second;
    }
    void WriteString(const char* key, const std::string& value) override {
        keys[key] = value;
        written.push_back(key);
    }
};

TEST(Settings, MissingSectionGivesTheDefaults) {
    MapProfile profile;
    Settings s = ReadSettings(profile);
    FitPictureSize(s, false);
    EXPECT_EQ(s.screenX, 50);
    EXPECT_EQ(s.screenY, 50);
    EXPECT_EQ(s.width, 320);
    EXPECT_EQ(s.height, 240);
    EXPECT_EQ(s.flags, 28);
    EXPECT_EQ(s.refresh, 40);
    EXPECT_EQ(s.blur, 1);
    EXPECT_EQ(s.filename, "bump.BMP");
    EXPECT_EQ(FrameDelayMs(s), 25);
}

TEST(Settings, Sanitiser) {
    struct Case {
        const char* key;
        const char* value;
        bool quorl;
        int width, height, refresh, blur, delay;
    };
    const Case cases[] = {
        {"Width", "1000", true, 576, 240, 40, 1, 25},
        {"Width", "1000", false, 1000, 240, 40, 1, 25},
        {"Height", "577", true, 320, 576, 40, 1, 25},
        {"Width", "322", false, 320, 240, 40, 1, 25},
        {"Width", "2", false, 4, 240, 40, 1, 25},
        {"Width", "7", false, 4, 240, 40, 1, 25},
        {"Width", "0", false, 4, 240, 40, 1, 25},
        {"Width", "-50", false, 4, 240, 40, 1, 25},
        {"Height", "100000", false, 320, 4096, 40, 1, 25},
        {"Height", "100000", true, 320, 576, 40, 1, 25},
        {"Width", "abc", false, 4, 240, 40, 1, 25},
        {"Refresh", "0", false, 320, 240, 10, 1, 100},
        {"Refresh", "1000", false, 320, 240, 60, 1, 16},
        {"Refresh", "-5", false, 320, 240, 10, 1, 100},
        {"Refresh", "70000", false, 320, 240, 60, 1, 16}, // not cut to 16 bits first
        {"Refresh", "20", false, 320, 240, 20, 1, 50},
        {"Blur", "7", false, 320, 240, 40, 3, 25},
        {"Blur", "-1", false, 320, 240, 40, 0, 25},
        {"Blur", "65536", false, 320, 240, 40, 3, 25},
        {"Blur", "zero", false, 320, 240, 40, 0, 25},
    };
    for (const Case& c : cases) {
        MapProfile profile;
        profile.keys[c.key] = c.value;
        Settings s = ReadSettings(profile);
        FitPictureSize(s, c.quorl);
        std::string what = std::string(c.key) + "=" + c.value + (c.quorl ? " quorl" : "");
        EXPECT_EQ(s.width, c.width) << what;
        EXPECT_EQ(s.height, c.height) << what;
        EXPECT_EQ(s.refresh, c.refresh) << what;
        EXPECT_EQ(s.blur, c.blur) << what;
        EXPECT_EQ(FrameDelayMs(s), c.delay) << what;
    }
}

TEST(Settings, FilenameIsCutToItsField) {
    MapProfile profile;
    profile.keys["Filename"] = std::string(300, 'x');
    EXPECT_EQ(ReadSettings(profile).filename, std::string(255, 'x'));
}

TEST(Settings, WhatTheDialogAndTheStopWrite) {
    EXPECT_EQ(MergeDialogFlags(0x1DD, 0x22), 0x1E3);
    EXPECT_EQ(MergeDialogFlags(0xFFFFFFFF, 0), int(0xFFFFFFC1));
    EXPECT_EQ(MergeDialogFlags(0, 0xFF), 0x3E);

    MapProfile profile;
    Settings s;
    s.width = 640, s.height = 400, s.flags = 0x102, s.refresh = 60, s.blur = 0;
    s.filename = "C:\\a b\\tex.bmp", s.screenX = -7, s.screenY = 9;
    WriteDialogSettings(profile, s);
    EXPECT_EQ(profile.written, (std::vector<std::string>{"Width", "Height", "Flags", "Refresh",
                                                         "Blur", "Filename"}));
    EXPECT_EQ(profile.keys["Flags"], "258");
    EXPECT_EQ(profile.keys["Filename"], "C:\\a b\\tex.bmp");
    profile.written.clear();
    WritePosition(profile, s);
    EXPECT_EQ(profile.written, (std::vector<std::string>{"Screen_x", "Screen_y"}));
    EXPECT_EQ(profile.keys["Screen_x"], "-7");
}

} // namespace
} // namespace yarnot
