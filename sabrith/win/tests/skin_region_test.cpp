// Portable regions as window regions, and the outline filled by GDI paths
// against the portable filling.
#include "sabrith/win/skin_region.h"

#include "sabrith/skin/polygon_fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <vector>

namespace sabrith {
namespace {

// The pixels of a GDI region.
Region regionFromGdi(HRGN region) {
    RegionBuilder builder;
    const DWORD size = GetRegionData(region, 0, nullptr);
    if (size < sizeof(RGNDATAHEADER)) return builder.finish();
    std::vector<uint8_t> data(size);
    auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
    if (GetRegionData(region, size, rgn) != size) return builder.finish();
    const RECT* rects = reinterpret_cast<const RECT*>(rgn->Buffer);
    const DWORD count = std::min<DWORD>(rgn->rdh.nCount, (size - rgn->rdh.dwSize) / sizeof(RECT));
    for (DWORD i = 0; i < count; ++i)
        for (LONG y = rects[i].top; y < rects[i].bottom; ++y)
            builder.addSpan(y, rects[i].left, rects[i].right);
    return builder.finish();
}

// The figures filled by GDI paths (alternate rule, one path per figure,
// combined by exclusive or), the way the outline was always made.
HRGN outlineByGdiPaths(const std::vector<OutlineFigure>& figures) {
    const HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return nullptr;
    HRGN outline = CreateRectRgn(0, 0, 0, 0);
    for (const OutlineFigure& figure : figures) {
        if (!outline || figure.empty()) continue;
        BeginPath(dc);
        MoveToEx(dc, figure[0].x, figure[0].y, nullptr);
        for (std::size_t i = 1; i < figure.size(); ++i) LineTo(dc, figure[i].x, figure[i].y);
        EndPath(dc);
        HRGN piece = PathToRegion(dc);
        if (!piece) continue; // a figure GDI cannot fill adds nothing
        CombineRgn(outline, outline, piece, RGN_XOR);
        DeleteObject(piece);
    }
    DeleteDC(dc);
    return outline;
}

void expectSamePixels(HRGN gdi, const Region& region, int width, int height, const char* what) {
    for (int y = -2; y < height + 2; ++y)
        for (int x = -2; x < width + 2; ++x)
            ASSERT_EQ(PtInRegion(gdi, x, y) != 0, region.contains(x, y))
                << what << " at " << x << "," << y;
}

// A window shape as a skin makes it: the window minus tiled holes and a
// cut-out of a corner.
Region skinShape() {
    Region holes = Region::rect(2, 3, 5, 7);
    holes.unite(Region::rect(7, 1, 9, 2));
    Region shape = Region::rect(0, 0, 120, 80);
    shape.subtract(holes.tiled(9, 12, 0));
    Region corner = Region::rect(0, 0, 6, 6);
    corner.subtract(Region::rect(0, 5, 1, 6));
    shape.subtract(corner);
    shape.subtract(Region::rect(100, 60, 120, 80).tiled(3, 0, 7));
    return shape;
}

TEST(SkinRegion, WindowRegionAnswersLikeThePortableRegion) {
    const Region shape = skinShape();
    HRGN gdi = regionToGdi(shape);
    ASSERT_NE(gdi, nullptr);
    expectSamePixels(gdi, shape, 120, 80, "converted");
    EXPECT_EQ(regionFromGdi(gdi), shape) << "and back";
    DeleteObject(gdi);

    HRGN empty = regionToGdi(Region());
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(PtInRegion(empty, 0, 0));
    DeleteObject(empty);

    // On a real window: the system keeps its own copy of the shape.
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 120, 80, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(SetWindowRgn(window, regionToGdi(shape), FALSE), 0);
    HRGN applied = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(window, applied), ERROR);
    expectSamePixels(applied, shape, 120, 80, "window region");
    DeleteObject(applied);
    DestroyWindow(window);
}

TEST(SkinRegion, OutlineByGdiPathsAgreesWithThePortableFilling) {
    const std::vector<OutlinePoint> outlines[] = {
        // The ring of two squares.
        {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {2, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 2}},
        // A face with cut corners (diagonal edges) as skins draw them.
        {{10, 0}, {90, 0}, {100, 10}, {100, 50}, {90, 60}, {10, 60}, {0, 50}, {0, 10}, {10, 0}},
        // A triangle with a steep and a shallow edge.
        {{3, 1}, {60, 9}, {17, 55}},
        // A five-pointed star in one stroke: the middle stays out.
        {{32, 2}, {51, 60}, {2, 24}, {62, 24}, {13, 60}},
    };
    // And random outlines of a few figures, crossing themselves and each
    // other.
    std::vector<std::vector<OutlinePoint>> all(std::begin(outlines), std::end(outlines));
    std::mt19937 random(28);
    for (int round = 0; round < 12; ++round) {
        std::vector<OutlinePoint> points;
        const int count = 3 + int(random() % 12);
        for (int i = 0; i < count; ++i)
            points.push_back({int32_t(random() % 140) - 6, int32_t(random() % 140) - 6});
        points.push_back(points.front());
        points.push_back({int32_t(random() % 128), int32_t(random() % 128)});
        points.push_back({int32_t(random() % 128), int32_t(random() % 128)});
        points.push_back({int32_t(random() % 128), int32_t(random() % 128)});
        all.push_back(points);
    }
    int index = 0;
    for (const auto& points : all) {
        const std::vector<OutlineFigure> figures = splitOutlineFigures(points);
        HRGN gdi = outlineByGdiPaths(figures);
        ASSERT_NE(gdi, nullptr);
        const Region portable = fillEvenOdd(figures, RegionRect{0, 0, 128, 128});
        int differing = 0;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x)
                if ((PtInRegion(gdi, x, y) != 0) != portable.contains(x, y)) ++differing;
        EXPECT_EQ(differing, 0) << "outline " << index;
        DeleteObject(gdi);
        ++index;
    }
}

} // namespace
} // namespace sabrith
