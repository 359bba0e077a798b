#include "fennick/block_module.h"

#include "fennick/frame.h"
#include "fennick/projection.h"

#include <algorithm>
#include <cmath>

namespace fennick {

namespace {

constexpr Projection blockView = {120.0, 1.0, 1.0, 2000.0, {0, 400, 250}, {0, 0, 0}, {0, 1, 0}};
constexpr float peakFall = 25;
constexpr float boxHalfHeight = 50;

void buildBlockGrid(Scene& scene, const Settings& settings) {
    int n = gridResAtUse(settings);
    buildGrid(scene, n, n, -330, 330, -300, 300);
    placeLights(scene);
}

} // namespace

void applyBlockProjection(const GlEntryPoints& gl) {
    applyProjection(gl, blockView);
}

void startBlock(Scene& scene, const Settings& settings) {
    buildBlockGrid(scene, settings);
    const std::int32_t colours[3] = {settings.Light0, settings.Light1, settings.Light2};
    applyLightColours(scene, colours);
}

bool updateBlock(BlockState& state, Scene& scene, const Settings& settings, const SoundRows& rows,
                 int& settingsChanged) {
    bool rebuilt = settingsChanged == 1;
    if (rebuilt) {
        buildBlockGrid(scene, settings);
        settingsChanged = 0;
    }
    state.shownX = state.angleX;
    state.shownY = state.angleY;
    state.shownZ = state.angleZ;
    lightGrid(scene);

    for (int k = 0; k < blockPeakCount; ++k) {
        if (state.peakDown[k] < 0) state.peakDown[k] = std::min(state.peakDown[k] + peakFall, 0.0f);
        if (state.peakUp[k] > 0) state.peakUp[k] = std::max(state.peakUp[k] - peakFall, 0.0f);
    }
    int n = std::min(scene.gridLines, gridResLimit);
    float scale = float(settings.Sensitivity) * 0.01f;
    for (int k = 0; k <= n * n; ++k) {
        int bin = std::min(int(float(k) * scene.binStep), soundRowLength - 1);
        float up = scale * 3 * std::trunc(float(rows.spectrum[0][bin]) * 1.2f);
        float down = scale * -3 * std::trunc(float(rows.spectrum[1][bin]) * 1.2f);
        if (up > state.peakUp[k]) state.peakUp[k] = up;
        if (down < state.peakDown[k]) state.peakDown[k] = down;
    }

    if (settings.Dynamic == 1) {
        scene.orbitCentreX = 0;
        scene.orbitCentreZ = 0;
        moveLights(scene);
    }
    float r = float(settings.RotSpeed) * 0.01f;
    state.angleX = wrapDegrees(state.angleX + 0.8f * r);
    state.angleY = wrapDegrees(state.angleY + 1.2f * r);
    state.angleZ = wrapDegrees(state.angleZ + 1.6f * r);
    return rebuilt;
}

// Each cell's box shows the peak of cell number (j + 1) x (i + 1): a product,
// so the field is symmetric about its diagonal.
void drawBlock(const GlEntryPoints& gl, const BlockState& state, const Scene& scene, bool rebuilt,
               FadeState& fade) {
    clearFrame(gl);
    stepFade(fade);
    if (rebuilt) applyBlockProjection(gl);
    useDepthTest(gl);
    gl.glShadeModel(glFlat);
    gl.glPushMatrix();
    gl.glRotatef(state.shownX, 1, 0, 0);
    gl.glRotatef(state.shownY, 0, 1, 0);
    gl.glRotatef(state.shownZ, 0, 0, 1);
    int n = std::min(scene.gridLines, gridResLimit);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            int cell = (j + 1) * (i + 1);
            SceneVertex a = scene.grid[i][j], b = scene.grid[i + 1][j],
                        c = scene.grid[i + 1][j + 1], d = scene.grid[i][j + 1];
            SceneVertex a2 = a, b2 = b, c2 = c, d2 = d;
            a.y = b.y = c.y = d.y = state.peakUp[cell] + boxHalfHeight;
            a2.y = b2.y = c2.y = d2.y = state.peakDown[cell] - boxHalfHeight;
            gl.glBegin(glQuadStrip);
            for (const SceneVertex* v :
                 {&d, &c, &a, &b, &a2, &a, &b2, &b, &c2, &c, &d2, &d, &a2, &a, &a2, &b2, &d2, &c2})
                drawPoint(gl, *v);
            gl.glEnd();
        }
    gl.glPopMatrix();
}

} // namespace fennick
