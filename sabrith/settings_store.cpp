#include "sabrith/settings_store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace sabrith {

bool MemoryRegistry::openOrCreate(const std::string& section) {
    return keys.try_emplace(section).second;
}

std::optional<std::vector<uint8_t>> MemoryRegistry::query(const std::string& section,
                                                          const std::string& name) {
    auto& key = keys[section];
    const auto it = key.find(name);
    if (it == key.end()) return std::nullopt;
    return it->second.bytes;
}

void MemoryRegistry::setDword(const std::string& section, const std::string& name, uint32_t value) {
    Value v{false,
            {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)}};
    keys[section][name] = std::move(v);
}

void MemoryRegistry::setString(const std::string& section, const std::string& name,
                               const std::string& text) {
    Value v{true, std::vector<uint8_t>(text.begin(), text.end())};
    v.bytes.push_back(0);
    keys[section][name] = std::move(v);
}

ProfileDocument IniFileProfile::load(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return ProfileDocument();
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ProfileDocument(text);
}

int32_t IniFileProfile::getInt(const std::string& file, const std::string& section,
                               const std::string& key, int32_t fallback) {
    return load(file).integer(section, key, fallback);
}

std::string IniFileProfile::getString(const std::string& file, const std::string& section,
                                      const std::string& key, const std::string& fallback,
                                      std::size_t capacity) {
    if (capacity == 0) return "";
    std::string text = load(file).value(section, key).value_or(fallback);
    if (text.size() > capacity - 1) text.resize(capacity - 1);
    return text;
}

std::size_t IniFileProfile::sectionEntries(const std::string& file, const std::string& section) {
    return load(file).entryCount(section);
}

void IniFileProfile::writeString(const std::string& file, const std::string& section,
                                 const std::string& key, const std::string& value) {
    ProfileDocument document = load(file);
    document.set(section, key, value);
    // A failed write is dropped, as the store reports no failure.
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (out) out << document.text();
}

SettingsStore::SettingsStore(const std::string& defaultSection, RegistryBackend& registry,
                             ProfileBackend& profile)
    : defaultSection_(defaultSection.substr(0, 299)), registry_(registry), profile_(profile) {}

std::string SettingsStore::sectionOf(const char* section) const {
    return section ? std::string(section) : defaultSection_;
}

std::string SettingsStore::keyName(const char* name, int index) {
    if (index == 0) return name;
    char formed[256];
    std::snprintf(formed, sizeof formed, "%s_%d", name, index);
    return formed;
}

void SettingsStore::readInt(const char* file, const char* section, const char* name, int& out,
                            int fallback, int min, int max, int index) {
    const std::string key = keyName(name, index);
    int value = fallback;
    if (file) {
        value = profile_.getInt(file, sectionOf(section), key, fallback);
    } else if (auto bytes = registry_.query(sectionOf(section), key); bytes && bytes->size() == 4) {
        // Four bytes are a number whatever type they were stored as.
        uint32_t raw;
        std::memcpy(&raw, bytes->data(), 4);
        value = int(int32_t(raw));
    }
    if (min < max) value = std::clamp(value, min, max);
    out = value;
}

std::string SettingsStore::readString(const char* file, const char* section, const char* name,
                                      std::size_t capacity, const char* fallback, int index) {
    const std::string key = keyName(name, index);
    const std::string fallbackText =
        std::string(fallback ? fallback : "").substr(0, capacity ? capacity - 1 : 0);
    if (file) {
        std::string text = profile_.getString(file, sectionOf(section), key, "", capacity);
        return text.empty() ? fallbackText : text;
    }
    const auto bytes = registry_.query(sectionOf(section), key);
    if (!bytes || bytes->size() > capacity) return fallbackText;
    // A value stored without its terminating zero ends where its bytes end.
    const auto end = std::find(bytes->begin(), bytes->end(), uint8_t(0));
    if (end == bytes->end() && bytes->size() == capacity) return fallbackText;
    return std::string(bytes->begin(), end);
}

void SettingsStore::writeInt(const char* file, const char* section, const char* name, int value,
                             int index) {
    if (file) {
        profile_.writeString(file, sectionOf(section), keyName(name, index), std::to_string(value));
    } else {
        registry_.setDword(sectionOf(section), keyName(name, index), uint32_t(value));
    }
}

void SettingsStore::writeString(const char* file, const char* section, const char* name,
                                const char* text, int index) {
    if (file) {
        profile_.writeString(file, sectionOf(section), keyName(name, index), text ? text : "");
    } else {
        registry_.setString(sectionOf(section), keyName(name, index), text ? text : "");
    }
}

bool SettingsStore::sectionExists(const char* file, const char* section) {
    if (!file) return true;
    return profile_.sectionEntries(file, sectionOf(section)) > 0;
}

} // namespace sabrith
