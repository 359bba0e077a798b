// The board's life cycle, its test options and its call trace.
#include "umbrek/glide/board.h"
#include "umbrek/glide/presenter.h"
#include "umbrek/glide/texel_quads.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace umbrek::glide {

Board& board() {
    static Board instance;
    return instance;
}

void traceLine(std::string line) {
    board().trace.push_back(std::move(line));
}

void traceArg(std::string& s, double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    s += text;
}

void traceArg(std::string& s, const GrTexInfo* info) {
    if (!info) {
        s += "null";
        return;
    }
    s += '{';
    traceArg(s, info->smallLod);
    s += ", ";
    traceArg(s, info->largeLod);
    s += ", ";
    traceArg(s, info->aspectRatio);
    s += ", ";
    traceArg(s, info->format);
    s += '}';
}

void traceArg(std::string& s, const GrVertex* v) {
    if (!v) {
        s += "null";
        return;
    }
    s += '(';
    traceArg(s, v->x);
    s += ' ';
    traceArg(s, v->y);
    s += ')';
}

Options& options() {
    return board().options;
}

void resetOptions() {
    Board& b = board();
    b.options = Options{};
    b.queriesMade = b.opensMade = 0;
    b.trace.clear();
}

namespace {

// "word" or "word=N" with N a whole number; false when the value is not one.
bool number(const std::string& value, uint32_t& out) {
    if (value.empty() || value.size() > 10) return false;
    uint64_t v = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + uint64_t(c - '0');
    }
    if (v > 0xFFFFFFFFu) return false;
    out = uint32_t(v);
    return true;
}

} // namespace

void parseOptions(const char* text, Options& into, std::string& errors) {
    std::string all = text ? text : "";
    size_t pos = 0;
    while (pos <= all.size()) {
        size_t end = all.find(',', pos);
        if (end == std::string::npos) end = all.size();
        const std::string word = all.substr(pos, end - pos);
        pos = end + 1;
        if (word.empty()) continue;
        const size_t eq = word.find('=');
        const std::string key = word.substr(0, eq);
        const bool hasValue = eq != std::string::npos;
        uint32_t n = 0;
        const bool valueOk = hasValue && number(word.substr(eq + 1), n);
        bool ok = true;
        if (key == "noboard" || key == "nowindow") {
            int32_t& target = key == "noboard" ? into.noBoard : into.noWindow;
            if (!hasValue)
                target = -1;
            else if (valueOk && n > 0 && n < 0x7FFFFFFF)
                target = int32_t(n);
            else
                ok = false;
        } else if (key == "no8888" && !hasValue) {
            into.no8888 = true;
        } else if (key == "texmem" && valueOk && n > 0) {
            into.textureMemory = n;
        } else if (key == "pitch" && valueOk && n > 0 && n <= 8192) {
            into.pitch = n;
        } else {
            ok = false;
        }
        if (!ok) errors += "JK_GLIDE_OPTIONS: ignored \"" + word + "\"\n";
    }
}

Buffer colourBuffer(int which) {
    Board& b = board();
    if (!b.open || which < 0 || which > 1) return {};
    return {b.colour[which].data(), b.width, b.height, b.pitch};
}

Buffer depthBuffer() {
    Board& b = board();
    if (!b.open) return {};
    return {b.depth.data(), b.width, b.height, b.pitch};
}

TextureBytes textureMemory() {
    Board& b = board();
    if (!b.open) return {};
    return {b.textureMemory.data(), uint32_t(b.textureMemory.size())};
}

Counters& counters() {
    return board().counters;
}

std::vector<std::string> takeTrace() {
    std::vector<std::string> out;
    out.swap(board().trace);
    return out;
}

void releaseScreen() {
    Board& b = board();
    for (LfbLock& lock : b.locks) lock = LfbLock{};
    for (auto& c : b.colour) std::vector<uint16_t>().swap(c);
    std::vector<uint16_t>().swap(b.depth);
    std::vector<uint8_t>().swap(b.textureMemory);
    forgetTexelQuads();
    b.open = false;
    b.width = b.height = b.pitch = 0;
}

} // namespace umbrek::glide

