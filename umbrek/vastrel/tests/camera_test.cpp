// The view and projection matrices of cameras in target, angle and
// keep-orientation modes, and the camera list.
#include "umbrek/vastrel/tests/engine_fixture.h"

#include <cmath>

using namespace umbrek::vastrel;
using namespace umbrek::vastrel::test;

namespace {

using Cameras = EngineFixture;

Vec3 view(Vec3 p) {
    return transformPoint(engine().view, p);
}

void expectFinite(const Matrix& m) {
    for (float v : m) EXPECT_TRUE(std::isfinite(v));
}

TEST_F(Cameras, TheDefaultsAndTheViewFromZ400) {
    EXPECT_EQ(camera->position.z, 256);
    EXPECT_EQ(camera->distance, 500);
    EXPECT_EQ(camera->up.y, 1);
    EXPECT_EQ(camera->aspect, 1.6f);
    EXPECT_EQ(camera->fov, 1.0471667f);
    EXPECT_EQ(camera->nearDistance, 1);
    EXPECT_EQ(camera->farDistance, 65535);

    camera->flags = cameraTargetMode;
    KX_SetCameraPosition(camera, 0, 0, 400);
    KX_SetCamera(camera);
    const float p0 = 1 / std::tan(1.0471667f / 2);
    EXPECT_EQ(engine().projection[0], p0);
    EXPECT_EQ(engine().projection[5], p0 * 1.6f);
    const Vec3 origin = view({0, 0, 0});
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    EXPECT_EQ(origin.z, 400);
    // Looking down -z with y up, camera x runs along world -x.
    const Vec3 x = view({1, 0, 0});
    EXPECT_FLOAT_EQ(x.x, -p0);
    EXPECT_FLOAT_EQ(x.y, 0);
    EXPECT_FLOAT_EQ(x.z, 400);
    const Vec3 y = view({0, 1, 0});
    EXPECT_FLOAT_EQ(y.y, p0 * 1.6f);
    EXPECT_FLOAT_EQ(view({0, 0, 1}).z, 399);
    EXPECT_EQ(camera->direction.z, 1);
    EXPECT_EQ(engine().camera, camera);
    EXPECT_EQ(engine().nearDistance, 1);

    // Roll turns the view about its axis: 90 degrees takes x' to y'.
    camera->roll = 90;
    KX_SetCamera(camera);
    EXPECT_NEAR(view({1, 0, 0}).y, -p0 * 1.6f, 1e-5f);
    EXPECT_EQ(engine().roll, 90);
}

TEST_F(Cameras, LookingStraightDownOrAtItsOwnPositionStaysFinite) {
    camera->flags = cameraTargetMode;
    KX_SetCameraPosition(camera, 0, 100, 0);
    KX_SetCameraTarget(camera, 0, 0, 0);
    KX_SetCamera(camera);
    expectFinite(engine().view);
    EXPECT_FLOAT_EQ(view({0, 0, 0}).z, 100);
    EXPECT_FLOAT_EQ(view({0, -50, 0}).z, 150);
    EXPECT_EQ(camera->direction.y, 1);

    KX_SetCameraTarget(camera, 0, 100, 0);
    KX_SetCamera(camera);
    expectFinite(engine().view);
    EXPECT_EQ(camera->direction.x, 0);
    EXPECT_EQ(camera->direction.y, 0);
    EXPECT_EQ(camera->direction.z, 0);
}

TEST_F(Cameras, KeepingTheOrientationMovesTheViewWithoutTurningIt) {
    camera->flags = cameraTargetMode;
    KX_SetCameraPosition(camera, 30, 40, 400);
    KX_SetCamera(camera);
    const Matrix before = engine().view;
    const Vec3 seen = view({5, 6, 7});
    camera->flags |= cameraKeepOrientation;
    KX_SetCameraPosition(camera, 130, 20, 350);
    KX_SetCameraTarget(camera, 1000, 0, 0); // ignored while the orientation is kept
    KX_SetCamera(camera);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(engine().view[std::size_t(i)], before[std::size_t(i)]);
    const Vec3 moved = view({105, -14, -43});
    EXPECT_NEAR(moved.x, seen.x, 1e-3f);
    EXPECT_NEAR(moved.y, seen.y, 1e-3f);
    EXPECT_NEAR(moved.z, seen.z, 1e-3f);
}

TEST_F(Cameras, InAngleModeTheTargetFollowsTheAnglesAndTheDistance) {
    camera->flags = 0;
    camera->angles = {0, 90, 0};
    KX_SetCamera(camera); // built toward the old target (the origin)
    EXPECT_FLOAT_EQ(view({0, 0, 0}).z, 256);
    // (0, 0, -1) turned by y 90 is (-1, 0, 0); 500 of it from (0, 0, 256).
    EXPECT_NEAR(camera->target.x, -500, 1e-3f);
    EXPECT_NEAR(camera->target.y, 0, 1e-3f);
    EXPECT_NEAR(camera->target.z, 256, 1e-3f);
    EXPECT_NEAR(camera->direction.x, 1, 1e-6f);
    KX_SetCamera(camera); // now toward the new target
    EXPECT_NEAR(view({-100, 0, 256}).z, 100, 1e-3f);
}

TEST_F(Cameras, TheListAppendsUpperCasesAndForgetsFreedCameras) {
    Camera* a = KX_InitCamera(KX_NewCamera());
    Camera* b = KX_InitCamera(KX_NewCamera());
    a->name = "front";
    b->name = "Side";
    EXPECT_EQ(KX_FirstCamera(), nullptr);
    KX_AddCamera(a);
    KX_AddCamera(b);
    KX_AddCamera(camera);
    KX_AddCamera(a); // twice: no cycle
    EXPECT_EQ(KX_FirstCamera(), a);
    EXPECT_EQ(a->name, "FRONT");
    EXPECT_EQ(b->name, "SIDE");
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->next, camera);
    EXPECT_EQ(camera->next, nullptr);
    KX_SetCamera(b);
    KX_FreeCamera(b);
    EXPECT_EQ(a->next, camera);
    EXPECT_EQ(engine().camera, nullptr);
    KX_FreeCamera(a);
    EXPECT_EQ(KX_FirstCamera(), camera);
    KX_SetCameraPosition(nullptr, 1, 2, 3);
    KX_SetCamera(nullptr);
    KX_FreeCamera(nullptr);
}

} // namespace
