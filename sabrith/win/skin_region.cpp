#include "sabrith/win/skin_region.h"

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

} // namespace sabrith
