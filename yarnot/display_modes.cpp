#include "yarnot/display_modes.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace yarnot {

bool ModeList::Offer(DisplayMode mode) {
    if (modes_.size() >= capacity) return false;
    if (!fourByThreeOnly_ || 4 * mode.height == 3 * mode.width) modes_.push_back(mode);
    return modes_.size() < capacity;
}

std::optional<DisplayMode> ChooseMode(std::vector<DisplayMode> modes, int width, int height) {
    std::sort(modes.begin(), modes.end(), [](const DisplayMode& a, const DisplayMode& b) {
        return std::tie(a.width, a.height, a.bits) < std::tie(b.width, b.height, b.bits);
    });
    auto wide = std::find_if(modes.begin(), modes.end(),
                             [&](const DisplayMode& m) { return m.width >= width; });
    auto high =
        std::find_if(wide, modes.end(), [&](const DisplayMode& m) { return m.height >= height; });
    if (high == modes.end()) return std::nullopt;
    return *high;
}

std::string NoModeMessage(int width, int height) {
    char text[96];
    std::snprintf(text, sizeof text, "No video mode that satisfies\n%d x %d x %d bit available!",
                  width, height, 32);
    return text;
}

PictureOffset CentredOffset(const DisplayMode& mode, int width, int height) {
    return {(mode.width - width) / 2, (mode.height - height) / 2};
}

PictureOffset DrawingStart(PictureOffset offset) {
    return {offset.left & ~1, offset.top & ~1};
}

} // namespace yarnot
