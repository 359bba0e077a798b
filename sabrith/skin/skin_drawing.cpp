#include "sabrith/skin/skin_drawing.h"

#include "sabrith/skin/region.h"
#include "sabrith/skin/skin_gizmos.h"

#include "sabrith/skin/skin_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace sabrith {

namespace {

int64_t alignedPlace(int32_t align, int32_t offset, int32_t size, int32_t room) {
    switch (align) {
    case alignMiddle: return (int64_t(room) - size) / 2 + offset;
    case alignEnd: return int64_t(room) - offset - size;
    default: return offset;
    }
}

// Velocities past any window's size move no differently and keep the step
// arithmetic in range.
constexpr int64_t maxDriftVelocity = int64_t(1) << 24;

int64_t driftMove(int64_t remaining, int64_t nominal) {
    if (nominal == 0) return remaining;
    const int64_t step = std::min(std::llabs(nominal), std::llabs(remaining));
    return remaining < 0 ? -step : step;
}

BlitMode modeOf(int32_t transparency) {
    return transparency == 1   ? BlitMode::keyed
           : transparency == 2 ? BlitMode::alphaBlend
                               : BlitMode::copy;
}

// A blit at a position that may lie anywhere: pieces wholly outside the
// target are dropped before the position is narrowed to int.
void blitAt(DibImage& target, int64_t x, int64_t y, int w, int h, const DibImage& source, int sx,
            int sy, BlitMode mode) {
    if (x >= target.width() || y >= target.height() || x + w <= 0 || y + h <= 0) return;
    target.blit(int(x), int(y), w, h, source, sx, sy, mode);
}

void drawImage(SkinSet& set, DibImage& target, SkinImage& image) {
    if (!imageFits(set, image) || image.width == 0 || image.height == 0 || image.effWidth == 0 ||
        image.effHeight == 0 || !image.pixels.valid())
        return;
    const BlitMode mode = modeOf(image.transparency);
    const int64_t x = image.posX, y = image.posY;
    if (image.tileMode == tileHorizontal || image.tileMode == tileVertical) {
        const bool across = image.tileMode == tileHorizontal;
        const int32_t tile = across ? image.width : image.height;
        const int32_t length = across ? image.effWidth : image.effHeight;
        const int64_t whole = length / tile, rest = length % tile;
        for (int64_t i = 0; i <= whole; ++i) {
            const int32_t piece = i < whole ? tile : int32_t(rest);
            if (piece <= 0) break;
            // The last piece starts from the tile's left (top) edge.
            const int64_t at = i < whole ? i * tile : int64_t(length) - rest;
            if (across)
                blitAt(target, x + at, y, piece, image.height, image.pixels, 0, 0, mode);
            else
                blitAt(target, x, y + at, image.width, piece, image.pixels, 0, 0, mode);
        }
    } else {
        blitAt(target, x, y, image.effWidth, image.effHeight, image.pixels, 0, 0, mode);
    }
    for (const Gizmo* gizmo : image.gizmos) {
        switch (gizmo->gizmoKind) {
        case gizmoButton:
            if (gizmo->image)
                blitAt(target, x + gizmo->offsetX, y + gizmo->offsetY, gizmo->image->effWidth,
                       gizmo->image->effHeight, gizmo->image->pixels, 0, 0,
                       modeOf(gizmo->image->transparency));
            break;
        case gizmoTrackInfo: drawTrackInfo(set, target, image, *gizmo); break;
        case gizmoTimeInfo: drawTimeInfo(set, target, image, *gizmo); break;
        case gizmoProgress: drawProgress(set, target, image, *gizmo); break;
        default: break;
        }
    }
}

} // namespace

void layoutImages(SkinSet& set) {
    for (const auto& element : set.elementList()) {
        if (element->kind != ElementKind::image) continue;
        auto& image = static_cast<SkinImage&>(*element);
        image.effWidth = image.tileMode == tileHorizontal ? set.windowWidth : image.width;
        image.effHeight = image.tileMode == tileVertical ? set.windowHeight : image.height;
        if (image.placed == 1) imagePosition(set, image, image.posX, image.posY);
    }
}

void imagePosition(const SkinSet& set, const SkinImage& image, int32_t& x, int32_t& y) {
    x = saturated(alignedPlace(image.hAlign, image.offsetX, image.effWidth, set.windowWidth));
    y = saturated(alignedPlace(image.vAlign, image.offsetY, image.effHeight, set.windowHeight));
}

