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

TEST(DibSection, CopyFromContextFillsFromTheStartToTheEdges) {
    // A memory context showing red at its origin pixel and blue beside it.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(dc && bitmap);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 8, 8};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetPixel(dc, 0, 0, RGB(255, 0, 0));
    SetPixel(dc, 1, 0, RGB(0, 0, 255));

    DibImage image("text", std::make_unique<DibSectionPixels>());
    ASSERT_EQ(image.resize(4, 4), 1);
    image.fillRect(RGB(0, 255, 0), 255, 0, 0, 4, 4);
    EXPECT_EQ(copyFromDC(image, dc, 2, 1), 1);
    const uint32_t* p = image.pixels();
    EXPECT_EQ(p[1 * 4 + 2], 0xFF0000u) << "red, as a pixel";
    EXPECT_EQ(p[1 * 4 + 3], 0x0000FFu) << "blue, as a pixel";
    EXPECT_EQ(p[3 * 4 + 3], 0u);
    EXPECT_EQ(p[0 * 4 + 2], 0x00FF00u) << "rows above the start stay";
    EXPECT_EQ(p[1 * 4 + 1], 0x00FF00u) << "columns left of the start stay";
    EXPECT_EQ(image.lockCount(), 0);

    DibImage empty("none", std::make_unique<DibSectionPixels>());
    EXPECT_EQ(copyFromDC(empty, dc, 0, 0), 0);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

} // namespace
} // namespace sabrith
