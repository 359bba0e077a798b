#include "settings_file.h"

#include "host/plugin_ini.h"

#include <cstdio>

namespace umbrek {

std::string settingsFilePath(HINSTANCE plugin) {
    const std::string library = jkLibraryPath(plugin);
    return library.empty() ? std::string() : jkLibraryFolder(library) + "zephrin.ini";
}

Settings readSettingsFile(const std::string& path, const char* section) {
    Settings settings;
    if (path.empty()) return settings;
    for (const SettingKey& key : settingKeys) {
        // The profile function hands back "-5" as the unsigned twin of -5.
        settings.*key.field = static_cast<std::int32_t>(
            GetPrivateProfileIntA(section, key.name, settings.*key.field, path.c_str()));
    }
    clampSettings(settings);
    return settings;
}

void writeSettingsFile(const std::string& path, const char* section, const Settings& settings) {
    // Without a path the system would pick a file of its own.
    if (path.empty()) return;
    for (const SettingKey& key : settingKeys) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", static_cast<int>(settings.*key.field));
        WritePrivateProfileStringA(section, key.name, text, path.c_str());
    }
}

} // namespace umbrek
