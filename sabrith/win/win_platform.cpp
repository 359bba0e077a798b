#include "sabrith/win/win_platform.h"

#include "host/host_window.h"
#include "sabrith/frame/window_ids.h"
#include "sabrith/frame/window_model.h"
#include "sabrith/win/dib_section.h"
#include "sabrith/win/image_drawing.h"
#include "sabrith/win/property_sheet.h"
#include "sabrith/win/skin_region.h"

#include <ddraw.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

namespace sabrith {

namespace {

const char windowClassName[] = "Lumbrin Window";

// The hook has no context of its own: the one running window's platform.
std::atomic<WinPlatform*> hookOwner{nullptr};

using DirectDrawCreateFunction = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);

// DirectDraw is loaded when needed, so that a system without it only loses
// the full screen.
IDirectDraw* createDirectDraw(HMODULE& library) {
    if (!library) library = LoadLibraryA("ddraw.dll");
    if (!library) return nullptr;
    auto create = reinterpret_cast<DirectDrawCreateFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "DirectDrawCreate")));
    IDirectDraw* directDraw = nullptr;
    if (!create || FAILED(create(nullptr, &directDraw, nullptr))) return nullptr;
    return directDraw;
}

HRESULT WINAPI collectMode(LPDDSURFACEDESC desc, LPVOID context) {
    auto& modes = *static_cast<std::vector<OfferedMode>*>(context);
    modes.push_back(
        {{int(desc->dwWidth), int(desc->dwHeight), int(desc->ddpfPixelFormat.dwRGBBitCount)},
         uint32_t(desc->ddpfPixelFormat.dwFlags)});
    return DDENUMRET_OK;
}

Rect rectOf(const RECT& r) {
    return {int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top)};
}

// Two signed 16-bit halves in one message parameter.
uintptr_t packPair(int low, int high) {
    return uintptr_t(uint16_t(low)) | uintptr_t(uint16_t(high)) << 16;
}
int lowHalf(uintptr_t value) {
    return int16_t(uint16_t(value & 0xFFFF));
}
int highHalf(uintptr_t value) {
    return int16_t(uint16_t((value >> 16) & 0xFFFF));
}

} // namespace

WinPlatform::WinPlatform(HINSTANCE instance, HWND host, const char* caption)
    : instance_(instance), host_(host), caption_(caption) {
    // The counter's rate is fixed at boot, so it is read once.
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    msPerCount_ = 1000.0 / double(frequency.QuadPart);
}

WinPlatform::~WinPlatform() {
    leaveFullScreen();
    if (ddrawLibrary_) FreeLibrary(ddrawLibrary_);
}

std::unique_ptr<PixelStorage> WinPlatform::pixelStorage() {
    return std::make_unique<DibSectionPixels>();
}

double WinPlatform::nowMs() {
    // The tick count moves in steps of 10 ms or more, so that nearly every
    // frame would take 0 ms and the about box would show a rate a hundred
    // times too high: the performance counter measures the frame itself.
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * msPerCount_;
}

std::vector<OfferedMode> WinPlatform::offeredDisplayModes() {
    std::vector<OfferedMode> modes;
    IDirectDraw* directDraw = createDirectDraw(ddrawLibrary_);
    if (!directDraw) return modes;
    directDraw->EnumDisplayModes(0, nullptr, &modes, collectMode);
    directDraw->Release();
    return modes;
}

bool WinPlatform::enterFullScreen(int width, int height, int bitsPerPixel) {
    directDraw_ = createDirectDraw(ddrawLibrary_);
    if (!directDraw_) return false;
    if (FAILED(directDraw_->SetCooperativeLevel(window_, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)))
        return false;
    if (FAILED(directDraw_->SetDisplayMode(DWORD(width), DWORD(height), DWORD(bitsPerPixel))))
        return false;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return SUCCEEDED(directDraw_->CreateSurface(&desc, &primary_, nullptr));
}

void WinPlatform::leaveFullScreen() {
    if (primary_) primary_->Release();
    primary_ = nullptr;
    if (!directDraw_) return;
    directDraw_->SetCooperativeLevel(window_, DDSCL_NORMAL);
    directDraw_->RestoreDisplayMode();
    directDraw_->Release();
    directDraw_ = nullptr;
}

