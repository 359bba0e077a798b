#include "fennick/win/modules.h"

#include "fennick/block_module.h"
#include "fennick/cube_module.h"
#include "fennick/tunnel_module.h"
#include "fennick/wave_module.h"
#include "fennick/win/gl_window.h"
#include "fennick/win/plugin_state.h"
#include "fennick/win/win_loader.h"

namespace fennick {

namespace {

WaveState wave;
BlockState block;
TunnelState tunnel;
CubeState cube;

// The Space action's search over "G3D_*.bmp" stays open across calls and
// module runs, shared by the Tunnel and the Cube.
std::string textureFolder;
WinFileSearch textureSearch{""};

void findTextures(const VisModule* module) {
    textureFolder = pluginFolder(module->pluginInstance);
    textureSearch.setFolder(textureFolder);
}

void cycleTunnelWall(void*) {
    cycleTexture(plugin.textureCycle, textureSearch, textureFolder, gl(),
                 plugin.settings.TextureMode, tunnel.wallTexture);
}

void cycleCubePicture(void*) {
    cycleTexture(plugin.textureCycle, textureSearch, textureFolder, gl(),
                 plugin.settings.TextureMode, cubeTexture);
}

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

int JK_CDECL startTunnelModule(VisModule* module) {
    if (startWindow(module, applyTunnelProjection, cycleTunnelWall)) {
        findTextures(module);
        startTunnel(gl(), tunnel, scene, plugin.settings, textureFolder);
    }
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

int JK_CDECL renderTunnelFrame(VisModule* module) {
    if (!plugin.windowReady) return 0;
    updateTunnel(tunnel, scene, plugin.settings, rowsOf(module));
    drawTunnel(gl(), tunnel, plugin.settings, plugin.fade);
    endFrame();
    return 0;
}

// The textures go while the context is current; the libraries last of all,
// after the window (stopGlWindow's order).
void JK_CDECL stopTunnelModule(VisModule* module) {
    if (plugin.windowReady) stopTunnel(gl(), tunnel);
    stopGlWindow(module);
}

int JK_CDECL startCubeModule(VisModule* module) {
    if (startWindow(module, applyCubeProjection, cycleCubePicture)) {
        findTextures(module);
        startCube(gl(), plugin.settings, textureFolder);
    }
    return 0;
}

int JK_CDECL renderCubeFrame(VisModule* module) {
    if (!plugin.windowReady) return 0;
    updateCube(cube, scene, rowsOf(module));
    drawCube(gl(), cube, plugin.fade);
    endFrame();
    return 0;
}

} // namespace fennick
