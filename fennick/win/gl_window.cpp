#include "fennick/win/gl_window.h"

#include "fennick/frame.h"
#include "fennick/resolution.h"
#include "fennick/win/plugin_state.h"
#include "fennick/win/win_loader.h"
#include "host/host_window.h"

#include <ctime>

namespace fennick {

namespace {

WinGlLoader loader;
// The window styles: a pop-up for full screen; an application window with a
// caption, frame and buttons otherwise.
constexpr DWORD fullScreenStyle = 0x80000080;
constexpr DWORD windowedStyle =
    WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW; // 0x16CF0000

// Draw to a window, support OpenGL, double buffer; RGBA; 24 colour and 32
// depth bits.
bool setUpContext(HWND window) {
    plugin.glWindow = window;
    plugin.glDeviceContext = GetDC(window);
    if (!plugin.glDeviceContext) return false;
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 32;
    pfd.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(plugin.glDeviceContext, &pfd);
    if (!format || !SetPixelFormat(plugin.glDeviceContext, format, &pfd)) return false;
    plugin.glContext = gl().wglCreateContext(plugin.glDeviceContext);
    if (!plugin.glContext) return false;
    return gl().wglMakeCurrent(plugin.glDeviceContext, plugin.glContext) != 0;
}

void releaseContext() {
    if (plugin.glContext) {
        gl().wglMakeCurrent(plugin.glDeviceContext, nullptr);
        gl().wglDeleteContext(plugin.glContext);
    }
    if (plugin.glDeviceContext) ReleaseDC(plugin.glWindow, plugin.glDeviceContext);
    plugin.glContext = nullptr;
    plugin.glDeviceContext = nullptr;
}

void runSpaceAction(void*) {
    if (plugin.spaceAction) plugin.spaceAction(nullptr);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        // A window without a context would draw nothing for ever: fail it.
        if (!setUpContext(window)) {
            releaseContext();
            return -1;
        }
        return 0;
    case WM_SIZE: {
        int width = LOWORD(lParam), height = HIWORD(lParam);
        if (!plugin.glContext) return 0;
        sizeViewport(gl(), width, height);
        if (plugin.projectionSetup) plugin.projectionSetup(gl());
        return 0;
    }
    case WM_KEYUP:
        if (wParam == VK_ESCAPE) {
            PostQuitMessage(0);
        } else if (wParam == VK_SPACE) {
            startFadeOut(plugin.fade, runSpaceAction, nullptr);
        } else {
            auto* module = reinterpret_cast<VisModule*>(GetWindowLongPtrA(window, GWLP_USERDATA));
            if (module) return jkForwardKey(module->hostWindow, message, wParam, lParam);
        }
        return 0;
    case WM_CLOSE: PostQuitMessage(0); return 0;
    case WM_DESTROY:
        // Only a window destroyed from outside ends the host's loop; the
        // stop's own destroy (or a failed creation) must not end the next run.
        if (plugin.windowReady) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void restoreDisplay() {
    ChangeDisplaySettingsA(nullptr, 0);
}

// The display's mode number 0 with only its size changed; the colour depth
// stays. A mode the display refuses goes unnoticed.
void switchDisplay(const Resolution& r) {
    restoreDisplay();
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(nullptr, 0, &mode);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = DWORD(r.width);
    mode.dmPelsHeight = DWORD(r.height);
    ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
}

} // namespace

const GlEntryPoints& gl() {
    return plugin.binding.gl;
}

int startGlWindow(VisModule* module) {
    plugin.windowReady = 0;
    plugin.errorOwner = module->hostWindow;
    if (!bindGl(plugin.binding, loader)) return -1;

    HINSTANCE instance = module->pluginInstance;
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProcedure;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = glWindowClass;
    if (!RegisterClassA(&wc)) {
        MessageBoxA(module->hostWindow, "Error registering window class", "blah", MB_OK);
        return 1;
    }

    bool fullScreen = plugin.settings.FullScreen == 1;
    const Resolution& mode = resolutionAt(fullScreenResAtUse(plugin.settings));
    if (fullScreen) switchDisplay(mode);

    HWND window = fullScreen ? CreateWindowExA(0, glWindowClass, module->displayName,
                                               fullScreenStyle, 0, 0, mode.width, mode.height,
                                               module->hostWindow, nullptr, instance, nullptr)
                             : CreateWindowExA(WS_EX_APPWINDOW, glWindowClass, module->displayName,
                                               windowedStyle, 0, 0, 640, 480, module->hostWindow,
                                               nullptr, instance, nullptr);
    if (!window) {
        // Whatever the creation message had made, and the class and display
        // mode, so that the next start begins afresh.
        releaseContext();
        plugin.glWindow = nullptr;
        UnregisterClassA(glWindowClass, instance);
        if (fullScreen) restoreDisplay();
        MessageBoxA(module->hostWindow, "Error creating window", "blah", MB_OK);
        return 1;
    }

    if (fullScreen) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, 0);
    } else {
        RECT client;
        GetClientRect(window, &client);
        SetWindowPos(window, nullptr, 0, 0, 1280 - client.right, 960 - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER);
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(module));
    ShowWindow(window, fullScreen ? SW_MAXIMIZE : SW_SHOWDEFAULT);
    UpdateWindow(window);
    SetFocus(window);

    setUpScene(scene, std::uint32_t(std::time(nullptr)));
    startFadeIn(plugin.fade);
    plugin.windowReady = 1;
    SetActiveWindow(window);
    return 0;
}

// Also clears windowReady and unbinds at every stop: a second stop, or a
// frame after the stop, must not reach the released context or the freed
// libraries, and the libraries' load counts stay balanced.
void stopGlWindow(VisModule* module) {
    if (!plugin.windowReady) {
        // A start that failed after binding: the libraries go now, not with
        // the plug-in's unload, which would leave them loaded.
        unbindGl(plugin.binding, loader);
        return;
    }
    plugin.windowReady = 0;
    HWND window = plugin.glWindow;
    releaseContext();
    if (plugin.settings.FullScreen == 1) restoreDisplay();
    DestroyWindow(window);
    plugin.glWindow = nullptr;
    UnregisterClassA(glWindowClass, module->pluginInstance);
    unbindGl(plugin.binding, loader);
}

void beginFrame() {
    clearFrame(gl());
}

void endFrame() {
    gl().glFlush();
    SwapBuffers(plugin.glDeviceContext);
}

} // namespace fennick
