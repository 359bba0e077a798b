// Shade modes on the headless board: the registry's map of modes to families,
// state applied once per run of a family, light caching, environment
// mapping, the fog fade and its blend choice, and the water bits.
#include "umbrek/glide/glide.h"
#include "umbrek/glide/glide_test.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/platform.h"
#include "umbrek/vastrel/shade_modes.h"
#include "umbrek/vastrel/tests/open_device.h"
#include "umbrek/vastrel/texture_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <string>
#include <vector>

namespace umbrek::vastrel {
namespace {

namespace board = umbrek::glide;

int lightCalls = 0;

// Every vertex is lit by 10 in each channel.
void countingLight(const Vertex*, const ScreenVertex*) {
    ++lightCalls;
    engine().lightSum[0] = engine().lightSum[1] = engine().lightSum[2] = 10;
}

// Four vertices and faces over them; corner numbers index `vertex`.
struct Mesh {
    Vertex vertex[4];
    ScreenVertex screen[4]{};
    Face face(int a, int b, int c, int material) {
        Face f;
        f.material = std::uint16_t(material);
        f.corner[0] = &vertex[a], f.corner[1] = &vertex[b], f.corner[2] = &vertex[c];
        for (std::uint32_t& k : f.cornerValue) k = std::bit_cast<std::uint32_t>(1.0f);
        return f;
    }
    Mesh() {
        for (int i = 0; i < 4; ++i) {
            vertex[i].screen = &screen[i];
            screen[i].colourMaterial = noColourMaterial;
            screen[i].z = 10;
        }
    }
};

class ShadeModesTest : public ::testing::Test {
protected:
    void SetUp() override {
        board::resetOptions();
        test::openTestDevice();
        engine().device.lightVertex = countingLight;
        lightCalls = 0;
        engine().materials.assign(4, Material{});
        for (Material& m : engine().materials) m.red = m.green = m.blue = 100, m.alpha = 200;
        board::options().trace = true;
        board::takeTrace();
    }

    void TearDown() override { test::closeTestDevice(); }

    static void shade(Face& face, int material, bool apply = true, bool compute = true) {
        setCurrentFace(&face, material);
        ShadeContext& c = shadeContext();
        c.applyState = apply, c.computeVertices = compute, c.perspective = false;
        const int mode = engine().materials[std::size_t(material)].shadeMode;
        shadeModes()[mode].callback();
    }

