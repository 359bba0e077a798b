// The start path (the plug-in's own folder, where its data lies) and the
// user path (the folder current when the plug-in started).
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/platform.h"

#include <cctype>
#include <string>

namespace umbrek::vastrel {

void KX_RecordStartPath(const char* modulePath) {
    Engine& e = engine();
    const std::string path = modulePath ? modulePath : "";
    std::string rest = path;
    int drive = 0;
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        drive = std::toupper(static_cast<unsigned char>(path[0])) - 'A' + 1;
        rest = path.substr(2);
    }
    const std::size_t lastSeparator = rest.find_last_of("\\/");
    std::string folder =
        lastSeparator == std::string::npos ? "" : rest.substr(0, lastSeparator + 1);
    // The folder loses its closing separator, unless it is the root, which
    // would otherwise become no folder at all.
    if (folder.size() > 1) folder.pop_back();
    const PlatformHooks& hooks = platformHooks();
    e.startDrive = drive ? drive : hooks.currentDrive();
    e.startPath = folder;
    e.userPath = hooks.currentFolder();
    KX_Log("Start Path", e.startPath.c_str());
    KX_Log("User Path", e.userPath.c_str());
}

void KX_SwitchToStartPath() {
    const Engine& e = engine();
    const PlatformHooks& hooks = platformHooks();
    if (e.startDrive > 0) hooks.changeDrive(e.startDrive);
    if (!e.startPath.empty()) hooks.changeFolder(e.startPath);
    KX_Log("Start Switched path", hooks.currentFolder().c_str());
}

} // namespace umbrek::vastrel
