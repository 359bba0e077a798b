// The Windows side of the multiplexer's two interfaces: child libraries
// through the loader, and the settings section in "plugin.ini" through the
// profile functions.
#pragma once

#include "morsk/multiplexer.h"
#include "morsk/slot_table.h"

#include <windows.h>

#include <string>

namespace morsk {

// The multiplexer's own library, set when it is loaded, and its header's name.
extern HINSTANCE muxInstance;
extern const char muxHeaderName[];

class WinChildLoader : public ChildLoader {
public:
    void* LoadLib(const std::string& path) override;
    JukoraVisGetHeader FindGetHeader(void* lib) override;
    void FreeLib(void* lib) override;
    bool IsSelf(void* lib) override { return lib == muxInstance; }
};

class IniSettingsStore : public SettingsStore {
public:
    IniSettingsStore(std::string path, std::string section)
        : path_(std::move(path)), section_(std::move(section)) {}
    std::string ReadString(const std::string& key, const std::string& fallback) override;
    void WriteString(const std::string& key, const std::string& value) override;

private:
    std::string path_, section_;
};

} // namespace morsk
