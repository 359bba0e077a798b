// Fennick's export, its four module records and the state they share. Until
// the modules draw their scenes, each frame is the spine's own: a black
// picture between beginFrame and endFrame.
#include "fennick/projection.h"
#include "fennick/win/dialogs.h"
#include "fennick/win/gl_window.h"
#include "fennick/win/plugin_state.h"

namespace fennick {

PluginState plugin;
Scene scene;

namespace {

const char headerName[] = "Gorwen's 3D OpenGL plugins";

void JK_CDECL openModuleSettings(VisModule* module);
int JK_CDECL startModule(VisModule* module);
int JK_CDECL renderFrame(VisModule* module);
void JK_CDECL stopModule(VisModule* module);

VisModule makeModule(const char* name, int waveformChannels) {
    VisModule m{};
    m.displayName = name;
    m.frameLatencyMs = 0;
    m.frameDelayMs = 15;
    m.spectrumChannels = 2;
    m.waveformChannels = waveformChannels;
    m.openModuleSettings = openModuleSettings;
    m.startModule = startModule;
    m.renderFrame = renderFrame;
    m.stopModule = stopModule;
    return m;
}

VisModule modules[4] = {
    makeModule("3D Sound Wave", 2),
    makeModule("3D Sound Block", 0),
    makeModule("3D Sound Tunnel", 2),
    makeModule("3D Cube Plugin", 2),
};

void applyDefaultProjection(const GlEntryPoints& table) {
    applyProjection(table, defaultProjection);
}

void JK_CDECL openModuleSettings(VisModule* module) {
    if (kindOf(module) == ModuleKind::Cube) return;
    openModuleDialog(module);
}

int JK_CDECL startModule(VisModule* module) {
    selectModule(module);
    plugin.projectionSetup = applyDefaultProjection;
    plugin.spaceAction = nullptr;
    if (plugin.currentKind != ModuleKind::Cube) readModuleSettings(module);
    startGlWindow(module); // a failed start has shown its box; frames then draw nothing
    return 0;
}

int JK_CDECL renderFrame(VisModule*) {
    if (!plugin.windowReady) return 0;
    beginFrame();
    stepFade(plugin.fade);
    endFrame();
    return 0;
}

void JK_CDECL stopModule(VisModule* module) {
    stopGlWindow(module);
}

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
