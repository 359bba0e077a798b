// "3D Sound Block": GridRes by GridRes boxes on the shared grid whose tops
// rise with the left spectrum and whose bottoms sink with the right, the
// whole field tumbling about three axes.
#pragma once

#include "fennick/fade.h"
#include "fennick/scene.h"
#include "fennick/settings.h"
#include "fennick/sound_rows.h"

namespace fennick {

// Peaks by cell number, 0 to 24 x 24 (the largest grid the limit allows).
constexpr int blockPeakCount = 577;

struct BlockState {
    float angleX = 0, angleY = 0, angleZ = 0; // degrees, kept across runs
    // The angles the field is drawn at: those the frame began with.
    float shownX = 0, shownY = 0, shownZ = 0;
    float peakUp[blockPeakCount] = {};   // 0 or above
    float peakDown[blockPeakCount] = {}; // 0 or below
};

void applyBlockProjection(const GlEntryPoints& gl);

// The grid for GridRes (kept within 1 to 24) and the lights placed.
void startBlock(Scene& scene, const Settings& settings);

// One frame's state. A settings change (settingsChanged 1, cleared here)
// rebuilds the grid for the new GridRes; true when it did, so that the draw
// applies the projection again.
bool updateBlock(BlockState& state, Scene& scene, const Settings& settings, const SoundRows& rows,
                 int& settingsChanged);
void drawBlock(const GlEntryPoints& gl, const BlockState& state, const Scene& scene, bool rebuilt,
               FadeState& fade);

} // namespace fennick
