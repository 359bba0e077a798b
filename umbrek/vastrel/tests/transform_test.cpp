// The segment transform: projection pins and the 1/16 snap, clip codes, box
// culling, pivots, linked segments, billboards and the hand-over to the
// device's face-list slot.
#include "umbrek/vastrel/projection.h"
#include "umbrek/vastrel/tests/engine_fixture.h"

#include <cmath>

using namespace umbrek::vastrel;
using namespace umbrek::vastrel::test;

namespace {

using Transform = EngineFixture;

// Camera space = world space: the view is the identity.
void identityView() {
    engine().view = identityMatrix();
    engine().projection = identityMatrix();
    engine().nearDistance = 1;
    engine().farDistance = 65535;
    engine().roll = 0;
}

TEST_F(Transform, ProjectionPinsAndTheSixteenthPixelSnap) {
    identityView();
    auto model = segmentModel({{0, 0, 400}, {100, 50, 400}, {-320, 320, 320}});
    EntityPtr entity(KX_CreateEntity(model.get(), "pins"));
    KX_TransformEntity(entity.get());
    const auto& sv = model->segments[0].screen;
    EXPECT_EQ(sv[0].x, 320.375f);
    EXPECT_EQ(sv[0].y, 240.375f);
    EXPECT_EQ(sv[1].x, 400.4375f);
    EXPECT_EQ(sv[1].y, 210.375f);
    EXPECT_EQ(sv[1].oow, 1.0f / 400);
    EXPECT_EQ(sv[1].oowCopy, 1.0f / 400);
    EXPECT_EQ(sv[1].cameraX, 100);
    EXPECT_EQ(sv[1].cameraY, 50);
    EXPECT_EQ(sv[1].z, 400);
    EXPECT_EQ(sv[1].colourMaterial, noColourMaterial);
    // The view's corner: 320.4 - 320.1 = 0.3 snaps to 0.3125.
    EXPECT_EQ(sv[2].x, 0.3125f);
    EXPECT_EQ(sv[2].y, 0.3125f);

    const struct {
        float in, out;
    } snaps[] = {
        {0.03f, 0}, {0.04f, 0.0625f}, {1.99f, 2}, {-7.45f, -7.4375f}, {639.96f, 639.9375f}};
    for (const auto& s : snaps) EXPECT_EQ(snapToSixteenth(s.in), s.out) << s.in;
}

TEST_F(Transform, ClipCodesOfCameraPoints) {
    identityView();
    engine().farDistance = 1000;
    const struct {
        Vec3 p;
        std::uint16_t code;
    } cases[] = {
        {{0, 0, 1}, 0},             // exactly at the near distance: projected
        {{0, 0, 0.999f}, clipNear}, // nearer: that bit alone
        {{50, 50, -5}, clipNear},   // behind the camera
        {{0, 0, 1000}, 0},          // exactly at the far distance
        {{0, 0, 1001}, clipFar},
        {{0, -6, 5}, clipBelow},
        {{0, 6, 5}, clipAbove},
        {{-6, 0, 5}, clipLeft},
        {{6, 0, 5}, clipRight},
        {{5, -5, 5}, 0}, // on the edges of the pyramid
        {{6, 6, 5}, clipRight | clipAbove},
        {{-2000, 0, 1500}, clipFar | clipLeft},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clipCode(c.p), c.code) << c.p.x << " " << c.p.y << " " << c.p.z;
        ScreenVertex sv{};
        sv.x = sv.y = sv.oow = -1;
        placeVertex(sv, c.p);
        EXPECT_EQ(sv.clip, c.code);
        // Only vertices inside the view are projected; only those not in
        // front of the near plane get 1/z.
        EXPECT_EQ(sv.x != -1, c.code == 0);
        EXPECT_EQ(sv.oow != -1, c.code != clipNear);
    }
}

