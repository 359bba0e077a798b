// The Block's peaks, tumble and rebuild on fixed rows, and its boxes as GL
// quad strips: N x N strips of 18 points, the peak each cell shows.
#include "fennick/block_module.h"
#include "fennick/tests/module_fixture.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

using testing::countOf;
using testing::glLog;
using testing::primitives;

struct Block : testing::ModuleFixture {
    BlockState state;
    int settingsChanged = 0;
    bool rebuilt = false;
    void start(int gridRes) {
        settings.GridRes = gridRes;
        startBlock(*scene, settings);
    }
    void frames(int n) {
        for (int f = 0; f < n; ++f)
            rebuilt = updateBlock(state, *scene, settings, rows(), settingsChanged);
    }
    void draw() {
        glLog().clear();
        drawBlock(gl, state, *scene, rebuilt, fade);
    }
};

TEST_F(Block, PeaksRiseWithTheSoundAndFallBy25AFrameAfterIt) {
    start(20);            // binStep 1: cell k reads bin k
    spectrum[0][7] = 100; // 3 x whole part of 120
    spectrum[1][7] = 50;  // -3 x 60
    settings.Sensitivity = 50;
    frames(1);
    EXPECT_FLOAT_EQ(state.peakUp[7], 180);
    EXPECT_FLOAT_EQ(state.peakDown[7], -90);
    spectrum[0][7] = 10; // below the peaks: no rise
    spectrum[1][7] = 10;
    frames(1);
    EXPECT_FLOAT_EQ(state.peakUp[7], 155);
    EXPECT_FLOAT_EQ(state.peakDown[7], -65);
    std::memset(spectrum, 0, sizeof spectrum);
    frames(6);
    EXPECT_FLOAT_EQ(state.peakUp[7], 5);
    EXPECT_FLOAT_EQ(state.peakDown[7], 0);
    frames(1);
    EXPECT_FLOAT_EQ(state.peakUp[7], 0);
}

TEST_F(Block, CellShowsThePeakOfTheProductOfItsIndices) {
    start(20);
    for (int b = 0; b < soundRowLength; ++b) spectrum[0][b] = std::uint8_t(b % 200);
    frames(1);
    draw();
    auto strips = primitives(glQuadStrip);
    ASSERT_EQ(strips.size(), 400u);
    // Cell j = 2, i = 3 is strip 2 x 20 + 3 and shows bin 12: 3 x 14 + 50 on top.
    const std::vector<std::string>& cell = strips[43];
    const SceneVertex& d = scene->grid[3][3];
    EXPECT_EQ(cell[0], testing::vertexLine({d.x, 3 * 14 + 50, d.z, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cell[4],
              testing::vertexLine({scene->grid[3][2].x, -50, scene->grid[3][2].z, 0, 0, 0, 0, 0}));
}

TEST_F(Block, DrawsGridResSquaredStripsOfEighteenPointsWithinTheLimits) {
    struct Case {
        int gridRes, n;
    } cases[] = {{8, 8}, {20, 20}, {0, 1}, {-5, 1}, {99, 24}, {100000, 24}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gridRes);
        start(c.gridRes);
        fillSpectrum(0, 255);
        fillSpectrum(1, 255);
        frames(2);
        draw();
        auto strips = primitives(glQuadStrip);
        ASSERT_EQ(strips.size(), std::size_t(c.n * c.n));
        for (const auto& s : strips) ASSERT_EQ(s.size(), 18u);
        EXPECT_EQ(countOf("glEnable 2929"), 1);
        EXPECT_EQ(countOf("glShadeModel 7424"), 1);
    }
}

TEST_F(Block, SettingsChangeRebuildsTheGridAndProjectsOnce) {
    start(8);
    EXPECT_EQ(scene->binStep, 6);
    settings.GridRes = 4;
    frames(1);
    EXPECT_FALSE(rebuilt);
    EXPECT_EQ(scene->gridLines, 8);
    settingsChanged = 1;
    frames(1);
    EXPECT_TRUE(rebuilt);
    EXPECT_EQ(settingsChanged, 0);
    EXPECT_EQ((std::pair{scene->gridLines, scene->binStep}), (std::pair{4, 25.0f}));
    draw();
    EXPECT_EQ(testing::callsOf("gluPerspective"),
              std::vector<std::string>{"gluPerspective 120 1 1 2000"});
    EXPECT_EQ(testing::callsOf("gluLookAt"),
              std::vector<std::string>{"gluLookAt 0 400 250 0 0 0 0 1 0"});
    frames(1);
    draw();
    EXPECT_EQ(countOf("gluPerspective"), 0);
}

TEST_F(Block, TumblesAtTheAnglesTheFrameBeganWith) {
    start(8);
    settings.RotSpeed = 50;
    frames(1);
    draw();
    EXPECT_EQ(
        testing::callsOf("glRotatef"),
        (std::vector<std::string>{"glRotatef 0 1 0 0", "glRotatef 0 0 1 0", "glRotatef 0 0 0 1"}));
    frames(1);
    draw();
    EXPECT_EQ(testing::callsOf("glRotatef"),
              (std::vector<std::string>{"glRotatef 0.4 1 0 0", "glRotatef 0.6 0 1 0",
                                        "glRotatef 0.8 0 0 1"}));
    settings.RotSpeed = 100000; // 800 a frame on x: 80.8 after two wraps of 359
    frames(1);
    EXPECT_NEAR(state.angleX, 0.8f + 800 - 718, 1e-3);
    settings.RotSpeed = -50;
    state.angleY = 0.2f;
    frames(1);
    EXPECT_NEAR(state.angleY, 359 - 0.4f, 1e-3);
}

} // namespace
} // namespace fennick
