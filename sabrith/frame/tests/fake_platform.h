// A platform that is only memory: it records what the window model asks
// of it (moves, pictures shown, the player's traffic, menus and boxes) and
// answers from plain fields the test sets (cursor, screen, dock candidates,
// whether the window and the full screen can be had). Beside it, a file
// dialog that picks the path a test set, or nothing.
#pragma once

#include "sabrith/file_dialog.h"
#include "sabrith/frame/platform.h"

#include <string>
#include <vector>

namespace sabrith::test {

struct FakePlatform final : Platform {
    std::vector<std::string> calls;
    int presents = 0;
    std::vector<Rect> moves;
    std::vector<std::optional<std::vector<Rect>>> shapes;
    std::vector<std::string> fed;
    std::vector<int> commands;
    std::vector<uint32_t> forwarded;
    std::vector<MenuState> menus;
    std::vector<std::string> abouts;
    int quits = 0;
    bool createWorks = true;
    bool enterWorks = true;
    bool topmost = false;
    Point cursor;
    Size screen{1024, 768};
    DockCandidates candidates{std::nullopt, std::nullopt, std::nullopt, Rect{0, 0, 1024, 768}};
    double clock = 0;

    bool enterFullScreen(int w, int h, int) override {
        calls.push_back("enter full screen");
        screen = {w, h};
        return enterWorks;
    }
    void leaveFullScreen() override {
        calls.push_back("leave full screen");
        screen = {1024, 768};
    }
    void setTopmost(bool on) override { topmost = on; }
    std::unique_ptr<PixelStorage> pixelStorage() override {
        return std::make_unique<MemoryPixels>();
    }
    double nowMs() override { return clock += 2; }
    std::vector<OfferedMode> offeredDisplayModes() override {
        return {{{320, 200, 32}, pixelFormatRgb}, {{640, 480, 32}, pixelFormatRgb}};
    }
    bool createWindow(const Rect&) override {
        calls.push_back("create");
        return createWorks;
    }
    void startWindow() override { calls.push_back("start"); }
    void destroyWindow() override { calls.push_back("destroy"); }
    void* windowHandle() override { return this; }
    void moveWindow(const Rect& r) override { moves.push_back(r); }
    void setWindowShape(const std::optional<std::vector<Rect>>& shape) override {
        shapes.push_back(shape);
    }
    void present(const DibImage&, int, int, bool) override { ++presents; }
    Size screenSize() override { return screen; }
    std::optional<Rect> dockCandidate(int i) override { return candidates[std::size_t(i)]; }
    void setCursor(CursorKind) override {}
    void captureMouse() override { calls.push_back("capture"); }
    void releaseMouse() override { calls.push_back("release"); }
    Point cursorPos() override { return cursor; }
    void postQuit() override { ++quits; }
    void minimizeToTray() override { calls.push_back("minimize"); }
    void restoreFromTray() override { calls.push_back("restore"); }
    void showMenu(const MenuState& state, bool, Point) override { menus.push_back(state); }
    void openAbout(const std::string& text) override { abouts.push_back(text); }
    void openSheet() override { calls.push_back("sheet"); }
    void closeSheet() override { calls.push_back("close sheet"); }
    void feedDroppedFile(const std::string& path) override { fed.push_back(path); }
    void sendPlayerCommand(int command) override { commands.push_back(command); }
    void forwardKey(bool, uintptr_t key, intptr_t) override { forwarded.push_back(uint32_t(key)); }
};

struct FakeChooser final : FileChooser {
    std::string next; // empty: the dialog is cancelled
    bool choose(bool, FileRequest& request) override {
        if (next.empty()) return false;
        request.path = next;
        return true;
    }
};

} // namespace sabrith::test
