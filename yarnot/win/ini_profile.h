// A module's section of "plugin.ini" through the profile functions.
#pragma once

#include "yarnot/settings.h"

#include <windows.h>

#include <string>

namespace yarnot {

// "plugin.ini" in the folder of the library that `instance` names.
std::string PluginIniPath(HINSTANCE instance);

class IniProfile : public Profile {
public:
    IniProfile(std::string path, std::string section)
        : path_(std::move(path)), section_(std::move(section)) {}
    int ReadInt(const char* key, int fallback) override;
    std::string ReadString(const char* key, const char* fallback) override;
    void WriteString(const char* key, const std::string& value) override;

private:
    std::string path_, section_;
};

} // namespace yarnot
