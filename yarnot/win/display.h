// The module's window and what it shows: a top-down DIB section copied to
// the window, or a full-screen DirectDraw mode with a flipping primary
// surface and, optionally, a picture-sized surface in system memory. One per
// process: one module of the plug-in runs at a time.
#pragma once

#include "host/vis_module.h"
#include "yarnot/display_modes.h"
#include "yarnot/pixel_target.h"
#include "yarnot/settings.h"
#include "yarnot/title.h"

#include <windows.h>

#include <ddraw.h>

namespace yarnot {

extern const char windowClassName[];

class Display {
public:
    // The window and its surfaces for `settings` (which the window keeps
    // up to date with its position); false after a box and a full teardown.
    bool Start(VisModule* module, Settings* settings, HINSTANCE classInstance);
    // The pixels to draw this frame into; false when there is nothing to
    // draw into (full screen and inactive, or a lock that failed).
    bool Lock(PixelTarget& target);
    void Unlock();
    void Present();
    // Releases everything Start made, the window class last; safe to repeat.
    void Teardown();

    // The procedure of the "Dremlow" class.
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);

private:
    bool fail(const char* text);
    bool failDirectDraw(HRESULT result);
    bool startWindowed();
    bool startFullScreen();
    HRESULT lockSurface(IDirectDrawSurface* surface, DDSURFACEDESC& desc);
    void drawTitle(HDC dc);
    void rememberPosition();

    VisModule* module_ = nullptr;
    Settings* settings_ = nullptr;
    HINSTANCE classInstance_ = nullptr;
    HWND window_ = nullptr;
    bool fullScreen_ = false;
    bool active_ = true;
    bool tearingDown_ = false;
    // Windowed.
    HDC memoryDc_ = nullptr;
    HBITMAP dib_ = nullptr, previousBitmap_ = nullptr;
    uint32_t* dibPixels_ = nullptr;
    // Full screen.
    IDirectDraw* directDraw_ = nullptr;
    IDirectDrawSurface *primary_ = nullptr, *back_ = nullptr, *systemMemory_ = nullptr;
    IDirectDrawSurface* locked_ = nullptr;
    DisplayMode mode_{};
    PictureOffset offset_{0, 0};
    HRGN clip_ = nullptr;
    TitleScroll title_;
};

extern Display display;

} // namespace yarnot
