// The spectrum bars' four pages in a real property sheet under Wine: each
// page's controls change the effect (the colour boxes its gradients too), OK
// stores the values, Cancel brings the stored ones back.
#include "sabrith/win/frequency_pages.h"
#include "sabrith/win/page_resources.h"
#include "sabrith/win/tests/page_sheet.h"

namespace sabrith {
namespace {

using BarsSheet = test::PageSheet<FrequencyEffect>;

TEST(FrequencyPages, EveryPageChangesTheEffectAndOkStoresIt) {
    BarsSheet f;
    ASSERT_TRUE(f.open(4));

    // General Options: the band.
    EXPECT_EQ(f.text(IDC_BARS_MAX_TEXT), "24869 Hz");
    SendMessageA(f.page(), sliderChanged, 1, 20);
    SendMessageA(f.page(), sliderChanged, 2, 575);
    EXPECT_EQ(f.text(IDC_BARS_MAX_TEXT), "44000 Hz");
    f.renderFrame();

    // Layout: the defaults shown, then stereo, horizontal stacking and flips.
    f.showPage(1);
    EXPECT_EQ(IsDlgButtonChecked(f.page(), IDC_BARS_DIAMOND), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(f.page(), IDC_BARS_STACK_VERTICAL), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(f.page(), IDC_BARS_RIGHT_FLIP_Y), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(f.page(), IDC_BARS_DIAMOND_FLIP_X), BST_UNCHECKED);
    f.click(IDC_BARS_STEREO);
    f.click(IDC_BARS_STACK_HORIZONTAL);
    f.click(IDC_BARS_DIAMOND_FLIP_Y);
    f.click(IDC_BARS_MONO_FLIP_X);
    EXPECT_EQ(f.effect.mono, 1);
    EXPECT_EQ(f.effect.stackVert, 0);
    EXPECT_EQ(f.effect.diamondFlipY, 1);
    EXPECT_EQ(f.effect.monoFlipX, 0);
    f.renderFrame();

    // Bars: a colour reaches the gradient; columns off; sizes.
    f.showPage(2);
    const uint32_t before = f.effect.barColor(0, 0); // mostly Color_1
    f.pickColor(IDC_BARS_COLORS, 1, 0x0000FF);
    EXPECT_EQ(f.effect.color[0], 0x0000FF);
    EXPECT_NE(f.effect.barColor(0, 0), before) << "the gradient is rebuilt";
    f.click(IDC_BARS_COLUMNS);
    f.slide(IDC_BARS_WIDTH, 5);
    f.slide(IDC_BARS_SPACING, 30);
    EXPECT_EQ(f.effect.columns, 0);
    EXPECT_EQ(f.effect.barWidth, 5);
    EXPECT_EQ(f.effect.horizSpacing, 30);
    f.slide(IDC_BARS_HEIGHT, 40);
    EXPECT_EQ(f.effect.barHeight, 21) << "the trackbar keeps to its range";
    f.renderFrame();

    // Peaks.
    f.showPage(3);
    f.click(IDC_BARS_PEAKS_ON);
    f.slide(IDC_BARS_PEAK_DROP_AGE, 260);
    f.pickColor(IDC_BARS_PEAK_COLORS, 4, 0x123456);
    EXPECT_EQ(f.effect.peaks, 0);
    EXPECT_EQ(f.effect.peakDropAge, 260);
    EXPECT_EQ(f.effect.peakColorSetting[3], 0x123456);
    f.renderFrame();

    f.close(PSBTN_OK);
    FrequencyEffect stored{EffectContext{f.store, nullptr, &f.random}};
    EXPECT_EQ(stored.minFreq, 20);
    EXPECT_EQ(stored.maxFreq, 575);
    EXPECT_EQ(stored.mono, 1);
    EXPECT_EQ(stored.stackVert, 0);
    EXPECT_EQ(stored.diamondFlipY, 1);
    EXPECT_EQ(stored.color[0], 0x0000FF);
    EXPECT_EQ(stored.barWidth, 5);
    EXPECT_EQ(stored.peakDropAge, 260);
    EXPECT_EQ(stored.peakColorSetting[3], 0x123456);
}

TEST(FrequencyPages, CancelReloadsTheStoredValues) {
    BarsSheet f;
    ASSERT_TRUE(f.open(4));
    f.showPage(2);
    f.slide(IDC_BARS_WIDTH, 9);
    EXPECT_EQ(f.effect.barWidth, 9);
    f.close(PSBTN_CANCEL);
    EXPECT_EQ(f.effect.barWidth, 1);
}

} // namespace
} // namespace sabrith
