#include "fennick/win/profile_file.h"

#include "fennick/presets.h"

#include <windows.h>

namespace fennick {

std::int32_t PrivateProfile::readInt(const char* section, const char* key, std::int32_t fallback) {
    return std::int32_t(GetPrivateProfileIntA(section, key, fallback, path_.c_str()));
}

std::string PrivateProfile::readString(const char* section, const char* key) {
    char text[presetNameLimit + 1] = {};
    GetPrivateProfileStringA(section, key, "", text, sizeof text, path_.c_str());
    return text;
}

void PrivateProfile::writeString(const char* section, const char* key, const std::string& value) {
    WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str());
}

} // namespace fennick

#include "fennick/win/plugin_state.h"

namespace fennick {

std::string pluginFolder(HINSTANCE instance) {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(instance, path, sizeof path);
    std::string folder(path, n < sizeof path ? n : 0);
    std::size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::string settingsPath(HINSTANCE instance) {
    return pluginFolder(instance) + "fennick.ini";
}

std::string presetPath(HINSTANCE instance) {
    return pluginFolder(instance) + plugin.currentSection + ".pre";
}

void readModuleSettings(VisModule* module) {
    plugin.moduleCopy = *module;
    PrivateProfile ini(settingsPath(module->pluginInstance));
    readModuleSettings(ini, plugin.currentKind, plugin.settings);
}

void writeModuleSettings(VisModule* module) {
    PrivateProfile ini(settingsPath(module->pluginInstance));
    writeModuleSettings(ini, plugin.currentKind, plugin.settings);
}

} // namespace fennick
