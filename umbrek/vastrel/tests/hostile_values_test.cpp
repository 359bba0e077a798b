// Models, cameras and keys come from files, so any float may arrive: NaN and
// infinities must give no crash, no undefined behaviour (this runs under
// UBSan) and no projected vertex with a coordinate the board cannot draw.
#include "umbrek/vastrel/projection.h"
#include "umbrek/vastrel/tests/engine_fixture.h"

#include <climits>
#include <cmath>
#include <limits>

using namespace umbrek::vastrel;
using namespace umbrek::vastrel::test;

namespace {

using Hostile = EngineFixture;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();
const float hostile[] = {nan, inf, -inf, 3e38f, -3e38f, 1e-45f, 0};

// Every vertex is either left unprojected by its clip code or has a finite
// screen position.
void expectDrawable(const Segment& seg) {
    for (const ScreenVertex& sv : seg.screen)
        if (sv.clip == 0) {
            EXPECT_TRUE(std::isfinite(sv.x)) << sv.cameraX << " " << sv.cameraY << " " << sv.z;
            EXPECT_TRUE(std::isfinite(sv.y)) << sv.cameraX << " " << sv.cameraY << " " << sv.z;
        }
}

TEST_F(Hostile, NanAndInfiniteCoordinatesAreNeverProjected) {
    for (float a : hostile)
        for (float b : {0.0f, 5.0f, nan, inf})
            for (Vec3 p :
                 {Vec3{a, 0, 10}, Vec3{0, a, 10}, Vec3{0, 0, a}, Vec3{a, b, a}, Vec3{b, a, b}}) {
                ScreenVertex sv{};
                placeVertex(sv, p);
                if (sv.clip == 0) {
                    EXPECT_TRUE(std::isfinite(sv.x)) << p.x << " " << p.y << " " << p.z;
                    EXPECT_TRUE(std::isfinite(sv.y)) << p.x << " " << p.y << " " << p.z;
                }
                if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z)) {
                    EXPECT_NE(sv.clip, 0);
                }
            }
}

TEST_F(Hostile, EntitiesWithHostileVerticesMatricesAndScales) {
    engine().view = identityMatrix();
    for (float h : hostile) {
        auto model = segmentModel({{h, 0, 10}, {0, h, 10}, {0, 0, h}, {1, 1, 10}});
        Segment& seg = model->segments[0];
        seg.flags |= segmentWorldNormals | segmentNoCull;
        seg.pivot = {h, 0, h};
        EntityPtr entity(KX_CreateEntity(model.get(), nullptr));
        KX_TransformEntity(entity.get());
        expectDrawable(seg);
        KX_DrawEntity(entity.get());

        KX_SetEntityPosition(entity.get(), h, 1, 100);
        KX_SetEntityScale(entity.get(), h, h, 1);
        KX_SetEntityRotation(entity.get(), h, 0, h);
        KX_SetSegmentScale(entity.get(), 0, h, 1, h);
        KX_SetSegmentRotation(entity.get(), 0, 0, h, 0);
        KX_RotateEntity(entity.get(), h, h, h);
        KX_TransformEntity(entity.get());
        expectDrawable(seg);
        entity->rotation.fill(h); // world normals from a matrix of anything
        KX_TransformEntity(entity.get());
        expectDrawable(seg);
        seg.flags &= ~segmentNoCull;
        KX_TransformEntity(entity.get());
        expectDrawable(seg);
    }
    // Huge normals after a huge rotation clamp to 16 bits.
    auto model = segmentModel({{0, 0, 10}, {1, 0, 10}, {0, 1, 10}});
    model->segments[0].flags |= segmentWorldNormals | segmentNoCull;
    model->segments[0].vertices[0].normal[0] = 1023;
    EntityPtr entity(KX_CreateEntity(model.get(), nullptr));
    entity->rotation = scaleMatrix(1e30f, -1e30f, 1);
    KX_TransformEntity(entity.get());
    EXPECT_EQ(model->segments[0].vertices[0].worldNormal[0], 32767);
    EXPECT_EQ(normalComponent(nan), 0);
    EXPECT_EQ(normalComponent(-inf), -32768);
    EXPECT_EQ(normalComponent(-32768.5f), -32768);
    EXPECT_EQ(normalComponent(-1.9f), -1);
}

