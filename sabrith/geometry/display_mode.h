// Window mode and exclusive full screen, and the list of display modes the
// full screen may use. The display itself (DirectDraw on Windows) is behind
// `ScreenModes`, so that the order of its calls and the fall-back when a
// switch fails are the same everywhere and testable with a fake.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace sabrith {

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    bool operator==(const DisplayMode&) const = default;
};

constexpr int windowMode = 0;
constexpr int fullScreenMode = 1;

class ScreenModes {
public:
    virtual ~ScreenModes() = default;
    // Takes the display exclusively at that mode; false when any step
    // failed (what was taken is given back by leaveFullScreen).
    virtual bool enterFullScreen(int width, int height, int bitsPerPixel) = 0;
    // Back to normal cooperation, the display's own mode restored; safe
    // when nothing is held.
    virtual void leaveFullScreen() = 0;
    // Into the topmost band or out of it, without moving or sizing.
    virtual void setTopmost(bool topmost) = 0;
};

struct ModeState {
    int mode = windowMode;
    int onTop = 0; // the setting "OnTop", 0 or 1
};

// Switches to `requested` (0 window, 1 full screen). Entering full screen
// stores OnTop = 1 for good, so the window stays on top after coming back;
// a failed switch falls back to window mode without a word. The caller then
// drops its dock target and lays the window out for the new mode.
void switchMode(ModeState& state, int requested, const DisplayMode& resolution,
                ScreenModes& screen);

// Applies the setting OnTop.
void applyOnTop(ModeState& state, int onTop, ScreenModes& screen);

// One mode as the display enumerates it, with its pixel format's flags word.
struct OfferedMode {
    DisplayMode mode;
    uint32_t pixelFormatFlags = 0;
};

constexpr uint32_t pixelFormatRgb = 64;
constexpr int maxDisplayModes = 100;

struct DisplayModeList {
    std::vector<DisplayMode> rows;
    bool found = false; // a row equals the setting
};

// Keeps the modes whose flags are exactly RGB (palette modes drop out), at
// most 100, in the order offered. When the setting is not among them and
// the list is not empty, the setting becomes the first row.
DisplayModeList filterDisplayModes(std::span<const OfferedMode> offered, DisplayMode& setting);

// Row index of the setting in the list, -1 when absent.
int displayModeRow(const DisplayModeList& list, const DisplayMode& setting);

} // namespace sabrith
