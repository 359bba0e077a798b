// "3D Cube Plugin": a textured cube tumbling about three axes and swelling
// with the low end of the spectrum, lit by four point lights swinging round
// it, three of which glow brighter with the sound. Each face is split into
// eight triangles so that the light varies across it.
#pragma once

#include "fennick/fade.h"
#include "fennick/scene.h"
#include "fennick/settings.h"
#include "fennick/sound_rows.h"

#include <string>

namespace fennick {

constexpr GLuint cubeTexture = 2; // a fixed name, never generated
constexpr int cubeLightCount = 4;
constexpr float cubeLightRange = 550;

struct CubeState {
    float angleX = 0, angleY = 0, angleZ = 0; // degrees, kept across runs
    int peak0[soundRowLength] = {}, peak1[soundRowLength] = {};
    float level1 = 0, level2 = 0, level3 = 0;
    int halfSize = 250;
    // Position and colour; s and t hold each light's two turning angles.
    SceneVertex lights[cubeLightCount] = {};
    SceneVertex corners[8] = {};
};

void applyCubeProjection(const GlEntryPoints& gl);
// The picture "G3D_DEF.bmp" from folder (which ends in a separator),
// magnified linearly.
void startCube(const GlEntryPoints& gl, const Settings& settings, const std::string& folder);

// p turned by c about z, then by a about x, in whole degrees; a z of
// exactly 0 becomes 1.
SceneVertex rotateLight(const TrigTables& trig, float a, float c, SceneVertex p);
// One face as nine lit points and eight triangles, inside an open glBegin.
void drawFace(const GlEntryPoints& gl, const CubeState& state, const SceneVertex& p0,
              const SceneVertex& p1, const SceneVertex& p2, const SceneVertex& p3);

void updateCube(CubeState& state, const Scene& scene, const SoundRows& rows);
void drawCube(const GlEntryPoints& gl, const CubeState& state, FadeState& fade);

} // namespace fennick
