// The two drawing pieces the scene adds to the engine: the state set-up that
// takes the place of shade mode 74's, and the drawing of a sprite over a
// screen rectangle at once, which the motion-blur overlay needs (deferred to
// the flush, it would darken the fresh frame too and leave no trails).
#pragma once

#include "umbrek/vastrel/records.h"

namespace umbrek {

// The state group number the overlay state is remembered under in the
// device's applied-group cache: beyond every engine group, so that any other
// group applied in between makes it apply again.
constexpr int overlayStateGroup = 1074;

// Shade-mode callback: in the state phase binds the material's texture when
// the engine's bound material differs and applies the overlay state unless it
// is the one applied last; in the vertex phase runs the engine's set-up of the
// replaced mode (corners from the face's packed values, red bits 0-7, green
// 8-15, blue 16-23, with the material's opacity; texture coordinates;
// perspective on).
void overlayStateSetup();
// Puts overlayStateSetup in MODE's place (keeping its deferred flag); the
// engine's callback there becomes its vertex phase. Once the engine's shade
// modes are set up.
void installOverlayStateSetup(int mode);

// Draws ENTITY's sprite segment (a model of KX_MakeSpriteModel) as the
// rectangle (x1, y1)-(x2, y2) on the screen with 1/w = OOW: its material's
// callback applies the state and colours the corners, and both triangles are
// drawn now, whatever the mode's deferred flag says.
void drawEntityScreenRect(vastrel::Entity* entity, float x1, float y1, float x2, float y2,
                          float oow);

} // namespace umbrek
