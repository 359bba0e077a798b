#include "fennick/wave_module.h"

#include "fennick/frame.h"
#include "fennick/projection.h"

#include <algorithm>
#include <cstdlib>

namespace fennick {

namespace {

constexpr Projection turningView = {120.0, 1.0, 1.0, 2000.0, {0, 250, 250}, {0, 0, 0}, {0, 1, 0}};
constexpr Projection classicView = {90.0, 1.0, 1.0, 2000.0, {0, 100, 350}, {0, 100, 0}, {0, 1, 0}};

constexpr int lastLine = waveGridSize;
constexpr int middleLine = waveGridSize / 2;

float clampChannel(float v) {
    return std::clamp(v, 0.0f, 255.0f);
}

// Both passes read the neighbour's old height (each walks away from the
// line it reads), so the wave moves one line a frame towards the middle.
void dampWaveform(Scene& scene) {
    auto& g = scene.grid;
    for (int i = middleLine; i >= 1; --i)
        for (int j = 0; j < waveGridSize; ++j)
            g[i][j].y = 0.9f * g[i - 1][j].y - float(std::abs(j - middleLine));
    for (int i = middleLine; i <= lastLine; ++i)
        for (int j = 0; j < waveGridSize; ++j) {
            float outer = i + 1 > lastLine ? 0.0f : g[i + 1][j].y;
            g[i][j].y = 0.9f * outer - float(std::abs(j - middleLine));
        }
}

void waveformHeights(Scene& scene, const Settings& settings, const SoundRows& rows) {
    dampWaveform(scene);
    float s = float(settings.Sensitivity);
    for (int j = 0; j < waveGridSize; ++j) {
        scene.grid[0][j].y = float(waveSample(rows, 0, 2 * j)) * s / 100.0f;
        scene.grid[lastLine][j].y = float(waveSample(rows, 1, 2 * j)) * s / 100.0f;
    }
}

// Sixteen bins per point, both channels; the lowest two groups count half.
void spectrumHeights(Scene& scene, const Settings& settings, const SoundRows& rows) {
    for (int j = 0; j <= waveGridSize; ++j) {
        int sum = 0;
        for (int bin = 16 * j; bin < 16 * j + 16; ++bin)
            sum += 2 * (rows.spectrum[0][bin] + rows.spectrum[1][bin]);
        int divisor = j < 2 ? 32 : 16;
        scene.grid[0][j].y = float(sum / divisor) * float(settings.Sensitivity) * 0.02f;
    }
    for (int i = lastLine; i >= 1; --i)
        for (int j = 0; j <= waveGridSize; ++j) scene.grid[i][j].y = scene.grid[i - 1][j].y;
}

void colourByHeight(Scene& scene) {
    for (int i = 0; i <= lastLine; ++i)
        for (int j = 0; j <= waveGridSize; ++j) {
            SceneVertex& v = scene.grid[i][j];
            v.r = clampChannel(v.y);
            v.g = clampChannel(v.y * 0.7142857f);
            v.b = clampChannel(v.y * 1.6666667f);
        }
}

} // namespace

void applyWaveProjection(const GlEntryPoints& gl, int mode) {
    if (mode == 0) {
        applyProjection(gl, turningView);
    } else if (mode == 1) {
        applyProjection(gl, classicView);
    } else {
        gl.glMatrixMode(glProjection);
        gl.glLoadIdentity();
        gl.glMatrixMode(glModelView);
        gl.glLoadIdentity();
    }
}

void startWave(Scene& scene, const Settings& settings) {
    const std::int32_t colours[3] = {settings.Light0, settings.Light1, settings.Light2};
    applyLightColours(scene, colours);
    buildGrid(scene, waveGridSize, waveGridSize, -330, 330, -300, 300);
    placeLights(scene);
}

void updateWave(WaveState& state, Scene& scene, const Settings& settings, const SoundRows& rows) {
    if (settings.Mode == 0) {
        float step = float(settings.RotSpeed) * 0.01f;
        state.waveAngle += settings.RotDir == 1 ? -step : step;
    }
    if (settings.Style == 1)
        spectrumHeights(scene, settings, rows);
    else
        waveformHeights(scene, settings, rows);
    if (settings.Dynamic == 1) {
        lightGrid(scene);
        moveLights(scene);
    } else {
        colourByHeight(scene);
    }
}

// Seen from above, C B A and A D C both run counter-clockwise: the front
// faces that the culling keeps.
void drawWave(const GlEntryPoints& gl, const WaveState& state, const Scene& scene,
              const Settings& settings, FadeState& fade) {
    gl.glShadeModel(settings.ShadeMode == 1 ? glSmooth : glFlat);
    applyWaveProjection(gl, settings.Mode);
    clearFrame(gl);
    cullBackFaces(gl);
    useDepthTest(gl);
    gl.glPushMatrix();
    if (settings.Mode == 0) gl.glRotatef(state.waveAngle, 0, 1, 0);
    gl.glBegin(glTriangles);
    stepFade(fade);
    const auto& g = scene.grid;
    for (int i = 0; i < waveGridSize; ++i)
        for (int j = 0; j < waveGridSize; ++j) {
            const SceneVertex &a = g[i][j], &b = g[i + 1][j], &c = g[i + 1][j + 1],
                              &d = g[i][j + 1];
            drawTriangle(gl, c, b, a);
            drawTriangle(gl, a, d, c);
        }
    gl.glEnd();
    gl.glPopMatrix();
}

} // namespace fennick
