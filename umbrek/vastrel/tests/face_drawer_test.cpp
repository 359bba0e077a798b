// The face drawer against the headless board's call trace: the short path
// and its winding, cuts at the near and far planes, wire-frame edges, the
// deferred buffer with its depth keys, sort and overflow, hostile numbers.
#include "umbrek/glide/glide.h"
#include "umbrek/glide/glide_test.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/face_drawer.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/platform.h"
#include "umbrek/vastrel/shade_modes.h"
#include "umbrek/vastrel/tests/open_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace umbrek::vastrel {
namespace {

namespace board = umbrek::glide;

void noLight(const Vertex*, const ScreenVertex*) {}

// Camera-space corners projected as the engine does, centre (160, 100),
// scale 100, near 1, far 1000.
struct Mesh {
    Vertex vertex[3];
    ScreenVertex screen[3]{};
    Face face;
    Mesh(std::initializer_list<std::array<float, 3>> corners, int material = 0,
         std::uint8_t flags = faceFront) {
        int i = 0;
        for (const auto& c : corners) {
            ScreenVertex& s = screen[i];
            vertex[i].screen = &s;
            s.cameraX = c[0], s.cameraY = c[1], s.z = c[2];
            s.colourMaterial = noColourMaterial;
            s.clip = 0;
            if (!(s.z >= 1))
                s.clip = clipNear;
            else {
                if (!(s.z <= 1000)) s.clip |= clipFar;
                if (!(c[1] >= -s.z)) s.clip |= clipBelow;
                if (!(c[1] <= s.z)) s.clip |= clipAbove;
                if (!(c[0] >= -s.z)) s.clip |= clipLeft;
                if (!(c[0] <= s.z)) s.clip |= clipRight;
                s.oow = 1 / s.z;
                s.x = 160 + 100 * c[0] / s.z;
                s.y = 100 - 100 * c[1] / s.z;
            }
            face.corner[i] = &vertex[i];
            face.cornerValue[i] = std::bit_cast<std::uint32_t>(1.0f);
            ++i;
        }
        face.material = std::uint16_t(material);
        face.backMaterial = std::uint16_t(material);
        face.flags = flags;
    }
    void draw() { KX_DrawFaces(&face, vertex, screen, 1); }
};

class FaceDrawerTest : public ::testing::Test {
protected:
    void SetUp() override {
        board::resetOptions();
        Engine& e = engine();
        e.polygonCapacity = 0;
        test::openTestDevice();
        allocateDeferredTriangles(16);
        e.device.lightVertex = noLight;
        e.viewport.centreX = 160, e.viewport.centreY = 100;
        e.viewport.horizontalScale = e.viewport.verticalScale = 100;
        e.nearDistance = 1, e.farDistance = 1000;
        e.deferred.count = 0, e.trianglesDrawn = 0;
        e.materials.assign(3, Material{});
        e.materials[0].shadeMode = 2;  // flat, drawn at once
        e.materials[1].shadeMode = 71; // see-through, deferred
        e.materials[2].shadeMode = 1;  // wire frame
        board::options().trace = true;
        board::takeTrace();
    }

    void TearDown() override {
        test::closeTestDevice();
        allocateDeferredTriangles(0);
    }

