// A module's section of "plugin.ini" (beside the library, jkPluginIniPath)
// through the profile functions.
#pragma once

#include "yarnot/settings.h"

#include <windows.h>

#include <string>

namespace yarnot {

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
