// Every persistent value of the plug-in goes through one store: a call that
// names a file reads or writes that ini-format file (a preset, a skin
// description), a call that names none works on the registry (the user's
// settings). Effects therefore load and save presets with the very code
// that keeps their settings.
//
// The registry and the profile files are reached through two back ends:
// the real registry and profile functions on Windows, an in-memory registry
// and the portable profile parser elsewhere (and in the native tests).
#pragma once

#include "sabrith/profile_file.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sabrith {

// Values of the key Software\Lumbrin\<section> of the current user.
class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;
    // Opens the section's key, creating it when missing; true when it had
    // to be created.
    virtual bool openOrCreate(const std::string& section) = 0;
    // The value's stored bytes, or nullopt when missing or unreadable (the
    // key is created when missing, as every read does).
    virtual std::optional<std::vector<uint8_t>> query(const std::string& section,
                                                      const std::string& name) = 0;
    virtual void setDword(const std::string& section, const std::string& name, uint32_t value) = 0;
    // A string value; its stored length counts the terminating zero.
    virtual void setString(const std::string& section, const std::string& name,
                           const std::string& text) = 0;
};

// The profile functions on one file.
class ProfileBackend {
public:
    virtual ~ProfileBackend() = default;
    virtual int32_t getInt(const std::string& file, const std::string& section,
                           const std::string& key, int32_t fallback) = 0;
    // The key's text cut to capacity - 1 characters, or `fallback` when the
    // key is missing.
    virtual std::string getString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& fallback,
                                  std::size_t capacity) = 0;
    // Entries of the section, as a read into a buffer of that size sees them
    // (0 when the section is missing or empty).
    virtual std::size_t sectionEntries(const std::string& file, const std::string& section) = 0;
    virtual void writeString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

// The registry as a map, for platforms without one and for tests.
class MemoryRegistry final : public RegistryBackend {
public:
    struct Value {
        bool isString = false;
        std::vector<uint8_t> bytes;
    };
    bool openOrCreate(const std::string& section) override;
    std::optional<std::vector<uint8_t>> query(const std::string& section,
                                              const std::string& name) override;
    void setDword(const std::string& section, const std::string& name, uint32_t value) override;
    void setString(const std::string& section, const std::string& name,
                   const std::string& text) override;
    // Raw access, for tests that plant values of another type or length.
    std::map<std::string, std::map<std::string, Value>> keys;
};

// Profile files on disk read and written with the portable parser.
class IniFileProfile final : public ProfileBackend {
public:
    int32_t getInt(const std::string& file, const std::string& section, const std::string& key,
                   int32_t fallback) override;
    std::string getString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& fallback,
                          std::size_t capacity) override;
    std::size_t sectionEntries(const std::string& file, const std::string& section) override;
    void writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;

private:
    static ProfileDocument load(const std::string& file);
};

class SettingsStore {
public:
    SettingsStore(const std::string& defaultSection, RegistryBackend& registry,
                  ProfileBackend& profile);

    const std::string& defaultSection() const { return defaultSection_; }

    // file nullptr: the registry; section nullptr: the default section.
    // Index 0 names the key `name`, any other "name_index".
    // The result is clamped to min..max only when min < max.
    void readInt(const char* file, const char* section, const char* name, int& out, int fallback,
                 int min, int max, int index = 0);
    // Reads at most capacity - 1 characters; an empty or missing text gives
    // `fallback` (the registry: also a text longer than the capacity).
    std::string readString(const char* file, const char* section, const char* name,
                           std::size_t capacity, const char* fallback, int index = 0);
    void writeInt(const char* file, const char* section, const char* name, int value,
                  int index = 0);
    void writeString(const char* file, const char* section, const char* name, const char* text,
                     int index = 0);
    // With no file always true; with one, true when its section holds an entry.
    bool sectionExists(const char* file, const char* section);

private:
    std::string sectionOf(const char* section) const;
    static std::string keyName(const char* name, int index);

    std::string defaultSection_;
    RegistryBackend& registry_;
    ProfileBackend& profile_;
};

} // namespace sabrith
