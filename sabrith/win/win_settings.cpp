#include "sabrith/win/win_settings.h"

#include <windows.h>

namespace sabrith {

std::string registryPath(const std::string& section) {
    return "Software\\Lumbrin\\" + section;
}

namespace {

// Every access opens (or creates) the section's key, as the store's reads
// create missing keys too.
struct Key {
    explicit Key(const std::string& section, bool* created = nullptr) {
        DWORD disposition = 0;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, registryPath(section).c_str(), 0, nullptr, 0,
                            KEY_READ | KEY_WRITE, nullptr, &handle, &disposition) != ERROR_SUCCESS)
            handle = nullptr;
        if (created) *created = handle && disposition == REG_CREATED_NEW_KEY;
    }
    ~Key() {
        if (handle) RegCloseKey(handle);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY handle = nullptr;
};

} // namespace

bool WinRegistry::openOrCreate(const std::string& section) {
    bool created = false;
    Key key(section, &created);
    return created;
}

std::optional<std::vector<uint8_t>> WinRegistry::query(const std::string& section,
                                                       const std::string& name) {
    Key key(section);
    if (!key.handle) return std::nullopt;
    DWORD size = 0;
    if (RegQueryValueExA(key.handle, name.c_str(), nullptr, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::vector<uint8_t> bytes(size);
    if (RegQueryValueExA(key.handle, name.c_str(), nullptr, nullptr, bytes.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

void WinRegistry::setDword(const std::string& section, const std::string& name, uint32_t value) {
    Key key(section);
    if (key.handle)
        RegSetValueExA(key.handle, name.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void WinRegistry::setString(const std::string& section, const std::string& name,
                            const std::string& text) {
    Key key(section);
    if (key.handle)
        RegSetValueExA(key.handle, name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1));
}

int32_t WinProfile::getInt(const std::string& file, const std::string& section,
                           const std::string& key, int32_t fallback) {
    return int32_t(GetPrivateProfileIntA(section.c_str(), key.c_str(), fallback, file.c_str()));
}

std::string WinProfile::getString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& fallback,
                                  std::size_t capacity) {
    if (capacity == 0) return "";
    std::string buffer(capacity, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                                                  buffer.data(), DWORD(capacity), file.c_str());
    buffer.resize(length);
    return buffer;
}

std::size_t WinProfile::sectionEntries(const std::string& file, const std::string& section) {
    char buffer[200];
    const DWORD length =
        GetPrivateProfileSectionA(section.c_str(), buffer, sizeof buffer, file.c_str());
    // The count of entries does not matter to the store, only whether any.
    return length > 0 ? 1 : 0;
}

void WinProfile::writeString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) {
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

} // namespace sabrith
