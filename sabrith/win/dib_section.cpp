#include "sabrith/win/dib_section.h"

#include <cstring>

namespace sabrith {

uint32_t* DibSectionPixels::allocate(int width, int height) {
    release();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = DWORD(width) * DWORD(height) * 4;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_ || !bits) {
        release();
        return nullptr;
    }
    std::memset(bits, 0, std::size_t(width) * std::size_t(height) * 4);
    return static_cast<uint32_t*>(bits);
}

void DibSectionPixels::release() {
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
}

} // namespace sabrith
