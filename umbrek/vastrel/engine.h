// The Vastrel engine: one process-wide engine state and the core operations
// on models, entities, materials, viewports, paths and results. Operations
// return 0 or a new record number for success and a negative result code for
// failure. Cameras and lights are in camera.h, keyframes and boxes in
// keyframes.h.
//
// A fatal error (KX_FatalError, or any device slot called before a device is
// installed) shows its message box through the platform hook and raises the
// engine's fatal status; the start-up step or frame that sees it fails.
// Nothing is thrown across the engine's operations.
#pragma once

#include "umbrek/vastrel/device.h"
#include "umbrek/vastrel/records.h"
#include "umbrek/vastrel/texture_table.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace umbrek::vastrel {

enum ResultCode : int {
    resultSuccess = 0,
    resultOutOfMemory = -1,
    resultReadError = -2,
    resultWriteError = -3,
    resultTextureNotFound = -4,
    resultTextureTableFull = -5,
    resultTextureDeleted = -6,
    resultTextureLoadError = -7,
    resultShadeTableNotFound = -9,
    resultShadeTableFull = -10,
    resultShadeTableDeleted = -11,
    resultShadeTableLoadError = -12,
    resultMaterialNotFound = -14,
    resultMaterialTableFull = -15
};

// The Hermite basis of the last spline parameter; t is NaN when there is
// none (-1 would be taken for a real parameter before the first key).
struct HermiteCache {
    float t = std::numeric_limits<float>::quiet_NaN();
    float h[4] = {};
};

// The frame's see-through triangles, which the face drawer defers and draws
// back to front at the end of the frame: N records, their depth keys, the
// drawing order and the sort's scratch array (its passes alternate between the
// two index arrays, so one scratch array is enough).
struct DeferredTriangle {
    ScreenVertex corner[3];
    int material = 0;
};
struct DeferredTriangles {
    std::vector<DeferredTriangle> records;
    std::vector<std::uint32_t> keys, order, scratch;
    int count = 0;   // deferred this frame
    int dropped = 0; // beyond the N records this frame, counted for tests
};

struct Engine {
    int polygonCapacity = 0;
    DeferredTriangles deferred;
    int trianglesDrawn = 0;
    int lastBoundMaterial = -1; // -1: none

    std::vector<Material> materials;

    Viewport viewport;                   // the current one
    std::uint8_t* depthBuffer = nullptr; // the current viewport's

    // The current camera, its view matrix (projection included) and its
    // projection matrix, kept for billboards.
    Camera* camera = nullptr;
    Camera* cameras = nullptr; // the camera list
    Matrix view = identityMatrix();
    Matrix projection = identityMatrix();
    float roll = 0, nearDistance = 1, farDistance = 65535;

    LightList activeLights;
    bool lightsIn1024ths = false; // the device counts light intensities in 1/1024
    // What the lighting operations use: the drawer's current material and
    // face, and the light sum they fill.
    int currentMaterial = -1;
    const Face* currentFace = nullptr;
    float lightSum[3] = {};

    std::int32_t frameCounter = 0;
    int textureFormat = 0;
    std::uint8_t palette[256 * 3] = {};
    bool keepImagePalette = true;
    int depthKeyRule = 1; // 1 farthest corner, 2 nearest, 3 average

    int startDrive = 0;
    std::string startPath, userPath;

    bool fatal = false;
    DeviceOps device{};
    TextureTable* textures = nullptr;
    HermiteCache hermite;
};

Engine& engine();

// Engine.
int KX_InitEngine(int polygonCapacity);
// Room for CAPACITY deferred triangles a frame (KX_InitEngine gives N); false,
// with no room left, when the memory is not there.
bool allocateDeferredTriangles(int capacity);
void KX_FreeEngineBuffers();
void KX_SetFpuPrecision();
void KX_BeginFrame();

// Models and entities.
Model* KX_NewModel();
void KX_FreeModel(Model* model);
Model* KX_MakeSpriteModel(int materialNumber);
Entity* KX_CreateEntity(Model* model, const char* name);
void KX_FreeEntity(Entity* entity);
void KX_SetEntityPosition(Entity* entity, float x, float y, float z);
void KX_SetEntityScale(Entity* entity, float x, float y, float z);
void KX_SetEntityRotation(Entity* entity, float a, float b, float c);
void KX_RotateEntity(Entity* entity, float a, float b, float c);
void KX_SetSegmentPosition(Entity* entity, int segment, float x, float y, float z);
void KX_MoveSegment(Entity* entity, int segment, float dx, float dy, float dz);
void KX_SetSegmentScale(Entity* entity, int segment, float x, float y, float z);
void KX_SetSegmentRotation(Entity* entity, int segment, float a, float b, float c);
void KX_TransformEntity(Entity* entity);
// Stops at a fatal error from the device (the frame is abandoned).
void KX_DrawEntity(Entity* entity);

// Materials and textures.
int KX_AllocMaterials(int count);
void KX_FreeMaterials();
int KX_AddMaterial(const Material& material);
int KX_FindMaterial(const char* name);
// The engine finds materials, textures and shade tables by name regardless of
// case, as the files that name them were written on a case-blind system.
bool sameName(const char* a, const char* b);
int KX_FindTexture(const char* name);
int KX_SetMaterialName(Material& material, const char* name);
void KX_SetMaterialShadeMode(Material& material, int mode);
void KX_SetMaterialTexture(Material& material, int texture);
void KX_SetMaterialPaletteBase(Material& material, int base);
void KX_SetMaterialShadeCount(Material& material, int count);
void KX_SetMaterialEnvironment(Material& material, int on);
void KX_SetMaterialDistanceSwitching(Material& material, int on);
void KX_SetMaterialColour(Material& material, float red, float green, float blue);
void KX_SetMaterialAlpha(Material& material, std::uint8_t alpha);
void KX_SetMaterialDistanceMaterial(Material& material, int slot, int number);
int KX_ImageTypeOf(const char* fileName);
void KX_SetTextureFormat(int format);

// Viewports. KX_NewViewport fails (nonzero) when the depth buffer cannot be
// allocated or the device's clip window raised a fatal error.
int KX_NewViewport(Viewport& viewport, int x1, int y1, int x2, int y2, std::uint32_t flags);
void KX_SetViewport(const Viewport& viewport);
void KX_FreeViewport(Viewport& viewport);

// Paths.
void KX_RecordStartPath(const char* modulePath);
void KX_SwitchToStartPath();

// Results and messages.
const char* KX_ResultMessage(int code); // none for codes without a message
void KX_Log(const char* message, const char* detail);
void KX_ReportResult(int code, const char* detail);
void KX_FatalError(const char* message, const char* caption);
bool KX_FatalRaised();
void KX_ClearFatal();

} // namespace umbrek::vastrel