    static std::vector<std::string> drawn(const char* call = "grDrawTriangle") {
        std::vector<std::string> lines;
        for (const std::string& line : board::takeTrace())
            if (line.rfind(call, 0) == 0) lines.push_back(line);
        return lines;
    }
};

TEST_F(FaceDrawerTest, WindingChoosesFrontOrBackInBothPaths) {
    const std::array<float, 3> a{0, 0, 10}, b{5, 0, 10}, c{0, -5, 10};
    struct Case {
        bool clockwise;
        std::uint8_t flags;
        bool crossing;
        int triangles;
    };
    for (const Case k : {Case{true, faceFront, false, 1}, Case{false, faceFront, false, 0},
                         Case{false, faceBack, false, 1}, Case{true, faceBack, false, 0},
                         Case{true, faceFront, true, 2}, Case{false, faceFront, true, 0},
                         Case{false, faceBack, true, 2}}) {
        // Crossing faces get a corner behind the near plane.
        const std::array<float, 3> first = k.crossing ? std::array<float, 3>{0.2f, 0.2f, 0.5f} : a;
        Mesh m = k.clockwise ? Mesh({first, b, c}, 0, k.flags) : Mesh({first, c, b}, 0, k.flags);
        m.face.backMaterial = 1;
        m.draw();
        EXPECT_EQ(int(drawn().size()) + engine().deferred.count, k.triangles)
            << k.clockwise << " " << int(k.flags) << " " << k.crossing;
        engine().deferred.count = 0;
    }
}

TEST_F(FaceDrawerTest, TheNearPlaneCutsOneOrTwoTriangles) {
    Mesh one({{0.5f, 0, 0}, {1, 0, 3}, {-1, -1, 3}}, 0, faceFront | faceBack);
    one.draw();
    const std::vector<std::string> two = drawn();
    ASSERT_EQ(two.size(), 2u);
    // A -> B is cut a third of the way, at z = 1: camera x = 2/3, on screen
    // 226.6875 (snapped to sixteenths).
    EXPECT_NE(two[0].find("(226.688 100)"), std::string::npos) << two[0];
    EXPECT_EQ(engine().trianglesDrawn, 2);
    Mesh behind({{0, 0, 0}, {1, 0, 3}, {-1, -1, 0.5f}});
    behind.draw();
    EXPECT_EQ(drawn().size(), 1u);
}

// Colour, alpha and texture coordinates per corner, as a textured shade
// mode's callback leaves them: A {r, g, b, a, s, t}, then B, then C.
constexpr float cornerAttributes[3][6] = {
    {0, 255, 30, 255, 0, 48}, {90, 0, 60, 0, 96, 0}, {180, 30, 90, 120, 60, 12}};

void attributesPerCorner() {
    ShadeContext& c = shadeContext();
    if (!c.computeVertices) return;
    for (int k = 0; k < 3; ++k) {
        const float* v = cornerAttributes[k];
        ScreenVertex& s = *c.screen[k];
        s.r = v[0], s.g = v[1], s.b = v[2], s.a = v[3], s.s = v[4], s.t = v[5];
    }
    c.perspective = true;
}

TEST_F(FaceDrawerTest, NearCutsInterpolateColourAlphaAndTextureCoordinates) {
    // A see-through mode of the test's own: its pieces wait in the deferred
    // buffer exactly as the board would be given them.
    KX_RegisterShadeMode(200, attributesPerCorner, true);
    engine().materials.push_back(Material{});
    engine().materials[3].shadeMode = 200;
    Mesh m({{0.5f, 0, 0}, {1, 0, 3}, {-1, -1, 3}}, 3, faceFront | faceBack);
    for (int k = 1; k < 3; ++k) m.screen[k].oowCopy = m.screen[k].oow;
    m.draw();
    const DeferredTriangles& d = engine().deferred;
    ASSERT_EQ(d.count, 2);
    // Only A lies behind the near plane (z = 1): the pieces are
    // (B-A cut, B, C) and (B-A cut, C, C-A cut). Both cuts lie at t = 2/3 of
    // the way from the corner in front toward A, at z = 1, so s and t are
    // drawn as they are (1/w = 1); B and C are drawn with s/3 and t/3.
    struct Expected {
        int piece, corner;
        float x, y, r, g, b, a, s, t, oowCopy;
    };
    const Expected expected[] = {
        // B + 2/3 (A - B): camera (2/3, 0, 1); 1/z copied linearly: 1/3 - 2/9.
        {0, 0, 226.6875f, 100, 30, 170, 40, 170, 32, 32, 1.0f / 9},
        // B and C as the test projected them (not snapped).
        {0, 1, 193.3333f, 100, 90, 0, 60, 0, 32, 0, 1.0f / 3},
        {0, 2, 126.6667f, 133.3333f, 180, 30, 90, 120, 20, 4, 1.0f / 3},
        {1, 0, 226.6875f, 100, 30, 170, 40, 170, 32, 32, 1.0f / 9},
        // C + 2/3 (A - C): camera (0, -1/3, 1).
        {1, 2, 160, 133.3125f, 60, 180, 50, 210, 20, 36, 1.0f / 9},
    };
    for (const Expected& e : expected) {
        const ScreenVertex& v = d.records[std::size_t(e.piece)].corner[e.corner];
        SCOPED_TRACE("piece " + std::to_string(e.piece) + " corner " + std::to_string(e.corner));
        EXPECT_NEAR(v.x, e.x, 1e-3f);
        EXPECT_NEAR(v.y, e.y, 1e-3f);
        const float got[] = {v.r, v.g, v.b, v.a, v.s, v.t, v.oowCopy};
        const float want[] = {e.r, e.g, e.b, e.a, e.s, e.t, e.oowCopy};
        for (int i = 0; i < 7; ++i) EXPECT_NEAR(got[i], want[i], 1e-3f) << "attribute " << i;
        // The board's perspective comes from the true 1/z.
        EXPECT_FLOAT_EQ(v.oow, e.corner == 0 || e.x == 160 ? 1.0f : 1.0f / 3);
    }
    // The segment's own vertices keep the callback's values for the next face.
    EXPECT_EQ(m.screen[1].s, 96);
    EXPECT_EQ(m.screen[2].t, 12);
}

TEST_F(FaceDrawerTest, TheFarPlaneDropsOrCuts) {
    Mesh beyond({{0, 0, 2000}, {10, 0, 2000}, {0, -10, 2000}});
    beyond.draw();
    EXPECT_TRUE(drawn().empty());
    Mesh oneBeyond({{0, 0, 2000}, {1, 0, 500}, {0, -1, 500}});
    oneBeyond.draw();
    EXPECT_EQ(drawn().size(), 2u);
    Mesh twoBeyond({{0, 0, 500}, {1, 0, 2000}, {0, -1, 2000}});
    twoBeyond.draw();
    EXPECT_EQ(drawn().size(), 1u);
    EXPECT_EQ(engine().trianglesDrawn, 3);
}

TEST_F(FaceDrawerTest, WireFramesDrawTheirFlaggedEdges) {
    Mesh m({{0, 0, 10}, {5, 0, 10}, {0, -5, 10}}, 2, faceFront | faceEdge12 | faceEdge31);
    m.draw();
    EXPECT_EQ(drawn("grDrawLine").size(), 2u);
    // Crossing the left plane: the edges end on the border (x = 160 - 100).
    Mesh crossing({{0, 0, 10}, {5, 0, 10}, {-20, -5, 10}}, 2, faceFront | faceEdge23);
    crossing.draw();
    const std::vector<std::string> lines = drawn("grDrawLine");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("(60 "), std::string::npos) << lines[0];
}

