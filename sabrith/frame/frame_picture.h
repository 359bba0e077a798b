// The arithmetic of one frame's picture: the rectangle the effect draws in
// (inside the skin's insets) and how the fresh picture is carried into the
// next frame as trails.
#pragma once

#include "sabrith/dib_image.h"
#include "sabrith/geometry/window_geometry.h"

namespace sabrith {

class Effect;

// Origin = the skin's inset origin, size = the image less the inset totals.
// An inset total not smaller than the image's extent counts as 0 (the effect
// gets the whole extent). Negative insets count as 0, and the result is cut
// to the image, so no skin file can send an effect outside its picture.
Rect effectRect(Size image, Size insetOrigin, Size insetTotals);

// The trail copy: Blur off and Fade 0 fade by 1 (fading by 0 would leave
// the target unwritten and burn the skin into the trails), Blur on
// blur-fades by Fade / 4, otherwise fade by Fade (128-130 clear). No effect
// counts as Blur 0, Fade 1.
struct TrailCopy {
    bool blur = false;
    int amount = 1;
    bool operator==(const TrailCopy&) const = default;
};
TrailCopy trailCopyFor(const Effect* effect);

// Copies `from` into `to` with trails; false when the sizes differ.
bool copyWithTrails(DibImage& from, DibImage& to, TrailCopy trail);

} // namespace sabrith
