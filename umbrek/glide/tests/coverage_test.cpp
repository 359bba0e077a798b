// Which pixels a triangle covers: centres inside, the top-left rule on edges,
// the clip window, any winding.
#include "umbrek/glide/tests/screen_fixture.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace umbrek::glide;
using namespace umbrek::glide::test;

namespace {

using Coverage = Screen;

struct CoverageCase {
    const char* name;
    float x[3], y[3];
    std::vector<std::string> expected; // the 8x8 corner of the screen
};

TEST_F(Coverage, TrianglesCoverThePixelsWhoseCentresAreInside) {
    const CoverageCase cases[] = {
        // The hypotenuse x + y = 4 is a right edge: centres on it (px + py = 3) stay out.
        {"corner",
         {0, 4, 0},
         {0, 0, 4},
         {"###.....", "##......", "#.......", "........", "........", "........", "........",
          "........"}},
        // Edges through pixel centres: the top (y = 0.5) and left (x = 0.5) edges keep
        // their centres, the right one (x + y = 5) does not.
        {"edges through centres",
         {0.5f, 4.5f, 0.5f},
         {0.5f, 0.5f, 4.5f},
         {"####....", "###.....", "##......", "#.......", "........", "........", "........",
          "........"}},
        // The same triangle wound the other way.
        {"clockwise",
         {0.5f, 0.5f, 4.5f},
         {0.5f, 4.5f, 0.5f},
         {"####....", "###.....", "##......", "#.......", "........", "........", "........",
          "........"}},
        // A sliver whose long edge passes exactly through the centre (0.5, 0.5).
        {"sliver",
         {0.125f, 0.875f, 0.125f},
         {0.125f, 0.125f, 0.875f},
         {"........", "........", "........", "........", "........", "........", "........",
          "........"}},
        // A bottom edge (y = 3.5) through centres: row 3 stays out.
        {"flat bottom",
         {1, 6, 3.5f},
         {0, 3.5f, 3.5f},
         {".#......", "..#.....", "...##...", "........", "........", "........", "........",
          "........"}},
        // Partly off the screen to the left and above.
        {"off screen",
         {-20, 3, 3},
         {3, 3, -20},
         {"###.....", "###.....", "###.....", "........", "........", "........", "........",
          "........"}},
    };
    for (const CoverageCase& c : cases) {
        SCOPED_TRACE(c.name);
        grBufferClear(0, 0, 0xFFFF);
        const GrVertex a = vertex(c.x[0], c.y[0]), b = vertex(c.x[1], c.y[1]);
        const GrVertex d = vertex(c.x[2], c.y[2]);
        counters() = Counters{};
        grDrawTriangle(&a, &b, &d);
        EXPECT_EQ(map(8, 8), c.expected);
        size_t lit = 0;
        for (const std::string& row : c.expected)
            lit += size_t(std::count(row.begin(), row.end(), '#'));
        EXPECT_EQ(counters().pixels, lit) << "pixels outside the 8x8 corner";
    }
}

// Additive drawing shows each pixel's coverage count: a square split along its
// diagonal, and a fan of four triangles around a centre, cover every pixel once.
TEST_F(Coverage, SharedEdgesCoverEachPixelOnce) {
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
    const GrVertex unit = vertex(0, 0, 8, 8, 8);
    rect(1, 1, 5, 5, unit);
    GrVertex centre = unit, corners[4] = {unit, unit, unit, unit};
    centre.x = 10.3f, centre.y = 3.1f;
    const float cx[4] = {7, 14, 14, 7}, cy[4] = {0, 0, 7, 7};
    for (int i = 0; i < 4; ++i) corners[i].x = cx[i], corners[i].y = cy[i];
    for (int i = 0; i < 4; ++i) grDrawTriangle(&centre, &corners[i], &corners[(i + 1) % 4]);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inSquare = x >= 1 && x < 5 && y >= 1 && y < 5;
            const bool inFan = x >= 7 && x < 14 && y < 7;
            EXPECT_EQ(pixel(x, y), inSquare || inFan ? rgb565(8, 8, 8) : 0) << x << "," << y;
        }
}