TEST_F(FaceDrawerTest, DeferredTrianglesAreDrawnFarthestFirst) {
    const std::uint32_t keys[4] = {5, 900, 5, 40};
    std::uint32_t order[4], scratch[4];
    radixSortDescending(keys, 4, 2, order, scratch);
    EXPECT_EQ(std::vector<std::uint32_t>(order, order + 4),
              (std::vector<std::uint32_t>{1, 3, 0, 2}));
    // Equal on 16 bits: kept in deferral order; all 32 bits tell them apart.
    const std::uint32_t wide[2] = {5, 65541};
    radixSortDescending(wide, 2, 2, order, scratch);
    EXPECT_EQ(std::vector<std::uint32_t>(order, order + 2), (std::vector<std::uint32_t>{0, 1}));
    radixSortDescending(wide, 2, 4, order, scratch);
    EXPECT_EQ(std::vector<std::uint32_t>(order, order + 2), (std::vector<std::uint32_t>{1, 0}));

    Mesh nearer({{0, 0, 10}, {5, 0, 10}, {0, -5, 10}}, 1);
    Mesh farther({{0, 0, 100}, {5, 0, 100}, {0, -5, 100}}, 1);
    nearer.draw();
    farther.draw();
    EXPECT_TRUE(drawn().empty());
    EXPECT_EQ(engine().deferred.count, 2);
    KX_FlushTriangles();
    const std::vector<std::string> lines = drawn();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("(165 100)"), std::string::npos) << lines[0]; // the farther one
    EXPECT_NE(lines[1].find("(210 100)"), std::string::npos) << lines[1];
}

