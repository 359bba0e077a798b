// Sabrith's export and its one module: start builds the window object and
// its window, each frame goes to the window model, stop closes the sheet and
// the about box, writes the settings and tears everything down.
#include "host/vis_module.h"
#include "sabrith/frame/window_model.h"
#include "sabrith/win/custom_controls.h"
#include "sabrith/win/file_chooser.h"
#include "sabrith/win/property_sheet.h"
#include "sabrith/win/win_platform.h"
#include "sabrith/win/win_settings.h"
#include "sabrith/win/window_skin.h"

#include <memory>
#include <optional>

namespace sabrith {

namespace {

const char moduleName[] = "Lumbrin v2.00b";

// Everything one running module owns, in the order it is built.
struct RunningWindow {
    RunningWindow(HINSTANCE instance, HWND host, const std::string& pluginPath)
        : skin(host, registry, pluginPath, chooser), platform(instance, host, moduleName),
          model(WindowContext{platform, skin, registry, profile, chooser, pluginPath}),
          sheet(model, platform) {
        platform.attach(&model, &sheet);
    }
    WinRegistry registry;
    WinProfile profile;
    WinFileChooser chooser;
    WindowSkin skin;
    WinPlatform platform;
    WindowModel model;
    SheetThread sheet;
};

VisModule makeRecord();

// The library's one module object, made at load; its record's ownerData
// points back at it.
struct SabrithModule {
    SabrithModule() : record(makeRecord()) { record.ownerData = reinterpret_cast<intptr_t>(this); }
    VisModule record;
    std::unique_ptr<RunningWindow> window;
    std::optional<ControlClass> controls[3];
};

SabrithModule& moduleOf(VisModule* record) {
    return *reinterpret_cast<SabrithModule*>(record->ownerData);
}

std::string pluginPathOf(HINSTANCE instance) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(instance, path, MAX_PATH);
    return path;
}

void JK_CDECL openModuleSettings(VisModule* module) {
    MessageBoxA(
        module->hostWindow,
        "You can configure this\nmodule by right clicking on\nits window when it's running.",
        moduleName, MB_OK);
}

int JK_CDECL startModule(VisModule* module) {
    SabrithModule& self = moduleOf(module);
    const HINSTANCE instance = module->pluginInstance;
    self.controls[0].emplace(ControlKind::colorBox, instance);
    self.controls[1].emplace(ControlKind::minMaxSlider, instance);
    self.controls[2].emplace(ControlKind::scaleBox, instance);
    self.window =
        std::make_unique<RunningWindow>(instance, module->hostWindow, pluginPathOf(instance));
    self.window->model.create();
    return 0;
}

int JK_CDECL renderFrame(VisModule* module) {
    SabrithModule& self = moduleOf(module);
    if (!self.window) return 0;
    const auto* rows = &module->spectrumRows[0][0];
    self.window->model.renderFrame(SpectrumBytes(rows, 2 * visRowLength));
    return 0;
}

void JK_CDECL stopModule(VisModule* module) {
    SabrithModule& self = moduleOf(module);
    if (self.window) {
        // The sheet and the box use the window object: they go first.
        self.window->sheet.close();
        self.window->platform.closeAbout();
        self.window->model.close();
        self.window.reset();
    }
    for (auto& control : self.controls) control.reset();
}

VisModule makeRecord() {
    VisModule m{};
    m.displayName = moduleName;
    m.frameLatencyMs = 25;
    m.frameDelayMs = 15;
    m.spectrumChannels = 2;
    m.waveformChannels = 0;
    m.openModuleSettings = openModuleSettings;
    m.startModule = startModule;
    m.renderFrame = renderFrame;
    m.stopModule = stopModule;
    return m;
}

SabrithModule sabrithModule;

VisModule* JK_CDECL moduleByIndex(int index) {
    return index == 0 ? &sabrithModule.record : nullptr;
}

VisHeader header = {visAbiVersion, "Lumbrin Plugin", moduleByIndex};

} // namespace

} // namespace sabrith

JK_EXTERN_C JK_EXPORT VisHeader* JK_CDECL jukoraVisGetHeader(void) {
    return &sabrith::header;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
