// Quaternions, slerp, key pairs, the spline and linear rules, looping and
// holding, and bounding boxes.
#include "umbrek/vastrel/tests/engine_fixture.h"

#include <cmath>

using namespace umbrek::vastrel;
using namespace umbrek::vastrel::test;

namespace {

void expectQuaternion(const Quaternion& got, const Quaternion& want, float tolerance = 1e-6f) {
    EXPECT_NEAR(got.x, want.x, tolerance);
    EXPECT_NEAR(got.y, want.y, tolerance);
    EXPECT_NEAR(got.z, want.z, tolerance);
    EXPECT_NEAR(got.w, want.w, tolerance);
}

TEST(Quaternions, HamiltonProductTable) {
    const Quaternion one{0, 0, 0, 1}, i{1, 0, 0, 0}, j{0, 1, 0, 0}, k{0, 0, 1, 0};
    const Quaternion minusOne{0, 0, 0, -1}, minusI{-1, 0, 0, 0}, minusJ{0, -1, 0, 0},
        minusK{0, 0, -1, 0};
    const struct {
        Quaternion a, b, product;
    } cases[] = {{i, j, k},
                 {j, k, i},
                 {k, i, j},
                 {j, i, minusK},
                 {k, j, minusI},
                 {i, k, minusJ},
                 {i, i, minusOne},
                 {j, j, minusOne},
                 {k, k, minusOne},
                 {one, k, k},
                 {{1, 2, 3, 4}, {5, 6, 7, 8}, {24, 48, 48, -6}}};
    for (const auto& c : cases) expectQuaternion(multiply(c.a, c.b), c.product, 0);
}

TEST(Quaternions, SlerpTakesTheShortWayAndFallsBackToLinearWeights) {
    const float s = std::sin(0.5f), c = std::cos(0.5f);
    const Quaternion identity{0, 0, 0, 1}, turned{0, 0, s, c}; // 1 radian about z
    expectQuaternion(slerp(identity, turned, 0.5f, 0), {0, 0, std::sin(0.25f), std::cos(0.25f)});
    expectQuaternion(slerp(identity, turned, 0, 0), identity);
    expectQuaternion(slerp(identity, turned, 1, 0), turned);
    // -turned is the same rotation: the short way gives the same halfway point.
    const Quaternion negated{0, 0, -s, -c};
    expectQuaternion(slerp(identity, negated, 0.5f, 0), {0, 0, std::sin(0.25f), std::cos(0.25f)});
    // Nearly equal: weights 1 - t and t, not normalised again.
    const Quaternion a{0, 0, 0, 1}, b{0, 0, 0.0001f, 1};
    expectQuaternion(slerp(a, b, 0.25f, 0), {0, 0, 0.000025f, 1}, 0);
    const Quaternion minusA{0, 0, 0, -1};
    expectQuaternion(slerp(a, minusA, 0.25f, 0), {0, 0, 0, 1}, 0); // the same rotation
}

TEST(Quaternions, ToMatrixInTheEnginesConvention) {
    const float h = std::sqrt(0.5f);
    const Matrix m = quaternionMatrix({0, 0, h, h});
    const Matrix want{0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[std::size_t(i)], want[std::size_t(i)], 1e-6f) << i;
    // Unnormalised quaternions are scaled back; the zero quaternion is the identity.
    const Matrix doubled = quaternionMatrix({0, 0, 2 * h, 2 * h});
    EXPECT_NEAR(doubled[1], -1, 1e-6f);
    EXPECT_EQ(quaternionMatrix({0, 0, 0, 0}), identityMatrix());
}

TEST(KeyPairs, TableOfFrames) {
    std::vector<SplineKey> keys(4);
    const int frames[] = {0, 10, 20, 30};
    for (std::size_t i = 0; i < 4; ++i) keys[i].frame = frames[i];
    const struct {
        int frame, current, next;
    } cases[] = {{-5, 0, 1}, {0, 0, 1},  {9, 0, 1},  {10, 1, 2},
                 {19, 1, 2}, {20, 2, 3}, {30, 2, 3}, {1000, 2, 3}};
    for (const auto& c : cases) {
        const KeyPair pair = findKeyPair(keys, c.frame);
        EXPECT_EQ(pair.current, c.current) << c.frame;
        EXPECT_EQ(pair.next, c.next) << c.frame;
    }
    keys.resize(1);
    EXPECT_EQ(findKeyPair(keys, 50).next, 0);
    keys.clear();
    EXPECT_EQ(findKeyPair(keys, 50).current, 0);
}

SplineKey key(int frame, Vec3 value, std::uint8_t flags = 0) {
    SplineKey k;
    k.frame = frame, k.value = value, k.flags = flags;
    return k;
}

// A model of one segment with the given position keys, and its entity.
struct Animated {
    explicit Animated(std::vector<SplineKey> keys, std::uint32_t flags = 0) {
        model.segments.resize(1);
        model.segments[0].positionKeys = std::move(keys);
        model.segments[0].flags = flags;
        model.lastFrame = model.segments[0].positionKeys.back().frame;
        entity.reset(KX_CreateEntity(&model, nullptr));
    }
    Vec3 at(int frame) {
        KX_SetAnimationFrame(entity.get(), frame);
        return entity->states[0].translation;
    }
    Model model;
    EntityPtr entity;
};

TEST(Keyframes, ZeroTensionContinuityAndBiasPassThroughTheKeys) {
    Animated a({key(0, {0, 0, 0}), key(10, {10, 20, -5}), key(25, {40, 0, 3}), key(30, {0, 0, 0})});
    EXPECT_EQ(a.at(0).x, 0) << "frame 0 is set at creation";
    const int frames[] = {0, 10, 25, 30};
    for (std::size_t i = 0; i < 4; ++i) {
        const Vec3 v = a.at(frames[i]);
        const Vec3 want = a.model.segments[0].positionKeys[i].value;
        EXPECT_FLOAT_EQ(v.x, want.x) << frames[i];
        EXPECT_FLOAT_EQ(v.y, want.y) << frames[i];
        EXPECT_FLOAT_EQ(v.z, want.z) << frames[i];
    }
}

TEST(Keyframes, HermiteValueBetweenKeysMatchesTheHandWorkedSpline) {
    Animated a({key(0, {0, 0, 0}), key(10, {10, 0, 0}), key(20, {40, 0, 0}), key(30, {0, 0, 0})});
    // Frame 15: t = 0.5, h = (0.5, 0.5, 0.125, -0.125).
    // D1 at key 1 = (P1 - P0 + P2 - P1) x 10/20 = 20; D2 at key 2 = (P3 - P2 + P2 - P1) x 10/20 =
    // -5.
    EXPECT_FLOAT_EQ(a.at(15).x, 5 + 20 + 20 * 0.125f + 5 * 0.125f);
    // The first span uses the end-key tangent: D1 = (P1 - P0) = 10, D2 = 20.
    EXPECT_FLOAT_EQ(a.at(5).x, 5 + 10 * 0.125f - 20 * 0.125f);
    // Tension 1 flattens the tangents at its key.
    a.model.segments[0].positionKeys[1].tension = 1;
    a.model.segments[0].positionKeys[2].tension = 1;
    EXPECT_FLOAT_EQ(a.at(15).x, 25);
}

TEST(Keyframes, TheLinearFlagLoopingAndHolding) {
    std::vector<SplineKey> keys{key(0, {0, 0, 0}), key(10, {10, 0, 0}), key(20, {40, 0, 0})};
    keys[2].flags = keyLinear;
    keys[2].tension = 0.7f, keys[2].bias = -0.3f, keys[2].continuity = 0.4f;
    Animated held(keys);
    EXPECT_FLOAT_EQ(held.at(12).x, 16);
    EXPECT_FLOAT_EQ(held.at(20).x, 40);
    EXPECT_FLOAT_EQ(held.at(25).x, 40) << "held at the last key";
    EXPECT_FLOAT_EQ(held.at(-10).x, -30) << "before the first key: extrapolated";

    Animated looped(keys, segmentLoops);
    EXPECT_FLOAT_EQ(looped.at(20).x, 40) << "the last frame itself";
    EXPECT_FLOAT_EQ(looped.at(32).x, 16) << "32 mod 20 = 12";
    EXPECT_FLOAT_EQ(looped.at(40).x, 0) << "40 mod 20 = 0";
}

TEST(Keyframes, DuplicateFramesAndSingleKeys) {
    // Keys 1 and 2 share frame 10: t = 0 there, and no tangent divides by zero.
    Animated a({key(0, {0, 0, 0}), key(10, {10, 0, 0}), key(10, {20, 0, 0}), key(20, {30, 0, 0})});
    for (int frame : {-3, 0, 5, 10, 15, 20, 99}) {
        const Vec3 v = a.at(frame);
        EXPECT_TRUE(std::isfinite(v.x)) << frame;
    }
    EXPECT_FLOAT_EQ(a.at(10).x, 20) << "pair (2, 3) at t = 0";
    // Three keys on one frame: the tangents' frame ratios would be 0 / 0.
    Animated b({key(0, {0, 0, 0}), key(0, {5, 0, 0}), key(0, {10, 0, 0})});
    EXPECT_EQ(b.at(0).x, 5);
    Animated c({key(5, {1, 0, 0}), key(5, {2, 0, 0}), key(5, {3, 0, 0}), key(10, {4, 0, 0})});
    EXPECT_EQ(c.at(0).x, 1);
    EXPECT_TRUE(std::isfinite(c.at(7).x));
    Animated single({key(7, {1, 2, 3})});
    EXPECT_EQ(single.at(100).y, 2);
}

TEST(Keyframes, RotationKeysChainAndInterpolate) {
    Model model;
    model.segments.resize(1);
    Segment& seg = model.segments[0];
    const float s = std::sin(0.25f * 3.14159265f), c = std::cos(0.25f * 3.14159265f);
    seg.rotationKeys.resize(3);
    seg.rotationKeys[0].frame = 0;
    seg.rotationKeys[1].frame = 10;
    seg.rotationKeys[1].relative = {0, 0, s, c}; // 90 degrees about z
    seg.rotationKeys[2].frame = 20;
    seg.rotationKeys[2].relative = {0, 0, s, c};
    seg.pivot = {1, 1, 1};
    seg.scaleKeys = {key(0, {2, 2, 2})};
    model.lastFrame = 20;
    EntityPtr entity(KX_CreateEntity(&model, nullptr));
    expectQuaternion(seg.rotationKeys[2].absolute, {0, 0, 1, 0});
    EXPECT_EQ(entity->states[0].scale.x, 2);
    KX_SetAnimationFrame(entity.get(), 20);
    // 180 degrees about z in this convention.
    EXPECT_NEAR(entity->states[0].rotation[0], -1, 1e-6f);
    EXPECT_NEAR(entity->states[0].rotation[5], -1, 1e-6f);
    KX_SetAnimationFrame(entity.get(), 5);
    EXPECT_NEAR(entity->states[0].rotation[1], -std::sin(0.25f * 3.14159265f), 1e-6f);
}

TEST(Boxes, CornersCentreAndRadius) {
    Model model;
    model.segments.resize(3);
    auto points = [](Segment& seg, std::initializer_list<Vec3> list) {
        for (Vec3 p : list) {
            Vertex& v = seg.vertices.emplace_back();
            v.x = p.x, v.y = p.y, v.z = p.z;
        }
    };
    points(model.segments[0], {{-1, -1, -1}, {1, 1, 1}, {0, 0.5f, -0.5f}});
    points(model.segments[2], {{2, 10, 0}, {4, 14, 6}});
    KX_ComputeModelBoxes(model);
    const Box& cube = model.segments[0].box;
    EXPECT_EQ(cube.radius, 1);
    EXPECT_EQ(cube.centre.x, 0);
    const Vec3 corners[8] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                             {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(cube.corner[k].x, corners[k].x) << k;
        EXPECT_EQ(cube.corner[k].y, corners[k].y) << k;
        EXPECT_EQ(cube.corner[k].z, corners[k].z) << k;
    }
    const Box& brick = model.segments[2].box; // 2 x 4 x 6
    EXPECT_EQ(brick.radius, 3);
    EXPECT_EQ(brick.centre.y, 12);
    const Box& empty = model.segments[1].box;
    EXPECT_EQ(empty.radius, 0);
    EXPECT_EQ(empty.maxX, 0);
    // The model's box spans both; the empty segment does not widen it.
    EXPECT_EQ(model.box.minX, -1);
    EXPECT_EQ(model.box.maxY, 14);
    EXPECT_EQ(model.box.maxZ, 6);
    EXPECT_EQ(model.box.radius, 7.5f);
}

} // namespace
