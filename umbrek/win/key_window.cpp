#include "key_window.h"

#include "host/host_window.h"
#include "umbrek/scene.h"

namespace umbrek {

namespace {

constexpr char className[] = "ZephrinLite";
constexpr int clientWidth = 288, clientHeight = 256;

struct KeyWindow {
    HWND window = nullptr;
    HWND host = nullptr;
    HINSTANCE plugin = nullptr;
    bool classRegistered = false;
    // Set while closeKeyWindow destroys the window: the module is being
    // stopped, and a quit message would end the host's loop (under Morsk,
    // every child's) on top of that.
    bool closingFromStop = false;
};
KeyWindow keys;

LRESULT CALLBACK keyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
    case WM_ERASEBKGND: return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        if (window == keys.window) keys.window = nullptr;
        if (!keys.closingFromStop) PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) PostMessageA(window, WM_CLOSE, 0, 0);
        if (wParam == 'S') saveScreenshot();
        return jkForwardKey(keys.host, message, wParam, lParam);
    case WM_KEYUP: return jkForwardKey(keys.host, message, wParam, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void unregisterClass() {
    if (keys.classRegistered) UnregisterClassA(className, keys.plugin);
    keys = KeyWindow{};
}

} // namespace

HWND openKeyWindow(HINSTANCE plugin, HWND host, const char* title) {
    keys = KeyWindow{};
    keys.host = host;
    keys.plugin = plugin;
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = keyWindowProc;
    wc.hInstance = plugin;
    wc.lpszClassName = className;
    if (!RegisterClassA(&wc)) {
        MessageBoxA(host, "Error registering window class", "blah", MB_OK);
        return nullptr;
    }
    keys.classRegistered = true;
    keys.window = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW, className, title,
                                  WS_VISIBLE | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                                  clientWidth, clientHeight, host, nullptr, plugin, nullptr);
    if (!keys.window) {
        MessageBoxA(host, "Error creating window", "hmmm", MB_OK);
        unregisterClass();
        return nullptr;
    }
    // The outer size that leaves the client area at 288 x 256, at the corner.
    RECT client;
    GetClientRect(keys.window, &client);
    MoveWindow(keys.window, 0, 0, 2 * clientWidth - client.right, 2 * clientHeight - client.bottom,
               TRUE);
    ShowWindow(keys.window, SW_SHOW);
    return keys.window;
}

bool keyWindowOpen() {
    return keys.window != nullptr && IsWindow(keys.window);
}

void closeKeyWindow() {
    if (keys.window && IsWindow(keys.window)) {
        keys.closingFromStop = true;
        DestroyWindow(keys.window);
    }
    unregisterClass();
}

} // namespace umbrek
