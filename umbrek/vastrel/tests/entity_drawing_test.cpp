// A small model drawn as a frame draws it: the engine transforms the entity
// and hands its faces to the installed device, which draws them onto the
// headless board; the pixels are held against colours worked out by hand.
#include "umbrek/glide/glide_test.h"
#include "umbrek/vastrel/bitmap.h"
#include "umbrek/vastrel/camera.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/keyframes.h"
#include "umbrek/vastrel/tests/open_device.h"
#include "umbrek/vastrel/texture_manager.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>

namespace umbrek::vastrel {
namespace {

namespace board = umbrek::glide;

class EntityDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        board::resetOptions();
        ASSERT_EQ(KX_InitEngine(64), 0);
        test::openTestDevice();
        ASSERT_EQ(KX_AllocTextures(4), 0);
        ASSERT_EQ(KX_AllocMaterials(4), 0);
        ASSERT_EQ(KX_NewViewport(viewport, 0, 0, 319, 199, 0), 0);
        KX_SetViewport(viewport);
        ASSERT_EQ(KX_InitLightList(engine().activeLights, 4), 0);
        // Camera space is world space, so that the corners below are where
        // the camera sees them.
        Engine& e = engine();
        e.view = e.projection = identityMatrix();
        e.nearDistance = 1, e.farDistance = 65535;
    }

    void TearDown() override {
        KX_FreeViewport(viewport);
        KX_FreeMaterials();
        test::closeTestDevice();
        KX_FreeEngineBuffers();
    }

    // The back buffer's pixel at the camera-space point (x, y) of depth 100.
    std::uint16_t pixelAt(float x, float y) const {
        const board::Buffer back = board::colourBuffer(1);
        const int sx = int(viewport.centreX + viewport.horizontalScale * x / 100);
        const int sy = int(viewport.centreY - viewport.verticalScale * y / 100);
        return back.pixels[sy * back.pitch + sx];
    }

    Viewport viewport;
};

void addFace(Segment& seg, int material, const int corners[3], const float u[3], const float v[3]) {
    Face& f = seg.faces.emplace_back();
    f.material = f.backMaterial = std::uint16_t(material);
    for (int k = 0; k < 3; ++k) {
        f.corner[k] = &seg.vertices[std::size_t(corners[k])];
        f.u[k] = u[k], f.v[k] = v[k];
    }
    // No share of the material's own colour: a lit face shows the light.
    f.cornerValue[0] = std::bit_cast<std::uint32_t>(0.0f);
    f.normal[2] = -1023; // toward the camera
    f.flags = faceFront;
}

TEST_F(EntityDrawingTest, ALitFlatFaceAndATexturedFaceReachTheBoard) {
    Engine& e = engine();
    // Material 0: flat and lit (mode 3), colour (205, 103, 45).
    Material flat{};
    std::strcpy(flat.name, "FLAT");
    flat.shadeMode = 3;
    flat.red = 205, flat.green = 103, flat.blue = 45, flat.alpha = 255;
    ASSERT_EQ(KX_AddMaterial(flat), 0);
    // Material 1: the texture as it is (mode 8), an 8x8 bitmap whose left
    // half is palette index 1 (red) and right half index 2 (blue).
    e.palette[3 * 1] = 63;
    e.palette[3 * 2 + 2] = 63;
    e.textureFormat = 0;
    KX_Bitmap* halves = KX_NewBitmap(8, 8);
    for (int i = 0; i < 64; ++i) KX_BitmapPixels(halves)[i] = i % 8 < 4 ? 1 : 2;
    const int texture = KX_CreateTexture("HALVES", halves);
    ASSERT_EQ(texture, 0);
    Material textured{};
    std::strcpy(textured.name, "TEXTURED");
    textured.shadeMode = 8;
    textured.texture = texture;
    textured.alpha = 255;
    ASSERT_EQ(KX_AddMaterial(textured), 1);

    // One segment, two triangles at depth 100: the lit one on the left, the
    // textured one on the right with s and t running 0..256 over its legs.
    Model model;
    Segment& seg = model.segments.emplace_back();
    const Vec3 points[] = {{-80, 40, 100}, {-10, 40, 100}, {-80, -40, 100},
                           {10, 40, 100},  {80, 40, 100},  {10, -40, 100}};
    for (const Vec3& p : points) {
        Vertex& v = seg.vertices.emplace_back();
        v.x = p.x, v.y = p.y, v.z = p.z;
        v.normal[2] = -1023;
    }
    seg.screen.resize(seg.vertices.size());
    for (std::size_t i = 0; i < seg.vertices.size(); ++i) seg.vertices[i].screen = &seg.screen[i];
    const int left[3] = {0, 1, 2}, right[3] = {3, 4, 5};
    const float none[3] = {0, 0, 0}, s[3] = {0, 256, 0}, t[3] = {0, 0, 256};
    addFace(seg, 0, left, none, none);
    addFace(seg, 1, right, s, t);
    KX_ComputeModelBoxes(model);
    Entity* entity = KX_CreateEntity(&model, "SCENE");
    ASSERT_NE(entity, nullptr);

    // A white directional light from the camera's side, intensity 1.
    LightList lights;
    ASSERT_EQ(KX_InitLightList(lights, 1), 0);
    KX_SetLightPosition(lights, 0, 0, 0, -1000);
    KX_SetLightIntensity(lights, 0, 1);
    KX_EnableLight(lights, 0);

    // The frame, through the installed slots.
    KX_BeginFrame();
    KX_ActivateLights(lights);
    e.device.setColour(e.device.packRgb(0, 32, 0));
    e.device.clearViewport(&viewport);
    KX_TransformEntity(entity);
    KX_DrawEntity(entity);
    e.device.flushTriangles();
    KX_FreeEntity(entity);
    ASSERT_FALSE(KX_FatalRaised());

    // Lit: normal . direction = 1023 * 1024 >> 10 = 1023 at 1/1024 each,
    // times the material's colour: (204.8, 102.9, 44.96), which is 5-6-5
    // (25, 25, 5) = 0xCB25 whether the board truncates or rounds.
    EXPECT_EQ(pixelAt(-60, 15), 0xCB25);
    EXPECT_EQ(pixelAt(-75, -30), 0xCB25);
    // Textured: s = 64 lies in the red half, s = 192 in the blue half, each
    // two texels from the edge between them (bilinear filtering mixes
    // nothing there). Red 252 and blue 252 are 0xF800 and 0x001F.
    EXPECT_EQ(pixelAt(27.5f, 20), 0xF800);
    EXPECT_EQ(pixelAt(62.5f, 30), 0x001F);
    // Between the faces and beyond the textured one's long side: the clear
    // colour, green 32 << 2 = 128, 5-6-5 0x0400.
    EXPECT_EQ(pixelAt(0, 0), 0x0400);
    EXPECT_EQ(pixelAt(75, -30), 0x0400);
    EXPECT_EQ(e.trianglesDrawn, 2);
}

} // namespace
} // namespace umbrek::vastrel
