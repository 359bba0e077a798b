#include "sabrith/geometry/window_geometry.h"

#include "sabrith/screen_limits.h"

#include <algorithm>
#include <cstdlib>

namespace sabrith {

int zoneAt(int x, int y, int width, int height) {
    const int row = y < borderWidth ? 0 : y >= height - borderWidth ? 2 : 1;
    const int column = x < borderWidth ? 0 : x >= width - borderWidth ? 2 : 1;
    return row * 3 + column + 1;
}

CursorKind zoneCursor(int zone) {
    switch (zone) {
    case 1:
    case 9: return CursorKind::sizeNwse;
    case 2:
    case 8: return CursorKind::sizeNs;
    case 3:
    case 7: return CursorKind::sizeNesw;
    case 4:
    case 6: return CursorKind::sizeWe;
    default: return CursorKind::arrow;
    }
}

Size applySizeRule(Size requested, bool fullScreen, Size screen, const SkinSizing& skin) {
    if (fullScreen) return screen;
    Size size = requested;
    skin.clampWindowSize(size.w, size.h);
    const Size insets = skin.insetTotals();
    // Negative insets count as none here too: the effect's rectangle ignores
    // them. Sizes come from skins, settings and drags: none may ask for a
    // window (and two images of its size) larger than any screen.
    const auto bound = [](int value, int inset) {
        return int(std::min<int64_t>(std::max<int64_t>(value, int64_t(std::max(inset, 0)) + 8),
                                     maxScreenSide));
    };
    size.w = bound(size.w, insets.w);
    size.h = bound(size.h, insets.h);
    size.h = int(std::min<int64_t>(size.h, maxScreenPixels / size.w));
    return size;
}

namespace {

// One axis's snap kind: the window's span pos..pos+length against the
// candidate's start..start+extent, 0 unless the window also stands within
// 10 pixels of the candidate's span on the crossing axis.
struct Span {
    int start;
    int length;
    int end() const { return start + length; }
};

int snapKind(Span ours, Span theirs, Span oursAcross, Span theirsAcross) {
    if (!(oursAcross.start > theirsAcross.start - oursAcross.length - snapDistance &&
          oursAcross.start < theirsAcross.end() + snapDistance))
        return 0;
    if (std::abs(ours.end() - theirs.start) < snapDistance) return 1;
    if (std::abs(ours.start - theirs.start) < snapDistance) return 2;
    if (std::abs(ours.end() - theirs.end()) < snapDistance) return 3;
    if (std::abs(ours.start - theirs.end()) < snapDistance) return 4;
    return 0;
}

// Where an edge of `length` goes for a kind against the span start..start+extent.
int snappedStart(int kind, int start, int extent, int length) {
    switch (kind) {
    case 1: return start - length;
    case 2: return start;
    case 3: return start + extent - length;
    default: return start + extent;
    }
}

} // namespace

Placement snapToCandidates(Rect requested, const DockCandidates& candidates) {
    Placement out{requested, -1, {}};
    for (int i = 0; i < dockCandidateCount; ++i) {
        const std::optional<Rect>& candidate = candidates[std::size_t(i)];
        if (!candidate) continue;
        const Rect& c = *candidate;
        SnapState snap;
        snap.dx = requested.x - c.x;
        snap.dy = requested.y - c.y;
        const Span ourX{requested.x, requested.w}, ourY{requested.y, requested.h};
        const Span theirX{c.x, c.w}, theirY{c.y, c.h};
        snap.vertical = snapKind(ourY, theirY, ourX, theirX);
        snap.horizontal = snapKind(ourX, theirX, ourY, theirY);
        if (snap.vertical == 0 && snap.horizontal == 0) continue;
        out.dockTarget = i;
        out.snap = snap;
        if (snap.vertical) out.rect.y = snappedStart(snap.vertical, c.y, c.h, requested.h);
        if (snap.horizontal) out.rect.x = snappedStart(snap.horizontal, c.x, c.w, requested.w);
        break;
    }
    return out;
}

Rect followTarget(Rect window, const SnapState& snap, Rect target) {
    Rect out = window;
    out.y = snap.vertical ? snappedStart(snap.vertical, target.y, target.h, window.h)
                          : target.y + snap.dy;
    out.x = snap.horizontal ? snappedStart(snap.horizontal, target.x, target.w, window.w)
                            : target.x + snap.dx;
    return out;
}

Rect hookTargetRect(Rect current, uint32_t flags, int x, int y, int cx, int cy) {
    if (flags == positionNoMove) return {current.x, current.y, cx, cy};
    if (flags == positionNoSize) return {x, y, current.w, current.h};
    return current;
}

Rect dragRect(int zone, Rect start, Rect current, int ddx, int ddy) {
    Rect out = current;
    if (zone >= 1 && zone <= 3) {
        out.y = start.y + ddy;
        out.h = start.h - ddy;
    }
    if (zone >= 7 && zone <= 9) out.h = start.h + ddy;
    if (zone == 1 || zone == 4 || zone == 7) {
        out.x = start.x + ddx;
        out.w = start.w - ddx;
    }
    if (zone == 3 || zone == 6 || zone == 9) out.w = start.w + ddx;
    if (zone == bodyZone) {
        out.x = start.x + ddx;
        out.y = start.y + ddy;
    }
    return out;
}

} // namespace sabrith