TEST_F(FaceDrawerTest, HostileKeysMaterialsModesAndOverflow) {
    ScreenVertex v[3]{};
    v[0].z = v[1].z = v[2].z = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(depthKey(v[0], v[1], v[2]), 0u);
    v[0].z = v[1].z = v[2].z = 1e30f;
    EXPECT_EQ(depthKey(v[0], v[1], v[2]), 0xFFFFFFFFu);
    v[0].z = -5;
    v[1].z = v[2].z = std::numeric_limits<float>::infinity();
    EXPECT_EQ(depthKey(v[0], v[1], v[2]), 0xFFFFFFFFu);

    for (const int material : {0xFFF1, 0xFFFF}) {
        Mesh m({{0, 0, 10}, {5, 0, 10}, {0, -5, 10}}, material);
        m.draw();
        Mesh crossing({{0, 0, 0}, {5, 0, 10}, {0, -5, 10}}, material);
        crossing.draw();
    }
    engine().materials[0].shadeMode = 256;
    Mesh big({{0, 0, 10}, {5, 0, 10}, {0, -5, 10}}, 0);
    big.draw();
    engine().materials[0].shadeMode = 96; // no callback: drawn as the state stands
    big.draw();
    EXPECT_EQ(drawn().size(), 1u);

    for (int i = 0; i < 20; ++i) {
        Mesh m({{0, 0, 10}, {5, 0, 10}, {0, -5, 10}}, 1);
        m.draw();
    }
    EXPECT_EQ(engine().deferred.count, 16);
    EXPECT_EQ(engine().deferred.dropped, 4);
    KX_FlushTriangles();
    EXPECT_EQ(drawn().size(), 16u);
}

// The same triangle with and without its near corner cut away: the cut lies
// beyond the view's right side, so both cover the same pixels.
TEST_F(FaceDrawerTest, ANearCutDrawsTheSamePixelsAsTheWholeTriangle) {
    Material& m = engine().materials[0];
    m.red = m.green = m.blue = 255;
    std::vector<std::string> maps[2];
    for (const float nearDistance : {0.25f, 1.0f}) {
        KX_SetRenderBuffer(GR_BUFFER_BACKBUFFER);
        KX_SetColour(0x000000FF);
        KX_FillRect(0, 0, 319, 199);
        engine().nearDistance = nearDistance;
        Mesh mesh({{2, 0, 0.5f}, {0, -2, 10}, {0, 0, 10}});
        // Nearer than 1 counts as behind the near plane in Mesh; the
        // reference's corner lies only beyond the right side.
        if (nearDistance < 0.5f) {
            ScreenVertex& a = mesh.screen[0];
            a.clip = clipRight;
            a.oow = 2, a.x = 160 + 100 * 2 * 2, a.y = 100;
        }
        mesh.draw();
        const board::Buffer back = board::colourBuffer(GR_BUFFER_BACKBUFFER);
        std::vector<std::string>& rows = maps[nearDistance > 0.5f];
        for (int y = 80; y < 140; ++y) {
            std::string row;
            for (int x = 150; x < 270; ++x) row += back.pixels[y * back.pitch + x] ? '#' : '.';
            rows.push_back(row);
        }
    }
    EXPECT_EQ(maps[0], maps[1]);
    EXPECT_NE(std::count(maps[1][30].begin(), maps[1][30].end(), '#'), 0);
}

} // namespace
} // namespace umbrek::vastrel
