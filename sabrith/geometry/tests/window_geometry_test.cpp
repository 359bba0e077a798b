#include "sabrith/geometry/window_geometry.h"

#include <gtest/gtest.h>

namespace sabrith {

void PrintTo(const Rect& r, std::ostream* out) {
    *out << "(" << r.x << ", " << r.y << ", " << r.w << " x " << r.h << ")";
}

namespace {

TEST(BorderZones, HitTestOfA100By50Window) {
    struct Case {
        int x, y, zone;
        CursorKind cursor;
    };
    const Case cases[] = {
        {0, 0, 1, CursorKind::sizeNwse},   {3, 3, 1, CursorKind::sizeNwse},
        {4, 0, 2, CursorKind::sizeNs},     {95, 3, 2, CursorKind::sizeNs},
        {96, 0, 3, CursorKind::sizeNesw},  {99, 3, 3, CursorKind::sizeNesw},
        {0, 4, 4, CursorKind::sizeWe},     {3, 45, 4, CursorKind::sizeWe},
        {4, 4, 5, CursorKind::arrow},      {95, 45, 5, CursorKind::arrow},
        {96, 4, 6, CursorKind::sizeWe},    {99, 45, 6, CursorKind::sizeWe},
        {0, 46, 7, CursorKind::sizeNesw},  {3, 49, 7, CursorKind::sizeNesw},
        {4, 46, 8, CursorKind::sizeNs},    {95, 49, 8, CursorKind::sizeNs},
        {96, 46, 9, CursorKind::sizeNwse}, {99, 49, 9, CursorKind::sizeNwse},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(zoneAt(c.x, c.y, 100, 50), c.zone);
        EXPECT_EQ(zoneCursor(c.zone), c.cursor);
    }
    EXPECT_EQ(zoneCursor(0), CursorKind::arrow);
}

// Limits as a skin states them: a minimum is raised to when the maximum is
// 0 or not below it; a maximum of 0 means none.
struct FakeSkin final : SkinSizing {
    int minW = 0, maxW = 0, minH = 0, maxH = 0;
    Size insets;
    void clampWindowSize(int& w, int& h) const override {
        if (maxW == 0 || minW <= maxW) w = std::max(w, minW);
        if (maxH == 0 || minH <= maxH) h = std::max(h, minH);
        if (maxW != 0) w = std::min(w, maxW);
        if (maxH > 0) h = std::min(h, maxH);
    }
    Size insetTotals() const override { return insets; }
    bool isResizable() const override { return true; }
};

TEST(SizeRule, SkinLimitsThenInsetsThenTheFloor) {
    const FakeSkin none;
    FakeSkin limited;
    limited.minW = 100, limited.maxW = 300, limited.minH = 50, limited.maxH = 200;
    FakeSkin inset;
    inset.insets = {20, 30};
    FakeSkin both = limited;
    both.insets = {120, 10};
    FakeSkin negative;
    negative.insets = {-50, -50};
    FakeSkin huge;
    huge.minW = huge.minH = 65535;
    FakeSkin tallInsets;
    tallInsets.insets = {0, 200000};
    struct Case {
        const char* name;
        const FakeSkin& skin;
        Size requested;
        bool fullScreen;
        Size expected;
    };
    const Case cases[] = {
        {"no skin keeps the size", none, {275, 116}, false, {275, 116}},
        {"no skin: at least 8 x 8", none, {3, -2}, false, {8, 8}},
        {"insets + 8", inset, {10, 10}, false, {28, 38}},
        {"skin limits", limited, {400, 20}, false, {300, 50}},
        {"limits, then insets + 8", both, {10, 10}, false, {128, 50}},
        {"negative insets count as none", negative, {3, 3}, false, {8, 8}},
        {"full screen takes the screen", both, {275, 116}, true, {640, 480}},
        // Past what a screen shows: 16384 a side, 2^25 pixels in all.
        {"a huge minimum", huge, {275, 116}, false, {16384, 2048}},
        {"huge insets", tallInsets, {275, 116}, false, {275, 16384}},
        {"a huge request", none, {INT32_MAX, INT32_MAX}, false, {16384, 2048}},
        {"a wide strip keeps its height", none, {16384, 2048}, false, {16384, 2048}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(applySizeRule(c.requested, c.fullScreen, {640, 480}, c.skin), c.expected);
    }
}

constexpr Rect mainWindow{400, 300, 280, 140}; // right 680, bottom 440
constexpr Rect desktop{0, 0, 1024, 768};

TEST(Snapping, EachKindAgainstOneCandidate) {
    struct Case {
        const char* name;
        Rect requested; // 100 x 50
        int vertical, horizontal;
        Rect expected;
    };
    const Case cases[] = {
        {"our bottom at its top", {450, 255, 100, 50}, 1, 0, {450, 250, 100, 50}},
        {"tops aligned", {450, 305, 100, 50}, 2, 0, {450, 300, 100, 50}},
        {"bottoms aligned", {450, 393, 100, 50}, 3, 0, {450, 390, 100, 50}},
        {"our top at its bottom", {450, 445, 100, 50}, 4, 0, {450, 440, 100, 50}},
        {"our right at its left", {304, 350, 100, 50}, 0, 1, {300, 350, 100, 50}},
        {"lefts aligned", {406, 350, 100, 50}, 0, 2, {400, 350, 100, 50}},
        {"rights aligned", {573, 350, 100, 50}, 0, 3, {580, 350, 100, 50}},
        {"our left at its right", {688, 350, 100, 50}, 0, 4, {680, 350, 100, 50}},
        {"a corner: both kinds", {406, 445, 100, 50}, 4, 2, {400, 440, 100, 50}},
        // Out of the other axis's band nothing snaps, however close the edge.
        {"beside, not below", {700, 445, 100, 50}, 0, 0, {700, 445, 100, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Placement p = snapToCandidates(c.requested, {mainWindow, {}, {}, {}});
        EXPECT_EQ(p.snap.vertical, c.vertical);
        EXPECT_EQ(p.snap.horizontal, c.horizontal);
        EXPECT_EQ(p.rect, c.expected);
        EXPECT_EQ(p.dockTarget, c.vertical || c.horizontal ? 0 : -1);
        // The offsets are taken before snapping.
        EXPECT_EQ(p.snap.dx, c.vertical || c.horizontal ? c.requested.x - mainWindow.x : 0);
        EXPECT_EQ(p.snap.dy, c.vertical || c.horizontal ? c.requested.y - mainWindow.y : 0);
    }
}

TEST(Snapping, NinePixelsSnapTenDoNot) {
    const DockCandidates candidates{mainWindow, {}, {}, desktop};
    const Placement nine = snapToCandidates({420, 449, 275, 116}, candidates);
    EXPECT_EQ(nine.dockTarget, 0);
    EXPECT_EQ(nine.snap, (SnapState{0, 4, 20, 149}));
    EXPECT_EQ(nine.rect, (Rect{420, 440, 275, 116}));

    const Placement ten = snapToCandidates({420, 450, 275, 116}, candidates);
    EXPECT_EQ(ten.dockTarget, -1);
    EXPECT_EQ(ten.rect, (Rect{420, 450, 275, 116}));
}

TEST(Snapping, CandidatesInOrderMissingOnesSkipped) {
    const Rect editor{400, 440, 280, 100};
    const Rect equalizer{400, 440, 280, 116};
    const Rect nearBoth{420, 445, 100, 50};
    // The main window is missing or hidden: the playlist editor, next in
    // order, wins over the equalizer at the same place.
    Placement p = snapToCandidates(nearBoth, {std::nullopt, editor, equalizer, desktop});
    EXPECT_EQ(p.dockTarget, 1);
    EXPECT_EQ(p.rect, (Rect{420, 440, 100, 50}));
    // The main window far away does not stop the search.
    p = snapToCandidates(nearBoth, {Rect{0, 0, 50, 50}, std::nullopt, equalizer, desktop});
    EXPECT_EQ(p.dockTarget, 2);
}

TEST(Snapping, DesktopEdges) {
    const Placement p = snapToCandidates({3, 655, 275, 116}, {std::nullopt, {}, {}, desktop});
    EXPECT_EQ(p.dockTarget, 3);
    EXPECT_EQ(p.snap.vertical, 3);
    EXPECT_EQ(p.snap.horizontal, 2);
    EXPECT_EQ(p.rect, (Rect{0, 652, 275, 116}));
}

TEST(Following, KindCombinations) {
    const Rect window{0, 0, 100, 50};
    const Rect target{500, 200, 280, 140};
    struct Case {
        const char* name;
        SnapState snap;
        Rect expected;
    };
    const Case cases[] = {
        {"under it, lefts aligned", {2, 4, 0, 0}, {500, 340, 100, 50}},
        {"above it, only vertical: x keeps dx", {0, 1, 30, 99}, {530, 150, 100, 50}},
        {"right of it, only horizontal: y keeps dy", {4, 0, 99, -20}, {780, 180, 100, 50}},
        {"tops and rights aligned", {3, 2, 0, 0}, {680, 200, 100, 50}},
        {"bottoms aligned, left of it", {1, 3, 0, 0}, {400, 290, 100, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(followTarget(window, c.snap, target), c.expected);
    }
}

TEST(DockingHook, RectangleFromTheFlagsWord) {
    const Rect current{400, 300, 280, 140};
    struct Case {
        uint32_t flags;
        Rect expected;
    };
    const Case cases[] = {
        {1, {10, 20, 280, 140}},   // no size: new place, current size
        {2, {400, 300, 300, 150}}, // no move: new size, current place
        {5, current},              // no size | no z-order: lags one move behind
        {0x15, current},           // a plain move as test hosts send it
        {3, current},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(hookTargetRect(current, c.flags, 10, 20, 300, 150), c.expected);
    }
}

TEST(Dragging, EachZoneMovesItsEdges) {
    const Rect start{100, 100, 200, 80};
    struct Case {
        int zone;
        Rect expected;
    };
    const Case cases[] = {
        {0, start},
        {1, {110, 95, 190, 85}},
        {2, {100, 95, 200, 85}},
        {3, {100, 95, 210, 85}},
        {4, {110, 100, 190, 80}},
        {5, {110, 95, 200, 80}},
        {6, {100, 100, 210, 80}},
        {7, {110, 100, 190, 75}},
        {8, {100, 100, 200, 75}},
        {9, {100, 100, 210, 75}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        EXPECT_EQ(dragRect(c.zone, start, start, 10, -5), c.expected);
    }
    // Values a zone does not name stay as they are now, not as at the start
    // (a snap during the drag moved the window).
    EXPECT_EQ(dragRect(8, start, Rect{120, 90, 200, 80}, 10, -5), (Rect{120, 90, 200, 75}));
}

} // namespace
} // namespace sabrith
