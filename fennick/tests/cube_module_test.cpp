// The Cube's peaks, size, angles and lights on fixed rows, worked out by
// hand, and its faces as GL calls: 48 lit, textured triangles a frame.
#include "fennick/cube_module.h"
#include "fennick/tests/module_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace fennick {
namespace {

using testing::callsOf;
using testing::glLog;
using testing::primitives;
using testing::vertexLine;

struct Cube : testing::ModuleFixture {
    std::unique_ptr<CubeState> state = std::make_unique<CubeState>();
    void frames(int n) {
        for (int f = 0; f < n; ++f) updateCube(*state, *scene, rows());
    }
};

TEST_F(Cube, SilenceGivesHalfSize250AndLightsAt100) {
    frames(1);
    EXPECT_EQ(state->halfSize, 250);
    EXPECT_EQ((std::tuple{state->corners[0].x, state->corners[0].y, state->corners[0].z}),
              (std::tuple{-250.0f, -250.0f, 250.0f}));
    EXPECT_EQ((std::tuple{state->corners[6].x, state->corners[6].y, state->corners[6].z}),
              (std::tuple{250.0f, 250.0f, -250.0f}));
    const SceneVertex* l = state->lights;
    EXPECT_EQ((std::tuple{l[0].r, l[0].g, l[0].b}), (std::tuple{100.0f, 0.0f, 0.0f}));
    EXPECT_EQ((std::tuple{l[1].r, l[1].g, l[1].b}), (std::tuple{0.0f, 100.0f, 0.0f}));
    EXPECT_EQ((std::tuple{l[2].r, l[2].g, l[2].b}), (std::tuple{0.0f, 0.0f, 100.0f}));
    EXPECT_EQ((std::tuple{l[3].r, l[3].g, l[3].b}), (std::tuple{200.0f, 200.0f, 200.0f}));
}

TEST_F(Cube, BinOneOfBothRowsSwellsTheCubeAndPeaksFallByAFifteenth) {
    spectrum[0][1] = 200;
    spectrum[1][1] = 200;
    spectrum[0][575] = 255; // the row's last byte is read, nothing after it
    frames(3);
    EXPECT_EQ(state->peak0[1], 240);
    EXPECT_EQ(state->peak0[575], 306);
    EXPECT_FLOAT_EQ(state->level1, 18);
    EXPECT_EQ(state->halfSize, 280); // 0.72 + 12 + 18 + 250
    EXPECT_EQ(state->lights[0].r, 118);
    std::memset(spectrum, 0, sizeof spectrum);
    frames(1);
    EXPECT_EQ(state->peak0[1], 240 - 16);
    frames(1);
    EXPECT_EQ(state->peak0[1], 224 - 14);
    spectrum[0][1] = 255; // 306 would give a red of 100 + 22.95
    frames(1);
    EXPECT_EQ(state->peak0[1], 306);
    spectrum[0][1] = 0;
    for (int i = 0; i < 200; ++i) frames(1);
    EXPECT_EQ(state->peak0[1], 14) << "a fifteenth of less than 15 is nothing";
}

TEST_F(Cube, AnglesAndLightsTurnFromTheirBasesEachFrame) {
    frames(1);
    EXPECT_EQ((std::tuple{state->angleX, state->angleY, state->angleZ}),
              (std::tuple{1.0f, 1.0f, 1.0f}));
    EXPECT_EQ((std::pair{state->lights[0].s, state->lights[0].t}), (std::pair{3.0f, 2.5f}));
    frames(120);
    EXPECT_FLOAT_EQ(state->lights[0].s, 363.0f - 359); // 121 x 3, wrapped
    EXPECT_FLOAT_EQ(state->lights[0].t, 302.5f);
    SceneVertex base{};
    base.x = -300;
    base.y = 490;
    SceneVertex expected = rotateLight(scene->trig, 4, 302.5f, base);
    EXPECT_FLOAT_EQ(state->lights[3].x, expected.x);
    EXPECT_FLOAT_EQ(state->lights[3].z, expected.z);
}

TEST_F(Cube, RotateLightUsesWholeDegreesAndNeverGivesZeroDepth) {
    const TrigTables& t = scene->trig;
    SceneVertex p{};
    p.x = 100;
    p.y = 50;
    SceneVertex r = rotateLight(t, 0, 90.9f, p);
    EXPECT_FLOAT_EQ(r.x, 100 * cosDegOf(t, 90) + 50 * sinDegOf(t, 90));
    EXPECT_FLOAT_EQ(r.y, 50 * cosDegOf(t, 90) - 100 * sinDegOf(t, 90));
    EXPECT_EQ(r.z, 1) << "0 x cos - y1 x sin 0 is exactly 0";
    p.z = 10;
    r = rotateLight(t, 30, 0, p);
    EXPECT_FLOAT_EQ(r.z, 10 * cosDegOf(t, 30) - 50 * sinDegOf(t, 30));
    EXPECT_FLOAT_EQ(r.y, 50 * cosDegOf(t, 30) + 10 * sinDegOf(t, 30));
}

TEST_F(Cube, FaceIsNineLitPointsInEightTrianglesWithinTheLightRange) {
    for (SceneVertex& l : state->lights) l = SceneVertex{};
    state->lights[1] = {0, 0, 0, 0, 0, 0, 110, 0}; // green at the origin
    SceneVertex p0{}, p1{}, p2{}, p3{};
    p0.x = -300; // 300 from the light: 110 / 550 x 250 = 50
    p1.x = 300;
    p1.y = 600; // about 671 away: no light
    p2.y = 600;
    p3.x = -300;
    p3.y = 600;
    p1.s = 9; // midpoints take the second point's other fields
    drawFace(gl, *state, p0, p1, p2, p3);
    auto colours = callsOf("glColor3f");
    auto coords = callsOf("glTexCoord2f");
    auto vertices = callsOf("glVertex3f");
    ASSERT_EQ(vertices.size(), 24u);
    // First triangle: P0, m01, centre.
    EXPECT_EQ(vertices[0], vertexLine(p0));
    EXPECT_EQ(vertices[1], vertexLine({0, 300, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(vertices[2], vertexLine({-75, 450, 0, 0, 0, 0, 0, 0})); // mid(m30, m12)
    EXPECT_EQ(coords[0], "glTexCoord2f 1 1");
    EXPECT_EQ(coords[1], "glTexCoord2f 1 0.5");
    EXPECT_EQ(coords[2], "glTexCoord2f 0.5 0.5");
    EXPECT_EQ(colours[0], "glColor3f 0 " + std::to_string(50 / 255.0f).substr(0, 8) + " 0");
    // Last triangle: m23, P3, m30.
    EXPECT_EQ(vertices[22], vertexLine(p3));
    EXPECT_EQ(coords[23], "glTexCoord2f 0.5 1");
    // P1 (third triangle's second point) is out of range.
    EXPECT_EQ(colours[7], "glColor3f 0 0 0");
}

TEST_F(Cube, DrawsFortyEightTrianglesTumblingInItsProjection) {
    frames(1);
    glLog().clear();
    drawCube(gl, *state, fade);
    auto tris = primitives(glTriangles);
    ASSERT_EQ(tris.size(), 1u);
    EXPECT_EQ(tris[0].size(), 144u);
    EXPECT_EQ(callsOf("gluPerspective"), std::vector<std::string>{"gluPerspective 100 1 1 2000"});
    EXPECT_EQ(callsOf("gluLookAt"), std::vector<std::string>{"gluLookAt 0 0 540 0 0 0 0 1 0"});
    EXPECT_EQ(
        callsOf("glRotatef"),
        (std::vector<std::string>{"glRotatef 1 1 0 0", "glRotatef 1 0 1 0", "glRotatef 1 0 0 1"}));
    EXPECT_EQ(testing::countOf("glShadeModel 7425"), 1);
    EXPECT_EQ(testing::countOf("glEnable 2884"), 1);
    EXPECT_EQ(testing::countOf("glPushMatrix"), testing::countOf("glPopMatrix"));
}

TEST_F(Cube, StartLoadsItsPictureOnTextureTwoUnlessTexturingIsOff) {
    startCube(gl, settings, "/nonexistent/");
    EXPECT_EQ(callsOf("glBindTexture"), std::vector<std::string>{"glBindTexture 3553 2"});
    EXPECT_EQ(glLog().back(), "glDisable 3553") << "no file: untextured";
    glLog().clear();
    settings.TextureMode = 0;
    startCube(gl, settings, "/nonexistent/");
    EXPECT_EQ(glLog(), std::vector<std::string>{"glDisable 3553"});
}

} // namespace
} // namespace fennick
