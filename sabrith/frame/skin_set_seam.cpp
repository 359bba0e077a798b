#include "sabrith/frame/skin_set_seam.h"

#include "sabrith/skin/region.h"
#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/skin_gizmos.h"

namespace sabrith {

void SkinSetSeam::clampWindowSize(int& width, int& height) const {
    int32_t w = width, h = height;
    set_.clampWindowSize(w, h);
    width = w;
    height = h;
}

Size SkinSetSeam::insetTotals() const {
    int32_t horizontal = 0, vertical = 0;
    set_.getInsetTotals(horizontal, vertical);
    return {horizontal, vertical};
}

Size SkinSetSeam::insetOrigin() const {
    int32_t left = 0, top = 0;
    set_.getInsetOrigin(left, top);
    return {left, top};
}

std::optional<std::vector<Rect>> SkinSetSeam::windowShape() const {
    const std::unique_ptr<Region> shape = buildWindowShape(set_);
    if (!shape) return std::nullopt;
    std::vector<Rect> rects;
    for (const RegionRect& r : shape->rects())
        rects.push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
    return rects;
}

void SkinSetSeam::drawSkin(DibImage& picture) {
    sabrith::drawSkin(set_, picture);
}

void SkinSetSeam::setFocusState(DibImage& picture, bool focused) {
    sabrith::setFocusState(set_, picture, focused ? 1 : 0);
}

bool SkinSetSeam::tick() {
    return skinTick(set_);
}

int SkinSetSeam::mouseEvent(int event, int x, int y) {
    return skinMouseEvent(set_, x, y, event);
}

} // namespace sabrith
