// Choosing the full-screen mode for a picture, and where the picture lies
// inside it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace yarnot {

struct DisplayMode {
    uint16_t width, height, bits;
    bool operator==(const DisplayMode&) const = default;
};

// The modes offered one by one, as the enumeration gives them. Only the
// first 64 kept are remembered; with fourByThreeOnly, other shapes are
// skipped.
class ModeList {
public:
    enum { capacity = 64 };
    explicit ModeList(bool fourByThreeOnly) : fourByThreeOnly_(fourByThreeOnly) {}
    // False once the list is full, which ends the enumeration.
    bool Offer(DisplayMode mode);
    const std::vector<DisplayMode>& modes() const { return modes_; }

private:
    bool fourByThreeOnly_;
    std::vector<DisplayMode> modes_;
};

// The smallest mode (by width, then height, then depth) at least as wide as
// the picture, and from there on the first one high enough.
std::optional<DisplayMode> ChooseMode(std::vector<DisplayMode> modes, int width, int height);

std::string NoModeMessage(int width, int height);

// The picture's place in the mode: centred, unless it is drawn into a
// system-memory surface of its own size first.
struct PictureOffset {
    int left, top;
};
PictureOffset CentredOffset(const DisplayMode& mode, int width, int height);

// Where drawing starts in a locked back buffer: the centred place with both
// coordinates rounded down to even.
PictureOffset DrawingStart(PictureOffset offset);

} // namespace yarnot
