// printf-style text into one static 1,024-byte buffer, for message boxes and
// the preset list; each call overwrites the text of the one before.
#pragma once

namespace fennick {

constexpr int formatTextSize = 1024;

// Always terminated; longer texts are cut to 1,023 characters.
const char* formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace fennick
