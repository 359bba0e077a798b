#include "sabrith/skin/skin_elements.h"

#include "sabrith/skin/skin_pixels.h"

#include <algorithm>

namespace sabrith {

SkinBitmap::SkinBitmap(std::string name) : SkinElement(std::move(name), ElementKind::bitmap) {
    pixels.resize(16, 16);
}

SkinImage::SkinImage(std::string name) : SkinElement(std::move(name), ElementKind::image) {
    events.fill(this);
}

void startTextGizmo(SkinSet& set, Gizmo& gizmo, int32_t kind, int32_t width, int32_t height) {
    gizmo.gizmoKind = kind;
    gizmo.width = std::max(width, minGizmoSide);
    gizmo.height = std::max(height, minGizmoSide);
    gizmo.newTextWidth = gizmo.oldTextWidth = gizmo.newScroll = gizmo.oldScroll = 0;
    gizmo.refreshCount = gizmo.slideRows = 0;
    gizmo.newText = gizmo.oldText = initialTrackText;
    gizmo.showRemaining = gizmo.timeTextWidth = 0;
    gizmo.strip = std::make_unique<DibImage>(kind == gizmoTrackInfo ? "TrackGizmo" : "TimeGizmo");
    // A strip too large for any window, or for what the skin may hold, is
    // not made; the gizmo then shows nothing.
    if (!sizeSkinImage(set, *gizmo.strip, gizmo.width, gizmo.height)) gizmo.strip.reset();
}

void startProgressGizmo(Gizmo& gizmo, int32_t source, int32_t width, int32_t height) {
    gizmo.gizmoKind = gizmoProgress;
    gizmo.source = source;
    gizmo.width = std::max(width, minGizmoSide);
    gizmo.height = std::max(height, minGizmoSide);
    gizmo.rangeValue = gizmo.currentValue = 1;
}

} // namespace sabrith
