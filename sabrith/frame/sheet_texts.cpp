#include "sabrith/frame/sheet_texts.h"

#include <cstdio>

namespace sabrith {

int effectPageCount(int effectId) {
    switch (effectId) {
    case 1: return 2;
    case 2: return 4;
    case 3: return 1;
    default: return 0;
    }
}

int sheetPageCount(int effectId) {
    return effectPageCount(effectId) + 3;
}

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
