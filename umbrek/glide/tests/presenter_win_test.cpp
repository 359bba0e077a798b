// The board's pop-up under Windows: its place, owner and style, the picture a
// screen capture sees, keys passed on to the owner, and its life cycle.
#include "umbrek/glide/glide.h"
#include "umbrek/glide/glide_test.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <cstdlib>
#include <utility>
#include <vector>

using namespace umbrek::glide;

namespace {

std::vector<std::pair<UINT, WPARAM>> ownerMessages;

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CLOSE: ownerMessages.emplace_back(message, wParam); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void pump() {
    for (int round = 0; round < 20; ++round) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(10);
    }
}

class PopUp : public ::testing::Test {
protected:
    void SetUp() override {
        resetOptions();
        ownerMessages.clear();
        WNDCLASSW wc{};
        wc.lpfnWndProc = ownerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"UmbrekGlideTestOwner";
        RegisterClassW(&wc);
        owner = CreateWindowExW(0, wc.lpszClassName, L"Umbrek", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                20, 20, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(owner, nullptr);
        pump();
    }
    void TearDown() override {
        grGlideShutdown();
        if (IsWindow(owner)) DestroyWindow(owner);
        pump();
        resetOptions();
    }
    bool open() {
        grGlideInit();
        return grSstWinOpen(reinterpret_cast<FxWindow>(owner), GR_RESOLUTION_640x480,
                            GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA, GR_ORIGIN_UPPER_LEFT, 2, 1) != 0;
    }
    static HWND popUp() { return FindWindowW(L"JukoraGlideScreen", nullptr); }

    HWND owner = nullptr;
};

GrVertex vertex(float x, float y, float r, float g, float b) {
    GrVertex v{};
    v.x = x, v.y = y, v.r = r, v.g = g, v.b = b, v.a = 255, v.oow = 1;
    return v;
}

// The whole screen as 0x00RRGGBB words, captured as the test host does.
std::vector<uint32_t> captureScreen(int& width, int& height) {
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> out;
    if (dib) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* px = static_cast<const uint32_t*>(bits);
        out.assign(px, px + size_t(width) * size_t(height));
        for (uint32_t& p : out) p &= 0xFFFFFF;
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out;
}

// The capture as a BMP in the test's temporary folder, for a person to look at.
void saveCapture(const std::vector<uint32_t>& px, int width, int height) {
    const char* dir = std::getenv("TEST_TMPDIR");
    const std::string path = (dir ? std::string(dir) : ::testing::TempDir()) + "/screen.bmp";
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = DWORD(file.bfOffBits + px.size() * 4);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path << ": " << std::strerror(errno);
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    const size_t put = std::fwrite(px.data(), 4, px.size(), f);
    ASSERT_EQ(std::fclose(f), 0) << path;
    ASSERT_EQ(put, px.size()) << path;
}

uint32_t expand(uint16_t p) {
    const uint32_t r = p >> 11, g = p >> 5 & 63, b = p & 31;
    return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

TEST_F(PopUp, CoversTheOwnersMonitorOwnedAndNotTopmost) {
    ASSERT_TRUE(open());
    pump();
    HWND window = popUp();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindow(window, GW_OWNER), owner);
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"Umbrek (Glide)");
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_TRUE(EqualRect(&r, &monitor.rcMonitor))
        << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
    std::printf("pop-up at (%ld, %ld)-(%ld, %ld)\n", r.left, r.top, r.right, r.bottom);
}

