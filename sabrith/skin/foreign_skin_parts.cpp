#include "sabrith/skin/foreign_skin_parts.h"

#include <algorithm>

namespace sabrith {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// One number at `at`, blanks first; false when there are no digits.
bool scanInteger(std::string_view text, std::size_t& at, int32_t& out) {
    while (at < text.size() && isBlank(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    const std::size_t digits = at;
    int64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = std::min<int64_t>(value * 10 + (text[at] - '0'), int64_t(1) << 32);
    if (at == digits) return false;
    value = negative ? -value : value;
    out = int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
    return true;
}

} // namespace

template <std::size_t count>
std::optional<std::array<int32_t, count>> parseIntegers(std::string_view text) {
    std::array<int32_t, count> values{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            if (at >= text.size() || text[at] != ',') return std::nullopt;
            ++at;
        }
        if (!scanInteger(text, at, values[i])) return std::nullopt;
    }
    return values;
}

template std::optional<std::array<int32_t, 3>> parseIntegers<3>(std::string_view);
template std::optional<std::array<int32_t, 4>> parseIntegers<4>(std::string_view);

SkinFont* makeForeignFont(SkinSet& set, std::string_view name, const std::string& faceName,
                          int32_t height, int32_t weight, uint32_t textColour,
                          uint32_t backColour) {
    SkinFont* font = set.createFont(name);
    if (!font) return nullptr;
    font->fontKind = 1;
    font->charWidth = 5;
    font->charHeight = height;
    font->faceName = faceName.substr(0, 31);
    font->textColour = textColour;
    font->backColour = backColour;
    font->fontHandle = set.services.fonts.createFont({font->faceName, height, weight});
    if (!font->fontHandle) {
        set.discardElement(font);
        return nullptr;
    }
    return font;
}

uint32_t shiftedBackColour(uint32_t colour) {
    uint32_t back = 0;
    for (int shift = 0; shift < 24; shift += 8) back |= (((colour >> shift) + 64) & 0xFF) << shift;
    return back;
}

uint32_t topLeftColour(const DibImage& image, uint32_t fallback) {
    if (!image.valid()) return fallback;
    // Pixels are 0x00RRGGBB, colour values 0x00BBGGRR: the swap is its own
    // inverse.
    return pixelFromColor(image.pixels()[0] & 0xFFFFFF);
}

} // namespace sabrith
