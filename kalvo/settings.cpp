#include "kalvo/settings.h"

#include <cstring>

namespace kalvo {

std::string iniPathForProgram(const std::string& programPath) {
    size_t nameStart = programPath.find_last_of("\\/:");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = programPath.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return programPath + ".ini";
    return programPath.substr(0, dot + 1) + "ini";
}

RegistryPath parseRegistryPath(const std::string& path) {
    static const struct {
        const char* name;
        RegistryRoot root;
    } roots[] = {
        {"HKEY_CLASSES_ROOT", RegistryRoot::classesRoot},
        {"HKEY_LOCAL_MACHINE", RegistryRoot::localMachine},
        {"HKEY_CURRENT_USER", RegistryRoot::currentUser},
        {"HKEY_USERS", RegistryRoot::users},
    };
    RegistryPath out;
    for (const auto& r : roots) {
        size_t n = std::strlen(r.name);
        if (path.compare(0, n, r.name) != 0) continue;
        if (path.size() == n) {
            out.root = r.root;
        } else if (path[n] == '\\') {
            out.root = r.root;
            out.subkey = path.substr(n + 1);
        }
        break;
    }
    return out;
}

std::string profileKeyPath(const std::string& profileName) {
    return std::string(profilesKeyPath) + "\\" + profileName;
}

} // namespace kalvo