TEST_F(Hostile, BillboardsAtHostilePositions) {
    engine().view = identityMatrix();
    textures.textures = {{"S", 4, 4, 1, 1}};
    KX_AllocMaterials(1);
    Material m;
    KX_SetMaterialName(m, "S");
    KX_AddMaterial(m);
    std::unique_ptr<Model, ModelFree> sprite(KX_MakeSpriteModel(0));
    ASSERT_TRUE(sprite);
    EntityPtr entity(KX_CreateEntity(sprite.get(), nullptr));
    for (float h : hostile)
        for (std::uint32_t flags : {0u, unsigned(segmentNoCull)}) {
            sprite->segments[0].flags = segmentBillboard | flags;
            KX_SetEntityPosition(entity.get(), h, 0, h);
            KX_SetEntityScale(entity.get(), 1, h, 1);
            engine().roll = h;
            KX_TransformEntity(entity.get());
            expectDrawable(sprite->segments[0]);
        }
}

TEST_F(Hostile, CamerasWithHostileFieldsGiveNoUndefinedBehaviour) {
    for (float h : hostile) {
        float Camera::*fields[] = {&Camera::roll, &Camera::distance,     &Camera::aspect,
                                   &Camera::fov,  &Camera::nearDistance, &Camera::farDistance};
        for (auto field : fields)
            for (std::uint8_t flags : {0, 1, 2, 3}) {
                KX_InitCamera(camera);
                camera->*field = h;
                camera->flags = flags;
                KX_SetCamera(camera);
                camera->position = {h, 1, h};
                camera->angles = {h, h, 0};
                camera->up = {h, h, h};
                KX_SetCamera(camera);
                engine().view = identityMatrix();
                auto model = segmentModel({{0, 0, 10}, {1, 1, 10}, {-1, 1, 10}});
                EntityPtr entity(KX_CreateEntity(model.get(), nullptr));
                KX_TransformEntity(entity.get());
                expectDrawable(model->segments[0]);
            }
    }
}

TEST_F(Hostile, LightsWithHostileValues) {
    engine().view = identityMatrix();
    KX_AllocMaterials(1);
    Material m;
    KX_SetMaterialName(m, "M");
    KX_AddMaterial(m);
    engine().currentMaterial = 0;
    LightList list;
    KX_InitLightList(list, 2);
    Vertex vertex;
    ScreenVertex screen{};
    vertex.screen = &screen;
    vertex.normal[0] = 32767, vertex.normal[1] = -32768, vertex.normal[2] = 32767;
    Face face;
    face.flags = faceBack;
    face.corner[0] = &vertex;
    engine().currentFace = &face;
    for (float h : hostile) {
        KX_SetLightPosition(list, 0, h, 0, h);
        KX_SetLightIntensity(list, 0, h);
        KX_SetLightRange(list, 0, h);
        KX_EnableLight(list, 0);
        KX_SetLightPosition(list, 1, h, h, 1);
        KX_SetLightType(list, 1, 1);
        KX_SetLightRange(list, 1, h);
        KX_SetLightIntensity(list, 1, h);
        KX_EnableLight(list, 1);
        KX_SetMaterialColour(engine().materials[0], h, 255, h);
        screen.cameraX = h, screen.z = h;
        engine().activeLights.count = 0;
        KX_ActivateLights(list);
        Matrix world = identityMatrix();
        world[0] = world[5] = h;
        bringLightsIntoSegment(world, {h, 0, 0}, {0, h, 0});
        for (const int d : engine().activeLights.lights[0].direction) {
            EXPECT_GE(d, -1024);
            EXPECT_LE(d, 1024);
        }
        KX_LightVertex(&vertex, &screen);
        for (float c : engine().lightSum) EXPECT_TRUE(c >= 0 && c <= 255) << h;
        KX_LightFace(&face);
        for (float c : engine().lightSum) EXPECT_TRUE(c >= 0 && c <= 255) << h;
    }
}

