// "3D Sound Tunnel": eleven rings of a textured tunnel swinging along a path
// and bulging with the waveform; loud moments in three bands launch coloured
// flares that rush towards the viewer, light the rings they pass and glow as
// additive quads facing the camera.
#pragma once

#include "fennick/fade.h"
#include "fennick/scene.h"
#include "fennick/settings.h"
#include "fennick/sound_rows.h"

#include <string>

namespace fennick {

constexpr int tunnelRingCount = 11;
constexpr int tunnelRingPoints = 43; // 42 around, and the first again
constexpr int flareRecordCount = 100;
constexpr int flareCountLimit = 99;
constexpr int visibleFlareLimit = 100;
constexpr int bandHistoryLength = 10;
// Beyond the light range of the last ring, and as far in front of the first.
constexpr float tunnelFar = -(455.0f) - 750;
constexpr float tunnelNear = 455.0f + 1750;
constexpr float tunnelTexStep = 0.24390244f; // 10 / 41
constexpr float flareHalfSize = 200;

enum Band { bassBand, middleBand, trebleBand, bandCount };

struct BandHistory {
    float history[bandHistoryLength] = {};
    float average = 0;
};

struct Flare {
    float x = 0, y = 0, z = tunnelNear;
    float r = 0, g = 0, b = 0;
    float size = 0;
    int active = 0;
    float dx = 0, dy = 0; // the random offset drawn with Randomize
};

struct VisibleFlare {
    float x, y, z;
    float r, g, b;
};

struct TunnelState {
    GLuint flareTexture = 0, wallTexture = 0;
    float tunnelAngle = 0; // degrees
    float scrollS = 0, scrollT = 0;
    SceneVertex rings[tunnelRingCount][tunnelRingPoints] = {};
    float offsetX[tunnelRingCount] = {}, offsetY[tunnelRingCount] = {};
    float previousX = 0, previousY = 0; // the ring before, for the flare pass
    float eyeX = 0, eyeY = 0;           // ring 2's offsets
    BandHistory bands[bandCount];
    Flare flares[flareRecordCount];
    int flareCount = 0;
    VisibleFlare visible[visibleFlareLimit] = {};
    int visibleCount = 0;
    float flareYaw = 0, flarePitch = 0;
    // The texture scroll at each band of wall this frame.
    float wallScrollS[tunnelRingCount - 1] = {}, wallScrollT[tunnelRingCount - 1] = {};
};

// Looking down the tunnel from the origin; each frame then aims the camera
// along the path.
void applyTunnelProjection(const GlEntryPoints& gl);

// The Tunnel's own part of a start, once the window is ready: its two
// textures from folder (which ends in a separator), the band colours, and
// every flare back at the near end, inactive and no longer counted.
void startTunnel(const GlEntryPoints& gl, TunnelState& state, Scene& scene,
                 const Settings& settings, const std::string& folder);
// Its textures, while the context is still current.
void stopTunnel(const GlEntryPoints& gl, TunnelState& state);

// The first inactive record, unless 99 flares are counted already.
void spawnFlare(TunnelState& state, float r, float g, float b, float size);
// Replaces the first history entry smaller than value (so the average only
// ever rises).
void updateBand(BandHistory& band, float value);

void updateTunnel(TunnelState& state, Scene& scene, const Settings& settings,
                  const SoundRows& rows);
void drawTunnel(const GlEntryPoints& gl, const TunnelState& state, const Settings& settings,
                FadeState& fade);

} // namespace fennick
