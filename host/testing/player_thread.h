// A player's main window for tests: a message-only window on a thread of its
// own, as the player's window is to a visualization's thread. The window
// procedure is the test's. With startNow false the thread serves nothing until
// startPumping(), so that whatever is sent or posted before then queues up
// exactly as it would behind a busy player.
#pragma once

#include <windows.h>

namespace jk::testing {

class PlayerThread {
public:
    PlayerThread(WNDPROC procedure, const char* className, bool startNow = true);
    ~PlayerThread();
    PlayerThread(const PlayerThread&) = delete;
    PlayerThread& operator=(const PlayerThread&) = delete;

    HWND window() const { return window_; }
    void startPumping();
    // Closes the window and waits for its thread; a second call does nothing.
    void quit();

private:
    static DWORD WINAPI main(LPVOID self);

    WNDPROC procedure_;
    const char* className_;
    HANDLE ready_ = nullptr, go_ = nullptr, thread_ = nullptr;
    HWND window_ = nullptr;
    bool done_ = false;
};

} // namespace jk::testing
