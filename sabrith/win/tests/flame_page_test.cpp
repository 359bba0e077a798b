// The flame's page in a real property sheet under Wine: the band and colour
// controls change the effect, OK stores the values, Cancel brings the stored
// ones back, the colour chooser cancelled keeps the colour, and frames go on
// being drawn while the page edits.
#include "sabrith/win/flame_page.h"
#include "sabrith/win/page_resources.h"
#include "sabrith/win/tests/page_sheet.h"

namespace sabrith {
namespace {

using FlameSheet = test::PageSheet<FlameEffect>;

TEST(FlamePage, ControlsChangeTheEffectAndOkStoresThem) {
    FlameSheet f;
    ASSERT_TRUE(f.open(1));
    ASSERT_TRUE(f.page());
    EXPECT_EQ(f.text(IDC_FLAME_MIN_TEXT), "0 Hz");
    EXPECT_EQ(f.text(IDC_FLAME_MAX_TEXT), "22191 Hz");
    EXPECT_EQ(SendMessageA(f.control(IDC_FLAME_COLOR), colorBoxGetColor, 0, 0), 0x2878FF)
        << "the stored colour";

    // The slider's notifications, as it posts them.
    SendMessageA(f.page(), sliderChanged, 1, 40);
    f.renderFrame();
    SendMessageA(f.page(), sliderChanged, 2, 325);
    f.pickColor(IDC_FLAME_COLOR, 1, 0x00FF00);
    f.renderFrame();
    EXPECT_EQ(f.effect.minFreq, 40);
    EXPECT_EQ(f.effect.maxFreq, 325);
    EXPECT_EQ(f.effect.flameColor, 0x00FF00);
    EXPECT_EQ(f.text(IDC_FLAME_MAX_TEXT), "24869 Hz");

    f.close(PSBTN_OK);
    FlameEffect stored{EffectContext{f.store, nullptr, &f.random}};
    EXPECT_EQ(stored.minFreq, 40);
    EXPECT_EQ(stored.maxFreq, 325);
    EXPECT_EQ(stored.flameColor, 0x00FF00);
}

TEST(FlamePage, CancelReloadsTheStoredValues) {
    FlameSheet f;
    f.effect.maxFreq = 500;
    ASSERT_TRUE(f.open(1)); // stores 500 first
    SendMessageA(f.page(), sliderChanged, 2, 100);
    EXPECT_EQ(f.effect.maxFreq, 100);
    f.close(PSBTN_CANCEL);
    EXPECT_EQ(f.effect.maxFreq, 500);
}

TEST(FlamePage, ColourBoxClickOpensTheChooserAndCancelKeepsTheColour) {
    FlameSheet f;
    f.effect.flameColor = 0x123456;
    ASSERT_TRUE(f.open(1));
    HWND box = f.control(IDC_FLAME_COLOR);
    test::BoxAnswers::send(f.sheet, box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5), IDCANCEL);
    ASSERT_EQ(test::BoxAnswers::seen.size(), 1u) << "the colour chooser should have opened";
    f.pump(); // the box's change message, posted even when cancelled
    EXPECT_EQ(f.effect.flameColor, 0x123456);
    EXPECT_EQ(SendMessageA(box, colorBoxGetColor, 0, 0), 0x123456);
}

} // namespace
} // namespace sabrith