void WinPlatform::setTopmost(bool topmost) {
    SetWindowPos(window_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

bool WinPlatform::createWindow(const Rect& rect) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = windowClassName;
    classRegistered_ = RegisterClassA(&wc) != 0;
    if (!classRegistered_) return false;
    window_ =
        CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_ACCEPTFILES, windowClassName, caption_, WS_POPUP,
                        rect.x, rect.y, rect.w, rect.h, nullptr, nullptr, instance_, this);
    if (!window_) {
        UnregisterClassA(windowClassName, instance_);
        classRegistered_ = false;
        return false;
    }
    hookOwner.store(this);
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = window_;
    icon.uID = TRAY_ICON_ID;
    icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    icon.uCallbackMessage = TRAY_CALLBACK;
    icon.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_TRAY));
    if (!icon.hIcon) icon.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    lstrcpynA(icon.szTip, "Lumbrin", sizeof icon.szTip);
    trayAdded_ = Shell_NotifyIconA(NIM_ADD, &icon) != FALSE;
    return true;
}

void WinPlatform::startWindow() {
    installHooks();
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetForegroundWindow(window_);
    SetTimer(window_, idleTimer, 20, nullptr);
    SetTimer(window_, skinTimer, 20, nullptr);
}

void WinPlatform::destroyWindow() {
    closeAbout();
    if (!window_) return;
    KillTimer(window_, idleTimer);
    KillTimer(window_, skinTimer);
    if (trayAdded_) {
        NOTIFYICONDATAA icon{};
        icon.cbSize = sizeof icon;
        icon.hWnd = window_;
        icon.uID = TRAY_ICON_ID;
        Shell_NotifyIconA(NIM_DELETE, &icon);
        trayAdded_ = false;
    }
    removeHooks();
    hookOwner.store(nullptr);
    if (IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
    if (classRegistered_) UnregisterClassA(windowClassName, instance_);
    classRegistered_ = false;
}

// One hook per distinct thread that owns one of the player's windows: a
// global hook would load the plug-in into every program of the desktop.
void WinPlatform::installHooks() {
    std::vector<DWORD> threads;
    for (HWND candidate : {host_, jkFindPlaylistEditor(), jkFindEqualizer()}) {
        if (!candidate || !IsWindow(candidate)) continue;
        const DWORD thread = GetWindowThreadProcessId(candidate, nullptr);
        if (thread == 0 || std::find(threads.begin(), threads.end(), thread) != threads.end())
            continue;
        threads.push_back(thread);
        if (HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, hookProc, instance_, thread))
            hooks_.push_back(hook);
    }
}

void WinPlatform::removeHooks() {
    for (HHOOK hook : hooks_) UnhookWindowsHookEx(hook);
    hooks_.clear();
}

