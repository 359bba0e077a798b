#include "yarnot/win/ini_profile.h"

namespace yarnot {

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