// A rotation matrix of a quaternion: its last row and column are those of
// the identity, and every element that is a number lies within [-1, 1] (the
// matrix divides by the quaternion's squared length).
void expectRotationInRange(const Matrix& m) {
    for (int i : {3, 7, 11, 12, 13, 14}) EXPECT_EQ(m[std::size_t(i)], 0.0f) << i;
    EXPECT_EQ(m[15], 1.0f);
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10}) {
        const float e = m[std::size_t(i)];
        if (std::isfinite(e)) {
            EXPECT_LE(std::fabs(e), 1.0001f) << i;
        }
    }
}

void expectNear(Vec3 got, Vec3 want) {
    EXPECT_NEAR(got.x, want.x, 1e-5f);
    EXPECT_NEAR(got.y, want.y, 1e-5f);
    EXPECT_NEAR(got.z, want.z, 1e-5f);
}

// Every track holds the same value at three keys, so any frame from the first
// key on (clamped, wrapped or between keys) gives that value; with values too
// large for the spline's products or not numbers at all, the rotation still
// stays a rotation's shape.
TEST(HostileKeys, TracksWithHostileValuesAndFrames) {
    const std::int32_t extremes[][3] = {
        {INT_MIN, 0, INT_MAX}, {0, 10, 20}, {INT_MAX, INT_MAX, INT_MAX}};
    for (float h : hostile)
        for (int frames : {0, 1, 2}) {
            Model model;
            model.segments.resize(1);
            Segment& seg = model.segments[0];
            seg.flags = frames == 1 ? std::uint32_t(segmentLoops) : 0u;
            for (int k = 0; k < 3; ++k) {
                SplineKey s;
                s.frame = extremes[frames][k];
                s.value = {h, 1, h};
                s.tension = s.bias = s.continuity = (k == 1 ? h : 0);
                seg.positionKeys.push_back(s);
                seg.scaleKeys.push_back(s);
                RotationKey r;
                r.frame = s.frame;
                r.relative = {h, 0, h, 1};
                seg.rotationKeys.push_back(r);
            }
            seg.pivot = {h, h, h};
            model.lastFrame = 20;
            EntityPtr entity(KX_CreateEntity(&model, nullptr));
            ASSERT_EQ(entity->states.size(), 1u);
            const SegmentState& state = entity->states[0];
            for (int frame : {INT_MIN, -1, 0, 7, 20, 21, INT_MAX}) {
                SCOPED_TRACE(testing::Message()
                             << "value " << h << " keys " << frames << " frame " << frame);
                KX_SetAnimationFrame(entity.get(), frame);
                expectRotationInRange(state.rotation);
                // Large values overflow the spline's products; NaN stays NaN.
                if (!(std::fabs(h) <= 1) || frame < extremes[frames][0]) continue;
                expectNear(state.translation, {0, 1 - h, 0});
                expectNear(state.scale, {h, 1, h});
                for (int i = 0; i < 16; ++i)
                    EXPECT_NEAR(state.rotation[std::size_t(i)], i % 5 == 0 ? 1.0f : 0.0f, 1e-5f)
                        << i;
            }
        }
    for (float h : hostile) {
        const Quaternion q{h, 0, h, 1};
        for (float t : {h, 0.5f})
            expectRotationInRange(quaternionMatrix(slerp(q, {0, 0, 0, 1}, t, 0)));
        expectRotationInRange(quaternionMatrix(q));
    }
}

} // namespace
