// The frame's rules as tables: gain, smoothing, the effect's rectangle, the
// trail copy, drops, keys, button actions and the sheet's texts.
#include "sabrith/frame/drop_table.h"
#include "sabrith/frame/frame_picture.h"
#include "sabrith/frame/sheet_texts.h"
#include "sabrith/frame/band_levels.h"
#include "sabrith/frame/window_input.h"
#include "sabrith/flame_effect.h"
#include "host/messages.h"

#include <gtest/gtest.h>

namespace sabrith {

void PrintTo(const Rect& r, std::ostream* out) {
    *out << "(" << r.x << ", " << r.y << ", " << r.w << " x " << r.h << ")";
}

namespace {

uint32_t gainAt(const GainTable& gain, int band) {
    return gain[std::size_t(band)].load();
}

TEST(Gain, TableAtTheEndsOfLinAmp) {
    GainTable gain;
    buildGain(gain, 0);
    EXPECT_EQ(gainAt(gain, 0), 0u);
    EXPECT_EQ(gainAt(gain, 1), 256u);
    EXPECT_EQ(gainAt(gain, 4), 512u);
    EXPECT_EQ(gainAt(gain, 575), 6138u); // floor(23.979... x 256)
    buildGain(gain, 75);
    EXPECT_EQ(gainAt(gain, 0), 0u);
    EXPECT_EQ(gainAt(gain, 575), 466538u);
    buildGain(gain, 256);
    EXPECT_EQ(gainAt(gain, 575), 1577636u);
    EXPECT_EQ(largestGain(gain), 1577636u);
}

TEST(Smoothing, RiseFallFloorAndIdle) {
    GainTable gain;
    buildGain(gain, 256);
    std::array<uint8_t, 2 * spectrumBins> rows{};
    LevelRows levels{};
    // Band 100 left: 10 x gain 657,920 >> 16 = 100 -> level 25,600.
    rows[100] = 10;
    // Band 100 right: 255 x gain saturates at 255 -> 65,280.
    rows[spectrumBins + 100] = 255;
    // Band 0 never registers: its gain is 0.
    rows[0] = 255;
    smoothLevels(levels, rows.data(), gain, 1000);
    EXPECT_EQ(levels[100], 25600u);
    EXPECT_EQ(levels[spectrumBins + 100], 65280u);
    EXPECT_EQ(levels[0], 0u);

    // A lower fresh level does not pull it down faster than the decay.
    rows[100] = 1;
    smoothLevels(levels, rows.data(), gain, 1000);
    EXPECT_EQ(levels[100], 24600u);
    // Idle frames only fall, stopping at 0.
    smoothLevels(levels, nullptr, gain, 20000);
    EXPECT_EQ(levels[100], 4600u);
    smoothLevels(levels, nullptr, gain, 20000);
    EXPECT_EQ(levels[100], 0u);
    // Equal fresh levels do not hold a level up: it falls too.
    EXPECT_EQ(levels[spectrumBins + 100], 24280u);
    // The decay with no effect.
    levels[7] = 5000;
    smoothLevels(levels, nullptr, gain, defaultDecay);
    EXPECT_EQ(levels[7], 3000u);
}

TEST(EffectRect, InsideTheInsetsAndTheImage) {
    struct Case {
        const char* name;
        Size image, origin, totals;
        Rect expected;
    };
    const Case cases[] = {
        {"no skin", {275, 116}, {0, 0}, {0, 0}, {0, 0, 275, 116}},
        {"insets", {275, 116}, {10, 5}, {20, 25}, {10, 5, 255, 91}},
        {"total equal to the extent counts as none",
         {275, 116},
         {100, 5},
         {275, 25},
         {0, 5, 275, 91}},
        {"total past the extent too", {275, 116}, {10, 60}, {20, 200}, {10, 0, 255, 116}},
        {"negative left inset counts as 0", {275, 116}, {-40, 0}, {-30, 0}, {0, 0, 265, 116}},
        {"negative right inset counts as 0", {275, 116}, {10, 0}, {-30, 0}, {10, 0, 265, 116}},
        {"all negative", {275, 116}, {-5, -500}, {-10, -1000}, {0, 0, 275, 116}},
        {"a minimised 4 x 4 image", {4, 4}, {1, 1}, {2, 2}, {1, 1, 2, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Rect r = effectRect(c.image, c.origin, c.totals);
        EXPECT_EQ(r, c.expected);
        EXPECT_GE(r.x, 0);
        EXPECT_LE(r.right(), c.image.w);
        EXPECT_LE(r.bottom(), c.image.h);
    }
}

TEST(TrailCopy, ModeFromBlurAndFade) {
    MemoryRegistry registry;
    IniFileProfile profile;
    SettingsStore store("Lumbrin", registry, profile);
    FlameEffect effect(EffectContext{store});
    struct Case {
        int blur, fade;
        TrailCopy expected;
    };
    const Case cases[] = {
        {0, 0, {false, 1}}, // fading by 0 would keep the skin in the trails
        {0, 1, {false, 1}}, {0, 80, {false, 80}}, {0, 130, {false, 130}},
        {1, 0, {true, 0}},  {1, 80, {true, 20}},  {1, 130, {true, 32}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.blur << "/" << c.fade);
        effect.blur = c.blur;
        effect.fade = c.fade;
        EXPECT_EQ(trailCopyFor(&effect), c.expected);
    }
    EXPECT_EQ(trailCopyFor(nullptr), (TrailCopy{false, 1}));
}

TEST(TrailCopy, FadeOf128To130ClearsAndSizesMustMatch) {
    DibImage from("from"), to("to");
    ASSERT_EQ(from.resize(8, 8), 1);
    ASSERT_EQ(to.resize(8, 8), 1);
    std::fill_n(from.pixels(), 64, 0x00C0C0C0u);
    for (int fade : {128, 129, 130}) {
        std::fill_n(to.pixels(), 64, 0x00FFFFFFu);
        EXPECT_TRUE(copyWithTrails(from, to, {false, fade}));
        EXPECT_EQ(to.pixels()[27], 0u) << fade;
    }
    EXPECT_TRUE(copyWithTrails(from, to, {false, 127}));
    EXPECT_EQ(to.pixels()[27], 0x00414141u);
    ASSERT_EQ(to.resize(9, 8), 1);
    EXPECT_FALSE(copyWithTrails(from, to, {false, 1}));
}

TEST(DropTable, MatchingOverTheDroppedExtension) {
    const DropTable table = DropTable::standard();
    struct Case {
        const char* path;
        std::optional<DropAction> expected;
    };
    const Case cases[] = {
        {"C:\\music\\song.MP3", DropAction::feedPlayer},
        {"track.mp2", DropAction::feedPlayer},
        {"x.mp", DropAction::feedPlayer}, // ".mp" is the start of ".mp3"
        {"noext", std::nullopt},
        {"a.LBS", DropAction::loadSkin},
        {"b.Design", DropAction::loadSkin},
        {"skin.ini", DropAction::loadSkin},
        {"x.", DropAction::loadSkin}, // "." is the start of ".lbs"
        {"p.lbp", DropAction::loadPreset},
        {"song.mp3x", std::nullopt}, // longer than every row
        {"pic.bmp", std::nullopt},
        {"dir.lbs\\file", std::nullopt}, // the last dot decides
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(table.match(c.path), c.expected);
    }
}

TEST(DropTable, AHundredRowsAtMost) {
    DropTable table;
    for (std::size_t i = 0; i < DropTable::maxRows; ++i)
        EXPECT_TRUE(table.add(".x" + std::to_string(i), DropAction::loadSkin));
    EXPECT_FALSE(table.add(".mp3", DropAction::feedPlayer));
    EXPECT_EQ(table.match("a.mp3"), std::nullopt);
}

TEST(Keys, PolicyTable) {
    struct Case {
        uint32_t key;
        bool down;
        KeyEffect expected;
    };
    const Case cases[] = {
        {83, true, KeyEffect::consume},  {83, false, KeyEffect::nextSkin},
        {115, true, KeyEffect::consume}, {115, false, KeyEffect::nextSkin},
        {27, true, KeyEffect::forward},  {27, false, KeyEffect::quit},
        {32, true, KeyEffect::forward},  {32, false, KeyEffect::toggleFullScreen},
        {70, true, KeyEffect::forward},  {70, false, KeyEffect::forward},
        {84, false, KeyEffect::forward},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << (c.down ? " down" : " up"));
        EXPECT_EQ(keyEffect(c.down, c.key), c.expected);
    }
}

TEST(ButtonActions, CodeToPlayerCommandOrWindowAction) {
    struct Case {
        int code;
        ActionKind kind;
        int command;
    };
    const Case cases[] = {
        {1, ActionKind::command, cmdPlay},
        {2, ActionKind::command, cmdStop},
        {3, ActionKind::command, cmdPause},
        {4, ActionKind::command, cmdNextSong},
        {5, ActionKind::command, cmdPreviousSong},
        {6, ActionKind::command, cmdOpenFile},
        {7, ActionKind::quit, 0},
        {8, ActionKind::command, cmdFastForward},
        {9, ActionKind::command, cmdRewind},
        {10, ActionKind::about, 0},
        {11, ActionKind::none, 0},
        {13, ActionKind::none, 0},
        {14, ActionKind::minimize, 0},
        {0, ActionKind::none, 0},
        {15, ActionKind::none, 0},
        {100, ActionKind::none, 0},
        {-1, ActionKind::none, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const ButtonAction a = buttonAction(c.code);
        EXPECT_EQ(a.kind, c.kind);
        EXPECT_EQ(a.command, c.command);
    }
}

TEST(SheetTexts, GainAndDisplayModeTexts) {
    GainTable gain;
    buildGain(gain, 75);
    EXPECT_EQ(gainText(gain), "x 1.42");
    buildGain(gain, 0);
    EXPECT_EQ(gainText(gain), "x 0.02");
    EXPECT_EQ(displayModeText({640, 480, 32}), "640x480x32");
}

} // namespace
} // namespace sabrith
