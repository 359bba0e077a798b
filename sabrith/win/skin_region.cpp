#include "sabrith/win/skin_region.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace sabrith {

HRGN regionToGdi(const Region& region) {
    const std::vector<RegionRect> rects = region.rects();
    if (rects.empty()) return CreateRectRgn(0, 0, 0, 0);
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof header;
    header.iType = RDH_RECTANGLES;
    header.nCount = DWORD(rects.size());
    header.nRgnSize = DWORD(rects.size() * sizeof(RECT));
    const RegionRect box = region.boundingBox();
    header.rcBound = RECT{box.left, box.top, box.right, box.bottom};
    std::memcpy(data.data(), &header, sizeof header);
    RECT* out = reinterpret_cast<RECT*>(data.data() + sizeof header);
    for (std::size_t i = 0; i < rects.size(); ++i)
        out[i] = RECT{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    if (HRGN made = ExtCreateRegion(nullptr, DWORD(data.size()),
                                    reinterpret_cast<const RGNDATA*>(data.data())))
        return made;
    // Some systems refuse very long rectangle lists; build it band by band.
    HRGN whole = CreateRectRgn(0, 0, 0, 0);
    if (!whole) return nullptr;
    for (const RegionRect& r : rects) {
        HRGN piece = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        if (!piece) continue;
        CombineRgn(whole, whole, piece, RGN_OR);
        DeleteObject(piece);
    }
    return whole;
}

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

} // namespace sabrith
