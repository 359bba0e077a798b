// GDI text for skins. Fonts differ between systems, so only the structure
// is checked: widths grow with the text, the strip has its size and holds
// text pixels, nothing outside it is touched.
#include "sabrith/win/skin_text.h"

#include <gtest/gtest.h>

namespace sabrith {
namespace {

constexpr uint32_t marker = 0x00123456;

TEST(SkinText, FontsMeasureAndDrawAKeyedStrip) {
    GdiFontFactory fonts;
    GdiTextRenderer text;
    const auto font = fonts.createFont({"Arial", 14, 400});
    ASSERT_NE(font, nullptr);
    const int shortWidth = text.textWidth(*font, "Lu");
    const int longWidth = text.textWidth(*font, "Lumbrin Lumbrin");
    EXPECT_GT(shortWidth, 0);
    EXPECT_GT(longWidth, shortWidth);
    EXPECT_EQ(text.textWidth(*font, ""), 0);

    DibImage target("target");
    ASSERT_EQ(target.resize(120, 40), 1);
    for (int i = 0; i < 120 * 40; ++i) target.pixels()[i] = marker;
    // White text on a back colour of (8, 74, 63): the strip is 100 x 16.
    const uint32_t back = 8 + 74 * 256 + 63 * 65536;
    text.drawText(*font, "Lumbrin", 0xFFFFFF, back, target, 5, 3, 100, 14);
    int textPixels = 0, backPixels = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const uint32_t pixel = target.pixels()[y * 120 + x] & 0xFFFFFF;
            const bool inStrip = x >= 5 && x < 105 && y >= 3 && y < 3 + 16;
            if (!inStrip) {
                ASSERT_EQ(pixel, marker) << "outside the strip at " << x << "," << y;
                continue;
            }
            ASSERT_NE(pixel, marker) << "strip pixel not drawn at " << x << "," << y;
            if (pixel == pixelFromColor(back))
                ++backPixels;
            else
                ++textPixels;
        }
    EXPECT_GT(textPixels, 10);
    EXPECT_GT(backPixels, textPixels) << "the back colour fills the rest of the strip";

    const auto bold = fonts.createFont({"Arial", 14, 700});
    ASSERT_NE(bold, nullptr);
    EXPECT_GE(text.textWidth(*bold, "Lumbrin Lumbrin"), longWidth);
}

} // namespace
} // namespace sabrith
