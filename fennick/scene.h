// The scene kit the modules share: the vertex record, three coloured lights
// circling the centre of the x-z plane, the height grid they tint by
// distance, and the vertex emitters.
#pragma once

#include "fennick/gl_entry_points.h"
#include "fennick/trig_tables.h"

#include <cstdint>

namespace fennick {

struct SceneVertex {
    float x, y, z; // position
    float s, t;    // texture coordinates
    float r, g, b; // colour, 0-255
};

struct LightOrbit {
    float angle;  // degrees
    float pitch;  // degrees
    float speed;  // degrees per frame
    float radius; // used as a whole number
};

constexpr int lightRecordCount = 10;
constexpr int gridLightCount = 4; // records 0 to 3 light the grid; 0 is black
constexpr int gridLineLength = 100;
constexpr int gridMaxCells = gridLineLength - 1;
constexpr float gridLightRange = 455.0f;

struct Scene {
    TrigTables trig;
    SceneVertex lights[lightRecordCount];
    LightOrbit orbits[lightRecordCount];
    float orbitCentreX = 0, orbitCentreZ = 0;
    SceneVertex grid[gridLineLength][gridLineLength];
    int gridLines = 0;  // N: lines 0..N are in use
    int gridPoints = 0; // M: points 0..M of each line
    float binStep = 0;  // the Block module's spectrum sampling step
    RandomGenerator random;
};

// Light start values, the trig tables and the random seed: every module start.
void setUpScene(Scene& scene, std::uint32_t seconds);

void resetLights(Scene& scene);
// Into 0 to 359 by steps of 359, as every turning angle of the modules.
float wrapDegrees(float degrees);
// Red in bits 0-7, green 8-15, blue 16-23 of each value, into lights 1 to 3.
void applyLightColours(Scene& scene, const std::int32_t colours[3]);
void placeOnOrbit(const TrigTables& trig, float centreX, float centreZ, float angle, float pitch,
                  float radius, SceneVertex& out);
// Lights 1, 2 and 3 at 15, 135 and 85 degrees, every light placed, the grid
// lit, and binStep for its size.
void placeLights(Scene& scene);
// One frame of orbit motion: each light advances by its speed.
void moveLights(Scene& scene);

// N by M cells (each kept within 1 to 99, the grid's size) from xFrom and zFrom
// in whole-number steps; y := 0.
void buildGrid(Scene& scene, int n, int m, int xFrom, int xTo, int zFrom, int zTo);
void lightGrid(Scene& scene);
// 400 div (N x M): the spectrum bins between two Block cells.
int binStepFor(int n, int m);

void addLightFlat(SceneVertex& v, const SceneVertex& light);
void addLightRange(SceneVertex& v, const SceneVertex& position, const SceneVertex& colour,
                   float range);

// Inside an open glBegin.
void drawTriangle(const GlEntryPoints& gl, const SceneVertex& a, const SceneVertex& b,
                  const SceneVertex& c);
void drawPoint(const GlEntryPoints& gl, const SceneVertex& v);

} // namespace fennick
