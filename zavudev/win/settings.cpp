#include "zavudev/win/settings.h"

#include <cstdio>
#include <string>

namespace zavudev {

namespace {

// The library's folder, up to and including its last '\' (or ':'), with
// "plugin.ini" behind it; the bare name when the path has neither.
std::string iniPath(HINSTANCE library) {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(library, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return "plugin.ini";
    std::string folder(path, n);
    size_t cut = folder.find_last_of("\\:");
    folder.resize(cut == std::string::npos ? 0 : cut + 1);
    return folder + "plugin.ini";
}

void writeInt(const char* section, const char* key, int value, const std::string& path) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    WritePrivateProfileStringA(section, key, text, path.c_str());
}

} // namespace

void readWindowPlace(HINSTANCE library, const char* section, WindowPlace& place) {
    std::string path = iniPath(library);
    place.x = int(GetPrivateProfileIntA(section, "screen_x", place.x, path.c_str()));
    place.y = int(GetPrivateProfileIntA(section, "screen_y", place.y, path.c_str()));
}

void writeWindowPlace(HINSTANCE library, const char* section, const WindowPlace& place) {
    std::string path = iniPath(library);
    writeInt(section, "screen_x", place.x, path);
    writeInt(section, "screen_y", place.y, path);
}

} // namespace zavudev
