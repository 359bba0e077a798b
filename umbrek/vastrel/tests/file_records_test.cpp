// The camera and keyframe records parsed from little-endian bytes, at the
// offsets of the model file, whatever the size of the build's references.
#include "umbrek/vastrel/file_records.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

using namespace umbrek::vastrel;

namespace {

// A record of the given size with values written at byte offsets; unwritten
// bytes are 0xEE so that a field read from the wrong place shows.
struct Bytes {
    explicit Bytes(std::size_t size) : data(size, 0xEE) {}
    Bytes& u32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) data[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
        return *this;
    }
    Bytes& f32(std::size_t at, float v) { return u32(at, std::bit_cast<std::uint32_t>(v)); }
    Bytes& floats(std::size_t at, std::initializer_list<float> values) {
        for (float v : values) f32(at, v), at += 4;
        return *this;
    }
    Bytes& u8(std::size_t at, std::uint8_t v) {
        data[at] = v;
        return *this;
    }
    std::vector<std::uint8_t> data;
};

TEST(FileRecords, ACameraRecordIsReadFieldByField) {
    Bytes b(cameraRecordSize);
    b.u32(0, 0x12345678)
        .floats(4, {1, 2, 3})
        .floats(16, {4, 5, 6})
        .f32(28, 7.5f)
        .f32(32, 800)
        .floats(36, {0, 0, 1})
        .floats(48, {0.5f, 0.25f, 0.125f})
        .floats(60, {10, 20, 30})
        .u8(72, 3)
        .u32(73, 0xDEADBEEF)
        .f32(77, 1.25f)
        .f32(81, 0.75f)
        .f32(85, 2)
        .f32(89, 9000)
        .u32(93, 0xCAFEF00D)
        .u32(97, 0x01020304)
        .u32(101, 17)
        .u32(105, 4)
        .u32(109, 0xFFFFFFFF);
    Camera cam;
    cam.name = "OLD";
    ASSERT_TRUE(parseCameraRecord(b.data, cam));
    EXPECT_EQ(cam.name, "");
    EXPECT_EQ(cam.position.y, 2);
    EXPECT_EQ(cam.target.z, 6);
    EXPECT_EQ(cam.roll, 7.5f);
    EXPECT_EQ(cam.distance, 800);
    EXPECT_EQ(cam.up.z, 1);
    EXPECT_EQ(cam.direction.z, 0.125f);
    EXPECT_EQ(cam.angles.x, 10);
    EXPECT_EQ(cam.angles.z, 30);
    EXPECT_EQ(cam.flags, 3);
    EXPECT_EQ(cam.next, nullptr);
    EXPECT_EQ(cam.aspect, 1.25f);
    EXPECT_EQ(cam.fov, 0.75f);
    EXPECT_EQ(cam.nearDistance, 2);
    EXPECT_EQ(cam.farDistance, 9000);
    EXPECT_EQ(cam.unread, 0x01020304u);
    EXPECT_EQ(cam.currentKey, 0);
    EXPECT_EQ(cam.keyCount, 4);

    Camera untouched;
    untouched.roll = 99;
    EXPECT_FALSE(parseCameraRecord(std::span(b.data).first(cameraRecordSize - 1), untouched));
    EXPECT_EQ(untouched.roll, 99);
}

TEST(FileRecords, KeysAreReadFromTheirOffsets) {
    Bytes spline(splineKeySize);
    spline.u32(0, std::uint32_t(-12)).u8(4, 0x80).f32(6, 0.5f).f32(10, -0.25f).f32(14, 0.75f);
    spline.floats(26, {1.5f, -2.5f, 1e6f});
    SplineKey s;
    ASSERT_TRUE(parseSplineKey(spline.data, s));
    EXPECT_EQ(s.frame, -12);
    EXPECT_EQ(s.flags, keyLinear);
    EXPECT_EQ(s.tension, 0.5f);
    EXPECT_EQ(s.bias, -0.25f);
    EXPECT_EQ(s.continuity, 0.75f);
    EXPECT_EQ(s.value.x, 1.5f);
    EXPECT_EQ(s.value.y, -2.5f);
    EXPECT_EQ(s.value.z, 1e6f);
    EXPECT_FALSE(parseSplineKey(std::span(spline.data).first(101), s));

    Bytes rotation(rotationKeySize);
    rotation.u32(0, 30).floats(26, {0.1f, 0.2f, 0.3f, 0.9f}).floats(106, {1, 2, 3, 4});
    RotationKey r;
    ASSERT_TRUE(parseRotationKey(rotation.data, r));
    EXPECT_EQ(r.frame, 30);
    EXPECT_EQ(r.relative.x, 0.1f);
    EXPECT_EQ(r.relative.w, 0.9f);
    EXPECT_EQ(r.absolute.y, 2);
    EXPECT_FALSE(parseRotationKey(std::span(rotation.data).first(121), r));

    Bytes camera(cameraKeySize);
    camera.u32(0, 0x7FFFFFFF).u8(4, 0x11).u8(57, 0x22);
    CameraKey k;
    ASSERT_TRUE(parseCameraKey(camera.data, k));
    EXPECT_EQ(k.frame, 0x7FFFFFFF);
    EXPECT_EQ(k.rest[0], 0x11);
    EXPECT_EQ(k.rest[53], 0x22);
    EXPECT_FALSE(parseCameraKey(std::span(camera.data).first(57), k));
}

} // namespace
