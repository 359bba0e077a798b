#include "sabrith/skin/region.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace sabrith {
namespace {

// A brute-force pixel set over a small window, the oracle for the spans.
constexpr int gridSize = 48;
constexpr int gridOrigin = -8; // covers -8 .. 39, so offsets can go negative
using Grid = std::array<std::array<bool, gridSize>, gridSize>;

Grid gridOf(const Region& region) {
    Grid grid{};
    for (int y = 0; y < gridSize; ++y)
        for (int x = 0; x < gridSize; ++x)
            grid[y][x] = region.contains(x + gridOrigin, y + gridOrigin);
    return grid;
}

Grid gridOfRect(const RegionRect& r) {
    Grid grid{};
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) grid[y - gridOrigin][x - gridOrigin] = true;
    return grid;
}

// The canonical form: rectangles band by band, sorted, spans of a band not
// touching, neighbouring bands of equal height rows never holding equal spans.
void expectCanonical(const Region& region) {
    const std::vector<RegionRect> rects = region.rects();
    ASSERT_EQ(rects.size(), region.rectCount());
    for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_LT(rects[i].left, rects[i].right);
        EXPECT_LT(rects[i].top, rects[i].bottom);
        if (i == 0) continue;
        const RegionRect& a = rects[i - 1];
        const RegionRect& b = rects[i];
        if (a.top == b.top) {
            EXPECT_EQ(a.bottom, b.bottom);
            EXPECT_LT(a.right, b.left) << "spans of one band touch or overlap";
        } else {
            EXPECT_LE(a.bottom, b.top) << "bands overlap";
        }
    }
    EXPECT_EQ(region.empty(), rects.empty());
}

std::vector<RegionRect> rectsOf(std::initializer_list<RegionRect> list) {
    return list;
}

TEST(Region, OperationsGiveTheExpectedRectangles) {
    const Region a = Region::rect(0, 0, 10, 10);
    const Region b = Region::rect(5, 5, 15, 15);
    struct Case {
        const char* what;
        Region result;
        std::vector<RegionRect> rects;
    };
    const Case cases[] = {
        {"union", Region(a).unite(b), rectsOf({{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}})},
        {"difference", Region(a).subtract(b), rectsOf({{0, 0, 10, 5}, {0, 5, 5, 10}})},
        {"xor", Region(a).exclusiveOr(b),
         rectsOf({{0, 0, 10, 5}, {0, 5, 5, 10}, {10, 5, 15, 10}, {5, 10, 15, 15}})},
        {"touching sides join", Region(a).unite(Region::rect(10, 0, 20, 10)),
         rectsOf({{0, 0, 20, 10}})},
        {"stacked rectangles join", Region(a).unite(Region::rect(0, 10, 10, 30)),
         rectsOf({{0, 0, 10, 30}})},
        {"a hole", Region(a).subtract(Region::rect(2, 2, 8, 8)),
         rectsOf({{0, 0, 10, 2}, {0, 2, 2, 8}, {8, 2, 10, 8}, {0, 8, 10, 10}})},
        {"xor with itself", Region(a).exclusiveOr(a), {}},
        {"difference from nothing", Region().subtract(a), {}},
        {"empty rectangle", Region::rect(5, 5, 5, 9), {}},
        {"inverted rectangle", Region::rect(9, 9, 1, 1), {}},
        {"offset", Region(a).offset(-3, 4), rectsOf({{-3, 4, 7, 14}})},
        {"three side-by-side tiles", Region::rect(2, 0, 4, 3).tiled(3, 10, 0),
         rectsOf({{2, 0, 4, 3}, {12, 0, 14, 3}, {22, 0, 24, 3}})},
        {"tiles that meet", Region::rect(0, 0, 10, 3).tiled(3, 10, 0), rectsOf({{0, 0, 30, 3}})},
        {"vertical tiles", Region::rect(0, 1, 3, 2).tiled(2, 0, 5),
         rectsOf({{0, 1, 3, 2}, {0, 6, 3, 7}})},
        {"overlapping tiles", Region::rect(0, 0, 10, 2).tiled(2, 4, 1),
         rectsOf({{0, 0, 10, 1}, {0, 1, 14, 2}, {4, 2, 14, 3}})},
        {"no tiles", Region(a).tiled(0, 10, 0), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result.rects(), c.rects) << c.what;
        expectCanonical(c.result);
    }
}

