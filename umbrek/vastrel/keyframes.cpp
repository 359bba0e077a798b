// Evaluation of the keyframe tracks at a frame.
#include "umbrek/vastrel/keyframes.h"

#include "umbrek/vastrel/engine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace umbrek::vastrel {

namespace {

// Frame numbers come from files, so their differences are taken in 64 bits.
float frameRatio(std::int64_t numerator, std::int64_t denominator) {
    return denominator == 0 ? 0.0f : float(numerator) / float(denominator);
}

Vec3 scaled(Vec3 v, float k) {
    return {v.x * k, v.y * k, v.z * k};
}

const float* hermiteBasis(float t) {
    HermiteCache& cache = engine().hermite;
    if (t != cache.t) {
        const float t2 = t * t, t3 = t2 * t;
        cache.h[1] = 3 * t2 - 2 * t3;
        cache.h[0] = 1 - cache.h[1];
        cache.h[2] = t + t3 - 2 * t2;
        cache.h[3] = t3 - t2;
        cache.t = t;
    }
    return cache.h;
}

// The value of a position or scale track at frame f.
Vec3 splineValue(const std::vector<SplineKey>& keys, int f) {
    if (keys.size() == 1) return keys[0].value;
    const KeyPair pair = findKeyPair(keys, f);
    const std::size_t i = std::size_t(pair.current);
    const SplineKey &k1 = keys[i], &k2 = keys[i + 1];
    const std::int64_t f1 = k1.frame, f2 = k2.frame;
    const float t = frameRatio(std::int64_t(f) - f1, f2 - f1);
    const Vec3 p1 = k1.value, p2 = k2.value, d12 = p2 - p1;
    if (k2.flags & keyLinear) return p1 + scaled(d12, t);
    const float* h = hermiteBasis(t);

    // Outgoing tangent at K1. Duplicate frames would divide by zero; such a
    // key gets the end-key tangent instead.
    const float a = (1 - k1.tension) * (1 - k1.continuity) * (1 - k1.bias);
    const float b = (1 - k1.tension) * (1 + k1.continuity) * (1 + k1.bias);
    Vec3 d1 = scaled(d12, (a + b) * 0.5f);
    if (i > 0 && keys[i - 1].frame != f2) {
        const SplineKey& k0 = keys[i - 1];
        d1 = scaled(scaled(p1 - k0.value, b) + scaled(d12, a), frameRatio(f2 - f1, f2 - k0.frame));
    }
    // Incoming tangent at K2, built as the engine always has (e with the
    // following span, g with the preceding one).
    const float e = (1 - k2.tension) * (1 - k2.continuity) * (1 + k2.bias);
    const float g = (1 - k2.tension) * (1 + k2.continuity) * (1 - k2.bias);
    Vec3 d2 = scaled(d12, (e + g) * 0.5f);
    if (i + 2 < keys.size() && keys[i + 2].frame != f1) {
        const SplineKey& k3 = keys[i + 2];
        d2 = scaled(scaled(k3.value - p2, e) + scaled(d12, g), frameRatio(f2 - f1, k3.frame - f1));
    }
    return scaled(p1, h[0]) + scaled(p2, h[1]) + scaled(d1, h[2]) + scaled(d2, h[3]);
}

template <class Key>
void raiseToLastFrame(const std::vector<Key>& keys, bool& any, std::int32_t& last) {
    if (keys.empty()) return;
    last = any ? std::max(last, keys.back().frame) : keys.back().frame;
    any = true;
}

} // namespace

