#include "sabrith/geometry/display_mode.h"

#include <algorithm>

namespace sabrith {

void applyOnTop(ModeState& state, int onTop, ScreenModes& screen) {
    state.onTop = onTop ? 1 : 0;
    screen.setTopmost(state.onTop != 0);
}

void switchMode(ModeState& state, int requested, const DisplayMode& resolution,
                ScreenModes& screen) {
    if (state.mode == fullScreenMode) {
        screen.leaveFullScreen();
        state.mode = windowMode;
    }
    if (requested == fullScreenMode) {
        state.mode = fullScreenMode;
        applyOnTop(state, 1, screen);
        if (screen.enterFullScreen(resolution.width, resolution.height, resolution.bitsPerPixel))
            return;
        screen.leaveFullScreen();
    }
    state.mode = windowMode;
    applyOnTop(state, state.onTop, screen);
}

DisplayModeList filterDisplayModes(std::span<const OfferedMode> offered, DisplayMode& setting) {
    DisplayModeList list;
    for (const OfferedMode& m : offered) {
        if (int(list.rows.size()) == maxDisplayModes) break;
        if (m.pixelFormatFlags != pixelFormatRgb) continue;
        list.rows.push_back(m.mode);
        if (m.mode == setting) list.found = true;
    }
    if (!list.found && !list.rows.empty()) setting = list.rows.front();
    return list;
}

int displayModeRow(const DisplayModeList& list, const DisplayMode& setting) {
    const auto it = std::find(list.rows.begin(), list.rows.end(), setting);
    return it == list.rows.end() ? -1 : int(it - list.rows.begin());
}

} // namespace sabrith
