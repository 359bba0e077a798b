// The board's pop-up: borderless, owned by the window the screen was opened
// for, covering that window's monitor and not topmost, so that message boxes
// still show above it. It lives on the calling thread and is served by the
// host's message loop. Every swap and repaint draws the front buffer scaled by
// the largest whole factor that fits, centred on black, so that each screen
// pixel is exactly one buffer pixel. Keys and close requests go on to the
// owner, which keeps handling the user's keys.
#include "umbrek/glide/presenter.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace umbrek::glide {

namespace {

constexpr wchar_t className[] = L"JukoraGlideScreen";

struct PopUp {
    HWND window = nullptr;
    HWND owner = nullptr;
    HMODULE module = nullptr;
    Picture front;
};
PopUp popUp;

struct Placement {
    int scale, x, y;
};

Placement place(int clientWidth, int clientHeight) {
    const Picture& p = popUp.front;
    const int scale = std::max(1, std::min(clientWidth / p.width, clientHeight / p.height));
    return {scale, (clientWidth - p.width * scale) / 2, (clientHeight - p.height * scale) / 2};
}

void draw(HDC dc) {
    const Picture& p = popUp.front;
    if (!p.pixels) return;
    RECT client;
    GetClientRect(popUp.window, &client);
    const Placement at = place(client.right, client.bottom);
    const int w = p.width * at.scale, h = p.height * at.scale;
    // The border, in four bands around the picture.
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT bands[4] = {{0, 0, client.right, at.y},
                           {0, at.y + h, client.right, client.bottom},
                           {0, at.y, at.x, at.y + h},
                           {at.x + w, at.y, client.right, at.y + h}};
    for (const RECT& r : bands)
        if (r.right > r.left && r.bottom > r.top) FillRect(dc, &r, black);
    struct {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = p.pitch;
    info.header.biHeight = -p.height; // top row first
    info.header.biPlanes = 1;
    info.header.biBitCount = 16;
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = 0xF800;
    info.masks[1] = 0x07E0;
    info.masks[2] = 0x001F;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, at.x, at.y, w, h, 0, 0, p.width, p.height, p.pixels,
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
}

LRESULT CALLBACK popUpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CLOSE:
        if (popUp.owner && IsWindow(popUp.owner))
            PostMessageW(popUp.owner, message, wParam, lParam);
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (window == popUp.window) draw(dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        // The pop-up dies with its owner; later swaps then draw nothing.
        if (window == popUp.window) popUp.window = nullptr;
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The module holding this code (the plug-in DLL, or the program).
HMODULE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&popUpProc), &module);
    return module;
}

} // namespace

// Without a window to follow the board stays headless.
bool presenterOpen(FxWindow owner, const Picture& front) {
    presenterClose();
    HWND ownerWindow = reinterpret_cast<HWND>(owner);
    if (!ownerWindow) return true;
    if (!IsWindow(ownerWindow)) return false;
    popUp.module = thisModule();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(popUp.module, className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = popUpProc;
        wc.hInstance = popUp.module;
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc)) return false;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(ownerWindow, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& r = monitor.rcMonitor;
    std::wstring title(size_t(GetWindowTextLengthW(ownerWindow)) + 1, L'\0');
    title.resize(size_t(GetWindowTextW(ownerWindow, title.data(), int(title.size()))));
    title += L" (Glide)";
    popUp.owner = ownerWindow;
    popUp.front = front;
    popUp.window =
        CreateWindowExW(0, className, title.c_str(), WS_POPUP, r.left, r.top, r.right - r.left,
                        r.bottom - r.top, ownerWindow, nullptr, popUp.module, nullptr);
    if (!popUp.window) {
        presenterClose();
        return false;
    }
    ShowWindow(popUp.window, SW_SHOW);
    UpdateWindow(popUp.window);
    return true;
}

void presenterShow() {
    if (!popUp.window) return;
    if (HDC dc = GetDC(popUp.window)) {
        draw(dc);
        ReleaseDC(popUp.window, dc);
    }
}

void presenterClose() {
    if (popUp.window && IsWindow(popUp.window)) DestroyWindow(popUp.window);
    // A plug-in may be unloaded: its class must not outlive its code.
    if (popUp.module) UnregisterClassW(className, popUp.module);
    popUp = PopUp{};
}

} // namespace umbrek::glide
