// Light lists and their activation, point and directional lights at a
// vertex and a face, two-sided faces and the clamp of the light sum.
#include "umbrek/vastrel/tests/engine_fixture.h"

using namespace umbrek::vastrel;
using namespace umbrek::vastrel::test;

namespace {

class Lights : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        engine().view = identityMatrix();
        engine().lightsIn1024ths = true;
        KX_AllocMaterials(2);
        Material m;
        KX_SetMaterialName(m, "RED");
        KX_SetMaterialColour(m, 100, 50, 25);
        KX_AddMaterial(m);
        engine().currentMaterial = 0;
        KX_InitLightList(list, 16);
        screen.cameraX = 10, screen.cameraY = 20, screen.z = 30;
        vertex.screen = &screen;
        vertex.normal[2] = -1023;
    }

    // The light sum at the vertex with the list's lights active.
    std::array<float, 3> lightAtVertex() {
        engine().activeLights.count = 0;
        KX_ActivateLights(list);
        engine().device.lightVertex(&vertex, &screen);
        return {engine().lightSum[0], engine().lightSum[1], engine().lightSum[2]};
    }

    void pointLight(int i, Vec3 at, float range, float value) {
        KX_SetLightType(list, i, 1);
        KX_SetLightPosition(list, i, at.x, at.y, at.z);
        KX_SetLightRange(list, i, range);
        KX_SetLightIntensity(list, i, value);
        KX_EnableLight(list, i);
    }

    LightList list;
    ScreenVertex screen{};
    Vertex vertex;
};

TEST_F(Lights, ANewListIsDisabledWhiteAndHasItsFalloff) {
    ASSERT_EQ(list.capacity, 16);
    EXPECT_EQ(list.count, 0);
    for (const Light& l : list.lights) {
        EXPECT_EQ(l.enabled, 0);
        EXPECT_EQ(l.type, 0);
        EXPECT_EQ(l.range, 1);
        EXPECT_EQ(l.intensity, 1);
        EXPECT_EQ(l.falloff, 1024);
        EXPECT_EQ(l.red, 1);
        EXPECT_EQ(l.blue, 1);
    }
    KX_SetLightRange(list, 3, 4);
    EXPECT_EQ(list.lights[3].falloff, 256);
    KX_SetLightIntensity(list, 3, 2048);
    EXPECT_EQ(list.lights[3].intensity, 2);
    EXPECT_EQ(list.lights[3].falloff, 512);
    engine().lightsIn1024ths = false;
    KX_SetLightIntensity(list, 3, 2);
    EXPECT_EQ(list.lights[3].intensity, 2);
    EXPECT_EQ(list.lights[3].falloff, 512);
    KX_SetLightRange(list, 3, 0);
    EXPECT_EQ(list.lights[3].falloff, 0);
    // Light numbers outside the list change nothing.
    KX_EnableLight(list, 16);
    KX_SetLightColour(list, -1, 0, 0, 0);
}

TEST_F(Lights, APointLightGivesTheSetterValueAtTheVertexAndNothingBeyondItsRange) {
    pointLight(0, {10, 20, 30}, 100, 1);
    auto sum = lightAtVertex();
    // (range - 0) x value / range = the value, times the material's colour.
    EXPECT_FLOAT_EQ(sum[0], 100);
    EXPECT_FLOAT_EQ(sum[1], 50);
    EXPECT_FLOAT_EQ(sum[2], 25);

    KX_SetLightColour(list, 0, 1, 0.5f, 0);
    KX_SetLightPosition(list, 0, 10, 20, 80); // half the range away
    sum = lightAtVertex();
    EXPECT_FLOAT_EQ(sum[0], 50);
    EXPECT_FLOAT_EQ(sum[1], 12.5f);
    EXPECT_FLOAT_EQ(sum[2], 0);

    const Vec3 outside[] = {{10, 20, 130},
                            {10, 20, 130.01f},
                            {-90, 20, 30},
                            {10, 120, 30},
                            {80, 95, 30}}; // the last: each difference in range, the distance not
    for (const Vec3& at : outside) {
        KX_SetLightPosition(list, 0, at.x, at.y, at.z);
        sum = lightAtVertex();
        EXPECT_EQ(sum[0], 0) << at.x << " " << at.y << " " << at.z;
    }
    KX_SetLightPosition(list, 0, 10, 20, 129.9f);
    EXPECT_GT(lightAtVertex()[0], 0);
    KX_DisableLight(list, 0);
    EXPECT_EQ(lightAtVertex()[0], 0);
}

