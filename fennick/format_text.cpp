#include "fennick/format_text.h"

#include <cstdarg>
#include <cstdio>

namespace fennick {

const char* formatText(const char* format, ...) {
    static char text[formatTextSize];
    va_list args;
    va_start(args, format);
    if (std::vsnprintf(text, sizeof text, format, args) < 0) text[0] = '\0';
    va_end(args);
    return text;
}

} // namespace fennick
