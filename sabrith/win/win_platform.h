// The window model's world on Windows: the window and its class, the tray
// icon, both timers, the menu and the about box, blits to the window or the
// full-screen surface, the docking hook on the player's threads, and the
// player's window through the host helpers.
#pragma once

#include "sabrith/frame/platform.h"

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <functional>
#include <vector>

struct IDirectDraw;
struct IDirectDrawSurface;

namespace sabrith {

class WindowModel;
class SheetThread;

// Private messages of the window: a dock target's new rectangle from the
// hook (wParam x and y, lParam width and height, 16 bits each), and a
// closure to run on the window's thread (lParam its address, sent).
constexpr UINT followMessage = WM_APP + 1;
constexpr UINT runClosureMessage = WM_APP + 2;

class WinPlatform final : public Platform {
public:
    WinPlatform(HINSTANCE instance, HWND host, const char* caption);
    ~WinPlatform() override;
    WinPlatform(const WinPlatform&) = delete;
    WinPlatform& operator=(const WinPlatform&) = delete;

    // The model the window procedure drives; set before create().
    void attach(WindowModel* model, SheetThread* sheet) {
        model_ = model;
        sheet_ = sheet;
    }
    HWND window() const { return window_; }
    HINSTANCE instance() const { return instance_; }
    const char* caption() const { return caption_; }
    // Runs `work` on the window's thread and waits for it (at once when
    // called there, not at all when the window is gone).
    void runOnWindowThread(const std::function<void()>& work);
    // Closes the about box when one is open.
    void closeAbout();

    std::unique_ptr<PixelStorage> pixelStorage() override;
    double nowMs() override;
    std::vector<OfferedMode> offeredDisplayModes() override;
    bool enterFullScreen(int width, int height, int bitsPerPixel) override;
    void leaveFullScreen() override;
    void setTopmost(bool topmost) override;

    bool createWindow(const Rect& rect) override;
    void startWindow() override;
    void destroyWindow() override;
    void* windowHandle() override { return window_; }
    void moveWindow(const Rect& rect) override;
    void setWindowShape(const std::optional<std::vector<Rect>>& shape) override;
    void present(const DibImage& picture, int width, int height, bool fullScreen) override;
    Size screenSize() override;
    std::optional<Rect> dockCandidate(int index) override;
    void setCursor(CursorKind cursor) override;
    void captureMouse() override;
    void releaseMouse() override;
    Point cursorPos() override;
    void postQuit() override;
    void minimizeToTray() override;
    void restoreFromTray() override;
    void showMenu(const MenuState& state, bool atCursor, Point client) override;
    void openAbout(const std::string& fpsText) override;
    void openSheet() override;
    void closeSheet() override;
    void feedDroppedFile(const std::string& path) override;
    void sendPlayerCommand(int command) override;
    void forwardKey(bool down, uintptr_t wParam, intptr_t lParam) override;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK hookProc(int code, WPARAM wp, LPARAM lp);
    static INT_PTR CALLBACK aboutProc(HWND box, UINT message, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT message, WPARAM wp, LPARAM lp);
    void dropFiles(HDROP drop);
    void installHooks();
    void removeHooks();

    HINSTANCE instance_;
    HWND host_;
    const char* caption_;
    WindowModel* model_ = nullptr;
    SheetThread* sheet_ = nullptr;
    HWND window_ = nullptr;
    bool classRegistered_ = false;
    bool trayAdded_ = false;
    HWND about_ = nullptr;
    std::vector<HHOOK> hooks_;
    // The candidates' handles as last looked up, read by the hook.
    std::atomic<HWND> candidates_[dockCandidateCount]{};
    HMODULE ddrawLibrary_ = nullptr;
    double msPerCount_ = 0; // the performance counter's period
    IDirectDraw* directDraw_ = nullptr;
    IDirectDrawSurface* primary_ = nullptr;
};

} // namespace sabrith
