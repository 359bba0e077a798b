// Morsk's export and its one module, "Visualization Mux": towards the player
// an ordinary visualization, towards the libraries in its settings the host.
#include "host/plugin_ini.h"
#include "morsk/win/config_form.h"
#include "morsk/multiplexer.h"
#include "morsk/win/platform.h"

namespace morsk {

const char muxHeaderName[] = "Morsk Visualization Mux v1.11";

namespace {

Multiplexer multiplexer(muxHeaderName);
WinChildLoader loader;

void JK_CDECL openModuleSettings(VisModule* mux) {
    TConfigForm::Instance().ShowAndRun(mux);
}

int JK_CDECL startModule(VisModule* mux) {
    IniSettingsStore settings(jkPluginIniPath(mux->pluginInstance), mux->displayName);
    return multiplexer.Start(*mux, settings, loader);
}

int JK_CDECL renderFrame(VisModule* mux) {
    return multiplexer.Render(*mux);
}

void JK_CDECL stopModule(VisModule*) {
    multiplexer.Stop(loader);
}

// Spectrum and waveform both at 2, so that the player fills every row that a
// child may ask for.
VisModule makeMuxModule() {
    VisModule m{};
    m.displayName = "Visualization Mux";
    m.frameLatencyMs = 25;
    m.frameDelayMs = 25;
    m.spectrumChannels = 2;
    m.waveformChannels = 2;
    m.openModuleSettings = openModuleSettings;
    m.startModule = startModule;
    m.renderFrame = renderFrame;
    m.stopModule = stopModule;
    return m;
}

VisModule muxModule = makeMuxModule();

VisModule* JK_CDECL moduleByIndex(int index) {
    return index == 0 ? &muxModule : nullptr;
}

VisHeader muxHeader = {visAbiVersion, muxHeaderName, moduleByIndex};

} // namespace

} // namespace morsk

JK_EXTERN_C JK_EXPORT VisHeader* JK_CDECL jukoraVisGetHeader(void) {
    return &morsk::muxHeader;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        morsk::muxInstance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded while the process goes on: the hidden form must not outlive
        // the code behind its window procedure.
        morsk::TConfigForm::Instance().Release();
    }
    return TRUE;
}
