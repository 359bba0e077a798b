// Fennick's export, its four module records and the state they share.
#include "fennick/win/dialogs.h"
#include "fennick/win/gl_window.h"
#include "fennick/win/modules.h"
#include "fennick/win/plugin_state.h"

namespace fennick {

PluginState plugin;
Scene scene;

namespace {

const char headerName[] = "Gorwen's 3D OpenGL plugins";

void JK_CDECL openModuleSettings(VisModule* module) {
    if (kindOf(module) == ModuleKind::Cube) return;
    openModuleDialog(module);
}

// Wave, Block and Cube stop with the window; the Tunnel has textures of its
// own to delete first.
void JK_CDECL stopWindow(VisModule* module) {
    stopGlWindow(module);
}

VisModule makeModule(const char* name, int waveformChannels, int(JK_CDECL* start)(VisModule*),
                     int(JK_CDECL* render)(VisModule*), void(JK_CDECL* stop)(VisModule*)) {
    VisModule m{};
    m.displayName = name;
    m.frameLatencyMs = 0;
    m.frameDelayMs = 15;
    m.spectrumChannels = 2;
    m.waveformChannels = waveformChannels;
    m.openModuleSettings = openModuleSettings;
    m.startModule = start;
    m.renderFrame = render;
    m.stopModule = stop;
    return m;
}

VisModule modules[4] = {
    makeModule("3D Sound Wave", 2, startWaveModule, renderWaveFrame, stopWindow),
    makeModule("3D Sound Block", 0, startBlockModule, renderBlockFrame, stopWindow),
    makeModule("3D Sound Tunnel", 2, startTunnelModule, renderTunnelFrame, stopTunnelModule),
    makeModule("3D Cube Plugin", 2, startCubeModule, renderCubeFrame, stopWindow),
};

VisModule* JK_CDECL moduleByIndex(int index) {
    return unsigned(index) <= 3 ? &modules[index] : nullptr;
}

VisHeader header = {visAbiVersion, headerName, moduleByIndex};

} // namespace

ModuleKind kindOf(const VisModule* module) {
    for (int i = 0; i < 4; ++i)
        if (module == &modules[i]) return ModuleKind(i);
    return ModuleKind::Cube;
}

void selectModule(const VisModule* module) {
    plugin.currentKind = kindOf(module);
    plugin.currentSection = sectionName(plugin.currentKind);
}

} // namespace fennick

JK_EXTERN_C JK_EXPORT VisHeader* JK_CDECL jukoraVisGetHeader(void) {
    return &fennick::header;
}
