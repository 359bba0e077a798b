// Drives the windows a plug-in opens (dialogs, forms, module windows) from a
// second thread while the plug-in's own call runs its modal loop: waits for
// a window, reads its controls, sets them, clicks, and takes screenshots.
//
// A script is a list of actions separated by ';':
//   wait [TITLE]        wait (10 s at most) for a new visible top-level window
//                       of this process, with that title if given; it becomes
//                       the current window
//   use TITLE           make the visible window of this process with that title
//                       the current one again, new or not (10 s at most)
//   dump                print the current window (its rectangle and client
//                       rectangle on the screen) and its controls as a JSON line
//                       starting with "window "
//   set ID TEXT         set a control's text
//   check ID 0|1        set a check box or radio button, as a click would
//   click ID            click a button
//   select ID INDEX     pick an entry of a combo box or list box, with notification
//   trackbar ID POS     move a trackbar, with the scroll notification
//   key ID VK [alt]     post a key press (virtual-key code VK) to a control, or to
//                       the current window itself for ID 0; "alt" holds Alt
//   mouse left|right|double|move X Y
//                       put the cursor on the client point (X, Y) of the current
//                       window and post that button's down and up messages (double:
//                       down, up, double-click, up; move: one mouse move) to the
//                       window a click there reaches, in its client coordinates
//   drag X0 Y0 X1 Y1    hold the left button from one client point to another,
//                       the cursor following in steps with mouse moves
//   drop PATH...        post the current window WM_DROPFILES with these paths
//   post MSG WP LP      post the current window a message (numbers as in C)
//   send MSG WP LP      send it one
//   setpos X Y W H FLAGS
//                       SetWindowPos on the current window with exactly these flags
//   move X Y            move the current window's top-left corner
//   shot FILE.bmp       save the current window as it is on screen (or FILE.png)
//   sleep MS            wait
//   answers MS          fail unless the current window's thread answers a
//                       message within MS milliseconds
//   close               send the current window WM_CLOSE
// (testhost vis adds "player KEY=VALUE,...", which changes the player's answers.)
// A control ID is looked for among all descendants of the current window, and
// select, check and trackbar notify the control's parent, as a real change
// would (in a property sheet that is the page, not the sheet).
// "dump" gives trackbars and up-down controls their position and range, tab
// controls their tabs' texts, list views their columns ([title, width]) and
// rows (the texts of every column), and a pop-up menu window (class "#32768")
// its menu's items.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testhost {

class WindowDriver {
public:
    // Starts the script on its own thread; windows that exist now are not "new".
    void start(const std::string& script);
    // Waits for the script to end; returns false when an action failed.
    bool finish(DWORD timeoutMs = 30000);
    const std::vector<std::string>& errors() const { return errors_; }
    const std::vector<std::string>& screenshots() const { return shots_; }
    // Actions of the caller's own, tried first: nullopt when the words are
    // not one of them, else whether it succeeded.
    std::function<std::optional<bool>(const std::vector<std::string>&)> extraAction;

private:
    static DWORD WINAPI threadMain(LPVOID self);
    void run();
    bool perform(const std::vector<std::string>& words);
    bool mouse(const std::string& button, int x, int y);
    bool drag(POINT from, POINT to);
    bool drop(const std::vector<std::string>& paths);
    HWND control(const std::string& id);

    std::string script_;
    HANDLE thread_ = nullptr;
    HWND current_ = nullptr;
    std::vector<HWND> known_;
    std::vector<std::string> errors_, shots_;
};

// Saves the screen area of a window as a 24-bit BMP (PNG for ".png").
bool saveWindowShot(HWND window, const std::string& path);

// Prints a window and its child controls as one JSON line: "window {...}".
void dumpWindow(HWND window);

} // namespace testhost
