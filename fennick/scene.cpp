#include "fennick/scene.h"

#include <algorithm>
#include <cmath>

namespace fennick {

namespace {

struct LightStart {
    int record;
    float angle, speed, radius;
    float r, g, b;
};

constexpr LightStart lightStarts[] = {
    {1, 90, -4.0f, 280, 255, 0, 0},
    {2, 180, 1.0f, 150, 0, 255, 0},
    {3, 270, 3.0f, 200, 0, 0, 255},
};

int wholeDegrees(float a) {
    return int(wrapDegrees(a));
}

float addChannel(float current, float light, float range, float f) {
    int n = int(current + light / range * f);
    return float(n >= 256 ? 255 : n);
}

} // namespace

// Angles come from speeds and settings; one that is not a number or is far
// out of range (a float that large no longer changes by 359) must not reach
// the table as an index.
float wrapDegrees(float a) {
    if (!std::isfinite(a)) return 0;
    if (std::fabs(a) > 359.0f * 1000) a = std::fmod(a, 359.0f);
    while (a > 359) a -= 359;
    while (a < 0) a += 359;
    return a;
}

void setUpScene(Scene& scene, std::uint32_t seconds) {
    resetLights(scene);
    fillTrigTables(scene.trig);
    scene.random.seed(seconds);
}

void resetLights(Scene& scene) {
    for (int i = 0; i < lightRecordCount; ++i) {
        scene.lights[i] = SceneVertex{};
        scene.orbits[i] = LightOrbit{};
    }
    for (const LightStart& l : lightStarts) {
        scene.orbits[l.record] = {l.angle, 0, l.speed, l.radius};
        SceneVertex& v = scene.lights[l.record];
        v.r = l.r;
        v.g = l.g;
        v.b = l.b;
    }
    scene.orbitCentreX = 0;
    scene.orbitCentreZ = 0;
}

void applyLightColours(Scene& scene, const std::int32_t colours[3]) {
    for (int i = 0; i < 3; ++i) {
        auto c = std::uint32_t(colours[i]);
        SceneVertex& v = scene.lights[i + 1];
        v.r = float(c & 0xFF);
        v.g = float((c >> 8) & 0xFF);
        v.b = float((c >> 16) & 0xFF);
    }
}

// The pitch is brought up from below 0 like the angle: a negative pitch would
// read before the table.
void placeOnOrbit(const TrigTables& trig, float centreX, float centreZ, float angle, float pitch,
                  float radius, SceneVertex& out) {
    int a = wholeDegrees(angle);
    int p = wholeDegrees(pitch);
    float r = std::isfinite(radius) ? std::trunc(radius) : 0;
    out.x = centreX + r * cosDegOf(trig, a) * cosDegOf(trig, p);
    out.z = centreZ + r * sinDegOf(trig, a) * cosDegOf(trig, p);
}

void placeLights(Scene& scene) {
    scene.orbits[1].angle = 15;
    scene.orbits[2].angle = 135;
    scene.orbits[3].angle = 85;
    for (int i = 0; i < lightRecordCount; ++i) {
        const LightOrbit& o = scene.orbits[i];
        placeOnOrbit(scene.trig, scene.orbitCentreX, scene.orbitCentreZ, o.angle, o.pitch, o.radius,
                     scene.lights[i]);
    }
    lightGrid(scene);
    scene.binStep = float(binStepFor(scene.gridLines, scene.gridPoints));
}

// The speed is kept: zeroing it would stop every light after one frame.
void moveLights(Scene& scene) {
    for (int i = 0; i < lightRecordCount; ++i) {
        LightOrbit& o = scene.orbits[i];
        o.angle += o.speed;
        o.pitch = 0;
        placeOnOrbit(scene.trig, scene.orbitCentreX, scene.orbitCentreZ, o.angle, o.pitch, o.radius,
                     scene.lights[i]);
        if (o.angle > 360) o.angle -= 360;
        if (o.angle < 0) o.angle += 360;
    }
}

void buildGrid(Scene& scene, int n, int m, int xFrom, int xTo, int zFrom, int zTo) {
    n = std::clamp(n, 1, gridMaxCells);
    m = std::clamp(m, 1, gridMaxCells);
    int stepX = (xTo - xFrom) / n;
    int stepZ = (zFrom - zTo) / m;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= m; ++j) {
            SceneVertex& v = scene.grid[i][j];
            v.x = float(xFrom + stepX * i);
            v.y = 0;
            v.z = float(zFrom - stepZ * j);
        }
    }
    scene.gridLines = n;
    scene.gridPoints = m;
}

void lightGrid(Scene& scene) {
    for (int i = 0; i <= scene.gridLines; ++i) {
        for (int j = 0; j <= scene.gridPoints; ++j) {
            SceneVertex& v = scene.grid[i][j];
            v.r = v.g = v.b = 0;
            for (int l = 0; l < gridLightCount; ++l) addLightFlat(v, scene.lights[l]);
        }
    }
}

int binStepFor(int n, int m) {
    int cells = n * m;
    return cells > 0 ? 400 / cells : 0;
}

void addLightFlat(SceneVertex& v, const SceneVertex& light) {
    float dx = v.x - light.x, dz = v.z - light.z;
    float d = std::sqrt(dx * dx + dz * dz);
    float f = gridLightRange - std::min(d, gridLightRange);
    v.r = addChannel(v.r, light.r, gridLightRange, f);
    v.g = addChannel(v.g, light.g, gridLightRange, f);
    v.b = addChannel(v.b, light.b, gridLightRange, f);
}

void addLightRange(SceneVertex& v, const SceneVertex& position, const SceneVertex& colour,
                   float range) {
    if (!(range > 0)) return;
    float dx = v.x - position.x, dy = v.y - position.y, dz = v.z - position.z;
    float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    float f = range - std::min(d, range);
    v.r = addChannel(v.r, colour.r, range, f);
    v.g = addChannel(v.g, colour.g, range, f);
    v.b = addChannel(v.b, colour.b, range, f);
}

void drawTriangle(const GlEntryPoints& gl, const SceneVertex& a, const SceneVertex& b,
                  const SceneVertex& c) {
    for (const SceneVertex* v : {&a, &b, &c}) {
        gl.glColor3f(v->r / 255.0f, v->g / 255.0f, v->b / 255.0f);
        gl.glTexCoord2f(v->s, v->t);
        gl.glVertex3f(v->x, v->y, v->z);
    }
}

void drawPoint(const GlEntryPoints& gl, const SceneVertex& v) {
    gl.glColor3f(v.r / 255.0f, v.g / 255.0f, v.b / 255.0f);
    gl.glVertex3f(v.x, v.y, v.z);
}

} // namespace fennick
