// The engine's in-memory scene records: models and their segment trees,
// entities placed in the world, materials, viewports, cameras and lights.
// Only the screen vertex has a fixed layout (the board draws it directly);
// the others are plain records whose files are parsed field by field
// (file_records.h), so the 32-bit and 64-bit builds behave the same.
#pragma once

#include "umbrek/vastrel/matrix.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace umbrek::vastrel {

// Clip code bits of a screen vertex, in camera space where the view is the
// pyramid |x| <= z, |y| <= z.
enum ClipBits : std::uint16_t {
    clipFar = 1,
    clipBelow = 2,
    clipAbove = 4,
    clipLeft = 8,
    clipRight = 16,
    clipNear = 32, // nearer than the near distance: no other bit, not projected
    clipMade = 128 // made by clipping, not yet projected
};

// The colour-material field of a vertex whose colour belongs to no material.
constexpr std::uint16_t noColourMaterial = 0xFBFF;

// The board's 60-byte vertex (x, y, z, r, g, b, ooz, a, oow, then s/w, t/w,
// 1/w of two texture units). The engine keeps its own words in the fields the
// board does not read: the colour-material number and the clip code where the
// board's ooz is, camera x and y in the second unit.
struct ScreenVertex {
    float x, y;                   // screen position, snapped to 1/16 pixel
    float z;                      // camera-space z
    float r, g, b;                // 0..255
    std::uint16_t colourMaterial; // material whose colour r, g, b hold; noColourMaterial
    std::uint16_t clip;           // ClipBits
    float a;                      // 0..255
    float oow;                    // 1/z
    float s, t;                   // texture coordinates over z
    float oowCopy;                // 1/z again, for the first texture unit
    float cameraX;                // second unit's s/w
    float unit1T;                 // second unit's t/w, left alone
    float cameraY;                // second unit's 1/w
};
static_assert(sizeof(ScreenVertex) == 60);
static_assert(offsetof(ScreenVertex, x) == 0 && offsetof(ScreenVertex, y) == 4 &&
              offsetof(ScreenVertex, z) == 8);
static_assert(offsetof(ScreenVertex, r) == 12 && offsetof(ScreenVertex, g) == 16 &&
              offsetof(ScreenVertex, b) == 20);
static_assert(offsetof(ScreenVertex, colourMaterial) == 24 && offsetof(ScreenVertex, clip) == 26);
static_assert(offsetof(ScreenVertex, a) == 28 && offsetof(ScreenVertex, oow) == 32);
static_assert(offsetof(ScreenVertex, s) == 36 && offsetof(ScreenVertex, t) == 40 &&
              offsetof(ScreenVertex, oowCopy) == 44);
static_assert(offsetof(ScreenVertex, cameraX) == 48 && offsetof(ScreenVertex, unit1T) == 52 &&
              offsetof(ScreenVertex, cameraY) == 56);

// Normals are signed 16-bit vectors of unit length 1023.
struct Vertex {
    float x = 0, y = 0, z = 0;
    std::int16_t normal[3] = {};
    ScreenVertex* screen = nullptr;   // the segment's screen vertex of the same index
    std::int16_t worldNormal[3] = {}; // written by the transform when the segment asks
};

// Face flag bits.
enum FaceFlags : std::uint8_t {
    faceFront = 2,
    faceBack = 4, // also: lit from both sides
    faceEdge12 = 8,
    faceEdge23 = 0x10,
    faceEdge31 = 0x40
};

struct Face {
    std::uint16_t material = 0;
    std::uint16_t backMaterial = 0;
    Vertex* corner[3] = {};
    float u[3] = {}, v[3] = {};
    // Per-corner values: float intensities or packed 0x00BBGGRR colours,
    // depending on the shade mode; kept as raw bits (std::bit_cast to read).
    std::uint32_t cornerValue[3] = {};
    std::int16_t normal[3] = {};
    std::uint8_t flags = 0;
    std::uint8_t extra[2] = {};
};

// Segment flag bits.
enum SegmentFlags : std::uint32_t {
    segmentHidden = 2,
    segmentWorldNormals = 0x20,
    segmentVisible = 0x40, // set by the transform for this frame
    segmentNoCull = 0x80,
    segmentBillboard = 0x100,
    segmentLoops = 0x200
};

struct Box {
    float minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
    Vec3 corner[8];
    Vec3 centre;
    Vec3 cameraCorner[8];
    Vec3 cameraCentre;
    float radius = 0;
};

