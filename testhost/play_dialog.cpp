#include "testhost/play_dialog.h"

#include "testhost/input_host.h"
#include "testhost/stack_check.h"
#include "testhost/window_driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace testhost {

namespace {

// Lets the output take `ms` more of audio and waits until it has, or until
// the song has ended.
bool renderMore(int ms) {
    int64_t target;
    {
        std::lock_guard<std::mutex> g(host.lock);
        if (!host.streamOpen) return false;
        target = host.framesWritten + int64_t(ms) * host.rate / 1000;
        host.gateFrame = int(target > 0x7fffffff ? 0x7fffffff : target);
    }
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(2)) {
        std::lock_guard<std::mutex> g(host.lock);
        if (host.framesWritten >= target || host.endOfStream || !host.streamOpen) return true;
    }
    return false;
}

} // namespace

bool parsePlayDialog(const char* text, PlayDialog& dialog, int& atMs) {
    const char* at = std::strchr(text, '@');
    if (!at) return false;
    dialog.which.assign(text, at);
    atMs = std::atoi(at + 1);
    return dialog.which == "config" || dialog.which == "about" || dialog.which == "details";
}

void runPlayDialog(InputModule* m, HWND owner, const char* file, PlayDialog& d) {
    {
        std::lock_guard<std::mutex> g(host.lock);
        d.atFrame = host.framesWritten;
        host.gateFrame = int(host.framesWritten); // nothing more until the script says so
    }
    WindowDriver driver;
    driver.extraAction = [](const std::vector<std::string>& w) -> std::optional<bool> {
        if (w[0] != "render") return std::nullopt;
        return w.size() == 2 && renderMore(std::atoi(w[1].c_str()));
    };
    if (!d.script.empty()) driver.start(d.script);
    if (d.which == "config" && m->showSettings)
        callPlugin("showSettings", m->showSettings, owner);
    else if (d.which == "about" && m->showAboutBox)
        callPlugin("showAboutBox", m->showAboutBox, owner);
    else if (d.which == "details" && m->showFileDetails)
        d.result = callPlugin("showFileDetails", m->showFileDetails, file, owner);
    else
        d.result = -1;
    driver.finish();
    d.screenshots = driver.screenshots();
    std::lock_guard<std::mutex> g(host.lock);
    d.endFrame = host.framesWritten;
    if (d.result == -1) host.violation("the plug-in has no " + d.which + " operation");
    for (const std::string& e : driver.errors()) host.violation("window script: " + e);
}

void writePlayDialogs(JsonWriter& j, const std::vector<PlayDialog>& dialogs) {
    j.beginArray();
    for (const PlayDialog& d : dialogs) {
        j.beginObject();
        j.key("which").value(d.which);
        j.key("atFrame").value(d.atFrame);
        j.key("endFrame").value(d.endFrame);
        j.key("result").value(d.result);
        j.key("screenshots").beginArray();
        for (const std::string& s : d.screenshots) j.value(s);
        j.endArray();
        j.endObject();
    }
    j.endArray();
}

} // namespace testhost
