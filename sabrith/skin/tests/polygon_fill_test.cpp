#include "sabrith/skin/polygon_fill.h"

#include <gtest/gtest.h>

#include <random>

namespace sabrith {
namespace {

const RegionRect window{0, 0, 64, 64};

// The rule pixel by pixel: the point (x, y) is inside when an odd number of
// edges whose rows [top, bottom) hold y cross its row at or left of it.
bool insideByCrossings(const std::vector<OutlineFigure>& figures, int x, int y) {
    bool inside = false;
    for (const OutlineFigure& figure : figures)
        for (size_t i = 0; i < figure.size(); ++i) {
            OutlinePoint a = figure[i], b = figure[(i + 1) % figure.size()];
            if (a.y > b.y) std::swap(a, b);
            if (y < a.y || y >= b.y) continue;
            const int64_t den = b.y - a.y;
            const int64_t num = int64_t(a.x) * den + int64_t(y - a.y) * (b.x - a.x);
            if (num <= int64_t(x) * den) inside = !inside;
        }
    return inside;
}

void expectMatchesCrossings(const std::vector<OutlineFigure>& figures, const Region& region,
                            const char* what) {
    for (int y = window.top; y < window.bottom; ++y)
        for (int x = window.left; x < window.right; ++x)
            ASSERT_EQ(region.contains(x, y), insideByCrossings(figures, x, y))
                << what << " at " << x << "," << y;
}

TEST(PolygonFill, FiguresSplitAtTheirStartPoint) {
    const std::vector<OutlinePoint> points{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0},  {2, 2},
                                           {8, 2}, {8, 8},  {2, 8},   {2, 2},  {20, 0}, {30, 0}};
    const std::vector<OutlineFigure> figures = splitOutlineFigures(points);
    ASSERT_EQ(figures.size(), 3u);
    EXPECT_EQ(figures[0].size(), 5u);
    EXPECT_EQ(figures[1].front(), (OutlinePoint{2, 2}));
    EXPECT_EQ(figures[2].size(), 2u) << "the last figure ends at the last point";
    EXPECT_TRUE(splitOutlineFigures({}).empty());
}

TEST(PolygonFill, KnownShapes) {
    Region ring = Region::rect(0, 0, 10, 10);
    ring.subtract(Region::rect(2, 2, 8, 8));
    struct Case {
        const char* what;
        std::vector<OutlinePoint> points;
        Region expected;
    };
    const Case cases[] = {
        {"square: left and top in, right and bottom out",
         {{0, 0}, {10, 0}, {10, 10}, {0, 10}},
         Region::rect(0, 0, 10, 10)},
        {"square drawn the other way",
         {{3, 4}, {3, 9}, {7, 9}, {7, 4}, {3, 4}},
         Region::rect(3, 4, 7, 9)},
        {"ring from two figures",
         {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {2, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 2}},
         ring},
        {"a line has no inside", {{0, 0}, {10, 10}}, Region()},
        {"one point", {{5, 5}}, Region()},
        {"overlapping squares cancel where they meet",
         {{0, 0}, {6, 0}, {6, 6}, {0, 6}, {0, 0}, {3, 3}, {9, 3}, {9, 9}, {3, 9}, {3, 3}},
         Region(Region::rect(0, 0, 6, 6)).exclusiveOr(Region::rect(3, 3, 9, 9))},
        {"clipped to the window",
         {{-50, -50}, {100, -50}, {100, 100}, {-50, 100}},
         Region::rect(0, 0, 64, 64)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fillEvenOdd(splitOutlineFigures(c.points), window), c.expected) << c.what;
}

TEST(PolygonFill, SelfIntersectingFiguresFollowTheAlternateRule) {
    // A five-pointed star drawn in one stroke: its middle pentagon is crossed
    // twice and stays out; a bow tie; a square with a hole walked as one
    // figure through a slit.
    const std::vector<OutlineFigure> shapes[] = {
        {{{32, 2}, {51, 60}, {2, 24}, {62, 24}, {13, 60}}},
        {{{0, 0}, {40, 40}, {40, 0}, {0, 40}}},
        {{{0, 0}, {30, 0}, {30, 30}, {0, 30}, {0, 0}}, {{10, 10}, {20, 10}, {20, 20}, {10, 20}}},
    };
    for (const auto& figures : shapes)
        expectMatchesCrossings(figures, fillEvenOdd(figures, window), "shape");
    const Region star = fillEvenOdd(shapes[0], window);
    EXPECT_FALSE(star.contains(32, 35)) << "the star's middle is a hole";
    EXPECT_TRUE(star.contains(32, 10));
    EXPECT_FALSE(fillEvenOdd(shapes[2], window).contains(15, 15));
}

TEST(PolygonFill, RandomPolygonsMatchThePixelRule) {
    std::mt19937 random(1211);
    for (int round = 0; round < 200; ++round) {
        std::vector<OutlineFigure> figures(1 + random() % 3);
        for (OutlineFigure& figure : figures) {
            figure.resize(2 + random() % 7);
            for (OutlinePoint& point : figure)
                point = {int32_t(random() % 80) - 8, int32_t(random() % 80) - 8};
        }
        expectMatchesCrossings(figures, fillEvenOdd(figures, window), "random");
    }
}

TEST(PolygonFill, HugeCoordinatesCostOnlyTheClip) {
    const std::vector<OutlineFigure> figures{
        {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}}};
    const Region region = fillEvenOdd(figures, window);
    EXPECT_TRUE(region.contains(63, 0));
    EXPECT_FALSE(region.contains(0, 63));
    EXPECT_TRUE(fillEvenOdd(figures, RegionRect{5, 5, 5, 5}).empty());
}

} // namespace
} // namespace sabrith
