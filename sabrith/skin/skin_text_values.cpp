#include "sabrith/skin/skin_text_values.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace sabrith {

namespace {

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool scanOne(std::string_view text, std::size_t& at, int32_t& value) {
    while (at < text.size() && isBlank(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    const std::size_t digits = at;
    int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        magnitude = std::min<int64_t>(magnitude * 10 + (text[at] - '0'), int64_t(1) << 40);
    if (at == digits) return false;
    const int64_t signedValue = negative ? -magnitude : magnitude;
    value = int32_t(std::clamp<int64_t>(signedValue, std::numeric_limits<int32_t>::min(),
                                        std::numeric_limits<int32_t>::max()));
    return true;
}

} // namespace

bool scanIntegers(std::string_view text, int count, int32_t* out) {
    int32_t values[8] = {};
    if (count < 1 || count > 8) return false;
    std::size_t at = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (at >= text.size() || text[at++] != ',')) return false;
        if (!scanOne(text, at, values[i])) return false;
    }
    std::copy_n(values, count, out);
    return true;
}

bool keywordIs(std::string_view value, std::string_view keyword, std::size_t width) {
    value = value.substr(0, std::min(value.size(), width));
    keyword = keyword.substr(0, std::min(keyword.size(), width));
    return value.size() == keyword.size() &&
           std::equal(value.begin(), value.end(), keyword.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace sabrith
