// Light lists, the active lights of a frame and the light sum at a vertex or
// a face.
#include "umbrek/vastrel/camera.h"

#include "umbrek/vastrel/engine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

namespace umbrek::vastrel {

namespace {

Light* light(LightList& list, int i) {
    if (i < 0 || std::size_t(i) >= list.lights.size()) return nullptr;
    return &list.lights[std::size_t(i)];
}

// The falloff that a given intensity value and range make: the value over
// the range, in the device's 1/1024 units. No range gives no falloff (such a
// light reaches nothing).
float falloffOf(float value, float range) {
    if (range == 0) return 0;
    return engine().lightsIn1024ths ? value / range : value * 1024 / range;
}

// A direction component, unit 1024, from a float that may be anything.
int directionComponent(float v) {
    if (!(v >= -1024.0f)) return v > 0 ? 1024 : (v < 0 ? -1024 : 0);
    return v > 1024.0f ? 1024 : int(v);
}

// NaN counts as no light.
float clampChannel(float v) {
    if (!(v > 0)) return 0;
    return v > 255 ? 255 : v;
}

// The light sum for a normal (unit 1023), lit from both sides or not, at a
// camera-space point (none: point lights add nothing).
void sumLights(const std::int16_t normal[3], bool twoSided, const Vec3* at) {
    Engine& e = engine();
    float colour[3] = {255, 255, 255};
    if (e.currentMaterial >= 0 && std::size_t(e.currentMaterial) < e.materials.size()) {
        const Material& m = e.materials[std::size_t(e.currentMaterial)];
        colour[0] = m.red, colour[1] = m.green, colour[2] = m.blue;
    }
    float sum[3] = {0, 0, 0};
    const int count = std::min<int>(e.activeLights.count, int(e.activeLights.lights.size()));
    for (int i = 0; i < count; ++i) {
        const Light& l = e.activeLights.lights[std::size_t(i)];
        if (!l.enabled) continue;
        float a = 0;
        if (l.type != 0) {
            if (!at) continue;
            const Vec3 d = l.working - *at;
            // Written so that NaN distances light nothing.
            if (!(std::fabs(d.x) < l.range && std::fabs(d.y) < l.range && std::fabs(d.z) < l.range))
                continue;
            const float distance = length(d);
            if (!(distance < l.range)) continue;
            a = std::max((l.range - distance) * l.falloff, 0.0f);
        } else {
            const std::int64_t dot = std::int64_t(normal[0]) * l.direction[0] +
                                     std::int64_t(normal[1]) * l.direction[1] +
                                     std::int64_t(normal[2]) * l.direction[2];
            const std::int64_t shifted = dot >> 10;
            if (dot >= 0)
                a = l.intensity * float(shifted);
            else if (twoSided)
                a = l.intensity * float(-shifted);
        }
        sum[0] += a * colour[0] * l.red;
        sum[1] += a * colour[1] * l.green;
        sum[2] += a * colour[2] * l.blue;
    }
    for (int c = 0; c < 3; ++c) e.lightSum[c] = clampChannel(sum[c]);
}

} // namespace

int KX_InitLightList(LightList& list, int capacity) {
    list.count = 0;
    list.capacity = 0;
    try {
        list.lights.assign(capacity > 0 ? std::size_t(capacity) : 0, Light{});
    } catch (const std::bad_alloc&) {
        list.lights.clear();
        return resultOutOfMemory;
    }
    list.capacity = int(list.lights.size());
    // Every light's falloff starts as its intensity and range make it.
    for (Light& l : list.lights) l.falloff = l.intensity * 1024 / l.range;
    return resultSuccess;
}

void KX_SetLightColour(LightList& list, int i, float red, float green, float blue) {
    if (Light* l = light(list, i)) l->red = red, l->green = green, l->blue = blue;
}

void KX_SetLightRange(LightList& list, int i, float range) {
    if (Light* l = light(list, i)) {
        l->range = range;
        l->falloff = range == 0 ? 0 : l->intensity * 1024 / range;
    }
}

void KX_DisableLight(LightList& list, int i) {
    if (Light* l = light(list, i)) l->enabled = 0;
}

void KX_EnableLight(LightList& list, int i) {
    if (Light* l = light(list, i)) l->enabled = 1;
}

void KX_SetLightPosition(LightList& list, int i, float x, float y, float z) {
    if (Light* l = light(list, i)) l->position = l->working = {x, y, z};
}

void KX_SetLightIntensity(LightList& list, int i, float value) {
    if (Light* l = light(list, i)) {
        l->intensity = engine().lightsIn1024ths ? value / 1024 : value;
        l->falloff = falloffOf(value, l->range);
    }
}

void KX_SetLightType(LightList& list, int i, int type) {
    if (Light* l = light(list, i)) l->type = type;
}

void activateLights(LightList& list, const Matrix& modelView) {
    LightList& active = engine().activeLights;
    const int room = int(active.lights.size());
    for (Light& l : list.lights) {
        l.working = transformPoint(modelView, l.position);
        if (l.enabled && active.count < room) active.lights[std::size_t(active.count++)] = l;
    }
}

void KX_ActivateLights(LightList& list) {
    activateLights(list, engine().view);
}

void bringLightsIntoSegment(const Matrix& world, Vec3 entityPosition, Vec3 translation) {
    LightList& active = engine().activeLights;
    const int count = std::min<int>(active.count, int(active.lights.size()));
    for (int i = 0; i < count; ++i) {
        Light& l = active.lights[std::size_t(i)];
        if (!l.enabled || l.type != 0) continue;
        const Vec3 d = l.position - (entityPosition + translation);
        // The transposed rotation takes world directions into the segment.
        const Vec3 local{world[0] * d.x + world[1] * d.y + world[2] * d.z,
                         world[4] * d.x + world[5] * d.y + world[6] * d.z,
                         world[8] * d.x + world[9] * d.y + world[10] * d.z};
        const float len = length(local);
        if (!(len > 0)) continue;
        l.distance = len;
        l.direction[0] = directionComponent(local.x * 1024 / len);
        l.direction[1] = directionComponent(local.y * 1024 / len);
        l.direction[2] = directionComponent(local.z * 1024 / len);
    }
}

void KX_LightVertex(const Vertex* vertex, const ScreenVertex* screen) {
    if (!vertex || !screen) return;
    const Face* face = engine().currentFace;
    const Vec3 at{screen->cameraX, screen->cameraY, screen->z};
    sumLights(vertex->normal, face && (face->flags & faceBack), &at);
}

void KX_LightFace(const Face* face) {
    if (!face) return;
    const ScreenVertex* first = face->corner[0] ? face->corner[0]->screen : nullptr;
    const Vec3 at = first ? Vec3{first->cameraX, first->cameraY, first->z} : Vec3{};
    sumLights(face->normal, face->flags & faceBack, first ? &at : nullptr);
}

} // namespace umbrek::vastrel