    static int count(const std::vector<std::string>& trace, const std::string& start) {
        return int(std::count_if(trace.begin(), trace.end(), [&](const std::string& line) {
            return line.rfind(start, 0) == 0;
        }));
    }
};

TEST_F(ShadeModesTest, EveryModeBelongsToItsFamilyAndDeferral) {
    // The families' member lists, as the mode table gives them.
    const std::map<int, std::vector<int>> members = {{1, {1}},
                                                     {2, {2}},
                                                     {3, {3, 68}},
                                                     {4, {4, 42}},
                                                     {5, {5, 43}},
                                                     {8, {6, 8, 9, 44, 45}},
                                                     {10, {7, 10, 11, 46, 47}},
                                                     {14, {12, 14, 15, 48, 49}},
                                                     {16, {13, 16, 17, 50, 51}},
                                                     {18, {18, 19, 22, 52, 53}},
                                                     {20, {20, 21, 23, 54, 55}},
                                                     {26, {24, 26, 27, 56, 57}},
                                                     {28, {25, 28, 29, 58, 59}},
                                                     {30, {30, 32, 33, 60, 61}},
                                                     {34, {31, 34, 35, 62, 63}},
                                                     {38, {36, 38, 39, 64, 65}},
                                                     {40, {37, 40, 41, 66, 67}},
                                                     {69, {69}},
                                                     {70, {70}},
                                                     {71, {71}},
                                                     {72, {72}},
                                                     {73, {73}},
                                                     {74, {74}},
                                                     {75, {75}},
                                                     {76, {76}},
                                                     {77, {77}},
                                                     {78, {78}},
                                                     {79, {79}},
                                                     {80, {80}},
                                                     {81, {81}},
                                                     {82, {82}},
                                                     {83, {83}},
                                                     {84, {84}},
                                                     {85, {85}},
                                                     {86, {86}},
                                                     {95, {95}},
                                                     {87, {87}},
                                                     {88, {88}},
                                                     {89, {89}},
                                                     {90, {90}},
                                                     {91, {91}},
                                                     {92, {92}},
                                                     {93, {93}},
                                                     {94, {94}}};
    const std::vector<int> deferred = {7,  10, 11, 46, 47, 13, 16, 17, 50, 51, 20, 21, 23,
                                       54, 55, 25, 28, 29, 58, 59, 31, 34, 35, 62, 63, 36,
                                       38, 39, 64, 65, 37, 40, 41, 66, 67, 68, 69, 70, 71,
                                       72, 79, 81, 83, 85, 86, 95, 87, 88, 93, 94};
    EXPECT_EQ(members.size(), 44u);
    int covered = 0;
    for (const auto& [group, modes] : members)
        for (const int mode : modes) {
            EXPECT_EQ(shadeModeGroup(mode), group) << shadeModeName(mode);
            const bool isDeferred = std::count(deferred.begin(), deferred.end(), mode) == 1;
            EXPECT_EQ(shadeModes()[mode].deferred, isDeferred) << shadeModeName(mode);
            ++covered;
        }
    EXPECT_EQ(covered, 95);
    EXPECT_EQ(shadeModes()[0].callback, nullptr);
    for (int mode = 96; mode < shadeModeCount; ++mode)
        EXPECT_EQ(shadeModes()[mode].callback, nullptr);
    EXPECT_STREQ(shadeModeName(0), "NULL_TYPE");
    EXPECT_STREQ(shadeModeName(74), "T_RGB_TEXTURED");
    EXPECT_STREQ(shadeModeName(95), "T_FOG_LIGHTMAP_TIMES");
    EXPECT_EQ(shadeModeName(96), nullptr);
    // Beyond the registry: refused, nothing written.
    EXPECT_EQ(KX_RegisterShadeMode(
                  256, +[] {}, true),
              256);
    EXPECT_EQ(KX_RegisterShadeMode(
                  -1, +[] {}, true),
              -1);
    EXPECT_EQ(shadeModeGroup(300), -1);
}

TEST_F(ShadeModesTest, StateIsAppliedOncePerRunOfAFamily) {
    Mesh mesh;
    engine().materials[0].shadeMode = 5;
    engine().materials[1].shadeMode = 43; // the same family
    Face a = mesh.face(0, 1, 2, 0), b = mesh.face(1, 2, 3, 1);
    shade(a, 0);
    shade(b, 1);
    EXPECT_EQ(count(board::takeTrace(), "guColorCombineFunction"), 1);
    engine().materials[2].shadeMode = 91;
    engine().materials[3].shadeMode = 92;
    Face c = mesh.face(0, 1, 2, 2), d = mesh.face(0, 1, 2, 3);
    shade(c, 2);
    shade(d, 3);
    shade(d, 3);
    EXPECT_EQ(count(board::takeTrace(), "grDepthBiasLevel"), 2);
    // A 2D operation forgets the family applied last.
    KX_SetColour(0xFFFFFFFF);
    KX_Line(0, 0, 5, 5);
    board::takeTrace();
    shade(d, 3);
    EXPECT_EQ(count(board::takeTrace(), "grDepthBiasLevel"), 1);
}

// The texture numbers a material may carry that name no texture (the
// manager's failure codes, numbers beyond the table) reach the bind hook:
// the face keeps the texture bound before, nothing is read past the table.
TEST_F(ShadeModesTest, TextureNumbersOutsideTheTableKeepTheCurrentTexture) {
    ASSERT_EQ(KX_AllocTextures(4), 0); // the manager's selection becomes the bind hook
    KX_Bitmap* b = KX_NewBitmap(8, 8);
    std::fill_n(KX_BitmapPixels(b), 64, std::uint8_t(1));
    const int texture = KX_CreateTexture("wall", b);
    ASSERT_EQ(texture, 0);
    Mesh mesh;
    Material& m = engine().materials[0];
    m.shadeMode = 8;
    m.texture = texture;
    Face face = mesh.face(0, 1, 2, 0);
    board::takeTrace();
    shade(face, 0);
    EXPECT_EQ(count(board::takeTrace(), "grTexSource"), 1);
    for (const int number : {-1, -4, -5, -7, 1, 4, 132, 0x7FFFFFFF}) {
        m.texture = number;
        engine().lastBoundMaterial = -1;
        shade(face, 0);
        const std::vector<std::string> trace = board::takeTrace();
        EXPECT_EQ(count(trace, "grTexSource"), 0) << number;
        EXPECT_EQ(count(trace, "grTexDownload"), 0) << number;
    }
    KX_FreeTextures();
}

TEST_F(ShadeModesTest, SharedVerticesAreLitOncePerMaterial) {
    Mesh mesh;
    engine().materials[0].shadeMode = 5;
    engine().materials[1].shadeMode = 5;
    Face a = mesh.face(0, 1, 2, 0), b = mesh.face(2, 1, 3, 0), c = mesh.face(0, 1, 3, 1);
    shade(a, 0);
    EXPECT_EQ(lightCalls, 3);
    shade(b, 0);
    EXPECT_EQ(lightCalls, 4);
    shade(c, 1);
    EXPECT_EQ(lightCalls, 7);
    // Light 10 plus k = 1 times the material's 100, alpha the material's.
    EXPECT_EQ(mesh.screen[0].r, 110);
    EXPECT_EQ(mesh.screen[0].a, 200);
    EXPECT_EQ(mesh.screen[0].colourMaterial, 1);
}

TEST_F(ShadeModesTest, EnvironmentMappingFollowsTheWorldNormals) {
    Mesh mesh;
    for (Vertex& v : mesh.vertex)
        v.worldNormal[0] = 1024, v.worldNormal[1] = -512, v.worldNormal[2] = 256;
    Material& m = engine().materials[0];
    m.shadeMode = 8;
    m.environment = 1;
    Face face = mesh.face(0, 1, 2, 0);
    struct Case {
        int axes;
        float s, t;
    };
    for (const Case c : {Case{0, 160, 192}, Case{1, 256, 96}, Case{2, 256, 192}}) {
        m.environmentAxes = std::uint8_t(c.axes);
        shade(face, 0);
        EXPECT_EQ(mesh.screen[0].s, c.s) << c.axes;
        EXPECT_EQ(mesh.screen[0].t, c.t) << c.axes;
        EXPECT_TRUE(shadeContext().perspective);
    }
    m.environment = 0;
    face.u[1] = 33, face.v[1] = 44;
    shade(face, 0);
    EXPECT_EQ(mesh.screen[1].s, 33);
    EXPECT_EQ(mesh.screen[1].t, 44);
}

TEST_F(ShadeModesTest, FadingCornersAndTheBlendChoice) {
    Mesh mesh;
    engine().materials[0].shadeMode = 82;
    Face face = mesh.face(0, 1, 2, 0);
    // The default band lies at the far plane: nothing nearer fades.
    for (ScreenVertex& s : mesh.screen) s.z = 1000;
    shade(face, 0);
    EXPECT_EQ(mesh.screen[0].a, 255);
    std::vector<std::string> trace = board::takeTrace();
    EXPECT_EQ(count(trace, "grAlphaBlendFunction(4, 0, 4, 0)"), 1);

    KX_SetFogRange(100, 200);
    Face near = mesh.face(0, 1, 2, 0);
    for (ScreenVertex& s : mesh.screen) s.z = 50, s.colourMaterial = noColourMaterial;
    shade(near, 0);
    EXPECT_EQ(mesh.screen[2].a, 255);
    EXPECT_EQ(count(board::takeTrace(), "grAlphaBlendFunction"), 0); // choice unchanged

    mesh.screen[0].z = 300, mesh.screen[1].z = 150;
    for (ScreenVertex& s : mesh.screen) s.colourMaterial = noColourMaterial;
    shade(near, 0);
    EXPECT_EQ(mesh.screen[0].a, 0);
    EXPECT_FLOAT_EQ(mesh.screen[1].a, 127.5f);
    EXPECT_EQ(mesh.screen[2].a, 255);
    EXPECT_EQ(mesh.screen[0].colourMaterial, colourForThisFaceOnly);
    EXPECT_EQ(mesh.screen[2].colourMaterial, 0);
    trace = board::takeTrace();
    EXPECT_EQ(count(trace, "guAlphaSource(1)"), 1);
    EXPECT_EQ(count(trace, "grAlphaBlendFunction(1, 5, 4, 0)"), 1);
}

TEST_F(ShadeModesTest, WaterBitsOrderTheCorners) {
    Mesh mesh;
    engine().materials[0].shadeMode = 93;
    engine().materials[0].alpha = 100;
    struct Case {
        int bits;
        float a0, a1, a2;
    };
    for (const Case c : {Case{1, 255, 100, 100}, Case{4, 100, 255, 100}, Case{2, 100, 100, 255}}) {
        Face face = mesh.face(0, 1, 2, 0);
        face.backMaterial = std::uint16_t(0x300 | c.bits);
        shade(face, 0);
        EXPECT_EQ(mesh.screen[0].a, c.a0) << c.bits;
        EXPECT_EQ(mesh.screen[1].a, c.a1) << c.bits;
        EXPECT_EQ(mesh.screen[2].a, c.a2) << c.bits;
    }
}

// A triangle over (10, 10)-(40, 40) through a family's callback, onto a red
// background, with a texture all white (index 1) or all black and see-through
// (index 0, alpha 0 in argb1555).
TEST_F(ShadeModesTest, TheKindsOfFamilyAsPixels) {
    KX_AllocTextures(4);
    engine().textureFormat = 1;
    engine().palette[3] = engine().palette[4] = engine().palette[5] = 63;
    auto solid = [](std::uint8_t index) {
        KX_Bitmap* b = KX_NewBitmap(8, 8);
        std::fill_n(KX_BitmapPixels(b), 64, index);
        return b;
    };
    const int white = KX_CreateTexture("white", solid(1));
    const int clear = KX_CreateTexture("clear", solid(0));
    struct Case {
        const char* kind;
        int mode, texture;
        float alpha, k;
        int r, g, b;
    };
    for (const Case c : {Case{"decal", 8, white, 255, 1, 255, 255, 255},
                         Case{"decal times iterated", 14, white, 255, 0.5f, 50, 50, 50},
                         Case{"alpha blend", 38, white, 128, 1, 255, 128, 128},
                         Case{"additive, white saturates", 69, white, 255, 1, 255, 255, 255},
                         Case{"additive, black adds nothing", 69, clear, 255, 1, 255, 0, 0},
                         Case{"multiply by black", 70, clear, 255, 1, 0, 0, 0},
                         Case{"cut-out texels", 10, clear, 255, 1, 255, 0, 0}}) {
        SCOPED_TRACE(c.kind);
        KX_SetRenderBuffer(GR_BUFFER_BACKBUFFER);
        KX_SetColour(0xFF0000FF);
        KX_FillRect(0, 0, 319, 199);
        Material& m = engine().materials[0];
        m.shadeMode = c.mode, m.texture = c.texture, m.alpha = c.alpha;
        Mesh mesh;
        const float corners[3][2] = {{10, 10}, {40, 10}, {10, 40}};
        for (int i = 0; i < 3; ++i) {
            ScreenVertex& v = mesh.screen[i];
            v.x = corners[i][0], v.y = corners[i][1], v.oow = v.oowCopy = 1;
        }
        Face face = mesh.face(0, 1, 2, 0);
        for (std::uint32_t& k : face.cornerValue) k = std::bit_cast<std::uint32_t>(c.k);
        face.u[1] = 8, face.v[2] = 8;
        engine().lastBoundMaterial = -1;
        shade(face, 0);
        grDrawTriangle(reinterpret_cast<const GrVertex*>(&mesh.screen[0]),
                       reinterpret_cast<const GrVertex*>(&mesh.screen[1]),
                       reinterpret_cast<const GrVertex*>(&mesh.screen[2]));
        const board::Buffer back = board::colourBuffer(GR_BUFFER_BACKBUFFER);
        const std::uint16_t p = back.pixels[20 * back.pitch + 20];
        EXPECT_NEAR((p >> 11) * 255 / 31, c.r, 12);
        EXPECT_NEAR(((p >> 5) & 63) * 255 / 63, c.g, 12);
        EXPECT_NEAR((p & 31) * 255 / 31, c.b, 12);
    }
    KX_FreeTextures();
}

} // namespace
} // namespace umbrek::vastrel
