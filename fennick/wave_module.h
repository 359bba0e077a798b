// "3D Sound Wave": a 20 by 20 triangle mesh on the shared grid whose lines
// carry the waveform (or a 16-bin spectrum) as a damped wave moving in from
// both edges, lit by the orbiting lights or tinted by height.
#pragma once

#include "fennick/fade.h"
#include "fennick/scene.h"
#include "fennick/settings.h"
#include "fennick/sound_rows.h"

namespace fennick {

constexpr int waveGridSize = 20;

struct WaveState {
    float waveAngle = 0; // degrees, kept across runs
};

// Mode 0 turns above the mesh, Mode 1 looks at it from the side; any other
// Mode leaves both matrices at identity.
void applyWaveProjection(const GlEntryPoints& gl, int mode);

// The start's scene once the window is ready: light colours, the fixed grid,
// the lights placed.
void startWave(Scene& scene, const Settings& settings);

// One frame's state: the turn, the heights and the colours.
void updateWave(WaveState& state, Scene& scene, const Settings& settings, const SoundRows& rows);
// The frame's picture (between the clear and the swap); steps the fade.
void drawWave(const GlEntryPoints& gl, const WaveState& state, const Scene& scene,
              const Settings& settings, FadeState& fade);

} // namespace fennick
