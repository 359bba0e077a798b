// Yarnot's export, its four modules and their shared start and stop; each
// module's frame is its effect.
#include "host/plugin_ini.h"
#include "host/vis_module.h"
#include "yarnot/effects.h"
#include "yarnot/win/config_dialog.h"
#include "yarnot/win/display.h"
#include "yarnot/win/ini_profile.h"
#include "yarnot/win/message_box.h"

namespace yarnot {

namespace {

HINSTANCE ownInstance = nullptr;

enum { quorl1, quorl2, fakePerspective, rotZoomer, moduleCount };

// One set of everything for the process: one module runs at a time.
Settings settings;
Texture texture;
// Each rot-zoomer keeps its movement from one start to the next, for as
// long as the library is loaded.
RotZoomState movement[2];

VisModule makeModule(const char* name, int spectrum, int waveform);

VisModule modules[moduleCount] = {makeModule("Quorl I", 0, 2), makeModule("Quorl II", 0, 2),
                                  makeModule("Rot-Zoomer (fake perspective)", 2, 0),
                                  makeModule("Rot-Zoomer", 2, 0)};

int indexOf(const VisModule* module) {
    return int(module - modules);
}

void JK_CDECL openModuleSettings(VisModule* module) {
    RunConfigDialog(module, ownInstance);
}

int JK_CDECL startModule(VisModule* module) {
    Sines();
    IniProfile profile(jkPluginIniPath(module->pluginInstance), module->displayName);
    settings = ReadSettings(profile);
    for (VisModule& m : modules) m.frameLatencyMs = m.frameDelayMs = FrameDelayMs(settings);
    int index = indexOf(module);
    FitPictureSize(settings, index == quorl1 || index == quorl2);

    WNDCLASSA wc{};
    wc.lpfnWndProc = Display::windowProc;
    wc.hInstance = module->pluginInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = windowClassName;
    if (!RegisterClassA(&wc)) return 1;
    std::string message;
    if (!LoadTextureFile(settings.filename, settings.blur, texture, message)) {
        ShowMessage(module->hostWindow, message);
        UnregisterClassA(windowClassName, module->pluginInstance);
        return 1;
    }
    return display.Start(module, &settings, module->pluginInstance) ? 0 : 1;
}

int JK_CDECL renderFrame(VisModule* module) {
    PixelTarget target;
    if (!display.Lock(target)) return 0;
    switch (indexOf(module)) {
    case quorl1: DrawQuorl1(texture, module->waveformRows, settings.blur, target); break;
    case quorl2: DrawQuorl2(texture, module->waveformRows, settings.blur, target); break;
    case fakePerspective:
        DrawFakePerspective(movement[0], texture, module->spectrumRows, settings.blur, target);
        break;
    default:
        DrawRotZoomer(movement[1], texture, module->spectrumRows, settings.blur, target);
        break;
    }
    display.Unlock();
    display.Present();
    return 0;
}

void JK_CDECL stopModule(VisModule* module) {
    display.Teardown();
    IniProfile profile(jkPluginIniPath(module->pluginInstance), module->displayName);
    WritePosition(profile, settings);
}

VisModule makeModule(const char* name, int spectrum, int waveform) {
    VisModule m{};
    m.displayName = name;
    m.frameLatencyMs = 25;
    m.frameDelayMs = 25;
    m.spectrumChannels = spectrum;
    m.waveformChannels = waveform;
    m.openModuleSettings = openModuleSettings;
    m.startModule = startModule;
    m.renderFrame = renderFrame;
    m.stopModule = stopModule;
    return m;
}

VisModule* JK_CDECL moduleByIndex(int index) {
    return unsigned(index) < moduleCount ? &modules[index] : nullptr;
}

VisHeader header = {visAbiVersion, "Dremlow Visualization Module", moduleByIndex};

} // namespace

} // namespace yarnot

JK_EXTERN_C JK_EXPORT VisHeader* JK_CDECL jukoraVisGetHeader(void) {
    return &yarnot::header;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        yarnot::ownInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
