// The engine state, its start-up and release, the frame start and the result
// messages.
#include "umbrek/vastrel/engine.h"

#include "umbrek/vastrel/platform.h"

#include <climits>
#include <algorithm>
#include <new>
#include <utility>

namespace umbrek::vastrel {

Engine& engine() {
    static Engine state = [] {
        Engine e;
        resetDeviceOps(e.device);
        return e;
    }();
    return state;
}

int KX_InitEngine(int polygonCapacity) {
    Engine& e = engine();
    // Umbrek may be started and stopped many times in one process: everything
    // but the paths recorded just before starts afresh.
    Engine fresh;
    fresh.startDrive = e.startDrive;
    fresh.startPath = std::move(e.startPath);
    fresh.userPath = std::move(e.userPath);
    e = std::move(fresh);
    resetDeviceOps(e.device);
    if (!allocateDeferredTriangles(polygonCapacity)) return resultOutOfMemory;
    e.polygonCapacity = std::max(polygonCapacity, 0);
    return resultSuccess;
}

bool allocateDeferredTriangles(int capacity) {
    DeferredTriangles& d = engine().deferred;
    const auto n = std::size_t(std::max(capacity, 0));
    try {
        d.records.assign(n, DeferredTriangle{});
        d.keys.assign(n, 0);
        d.order.assign(n, 0);
        d.scratch.assign(n, 0);
    } catch (const std::bad_alloc&) {
        KX_FreeEngineBuffers();
        return false;
    }
    d.count = d.dropped = 0;
    return true;
}

void KX_FreeEngineBuffers() {
    Engine& e = engine();
    e.deferred = DeferredTriangles{};
    e.polygonCapacity = 0;
}

void KX_SetFpuPrecision() {
    platformHooks().setFpuPrecision();
}

void KX_BeginFrame() {
    Engine& e = engine();
    e.trianglesDrawn = 0;
    e.deferred.count = e.deferred.dropped = 0;
    e.activeLights.count = 0;
    e.lastBoundMaterial = -1;
    // A fatal error abandoned the frame before; this one starts clean.
    e.fatal = false;
    if (e.frameCounter == INT32_MAX) {
        e.frameCounter = 0;
        // Last-use frames compare with the counter, so they restart with it.
        if (e.textures) e.textures->resetLastUsed();
    } else {
        ++e.frameCounter;
    }
}

const char* KX_ResultMessage(int code) {
    switch (code) {
    case resultSuccess: return "Generic Success message";
    case resultOutOfMemory: return "Generic out of memory message";
    case resultReadError: return "Generic read error message";
    case resultWriteError: return "Generic write error message";
    case resultTextureNotFound: return "Texture map not found in array";
    case resultTextureTableFull: return "Texture array is full";
    case resultTextureDeleted: return "Texture deleted successfully";
    case resultTextureLoadError: return "Error loading the texture";
    case resultShadeTableNotFound: return "Shadetable not found in array";
    case resultShadeTableFull: return "Shadetable array is full";
    case resultShadeTableDeleted: return "Shadetable deleted successfully";
    case resultShadeTableLoadError: return "Error loading the shadetable";
    default: return nullptr;
    }
}

// The engine could append its messages to a log file, but no log file is
// ever named, so nothing is written.
void KX_Log(const char*, const char*) {}

void KX_ReportResult(int code, const char* detail) {
    if (const char* message = KX_ResultMessage(code)) KX_Log(message, detail);
}

void KX_FatalError(const char* message, const char* caption) {
    platformHooks().messageBox(message ? message : "", caption ? caption : "");
    engine().fatal = true;
}

bool KX_FatalRaised() {
    return engine().fatal;
}

void KX_ClearFatal() {
    engine().fatal = false;
}

} // namespace umbrek::vastrel
