// The Wave's heights, turn and colours worked out by hand on fixed rows, and
// its picture as GL calls: 800 triangles in the culling's order and the
// projection of each Mode.
#include "fennick/tests/module_fixture.h"
#include "fennick/wave_module.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fennick {
namespace {

using testing::countOf;
using testing::glLog;
using testing::primitives;
using testing::vertexLine;

struct Wave : testing::ModuleFixture {
    WaveState state;
    Wave() { startWave(*scene, settings); }
    void frames(int n) {
        for (int f = 0; f < n; ++f) updateWave(state, *scene, settings, rows());
    }
    float y(int line, int point) const { return scene->grid[line][point].y; }
};

TEST_F(Wave, SilentWaveformSettlesIntoADampedVFromBothEdges) {
    settings.Sensitivity = 150;
    frames(30);
    for (int j = 0; j < 20; ++j) {
        SCOPED_TRACE(j);
        float edge = 128 * 150 / 100.0f;
        EXPECT_FLOAT_EQ(y(0, j), edge);
        EXPECT_FLOAT_EQ(y(20, j), edge);
        float dip = float(std::abs(j - 10));
        for (int i = 1; i < 10; ++i) EXPECT_NEAR(y(i, j), 0.9f * y(i - 1, j) - dip, 1e-3) << i;
        for (int i = 10; i < 20; ++i) EXPECT_NEAR(y(i, j), 0.9f * y(i + 1, j) - dip, 1e-3) << i;
    }
    for (int i = 0; i <= 20; ++i) EXPECT_EQ(y(i, 20), 0) << "point 20 keeps its height";
}

TEST_F(Wave, WaveformMovesOneLineAFrameFromEachChannelsEdge) {
    waveform[0][0] = 100;  // left, sample 0: 228
    waveform[1][2] = -128; // right, sample 2 (point 1): 0
    frames(1);
    EXPECT_EQ(y(0, 0), 228);
    EXPECT_EQ(y(20, 1), 0);
    EXPECT_EQ(y(1, 0), 0.9f * 0 - 10) << "line 1 took line 0's old height";
    frames(1);
    EXPECT_FLOAT_EQ(y(1, 0), 0.9f * 228 - 10);
    EXPECT_FLOAT_EQ(y(2, 0), 0.9f * -10 - 10);
    EXPECT_FLOAT_EQ(y(19, 1), 0.9f * 0 - 9);
}

TEST_F(Wave, SpectrumSumsSixteenBinsOfBothRowsHalvesTheLowestTwoAndScrolls) {
    settings.Style = 1;
    fillSpectrum(0, 1);  // each group sums 2 x 16 = 32
    spectrum[1][40] = 7; // group 2: 32 + 14 = 46, div 16 = 2
    spectrum[1][50] = 1; // group 3: 34 div 16 = 2
    frames(1);
    const float first[] = {1 * 2.0f, 1 * 2.0f, 2 * 2.0f, 2 * 2.0f, 2 * 2.0f};
    for (int j = 0; j < 5; ++j) {
        EXPECT_FLOAT_EQ(y(0, j), first[j]) << j;
        EXPECT_FLOAT_EQ(y(1, j), first[j]) << j;
    }
    fillSpectrum(0, 3);
    std::memset(spectrum[1], 0, soundRowLength);
    frames(1);
    EXPECT_FLOAT_EQ(y(0, 0), 3 * 2.0f);  // 96 div 32
    EXPECT_FLOAT_EQ(y(0, 20), 6 * 2.0f); // 96 div 16
    EXPECT_FLOAT_EQ(y(2, 0), first[0]);
    EXPECT_FLOAT_EQ(y(20, 0), 0);
}

TEST_F(Wave, TurnFollowsRotDirAndStopsInClassicMode) {
    struct Case {
        int mode, rotDir;
        float angle;
        int rotations;
    } cases[] = {{0, 0, 0.5f, 1}, {0, 1, -0.5f, 1}, {0, 7, 0.5f, 1}, {1, 0, 0, 0}, {1, 1, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.mode) + " " + ::testing::PrintToString(c.rotDir));
        state = {};
        settings.Mode = c.mode;
        settings.RotDir = c.rotDir;
        frames(1);
        glLog().clear();
        drawWave(gl, state, *scene, settings, fade);
        EXPECT_FLOAT_EQ(state.waveAngle, c.angle);
        EXPECT_EQ(countOf("glRotatef"), c.rotations);
    }
}