int imageFits(const SkinSet& set, const SkinImage& image) {
    return set.isActive() && image.width <= set.windowWidth && image.height <= set.windowHeight ? 1
                                                                                                : 0;
}

void scheduleSwitch(ImageSlot& slot, SkinImage* target, int32_t delay, uint32_t now) {
    if (!target || target == slot.shownImage) return;
    const uint32_t due = now + uint32_t(delay);
    // Tick counts wrap: "no later than" is a signed difference.
    if (slot.switchTime != 0 && int32_t(slot.switchTime - due) <= 0) return;
    slot.pendingImage = target;
    slot.switchTime = due == 0 ? 1 : due; // 0 stands for "none"
}

void runDueSwitch(ImageSlot& slot, uint32_t now) {
    if (slot.switchTime != 0 && int32_t(now - slot.switchTime) >= 0) {
        if (slot.pendingImage && slot.shownImage) {
            slot.pendingImage->posX = slot.shownImage->posX;
            slot.pendingImage->posY = slot.shownImage->posY;
            slot.pendingImage->placed = 0;
            slot.shownImage = slot.pendingImage;
        }
        slot.pendingImage = nullptr;
        slot.switchTime = 0;
    }
    if (slot.switchTime == 0 && slot.shownImage)
        scheduleSwitch(slot, slot.shownImage->events[onTime], slot.shownImage->delays[onTime], now);
}

void driftImage(const SkinSet& set, SkinImage& image) {
    int32_t tx = 0, ty = 0;
    imagePosition(set, image, tx, ty);
    const int64_t dx = int64_t(tx) - image.posX, dy = int64_t(ty) - image.posY;
    if (dx != 0 || dy != 0) {
        const auto d = int64_t(std::sqrt(double(dx) * double(dx) + double(dy) * double(dy)));
        const int64_t velocity =
            std::clamp<int64_t>(image.driftVelocity, -maxDriftVelocity, maxDriftVelocity);
        image.posX = saturated(image.posX + driftMove(dx, dx * velocity / d));
        image.posY = saturated(image.posY + driftMove(dy, dy * velocity / d));
    }
    if (image.posX == tx && image.posY == ty) image.placed = 1;
}

void setFocusState(SkinSet& set, DibImage& backBuffer, int32_t focus) {
    if (!set.isActive() || focus == set.focusState) return;
    set.focusState = focus;
    const SkinEvent event = focus ? onGainFocus : onLoseFocus;
    const uint32_t now = set.services.clock.now();
    for (ImageSlot& slot : set.currentSkin->images)
        if (slot.shownImage)
            scheduleSwitch(slot, slot.shownImage->events[event], slot.shownImage->delays[event],
                           now);
    drawSkin(set, backBuffer);
}

std::unique_ptr<Region> placedCutOut(const SkinSet& set, const SkinImage& image) {
    if (!imageFits(set, image) || !image.cutOutRegion || image.width < 1 || image.height < 1)
        return nullptr;
    auto region = std::make_unique<Region>(*image.cutOutRegion);
    if (image.tileMode == tileHorizontal || image.tileMode == tileVertical) {
        const bool across = image.tileMode == tileHorizontal;
        const int64_t tile = across ? image.width : image.height;
        const int64_t length = across ? image.effWidth : image.effHeight;
        const int64_t copies = std::max<int64_t>(length / tile + (length % tile ? 1 : 0), 0);
        *region = region->tiled(copies, across ? tile : 0, across ? 0 : tile);
    }
    region->offset(image.posX, image.posY);
    return region;
}

std::unique_ptr<Region> buildWindowShape(const SkinSet& set) {
    if (!set.isActive()) return nullptr;
    std::unique_ptr<Region> shape;
    for (const ImageSlot& slot : set.currentSkin->images) {
        if (!slot.shownImage) continue;
        const auto holes = placedCutOut(set, *slot.shownImage);
        if (!holes) continue;
        if (!shape)
            shape = std::make_unique<Region>(Region::rect(0, 0, set.windowWidth, set.windowHeight));
        shape->subtract(*holes);
    }
    return shape;
}

void drawSkin(SkinSet& set, DibImage& backBuffer) {
    if (!set.isActive()) return;
    for (ImageSlot& slot : set.currentSkin->images)
        if (slot.shownImage) drawImage(set, backBuffer, *slot.shownImage);
}

} // namespace sabrith
