#include "sabrith/profile_file.h"

#include <algorithm>

namespace sabrith {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

int32_t profileNumber(std::string_view text) {
    // The profile functions read the value into 30 characters first.
    text = text.substr(0, 29);
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool minus = false;
    while (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') minus = !minus;
        ++i;
    }
    uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char prefix = text[i + 1];
        if (prefix == 'b')
            base = 2;
        else if (prefix == 'o')
            base = 8;
        else if (prefix == 'x')
            base = 16;
        if (base != 10) i += 2;
    }
    uint32_t total = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = uint32_t(c - '0');
        else if (c >= 'a' && c <= 'z')
            digit = uint32_t(c - 'a' + 10);
        else if (c >= 'A' && c <= 'Z')
            digit = uint32_t(c - 'A' + 10);
        else
            break;
        if (digit >= base) break;
        total = total * base + digit;
    }
    return int32_t(minus ? 0u - total : total);
}

ProfileDocument::ProfileDocument(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        Line line{std::string(raw), false, {}, {}};
        const std::string_view content = trim(raw);
        if (!content.empty() && content.front() == '[') {
            const std::size_t close = content.rfind(']');
            line.isSection = true;
            line.name = std::string(content.substr(
                1, close == std::string_view::npos || close == 0 ? content.size() - 1 : close - 1));
        } else if (!content.empty()) {
            const std::size_t equals = content.find('=');
            line.name = std::string(trim(content.substr(0, equals)));
            if (equals != std::string_view::npos)
                line.value = std::string(trim(content.substr(equals + 1)));
        }
        lines_.push_back(std::move(line));
    }
}

bool ProfileDocument::findSection(std::string_view section, std::size_t& begin,
                                  std::size_t& end) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!lines_[i].isSection || !sameName(lines_[i].name, section)) continue;
        begin = i + 1;
        end = begin;
        while (end < lines_.size() && !lines_[end].isSection) ++end;
        return true;
    }
    return false;
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const {
    std::size_t begin, end;
    if (!findSection(section, begin, end)) return std::nullopt;
    for (std::size_t i = begin; i < end; ++i) {
        const Line& line = lines_[i];
        if (line.name.empty() || !sameName(line.name, key)) continue;
        std::string text = line.value.value_or("");
        if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
            text.back() == text.front())
            text = text.substr(1, text.size() - 2);
        return text;
    }
    return std::nullopt;
}

int32_t ProfileDocument::integer(std::string_view section, std::string_view key,
                                 int32_t fallback) const {
    const std::optional<std::string> text = value(section, key);
    if (!text || text->empty()) return fallback;
    return profileNumber(*text);
}

std::size_t ProfileDocument::entryCount(std::string_view section) const {
    std::size_t begin, end;
    if (!findSection(section, begin, end)) return 0;
    return std::size_t(std::count_if(lines_.begin() + long(begin), lines_.begin() + long(end),
                                     [](const Line& line) { return !line.name.empty(); }));
}

void ProfileDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    value = trim(value);
    std::string raw;
    raw.reserve(key.size() + 1 + value.size());
    raw.append(key).append(1, '=').append(value);
    Line entry{std::move(raw), false, std::string(key), std::string(value)};
    std::size_t begin, end;
    if (!findSection(section, begin, end)) {
        std::string header(1, '[');
        header.append(section).append(1, ']');
        lines_.push_back(Line{std::move(header), true, std::string(section), {}});
        lines_.push_back(std::move(entry));
        return;
    }
    std::size_t last = begin; // after the section's last entry, before blank lines
    for (std::size_t i = begin; i < end; ++i) {
        if (lines_[i].name.empty()) continue;
        if (sameName(lines_[i].name, key)) {
            lines_[i] = std::move(entry);
            return;
        }
        last = i + 1;
    }
    lines_.insert(lines_.begin() + long(last), std::move(entry));
}

std::string ProfileDocument::text() const {
    std::string out;
    for (const Line& line : lines_) out += line.raw + "\r\n";
    return out;
}

} // namespace sabrith
