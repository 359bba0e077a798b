#include "yarnot/win/ini_profile.h"

namespace yarnot {

std::string PluginIniPath(HINSTANCE instance) {
    char path[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(instance, path, sizeof path);
    std::string dir(path, n < sizeof path ? n : 0);
    size_t cut = dir.find_last_of('\\');
    dir.resize(cut == std::string::npos ? 0 : cut + 1);
    return dir + "plugin.ini";
}

int IniProfile::ReadInt(const char* key, int fallback) {
    return int(GetPrivateProfileIntA(section_.c_str(), key, fallback, path_.c_str()));
}

std::string IniProfile::ReadString(const char* key, const char* fallback) {
    char text[filenameCapacity] = "";
    GetPrivateProfileStringA(section_.c_str(), key, fallback, text, sizeof text, path_.c_str());
    return text;
}

void IniProfile::WriteString(const char* key, const std::string& value) {
    WritePrivateProfileStringA(section_.c_str(), key, value.c_str(), path_.c_str());
}

} // namespace yarnot
