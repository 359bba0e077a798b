// The property sheet on a thread of its own: the effect's pages first, then
// "Amp", "Rendering" and "Display", which edit the running window. Whatever
// changes the window's structure or the effect runs on the window's thread.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <vector>

namespace sabrith {

class WindowModel;
class WinPlatform;

class SheetThread {
public:
    SheetThread(WindowModel& model, WinPlatform& platform);
    ~SheetThread() { close(); }
    SheetThread(const SheetThread&) = delete;
    SheetThread& operator=(const SheetThread&) = delete;

    // On the window's thread: opens the sheet unless one is open.
    void open();
    // On the window's thread: closes an open sheet and waits for its thread,
    // serving the messages the sheet sends this thread meanwhile.
    void close();

private:
    static DWORD WINAPI run(LPVOID self);

    WindowModel& model_;
    WinPlatform& platform_;
    std::atomic<bool> mark_{false};
    std::atomic<HWND> sheetWindow_{nullptr};
    HANDLE thread_ = nullptr;
    std::vector<PROPSHEETPAGEA> pages_;
};

} // namespace sabrith
