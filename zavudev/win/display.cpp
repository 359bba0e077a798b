#include "zavudev/win/display.h"

#include "host/host_window.h"
#include "zavudev/loudness.h"

namespace zavudev {

namespace {

const char windowClass[] = "zzzz";

// The one display: one module of the plug-in runs at a time.
Display* current = nullptr;

struct PictureInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

static_assert(sizeof(ColourEntry) == sizeof(RGBQUAD), "colour entries are RGBQUADs");

void errorBox(VisModule* module, const char* text) {
    MessageBoxA(module->hostWindow, text, "Error", MB_OK | MB_ICONERROR);
}

void blit(const Display& d, HDC target) {
    if (d.memoryDc) BitBlt(target, 0, 0, pictureWidth, pictureHeight, d.memoryDc, 0, 0, SRCCOPY);
}

// The menu opens where the mouse was clicked, which the message gives in
// client coordinates and the menu wants on the screen.
void speedMenu(HWND window, LPARAM clickAt) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    AppendMenuA(menu, MF_STRING, 0, "speed");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    const char* labels[] = {"1", "2", "3", "4", "5", "6"};
    for (UINT_PTR n = 1; n <= 6; ++n) AppendMenuA(menu, MF_STRING, n, labels[n - 1]);
    POINT at{short(LOWORD(clickAt)), short(HIWORD(clickAt))};
    ClientToScreen(window, &at);
    int command = int(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, window, nullptr));
    DestroyMenu(menu);
    if (current && current->beatThreshold)
        *current->beatThreshold = thresholdAfterCommand(*current->beatThreshold, command);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
    case WM_ERASEBKGND: return 0;
    case WM_MOVE: {
        // The window's corner, not the client origin that the message
        // carries: the next window is created at this place.
        RECT r;
        if (current && GetWindowRect(window, &r)) current->place = {int(r.left), int(r.top)};
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (current) blit(*current, dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP: {
        // Keys can arrive before the module is stored with the window.
        auto* module = reinterpret_cast<VisModule*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!module) return 0;
        return jkForwardKey(module->hostWindow, message, wParam, lParam);
    }
    case WM_RBUTTONDOWN: speedMenu(window, lParam); break;
    case WM_DESTROY:
        // Closed by the user: the player's loop ends the run. Our own
        // teardown has already let go of the window and posts nothing,
        // so no stray quit reaches the player's next run.
        if (current && current->window == window) {
            current->window = nullptr;
            PostQuitMessage(0);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Grows the window so that its client area is exactly the picture's size.
void fitClientArea(HWND window) {
    RECT outer, client;
    if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client)) return;
    int width = pictureWidth + (outer.right - outer.left) - (client.right - client.left);
    int height = pictureHeight + (outer.bottom - outer.top) - (client.bottom - client.top);
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool makePicture(Display& d) {
    PictureInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = pictureWidth;
    info.header.biHeight = pictureHeight; // bottom-up
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 256;
    fillGreyRamp(d.colours);
    CopyMemory(info.colours, d.colours, sizeof info.colours);
    d.memoryDc = CreateCompatibleDC(nullptr);
    if (!d.memoryDc) return false;
    void* bits = nullptr;
    d.picture = CreateDIBSection(d.memoryDc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                 &bits, nullptr, 0);
    if (!d.picture || !bits) return false;
    d.pixels = static_cast<uint8_t*>(bits);
    d.previousBitmap = SelectObject(d.memoryDc, d.picture);
    return true;
}

} // namespace

bool openDisplay(Display& d, VisModule* module) {
    current = &d;
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = module->pluginInstance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = windowClass;
    if (!RegisterClassA(&wc)) {
        errorBox(module, "Error registering window class");
        return false;
    }
    d.classRegistered = true;
    d.classInstance = module->pluginInstance;
    d.window =
        CreateWindowExA(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW, windowClass, module->displayName,
                        WS_VISIBLE | WS_SYSMENU, d.place.x, d.place.y, pictureWidth, pictureHeight,
                        module->hostWindow, nullptr, module->pluginInstance, nullptr);
    if (!d.window) {
        errorBox(module, "Error creating window");
        closeDisplay(d);
        return false;
    }
    SetWindowLongPtrA(d.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(module));
    fitClientArea(d.window);
    if (!makePicture(d)) {
        errorBox(module, "Error creating picture");
        closeDisplay(d);
        return false;
    }
    return true;
}

void applyColours(Display& d, unsigned count) {
    if (d.memoryDc)
        SetDIBColorTable(d.memoryDc, 0, count, reinterpret_cast<const RGBQUAD*>(d.colours));
}

void showPicture(Display& d) {
    if (!d.window) return;
    if (HDC dc = GetDC(d.window)) {
        blit(d, dc);
        ReleaseDC(d.window, dc);
    }
}

void closeDisplay(Display& d) {
    if (d.memoryDc) {
        if (d.previousBitmap) SelectObject(d.memoryDc, d.previousBitmap);
        DeleteDC(d.memoryDc);
    }
    if (d.picture) DeleteObject(d.picture);
    d.memoryDc = nullptr;
    d.picture = nullptr;
    d.previousBitmap = nullptr;
    d.pixels = nullptr;
    if (HWND w = d.window) {
        d.window = nullptr; // our own teardown: no quit message
        DestroyWindow(w);
    }
    if (d.classRegistered) UnregisterClassA(windowClass, d.classInstance);
    d.classRegistered = false;
}

} // namespace zavudev
