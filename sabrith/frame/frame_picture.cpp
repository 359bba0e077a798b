#include "sabrith/frame/frame_picture.h"

#include "sabrith/effect.h"

#include <algorithm>

namespace sabrith {

namespace {

// One axis: the start and the extent left inside `extent`.
void insetAxis(int extent, int origin, int total, int& start, int& length) {
    const int before = std::max(origin, 0);
    const int after = std::max(total - origin, 0);
    if (before + after >= extent) {
        start = 0;
        length = extent;
    } else {
        start = before;
        length = extent - before - after;
    }
}

Rect intersect(Rect r, Size bounds) {
    const int x0 = std::clamp(r.x, 0, bounds.w), y0 = std::clamp(r.y, 0, bounds.h);
    const int x1 = std::clamp(r.right(), x0, bounds.w), y1 = std::clamp(r.bottom(), y0, bounds.h);
    return {x0, y0, x1 - x0, y1 - y0};
}

} // namespace

Rect effectRect(Size image, Size insetOrigin, Size insetTotals) {
    Rect r;
    insetAxis(image.w, insetOrigin.w, insetTotals.w, r.x, r.w);
    insetAxis(image.h, insetOrigin.h, insetTotals.h, r.y, r.h);
    return intersect(r, image);
}

TrailCopy trailCopyFor(const Effect* effect) {
    const int blur = effect ? effect->blur : 0;
    const int fade = effect ? effect->fade : 1;
    if (blur != 0) return {true, fade / 4};
    return {false, fade == 0 ? 1 : fade};
}

bool copyWithTrails(DibImage& from, DibImage& to, TrailCopy trail) {
    if (from.width() != to.width() || from.height() != to.height()) return false;
    return (trail.blur ? from.blurFade(trail.amount, &to) : from.fade(trail.amount, &to)) != 0;
}

} // namespace sabrith
