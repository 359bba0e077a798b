// Where a skin's images stand on the window, how they switch and drift, the
// window's shape they cut, and drawing them into the back buffer.
#pragma once

#include "sabrith/dib_image.h"
#include "sabrith/skin/skin_set.h"

#include <cstdint>
#include <memory>

namespace sabrith {

// Effective sizes and, for images at their place, positions of every image
// of the set for the current window size.
void layoutImages(SkinSet& set);
// The computed place of the image on the window.
void imagePosition(const SkinSet& set, const SkinImage& image, int32_t& x, int32_t& y);
// 1 when a skin is active and the image fits the window: an image that does
// not is neither drawn, nor hit, nor part of the shape.
int imageFits(const SkinSet& set, const SkinImage& image);

// Schedules a switch of the slot to `target` at now + delay, unless the
// target is already shown or a pending switch is due no later.
void scheduleSwitch(ImageSlot& slot, SkinImage* target, int32_t delay, uint32_t now);
// The due switch (the new image takes the old one's position and starts to
// drift), then the onTime switch of the shown image when none is pending.
void runDueSwitch(ImageSlot& slot, uint32_t now);
// One drift step of an image not yet at its place.
void driftImage(const SkinSet& set, SkinImage& image);
// Gain (1) or loss (0) of focus: the slots' focus switches, then a redraw.
void setFocusState(SkinSet& set, DibImage& backBuffer, int32_t focus);

// The window's outline: the window's rectangle minus the see-through holes
// of the shown images; nullptr (a plain rectangle) when no image has holes
// or no skin is active.
std::unique_ptr<Region> buildWindowShape(const SkinSet& set);
// The shown image's holes on the window (tiled with the image), or nullptr.
std::unique_ptr<Region> placedCutOut(const SkinSet& set, const SkinImage& image);

// Draws the current skin's shown images and their gizmos.
void drawSkin(SkinSet& set, DibImage& backBuffer);

} // namespace sabrith