TEST_F(Lights, PointLightsMeasureFromTheCameraPositionNotTheScreenPosition) {
    screen.x = 500, screen.y = 400; // screen coordinates play no part
    pointLight(0, {10, 20, 30}, 5, 1);
    EXPECT_FLOAT_EQ(lightAtVertex()[0], 100);
}

TEST_F(Lights, ADirectionalLightFacingAwayLightsOnlyTwoSidedFaces) {
    KX_EnableLight(list, 0);
    KX_SetLightIntensity(list, 0, 1024); // 1 after the 1/1024 counting
    Face face;
    face.flags = faceFront;
    engine().currentFace = &face;
    const struct {
        int direction[3];
        std::uint8_t flags;
        float red;
    } cases[] = {
        {{0, 0, -1024}, faceFront, (1023 * 1024 >> 10) * 100.0f}, // facing: 1023 x 100, clamped
        {{0, 0, 1024}, faceFront, 0},                             // away, one-sided
        {{0, 0, 1024}, faceFront | faceBack, 255},                // away, two-sided: mirrored
        {{0, 0, 0}, faceFront, 0},
    };
    for (const auto& c : cases) {
        engine().activeLights.count = 0;
        KX_ActivateLights(list);
        Light& active = engine().activeLights.lights[0];
        std::copy(c.direction, c.direction + 3, active.direction);
        face.flags = c.flags;
        KX_LightVertex(&vertex, &screen);
        EXPECT_EQ(engine().lightSum[0], std::min(c.red, 255.0f))
            << int(c.flags) << " " << c.direction[2];
    }
    // A small dot product: the arithmetic shift rounds toward minus infinity.
    engine().activeLights.lights[0].intensity = 0.01f;
    engine().activeLights.lights[0].direction[2] = -3; // dot 3069 >> 10 = 2
    face.flags = faceFront;
    KX_LightVertex(&vertex, &screen);
    EXPECT_FLOAT_EQ(engine().lightSum[0], 0.01f * 2 * 100);
    engine().activeLights.lights[0].direction[2] = 3; // dot -3069 >> 10 = -3
    face.flags = faceBack;
    KX_LightVertex(&vertex, &screen);
    EXPECT_FLOAT_EQ(engine().lightSum[0], 0.01f * 3 * 100);
}

TEST_F(Lights, AFaceIsLitByItsNormalFlagsAndFirstCorner) {
    KX_SetLightIntensity(list, 0, 512);
    KX_EnableLight(list, 0);
    pointLight(1, {10, 20, 30}, 10, 0.5f);
    engine().activeLights.count = 0;
    KX_ActivateLights(list);
    engine().activeLights.lights[0].direction[1] = 1024;
    Face face;
    face.corner[0] = &vertex;
    face.normal[1] = -1023; // facing away from the light
    face.flags = faceBack;
    KX_LightFace(&face);
    // Directional: 0.5 x 1023 x 100 clamps; point: 0.5 x 100 = 50.
    EXPECT_EQ(engine().lightSum[0], 255);
    face.flags = faceFront;
    KX_LightFace(&face);
    EXPECT_FLOAT_EQ(engine().lightSum[0], 50);
    EXPECT_FLOAT_EQ(engine().lightSum[2], 12.5f);
    face.corner[0] = nullptr; // no corner: only the directional term
    KX_LightFace(&face);
    EXPECT_EQ(engine().lightSum[0], 0);
}

TEST_F(Lights, ManyLightsClampAndTheActiveListKeepsItsCapacity) {
    for (int i = 0; i < 16; ++i) pointLight(i, {10, 20, 30}, 100, 0.3f);
    KX_DisableLight(list, 2);
    auto sum = lightAtVertex();
    // Eight fit (the fixture's capacity): 8 x 0.3 x 100 = 240, 8 x 0.3 x 50 = 120.
    EXPECT_EQ(engine().activeLights.count, 8);
    EXPECT_FLOAT_EQ(sum[0], 240);
    KX_SetMaterialColour(engine().materials[0], 1000, -1000, 50);
    sum = lightAtVertex();
    EXPECT_EQ(sum[0], 255);
    EXPECT_EQ(sum[1], 0);
    EXPECT_FLOAT_EQ(sum[2], 120);

    // Activation brings positions into camera space and skips disabled lights.
    engine().view = translationMatrix(0, 0, 100);
    engine().activeLights.count = 0;
    KX_ActivateLights(list);
    EXPECT_EQ(list.lights[2].working.z, 130);
    EXPECT_EQ(engine().activeLights.lights[2].working.z, 130);
    EXPECT_EQ(engine().activeLights.lights[2].enabled, 1);
    engine().activeLights.count = 8;
    KX_ActivateLights(list); // full: nothing more
    EXPECT_EQ(engine().activeLights.count, 8);
}

} // namespace
