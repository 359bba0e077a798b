// The settings store's Windows back ends: the current user's registry under
// Software\Lumbrin\<section>, and the system's profile functions.
#pragma once

#include "sabrith/settings_store.h"

namespace sabrith {

class WinRegistry final : public RegistryBackend {
public:
    bool openOrCreate(const std::string& section) override;
    std::optional<std::vector<uint8_t>> query(const std::string& section,
                                              const std::string& name) override;
    void setDword(const std::string& section, const std::string& name, uint32_t value) override;
    void setString(const std::string& section, const std::string& name,
                   const std::string& text) override;
};

class WinProfile final : public ProfileBackend {
public:
    int32_t getInt(const std::string& file, const std::string& section, const std::string& key,
                   int32_t fallback) override;
    std::string getString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& fallback,
                          std::size_t capacity) override;
    std::size_t sectionEntries(const std::string& file, const std::string& section) override;
    void writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
};

// The registry key of a section, "Software\Lumbrin\" + section.
std::string registryPath(const std::string& section);

} // namespace sabrith
