#include "sabrith/geometry/display_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sabrith {
namespace {

// Records the display calls in order; entering succeeds or fails as told.
struct FakeScreen final : ScreenModes {
    bool enterWorks = true;
    std::vector<std::string> calls;
    bool enterFullScreen(int w, int h, int bpp) override {
        calls.push_back("enter " + std::to_string(w) + "x" + std::to_string(h) + "x" +
                        std::to_string(bpp));
        return enterWorks;
    }
    void leaveFullScreen() override { calls.push_back("leave"); }
    void setTopmost(bool topmost) override { calls.push_back(topmost ? "topmost" : "normal"); }
};

TEST(ModeSwitch, StateMachine) {
    using Calls = std::vector<std::string>;
    struct Case {
        const char* name;
        ModeState from;
        int requested;
        bool enterWorks;
        ModeState to;
        Calls calls;
    };
    const Case cases[] = {
        {"window to full screen", {0, 0}, 1, true, {1, 1}, {"topmost", "enter 320x200x32"}},
        {"a failed switch falls back to window mode, OnTop kept at 1",
         {0, 0},
         1,
         false,
         {0, 1},
         {"topmost", "enter 320x200x32", "leave", "topmost"}},
        {"full screen back to window mode stays on top",
         {1, 1},
         0,
         true,
         {0, 1},
         {"leave", "topmost"}},
        {"window mode applies the stored OnTop", {0, 0}, 0, true, {0, 0}, {"normal"}},
        {"full screen again leaves first",
         {1, 1},
         1,
         true,
         {1, 1},
         {"leave", "topmost", "enter 320x200x32"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeScreen screen;
        screen.enterWorks = c.enterWorks;
        ModeState state = c.from;
        switchMode(state, c.requested, {320, 200, 32}, screen);
        EXPECT_EQ(state.mode, c.to.mode);
        EXPECT_EQ(state.onTop, c.to.onTop);
        EXPECT_EQ(screen.calls, c.calls);
    }
}

TEST(ModeSwitch, AlwaysOnTopStoresAndApplies) {
    FakeScreen screen;
    ModeState state;
    applyOnTop(state, 1, screen);
    applyOnTop(state, 0, screen);
    EXPECT_EQ(state.onTop, 0);
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"topmost", "normal"}));
}

constexpr uint32_t paletted = pixelFormatRgb | 0x20;

TEST(DisplayModes, RgbOnlyInOrderAndTheSettingFound) {
    const OfferedMode offered[] = {
        {{320, 200, 8}, paletted},        {{320, 200, 32}, pixelFormatRgb},
        {{640, 480, 16}, pixelFormatRgb}, {{640, 480, 32}, 0},
        {{800, 600, 32}, pixelFormatRgb},
    };
    DisplayMode setting{640, 480, 16};
    const DisplayModeList list = filterDisplayModes(offered, setting);
    EXPECT_EQ(list.rows,
              (std::vector<DisplayMode>{{320, 200, 32}, {640, 480, 16}, {800, 600, 32}}));
    EXPECT_TRUE(list.found);
    EXPECT_EQ(setting, (DisplayMode{640, 480, 16}));
    EXPECT_EQ(displayModeRow(list, setting), 1);
    EXPECT_EQ(displayModeRow(list, {640, 480, 32}), -1);
}

TEST(DisplayModes, SettingNotOfferedTakesTheFirstRow) {
    const OfferedMode offered[] = {{{320, 200, 8}, paletted}, {{800, 600, 32}, pixelFormatRgb}};
    DisplayMode setting{640, 480, 32};
    const DisplayModeList list = filterDisplayModes(offered, setting);
    EXPECT_FALSE(list.found);
    EXPECT_EQ(setting, (DisplayMode{800, 600, 32}));
    EXPECT_EQ(displayModeRow(list, setting), 0);
}

TEST(DisplayModes, NothingOfferedKeepsTheSetting) {
    DisplayMode setting{640, 480, 32};
    const OfferedMode onlyPaletted[] = {{{320, 200, 8}, paletted}};
    EXPECT_TRUE(filterDisplayModes(onlyPaletted, setting).rows.empty());
    EXPECT_TRUE(filterDisplayModes({}, setting).rows.empty());
    EXPECT_EQ(setting, (DisplayMode{640, 480, 32}));
}

TEST(DisplayModes, AtMostAHundredRows) {
    std::vector<OfferedMode> offered;
    for (int i = 0; i < 150; ++i) offered.push_back({{320 + i, 200, 32}, pixelFormatRgb});
    DisplayMode setting{320 + 120, 200, 32}; // offered, but past the cap
    const DisplayModeList list = filterDisplayModes(offered, setting);
    ASSERT_EQ(list.rows.size(), 100u);
    EXPECT_EQ(list.rows.back(), (DisplayMode{419, 200, 32}));
    EXPECT_FALSE(list.found);
    EXPECT_EQ(setting, (DisplayMode{320, 200, 32}));
}

} // namespace
} // namespace sabrith
