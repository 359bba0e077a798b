#include "fennick/win/modules.h"

#include "fennick/block_module.h"
#include "fennick/projection.h"
#include "fennick/wave_module.h"
#include "fennick/win/gl_window.h"
#include "fennick/win/plugin_state.h"

namespace fennick {

namespace {

WaveState wave;
BlockState block;

SoundRows rowsOf(const VisModule* module) {
    const auto* waveform = reinterpret_cast<const std::uint8_t*>(module->waveformRows);
    return {{module->spectrumRows[0], module->spectrumRows[1]},
            {waveform, waveform + visRowLength}};
}

void waveProjection(const GlEntryPoints& table) {
    applyWaveProjection(table, plugin.settings.Mode);
}

// What every module's start does before its own part: its section, its
// projection and Space action, its settings (the Cube reads none) and the
// window. True when the window is ready.
bool startWindow(VisModule* module, ProjectionSetup projection, FadeAction space) {
    selectModule(module);
    plugin.projectionSetup = projection;
    plugin.spaceAction = space;
    if (plugin.currentKind != ModuleKind::Cube) readModuleSettings(module);
    startGlWindow(module); // a failed start has shown its box; frames then draw nothing
    return plugin.windowReady != 0;
}

} // namespace

int JK_CDECL startWaveModule(VisModule* module) {
    if (startWindow(module, waveProjection, nullptr)) startWave(scene, plugin.settings);
    return 0;
}

int JK_CDECL startBlockModule(VisModule* module) {
    if (startWindow(module, applyBlockProjection, nullptr)) startBlock(scene, plugin.settings);
    return 0;
}

int JK_CDECL renderWaveFrame(VisModule* module) {
    if (!plugin.windowReady) return 0;
    updateWave(wave, scene, plugin.settings, rowsOf(module));
    drawWave(gl(), wave, scene, plugin.settings, plugin.fade);
    endFrame();
    return 0;
}

int JK_CDECL renderBlockFrame(VisModule* module) {
    if (!plugin.windowReady) return 0;
    bool rebuilt =
        updateBlock(block, scene, plugin.settings, rowsOf(module), plugin.settingsChanged);
    drawBlock(gl(), block, scene, rebuilt, plugin.fade);
    endFrame();
    return 0;
}

} // namespace fennick

namespace fennick {

namespace {
void applyDefaultProjection(const GlEntryPoints& table) {
    applyProjection(table, defaultProjection);
}
} // namespace

int JK_CDECL startTunnelModule(VisModule* module) {
    startWindow(module, applyDefaultProjection, nullptr);
    return 0;
}
int JK_CDECL startCubeModule(VisModule* module) {
    startWindow(module, applyDefaultProjection, nullptr);
    return 0;
}
int JK_CDECL renderTunnelFrame(VisModule*) {
    if (!plugin.windowReady) return 0;
    beginFrame();
    stepFade(plugin.fade);
    endFrame();
    return 0;
}
int JK_CDECL renderCubeFrame(VisModule* module) {
    return renderTunnelFrame(module);
}
void JK_CDECL stopTunnelModule(VisModule* module) {
    stopGlWindow(module);
}
void JK_CDECL stopCubeModule(VisModule* module) {
    stopGlWindow(module);
}

} // namespace fennick