TEST_F(Transform, ASegmentWhollyOutsideTheViewKeepsItsVerticesUnlessFlaggedNoCull) {
    identityView();
    // Every point lies right of the view (x > z).
    auto model = segmentModel({{100, 0, 10}, {110, 5, 20}, {120, -5, 15}});
    EntityPtr entity(KX_CreateEntity(model.get(), nullptr));
    Segment& seg = model->segments[0];
    for (ScreenVertex& sv : seg.screen) sv.x = sv.cameraX = 777, sv.clip = 0;
    seg.flags |= segmentVisible;
    KX_TransformEntity(entity.get());
    EXPECT_FALSE(seg.flags & segmentVisible);
    for (const ScreenVertex& sv : seg.screen) EXPECT_EQ(sv.cameraX, 777);

    seg.flags |= segmentNoCull;
    KX_TransformEntity(entity.get());
    EXPECT_TRUE(seg.flags & segmentVisible);
    EXPECT_EQ(seg.screen[0].cameraX, 100);
    EXPECT_EQ(seg.screen[0].clip, clipRight);
    EXPECT_EQ(seg.screen[0].x, 777); // clipped vertices are not projected

    // A box that straddles a plane is not culled even when some corners are out.
    auto straddling = segmentModel({{-100, 0, 10}, {100, 0, 10}, {0, 1, 10}});
    EntityPtr second(KX_CreateEntity(straddling.get(), nullptr));
    KX_TransformEntity(second.get());
    EXPECT_TRUE(straddling->segments[0].flags & segmentVisible);
}

