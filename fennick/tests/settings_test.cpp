// Settings and presets over an in-memory profile: key orders per module,
// what Reset touches, preset slots with all 20 keys, and the limits at use.
#include "fennick/presets.h"
#include "fennick/settings.h"
#include "fennick/tests/memory_profile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace fennick {
namespace {

using testing::MemoryProfile;
using Lines = std::vector<std::string>;

TEST(Settings, EachModuleWritesItsKeysInOrderWithDefaults) {
    struct Case {
        ModuleKind kind;
        Lines writes;
    } cases[] = {
        {ModuleKind::Wave,
         {"Wave RotSpeed=50", "Wave Dynamic=1", "Wave Mode=0", "Wave RotDir=0", "Wave Style=0",
          "Wave Sensitivity=100", "Wave Light0=255", "Wave Light1=65280", "Wave Light2=16711680"}},
        {ModuleKind::Block,
         {"Block RotSpeed=50", "Block Dynamic=1", "Block Sensitivity=100", "Block GridRes=8",
          "Block Light0=255", "Block Light1=65280", "Block Light2=16711680"}},
        {ModuleKind::Tunnel,
         {"Tunnel RotSpeed=50", "Tunnel Bright=0", "Tunnel Filter=1", "Tunnel Flares=1",
          "Tunnel Randomize=0", "Tunnel FlareSpeed=100", "Tunnel BassSensitivity=5",
          "Tunnel MiddleSensitivity=20", "Tunnel TrebleSensitivity=20",
          "Tunnel BassFlareSensitivity=115", "Tunnel MiddleFlareSensitivity=185",
          "Tunnel TrebleFlareSensitivity=215", "Tunnel BLight=255", "Tunnel MLight=65280",
          "Tunnel TLight=16711680"}},
        {ModuleKind::Cube, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(sectionName(c.kind));
        MemoryProfile store;
        writeModuleSettings(store, c.kind, defaultSettings());
        EXPECT_EQ(store.writes, c.writes);
    }
    MemoryProfile store;
    writeGraphicsOptions(store, ModuleKind::Block, defaultSettings());
    EXPECT_EQ(store.writes, (Lines{"Block FullScreen=0", "Block FullScreenRes=3",
                                   "Block TextureMode=3", "Block ShadeMode=1"}));
}

TEST(Settings, ReadingTakesGraphicsThenOwnKeysAndKeepsWhatIsAbsent) {
    MemoryProfile store;
    store.writeString("Tunnel", "BLight", "1193046"); // 0x123456
    store.writeString("Tunnel", "FullScreenRes", "99");
    store.writeString("Wave", "Mode", "1");
    Settings s = defaultSettings();
    s.RotSpeed = 77;
    store.reads.clear();
    readModuleSettings(store, ModuleKind::Tunnel, s);
    EXPECT_EQ(store.reads.front(), "Tunnel FullScreen");
    EXPECT_EQ(store.reads[4], "Tunnel RotSpeed");
    EXPECT_EQ(store.reads.size(), 4u + 15u);
    EXPECT_EQ(s.Light0, 0x123456) << "BLight is Light0";
    EXPECT_EQ(s.FullScreenRes, 99) << "taken as stored";
    EXPECT_EQ(s.RotSpeed, 77) << "absent keys keep the value in memory";
    EXPECT_EQ(s.Mode, 0) << "another module's section is not read";

    store.reads.clear();
    readModuleSettings(store, ModuleKind::Cube, s);
    EXPECT_EQ(store.reads, Lines{}) << "Cube runs with the values in memory";
}

TEST(Settings, ResetTouchesEverySettingButOnlyTheModulesKeysAreWritten) {
    Settings s = defaultSettings();
    s.Mode = 1;
    s.GridRes = 20;
    s.BassSensitivity = 99;
    s.TextureMode = 0;
    resetSettings(s);
    Settings d = defaultSettings();
    EXPECT_EQ(std::memcmp(&s, &d, sizeof s), 0);
    MemoryProfile store;
    writeModuleSettings(store, ModuleKind::Block, s);
    for (const std::string& w : store.writes) EXPECT_EQ(w.find("Mode"), std::string::npos) << w;
}

TEST(Settings, LimitsAtUse) {
    struct Case {
        int stored, gridRes, fullScreenRes, flareSpeed;
    } cases[] = {
        {0, 1, 0, 1},    {-5, 1, 0, 1},         {8, 8, 8, 8},       {25, 24, 9, 25},
        {99, 24, 9, 99}, {INT_MAX, 24, 9, 400}, {INT_MIN, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        Settings s = defaultSettings();
        s.GridRes = s.FullScreenRes = s.FlareSpeed = c.stored;
        EXPECT_EQ(gridResAtUse(s), c.gridRes);
        EXPECT_EQ(fullScreenResAtUse(s), c.fullScreenRes);
        EXPECT_EQ(flareSpeedAtUse(s), c.flareSpeed);
    }
    EXPECT_EQ(textureModeAtUse(-1), 0);
    EXPECT_EQ(textureModeAtUse(9), 3);
}

// Distinct values in every preset key.
Settings numbered() {
    Settings s = defaultSettings();
    int n = 1000;
    for (const SettingKey& k : presetKeys()) s.*k.field = n++;
    return s;
}

TEST(Presets, RoundTripWithAllTwentyKeysInOrder) {
    MemoryProfile store;
    Settings saved = numbered();
    saved.FullScreen = 1;
    savePresetName(store, 5, "Soft");
    savePresetValues(store, 5, saved);
    ASSERT_EQ(store.writes.size(), 21u);
    EXPECT_EQ(store.writes[0], "preset5 presetname=Soft");
    EXPECT_EQ(store.writes[1], "preset5 LightColors[0]=1000");
    EXPECT_EQ(store.writes[4], "preset5 config_Mode=1003");
    EXPECT_EQ(store.writes[10], "preset5 config_GridRes=1009");
    EXPECT_EQ(store.writes[20], "preset5 config_FlareSpeed=1019");
    EXPECT_EQ(presetRowText(store, 5), "Soft");

    Settings loaded = defaultSettings();
    ASSERT_TRUE(loadPreset(store, 5, loaded));
    for (const SettingKey& k : presetKeys()) EXPECT_EQ(loaded.*k.field, saved.*k.field) << k.name;
    EXPECT_EQ(loaded.FullScreen, 0) << "graphics options are not part of a preset";
}

TEST(Presets, EmptyNamesMissingKeysAndTheUnselectedSlot) {
    MemoryProfile store;
    EXPECT_EQ(presetRowText(store, 5), "6. New Preset");
    savePresetName(store, 5, "");
    savePresetValues(store, 5, numbered());
    EXPECT_EQ(presetRowText(store, 5), "6. New Preset");
    Settings s = defaultSettings();
    s.Mode = 1;
    EXPECT_FALSE(loadPreset(store, 5, s));
    EXPECT_EQ(s.Mode, 1) << "an invalid preset changes nothing";

    // A preset from an older file: only a few keys; the others get defaults, not 0.
    store.writeString("preset7", "presetname", "Old");
    store.writeString("preset7", "config_Mode", "1");
    s.GridRes = 0;
    s.FlareSpeed = 0;
    ASSERT_TRUE(loadPreset(store, 7, s));
    EXPECT_EQ(s.Mode, 1);
    EXPECT_EQ(s.GridRes, 8);
    EXPECT_EQ(s.FlareSpeed, 100);

    store.writes.clear();
    savePresetName(store, -1, std::string(300, 'n'));
    savePresetValues(store, -1, numbered());
    EXPECT_EQ(store.writes.front(), "preset-1 presetname=" + std::string(255, 'n'));
    EXPECT_EQ(store.writes.size(), 21u);
    Settings before = s;
    EXPECT_FALSE(loadPreset(store, -1, s)) << "no row selected";
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
}

} // namespace
} // namespace fennick
