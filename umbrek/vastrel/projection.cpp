#include "umbrek/vastrel/projection.h"

#include "umbrek/vastrel/engine.h"

namespace umbrek::vastrel {

std::uint16_t clipCode(Vec3 p) {
    const Engine& e = engine();
    if (!(p.z >= e.nearDistance)) return clipNear;
    std::uint16_t code = 0;
    if (!(p.z <= e.farDistance)) code |= clipFar;
    if (!(p.y >= -p.z)) code |= clipBelow;
    if (!(p.y <= p.z)) code |= clipAbove;
    if (!(p.x >= -p.z)) code |= clipLeft;
    if (!(p.x <= p.z)) code |= clipRight;
    return code;
}

float snapToSixteenth(float v) {
    v += 786432.0f;
    v -= 786432.0f;
    return v;
}

void placeVertex(ScreenVertex& out, Vec3 camera) {
    out.cameraX = camera.x;
    out.cameraY = camera.y;
    out.z = camera.z;
    out.colourMaterial = noColourMaterial;
    out.clip = clipCode(camera);
    if (out.clip == clipNear) return;
    out.oow = out.oowCopy = 1 / camera.z;
    if (out.clip != 0) return;
    const Viewport& v = engine().viewport;
    out.x = snapToSixteenth(v.horizontalScale * camera.x * out.oow + v.centreX);
    out.y = snapToSixteenth(v.centreY - v.verticalScale * camera.y * out.oow);
}

std::int16_t normalComponent(float v) {
    if (!(v > -32768.0f)) return v < 0 ? -32768 : 0;
    return v < 32767.0f ? std::int16_t(v) : std::int16_t(32767);
}

} // namespace umbrek::vastrel
