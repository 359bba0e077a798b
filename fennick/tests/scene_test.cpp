// The scene kit: tables with pi taken as 3.14, orbits and their wraps, the
// grid's whole-number steps, lighting by distance, and the vertex emitters.
#include "fennick/frame.h"
#include "fennick/projection.h"
#include "fennick/scene.h"
#include "fennick/tests/recording_gl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace fennick {
namespace {

using testing::glLog;

std::unique_ptr<Scene> freshScene() {
    auto scene = std::make_unique<Scene>();
    setUpScene(*scene, 12345);
    return scene;
}

float tableCos(int degrees) {
    return float(std::cos(degrees * 3.14 / 180.0));
}
float tableSin(int degrees) {
    return float(std::sin(degrees * 3.14 / 180.0));
}

TEST(Trig, WholeDegreesWithPiAs314) {
    auto scene = freshScene();
    const TrigTables& t = scene->trig;
    EXPECT_NEAR(t.cosDeg[9000], 0.000796, 1e-6); // not 0
    EXPECT_FLOAT_EQ(t.sinDeg[3000], tableSin(30));
    for (int i = 100; i < 200; ++i) ASSERT_EQ(t.cosDeg[i], t.cosDeg[100]) << i;
    EXPECT_FLOAT_EQ(t.cosDeg[trigTableSize - 1], tableCos(363));
}

TEST(Trig, OwnGeneratorFollowsTheRunTimeSequence) {
    RandomGenerator r;
    r.seed(1);
    // The first values of the C run-time's generator seeded with 1.
    EXPECT_EQ(r.next(), 41);
    EXPECT_EQ(r.next(), 18467);
    EXPECT_EQ(r.next(), 6334);
}

TEST(Orbit, AnglesWrapBy359AndUseWholeDegrees) {
    auto scene = freshScene();
    struct Case {
        float angle, pitch;
        int degrees, pitchDegrees;
    } cases[] = {
        {360, 0, 1, 0},    {-10, 0, 349, 0},  {718, 0, 359, 0},   {90.7f, 0, 90, 0},
        {-400, 0, 318, 0}, {45, 380, 45, 21}, {45, -10, 45, 349}, {NAN, 0, 0, 0},
        {1e30f, 0, -1, 0}, // any table entry, but inside the table
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        SceneVertex out{};
        out.y = 7;
        placeOnOrbit(scene->trig, 10, -20, c.angle, c.pitch, 100.9f, out);
        EXPECT_EQ(out.y, 7);
        if (c.degrees < 0) continue;
        float p = tableCos(c.pitchDegrees);
        EXPECT_NEAR(out.x, 10 + 100 * tableCos(c.degrees) * p, 1e-3);
        EXPECT_NEAR(out.z, -20 + 100 * tableSin(c.degrees) * p, 1e-3);
    }
}

TEST(Orbit, LightsKeepTheirSpeedFrameAfterFrame) {
    auto scene = freshScene();
    placeLights(*scene);
    for (int frame = 1; frame <= 3; ++frame) moveLights(*scene);
    // Light 1 from 15 at -4, light 2 from 135 at 1, light 3 from 85 at 3.
    EXPECT_FLOAT_EQ(scene->orbits[1].angle, 3);
    EXPECT_FLOAT_EQ(scene->orbits[2].angle, 138);
    EXPECT_FLOAT_EQ(scene->orbits[3].angle, 94);
    EXPECT_FLOAT_EQ(scene->orbits[1].speed, -4);
    EXPECT_NEAR(scene->lights[2].x, 150 * tableCos(138), 1e-3);
    EXPECT_NEAR(scene->lights[2].z, 150 * tableSin(138), 1e-3);
    moveLights(*scene); // light 1 passes 0: placed at -1 (358), then kept as 359
    EXPECT_FLOAT_EQ(scene->orbits[1].angle, 359);
    EXPECT_NEAR(scene->lights[1].x, 280 * tableCos(358), 1e-3);
    for (int i : {0, 4, 9}) {
        EXPECT_EQ(scene->lights[i].x, 0);
        EXPECT_EQ(scene->lights[i].r + scene->lights[i].g + scene->lights[i].b, 0);
    }
}

TEST(Orbit, LightColoursComeFromTheLowThreeBytes) {
    auto scene = freshScene();
    const std::int32_t colours[3] = {0x00332211, std::int32_t(0xFF0000FF), 0x00FF00};
    applyLightColours(*scene, colours);
    EXPECT_EQ(scene->lights[1].r, 0x11);
    EXPECT_EQ(scene->lights[1].g, 0x22);
    EXPECT_EQ(scene->lights[1].b, 0x33);
    EXPECT_EQ(scene->lights[2].r, 255);
    EXPECT_EQ(scene->lights[2].b, 0);
    EXPECT_EQ(scene->lights[3].g, 255);
}

TEST(Grid, WholeNumberStepsAndTheKeptSize) {
    auto scene = freshScene();
    struct Case {
        int n;
        int cells;
        float lastX, lastZ;
    } cases[] = {{20, 20, 330, 300}, {8, 8, 326, 300},  {7, 7, 328, 295},
                 {0, 1, 330, 300},   {-3, 1, 330, 300}, {500, 99, -330 + 6 * 99, -300 + 6 * 99}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        buildGrid(*scene, c.n, c.n, -330, 330, -300, 300);
        EXPECT_EQ(scene->gridLines, c.cells);
        EXPECT_EQ(scene->gridPoints, c.cells);
        EXPECT_EQ(scene->grid[0][0].x, -330);
        EXPECT_EQ(scene->grid[0][0].z, -300);
        EXPECT_EQ(scene->grid[c.cells][c.cells].x, c.lastX);
        EXPECT_EQ(scene->grid[c.cells][c.cells].z, c.lastZ);
    }
}

TEST(Grid, BinStepPerGridSize) {
    struct Case {
        int n, step;
    } cases[] = {{20, 1}, {8, 6}, {4, 25}, {24, 0}, {1, 400}, {0, 0}};
    for (const Case& c : cases) EXPECT_EQ(binStepFor(c.n, c.n), c.step) << c.n;
    auto scene = freshScene();
    buildGrid(*scene, 8, 8, -330, 330, -300, 300);
    placeLights(*scene);
    EXPECT_EQ(scene->binStep, 6);
}

TEST(Lighting, FlatLightByDistanceInThePlane) {
    SceneVertex light{};
    light.x = 100;
    light.y = 900; // height does not count
    light.z = 50;
    light.r = 255;
    light.g = 91;
    struct Case {
        float x, z, r0, r, g;
    } cases[] = {
        {100, 50, 0, 255, 91},          // at the light: the full colour
        {100 + 455, 50, 0, 0, 0},       // at the range: nothing
        {100, 50 - 600, 0, 0, 0},       // beyond it
        {100 + 227.5f, 50, 0, 127, 45}, // halfway, truncated
        {100, 50, 200, 255, 91},        // clamped at 255
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.x) + "," + ::testing::PrintToString(c.z));
        SceneVertex v{};
        v.x = c.x;
        v.z = c.z;
        v.r = c.r0;
        addLightFlat(v, light);
        EXPECT_EQ(v.r, c.r);
        EXPECT_EQ(v.g, c.g);
        EXPECT_EQ(v.b, 0);
    }
}

