// Where the frameless window stands and how big it may be: the border zones
// the user drags, the size rule, snapping to the player's windows and to the
// screen's edges, following the window it docked to, and the arithmetic of
// a drag. Pure arithmetic on rectangles: the window procedure, the hook and
// the skin feed it numbers and apply what comes back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace sabrith {

// Screen pixels; right() and bottom() are exclusive.
struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool operator==(const Rect&) const = default;
};

struct Size {
    int w = 0;
    int h = 0;
    bool operator==(const Size&) const = default;
};

// Hit-test zones of the 4-pixel border: 1 2 3 on the top edge, 4 5 6 across
// the middle band, 7 8 9 on the bottom edge; 5 is the body, which moves the
// window. 0 means no zone (no drag held).
constexpr int borderWidth = 4;
constexpr int bodyZone = 5;
int zoneAt(int x, int y, int width, int height);

enum class CursorKind { arrow, sizeNwse, sizeNs, sizeNesw, sizeWe };
CursorKind zoneCursor(int zone);

// What the size rule needs of the skin: its own limits and the room its
// insets take. With no skin active clampWindowSize leaves the size alone
// and the inset totals are 0, 0.
class SkinSizing {
public:
    virtual ~SkinSizing() = default;
    virtual void clampWindowSize(int& width, int& height) const = 0;
    virtual Size insetTotals() const = 0;
    virtual bool isResizable() const = 0;
};

// Full screen takes the screen's size; in window mode the skin's limits
// apply first, then the size is raised to the inset totals + 8 (8 x 8 with
// no skin), so the effect always keeps some room. Last, the window is held
// to what a screen can show (screen_limits.h): a side of at most
// maxScreenSide, at most maxScreenPixels in all, the height giving way.
Size applySizeRule(Size requested, bool fullScreen, Size screen, const SkinSizing& skin);

// How the window lines up with its dock target, per axis (0 none).
// Vertical: 1 our bottom at its top, 2 tops aligned, 3 bottoms aligned,
// 4 our top at its bottom. Horizontal: 1 our right at its left, 2 lefts
// aligned, 3 rights aligned, 4 our left at its right. dx, dy: the offset
// from the target's left and top before snapping, kept for the axis that
// has no kind.
struct SnapState {
    int horizontal = 0;
    int vertical = 0;
    int dx = 0;
    int dy = 0;
    bool operator==(const SnapState&) const = default;
};

constexpr int snapDistance = 10;

// The player's main window, its playlist editor, its equalizer and the
// desktop, in this order; a missing or hidden one is nullopt.
constexpr int dockCandidateCount = 4;
using DockCandidates = std::array<std::optional<Rect>, dockCandidateCount>;

struct Placement {
    Rect rect;
    int dockTarget = -1; // index into the candidates, -1 none
    SnapState snap;
};

// Snaps a rectangle whose size already passed the size rule: the first
// visible candidate within 10 pixels on either axis becomes the dock target.
Placement snapToCandidates(Rect requested, const DockCandidates& candidates);

// Where the docked window goes when its target now stands at `target`; the
// window keeps its size.
Rect followTarget(Rect window, const SnapState& snap, Rect target);

// The rectangle the dock target is about to take, from its position-changing
// record: flags exactly "no move" (2) give the new size at the current place,
// exactly "no size" (1) the new place with the current size, anything else
// the current rectangle (the window then lags one move behind).
constexpr uint32_t positionNoSize = 1;
constexpr uint32_t positionNoMove = 2;
Rect hookTargetRect(Rect current, uint32_t flags, int x, int y, int cx, int cy);

// A drag of `zone` that started at `start`, the cursor now moved by
// (ddx, ddy): the edges the zone holds follow the cursor, the others keep
// their value in `current`.
Rect dragRect(int zone, Rect start, Rect current, int ddx, int ddy);

} // namespace sabrith
