// Model files (".kxo"): a tree of chunks {id u16, length u32 counting its
// 6 header bytes and everything nested}, little-endian, under one root chunk.
// The loader reads the file's shade-table and texture lists, its materials,
// its segments (vertices, faces, pivot, matrix, keys, links) and its cameras
// into a new model and the engine's tables.
//
// Everything read is checked against the chunk that holds it: a count whose
// records do not fit its chunk, a vertex, material, texture, shade-table or
// segment number outside its list, and a chunk that would end beyond its
// parent or beyond the end of the file are each dropped, and the model keeps
// what was read before. Nothing read from a file can make the loader read
// outside the file or allocate more than the file's size in records.
#pragma once

#include "umbrek/vastrel/records.h"

#include <cstdint>

namespace umbrek::vastrel {

// Chunk ids.
enum KxoChunk : std::uint16_t {
    kxoRoot = 0x0303,
    kxoScale = 0x0000, // float, ignored
    kxoModelName = 0x0100,
    kxoVersion = 0x0101, // int32, ignored
    kxoSegments = 0x1000,
    kxoSegmentName = 0x1010,
    kxoSegmentFlags = 0x1020,
    kxoVertices = 0x1030,
    kxoFaces = 0x1040,
    kxoPivot = 0x1F00,
    kxoMatrix = 0x1F10,
    kxoRotationKeys = 0x1F20,
    kxoPositionKeys = 0x1F30,
    kxoScaleKeys = 0x1F40,
    kxoLinks = 0x1F50,
    kxoShadeTables = 0x2000,
    kxoTextures = 0x2010,
    kxoTextureFlags = 0x2011,
    kxoMaterials = 0x2100,
    kxoMaterialName = 0x2101,
    kxoShadeMode = 0x2102,
    kxoMaterialTexture = 0x2103,
    kxoPaletteBase = 0x2104,
    kxoShadeCount = 0x2105,
    kxoMaterialShadeTable = 0x2106,
    kxoEnvironment = 0x2107,
    kxoDistanceSwitching = 0x2108,
    kxoColour = 0x2109,
    kxoMaterialEnd = 0x2199,
    kxoCamera = 0x3000
};

constexpr std::size_t kxoChunkHeaderSize = 6;
constexpr std::size_t kxoVertexSize = 18;
constexpr std::size_t kxoFaceSize = 61;
// Strings end at a zero byte; at most this many bytes are read.
constexpr std::size_t kxoStringBytes = 80;

// Per-file list sizes: longer lists are cut.
constexpr int kxoMaxShadeTables = 32;
constexpr int kxoMaxTextures = 256;
constexpr int kxoMaxMaterials = 512;

// What a material holds for "no texture" and "no shade table".
constexpr std::int32_t materialNoTexture = -1;
constexpr std::uint8_t materialNoShadeTable = 0xFF;

enum KxoSkipFlags : int {
    kxoSkipMaterials = 1,
    kxoSkipShadeTables = 2,
    kxoSkipTextures = 4 // the 2010 names and the 2011 flags
};

// A new model read from FILENAME through LKXO_File_Open, or none when the
// file cannot be opened, does not start with a root chunk, or memory runs
// out. Materials join the engine's material table, textures the texture
// manager, shade tables the shade-table list and cameras the camera list.
// Free the model with KX_FreeModel.
Model* KX_LoadKXO(const char* fileName, int skipFlags);

} // namespace umbrek::vastrel
