// What the two foreign skin readers share: the number lists their values
// are written in, their fonts, and the colours they derive.
#pragma once

#include "sabrith/dib_image.h"
#include "sabrith/skin/skin_set.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sabrith {

// `count` integers separated by commas, blanks allowed before each number
// ("10,20, 30,  40"), as a C scan with "%d, %d, ..." reads them: text after
// the last number is ignored; fewer numbers give nullopt. Numbers past the
// 32-bit range are clamped to it.
template <std::size_t count>
std::optional<std::array<int32_t, count>> parseIntegers(std::string_view text);

// A system font element for a foreign skin: charWidth 5, charHeight the
// height, the face cut to 31 characters. nullptr when the name is taken or
// no such font can be made (the gizmo then goes without one).
SkinFont* makeForeignFont(SkinSet& set, std::string_view name, const std::string& faceName,
                          int32_t height, int32_t weight, uint32_t textColour, uint32_t backColour);

// The text's background: 64 added to each component of the text colour,
// modulo 256, so that the key colour never equals the text.
uint32_t shiftedBackColour(uint32_t colour);

// The image's top-left pixel as a Windows colour value, or `fallback`
// without pixels.
uint32_t topLeftColour(const DibImage& image, uint32_t fallback);

} // namespace sabrith
