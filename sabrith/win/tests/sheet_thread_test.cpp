// Each effect's pages alone in a sheet on a second thread, as the module
// opens them, edited by messages from the test thread while that thread goes
// on drawing frames of the same effect between the edits; OK then stores the
// last values. The fountains' list is left alone here: its changes are
// operations the drawing thread runs between frames.
#include "sabrith/win/flame_page.h"
#include "sabrith/win/frequency_pages.h"
#include "sabrith/win/fyre_pages.h"
#include "sabrith/win/page_resources.h"
#include "sabrith/win/tests/page_sheet.h"

namespace sabrith {
namespace {

constexpr int rounds = 40;

TEST(PagesOnTheirThread, BarsPagesEditWhileFramesAreDrawn) {
    test::PageSheet<FrequencyEffect> f;
    ASSERT_TRUE(f.openOnThread(4));
    ASSERT_TRUE(f.page());
    for (int round = 0; round < rounds; ++round) {
        f.showPage(round % 4);
        f.renderFrame();
        switch (round % 4) {
        case 0: SendMessageA(f.page(), sliderChanged, 2, 300 + round); break;
        case 1: f.click(round % 8 == 1 ? IDC_BARS_STEREO : IDC_BARS_MONO); break;
        case 2: f.slide(IDC_BARS_WIDTH, 1 + round % 10); break;
        case 3: f.pickColor(IDC_BARS_PEAK_COLORS, 2, 0x010203 * round); break;
        }
        f.renderFrame();
    }
    f.finishThread(PSBTN_OK);
    FrequencyEffect stored{EffectContext{f.store, nullptr, &f.random}};
    EXPECT_EQ(stored.maxFreq, 336);
    EXPECT_EQ(stored.mono, 0) << "round 37 chose mono";
    EXPECT_EQ(stored.barWidth, 9);
    EXPECT_EQ(stored.peakColorSetting[1], 0x010203 * 39);
}

TEST(PagesOnTheirThread, FountainPagesEditWhileFramesAreDrawn) {
    test::PageSheet<FyreEffect> f;
    ASSERT_TRUE(f.openOnThread(2));
    for (int round = 0; round < rounds; ++round) {
        f.showPage(round % 2);
        f.renderFrame();
        if (round % 2 == 0) {
            f.slide(IDC_FOUNTAIN_GRAVITY, 100 + round);
            f.click(round % 4 == 0 ? IDC_FOUNTAIN_RINGS : IDC_FOUNTAIN_NORMAL);
        } else {
            f.slide(IDC_SOURCE_SPEED, round % 30);
            f.pickColor(IDC_SOURCE_COLOR, 1, 0x000100 * round);
        }
        f.renderFrame();
    }
    f.finishThread(PSBTN_OK);
    FyreEffect stored{EffectContext{f.store, nullptr, &f.random}};
    EXPECT_EQ(stored.gravityRate, 138);
    EXPECT_EQ(stored.type, 0) << "round 38 chose Normal";
    ASSERT_EQ(stored.sourceCount(), 3) << "the list is left alone";
    EXPECT_EQ(stored.source(0).speed, 9);
    EXPECT_EQ(stored.source(0).color(), 0x000100 * 39);
}

TEST(PagesOnTheirThread, FlamePageEditsWhileFramesAreDrawn) {
    test::PageSheet<FlameEffect> f;
    ASSERT_TRUE(f.openOnThread(1));
    for (int round = 0; round < rounds; ++round) {
        f.renderFrame();
        if (round % 2 == 0)
            SendMessageA(f.page(), sliderChanged, 1, 100 - round);
        else
            SendMessageA(f.page(), sliderChanged, 2, 200 + round);
        f.pickColor(IDC_FLAME_COLOR, 1, 0x010000 * round);
        f.renderFrame();
    }
    f.finishThread(PSBTN_OK);
    FlameEffect stored{EffectContext{f.store, nullptr, &f.random}};
    EXPECT_EQ(stored.minFreq, 62);
    EXPECT_EQ(stored.maxFreq, 239);
    EXPECT_EQ(stored.flameColor, 0x010000 * 39);
}

} // namespace
} // namespace sabrith
