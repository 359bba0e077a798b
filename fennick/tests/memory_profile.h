// A profile store in memory that keeps each section's keys in the order
// they were first written and logs every write.
#pragma once

#include "fennick/settings.h"

#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fennick::testing {

class MemoryProfile : public ProfileStore {
public:
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> sections;
    std::vector<std::string> writes; // "section key=value"
    std::vector<std::string> reads;  // "section key"

    std::int32_t readInt(const char* section, const char* key, std::int32_t fallback) override {
        reads.push_back(std::string(section) + " " + key);
        const std::string* v = find(section, key);
        return v ? std::int32_t(std::strtoll(v->c_str(), nullptr, 10)) : fallback;
    }
    std::string readString(const char* section, const char* key) override {
        reads.push_back(std::string(section) + " " + key);
        const std::string* v = find(section, key);
        return v ? *v : std::string();
    }
    void writeString(const char* section, const char* key, const std::string& value) override {
        writes.push_back(std::string(section) + " " + key + "=" + value);
        auto& keys = sections[section];
        for (auto& kv : keys) {
            if (kv.first == key) {
                kv.second = value;
                return;
            }
        }
        keys.emplace_back(key, value);
    }

private:
    const std::string* find(const std::string& section, const std::string& key) const {
        auto s = sections.find(section);
        if (s == sections.end()) return nullptr;
        for (const auto& kv : s->second)
            if (kv.first == key) return &kv.second;
        return nullptr;
    }
};

} // namespace fennick::testing
