// The value forms of skin files: numbers separated by commas, as the files'
// readers scan them ("%d,%d" and "%d, %d, %d" read alike: blanks before a
// number are skipped, the comma must follow the number at once).
#pragma once

#include <cstdint>
#include <string_view>

namespace sabrith {

// true when the text starts with `count` such numbers; values past the
// 32-bit range are held at its ends. `out` is written only on success.
bool scanIntegers(std::string_view text, int count, int32_t* out);

// Keywords compare without case over at most `width` characters.
bool keywordIs(std::string_view value, std::string_view keyword, std::size_t width = 30);

} // namespace sabrith