TEST_F(Coverage, TheClipWindowCutsTrianglesAndClears) {
    grClipWindow(2, 2, 5, 4);
    rect(0, 0, 8, 8);
    EXPECT_EQ(map(8, 8),
              (std::vector<std::string>{"........", "........", "..###...", "..###...", "........",
                                        "........", "........", "........"}));
    grClipWindow(6, 0, 400, 1); // clamped to the screen
    grBufferClear(0xFFFFFFFF, 0, 0);
    EXPECT_EQ(map(8, 2), (std::vector<std::string>{"......##", "........"}));
    EXPECT_EQ(pixel(319, 0), 0xFFFF);
    EXPECT_EQ(pixel(319, 1), 0);
}

// Hostile triangles are skipped, or drawn inside the screen only.
TEST_F(Coverage, BrokenTrianglesAreSkipped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // Positions not finite or beyond a million pixels, other values not finite.
    for (float f : {nan, inf, -inf, 1e30f, -1e30f}) {
        for (int field = 0; field < 4; ++field) {
            if (field >= 2 && std::isfinite(f)) continue;
            GrVertex a = vertex(0, 0), b = vertex(10, 0), c = vertex(0, 10);
            float* slots[4] = {&a.x, &c.y, &c.r, &a.oow};
            *slots[field] = f;
            grDrawTriangle(&a, &b, &c);
            grDrawLine(&a, &c);
        }
    }
    const GrVertex a = vertex(1, 1), b = vertex(5, 5), c = vertex(9, 9);
    grDrawTriangle(&a, &b, &c); // zero area
    grDrawTriangle(&a, &a, &a);
    grDrawTriangle(nullptr, &a, &b);
    EXPECT_EQ(counters().pixels, 0u);
    EXPECT_EQ(counters().triangles, 0u);
    // A huge triangle inside the accepted range fills the clip window and no more.
    const GrVertex h0 = vertex(-500000, -500000), h1 = vertex(500000, -500000);
    const GrVertex h2 = vertex(0, 500000);
    grDrawTriangle(&h0, &h1, &h2);
    EXPECT_EQ(counters().pixels, 320u * 200u);
    // Huge colours are pinned to 0..255.
    const GrVertex w0 = vertex(0, 0, 1e30f, -1e30f, 1e30f), w1 = vertex(4, 0, 1e30f, -1e30f, 1e30f);
    const GrVertex w2 = vertex(0, 4, 1e30f, -1e30f, 1e30f);
    grDrawTriangle(&w0, &w1, &w2);
    EXPECT_EQ(pixel(0, 0), rgb565(255, 0, 255));
    // Steep colour slopes across a wide span stay inside the fixed-point range.
    const GrVertex s0 = vertex(0, 10, -1e6f, 1e6f, 0), s1 = vertex(320, 10, 1e6f, -1e6f, 0);
    const GrVertex s2 = vertex(0, 12, 1e6f, 0, -1e6f);
    grDrawTriangle(&s0, &s1, &s2);
    EXPECT_EQ(pixel(0, 10), rgb565(0, 255, 0));
    // A line from far outside crosses the screen in the pixels it passes.
    grBufferClear(0, 0, 0);
    const GrVertex l0 = vertex(-500000.5f, 20.5f), l1 = vertex(500000.5f, 20.5f);
    grDrawLine(&l0, &l1);
    EXPECT_EQ(pixel(0, 20), 0xFFFF);
    EXPECT_EQ(pixel(319, 20), 0xFFFF);
    EXPECT_EQ(pixel(0, 21), 0);
}

// Lines take the pixels under their points up to, not including, the end.
TEST_F(Coverage, LinesTakeOnePixelPerStep) {
    // y = 0.5 + i / 3 at x = 0.5 + i.
    const GrVertex a = vertex(0.5f, 0.5f), b = vertex(6.5f, 2.5f);
    grDrawLine(&a, &b);
    EXPECT_EQ(map(8, 5), (std::vector<std::string>{"##......", "..###...", ".....#..", "........",
                                                   "........"}));
    const GrVertex c = vertex(7.5f, 4.5f), d = vertex(7.5f, 0.5f);
    grDrawLine(&c, &d);
    EXPECT_EQ(map(8, 5), (std::vector<std::string>{"##......", "..###..#", ".....#.#", ".......#",
                                                   ".......#"}));
    EXPECT_EQ(counters().lines, 2u);
}

} // namespace
