#include "sabrith/win/image_drawing.h"

#include <cstddef>

namespace sabrith {

void drawImage(HDC dc, const DibImage& image, int x, int y) {
    if (!image.valid()) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width();
    info.bmiHeader.biHeight = -image.height(); // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, x, y, DWORD(image.width()), DWORD(image.height()), 0, 0, 0,
                      UINT(image.height()), image.pixels(), &info, DIB_RGB_COLORS);
}

int copyFromDC(DibImage& image, HDC dc, int x0, int y0) {
    FrameView view;
    if (!image.lockView(view)) return 0;
    // A start left of or above the image would read context pixels that land
    // nowhere; begin at the image's own edge instead.
    for (int y = y0 < 0 ? 0 : y0; y < view.imageHeight; ++y) {
        uint32_t* row = view.pixels + std::size_t(y) * std::size_t(view.imageWidth);
        for (int x = x0 < 0 ? 0 : x0; x < view.imageWidth; ++x)
            row[x] = pixelFromColor(GetPixel(dc, x - x0, y - y0) & 0xFFFFFFu);
    }
    image.unlockView(view);
    return 1;
}

} // namespace sabrith
