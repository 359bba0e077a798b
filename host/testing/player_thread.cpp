#include "host/testing/player_thread.h"

namespace jk::testing {

PlayerThread::PlayerThread(WNDPROC procedure, const char* className, bool startNow)
    : procedure_(procedure), className_(className) {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    go_ = CreateEventA(nullptr, TRUE, startNow, nullptr);
    thread_ = CreateThread(nullptr, 0, main, this, 0, nullptr);
    WaitForSingleObject(ready_, INFINITE);
}

PlayerThread::~PlayerThread() {
    quit();
    CloseHandle(thread_);
    CloseHandle(ready_);
    CloseHandle(go_);
}

void PlayerThread::startPumping() {
    SetEvent(go_);
}

void PlayerThread::quit() {
    if (done_) return;
    done_ = true;
    startPumping();
    PostMessageA(window_, WM_CLOSE, 0, 0);
    WaitForSingleObject(thread_, INFINITE);
}

DWORD WINAPI PlayerThread::main(LPVOID self) {
    auto* p = static_cast<PlayerThread*>(self);
    WNDCLASSA wc{};
    wc.lpfnWndProc = p->procedure_;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = p->className_;
    RegisterClassA(&wc);
    p->window_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
    SetEvent(p->ready_);
    WaitForSingleObject(p->go_, INFINITE);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_CLOSE) break;
        DispatchMessageA(&msg);
    }
    DestroyWindow(p->window_);
    return 0;
}

} // namespace jk::testing
