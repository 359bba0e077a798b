// testhost idle: keeps one hidden Wine window alive for a whole test run, so
// that no GUI test pays the desktop's start and close delay.
#include "testhost/commands.h"

#include <windows.h>

namespace testhost {

int runIdle(int, char**) {
    HWND w = CreateWindowExA(0, "STATIC", "testhost idle", 0, 0, 0, 1, 1, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(w);
    return 0;
}

} // namespace testhost
