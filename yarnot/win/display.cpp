#include "yarnot/win/display.h"

#include "host/host_window.h"
#include "yarnot/win/message_box.h"

#include <cstdio>

namespace yarnot {

const char windowClassName[] = "Dremlow";
Display display;

namespace {

void beep() {
    MessageBeep(MB_OK);
}

template <typename T>
void release(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

HRESULT WINAPI offerMode(LPDDSURFACEDESC desc, LPVOID list) {
    const DDPIXELFORMAT& f = desc->ddpfPixelFormat;
    if (!(f.dwFlags & DDPF_RGB) || f.dwRGBBitCount != 32) return DDENUMRET_OK;
    DisplayMode mode{uint16_t(desc->dwWidth), uint16_t(desc->dwHeight), uint16_t(f.dwRGBBitCount)};
    return static_cast<ModeList*>(list)->Offer(mode) ? DDENUMRET_OK : DDENUMRET_CANCEL;
}

// Repeats a DirectDraw call while the surface is busy, and after restoring
// lost surfaces; gives up when a restore fails or after a bounded number of
// rounds, so that a display that never comes back cannot hang the player.
template <typename Call, typename Restore>
HRESULT retrying(Call call, Restore restore) {
    HRESULT r = DD_OK;
    for (int round = 0; round < 1000; ++round) {
        r = call();
        if (r == DDERR_SURFACELOST) {
            if (!restore()) return r;
        } else if (r != DDERR_WASSTILLDRAWING) {
            return r;
        }
    }
    return r;
}

} // namespace

bool Display::fail(const char* text) {
    ShowMessage(module_->hostWindow, text);
    Teardown();
    return false;
}

bool Display::failDirectDraw(HRESULT result) {
    char text[64];
    std::snprintf(text, sizeof text, "Direct Draw Init Failed (%08lx)\n", (unsigned long)result);
    return fail(text);
}

bool Display::Start(VisModule* module, Settings* settings, HINSTANCE classInstance) {
    module_ = module;
    settings_ = settings;
    classInstance_ = classInstance;
    fullScreen_ = settings->flags & flagFullScreen;
    // WM_ACTIVATEAPP only comes when activation moves between programs; a
    // player already in front would never send it.
    active_ = true;
    tearingDown_ = false;
    offset_ = {0, 0};
    const int w = settings->width, h = settings->height;
    DWORD exStyle =
        fullScreen_ ? WS_EX_APPWINDOW | WS_EX_TOPMOST : WS_EX_APPWINDOW | WS_EX_TOOLWINDOW;
    DWORD style = fullScreen_ ? WS_POPUP : WS_VISIBLE | WS_SYSMENU;
    int x = fullScreen_ ? 0 : settings->screenX, y = fullScreen_ ? 0 : settings->screenY;
    window_ = CreateWindowExA(exStyle, windowClassName, module->displayName, style, x, y, w, h,
                              module->hostWindow, nullptr, classInstance, nullptr);
    if (!window_) {
        Teardown();
        return false;
    }
    SetWindowLongPtrA(window_, GWLP_USERDATA, LONG_PTR(this));
    if (!fullScreen_) {
        RECT client;
        GetClientRect(window_, &client);
        SetWindowPos(window_, nullptr, 0, 0, 2 * w - client.right, 2 * h - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    return fullScreen_ ? startFullScreen() : startWindowed();
}

bool Display::startWindowed() {
    memoryDc_ = CreateCompatibleDC(nullptr);
    if (!memoryDc_) return fail("Error creating Device Context!");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = settings_->width;
    info.bmiHeader.biHeight = -settings_->height; // row 0 at the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dib_ = CreateDIBSection(memoryDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib_ || !bits) return fail("Error creating DIB Section!");
    dibPixels_ = static_cast<uint32_t*>(bits);
    previousBitmap_ = static_cast<HBITMAP>(SelectObject(memoryDc_, dib_));
    if (!previousBitmap_ || previousBitmap_ == HGDI_ERROR) {
        previousBitmap_ = nullptr;
        return fail("Error selecting DIB Section\ninto Device Context!");
    }
    return true;
}

bool Display::startFullScreen() {
    HRESULT r = DirectDrawCreate(nullptr, &directDraw_, nullptr);
    if (FAILED(r)) return failDirectDraw(r);
    ModeList modes(settings_->flags & flagFourByThree);
    DDSURFACEDESC wanted{};
    wanted.dwSize = sizeof wanted;
    if (FAILED(directDraw_->EnumDisplayModes(0, nullptr, &modes, offerMode)))
        return fail("Couldn't Enumerate Display Modes!");
    if (modes.modes().empty()) return fail("No 32 bit video modes available!");
    const int w = settings_->width, h = settings_->height;
    std::optional<DisplayMode> mode = ChooseMode(modes.modes(), w, h);
    if (!mode) return fail(NoModeMessage(w, h).c_str());
    mode_ = *mode;

    r = directDraw_->SetCooperativeLevel(window_, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    if (SUCCEEDED(r)) r = directDraw_->SetDisplayMode(mode_.width, mode_.height, mode_.bits);
    if (FAILED(r)) return failDirectDraw(r);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    r = directDraw_->CreateSurface(&desc, &primary_, nullptr);
    if (FAILED(r)) return failDirectDraw(r);
    DDSCAPS backCaps{DDSCAPS_BACKBUFFER};
    r = primary_->GetAttachedSurface(&backCaps, &back_);
    if (FAILED(r)) return failDirectDraw(r);
    // The borders around the picture are never drawn; start them black.
    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    primary_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
    back_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);

    if (settings_->flags & flagSystemMemory) {
        DDSURFACEDESC plain{};
        plain.dwSize = sizeof plain;
        plain.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        plain.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        plain.dwWidth = DWORD(w);
        plain.dwHeight = DWORD(h);
        if (FAILED(directDraw_->CreateSurface(&plain, &systemMemory_, nullptr)))
            systemMemory_ = nullptr;
    }
    if (!systemMemory_) {
        offset_ = CentredOffset(mode_, w, h);
        // Right and bottom are exclusive: the region ends one pixel inside.
        clip_ = CreateRectRgn(offset_.left, offset_.top, offset_.left + w - 1, offset_.top + h - 1);
    }
    return true;
}

HRESULT Display::lockSurface(IDirectDrawSurface* surface, DDSURFACEDESC& desc) {
    desc = DDSURFACEDESC{};
    desc.dwSize = sizeof desc;
    HRESULT r = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (r == DDERR_SURFACELOST) {
        // After a switch away and back: restore (the primary brings its back
        // buffer along) and try once more, rather than beep every frame.
        primary_->Restore();
        if (systemMemory_) systemMemory_->Restore();
        desc = DDSURFACEDESC{};
        desc.dwSize = sizeof desc;
        r = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    }
    return r;
}

bool Display::Lock(PixelTarget& target) {
    target.width = settings_->width;
    target.height = settings_->height;
    if (!fullScreen_) {
        if (!dibPixels_) return false;
        target.pixels = dibPixels_;
        target.rowSkip = 0;
        return true;
    }
    if (!active_ || !primary_) return false;
    IDirectDrawSurface* surface = systemMemory_ ? systemMemory_ : back_;
    DDSURFACEDESC desc;
    if (FAILED(lockSurface(surface, desc)) || !desc.lpSurface) {
        beep();
        return false;
    }
    locked_ = surface;
    auto* pixels = static_cast<uint8_t*>(desc.lpSurface);
    if (!systemMemory_) {
        PictureOffset start = DrawingStart(offset_);
        pixels += ptrdiff_t(start.top) * desc.lPitch + ptrdiff_t(start.left) * 4;
    }
    target.pixels = reinterpret_cast<uint32_t*>(pixels);
    target.rowSkip = int(desc.lPitch / 4) - settings_->width;
    return true;
}

void Display::Unlock() {
    if (locked_) locked_->Unlock(nullptr);
    locked_ = nullptr;
}

void Display::drawTitle(HDC dc) {
    if (!(settings_->flags & flagTitles) || !module_->hostWindow) return;
    char text[64] = "";
    GetWindowTextA(module_->hostWindow, text, sizeof text);
    std::optional<std::string> title = ExtractTitle(text);
    if (!title) return;
    const int left = offset_.left, top = offset_.top;
    title_.Show(*title, left);
    if (clip_) SelectClipRgn(dc, clip_);
    SetBkMode(dc, TRANSPARENT);
    const int x = title_.x(), n = int(title->size());
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, x + 1, top + 3, title->c_str(), n);
    TextOutA(dc, x - 1, top + 3, title->c_str(), n);
    TextOutA(dc, x + 1, top + 1, title->c_str(), n);
    TextOutA(dc, x - 1, top + 1, title->c_str(), n);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, x, top + 2, title->c_str(), n);
    if (settings_->flags & flagScrollTitles) {
        SIZE extent{0, 0};
        GetTextExtentPoint32A(dc, title->c_str(), n, &extent);
        title_.Step(left, settings_->width, int(extent.cx));
    }
    if (clip_) SelectClipRgn(dc, nullptr);
}

void Display::Present() {
    const int w = settings_->width, h = settings_->height;
    if (!fullScreen_) {
        if (!memoryDc_) return;
        drawTitle(memoryDc_);
        HDC dc = window_ ? GetDC(window_) : nullptr;
        if (!dc) {
            beep();
            return;
        }
        BitBlt(dc, 0, 0, w, h, memoryDc_, 0, 0, SRCCOPY);
        ReleaseDC(window_, dc);
        return;
    }
    if (!active_ || !primary_) return;
    auto restorePrimary = [this] { return SUCCEEDED(primary_->Restore()); };
    if (systemMemory_) {
        HDC dc = nullptr;
        if (settings_->flags & flagTitles) {
            if (SUCCEEDED(systemMemory_->GetDC(&dc))) {
                drawTitle(dc);
                systemMemory_->ReleaseDC(dc);
            } else {
                beep();
            }
        }
        // Right and bottom are exclusive: w - 1, h - 1 would drop the last column and row.
        RECT source{0, 0, w, h};
        PictureOffset place = CentredOffset(mode_, w, h);
        HRESULT r = retrying(
            [&] {
                return back_->BltFast(DWORD(place.left), DWORD(place.top), systemMemory_, &source,
                                      DDBLTFAST_NOCOLORKEY | DDBLTFAST_WAIT);
            },
            [&] { return restorePrimary() && SUCCEEDED(systemMemory_->Restore()); });
        if (FAILED(r)) return;
    } else if (settings_->flags & flagTitles) {
        HDC dc = nullptr;
        if (SUCCEEDED(back_->GetDC(&dc))) {
            drawTitle(dc);
            back_->ReleaseDC(dc);
        }
    }
    retrying([&] { return primary_->Flip(nullptr, DDFLIP_WAIT); }, restorePrimary);
}

void Display::rememberPosition() {
    RECT r;
    if (!fullScreen_ && window_ && GetWindowRect(window_, &r)) {
        settings_->screenX = r.left;
        settings_->screenY = r.top;
    }
}

void Display::Teardown() {
    tearingDown_ = true;
    Unlock();
    if (memoryDc_) {
        if (previousBitmap_) SelectObject(memoryDc_, previousBitmap_);
        DeleteDC(memoryDc_);
    }
    if (dib_) DeleteObject(dib_);
    memoryDc_ = nullptr;
    dib_ = previousBitmap_ = nullptr;
    dibPixels_ = nullptr;
    if (clip_) DeleteObject(clip_);
    clip_ = nullptr;
    release(systemMemory_);
    release(back_);
    release(primary_);
    release(directDraw_); // gives the desktop its mode back
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
    if (classInstance_) UnregisterClassA(windowClassName, classInstance_);
    classInstance_ = nullptr;
}

LRESULT CALLBACK Display::windowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Display*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wp, lp);
    switch (message) {
    case WM_ERASEBKGND: return 0;
    case WM_PAINT:
        // Frames come from renderFrame; an invalid area left standing would
        // bring WM_PAINT back for ever.
        ValidateRect(window, nullptr);
        return 0;
    case WM_ACTIVATEAPP: self->active_ = wp != 0; break;
    case WM_SETCURSOR:
        if (self->fullScreen_) {
            SetCursor(nullptr);
            return 1;
        }
        break;
    case WM_MOVE: self->rememberPosition(); break;
    case WM_KEYDOWN:
    case WM_KEYUP: {
        if (wp == VK_ESCAPE)
            PostMessageA(window, WM_CLOSE, 0, 0);
        else
            jkForwardKey(self->module_->hostWindow, message, wp, lp);
        self->rememberPosition();
        return 0;
    }
    case WM_DESTROY:
        // Closed by the user: the player's loop ends the visualization. A
        // stop destroying the window posts nothing, or the quit would end
        // the next start of a module on this thread.
        if (!self->tearingDown_) PostQuitMessage(0);
        self->window_ = nullptr;
        return 0;
    }
    return DefWindowProcA(window, message, wp, lp);
}

} // namespace yarnot
