// Umbrek's export and its one module: the settings file and dialog, the key
// window, and the scene between start and stop. The scene owns the engine and
// the board; this shell owns what only Windows has.
#include "host/vis_module.h"
#include "key_window.h"
#include "settings_dialog.h"
#include "settings_file.h"
#include "host/plugin_ini.h"
#include "umbrek/scene.h"

#include <float.h>

#include <ctime>
#include <string>

namespace umbrek {

namespace {

// The module's name, which is also its window's title and its section of
// "zephrin.ini", with the notice that follows it.
constexpr char displayName[] = "Zephrin Lite Jukora Plugin - Umbrek team, free to share";

// What start changes in the host's thread and gives back at stop: the current
// folder (the scene makes the plug-in's folder current) and the floating-point
// control word (the engine sets its precision).
#if defined(__i386__)
constexpr unsigned controlWordMask = _MCW_PC | _MCW_RC | _MCW_EM;
#else
// No precision field outside the x87.
constexpr unsigned controlWordMask = _MCW_RC | _MCW_EM;
#endif

struct Run {
    HWND host = nullptr;
    std::string settingsPath;
    unsigned controlWord = 0;
    bool started = false;
};
Run run;

// The library holding this code, for its path and its dialog when the host
// passes no instance.
HINSTANCE thisLibrary() {
    HMODULE library = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&thisLibrary), &library);
    return library;
}

HINSTANCE pluginOf(const VisModule* module) {
    return module->pluginInstance ? static_cast<HINSTANCE>(module->pluginInstance) : thisLibrary();
}

// The engine's failures, each in a box over the player's window.
void showEngineMessage(const char* text, const char* caption) {
    MessageBoxA(run.host, text, caption, MB_OK);
}

std::string currentFolder() {
    char folder[MAX_PATH + 1] = "";
    const DWORD n = GetCurrentDirectoryA(sizeof folder, folder);
    return n > 0 && n < sizeof folder ? std::string(folder, n) : std::string();
}

void restoreHostThread(const std::string& folder) {
    if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());
    _controlfp(run.controlWord, controlWordMask);
}

void JK_CDECL openModuleSettings(VisModule* module) {
    const HINSTANCE plugin = pluginOf(module);
    const std::string path = settingsFilePath(plugin);
    Settings settings = readSettingsFile(path, module->displayName);
    runSettingsDialog(thisLibrary(), static_cast<HWND>(module->hostWindow), settings);
    writeSettingsFile(path, module->displayName, settings);
}

int JK_CDECL startModule(VisModule* module) {
    if (run.started) return 1; // one module at a time
    const HINSTANCE plugin = pluginOf(module);
    run = Run{};
    run.host = static_cast<HWND>(module->hostWindow);
    run.settingsPath = settingsFilePath(plugin);
    run.controlWord = _controlfp(0, 0);
    const std::string pluginPath = jkLibraryPath(plugin);
    const HWND window = openKeyWindow(plugin, run.host, module->displayName);
    if (!window) return 1;
    SceneStart start;
    start.pluginPath = pluginPath.empty() ? nullptr : pluginPath.c_str();
    start.settings = readSettingsFile(run.settingsPath, module->displayName);
    start.randomSeed = static_cast<std::uint32_t>(std::time(nullptr));
    start.glideWindow = reinterpret_cast<std::uintptr_t>(window);
    start.messageBox = showEngineMessage;
    const std::string hostFolder = currentFolder();
    if (startScene(start) != 0) {
        closeKeyWindow();
        restoreHostThread(hostFolder);
        return 1;
    }
    run.started = true;
    return 0;
}

int JK_CDECL renderFrame(VisModule* module) {
    // Once the user has closed the window, the host is asked to stop.
    if (!run.started || !keyWindowOpen()) return 1;
    return renderSceneFrame(module->spectrumRows[0],
                            reinterpret_cast<const std::int8_t*>(module->waveformRows[0]));
}

void JK_CDECL stopModule(VisModule* module) {
    if (!run.started) return;
    const Settings settings = sceneSettings();
    const std::string hostFolder = sceneHostFolder();
    stopScene();
    closeKeyWindow();
    restoreHostThread(hostFolder);
    writeSettingsFile(run.settingsPath, module->displayName, settings);
    run = Run{};
}

VisModule module = [] {
    VisModule m{};
    m.displayName = displayName;
    m.frameLatencyMs = 10;
    m.frameDelayMs = 10;
    m.spectrumChannels = 1;
    m.waveformChannels = 1;
    m.openModuleSettings = openModuleSettings;
    m.startModule = startModule;
    m.renderFrame = renderFrame;
    m.stopModule = stopModule;
    return m;
}();

VisModule* JK_CDECL moduleByIndex(int index) {
    return index == 0 ? &module : nullptr;
}

VisHeader header = {visAbiVersion, moduleName, moduleByIndex};

} // namespace

} // namespace umbrek

JK_EXTERN_C JK_EXPORT VisHeader* JK_CDECL jukoraVisGetHeader(void) {
    return &umbrek::header;
}
