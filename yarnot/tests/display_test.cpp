#include "yarnot/display_modes.h"
#include "yarnot/title.h"

#include <gtest/gtest.h>

namespace yarnot {
namespace {

// The 32-bit modes of the test desktop, in the order a driver might give them.
const std::vector<DisplayMode> desktopModes = {{1024, 768, 32}, {320, 200, 32}, {640, 480, 32},
                                               {320, 240, 32},  {400, 300, 32}, {512, 384, 32},
                                               {640, 400, 32},  {768, 576, 32}, {800, 600, 32}};

std::vector<DisplayMode> offered(bool fourByThree, const std::vector<DisplayMode>& modes) {
    ModeList list(fourByThree);
    for (const DisplayMode& m : modes)
        if (!list.Offer(m)) break;
    return list.modes();
}

TEST(DisplayModes, Choice) {
    struct Case {
        std::vector<DisplayMode> modes;
        bool fourByThree;
        int width, height;
        DisplayMode mode;
        PictureOffset offset;
    };
    const Case cases[] = {
        {{{800, 600, 32}, {640, 480, 32}}, false, 320, 240, {640, 480, 32}, {160, 120}},
        {desktopModes, false, 320, 240, {320, 240, 32}, {0, 0}},
        {desktopModes, false, 600, 400, {640, 400, 32}, {20, 0}},
        {desktopModes, true, 600, 400, {640, 480, 32}, {20, 40}},
        {desktopModes, false, 1024, 768, {1024, 768, 32}, {0, 0}},
        // The first wide enough decides the width, then the height is sought.
        {{{640, 200, 32}, {800, 600, 32}, {700, 900, 32}},
         false,
         600,
         500,
         {700, 900, 32},
         {50, 200}},
        {{{640, 480, 32}, {640, 480, 16}}, false, 4, 4, {640, 480, 16}, {318, 238}},
    };
    for (const Case& c : cases) {
        auto mode = ChooseMode(offered(c.fourByThree, c.modes), c.width, c.height);
        ASSERT_TRUE(mode) << c.width << "x" << c.height;
        EXPECT_EQ(*mode, c.mode) << c.width << "x" << c.height;
        PictureOffset o = CentredOffset(*mode, c.width, c.height);
        EXPECT_EQ(o.left, c.offset.left) << c.width << "x" << c.height;
        EXPECT_EQ(o.top, c.offset.top) << c.width << "x" << c.height;
    }
}

TEST(DisplayModes, FourByThreeOnlyAndAtMost64) {
    auto kept = offered(true, {{1280, 1024, 32}, {640, 480, 32}, {1280, 960, 32}, {720, 400, 32}});
    EXPECT_EQ(kept, (std::vector<DisplayMode>{{640, 480, 32}, {1280, 960, 32}}));

    std::vector<DisplayMode> many;
    for (int i = 0; i < 65; ++i) many.push_back({uint16_t(4000 - i), 3000, 32});
    ModeList list(false);
    int offers = 0;
    for (const DisplayMode& m : many) {
        ++offers;
        if (!list.Offer(m)) break;
    }
    EXPECT_EQ(offers, 64); // the enumeration is ended at the 64th
    EXPECT_EQ(list.modes().size(), 64u);
    EXPECT_FALSE(list.Offer({1, 1, 32}));
    EXPECT_EQ(list.modes().size(), 64u);
    // The 65th, the narrowest, is not among them.
    EXPECT_EQ(ChooseMode(list.modes(), 3936, 100)->width, 3937);
}

TEST(DisplayModes, NothingFits) {
    EXPECT_FALSE(ChooseMode(desktopModes, 1028, 4));
    EXPECT_FALSE(ChooseMode(desktopModes, 800, 769));
    EXPECT_FALSE(ChooseMode({}, 4, 4));
    EXPECT_EQ(NoModeMessage(1028, 4), "No video mode that satisfies\n1028 x 4 x 32 bit available!");
}

TEST(DisplayModes, DrawingStartRoundsDownToEven) {
    PictureOffset start = DrawingStart({21, 39});
    EXPECT_EQ(start.left, 20);
    EXPECT_EQ(start.top, 38);
    start = DrawingStart({160, 0});
    EXPECT_EQ(start.left, 160);
    EXPECT_EQ(start.top, 0);
}

TEST(Title, Extraction) {
    struct Case {
        const char* text;
        const char* title; // null: none
    };
    const Case cases[] = {
        {"Song - Jukora", "Song"},
        {"1. Artist - Song - Jukora", "1. Artist - Song"},
        {"S - Jukora", "S"}, // at 4: a one-character title
        {"Jukora", nullptr},
        {"abJukora", nullptr},
        {"abc Jukora", "a"},
        {"abcdJukora", "a"},
        {"Song - Jukora - Jukora", "Song"},
        {"Song - Player", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        auto title = ExtractTitle(c.text);
        if (c.title) {
            ASSERT_TRUE(title) << c.text;
            EXPECT_EQ(*title, c.title) << c.text;
        } else {
            EXPECT_FALSE(title) << c.text;
        }
    }
}

TEST(Title, ScrollStartsAtLeftPlusTwoAndWraps) {
    TitleScroll scroll;
    scroll.Show("Song", 20);
    EXPECT_EQ(scroll.x(), 22);
    scroll.Step(20, 100, 30);
    EXPECT_EQ(scroll.x(), 21);
    scroll.Show("Song", 20); // the same title keeps moving
    EXPECT_EQ(scroll.x(), 21);
    for (int i = 0; i < 30; ++i) scroll.Step(20, 100, 30);
    EXPECT_EQ(scroll.x(), -9); // x - 1 is exactly left - width
    scroll.Step(20, 100, 30);
    EXPECT_EQ(scroll.x(), 120);
    scroll.Show("Other", 20);
    EXPECT_EQ(scroll.x(), 22);
}

} // namespace
} // namespace yarnot
