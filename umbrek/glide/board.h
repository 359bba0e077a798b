// The one software board behind the C interface: its buffers, texture memory,
// rendering state and the test options. Internal to the layer.
#pragma once

#include "umbrek/glide/glide.h"
#include "umbrek/glide/glide_test.h"

#include <cstdint>
#include <string>
#include <vector>

namespace umbrek::glide {

enum class ColourSource : uint8_t { Constant, Iterated, Texture, TextureTimesIterated };
enum class AlphaSource : uint8_t { Constant, Iterated, Texture, TextureTimesIterated };

// The texture the unit reads: a layout in texture memory, checked to lie
// inside it when selected.
struct TextureSource {
    uint8_t set = false;
    uint32_t start = 0;
    int32_t smallLod = 0, largeLod = 0, aspect = 0, format = 0;
};

// Everything grGlideGetState saves; trivially copyable into GrState.
struct RenderState {
    ColourSource colour = ColourSource::Iterated;
    AlphaSource alpha = AlphaSource::Iterated;
    uint32_t constantColour = 0;
    uint8_t blend[4] = {GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO};
    uint8_t alphaFunction = GR_CMP_ALWAYS;
    uint8_t alphaReference = 0;
    uint8_t chroma = false;
    uint32_t chromaValue = 0;
    uint8_t depthMode = GR_DEPTHBUFFER_DISABLE;
    uint8_t depthFunction = GR_CMP_LESS;
    uint8_t colourMask = true;
    uint8_t depthMask = true;
    int16_t depthBias = 0;
    int32_t clipX0 = 0, clipY0 = 0, clipX1 = 0, clipY1 = 0;
    int32_t renderBuffer = GR_BUFFER_BACKBUFFER;
    TextureSource texture;
    uint8_t minFilter = GR_TEXTUREFILTER_BILINEAR, magFilter = GR_TEXTUREFILTER_BILINEAR;
    uint8_t mipMapMode = GR_MIPMAP_NEAREST;
    uint8_t lodBlend = false;
    uint8_t fogMode = GR_FOG_DISABLE;
    uint32_t fogColour = 0;
    uint8_t fogTable[GR_FOG_TABLE_SIZE] = {};
};

static_assert(sizeof(RenderState) <= sizeof(GrState), "GrState holds the whole state");

struct LfbLock {
    bool locked = false;
    int32_t mode = 0;
    std::vector<uint32_t> shadow; // the 8888 picture of a mode-5 lock, kept for the next
};

struct Board {
    Options options;
    bool initialised = false;
    bool open = false;
    int width = 0, height = 0, pitch = 0;
    std::vector<uint16_t> colour[2];
    std::vector<uint16_t> depth;
    std::vector<uint8_t> textureMemory;
    GuTexPalette palette = {};
    GuNccTable ncc[2] = {};
    uint32_t tableVersion = 0;   // bumped by every table download
    uint32_t textureVersion = 0; // bumped by every texture download and screen open
    RenderState state;
    LfbLock locks[2];
    Counters counters;
    std::vector<std::string> trace;
    // Calls made in this process, for the options that fail only the first N.
    uint32_t queriesMade = 0, opensMade = 0;
};

Board& board();

// Whether drawing and state calls act: the board is initialised and a screen open.
inline bool ready() {
    const Board& b = board();
    return b.initialised && b.open;
}

void traceLine(std::string line);
inline void traceArg(std::string& s, long long v) {
    s += std::to_string(v);
}
inline void traceArg(std::string& s, int v) {
    s += std::to_string(v);
}
inline void traceArg(std::string& s, unsigned v) {
    s += std::to_string(v);
}
inline void traceArg(std::string& s, long v) {
    s += std::to_string(v);
}
inline void traceArg(std::string& s, unsigned long v) {
    s += std::to_string(v);
}
inline void traceArg(std::string& s, unsigned long long v) {
    s += std::to_string(v);
}
void traceArg(std::string& s, double v);
inline void traceArg(std::string& s, const void* p) {
    s += p ? "ptr" : "null";
}
void traceArg(std::string& s, const GrTexInfo* info);
void traceArg(std::string& s, const GrVertex* v);

// Records "name(a, b, ...)" when the trace is on.
template <typename... Args>
void trace(const char* name, const Args&... args) {
    if (!board().options.trace) return;
    std::string s = name;
    s += '(';
    bool first = true;
    ((s += first ? "" : ", ", first = false, traceArg(s, args)), ...);
    s += ')';
    traceLine(std::move(s));
}

// Drops any lock and the screen's buffers; the window is closed by the caller.
void releaseScreen();

} // namespace umbrek::glide
