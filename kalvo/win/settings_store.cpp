// Where Kalvo's settings live on Windows: the player's ini file beside its
// program, and the HideMinibrowser value under the current profile's key.
#include "kalvo/win/shell.h"

#include <cstdio>

namespace kalvo {

Minibrowser minibrowser;

namespace {

std::string iniPath() {
    char program[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
    if (n == 0 || n >= sizeof program) return std::string();
    return iniPathForProgram(program);
}

int readInt(const std::string& ini, const char* key, int current) {
    return int(GetPrivateProfileIntA(settingsSection, key, current, ini.c_str()));
}

void writeInt(const std::string& ini, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    WritePrivateProfileStringA(settingsSection, key, text, ini.c_str());
}

HKEY rootKey(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::classesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::localMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::currentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::users: return HKEY_USERS;
    case RegistryRoot::none: break;
    }
    return nullptr;
}

HKEY openKey(const std::string& path) {
    RegistryPath p = parseRegistryPath(path);
    HKEY key = nullptr;
    HKEY root = rootKey(p.root);
    if (!root || RegOpenKeyExA(root, p.subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// A string value (of the three string types), or empty.
std::string readRegistryString(const std::string& path, const char* name) {
    std::string out;
    if (HKEY key = openKey(path)) {
        char text[1024];
        DWORD type = 0, size = sizeof text - 1;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
            text[size < sizeof text ? size : sizeof text - 1] = '\0';
            out = text;
        }
        RegCloseKey(key);
    }
    return out;
}

// A 32-bit value, or 0.
DWORD readRegistryDword(const std::string& path, const char* name) {
    DWORD value = 0;
    if (HKEY key = openKey(path)) {
        DWORD type = 0, data = 0, size = sizeof data;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof data)
            value = data;
        RegCloseKey(key);
    }
    return value;
}

void writeRegistryDword(const std::string& path, const char* name, DWORD value) {
    RegistryPath p = parseRegistryPath(path);
    HKEY root = rootKey(p.root);
    HKEY key = nullptr;
    if (!root || RegCreateKeyExA(root, p.subkey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                 nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

} // namespace

void readSettings() {
    std::string ini = iniPath();
    if (ini.empty()) return;
    settings.downmix = readInt(ini, "downmix", settings.downmix);
    settings.eightBit = readInt(ini, "8bit", settings.eightBit);
    settings.downsample = readInt(ini, "downsample", settings.downsample);
    std::string current = settings.id3FormatString;
    GetPrivateProfileStringA(settingsSection, "id3_format_string", current.c_str(),
                             settings.id3FormatString, formatStringSize, ini.c_str());
    settings.priority = readInt(ini, "priority", settings.priority);
}

void writeSettings() {
    std::string ini = iniPath();
    if (ini.empty()) return;
    writeInt(ini, "downmix", settings.downmix);
    writeInt(ini, "8bit", settings.eightBit);
    writeInt(ini, "downsample", settings.downsample);
    WritePrivateProfileStringA(settingsSection, "id3_format_string", settings.id3FormatString,
                               ini.c_str());
    writeInt(ini, "priority", settings.priority);
}

void readMinibrowser() {
    minibrowser.profileName = readRegistryString(profilesKeyPath, nullptr);
    if (minibrowser.profileName.empty())
        minibrowser.hide = 1;
    else
        minibrowser.hide =
            readRegistryDword(profileKeyPath(minibrowser.profileName), "HideMinibrowser") != 0;
}

void storeMinibrowser() {
    if (minibrowser.profileName.empty()) return;
    writeRegistryDword(profileKeyPath(minibrowser.profileName), "HideMinibrowser",
                       DWORD(minibrowser.hide));
}

} // namespace kalvo
