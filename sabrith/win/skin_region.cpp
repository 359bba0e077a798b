#include "sabrith/win/skin_region.h"

#include <algorithm>
#include <cstring>

namespace sabrith {

HRGN rectsToGdi(const std::vector<RECT>& rects) {
    if (rects.empty()) return CreateRectRgn(0, 0, 0, 0);
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof header;
    header.iType = RDH_RECTANGLES;
    header.nCount = DWORD(rects.size());
    header.nRgnSize = DWORD(rects.size() * sizeof(RECT));
    header.rcBound = rects[0];
    for (const RECT& r : rects) {
        header.rcBound.left = std::min(header.rcBound.left, r.left);
        header.rcBound.top = std::min(header.rcBound.top, r.top);
        header.rcBound.right = std::max(header.rcBound.right, r.right);
        header.rcBound.bottom = std::max(header.rcBound.bottom, r.bottom);
    }
    std::memcpy(data.data(), &header, sizeof header);
    std::memcpy(data.data() + sizeof header, rects.data(), rects.size() * sizeof(RECT));
    if (HRGN made = ExtCreateRegion(nullptr, DWORD(data.size()),
                                    reinterpret_cast<const RGNDATA*>(data.data())))
        return made;
    // Some systems refuse very long rectangle lists; build it band by band.
    HRGN whole = CreateRectRgn(0, 0, 0, 0);
    if (!whole) return nullptr;
    for (const RECT& r : rects) {
        HRGN piece = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        if (!piece) continue;
        CombineRgn(whole, whole, piece, RGN_OR);
        DeleteObject(piece);
    }
    return whole;
}

HRGN regionToGdi(const Region& region) {
    std::vector<RECT> rects;
    for (const RegionRect& r : region.rects()) rects.push_back({r.left, r.top, r.right, r.bottom});
    return rectsToGdi(rects);
}

} // namespace sabrith
