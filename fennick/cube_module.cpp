#include "fennick/cube_module.h"

#include "fennick/frame.h"
#include "fennick/projection.h"
#include "fennick/texture.h"

#include <algorithm>
#include <cmath>

namespace fennick {

namespace {

constexpr Projection cubeView = {100.0, 1.0, 1.0, 2000.0, {0, 0, 540}, {0, 0, 0}, {0, 1, 0}};

struct LightBase {
    float x, y, z;
};
constexpr LightBase lightBases[cubeLightCount] = {
    {260, -290, -280}, {-270, 0, 0}, {-280, 0, 280}, {-300, 490, 0}};

// Peaks fall by a fifteenth a frame and jump to the sound. Only bytes 0 to
// 575 of each row are the row's own.
void followPeaks(int (&peaks)[soundRowLength], const std::uint8_t* row) {
    for (int& p : peaks)
        if (p > 0) p = std::max(p - p / 15, 0);
    for (int k = 0; k < soundRowLength; ++k) {
        float v = float(row[k]) * 1.2f;
        if (float(peaks[k]) < v) peaks[k] = int(v);
    }
}

void placeCorners(CubeState& state) {
    float o = float(state.halfSize);
    const float signs[8][3] = {{-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1},
                               {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}};
    for (int i = 0; i < 8; ++i) {
        state.corners[i] = SceneVertex{};
        state.corners[i].x = signs[i][0] * o;
        state.corners[i].y = signs[i][1] * o;
        state.corners[i].z = signs[i][2] * o;
    }
}

// Every frame turns the base positions by the lights' angles so far: the
// lights circle steadily instead of compounding one turn on the last.
void swingLights(CubeState& state, const Scene& scene) {
    for (int i = 0; i < cubeLightCount; ++i) {
        SceneVertex& l = state.lights[i];
        l.s = wrapDegrees(l.s + 3.0f);
        l.t = wrapDegrees(l.t + 2.5f);
        SceneVertex base{};
        base.x = lightBases[i].x;
        base.y = lightBases[i].y;
        base.z = lightBases[i].z;
        SceneVertex turned = rotateLight(scene.trig, l.s, l.t, base);
        l.x = turned.x;
        l.y = turned.y;
        l.z = turned.z;
    }
    state.lights[0].r = std::min(state.level1 + 100, 255.0f);
    state.lights[1].g = std::min(state.level2 + 100, 255.0f);
    state.lights[2].b = std::min(state.level3 + 100, 255.0f);
    state.lights[3].r = state.lights[3].g = state.lights[3].b = 200;
}

SceneVertex midpoint(const SceneVertex& a, const SceneVertex& b) {
    SceneVertex m = b;
    m.x = (a.x + b.x) / 2;
    m.y = (a.y + b.y) / 2;
    m.z = (a.z + b.z) / 2;
    return m;
}

} // namespace

void applyCubeProjection(const GlEntryPoints& gl) {
    applyProjection(gl, cubeView);
}

void startCube(const GlEntryPoints& gl, const Settings& settings, const std::string& folder) {
    loadTextureLinear(gl, settings.TextureMode, cubeTexture, (folder + "G3D_DEF.bmp").c_str());
}

SceneVertex rotateLight(const TrigTables& trig, float a, float c, SceneVertex p) {
    int wa = int(wrapDegrees(a)), wc = int(wrapDegrees(c));
    float cosC = cosDegOf(trig, wc), sinC = sinDegOf(trig, wc);
    float cosA = cosDegOf(trig, wa), sinA = sinDegOf(trig, wa);
    float x = p.x * cosC + p.y * sinC;
    float y1 = p.y * cosC - p.x * sinC;
    float z = p.z * cosA - y1 * sinA;
    float y = y1 * cosA + p.z * sinA;
    p.x = x;
    p.y = y;
    p.z = z == 0 ? 1 : z;
    return p;
}

void drawFace(const GlEntryPoints& gl, const CubeState& state, const SceneVertex& p0,
              const SceneVertex& p1, const SceneVertex& p2, const SceneVertex& p3) {
    SceneVertex m30 = midpoint(p3, p0), m12 = midpoint(p1, p2);
    SceneVertex v[9] = {p0,  midpoint(p0, p1),  p1, m12, p2, midpoint(p2, p3), p3,
                        m30, midpoint(m30, m12)};
    // P0, m01, P1, m12, P2, m23, P3, m30, centre.
    const float st[9][2] = {{1, 1},    {1, 0.5f}, {1, 0},    {0.5f, 0},   {0, 0},
                            {0, 0.5f}, {0, 1},    {0.5f, 1}, {0.5f, 0.5f}};
    for (int i = 0; i < 9; ++i) {
        v[i].r = v[i].g = v[i].b = 0;
        for (const SceneVertex& light : state.lights)
            addLightRange(v[i], light, light, cubeLightRange);
        v[i].s = st[i][0];
        v[i].t = st[i][1];
    }
    enum { P0, M01, P1, M12, P2, M23, P3, M30, C };
    const int order[8][3] = {{P0, M01, C}, {C, M30, P0}, {M01, P1, M12}, {M12, C, M01},
                             {C, M12, P2}, {P2, M23, C}, {M30, C, M23},  {M23, P3, M30}};
    for (const auto& t : order) drawTriangle(gl, v[t[0]], v[t[1]], v[t[2]]);
}

void updateCube(CubeState& state, const Scene& scene, const SoundRows& rows) {
    followPeaks(state.peak0, rows.spectrum[0]);
    followPeaks(state.peak1, rows.spectrum[1]);
    int h = state.peak0[1] + state.peak1[1] / 2;
    state.level3 = float(h) * 0.002f;
    state.level2 = float(h) * 0.033333335f;
    state.level1 = float(h) * 0.05f;
    state.halfSize = int(state.level3 + state.level2 + state.level1 + 250);
    placeCorners(state);
    state.angleX = wrapDegrees(state.angleX + 1);
    state.angleY = wrapDegrees(state.angleY + 1);
    state.angleZ = wrapDegrees(state.angleZ + 1);
    swingLights(state, scene);
}

void drawCube(const GlEntryPoints& gl, const CubeState& state, FadeState& fade) {
    gl.glShadeModel(glSmooth);
    applyCubeProjection(gl);
    cullBackFaces(gl);
    useDepthTest(gl);
    gl.glPushMatrix();
    clearFrame(gl);
    stepFade(fade);
    gl.glRotatef(state.angleX, 1, 0, 0);
    gl.glRotatef(state.angleY, 0, 1, 0);
    gl.glRotatef(state.angleZ, 0, 0, 1);
    gl.glBegin(glTriangles);
    const SceneVertex* c = state.corners;
    drawFace(gl, state, c[0], c[1], c[2], c[3]);
    drawFace(gl, state, c[3], c[2], c[6], c[5]);
    drawFace(gl, state, c[5], c[6], c[7], c[4]);
    drawFace(gl, state, c[4], c[7], c[1], c[0]);
    drawFace(gl, state, c[1], c[7], c[6], c[2]);
    drawFace(gl, state, c[4], c[0], c[3], c[5]);
    gl.glEnd();
    gl.glPopMatrix();
}

} // namespace fennick
