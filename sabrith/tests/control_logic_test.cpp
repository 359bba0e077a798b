#include "sabrith/control_logic.h"

#include <gtest/gtest.h>

namespace sabrith {
namespace {

TEST(MinMaxRange, SetRulesKeepTheGapInsideTheRange) {
    struct Case {
        int valueMin, valueMax;
        bool setMin;
        int value, expectedMin, expectedMax;
    };
    const Case cases[] = {
        {0, 575, true, 100, 100, 575},    {0, 575, true, -9, 0, 575},
        {0, 200, true, 195, 190, 200},    {0, 200, true, 900, 190, 200}, // stops minGap below
        {0, 5, true, 3, 0, 10},           {0, 575, false, 700, 0, 575},
        {100, 575, false, 105, 100, 110}, {100, 575, false, 0, 100, 110},
        {570, 575, false, 571, 565, 575}, {0, 300, false, 250, 0, 250},
    };
    for (const Case& c : cases) {
        MinMaxRange range;
        range.valueMin = c.valueMin;
        range.valueMax = c.valueMax;
        if (c.setMin) {
            range.setMinimum(c.value);
        } else {
            range.setMaximum(c.value);
        }
        EXPECT_EQ(range.valueMin, c.expectedMin)
            << c.valueMin << "-" << c.valueMax << " " << c.value;
        EXPECT_EQ(range.valueMax, c.expectedMax)
            << c.valueMin << "-" << c.valueMax << " " << c.value;
    }
    MinMaxRange both;
    both.setMinimum(575);
    both.setMaximum(575);
    EXPECT_EQ(both.valueMin, 565);
    EXPECT_EQ(both.valueMax, 575);
    MinMaxRange low; // dragging the maximum down to 0
    low.setMaximum(0);
    EXPECT_EQ(low.valueMin, 0);
    EXPECT_EQ(low.valueMax, 10);
}

TEST(MinMaxRange, PointerToValueAndThumbPosition) {
    const MinMaxRange range;
    int value = -1;
    EXPECT_FALSE(sliderValueAt(range, 50, 23, value));
    EXPECT_EQ(value, -1);
    ASSERT_TRUE(sliderValueAt(range, 7, 589, value));
    EXPECT_EQ(value, 0);
    sliderValueAt(range, int16_t(-5), 589, value); // left of the groove, or a negative word
    EXPECT_EQ(value, 0);
    sliderValueAt(range, 582, 589, value);
    EXPECT_EQ(value, 575);
    sliderValueAt(range, 100, 200, value);
    EXPECT_EQ(value, 575 * 93 / 186);
    EXPECT_EQ(sliderThumbX(range, 0, 200), 7);
    EXPECT_EQ(sliderThumbX(range, 575, 200), 193);
}

TEST(ColorPreview, CornersFlatSwatchAndPicking) {
    DibImage preview("ColorBox");
    preview.resize(8, 4);
    std::array<int, 4> colors{0x0000FF, 0x00FF00, 0xFF0000, 0x808080};
    drawColorPreview(preview, colors, 4);
    const uint32_t* p = preview.pixels();
    EXPECT_EQ(p[0], 0xFF0000u);         // colour 1 (red) top-left
    EXPECT_EQ(p[7], 0x20DF00u);         // toward colour 2 (green): x 7 of 8
    EXPECT_EQ(p[3 * 8], 0x4000BFu);     // toward colour 3 (blue): row 3 of 4
    EXPECT_EQ(p[3 * 8 + 7], 0x5C8C6Cu); // (64, 0, 191) to (96, 160, 96) at x 7 of 8
    std::array<int, 4> one{0x123456, 1, 2, 3};
    drawColorPreview(preview, one, 1);
    EXPECT_EQ(one[3], 0x123456);
    for (int i = 0; i < 32; ++i) ASSERT_EQ(p[i], 0x563412u) << i;

    EXPECT_EQ(pickSwatch(3, 1, 8, 4, 4), 1);
    EXPECT_EQ(pickSwatch(4, 1, 8, 4, 4), 2);
    EXPECT_EQ(pickSwatch(3, 2, 8, 4, 4), 3);
    EXPECT_EQ(pickSwatch(7, 3, 8, 4, 4), 4);
    EXPECT_EQ(pickSwatch(7, 3, 8, 4, 1), 1);
}

TEST(ScalePlot, ZeroOnTheBottomFullScaleNotPlottedNoOverflow) {
    DibImage preview("ScaleBox");
    preview.resize(4, 10);
    const int32_t values[] = {0, 50, 99, 100};
    drawScalePlot(preview, values, 100);
    auto at = [&](int x, int y) { return preview.pixels()[y * 4 + x]; };
    EXPECT_EQ(at(0, 9), 0x8CDC8Cu);
    EXPECT_EQ(at(1, 4), 0x8CDC8Cu); // 50 * 10 / 100 = 5: row 10 - 5 - 1
    EXPECT_EQ(at(2, 0), 0x8CDC8Cu);
    for (int y = 0; y < 10; ++y) EXPECT_EQ(at(3, y), 0x0F280Fu) << "full scale is off the plot";
    // A tall box with values near 2^31 would overflow 32-bit products.
    DibImage tall("ScaleBox");
    tall.resize(4, 2000);
    const int32_t big[] = {2000000000, 1000000000};
    drawScalePlot(tall, big, 2100000000);
    const int64_t v = int64_t(2000000000) * 2000 / 2100000000;
    EXPECT_EQ(tall.pixels()[(2000 - v - 1) * 4], 0x8CDC8Cu);
}

} // namespace
} // namespace sabrith