TEST_F(Wave, StillLightsColourByHeightClampedTo255) {
    settings.Dynamic = 0;
    settings.Sensitivity = 100;
    frames(1);
    const SceneVertex& edge = scene->grid[0][3]; // y = 128
    EXPECT_FLOAT_EQ(edge.r, 128);
    EXPECT_FLOAT_EQ(edge.g, 128 * 0.7142857f);
    EXPECT_FLOAT_EQ(edge.b, 128 * 1.6666667f);
    const SceneVertex& dip = scene->grid[1][0]; // y = -10
    EXPECT_EQ(dip.r + dip.g + dip.b, 0);
    settings.Sensitivity = 400;
    frames(1);
    EXPECT_EQ(scene->grid[0][3].g, 255); // y = 512
    EXPECT_EQ(scene->grid[0][3].b, 255);
}

TEST_F(Wave, DrawsEightHundredCulledTrianglesInTheProjectionOfItsMode) {
    frames(3);
    drawWave(gl, state, *scene, settings, fade);
    auto tris = primitives(glTriangles);
    ASSERT_EQ(tris.size(), 1u);
    ASSERT_EQ(tris[0].size(), 2400u);
    const auto& g = scene->grid;
    // Cell (0, 0): C B A, then A D C; the last cell's last corner is C of (19, 19).
    EXPECT_EQ(tris[0][0], vertexLine(g[1][1]));
    EXPECT_EQ(tris[0][1], vertexLine(g[1][0]));
    EXPECT_EQ(tris[0][2], vertexLine(g[0][0]));
    EXPECT_EQ(tris[0][4], vertexLine(g[0][1]));
    EXPECT_EQ(tris[0][2399], vertexLine(g[20][20]));
    EXPECT_EQ(countOf("glColor3f"), 2400);
    for (const char* call :
         {"glCullFace 1029", "glFrontFace 2305", "glEnable 2884", "glEnable 2929",
          "glDepthFunc 513", "glClearDepth 1", "glShadeModel 7425", "glClear 16640"})
        EXPECT_EQ(countOf(call), 1) << call;
    EXPECT_EQ(countOf("glPushMatrix"), countOf("glPopMatrix"));

    struct Case {
        int mode;
        const char *perspective, *lookAt;
    } cases[] = {
        {0, "gluPerspective 120 1 1 2000", "gluLookAt 0 250 250 0 0 0 0 1 0"},
        {1, "gluPerspective 90 1 1 2000", "gluLookAt 0 100 350 0 100 0 0 1 0"},
        {2, nullptr, nullptr},
        {-1, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        glLog().clear();
        applyWaveProjection(gl, c.mode);
        auto perspective = testing::callsOf("gluPerspective");
        auto lookAt = testing::callsOf("gluLookAt");
        if (c.perspective) {
            EXPECT_EQ(perspective, std::vector<std::string>{c.perspective});
            EXPECT_EQ(lookAt, std::vector<std::string>{c.lookAt});
        } else {
            EXPECT_TRUE(perspective.empty() && lookAt.empty());
            EXPECT_EQ(glLog(), (std::vector<std::string>{"glMatrixMode 5889", "glLoadIdentity",
                                                         "glMatrixMode 5888", "glLoadIdentity"}));
        }
    }
}

} // namespace
} // namespace fennick
