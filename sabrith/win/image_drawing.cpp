#include "sabrith/win/image_drawing.h"

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

} // namespace sabrith
