#include "sabrith/skin/tests/skin_workout.h"

#include "sabrith/skin/region.h"
#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/skin_gizmos.h"

namespace sabrith::test {

void workOutSkin(SkinSet& set, FakeClock& clock, int width, int height) {
    set.setWindowSize(width, height);
    DibImage frame("frame");
    if (!frame.resize(width, height)) return;
    const auto tick = [&] {
        clock.time += 20;
        skinTick(set);
    };
    const int points[][2] = {{1, 1}, {width / 2, height / 2}, {width - 2, height - 2}};
    for (const auto& point : points) {
        skinMouseEvent(set, point[0], point[1], mouseMove);
        skinMouseEvent(set, point[0], point[1], mouseDown);
        tick();
        skinMouseEvent(set, point[0], point[1], mouseUp);
        tick();
    }
    setFocusState(set, frame, 0);
    setFocusState(set, frame, 1);
    drawSkin(set, frame);
    if (const auto shape = buildWindowShape(set)) shape->rects();
}

} // namespace sabrith::test
