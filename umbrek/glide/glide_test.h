// Test options of the software board (not part of the board's interface):
// failures to provoke, sizes to vary, access to the buffers, counters and a
// trace of the calls. Inside a DLL the same options come from the environment
// variable JK_GLIDE_OPTIONS, read at each grGlideInit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace umbrek::glide {

struct Options {
    // Failing calls: -1 fails every call, N > 0 only the first N of the process.
    int32_t noBoard = 0;  // grSstQueryHardware
    int32_t noWindow = 0; // grSstWinOpen
    bool no8888 = false;  // grLfbLock refuses write mode 5
    uint32_t textureMemory = 4u << 20;
    uint32_t pitch = 1024; // pixels per row of the colour and depth buffers
    bool trace = false;
    // Triangles through the reference spans, one whole fragment after the
    // other: what the board's staged spans are held against.
    bool generalSpans = false;
};

struct Counters {
    uint64_t triangles = 0; // drawn (not skipped)
    uint64_t lines = 0;
    uint64_t pixels = 0; // fragments that passed every test and were written
    uint64_t textureDownloads = 0;
    uint64_t tableDownloads = 0;
    uint64_t swaps = 0;
};

// The options now in force; set them before grGlideInit / grSstWinOpen.
Options& options();
// Reads a JK_GLIDE_OPTIONS list into `into`; unknown or malformed words are
// appended to `errors` (one per line) and ignored.
void parseOptions(const char* text, Options& into, std::string& errors);
// Back to the defaults, the per-process call counts included; empties the trace.
void resetOptions();

struct Buffer {
    uint16_t* pixels = nullptr; // null when no screen is open
    int width = 0, height = 0, pitch = 0;
};
Buffer colourBuffer(int which); // 0 front, 1 back
Buffer depthBuffer();
// The texture memory as downloaded (16-bit texels little-endian); empty
// while no screen is open.
struct TextureBytes {
    const uint8_t* bytes = nullptr;
    uint32_t size = 0;
};
TextureBytes textureMemory();

Counters& counters();
// The traced calls since the last take, one "name(args)" line each.
std::vector<std::string> takeTrace();

} // namespace umbrek::glide
