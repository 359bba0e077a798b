// A picture in a real DIB section: resized, drawn into, put on a window and
// read back from the screen.
#include "sabrith/win/dib_section.h"
#include "sabrith/win/image_drawing.h"

#include <gtest/gtest.h>

namespace sabrith {
namespace {

TEST(DibSection, ImageDrawsOntoAWindow) {
    DibImage image("frame", std::make_unique<DibSectionPixels>());
    ASSERT_EQ(image.resize(2, 3), 1);
    EXPECT_EQ(image.width(), 4);
    ASSERT_EQ(image.resize(40, 30), 1);
    EXPECT_NE(static_cast<DibSectionPixels&>(image.storage()).bitmap(), nullptr);
    EXPECT_EQ(image.pixels()[40 * 30 - 1], 0u) << "a new section starts black";
    image.fillRect(0x0000FF, 255, 10, 5, 8, 4); // red
    HWND window = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 60, 50, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(window);
    UpdateWindow(window);
    HDC dc = GetDC(window);
    drawImage(dc, image, 2, 2);
    GdiFlush();
    EXPECT_EQ(GetPixel(dc, 2 + 12, 2 + 6), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 2 + 1, 2 + 1), RGB(0, 0, 0));
    ReleaseDC(window, dc);
    DestroyWindow(window);
    image.release();
    EXPECT_EQ(static_cast<DibSectionPixels&>(image.storage()).bitmap(), nullptr);
}

} // namespace
} // namespace sabrith
