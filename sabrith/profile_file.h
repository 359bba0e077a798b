// The private-profile (ini) format as the system's profile functions read
// and write it, in portable code: presets and skin descriptions are such
// files, and the store must read them alike on every platform.
//
// Reading rules: lines are trimmed of leading and trailing blanks; "[name]"
// opens a section; "key=value" lines belong to the last section opened,
// "key" without "=" is a key without value; section and key names compare
// without case and the first match wins; blanks around the key and before
// the value are dropped, and a value wrapped in matching quotes loses them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sabrith {

class ProfileDocument {
public:
    ProfileDocument() = default;
    explicit ProfileDocument(std::string_view text);

    // The value as the text reading gives it (quotes stripped); nullopt
    // when the section or key is missing. A key without "=" reads as "".
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // The whole-number reading: a missing key or an empty text gives
    // `fallback`; otherwise the first 29 characters are read as the system
    // reads them (blanks, a sign, a "0x", "0o" or "0b" base prefix, digits
    // up to the first one that does not belong, wrapping at 32 bits, 0 when
    // there are none).
    int32_t integer(std::string_view section, std::string_view key, int32_t fallback) const;
    // Number of entries of the first section of that name.
    std::size_t entryCount(std::string_view section) const;
    // Replaces the first key of that name, else appends it to the section,
    // else appends the section at the end.
    void set(std::string_view section, std::string_view key, std::string_view value);
    std::string text() const;

private:
    struct Line {
        std::string raw;
        bool isSection = false;
        std::string name; // section name or key
        std::optional<std::string> value;
    };
    // Index range of the first section's lines after its header.
    bool findSection(std::string_view section, std::size_t& begin, std::size_t& end) const;
    std::vector<Line> lines_;
};

// Reads the number text as the profile functions do (see `integer`).
int32_t profileNumber(std::string_view text);

} // namespace sabrith
