#include "sabrith/frame/sheet_texts.h"

#include <cstdio>

namespace sabrith {

std::string gainText(const GainTable& gain) {
    char text[32];
    std::snprintf(text, sizeof text, "x %2.2f", double(largestGain(gain)) / gainUnit);
    return text;
}

std::string displayModeText(const DisplayMode& mode) {
    char text[48];
    std::snprintf(text, sizeof text, "%dx%dx%d", mode.width, mode.height, mode.bitsPerPixel);
    return text;
}

} // namespace sabrith