Quaternion multiply(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quaternion slerp(const Quaternion& q1, const Quaternion& q2, float t, float spin) {
    const float c = q1.x * q2.x + q1.y * q2.y + q1.z * q2.z + q1.w * q2.w;
    const float k = std::fabs(c);
    float k1 = 1 - t, k2 = t;
    if (1 - k >= 1e-6f) {
        const float theta = std::acos(k), phi = t * (theta + spin * 3.14159265358979f);
        const float sinTheta = std::sin(theta);
        k1 = std::sin(theta - phi) / sinTheta;
        k2 = std::sin(phi) / sinTheta;
    }
    if (c < 0) k2 = -k2;
    return {k1 * q1.x + k2 * q2.x, k1 * q1.y + k2 * q2.y, k1 * q1.z + k2 * q2.z,
            k1 * q1.w + k2 * q2.w};
}

Matrix quaternionMatrix(const Quaternion& q) {
    const float sum = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    const float s = sum != 0 ? 2 / sum : 0;
    Matrix m{};
    m[0] = 1 - s * (q.y * q.y + q.z * q.z);
    m[1] = s * (q.x * q.y - q.w * q.z);
    m[2] = s * (q.x * q.z + q.w * q.y);
    m[4] = s * (q.x * q.y + q.w * q.z);
    m[5] = 1 - s * (q.x * q.x + q.z * q.z);
    m[6] = s * (q.y * q.z - q.w * q.x);
    m[8] = s * (q.x * q.z - q.w * q.y);
    m[9] = s * (q.y * q.z + q.w * q.x);
    m[10] = 1 - s * (q.x * q.x + q.y * q.y);
    m[15] = 1;
    return m;
}

void KX_PrepareRotationKeys(Entity* entity) {
    if (!entity || !entity->model) return;
    for (Segment& seg : entity->model->segments) {
        auto& keys = seg.rotationKeys;
        for (std::size_t j = 0; j < keys.size(); ++j)
            keys[j].absolute =
                j == 0 ? keys[0].relative : multiply(keys[j - 1].absolute, keys[j].relative);
    }
}

void KX_SetAnimationFrame(Entity* entity, int frame) {
    if (!entity || !entity->model) return;
    engine().hermite = HermiteCache{};
    const auto& segments = entity->model->segments;
    for (std::size_t i = 0; i < segments.size() && i < entity->states.size(); ++i) {
        const Segment& seg = segments[i];
        SegmentState& state = entity->states[i];
        bool any = false;
        std::int32_t last = 0;
        raiseToLastFrame(seg.rotationKeys, any, last);
        raiseToLastFrame(seg.positionKeys, any, last);
        raiseToLastFrame(seg.scaleKeys, any, last);
        int f = frame;
        if (last > 0 && frame > last) f = (seg.flags & segmentLoops) ? frame % last : last;

        if (!seg.rotationKeys.empty()) {
            const KeyPair pair = findKeyPair(seg.rotationKeys, f);
            const RotationKey& cur = seg.rotationKeys[std::size_t(pair.current)];
            const RotationKey& next = seg.rotationKeys[std::size_t(pair.next)];
            const float t =
                frameRatio(std::int64_t(f) - cur.frame, std::int64_t(next.frame) - cur.frame);
            state.rotation = quaternionMatrix(slerp(cur.absolute, next.absolute, t, 0));
        }
        if (!seg.positionKeys.empty())
            state.translation = splineValue(seg.positionKeys, f) - seg.pivot;
        if (!seg.scaleKeys.empty()) state.scale = splineValue(seg.scaleKeys, f);
    }
}

namespace {

void finishBox(Box& box) {
    const float xs[2] = {box.minX, box.maxX}, ys[2] = {box.minY, box.maxY},
                zs[2] = {box.minZ, box.maxZ};
    // (min, min), (max, min), (max, max), (min, max) in x and y; min z first.
    const int xi[4] = {0, 1, 1, 0}, yi[4] = {0, 0, 1, 1};
    for (int k = 0; k < 8; ++k) box.corner[k] = {xs[xi[k % 4]], ys[yi[k % 4]], zs[k / 4]};
    box.centre = {box.minX + (box.maxX - box.minX) * 0.5f, box.minY + (box.maxY - box.minY) * 0.5f,
                  box.minZ + (box.maxZ - box.minZ) * 0.5f};
    const float distances[6] = {box.centre.x - box.minX, box.maxX - box.centre.x,
                                box.centre.y - box.minY, box.maxY - box.centre.y,
                                box.centre.z - box.minZ, box.maxZ - box.centre.z};
    box.radius = distances[0];
    for (float d : distances) box.radius = std::max(box.radius, d);
}

} // namespace

void KX_ComputeSegmentBox(Segment& segment) {
    Box& box = segment.box;
    box.minX = box.maxX = box.minY = box.maxY = box.minZ = box.maxZ = 0;
    if (!segment.vertices.empty()) {
        const Vertex& first = segment.vertices[0];
        box.minX = box.maxX = first.x;
        box.minY = box.maxY = first.y;
        box.minZ = box.maxZ = first.z;
        for (const Vertex& v : segment.vertices) {
            box.minX = std::min(box.minX, v.x), box.maxX = std::max(box.maxX, v.x);
            box.minY = std::min(box.minY, v.y), box.maxY = std::max(box.maxY, v.y);
            box.minZ = std::min(box.minZ, v.z), box.maxZ = std::max(box.maxZ, v.z);
        }
    }
    finishBox(box);
}

void KX_ComputeModelBoxes(Model& model) {
    Box& box = model.box;
    box.minX = box.maxX = box.minY = box.maxY = box.minZ = box.maxZ = 0;
    bool any = false;
    for (Segment& seg : model.segments) {
        KX_ComputeSegmentBox(seg);
        if (seg.vertices.empty()) continue;
        const Box& s = seg.box;
        if (!any) {
            box.minX = s.minX, box.maxX = s.maxX, box.minY = s.minY, box.maxY = s.maxY;
            box.minZ = s.minZ, box.maxZ = s.maxZ;
            any = true;
            continue;
        }
        box.minX = std::min(box.minX, s.minX), box.maxX = std::max(box.maxX, s.maxX);
        box.minY = std::min(box.minY, s.minY), box.maxY = std::max(box.maxY, s.maxY);
        box.minZ = std::min(box.minZ, s.minZ), box.maxZ = std::max(box.maxZ, s.maxZ);
    }
    finishBox(box);
}

} // namespace umbrek::vastrel