// On the player's thread: only the target rectangle is worked out here; the
// window's own thread moves the window.
LRESULT CALLBACK WinPlatform::hookProc(int code, WPARAM wp, LPARAM lp) {
    WinPlatform* self = hookOwner.load();
    if (code == HC_ACTION && self && self->model_) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
        const int target = self->model_->dockTarget();
        if (call->message == WM_WINDOWPOSCHANGING && target >= 0 && target < dockCandidateCount &&
            call->hwnd == self->candidates_[target].load()) {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(call->lParam);
            RECT current;
            if (GetWindowRect(call->hwnd, &current)) {
                const Rect next =
                    hookTargetRect(rectOf(current), pos->flags, pos->x, pos->y, pos->cx, pos->cy);
                PostMessageA(self->window_, followMessage, packPair(next.x, next.y),
                             LPARAM(packPair(next.w, next.h)));
            }
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void WinPlatform::moveWindow(const Rect& rect) {
    if (window_) MoveWindow(window_, rect.x, rect.y, rect.w, rect.h, TRUE);
}

void WinPlatform::setWindowShape(const std::optional<std::vector<Rect>>& shape) {
    if (!window_) return;
    if (!shape) {
        SetWindowRgn(window_, nullptr, TRUE);
        return;
    }
    std::vector<RECT> rects;
    rects.reserve(shape->size());
    for (const Rect& r : *shape) rects.push_back({r.x, r.y, r.right(), r.bottom()});
    HRGN region = rectsToGdi(rects);
    // The window owns the region from here on.
    if (!SetWindowRgn(window_, region, TRUE)) DeleteObject(region);
}

void WinPlatform::present(const DibImage& picture, int width, int height, bool fullScreen) {
    if (!picture.valid()) return;
    const int w = std::min(width, picture.width());
    const int h = std::min(height, picture.height());
    auto copy = [&](HDC dc) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = picture.width();
        info.bmiHeader.biHeight = -picture.height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        // Rows are top-down: the picture's first h rows start at scan 0 and
        // run h lines, the source's bottom-left corner being row h - 1.
        SetDIBitsToDevice(dc, 0, 0, DWORD(w), DWORD(h), 0, 0, 0, UINT(h), picture.pixels(), &info,
                          DIB_RGB_COLORS);
    };
    if (fullScreen) {
        HDC dc = nullptr;
        if (!primary_ || FAILED(primary_->GetDC(&dc))) return;
        copy(dc);
        primary_->ReleaseDC(dc);
        return;
    }
    if (!window_) return;
    HDC dc = GetDC(window_);
    if (!dc) return;
    copy(dc);
    ReleaseDC(window_, dc);
}

Size WinPlatform::screenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::optional<Rect> WinPlatform::dockCandidate(int index) {
    HWND candidate = nullptr;
    switch (index) {
    case 0: candidate = host_; break;
    case 1: candidate = jkFindPlaylistEditor(); break;
    case 2: candidate = jkFindEqualizer(); break;
    case 3: candidate = GetDesktopWindow(); break;
    default: return std::nullopt;
    }
    candidates_[index].store(candidate);
    RECT r;
    if (!candidate || !IsWindow(candidate) || !IsWindowVisible(candidate) ||
        !GetWindowRect(candidate, &r))
        return std::nullopt;
    return rectOf(r);
}

void WinPlatform::setCursor(CursorKind cursor) {
    const char* id = MAKEINTRESOURCEA(32512); // IDC_ARROW
    switch (cursor) {
    case CursorKind::arrow: break;
    case CursorKind::sizeNwse: id = MAKEINTRESOURCEA(32642); break;
    case CursorKind::sizeNs: id = MAKEINTRESOURCEA(32645); break;
    case CursorKind::sizeNesw: id = MAKEINTRESOURCEA(32643); break;
    case CursorKind::sizeWe: id = MAKEINTRESOURCEA(32644); break;
    }
    SetCursor(LoadCursorA(nullptr, id));
}

void WinPlatform::captureMouse() {
    SetCapture(window_);
}

void WinPlatform::releaseMouse() {
    ReleaseCapture();
}

Point WinPlatform::cursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return {int(p.x), int(p.y)};
}

void WinPlatform::postQuit() {
    PostQuitMessage(0);
}

void WinPlatform::minimizeToTray() {
    ShowWindow(window_, SW_MINIMIZE);
    ShowWindow(window_, SW_HIDE);
}

void WinPlatform::restoreFromTray() {
    ShowWindow(window_, SW_SHOW);
    ShowWindow(window_, SW_RESTORE);
    SetForegroundWindow(window_);
}

void WinPlatform::showMenu(const MenuState& state, bool atCursor, Point client) {
    HMENU menu = LoadMenuA(instance_, MAKEINTRESOURCEA(IDM_POPUP));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    if (state.effectItem != 0)
        CheckMenuRadioItem(popup, IDM_BARS, IDM_FLAME, UINT(state.effectItem), MF_BYCOMMAND);
    if (state.windowed)
        CheckMenuRadioItem(popup, IDM_WINDOWED, IDM_WINDOWED, IDM_WINDOWED, MF_BYCOMMAND);
    EnableMenuItem(popup, IDM_ON_TOP, MF_BYCOMMAND | (state.onTopEnabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(popup, IDM_ON_TOP, MF_BYCOMMAND | (state.onTopChecked ? MF_CHECKED : 0));
    CheckMenuItem(popup, IDM_USE_SKIN, MF_BYCOMMAND | (state.useSkinChecked ? MF_CHECKED : 0));
    POINT at{client.x, client.y};
    UINT flags = TPM_RIGHTBUTTON;
    if (atCursor) {
        GetCursorPos(&at);
        flags |= TPM_RIGHTALIGN | TPM_BOTTOMALIGN;
    } else {
        ClientToScreen(window_, &at);
    }
    // The chosen command arrives as WM_COMMAND.
    TrackPopupMenu(popup, flags, at.x, at.y, 0, window_, nullptr);
    DestroyMenu(menu);
}

INT_PTR CALLBACK WinPlatform::aboutProc(HWND box, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
    case WM_INITDIALOG: SetWindowLongPtrA(box, DWLP_USER, lp); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) DestroyWindow(box);
        return TRUE;
    case WM_DESTROY:
        if (auto* self = reinterpret_cast<WinPlatform*>(GetWindowLongPtrA(box, DWLP_USER)))
            self->about_ = nullptr;
        return TRUE;
    default: return FALSE;
    }
}

