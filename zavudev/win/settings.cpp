#include "zavudev/win/settings.h"

#include "host/plugin_ini.h"

#include <cstdio>
#include <string>

namespace zavudev {

namespace {

void writeInt(const char* section, const char* key, int value, const std::string& path) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    WritePrivateProfileStringA(section, key, text, path.c_str());
}

} // namespace

void readWindowPlace(HINSTANCE library, const char* section, WindowPlace& place) {
    std::string path = jkPluginIniPath(library);
    place.x = int(GetPrivateProfileIntA(section, "screen_x", place.x, path.c_str()));
    place.y = int(GetPrivateProfileIntA(section, "screen_y", place.y, path.c_str()));
}

void writeWindowPlace(HINSTANCE library, const char* section, const WindowPlace& place) {
    std::string path = jkPluginIniPath(library);
    writeInt(section, "screen_x", place.x, path);
    writeInt(section, "screen_y", place.y, path);
}

} // namespace zavudev
