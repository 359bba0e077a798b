// testhost config|about PLUGIN.dll and testhost details PLUGIN.dll FILE: open
// an input plug-in's settings, about or song information dialog as the player
// does (between startUp and shutDown, owned by the host window), optionally
// driven by a window script (--do "wait; dump; shot a.bmp; click 1").
#include "testhost/commands.h"
#include "testhost/input_host.h"
#include "testhost/json_writer.h"
#include "testhost/stack_check.h"
#include "testhost/window_driver.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace testhost {

int runDialog(const char* which, int argc, char** argv) {
    bool details = std::strcmp(which, "details") == 0;
    int fixed = details ? 2 : 1;
    std::string script;
    if (argc == fixed + 2 && std::strcmp(argv[fixed], "--do") == 0) {
        script = argv[fixed + 1];
    } else if (argc != fixed) {
        std::fprintf(stderr, "usage: testhost %s PLUGIN.dll%s [--do SCRIPT]\n", which,
                     details ? " FILE" : "");
        return 2;
    }
    HMODULE lib = static_cast<HMODULE>(loadPlugin(argv[0]));
    if (!lib) return 1;
    auto get = reinterpret_cast<JukoraGetInModule2>(
        reinterpret_cast<void*>(GetProcAddress(lib, "jukoraGetInModule2")));
    InputModule* m = get ? callPlugin("jukoraGetInModule2", get) : nullptr;
    if (!m || !m->startUp || !m->shutDown ||
        !(details ? (void*)m->showFileDetails
                  : (std::strcmp(which, "config") == 0 ? (void*)m->showSettings
                                                       : (void*)m->showAboutBox))) {
        std::fprintf(stderr, "%s has no %s operation\n", argv[0], which);
        return 1;
    }
    HWND window = createHostWindow();
    fillHostSlots(m, window, lib);
    callPlugin("startUp", m->startUp);

    WindowDriver driver;
    if (!script.empty()) driver.start(script);
    int result = 0;
    if (details)
        result = callPlugin("showFileDetails", m->showFileDetails, argv[1], window);
    else if (std::strcmp(which, "config") == 0)
        callPlugin("showSettings", m->showSettings, window);
    else
        callPlugin("showAboutBox", m->showAboutBox, window);
    driver.finish();
    callPlugin("shutDown", m->shutDown);
    DestroyWindow(window);

    JsonWriter j;
    j.beginObject();
    j.key("command").value(which);
    j.key("result").value(result);
    j.key("screenshots").beginArray();
    for (auto& s : driver.screenshots()) j.value(s);
    j.endArray();
    j.key("errors").beginArray();
    for (auto& e : driver.errors()) j.value(e);
    for (auto& f : stackFaults()) j.value(f); // printed when found
    j.endArray();
    j.endObject();
    std::printf("%s\n", j.text().c_str());
    for (auto& e : driver.errors()) std::fprintf(stderr, "script: %s\n", e.c_str());
    FreeLibrary(lib);
    return driver.errors().empty() && stackFaults().empty() ? 0 : 1;
}

} // namespace testhost