TEST(Region, ContainsEmptyAndBoundingBox) {
    Region ring = Region::rect(0, 0, 10, 10);
    ring.subtract(Region::rect(2, 2, 8, 8));
    EXPECT_TRUE(ring.contains(0, 0));
    EXPECT_TRUE(ring.contains(9, 9));
    EXPECT_FALSE(ring.contains(10, 9)) << "right edge is out";
    EXPECT_FALSE(ring.contains(9, 10)) << "bottom edge is out";
    EXPECT_FALSE(ring.contains(5, 5));
    EXPECT_FALSE(ring.contains(-1, 5));
    EXPECT_EQ(ring.boundingBox(), (RegionRect{0, 0, 10, 10}));
    EXPECT_EQ(Region().boundingBox(), (RegionRect{}));
    EXPECT_TRUE(Region().empty());
    EXPECT_FALSE(ring.empty());
    // One pixel set, two histories: the canonical form compares equal.
    Region pieces = Region::rect(0, 0, 10, 2);
    pieces.unite(Region::rect(0, 8, 10, 10))
        .unite(Region::rect(0, 2, 2, 8))
        .unite(Region::rect(8, 2, 10, 8));
    EXPECT_EQ(pieces, ring);
}

TEST(Region, RandomRectanglesMatchAPixelSet) {
    std::mt19937 random(20261211);
    auto coordinate = [&] { return int(random() % 34); }; // inside the grid
    for (int round = 0; round < 300; ++round) {
        Region region;
        Grid expected{};
        for (int step = 0; step < 8; ++step) {
            int x0 = coordinate(), x1 = coordinate(), y0 = coordinate(), y1 = coordinate();
            if (x0 > x1) std::swap(x0, x1);
            if (y0 > y1) std::swap(y0, y1);
            const Region rect = Region::rect(x0, y0, x1, y1);
            const Grid cells = gridOfRect({x0, y0, x1, y1});
            const int op = int(random() % 4);
            if (op == 3 && (region.empty() || region.boundingBox().right > 36)) continue;
            for (int y = 0; y < gridSize; ++y)
                for (int x = 0; x < gridSize; ++x) {
                    bool& cell = expected[y][x];
                    if (op == 0) cell = cell || cells[y][x];
                    if (op == 1) cell = cell && !cells[y][x];
                    if (op == 2) cell = cell != cells[y][x];
                }
            if (op == 0) region.unite(rect);
            if (op == 1) region.subtract(rect);
            if (op == 2) region.exclusiveOr(rect);
            if (op == 3) {
                // Shift both by (-2, +1); the grid leaves room on every side.
                Grid moved{};
                for (int y = 0; y < gridSize; ++y)
                    for (int x = 0; x < gridSize; ++x)
                        if (expected[y][x]) moved[y + 1][x - 2] = true;
                expected = moved;
                region.offset(-2, 1);
            }
            ASSERT_EQ(gridOf(region), expected) << "round " << round << " step " << step;
            expectCanonical(region);
        }
        // Tiling equals the union of moved copies.
        Region copies;
        for (int i = 0; i < 3; ++i) copies.unite(Region(region).offset(i * 7, i * 2));
        EXPECT_EQ(region.tiled(3, 7, 2), copies);
        const RegionRect box = region.boundingBox();
        Region sideBySide;
        for (int i = 0; i < 4; ++i)
            sideBySide.unite(Region(region).offset(i * (box.right - box.left), 0));
        EXPECT_EQ(region.tiled(4, box.right - box.left, 0), sideBySide);
    }
}

TEST(Region, BuilderTakesRowsInAnyOrder) {
    // A pixel-by-pixel see-through scan: a diagonal plus a full row.
    RegionBuilder builder;
    Region expected;
    for (int y = 0; y < 6; ++y) {
        builder.addSpan(y, y, y + 1);
        expected.unite(Region::rect(y, y, y + 1, y + 1));
    }
    for (int x = 0; x < 6; ++x) builder.addSpan(6, x, x + 1); // pixels that touch join
    builder.addSpan(2, 4, 5);                                 // a row already passed
    builder.addSpan(7, 5, 3);                                 // empty
    expected.unite(Region::rect(0, 6, 6, 7)).unite(Region::rect(4, 2, 5, 3));
    const Region built = builder.finish();
    EXPECT_EQ(built, expected);
    expectCanonical(built);
    EXPECT_TRUE(builder.finish().empty()) << "finish starts afresh";
}

TEST(Region, HugeCoordinatesAndOffsetsStayBounded) {
    Region wide = Region::rect(INT64_MIN, -5, INT64_MAX, 5);
    EXPECT_EQ(wide.boundingBox(),
              (RegionRect{-Region::coordinateLimit, -5, Region::coordinateLimit, 5}));
    Region moved = Region::rect(0, 0, 10, 10);
    moved.offset(INT64_MAX / 2, 0);
    EXPECT_TRUE(moved.empty()) << "pushed past the limit, nothing is left";
    moved = Region::rect(0, 0, 10, 10).tiled(INT64_MAX, 1 << 20, 0);
    expectCanonical(moved);
    EXPECT_EQ(moved.rectCount(), 256u) << "copies stop at the limit";
    moved = Region::rect(0, 0, 10, 10).tiled(1000, 3, 3); // overlapping: log2 unions
    expectCanonical(moved);
}

} // namespace
} // namespace sabrith
