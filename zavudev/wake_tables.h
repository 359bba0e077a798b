// The constant tables of "wake up": zoom steps, contrast curves, wave shapes
// and the coordinate maps that scenes 2 and 3 look pictures up through.
// Computed once, in double, on first use.
#pragma once

#include <cstdint>

namespace zavudev {

constexpr int zoomStepCount = 64;
constexpr int curveCount = 64;
constexpr int waveCount = 8;
constexpr int mapPlanes = 3;
constexpr int mapColumns = 96;
constexpr int mapRows = 70;

struct WakeTables {
    uint32_t zoomSteps[zoomStepCount]; // 16.16 fixed point
    uint8_t contrastCurves[curveCount][256];
    uint8_t shapeWaves[waveCount][256];
    // Per plane: map V, then map U.
    uint8_t mapV[mapPlanes][mapRows][mapColumns];
    uint8_t mapU[mapPlanes][mapRows][mapColumns];
};

const WakeTables& wakeTables();

} // namespace zavudev
