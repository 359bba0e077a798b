#include "fennick/tunnel_module.h"

#include "fennick/frame.h"
#include "fennick/projection.h"
#include "fennick/texture.h"

#include <algorithm>
#include <cmath>

namespace fennick {

namespace {

constexpr float ringSpacing = 250;
constexpr float ringSlot = 249; // a flare belongs to a ring within 249 units behind it
constexpr float roundRadius = 328;
constexpr int pointStep = 8; // degrees between points
constexpr float cameraDistance = 1500;
constexpr float degreesPerRadian = 57.32484f; // 180 / 3.14

struct BandSpec {
    int firstBin, lastBin;
    std::int32_t Settings::*sensitivity;
    std::int32_t Settings::*colour;
    float colourScale, sizeScale;
};

constexpr BandSpec bandSpecs[bandCount] = {
    {0, 24, &Settings::BassSensitivity, &Settings::Light0, 0.9f, 0.25f},
    {25, 59, &Settings::MiddleSensitivity, &Settings::Light1, 1.0f, 0.25f},
    {60, 574, &Settings::TrebleSensitivity, &Settings::Light2, 1.0f, 0.5f},
};

float ringZ(int k) {
    return ringSpacing * float(k) - 750;
}

float channel(std::int32_t colour, int shift) {
    return float((std::uint32_t(colour) >> shift) & 0xFF);
}

void launchFlares(TunnelState& state, const Settings& settings, const SoundRows& rows) {
    for (int band = 0; band < bandCount; ++band) {
        const BandSpec& spec = bandSpecs[band];
        int peak = 0;
        for (int bin = spec.firstBin; bin <= spec.lastBin; ++bin)
            peak = std::max(peak, int(rows.spectrum[0][bin]));
        BandHistory& history = state.bands[band];
        float threshold = std::max(history.average - float(settings.*spec.sensitivity), 0.0f);
        updateBand(history, float(peak));
        if (float(peak) > threshold) {
            std::int32_t c = settings.*spec.colour;
            float p = float(peak) / 255;
            spawnFlare(state, p * channel(c, 0) * spec.colourScale,
                       p * channel(c, 8) * spec.colourScale, p * channel(c, 16) * spec.colourScale,
                       float(peak) * spec.sizeScale);
        }
    }
}

void moveFlares(TunnelState& state, const Settings& settings) {
    float speed = float(flareSpeedAtUse(settings)) * 0.01f;
    for (Flare& f : state.flares) {
        if (!f.active) continue;
        f.x = 0;
        f.z -= settings.Flares == 1 ? f.size * speed : f.size;
        if (f.z < tunnelFar) {
            f.active = 0;
            --state.flareCount;
        }
    }
}

// In floats: a hand-edited sensitivity may be any 32-bit value.
bool brightEnough(const Flare& f, const Settings& s) {
    return f.r >= 255 - float(s.BassFlareSensitivity) ||
           f.g >= 255 - float(s.MiddleFlareSensitivity) ||
           f.b >= 255 - float(s.TrebleFlareSensitivity);
}

// Flares in the slot behind ring k join the visible list, placed between
// this ring's path offset and the one before.
void listFlares(TunnelState& state, const Settings& settings, int k) {
    float front = ringZ(k);
    float x = state.offsetX[k], y = state.offsetY[k];
    for (const Flare& f : state.flares) {
        if (state.visibleCount >= visibleFlareLimit) return;
        if (!f.active || f.z < front - ringSlot || f.z > front || !brightEnough(f, settings))
            continue;
        float t = (f.z - front) / ringSlot;
        VisibleFlare& v = state.visible[state.visibleCount++];
        v.x = x + t * (x - state.previousX);
        v.y = y + t * (y - state.previousY);
        v.z = f.z;
        v.r = f.r;
        v.g = f.g;
        v.b = f.b;
        if (settings.Randomize == 1) {
            v.x += f.dx;
            v.y += f.dy;
        }
    }
}

// Flares light a copy of point 0 (moved to x = 10) as lights of the grid's
// kind; the whole ring takes that copy's colour on top of its own. Colours
// may pass 255 here: GL clamps them.
void lightRing(TunnelState& state, int k) {
    SceneVertex* ring = state.rings[k];
    if (k == tunnelRingCount - 1) {
        for (int j = 0; j < tunnelRingPoints - 1; ++j) ring[j].r = ring[j].g = ring[j].b = 0;
    } else {
        SceneVertex probe = ring[0];
        probe.x = 10;
        for (const Flare& f : state.flares) {
            if (!f.active) continue;
            const SceneVertex light{f.x, f.y, f.z, 0, 0, f.r, f.g, f.b};
            addLightFlat(probe, light);
        }
        for (int j = 0; j < tunnelRingPoints - 1; ++j) {
            ring[j].r += probe.r;
            ring[j].g += probe.g;
            ring[j].b += probe.b;
        }
    }
    ring[tunnelRingPoints - 1] = ring[0];
}

void buildRings(TunnelState& state, const Scene& scene, const Settings& settings,
                const SoundRows& rows) {
    const TrigTables& trig = scene.trig;
    float a = state.tunnelAngle;
    float swing = float(settings.RotSpeed) * 4;
    state.visibleCount = 0;
    for (int k = 0; k < tunnelRingCount; ++k) {
        a = wrapDegrees(a + 25);
        int whole = int(a);
        state.offsetX[k] = swing * sinDegOf(trig, whole);
        state.offsetY[k] = swing * cosDegOf(trig, whole);
        bool round = k <= 2;
        for (int j = 0; j < tunnelRingPoints - 1; ++j) {
            float r =
                round ? roundRadius : std::trunc(float(waveSample(rows, 0, j * k)) * 1.5f + 200);
            SceneVertex& v = state.rings[k][j];
            v.x = std::trunc(r * cosDegOf(trig, pointStep * j));
            v.y = std::trunc(r * sinDegOf(trig, pointStep * j));
            if (!round) {
                v.x += state.offsetX[k];
                v.y += state.offsetY[k];
            }
            v.z = ringZ(k);
            v.r = v.g = v.b = float(settings.Bright);
        }
        if (round) {
            state.eyeX = state.offsetX[k];
            state.eyeY = state.offsetY[k];
        }
        if (settings.Flares == 1) listFlares(state, settings, k);
        state.previousX = state.offsetX[k];
        state.previousY = state.offsetY[k];
        lightRing(state, k);
    }
}

void scrollWalls(TunnelState& state) {
    for (int k = 0; k < tunnelRingCount - 1; ++k) {
        state.wallScrollS[k] = state.scrollS;
        state.wallScrollT[k] = state.scrollT;
        state.scrollS += 1.0f / 255;
        state.scrollT += 1.0f / 255;
        if (state.scrollS > 1) state.scrollS = 0;
        if (state.scrollT > 1) state.scrollT = 0;
    }
}

void applyCamera(const GlEntryPoints& gl, const TunnelState& state) {
    int last = tunnelRingCount - 1;
    gl.glMatrixMode(glProjection);
    gl.glLoadIdentity();
    gl.gluPerspective(120.0, 1.0, 1.0, 2000.0);
    gl.gluLookAt(state.eyeX, state.eyeY, 0, state.offsetX[last], state.offsetY[last],
                 cameraDistance, 0, 1, 0);
    gl.glMatrixMode(glModelView);
}

void drawWalls(const GlEntryPoints& gl, const TunnelState& state) {
    gl.glBegin(glTriangles);
    for (int k = 0; k < tunnelRingCount - 1; ++k) {
        float s0 = state.wallScrollS[k], t0 = state.wallScrollT[k];
        for (int j = 0; j < tunnelRingPoints - 1; ++j) {
            SceneVertex v1 = state.rings[k + 1][j], v2 = state.rings[k + 1][j + 1],
                        v3 = state.rings[k][j + 1], v4 = state.rings[k][j];
            v1.t = v2.t = float(k + 1) * tunnelTexStep + t0;
            v3.t = v4.t = float(k) * tunnelTexStep + t0;
            // The closing segment spans 32 degrees, four steps' worth.
            int next = j == tunnelRingPoints - 2 ? 45 : j + 1;
            v1.s = v4.s = float(j) * tunnelTexStep + s0;
            v2.s = v3.s = float(next) * tunnelTexStep + s0;
            drawTriangle(gl, v1, v2, v3);
            drawTriangle(gl, v3, v4, v1);
        }
    }
    gl.glEnd();
}

// A flare close to or behind the viewer is skipped before the depth test is
// touched, so that every disable has its enable.
void drawFlare(const GlEntryPoints& gl, const TunnelState& state, const VisibleFlare& f) {
    if (f.z < 100) return;
    gl.glDisable(glDepthTest);
    gl.glBindTexture(glTexture2D, state.flareTexture);
    gl.glEnable(glTexture2D);
    gl.glEnable(glBlend);
    gl.glBlendFunc(glOne, glOne);
    gl.glPushMatrix();
    gl.glTranslatef(f.x, f.y, f.z);
    gl.glPushMatrix();
    gl.glRotatef(state.flareYaw, 0, 1, 0);
    gl.glRotatef(state.flarePitch, 1, 0, 0);
    gl.glRotatef(f.z * 0.05f, 0, 0, 1);
    const float h = flareHalfSize;
    SceneVertex corners[4] = {
        {-h, h, 0, 0, 0, f.r, f.g, f.b},
        {h, h, 0, 1, 0, f.r, f.g, f.b},
        {h, -h, 0, 1, 1, f.r, f.g, f.b},
        {-h, -h, 0, 0, 1, f.r, f.g, f.b},
    };
    gl.glBegin(glTriangles);
    drawTriangle(gl, corners[0], corners[1], corners[2]);
    drawTriangle(gl, corners[2], corners[3], corners[0]);
    gl.glEnd();
    gl.glDisable(glBlend);
    gl.glPopMatrix();
    gl.glPopMatrix();
    gl.glEnable(glDepthTest);
}

constexpr Projection tunnelView = {120.0, 1.0, 1.0, 2000.0, {0, 0, 0}, {0, 0, 50}, {0, 1, 0}};

} // namespace

void applyTunnelProjection(const GlEntryPoints& gl) {
    applyProjection(gl, tunnelView);
}

void startTunnel(const GlEntryPoints& gl, TunnelState& state, Scene& scene,
                 const Settings& settings, const std::string& folder) {
    GLuint names[2] = {};
    gl.glGenTextures(2, names);
    state.flareTexture = names[0];
    state.wallTexture = names[1];
    loadTexture(gl, settings.TextureMode, state.wallTexture, (folder + "g3d_def.bmp").c_str());
    loadTexture(gl, settings.TextureMode, state.flareTexture, (folder + "g3dflare.bmp").c_str());
    const std::int32_t colours[3] = {settings.Light0, settings.Light1, settings.Light2};
    applyLightColours(scene, colours);
    // Flares in flight at the last stop are no longer counted: kept, they
    // would fill the count after a few stops and no flare would start again.
    for (Flare& f : state.flares) {
        f.z = tunnelNear;
        f.active = 0;
        if (settings.Randomize == 1) {
            f.dx = -200 + std::trunc(float(scene.random.next()) * 0.01220703125f);
            f.dy = -200 + std::trunc(float(scene.random.next()) * 0.01220703125f);
        }
    }
    state.flareCount = 0;
}

void stopTunnel(const GlEntryPoints& gl, TunnelState& state) {
    const GLuint names[2] = {state.flareTexture, state.wallTexture};
    gl.glDeleteTextures(2, names);
}

void spawnFlare(TunnelState& state, float r, float g, float b, float size) {
    if (state.flareCount >= flareCountLimit) return;
    for (Flare& f : state.flares) {
        if (f.active) continue;
        f.z = tunnelNear;
        f.active = 1;
        f.r = r;
        f.g = g;
        f.b = b;
        f.size = size;
        ++state.flareCount;
        return;
    }
}

void updateBand(BandHistory& band, float value) {
    for (float& entry : band.history) {
        if (entry < value) {
            entry = value;
            float sum = 0;
            for (float e : band.history) sum += e;
            band.average = sum * 0.1f;
            return;
        }
    }
}

void updateTunnel(TunnelState& state, Scene& scene, const Settings& settings,
                  const SoundRows& rows) {
    state.tunnelAngle += 0.56f;
    if (state.tunnelAngle > 359) state.tunnelAngle -= 359;
    launchFlares(state, settings, rows);
    moveFlares(state, settings);
    buildRings(state, scene, settings, rows);
    int last = tunnelRingCount - 1;
    state.flareYaw =
        std::atan2(cameraDistance, state.eyeX - state.offsetX[last]) * degreesPerRadian - 90;
    state.flarePitch =
        -(std::atan2(cameraDistance, state.eyeY - state.offsetY[last]) * degreesPerRadian) - 90;
    scrollWalls(state);
}

void drawTunnel(const GlEntryPoints& gl, const TunnelState& state, const Settings& settings,
                FadeState& fade) {
    clearFrame(gl);
    useDepthTest(gl);
    gl.glShadeModel(settings.ShadeMode == 1 ? glSmooth : glFlat);
    gl.glPushMatrix();
    gl.glBindTexture(glTexture2D, state.wallTexture);
    gl.glEnable(glTexture2D);
    stepFade(fade);
    applyCamera(gl, state);
    drawWalls(gl, state);
    if (settings.Flares == 1)
        for (int i = 0; i < state.visibleCount; ++i) drawFlare(gl, state, state.visible[i]);
    gl.glPopMatrix();
}

} // namespace fennick