struct Light {
    int type = 0; // 0 directional, anything else a point light with a range
    Vec3 position;
    Vec3 working; // camera space once activated
    float intensity = 1;
    float range = 1;
    float falloff = 0;
    int direction[3] = {}; // unit 1024, per object
    float distance = 0;
    int enabled = 0;
    float red = 1, green = 1, blue = 1;
};

struct LightList {
    int count = 0;
    int capacity = 0;
    std::vector<Light> lights;
};

// Position and scale key: the 102-byte file record's fields.
struct SplineKey {
    std::int32_t frame = 0;
    std::uint8_t flags = 0; // bit 7: linear from the previous key
    float tension = 0, bias = 0, continuity = 0;
    Vec3 value;
};
constexpr std::uint8_t keyLinear = 0x80;

struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;
};

// Rotation key: the 122-byte file record's fields.
struct RotationKey {
    std::int32_t frame = 0;
    Quaternion relative; // from the previous key
    Quaternion absolute; // computed by KX_PrepareRotationKeys
};

// Link numbers are indexes into the model's segment array; -1 is none.
struct Segment {
    std::string name;
    int index = 0;
    std::vector<Face> faces;
    std::vector<Vertex> vertices;
    std::vector<ScreenVertex> screen; // one per vertex
    int child = -1, sibling = -1, thirdLink = -1;
    Box box;
    LightList lights;
    Matrix world = identityMatrix();
    Matrix parent = identityMatrix();
    std::uint32_t flags = 0;
    Vec3 pivot;
    Matrix fileMatrix = identityMatrix(); // its translation is the rest position
    std::vector<RotationKey> rotationKeys;
    std::vector<SplineKey> positionKeys;
    std::vector<SplineKey> scaleKeys;
};

struct Model {
    std::string name;
    std::vector<Segment> segments;
    int lastFrame = -1; // -1: no animation
    Box box;
};

struct SegmentState {
    Vec3 translation;
    Vec3 scale{1, 1, 1};
    Vec3 angles;
    Matrix rotation = identityMatrix();
};

// Entity flag bits.
enum EntityFlags : std::uint32_t { entityNotTransformed = 4, entityNotDrawn = 0x10 };

struct Entity {
    std::string name; // upper case
    Vec3 position;
    Vec3 scale{1, 1, 1};
    Vec3 angles;
    Matrix rotation = identityMatrix();
    int orthonormaliseCountdown = 0;
    std::uint32_t flags = 0;
    Model* model = nullptr; // shared, not owned
    std::vector<SegmentState> states;
    std::vector<std::uint32_t> scratch;
};

constexpr int materialNameSize = 19; // 18 characters and the terminating zero

struct Material {
    char name[materialNameSize] = {}; // a slot whose name is empty is free
    std::int32_t shadeMode = 0;
    std::int32_t texture = 0;
    std::uint8_t paletteBase = 0;
    std::int32_t shadeCount = 0;
    std::uint8_t shadeTable = 0;
    std::uint8_t environment = 0;
    std::uint8_t environmentAxes = 0;
    std::uint8_t distanceSwitching = 0;
    std::uint16_t distanceMaterial[4] = {};
    std::uint8_t distanceShift[4] = {};
    float red = 0, green = 0, blue = 0, alpha = 0;
};

struct Viewport {
    float width = 0, height = 0;
    float centreX = 0, centreY = 0;
    std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    float horizontalScale = 0, verticalScale = 0;
    std::uint8_t* depth = nullptr; // owned by the record KX_NewViewport filled
    int depthBytes = 0;
    std::uint64_t farDepth = 0; // 1 << (8 * depthBytes - 1); 0 without depth bytes
    std::uint32_t flags = 0;
};

// The frame number of a camera's 58-byte key; the rest is carried unread.
struct CameraKey {
    std::int32_t frame = 0;
    std::uint8_t rest[54] = {};
};

// Camera flag bits.
enum CameraFlags : std::uint8_t { cameraTargetMode = 1, cameraKeepOrientation = 2 };

struct Camera {
    std::string name;
    Vec3 position;
    Vec3 target;
    float roll = 0;
    float distance = 0;
    Vec3 up;
    Vec3 direction;
    Vec3 angles;
    std::uint8_t flags = 0;
    Camera* next = nullptr;
    float aspect = 0;
    float fov = 0;
    float nearDistance = 0;
    float farDistance = 0;
    std::uint32_t unread = 0;
    std::int32_t currentKey = 0;
    std::int32_t keyCount = 0;
    std::vector<CameraKey> keys;
    std::int32_t lastKeyFrame = -1; // the largest frame among the keys
};

} // namespace umbrek::vastrel
