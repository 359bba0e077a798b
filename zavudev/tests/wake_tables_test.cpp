// The constant tables of "wake up" against the values they were drawn to
// meet: exact where a formula gives them, within one where only the shape
// and a few points are known.
#include "zavudev/wake_tables.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zavudev {
namespace {

struct Point {
    int u, value;
};

void expectNear(const uint8_t* table, std::initializer_list<Point> points, int tolerance,
                const char* name) {
    for (const Point& p : points)
        EXPECT_LE(std::abs(table[p.u] - p.value), tolerance)
            << name << " at " << p.u << " is " << int(table[p.u]);
}

TEST(WakeTables, ZoomSteps) {
    const WakeTables& t = wakeTables();
    EXPECT_EQ(t.zoomSteps[0], 163840u);
    EXPECT_EQ(t.zoomSteps[16], 139264u);
    EXPECT_EQ(t.zoomSteps[48], 98304u);
    EXPECT_EQ(t.zoomSteps[63], 82864u);
    for (int g = 1; g < zoomStepCount; ++g) EXPECT_LT(t.zoomSteps[g], t.zoomSteps[g - 1]);
}

TEST(WakeTables, ContrastCurves) {
    const WakeTables& t = wakeTables();
    for (int u = 0; u < 256; ++u) ASSERT_EQ(t.contrastCurves[63][u], u);
    EXPECT_EQ(t.contrastCurves[0][1], 127);
    EXPECT_EQ(t.contrastCurves[0][2], 139);
    for (int k = 0; k < curveCount; ++k) {
        EXPECT_EQ(t.contrastCurves[k][0], 0);
        EXPECT_EQ(t.contrastCurves[k][255], 255);
        for (int u = 1; u < 256; ++u) ASSERT_GE(t.contrastCurves[k][u], t.contrastCurves[k][u - 1]);
    }
}

TEST(WakeTables, Waves) {
    const WakeTables& t = wakeTables();
    expectNear(t.shapeWaves[0], {{0, 0}, {64, 180}, {128, 255}, {192, 180}, {255, 3}}, 0, "sine");
    expectNear(t.shapeWaves[1], {{0, 0}, {1, 2}, {127, 254}, {128, 255}, {129, 253}, {255, 1}}, 0,
               "triangle");
    for (int u = 0; u <= 20; ++u) EXPECT_EQ(t.shapeWaves[2][u], 0) << u;
    for (int u = 236; u < 256; ++u) EXPECT_EQ(t.shapeWaves[2][u], 0) << u;
    expectNear(t.shapeWaves[2],
               {{21, 1},
                {32, 4},
                {64, 32},
                {100, 123},
                {124, 234},
                {128, 255},
                {129, 249},
                {130, 243},
                {131, 237},
                {132, 231},
                {154, 128},
                {175, 64}},
               1, "sharp peak");
    expectNear(t.shapeWaves[3],
               {{0, 0},
                {1, 22},
                {2, 31},
                {3, 39},
                {4, 45},
                {5, 50},
                {128, 255},
                {129, 253},
                {130, 252},
                {131, 251},
                {254, 27},
                {255, 15}},
               1, "rounded hump");
    for (int w = 0; w < 4; ++w) {
        // Rising to the peak at 128 and falling after it.
        for (int u = 1; u <= 128; ++u) ASSERT_GE(t.shapeWaves[w][u], t.shapeWaves[w][u - 1]) << w;
        for (int u = 129; u < 256; ++u) ASSERT_LE(t.shapeWaves[w][u], t.shapeWaves[w][u - 1]) << w;
        for (int u = 0; u < 256; ++u) ASSERT_EQ(t.shapeWaves[w + 4][u], 255 - t.shapeWaves[w][u]);
    }
}

TEST(WakeTables, PlaneZeroMaps) {
    const WakeTables& t = wakeTables();
    auto U = [&](int column, int row) { return int(t.mapU[0][row][column]); };
    EXPECT_EQ(U(0, 0), 0);
    EXPECT_EQ(U(95, 0), 203);
    EXPECT_EQ(U(0, 69), 147);
    EXPECT_EQ(U(95, 69), 251);

    struct Quoted {
        int column, row, value;
    };
    const Quoted quoted[] = {
        // Row 0.
        {0, 0, 0},
        {1, 0, 51},
        {2, 0, 74},
        {3, 0, 87},
        {4, 0, 94},
        {5, 0, 100},
        {6, 0, 103},
        {7, 0, 106},
        {8, 0, 109},
        {9, 0, 110},
        {10, 0, 112},
        {11, 0, 113},
        {19, 0, 118},
        // Rows 1 and 2.
        {0, 1, 52},
        {1, 1, 0},
        {2, 1, 31},
        {3, 1, 51},
        {4, 1, 65},
        {5, 1, 74},
        {6, 1, 81},
        {7, 1, 87},
        {0, 2, 75},
        {1, 2, 32},
        {2, 2, 0},
        {3, 2, 22},
        {4, 2, 39},
        {5, 2, 51},
        {6, 2, 61},
        {7, 2, 68},
        // Column 0.
        {0, 5, 101},
        {0, 10, 113},
        {0, 20, 120},
        {0, 55, 125},
        // Just right of the diagonal.
        {7, 6, 10},
        {13, 12, 5},
        {19, 18, 3},
        {25, 24, 2},
        // Column 95.
        {95, 0, 125},
        {95, 10, 108},
        {95, 30, 76},
        {95, 69, 24},
    };
    for (const Quoted& q : quoted)
        EXPECT_LE(std::abs(int(t.mapV[0][q.row][q.column]) - q.value), 1)
            << "V at column " << q.column << " row " << q.row;
    for (int i = 0; i < 70; ++i) EXPECT_EQ(t.mapV[0][i][i], 0);
}

// Planes 1 and 2: one coordinate spread over the byte range, the other a
// hyperbola that wraps modulo 256.
TEST(WakeTables, PlanesOneAndTwo) {
    const WakeTables& t = wakeTables();
    struct Case {
        int plane, column, row, u, v;
    } cases[] = {
        {1, 0, 0, 2, 4},                            // 255 / 96; 1 x 1024 >> 8
        {1, 0, 69, 2, 24},                          // 70 x 1024 >> 8 = 280, wrapped
        {1, 95, 69, 255, 40},                       // 70 x (16384 / 111 = 147) >> 8
        {1, 47, 10, 127, 11},                       // 48 x 255 / 96; 11 x 260 >> 8
        {2, 0, 0, 3, 4},                            // 255 / 70
        {2, 69, 0, 3, 24},    {2, 95, 69, 255, 72}, // 96 x (16384 / 85 = 192) >> 8
    };
    for (const Case& c : cases) {
        EXPECT_EQ(t.mapU[c.plane][c.row][c.column], c.u)
            << c.plane << ":" << c.column << "," << c.row;
        EXPECT_EQ(t.mapV[c.plane][c.row][c.column], c.v)
            << c.plane << ":" << c.column << "," << c.row;
    }
}

} // namespace
} // namespace zavudev
