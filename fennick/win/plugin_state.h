// The plug-in-wide state the four modules share: one module runs at a time,
// on the host's visualization thread, and the settings dialogs touch only
// the settings.
#pragma once

#include "fennick/fade.h"
#include "fennick/gl_binding.h"
#include "fennick/scene.h"
#include "fennick/settings.h"
#include "fennick/texture.h"
#include "host/vis_module.h"

#include <windows.h>

#include <string>

namespace fennick {

using ProjectionSetup = void (*)(const GlEntryPoints& gl);

struct PluginState {
    ModuleKind currentKind = ModuleKind::Wave;
    const char* currentSection = "Wave";
    VisModule moduleCopy{};
    int windowReady = 0;
    HWND errorOwner = nullptr;
    HWND glWindow = nullptr;
    HDC glDeviceContext = nullptr;
    GlContext glContext = nullptr;
    ProjectionSetup projectionSetup = nullptr;
    FadeAction spaceAction = nullptr;
    FadeState fade;
    int settingsChanged = 0;
    GlBinding binding;
    Settings settings = defaultSettings();
    TextureCycle textureCycle;
};

extern PluginState plugin;
extern Scene scene;

const GlEntryPoints& gl();

// The module's kind from its record (one of the plug-in's four).
ModuleKind kindOf(const VisModule* module);
// currentSection and currentKind for a module about to run an operation.
void selectModule(const VisModule* module);

// The plug-in library's folder, ending in a backslash.
std::string pluginFolder(HINSTANCE instance);
std::string settingsPath(HINSTANCE instance);
std::string presetPath(HINSTANCE instance);

// moduleCopy := the record; the graphics options and the module's own keys
// from "fennick.ini" (nothing for Cube).
void readModuleSettings(VisModule* module);
void writeModuleSettings(VisModule* module);

} // namespace fennick
