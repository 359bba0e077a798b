#include "yarnot/title.h"

namespace yarnot {

std::optional<std::string> ExtractTitle(const std::string& hostText) {
    size_t at = hostText.find("Jukora");
    // The text before the name ends in " - ", which is not part of the title.
    if (at == std::string::npos || at < 4) return std::nullopt;
    return hostText.substr(0, at - 3);
}

void TitleScroll::Show(const std::string& title, int left) {
    if (title == last_) return;
    last_ = title;
    x_ = left + 2;
}

void TitleScroll::Step(int left, int width, int textWidth) {
    --x_;
    if (x_ - 1 < left - textWidth) x_ = left + width;
}

} // namespace yarnot
