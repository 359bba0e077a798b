// "fennick.ini" and the ".pre" files through the system's profile functions.
#pragma once

#include "fennick/settings.h"

#include <string>

namespace fennick {

class PrivateProfile : public ProfileStore {
public:
    explicit PrivateProfile(std::string path) : path_(std::move(path)) {}
    std::int32_t readInt(const char* section, const char* key, std::int32_t fallback) override;
    std::string readString(const char* section, const char* key) override;
    void writeString(const char* section, const char* key, const std::string& value) override;

private:
    std::string path_;
};

} // namespace fennick
