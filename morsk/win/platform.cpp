#include "morsk/win/platform.h"

#include <vector>

namespace morsk {

namespace {

constexpr size_t maxValueLength = 65536;

} // namespace

HINSTANCE muxInstance;

void* WinChildLoader::LoadLib(const std::string& path) {
    // A library that cannot load (a missing dependency, a bad file) must not
    // stop the player with a system message box.
    UINT old = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE lib = LoadLibraryA(path.c_str());
    SetErrorMode(old);
    return lib;
}

JukoraVisGetHeader WinChildLoader::FindGetHeader(void* lib) {
    return reinterpret_cast<JukoraVisGetHeader>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), "jukoraVisGetHeader")));
}

void WinChildLoader::FreeLib(void* lib) {
    FreeLibrary(static_cast<HMODULE>(lib));
}

std::string IniSettingsStore::ReadString(const std::string& key, const std::string& fallback) {
    std::vector<char> buf(2048);
    for (;;) {
        DWORD n = GetPrivateProfileStringA(section_.c_str(), key.c_str(), fallback.c_str(),
                                           buf.data(), DWORD(buf.size()), path_.c_str());
        // A value cut to fit comes back one short of the room: ask again with more.
        if (n + 1 < buf.size() || buf.size() >= maxValueLength) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

void IniSettingsStore::WriteString(const std::string& key, const std::string& value) {
    WritePrivateProfileStringA(section_.c_str(), key.c_str(), value.c_str(), path_.c_str());
}

} // namespace morsk
