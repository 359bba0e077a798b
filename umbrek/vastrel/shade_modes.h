// Shade modes: how a material's faces are coloured, textured and blended on
// the board. A registry of 256 (callback, deferred) entries; the face drawer
// sets the current face and the drawing flags, then calls the callback of the
// face's material, which applies its state group (only when another was
// applied last) and fills the three screen vertices.
#pragma once

#include "umbrek/vastrel/records.h"

#include <cstdint>

namespace umbrek::vastrel {

constexpr int shadeModeCount = 256;
constexpr int namedShadeModes = 96;
// The colour-material field of a vertex that must be coloured again for the
// next face (its colour or alpha belongs to this face only).
constexpr std::uint16_t colourForThisFaceOnly = 0xFFFF;

using ShadeCallback = void (*)();

struct ShadeModeEntry {
    ShadeCallback callback = nullptr;
    bool deferred = false;
};

// What the drawer hands the callback.
struct ShadeContext {
    bool applyState = false;
    bool computeVertices = false;
    bool perspective = false; // set by textured callbacks
    int material = -1;
    Face* face = nullptr;
    ScreenVertex* screen[3] = {};
    int blendChoice = -1; // of the fading families; -1 when their group was just applied
};

ShadeContext& shadeContext();
ShadeModeEntry* shadeModes(); // 256 entries

int KX_RegisterShadeMode(int mode, ShadeCallback callback, bool deferred);
void KX_InitShadeModes();
const char* shadeModeName(int mode); // none beyond 95
// The state group a registered mode's callback applies (-1 for none); for
// tests and the drawer's diagnostics.
int shadeModeGroup(int mode);

// Makes FACE with MATERIAL and its corners the current face, for the
// callbacks and the lighting operations.
void setCurrentFace(Face* face, int material);

} // namespace umbrek::vastrel