TEST(Lighting, RangeLightBySpaceDistance) {
    SceneVertex at{}, colour{};
    at.y = 300;
    colour.b = 200;
    SceneVertex v{};
    addLightRange(v, at, colour, 550);
    EXPECT_EQ(v.b, 90); // 200 / 550 x 250, truncated
    SceneVertex far{};
    far.y = 300 + 550;
    addLightRange(far, at, colour, 550);
    EXPECT_EQ(far.b, 0);
    SceneVertex none{};
    addLightRange(none, at, colour, 0);
    EXPECT_EQ(none.b, 0);
}

TEST(Lighting, LightGridStartsFromBlackEachTime) {
    auto scene = freshScene();
    buildGrid(*scene, 8, 8, -330, 330, -300, 300);
    placeLights(*scene);
    SceneVertex first = scene->grid[8][4]; // x 326, z 0: nearest light 1 at 15 degrees
    EXPECT_GT(first.r, 150);
    EXPECT_LT(first.b, first.r);
    lightGrid(*scene);
    lightGrid(*scene);
    EXPECT_EQ(scene->grid[8][4].r, first.r);
    EXPECT_EQ(scene->grid[8][4].g, first.g);
    EXPECT_EQ(scene->grid[8][4].b, first.b);
}

TEST(Emitters, ColourTextureThenVertexPerCorner) {
    GlEntryPoints gl = testing::recordingGl();
    glLog().clear();
    SceneVertex a{1, 2, 3, 0.5f, 0.25f, 255, 0, 51}, b{4, 5, 6, 1, 1, 0, 255, 0}, c{};
    drawTriangle(gl, a, b, c);
    drawPoint(gl, a);
    EXPECT_EQ(glLog(), (std::vector<std::string>{
                           "glColor3f 1 0 0.2", "glTexCoord2f 0.5 0.25", "glVertex3f 1 2 3",
                           "glColor3f 0 1 0", "glTexCoord2f 1 1", "glVertex3f 4 5 6",
                           "glColor3f 0 0 0", "glTexCoord2f 0 0", "glVertex3f 0 0 0",
                           "glColor3f 1 0 0.2", "glVertex3f 1 2 3"}));
}

TEST(Frame, ViewportTakesAZeroHeightAsOneAndFramesClearToBlack) {
    GlEntryPoints gl = testing::recordingGl();
    glLog().clear();
    sizeViewport(gl, 640, 480);
    sizeViewport(gl, 640, 0);
    clearFrame(gl);
    EXPECT_EQ(glLog(), (std::vector<std::string>{"glViewport 0 0 640 480", "glViewport 0 0 640 1",
                                                 "glClear 16640", "glClearColor 0 0 0 1"}));
}

TEST(Projection, DefaultLooksDownAtTheOriginThenResetsTheModelView) {
    GlEntryPoints gl = testing::recordingGl();
    glLog().clear();
    applyProjection(gl, defaultProjection);
    EXPECT_EQ(glLog(), (std::vector<std::string>{"glMatrixMode 5889", "glLoadIdentity",
                                                 "gluPerspective 120 1 1 2000",
                                                 "gluLookAt 0 250 250 0 0 0 0 1 0",
                                                 "glMatrixMode 5888", "glLoadIdentity"}));
}

} // namespace
} // namespace fennick