TEST_F(Transform, WorldPivotScaleAndRotationCompose) {
    identityView();
    auto model = segmentModel({{2, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    model->segments[0].pivot = {1, 0, 0};
    model->segments[0].flags |= segmentNoCull;
    EntityPtr entity(KX_CreateEntity(model.get(), nullptr));
    KX_SetSegmentScale(entity.get(), 0, 2, 2, 2);
    KX_SetSegmentPosition(entity.get(), 0, 0, 0, 5);
    KX_SetEntityPosition(entity.get(), 10, 0, 100);
    KX_SetEntityScale(entity.get(), 3, 3, 3);
    KX_TransformEntity(entity.get());
    const auto& sv = model->segments[0].screen;
    // Segment: pivot + 2 (v - pivot) + (0, 0, 5); entity: 3 x that + (10, 0, 100).
    EXPECT_FLOAT_EQ(sv[0].cameraX, 10 + 3 * 3);
    EXPECT_FLOAT_EQ(sv[0].z, 100 + 3 * 5);
    EXPECT_FLOAT_EQ(sv[2].cameraY, 3 * 2);

    // The entity's rotation turns about its position: y by 90 takes x to -z.
    KX_SetEntityScale(entity.get(), 1, 1, 1);
    KX_SetEntityRotation(entity.get(), 0, 90, 0);
    KX_TransformEntity(entity.get());
    EXPECT_NEAR(sv[1].cameraX, 10 + 5, 1e-4f);
    EXPECT_NEAR(sv[1].z, 100 - 1, 1e-4f);
}

// Each segment carries one enabled light, so the active lights count how
// many times segments were transformed.
std::unique_ptr<Model> linkedModel(int segments) {
    auto model = std::make_unique<Model>();
    model->segments.resize(std::size_t(segments));
    for (int i = 0; i < segments; ++i) {
        Segment& seg = model->segments[std::size_t(i)];
        seg.index = i;
        seg.flags = segmentNoCull;
        seg.vertices.resize(1);
        seg.screen.resize(1);
        seg.vertices[0].screen = &seg.screen[0];
        KX_InitLightList(seg.lights, 1);
        KX_EnableLight(seg.lights, 0);
    }
    return model;
}

TEST_F(Transform, LinkedSegmentsAreTransformedOnceFromTheirRoots) {
    identityView();
    auto model = linkedModel(3);
    auto& segs = model->segments;
    // The root comes last in the array: segment 2, with child 0, whose
    // younger sibling is 1.
    segs[2].child = 0;
    segs[0].sibling = 1;
    EntityPtr entity(KX_CreateEntity(model.get(), nullptr));
    KX_SetEntityPosition(entity.get(), 0, 0, 100);
    KX_SetSegmentPosition(entity.get(), 2, 5, 0, 0);
    KX_SetSegmentPosition(entity.get(), 0, 0, 7, 0);
    KX_SetSegmentPosition(entity.get(), 1, 0, 0, 11);
    KX_SetSegmentRotation(entity.get(), 2, 0, 0, 90);
    KX_TransformEntity(entity.get());
    EXPECT_EQ(engine().activeLights.count, 3);
    // The root at (5, 0, 100); its children turned by its 90 degrees about z.
    EXPECT_FLOAT_EQ(segs[2].screen[0].cameraX, 5);
    EXPECT_NEAR(segs[0].screen[0].cameraX, 5 - 7, 1e-5f);
    EXPECT_NEAR(segs[0].screen[0].cameraY, 0, 1e-5f);
    EXPECT_NEAR(segs[1].screen[0].cameraX, 5, 1e-5f);
    EXPECT_NEAR(segs[1].screen[0].z, 111, 1e-5f);
    // The rotation handed on is the parent's (the entity's) times the segment's.
    EXPECT_EQ(segs[0].parent, rotationZ(90));
    EXPECT_EQ(segs[1].parent, rotationZ(90));
    EXPECT_EQ(segs[2].parent, identityMatrix());

    // Cycles, self links and links outside the model: each segment once.
    engine().activeLights.count = 0;
    segs[0].child = 1, segs[0].sibling = 0;
    segs[1].child = 0, segs[1].sibling = 99;
    segs[2].child = -7, segs[2].sibling = 2, segs[2].thirdLink = 1000;
    KX_TransformEntity(entity.get());
    EXPECT_EQ(engine().activeLights.count, 3);
    engine().activeLights.count = 0;
    segs[2].child = 0, segs[2].sibling = 1;
    KX_TransformEntity(entity.get());
    EXPECT_EQ(engine().activeLights.count, 3);
    for (const Segment& seg : segs) EXPECT_TRUE(seg.flags & segmentVisible);
}

TEST_F(Transform, HiddenSegmentsAreNeitherTransformedNorDrawnButPassTheirMatrixOn) {
    identityView();
    auto model = linkedModel(2);
    auto& segs = model->segments;
    segs[0].child = 1;
    segs[0].flags |= segmentHidden | segmentVisible;
    EntityPtr entity(KX_CreateEntity(model.get(), nullptr));
    KX_SetSegmentPosition(entity.get(), 0, 5, 0, 100);
    KX_TransformEntity(entity.get());
    EXPECT_FALSE(segs[0].flags & segmentVisible);
    EXPECT_TRUE(segs[1].flags & segmentVisible);
    EXPECT_FLOAT_EQ(segs[1].screen[0].cameraX, 5);
    EXPECT_EQ(engine().activeLights.count, 1);

    entity->flags |= entityNotTransformed;
    segs[1].screen[0].cameraX = 42;
    KX_TransformEntity(entity.get());
    EXPECT_EQ(segs[1].screen[0].cameraX, 42);
}

TEST_F(Transform, BillboardCornersFaceTheCameraAtRollZeroAndNinety) {
    identityView();
    textures.textures.push_back({"STAR.BMP", 8, 4, 1, 0.5f});
    Material m;
    KX_SetMaterialName(m, "star");
    KX_AllocMaterials(4);
    ASSERT_EQ(KX_AddMaterial(m), 0);
    std::unique_ptr<Model, ModelFree> sprite(KX_MakeSpriteModel(0));
    ASSERT_TRUE(sprite);
    EntityPtr entity(KX_CreateEntity(sprite.get(), nullptr));
    KX_SetEntityPosition(entity.get(), 10, 20, 100);
    KX_SetEntityScale(entity.get(), 2, 3, 1);
    KX_TransformEntity(entity.get());
    const Segment& seg = sprite->segments[0];
    ASSERT_TRUE(seg.flags & segmentVisible);
    EXPECT_FLOAT_EQ(seg.box.cameraCentre.z, 100);
    // Corners (-w, -h), (w, -h), (w, h), (-w, h) scaled by the entity's x and y.
    const float want0[4][2] = {{-16, -12}, {16, -12}, {16, 12}, {-16, 12}};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_FLOAT_EQ(seg.screen[std::size_t(i)].cameraX, 10 + want0[i - 1][0]) << i;
        EXPECT_FLOAT_EQ(seg.screen[std::size_t(i)].cameraY, 20 + want0[i - 1][1]) << i;
        EXPECT_EQ(seg.screen[std::size_t(i)].z, 100);
        EXPECT_EQ(seg.screen[std::size_t(i)].clip, 0);
    }
    // Roll 90 (the camera's 60 and the segment's 30): (x, y) -> (-y, x),
    // scaled after turning.
    engine().roll = 60;
    KX_SetSegmentRotation(entity.get(), 0, 0, 0, 30);
    KX_TransformEntity(entity.get());
    const float want90[4][2] = {{2 * 4, 3 * -8}, {2 * 4, 3 * 8}, {2 * -4, 3 * 8}, {2 * -4, 3 * -8}};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_NEAR(seg.screen[std::size_t(i)].cameraX, 10 + want90[i - 1][0], 1e-4f) << i;
        EXPECT_NEAR(seg.screen[std::size_t(i)].cameraY, 20 + want90[i - 1][1], 1e-4f) << i;
    }

    // Behind the near plane by more than its radius (16): not drawn.
    KX_SetEntityPosition(entity.get(), 0, 0, 1 - 16);
    KX_TransformEntity(entity.get());
    EXPECT_FALSE(seg.flags & segmentVisible);
    // Within its radius of the near plane: drawn, its corners near-clipped.
    KX_SetEntityPosition(entity.get(), 0, 0, 0.5f);
    KX_TransformEntity(entity.get());
    EXPECT_TRUE(seg.flags & segmentVisible);
    EXPECT_EQ(seg.screen[1].clip, clipNear);
}

TEST_F(Transform, DrawingHandsOnlyVisibleSegmentsToTheDeviceWithLightsInTheirFrame) {
    identityView();
    auto model = linkedModel(3);
    auto& segs = model->segments;
    for (Segment& seg : segs) {
        seg.lights = LightList{};
        seg.faces.resize(2);
        seg.flags = 0;
    }
    segs[0].vertices[0].z = 50;
    segs[1].vertices[0].z = -50; // behind the camera: culled
    segs[2].vertices[0].z = 60;
    for (Segment& seg : segs) KX_ComputeSegmentBox(seg);
    EntityPtr entity(KX_CreateEntity(model.get(), nullptr));
    KX_SetSegmentRotation(entity.get(), 2, 0, 90, 0);
    KX_SetSegmentPosition(entity.get(), 2, 0, 0, 1000);

    LightList lights;
    KX_InitLightList(lights, 2);
    KX_SetLightPosition(lights, 0, 0, 0, -1000); // directional, along -z
    KX_EnableLight(lights, 0);
    KX_SetLightPosition(lights, 1, 5, 5, 5);
    KX_SetLightType(lights, 1, 1); // a point light: no direction
    KX_EnableLight(lights, 1);
    KX_ActivateLights(lights);
    KX_TransformEntity(entity.get());
    KX_DrawEntity(entity.get());

    const auto& draws = recorded().draws;
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].faces, segs[0].faces.data());
    EXPECT_EQ(draws[0].vertices, segs[0].vertices.data());
    EXPECT_EQ(draws[0].screen, segs[0].screen.data());
    EXPECT_EQ(draws[0].count, 2);
    EXPECT_EQ(draws[1].faces, segs[2].faces.data());
    const std::array<int, 3> along{0, 0, -1024}, none{0, 0, 0};
    EXPECT_EQ(draws[0].lightDirections, (std::vector<std::array<int, 3>>{along, none}));
    // Segment 2, turned 90 degrees about y and moved to z = 1000: the light
    // lies 2000 along its local x.
    ASSERT_EQ(draws[1].lightDirections.size(), 2u);
    EXPECT_EQ(draws[1].lightDirections[0][0], 1024);

    recorded().draws.clear();
    entity->flags |= entityNotDrawn;
    KX_DrawEntity(entity.get());
    EXPECT_TRUE(recorded().draws.empty());
}

TEST_F(Transform, WorldNormalsFollowTheRotation) {
    identityView();
    auto model = segmentModel({{0, 0, 10}, {1, 0, 10}, {0, 1, 10}});
    Segment& seg = model->segments[0];
    seg.flags |= segmentWorldNormals;
    seg.vertices[0].normal[0] = 1023, seg.vertices[0].normal[2] = 0;
    EntityPtr entity(KX_CreateEntity(model.get(), nullptr));
    KX_SetEntityRotation(entity.get(), 0, 0, 90);
    KX_TransformEntity(entity.get());
    EXPECT_EQ(seg.vertices[0].worldNormal[0], 0);
    EXPECT_EQ(seg.vertices[0].worldNormal[1], 1023);
    EXPECT_EQ(seg.vertices[0].worldNormal[2], 0);
}

} // namespace