void WinPlatform::openAbout(const std::string& fpsText) {
    if (about_) return;
    about_ = CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_ABOUT), window_, aboutProc,
                                LPARAM(this));
    if (!about_) return;
    SetDlgItemTextA(about_, IDC_ABOUT_FPS, fpsText.c_str());
    ShowWindow(about_, SW_SHOW);
}

void WinPlatform::closeAbout() {
    if (about_) DestroyWindow(about_);
    about_ = nullptr;
}

void WinPlatform::openSheet() {
    if (sheet_) sheet_->open();
}

void WinPlatform::closeSheet() {
    if (sheet_) sheet_->close();
}

void WinPlatform::feedDroppedFile(const std::string& path) {
    jkFeedDroppedFile(host_, path.c_str());
}

void WinPlatform::sendPlayerCommand(int command) {
    jkSendHostCommand(host_, command);
}

void WinPlatform::forwardKey(bool down, uintptr_t wParam, intptr_t lParam) {
    jkForwardKey(host_, down ? WM_KEYDOWN : WM_KEYUP, WPARAM(wParam), LPARAM(lParam));
}

void WinPlatform::runOnWindowThread(const std::function<void()>& work) {
    if (!window_) return;
    if (GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId())
        work();
    else
        SendMessageA(window_, runClosureMessage, 0, LPARAM(&work));
}

void WinPlatform::dropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
        path.resize(DragQueryFileA(drop, i, path.data(), UINT(path.size())));
        paths.push_back(std::move(path));
    }
    DragFinish(drop);
    model_->onDrop(paths);
}

LRESULT CALLBACK WinPlatform::windowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<WinPlatform*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || !self->model_ || message == WM_NCCREATE)
        return DefWindowProcA(window, message, wp, lp);
    if (!self->window_) self->window_ = window;
    return self->handle(message, wp, lp);
}

LRESULT WinPlatform::handle(UINT message, WPARAM wp, LPARAM lp) {
    WindowModel& model = *model_;
    const int x = int(int16_t(LOWORD(lp)));
    const int y = int(int16_t(HIWORD(lp)));
    switch (message) {
    case WM_DESTROY:
        model.onDestroy();
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        return 0;
    case WM_SIZE: model.onSize(LOWORD(lp), HIWORD(lp)); return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        drawImage(dc, model.onPaint(), 0, 0);
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_SETFOCUS: model.onFocus(true); return 0;
    case WM_KILLFOCUS: model.onFocus(false); return 0;
    case WM_COMMAND: model.command(LOWORD(wp)); return 0;
    case WM_KEYDOWN: model.onKey(true, wp, lp); return 0;
    case WM_KEYUP: model.onKey(false, wp, lp); return 0;
    case WM_MOUSEMOVE: model.onMouseMove(x, y); return 0;
    case WM_LBUTTONDOWN: model.onLeftDown(x, y); return 0;
    case WM_LBUTTONUP: model.onLeftUp(x, y); return 0;
    case WM_RBUTTONDOWN: model.onRightDown(x, y); return 0;
    case WM_TIMER: model.timer(int(wp)); return 0;
    case WM_DROPFILES: dropFiles(reinterpret_cast<HDROP>(wp)); return 0;
    case TRAY_CALLBACK: model.onTray(int(LOWORD(lp))); return 0;
    case followMessage:
        model.followDockTarget(
            {lowHalf(wp), highHalf(wp), lowHalf(uintptr_t(lp)), highHalf(uintptr_t(lp))});
        return 0;
    case runClosureMessage: (*reinterpret_cast<const std::function<void()>*>(lp))(); return 0;
    default: return DefWindowProcA(window_, message, wp, lp);
    }
}

} // namespace sabrith
