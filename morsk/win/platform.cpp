#include "morsk/win/platform.h"

#include <vector>

namespace morsk {

namespace {

// The profile functions fault on a text the system cannot carry: such a call
// is not made at all.
bool fits(const std::string& text) {
    return text.size() <= maxSystemText;
}

} // namespace

HINSTANCE muxInstance;

void* WinChildLoader::LoadLib(const std::string& path) {
    if (!fits(path)) return nullptr;
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
    if (!fits(path_) || !fits(section_) || !fits(key) || !fits(fallback)) return fallback;
    // Room for one character more than the longest value kept, so that a
    // longer one comes back cut but still too long (ReadValue drops it).
    std::vector<char> buf(maxSystemText + 2);
    DWORD n = GetPrivateProfileStringA(section_.c_str(), key.c_str(), fallback.c_str(), buf.data(),
                                       DWORD(buf.size()), path_.c_str());
    return std::string(buf.data(), n);
}

void IniSettingsStore::WriteString(const std::string& key, const std::string& value) {
    if (!fits(path_) || !fits(section_) || !fits(key) || !fits(value)) return;
    WritePrivateProfileStringA(section_.c_str(), key.c_str(), value.c_str(), path_.c_str());
}

} // namespace morsk