// The capture holds the front buffer, expanded by bit replication, centred
// at the largest whole scale, and black around it.
TEST_F(PopUp, TheScreenShowsTheFrontBufferCentredOnBlack) {
    ASSERT_TRUE(open());
    grBufferClear(0x10305000, 0, 0xFFFF);
    struct Tri {
        float x[3], y[3], r, g, b;
    };
    const Tri tris[] = {{{0, 640, 0}, {0, 0, 480}, 250, 20, 90},
                        {{100.5f, 500, 300}, {50, 120, 400}, 12, 200, 33},
                        {{639, 640, 600}, {470, 480, 480}, 255, 255, 255},
                        {{320, 330, 325}, {240, 240, 250}, 7, 77, 177}};
    for (const Tri& t : tris) {
        GrVertex a = vertex(t.x[0], t.y[0], t.r, t.g, t.b), b = vertex(t.x[1], t.y[1], 0, t.g, t.b);
        GrVertex c = vertex(t.x[2], t.y[2], t.r, 0, t.b);
        grDrawTriangle(&a, &b, &c);
    }
    grBufferSwap(0);
    pump();
    grBufferSwap(0);
    GdiFlush();
    std::vector<uint16_t> front(640 * 480);
    ASSERT_TRUE(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 0, 0, 640, 480, 1280, front.data()));
    int width = 0, height = 0;
    const std::vector<uint32_t> screen = captureScreen(width, height);
    ASSERT_FALSE(screen.empty());
    saveCapture(screen, width, height);
    RECT r;
    GetWindowRect(popUp(), &r);
    const int scale = std::max(1L, std::min((r.right - r.left) / 640, (r.bottom - r.top) / 480));
    const int x0 = r.left + (r.right - r.left - 640 * scale) / 2;
    const int y0 = r.top + (r.bottom - r.top - 480 * scale) / 2;
    std::printf("picture at (%d, %d), scale %d, screen %dx%d\n", x0, y0, scale, width, height);
    size_t wrong = 0, border = 0;
    for (int y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, height); ++y)
        for (int x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, width); ++x) {
            const uint32_t seen = screen[size_t(y) * size_t(width) + size_t(x)];
            const int px = (x - x0) / scale, py = (y - y0) / scale;
            if (x >= x0 && y >= y0 && px < 640 && py < 480)
                wrong += seen != expand(front[size_t(py) * 640 + size_t(px)]);
            else
                border += seen != 0;
        }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(border, 0u);
}

TEST_F(PopUp, KeysAndCloseReachTheOwnerInOrder) {
    ASSERT_TRUE(open());
    HWND window = popUp();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_KEYDOWN, 'S', 1);
    PostMessageW(window, WM_KEYUP, 'S', LPARAM(0xC0000001));
    PostMessageW(window, WM_SYSKEYDOWN, VK_MENU, 1);
    PostMessageW(window, WM_SYSKEYUP, VK_MENU, LPARAM(0xC0000001));
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(window, WM_CLOSE, 0, 0);
    pump();
    EXPECT_EQ(ownerMessages, (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, 'S'},
                                                                   {WM_KEYUP, 'S'},
                                                                   {WM_SYSKEYDOWN, VK_MENU},
                                                                   {WM_SYSKEYUP, VK_MENU},
                                                                   {WM_KEYDOWN, VK_ESCAPE},
                                                                   {WM_CLOSE, 0}}));
    EXPECT_TRUE(IsWindow(window)) << "closing is the owner's decision";
}

TEST_F(PopUp, ShutdownDestroysThePopUpAndRunsAgain) {
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(open());
        HWND window = popUp();
        ASSERT_NE(window, nullptr);
        grGlideShutdown();
        EXPECT_FALSE(IsWindow(window));
        grGlideShutdown();
        EXPECT_EQ(popUp(), nullptr);
    }
}

// The pop-up dies with its owner; the swap and the shutdown after it are harmless.
TEST_F(PopUp, DestroyingTheOwnerFirst) {
    ASSERT_TRUE(open());
    HWND window = popUp();
    ASSERT_NE(window, nullptr);
    DestroyWindow(owner);
    pump();
    EXPECT_FALSE(IsWindow(window));
    grBufferClear(0xFFFFFFFF, 0, 0);
    grBufferSwap(0);
    grGlideShutdown();
    grGlideShutdown();
}

// The options of a plug-in's process come from JK_GLIDE_OPTIONS at each init.
TEST_F(PopUp, OptionsFromTheEnvironment) {
    ASSERT_EQ(_putenv("JK_GLIDE_OPTIONS=nowindow=1,texmem=65536,no8888"), 0);
    grGlideInit();
    GrHwConfiguration hw{};
    EXPECT_TRUE(grSstQueryHardware(&hw));
    EXPECT_FALSE(open()) << "the first open of the process fails";
    EXPECT_EQ(popUp(), nullptr);
    EXPECT_TRUE(open());
    EXPECT_EQ(grTexMaxAddress(GR_TMU0), 65536u);
    GrLfbInfo_t info{};
    EXPECT_FALSE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_8888,
                           GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    grGlideShutdown();
    ASSERT_EQ(_putenv("JK_GLIDE_OPTIONS=noboard"), 0);
    grGlideInit();
    EXPECT_FALSE(grSstQueryHardware(&hw));
    EXPECT_EQ(hw.num_sst, 0);
    grGlideShutdown();
    ASSERT_EQ(_putenv("JK_GLIDE_OPTIONS="), 0);
}

} // namespace
