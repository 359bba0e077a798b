// Puts a loaded skin through what the window does with it at one window
// size: layout, ticks, drawing, the shape, focus and the mouse. Hostile skin
// tests and the fuzz targets run it so that a bad file shows its faults in
// every path, with the sanitizers watching.
#pragma once

#include "sabrith/skin/skin_set.h"
#include "sabrith/skin/tests/skin_test_rig.h"

namespace sabrith::test {

// The clock moves on by one skin tick (20 ms) per tick run.
void workOutSkin(SkinSet& set, FakeClock& clock, int width, int height);

} // namespace sabrith::test
