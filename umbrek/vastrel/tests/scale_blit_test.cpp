// The stretched blit: exact patterns, clipping, transparency and the
// vertical drift of its 16.16 walk, worked out by hand.
#include "umbrek/vastrel/drawing_surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

OwnedBitmap bitmapOf(int width, int height, std::vector<uint8_t> pixels) {
    OwnedBitmap bitmap(KX_NewBitmap(width, height));
    std::copy(pixels.begin(), pixels.end(), KX_BitmapPixels(bitmap.get()));
    return bitmap;
}

// A surface of its own pixels, filled with FILL, clipped to the whole of it.
struct Surface {
    Surface(int width, int height, uint8_t fill = 0)
        : pixels(size_t(width) * size_t(height), fill) {
        surface.pixels = pixels.data();
        surface.width = width;
        surface.height = height;
        surface.clipRight = width - 1;
        surface.clipBottom = height - 1;
    }
    std::vector<uint8_t> pixels;
    KX_DrawingSurface surface;
};

TEST(ScaleBlitTest, OnePixelFillsTheRectangle) {
    Surface s(4, 3);
    const OwnedBitmap one = bitmapOf(1, 1, {9});
    scaleBlitInto(s.surface, 1, 0, 3, 1, one.get(), false);
    EXPECT_EQ(s.pixels, (std::vector<uint8_t>{0, 9, 9, 9, 0, 9, 9, 9, 0, 0, 0, 0}));
}

TEST(ScaleBlitTest, TwoByTwoDoublesToFourByFour) {
    Surface s(4, 4);
    const OwnedBitmap two = bitmapOf(2, 2, {1, 2, 3, 4});
    scaleBlitInto(s.surface, 0, 0, 3, 3, two.get(), false);
    EXPECT_EQ(s.pixels, (std::vector<uint8_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
    // The corners may come in either order.
    Surface t(4, 4);
    scaleBlitInto(t.surface, 3, 3, 0, 0, two.get(), false);
    EXPECT_EQ(t.pixels, s.pixels);
}

TEST(ScaleBlitTest, ClippingSkipsTheSourceByTheSameSteps) {
    const OwnedBitmap two = bitmapOf(2, 2, {1, 2, 3, 4});
    Surface s(4, 4);
    s.surface.clipLeft = 1;
    s.surface.clipTop = 1;
    s.surface.clipRight = 2;
    s.surface.clipBottom = 2;
    scaleBlitInto(s.surface, 0, 0, 3, 3, two.get(), false);
    EXPECT_EQ(s.pixels, (std::vector<uint8_t>{0, 0, 0, 0, 0, 1, 2, 0, 0, 3, 4, 0, 0, 0, 0, 0}));
    // A rectangle reaching far off the surface is skipped at once, not row by row.
    Surface far(2, 2);
    scaleBlitInto(far.surface, -2000000000, -2000000000, 1, 1, two.get(), false);
    EXPECT_EQ(far.pixels, (std::vector<uint8_t>{1, 1, 1, 1})); // a step below 1/65536
    // A clip edge on the rectangle's last column leaves that column.
    Surface last(4, 4);
    last.surface.clipLeft = 3;
    scaleBlitInto(last.surface, 0, 0, 3, 3, two.get(), false);
    EXPECT_EQ(last.pixels, (std::vector<uint8_t>{0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 4}));
    // A clip rectangle larger than the surface is kept inside it.
    Surface big(2, 2);
    big.surface.clipRight = big.surface.clipBottom = 100;
    scaleBlitInto(big.surface, 0, 0, 50, 50, two.get(), false);
    EXPECT_EQ(big.pixels, (std::vector<uint8_t>{1, 1, 1, 1}));
}

TEST(ScaleBlitTest, TransparentZerosLeaveTheSurface) {
    const OwnedBitmap two = bitmapOf(2, 1, {0, 5});
    Surface opaque(2, 1, 7), clear(2, 1, 7);
    scaleBlitInto(opaque.surface, 0, 0, 1, 0, two.get(), false);
    scaleBlitInto(clear.surface, 0, 0, 1, 0, two.get(), true);
    EXPECT_EQ(opaque.pixels, (std::vector<uint8_t>{0, 5}));
    EXPECT_EQ(clear.pixels, (std::vector<uint8_t>{7, 5}));
}

TEST(ScaleBlitTest, TallBlitsDriftAheadOneRow) {
    // 10 rows onto 12: the step is 54613/65536. The fraction drops by 65535
    // on each carry, so after five carries it stands at 65538 where the exact
    // walk has 65534, and row 6 already shows source row 5 (exact: 4).
    std::vector<uint8_t> rows;
    for (int i = 0; i < 10; ++i) rows.push_back(uint8_t(i));
    const OwnedBitmap column = bitmapOf(1, 10, rows);
    Surface s(1, 12);
    scaleBlitInto(s.surface, 0, 0, 0, 11, column.get(), false);
    EXPECT_EQ(s.pixels, (std::vector<uint8_t>{0, 0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9}));
    // Skipped rows follow the same walk: clipped at the top, row 6 is still 5.
    Surface clipped(1, 12);
    clipped.surface.clipTop = 6;
    scaleBlitInto(clipped.surface, 0, 0, 0, 11, column.get(), false);
    EXPECT_EQ(clipped.pixels, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 5, 5, 6, 7, 8, 9}));
}

TEST(ScaleBlitTest, TheCurrentSurfaceIsTheEngines) {
    Surface s(2, 1);
    KX_CurrentSurface() = s.surface;
    const OwnedBitmap one = bitmapOf(1, 1, {3});
    KX_ScaleBlit(0, 0, 1, 0, one.get(), false);
    KX_CurrentSurface() = KX_DrawingSurface{};
    EXPECT_EQ(s.pixels, (std::vector<uint8_t>{3, 3}));
}

} // namespace
