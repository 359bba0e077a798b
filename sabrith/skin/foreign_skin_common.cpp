#include "sabrith/skin/foreign_skin_common.h"

#include "sabrith/skin/skin_text_values.h"

#include <algorithm>

namespace sabrith {

template <std::size_t count>
std::optional<std::array<int32_t, count>> parseIntegers(std::string_view text) {
    std::array<int32_t, count> values{};
    if (!scanIntegers(text, int(count), values.data())) return std::nullopt;
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
    font->fontHandle = set.createSystemFont({font->faceName, height, weight});
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
