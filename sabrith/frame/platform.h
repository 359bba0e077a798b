// Everything the window model asks of the world: the window and its
// pixels on screen, the mouse, timers and tray, the menus and boxes, the
// full-screen display, and the player's window. The Win32 shell implements
// it; tests use a fake that records the calls.
#pragma once

#include "sabrith/dib_image.h"
#include "sabrith/geometry/display_mode.h"
#include "sabrith/geometry/window_geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sabrith {

struct Point {
    int x = 0;
    int y = 0;
};

// Which items of the pop-up menu carry marks. In full screen neither
// "Windowed" nor "Always On Top" is marked, and the latter is disabled.
struct MenuState {
    int effectItem = 0; // the radio-marked effect item, 0 none
    bool windowed = false;
    bool onTopEnabled = false;
    bool onTopChecked = false;
    bool useSkinChecked = false;
    bool operator==(const MenuState&) const = default;
};

class Platform : public ScreenModes {
public:
    // Where the images keep their pixels (a DIB section on Windows).
    virtual std::unique_ptr<PixelStorage> pixelStorage() = 0;
    // Milliseconds with their fraction: a frame takes well under one, and
    // the drawing time adds up frame by frame.
    virtual double nowMs() = 0;
    // The display modes the full screen may use, as the display offers them.
    virtual std::vector<OfferedMode> offeredDisplayModes() = 0;

    // Registers the class, creates the window at `rect` and adds the tray
    // icon; false when no window could be made.
    virtual bool createWindow(const Rect& rect) = 0;
    // Installs the docking hook, shows the window in front, starts both timers.
    virtual void startWindow() = 0;
    // Stops the timers, removes the tray icon and the hook, destroys the
    // window (its destroy message comes back through onDestroy) and
    // unregisters the class, in this order.
    virtual void destroyWindow() = 0;
    // The owner of dialogs: the window, or none.
    virtual void* windowHandle() = 0;

    virtual void moveWindow(const Rect& rect) = 0;
    // The window's region in window coordinates; none: rectangular.
    virtual void setWindowShape(const std::optional<std::vector<Rect>>& shape) = 0;
    // Copies the picture to the window (or the full-screen surface) at that
    // size, never past the picture's own (a minimised window has 4 x 4).
    virtual void present(const DibImage& picture, int width, int height, bool fullScreen) = 0;
    virtual Size screenSize() = 0;
    // Dock candidate 0-3 (main window, playlist editor, equalizer, desktop)
    // when it exists and is visible.
    virtual std::optional<Rect> dockCandidate(int index) = 0;

    virtual void setCursor(CursorKind cursor) = 0;
    virtual void captureMouse() = 0;
    virtual void releaseMouse() = 0;
    virtual Point cursorPos() = 0; // screen

    virtual void postQuit() = 0;
    virtual void minimizeToTray() = 0;
    virtual void restoreFromTray() = 0;
    // At a client point, or (from the tray) at the cursor, right- and bottom-aligned.
    virtual void showMenu(const MenuState& state, bool atCursor, Point client) = 0;
    // The modeless about box, when none is open.
    virtual void openAbout(const std::string& fpsText) = 0;
    // The property sheet on its own thread, when none is open.
    virtual void openSheet() = 0;
    // Closes an open sheet (its changes stay) and waits until its thread has
    // ended; nothing when none is open.
    virtual void closeSheet() = 0;

    // The player: a dropped music file, a button's command, a key.
    virtual void feedDroppedFile(const std::string& path) = 0;
    virtual void sendPlayerCommand(int command) = 0;
    virtual void forwardKey(bool down, uintptr_t wParam, intptr_t lParam) = 0;
};

} // namespace sabrith
