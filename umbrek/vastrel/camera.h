// Cameras (the view and projection matrices) and lights (light lists, the
// active lights of a frame, per-segment light directions and the light sum
// at a vertex or a face).
#pragma once

#include "umbrek/vastrel/records.h"

namespace umbrek::vastrel {

// Cameras.
Camera* KX_NewCamera();
Camera* KX_InitCamera(Camera* camera);
// Also unlinks it from the engine's camera list and stops it being current.
void KX_FreeCamera(Camera* camera);
void KX_AddCamera(Camera* camera);
Camera* KX_FirstCamera();
void KX_SetCameraPosition(Camera* camera, float x, float y, float z);
void KX_SetCameraTarget(Camera* camera, float x, float y, float z);
void KX_SetCameraUp(Camera* camera, float x, float y, float z);
void KX_SetCameraFlags(Camera* camera, std::uint8_t flags);
void KX_SetCamera(Camera* camera);

// Lights. Light numbers outside the list are ignored.
int KX_InitLightList(LightList& list, int capacity);
void KX_SetLightColour(LightList& list, int i, float red, float green, float blue);
void KX_SetLightRange(LightList& list, int i, float range);
void KX_DisableLight(LightList& list, int i);
void KX_EnableLight(LightList& list, int i);
void KX_SetLightPosition(LightList& list, int i, float x, float y, float z);
void KX_SetLightIntensity(LightList& list, int i, float value);
void KX_SetLightType(LightList& list, int i, int type);
// Working positions = V applied to the positions; the enabled lights are
// appended to the active lights while there is room.
void KX_ActivateLights(LightList& list);
// The same with a segment's model-view matrix.
void activateLights(LightList& list, const Matrix& modelView);
// The active directional lights' directions in the frame of a segment whose
// world matrix is `world`, for an entity at `entityPosition` whose segment
// state is translated by `translation`.
void bringLightsIntoSegment(const Matrix& world, Vec3 entityPosition, Vec3 translation);

// The light sum (engine().lightSum) at one vertex and for a face lit as a
// whole, with the current material's colour and the current face.
void KX_LightVertex(const Vertex* vertex, const ScreenVertex* screen);
void KX_LightFace(const Face* face);

} // namespace umbrek::vastrel
