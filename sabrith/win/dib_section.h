// Pixels of a DibImage in a DIB section, so that GDI can draw the frame and
// the skin bitmaps straight from the memory the effects draw into.
#pragma once

#include "sabrith/dib_image.h"

#include <windows.h>

namespace sabrith {

class DibSectionPixels final : public PixelStorage {
public:
    ~DibSectionPixels() override { release(); }
    uint32_t* allocate(int width, int height) override;
    void release() override;
    HBITMAP bitmap() const { return bitmap_; }

private:
    HBITMAP bitmap_ = nullptr;
};

} // namespace sabrith