using namespace umbrek::glide;

namespace {

struct Resolution {
    int width, height;
};
constexpr Resolution resolutions[] = {{320, 200}, {320, 240}, {400, 256}, {512, 384},
                                      {640, 200}, {640, 350}, {640, 400}, {640, 480},
                                      {800, 600}, {960, 720}, {856, 480}};

// True when this call is one the options make fail.
bool failing(int32_t option, uint32_t& made) {
    const uint32_t call = made++;
    return option < 0 || (option > 0 && call < uint32_t(option));
}

} // namespace

extern "C" {

void grGlideInit(void) {
    Board& b = board();
    trace("grGlideInit");
    if (b.initialised) return;
    if (const char* env = std::getenv("JK_GLIDE_OPTIONS")) {
        std::string errors;
        parseOptions(env, b.options, errors);
        if (!errors.empty()) std::fputs(errors.c_str(), stderr);
    }
    b.initialised = true;
}

FxBool grSstQueryHardware(GrHwConfiguration* hw) {
    Board& b = board();
    trace("grSstQueryHardware");
    if (!hw) return FXFALSE;
    std::memset(hw, 0, sizeof *hw);
    if (!b.initialised || failing(b.options.noBoard, b.queriesMade)) return FXFALSE;
    hw->num_sst = 1;
    hw->SSTs[0].type = GR_SSTTYPE_VOODOO;
    return FXTRUE;
}

void grSstSelect(int which) {
    trace("grSstSelect", which);
}

FxBool grSstWinOpen(FxWindow window, GrScreenResolution_t resolution, GrScreenRefresh_t refresh,
                    GrColorFormat_t format, GrOriginLocation_t origin, int colourBuffers,
                    int auxBuffers) {
    Board& b = board();
    trace("grSstWinOpen", (unsigned long long)window, resolution, refresh, format, origin,
          colourBuffers, auxBuffers);
    if (!b.initialised) return FXFALSE;
    if (resolution < 0 || resolution > GR_RESOLUTION_MAX || refresh < 0 ||
        refresh > GR_REFRESH_MAX || format != GR_COLORFORMAT_RGBA ||
        origin != GR_ORIGIN_UPPER_LEFT || colourBuffers != 2 || auxBuffers < 0 || auxBuffers > 1)
        return FXFALSE;
    // A second open replaces the first screen.
    if (b.open) {
        presenterClose();
        releaseScreen();
    }
    if (failing(b.options.noWindow, b.opensMade)) return FXFALSE;
    const Resolution r = resolutions[resolution];
    const int pitch = std::max<int>(r.width, int(std::min<uint32_t>(b.options.pitch, 8192)));
    try {
        const size_t pixels = size_t(pitch) * size_t(r.height);
        for (auto& c : b.colour) c.assign(pixels, 0);
        b.depth.assign(pixels, 0);
        b.textureMemory.assign(b.options.textureMemory, 0);
    } catch (const std::bad_alloc&) {
        releaseScreen();
        return FXFALSE;
    }
    b.width = r.width;
    b.height = r.height;
    b.pitch = pitch;
    b.state = RenderState{};
    b.state.clipX1 = r.width;
    b.state.clipY1 = r.height;
    b.palette = GuTexPalette{};
    b.ncc[0] = b.ncc[1] = GuNccTable{};
    ++b.tableVersion;
    ++b.textureVersion;
    b.open = true;
    if (!presenterOpen(window, Picture{b.colour[0].data(), b.width, b.height, b.pitch})) {
        releaseScreen();
        return FXFALSE;
    }
    return FXTRUE;
}

void grGlideShutdown(void) {
    Board& b = board();
    trace("grGlideShutdown");
    if (b.open) presenterClose();
    releaseScreen();
    b.initialised = false;
}

int grBufferNumPending(void) {
    return 0;
}

} // extern "C"
