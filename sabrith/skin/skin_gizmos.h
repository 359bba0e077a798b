// The live side of a skin: the 20 ms tick that asks the player for its
// status, renders and scrolls the gizmo texts and runs the image chains; the
// mouse events; following the player's skin folder.
#pragma once

#include "sabrith/dib_image.h"
#include "sabrith/skin/skin_set.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sabrith {

// Mouse events and the results other than action codes 1-14.
enum SkinMouse { mouseMove = 0, mouseDown = 1, mouseUp = 2 };
constexpr int mouseOverAction = 100; // down over an image that carries an action
constexpr int mouseOverGizmo = 101;  // over, or down on, a gizmo that reacts

// Longest track text before " *** " is appended.
constexpr std::size_t trackTextCapacity = 190;

// Returns true when the skin was replaced (the player's skin folder gave a
// new one): the window must then take its new shape and redraw.
bool skinTick(SkinSet& set);
int skinMouseEvent(SkinSet& set, int32_t x, int32_t y, int event);

// Title and state suffix; refreshes the set's player status.
std::string composeTrackText(SkinSet& set);
// The time gizmo's text for the set's status.
std::string timeText(const SkinSet& set, int32_t showRemaining);
int textWidth(SkinSet& set, const SkinFont& font, std::string_view text);
void drawText(SkinSet& set, const SkinFont& font, DibImage& target, std::string_view text,
              int32_t x, int32_t y, int32_t width, int32_t height);

void updateTrackInfo(SkinSet& set, Gizmo& gizmo);
void updateTimeInfo(SkinSet& set, Gizmo& gizmo);
void updateProgress(SkinSet& set, Gizmo& gizmo);
void drawTrackInfo(SkinSet& set, DibImage& target, const SkinImage& owner, const Gizmo& gizmo);
void drawTimeInfo(SkinSet& set, DibImage& target, const SkinImage& owner, const Gizmo& gizmo);
void drawProgress(SkinSet& set, DibImage& target, const SkinImage& owner, const Gizmo& gizmo);

// Loads the first loadable ".lbs" of the player's skin folder when that
// folder changed; true when a skin was loaded.
bool followHostSkinFolder(SkinSet& set);

} // namespace sabrith
