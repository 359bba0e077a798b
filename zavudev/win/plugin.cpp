// zavudev's export and its two modules, "wake up" and "dezo zaz iru": one set
// of operations for both, told apart by the record they are given.
#include "host/vis_module.h"
#include "zavudev/visualizer.h"
#include "zavudev/win/display.h"

namespace zavudev {

namespace {

// One process-wide state, as the player runs one module of a plug-in at a
// time. The run-time generator starts from its load-time seed here.
Visualizer visualizer;
Display display;

const char moduleList[] = "modules:\n wake up\n dezo zaz iru\n\n"
                          "Questions and ideas: see the pack's read-me file.";

VisModule makeModule(const char* name);

VisModule modules[2] = {makeModule("wake up"), makeModule("dezo zaz iru")};

ModuleKind kindOf(const VisModule* module) {
    return module == &modules[1] ? ModuleKind::dezoZazIru : ModuleKind::wakeUp;
}

void JK_CDECL openModuleSettings(VisModule* module) {
    MessageBoxA(module->hostWindow, moduleList, "dezo zaz iru", MB_OK | MB_ICONERROR);
}

int JK_CDECL startModule(VisModule* module) {
    visualizer.beatThreshold = defaultBeatThreshold;
    display.beatThreshold = &visualizer.beatThreshold;
    readWindowPlace(module->pluginInstance, module->displayName, display.place);
    if (!openDisplay(display, module)) return 1;
    startVisualizer(visualizer, kindOf(module));
    ShowWindow(display.window, SW_SHOW);
    UpdateWindow(display.window);
    return 0;
}

int JK_CDECL renderFrame(VisModule* module) {
    if (!display.pixels) return 0;
    GdiFlush(); // the picture's bits may still be in use by the last blit
    if (frameVisualizer(visualizer, kindOf(module), module->spectrumRows, display.pixels,
                        display.colours))
        applyColours(display, wakePaletteSize);
    showPicture(display);
    return 0;
}

void JK_CDECL stopModule(VisModule* module) {
    if (!display.classRegistered) return; // not started, or stopped already
    writeWindowPlace(module->pluginInstance, module->displayName, display.place);
    closeDisplay(display);
}

VisModule makeModule(const char* name) {
    VisModule m{};
    m.displayName = name;
    m.frameLatencyMs = 30;
    m.frameDelayMs = 30;
    m.spectrumChannels = 2;
    m.waveformChannels = 0;
    m.openModuleSettings = openModuleSettings;
    m.startModule = startModule;
    m.renderFrame = renderFrame;
    m.stopModule = stopModule;
    return m;
}

VisModule* JK_CDECL moduleByIndex(int index) {
    return index == 0 || index == 1 ? &modules[index] : nullptr;
}

VisHeader header = {visAbiVersionOld, "dezo zaz iru v1", moduleByIndex};

} // namespace

} // namespace zavudev

JK_EXTERN_C JK_EXPORT VisHeader* JK_CDECL jukoraVisGetHeader(void) {
    return &zavudev::header;
}
