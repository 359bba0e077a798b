#include "umbrek/vastrel/file_records.h"

#include <algorithm>
#include <bit>

namespace umbrek::vastrel {

namespace {

class LittleEndian {
public:
    explicit LittleEndian(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint32_t u32(std::size_t at) const {
        return std::uint32_t(bytes_[at]) | std::uint32_t(bytes_[at + 1]) << 8 |
               std::uint32_t(bytes_[at + 2]) << 16 | std::uint32_t(bytes_[at + 3]) << 24;
    }
    std::int32_t i32(std::size_t at) const { return std::bit_cast<std::int32_t>(u32(at)); }
    float f32(std::size_t at) const { return std::bit_cast<float>(u32(at)); }
    Vec3 vec3(std::size_t at) const { return {f32(at), f32(at + 4), f32(at + 8)}; }
    Quaternion quaternion(std::size_t at) const {
        return {f32(at), f32(at + 4), f32(at + 8), f32(at + 12)};
    }
    std::uint8_t u8(std::size_t at) const { return bytes_[at]; }

private:
    std::span<const std::uint8_t> bytes_;
};

} // namespace

bool parseCameraRecord(std::span<const std::uint8_t> bytes, Camera& camera) {
    if (bytes.size() < cameraRecordSize) return false;
    const LittleEndian in(bytes);
    camera.name.clear();
    camera.position = in.vec3(4);
    camera.target = in.vec3(16);
    camera.roll = in.f32(28);
    camera.distance = in.f32(32);
    camera.up = in.vec3(36);
    camera.direction = in.vec3(48);
    camera.angles = in.vec3(60);
    camera.flags = in.u8(72);
    camera.next = nullptr;
    camera.aspect = in.f32(77);
    camera.fov = in.f32(81);
    camera.nearDistance = in.f32(85);
    camera.farDistance = in.f32(89);
    camera.unread = in.u32(97);
    camera.currentKey = 0;
    camera.keyCount = in.i32(105);
    camera.keys.clear();
    camera.lastKeyFrame = -1;
    return true;
}

bool parseCameraKey(std::span<const std::uint8_t> bytes, CameraKey& key) {
    if (bytes.size() < cameraKeySize) return false;
    key.frame = LittleEndian(bytes).i32(0);
    std::copy_n(bytes.begin() + 4, sizeof key.rest, key.rest);
    return true;
}

bool parseSplineKey(std::span<const std::uint8_t> bytes, SplineKey& key) {
    if (bytes.size() < splineKeySize) return false;
    const LittleEndian in(bytes);
    key.frame = in.i32(0);
    key.flags = in.u8(4);
    key.tension = in.f32(6);
    key.bias = in.f32(10);
    key.continuity = in.f32(14);
    key.value = in.vec3(26);
    return true;
}

bool parseRotationKey(std::span<const std::uint8_t> bytes, RotationKey& key) {
    if (bytes.size() < rotationKeySize) return false;
    const LittleEndian in(bytes);
    key.frame = in.i32(0);
    key.relative = in.quaternion(26);
    key.absolute = in.quaternion(106);
    return true;
}

} // namespace umbrek::vastrel
