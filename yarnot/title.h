// The song title over the picture: taken from the player's window text
// ("Song - Jukora" shows "Song") and, when scrolling, moved left a pixel a
// frame and brought back in at the right edge.
#pragma once

#include <optional>
#include <string>

namespace yarnot {

// The title in a host window's text, or none when "Jukora" does not stand
// at position 4 or later.
std::optional<std::string> ExtractTitle(const std::string& hostText);

class TitleScroll {
public:
    // Takes the title of this frame; a new one starts again at left + 2.
    void Show(const std::string& title, int left);
    int x() const { return x_; }
    // After drawing: one pixel to the left, and in again at the right once
    // the text has left the picture.
    void Step(int left, int width, int textWidth);

private:
    std::string last_;
    int x_ = 0;
};

} // namespace yarnot
