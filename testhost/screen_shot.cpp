#include "testhost/screen_shot.h"

#include "testhost/image_file.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace testhost {

bool saveScreenRect(RECT r, const std::string& path) {
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    r.left = std::max<LONG>(r.left, left);
    r.top = std::max<LONG>(r.top, top);
    r.right = std::min<LONG>(r.right, left + GetSystemMetrics(SM_CXVIRTUALSCREEN));
    r.bottom = std::min<LONG>(r.bottom, top + GetSystemMetrics(SM_CYVIRTUALSCREEN));
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h; // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const auto* px = static_cast<const uint32_t*>(bits);
        std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
        for (size_t i = 0; i < size_t(w) * size_t(h); ++i) {
            rgb[3 * i] = uint8_t(px[i] >> 16);
            rgb[3 * i + 1] = uint8_t(px[i] >> 8);
            rgb[3 * i + 2] = uint8_t(px[i]);
        }
        ok = writeImage(path, w, h, rgb);
        SelectObject(mem, old);
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace testhost
