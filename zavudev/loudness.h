// How loud a frame is, and when that makes a beat: the level both modules
// are driven by, and the threshold the speed menu sets.
#pragma once

#include <cstdint>

namespace zavudev {

constexpr int spectrumRowLength = 576;
constexpr float defaultBeatThreshold = 0.25f;

// The loudest run of five neighbouring bins among those starting at bins 1
// to 285, as a share of five full bins (0.0 to 1.0).
float rowLevel(const uint8_t* row);

// The mean of the two rows' levels.
float frameLevel(const uint8_t (&rows)[2][spectrumRowLength]);

// Strictly above the threshold; both in float, as the menu's n x 0.1 is.
bool isBeat(float level, float threshold);

// The speed menu: command n of 1 to 6 sets the threshold to n x 0.1; 0 (the
// title item, or the menu dismissed) and anything else keep it.
float thresholdAfterCommand(float threshold, int command);

} // namespace zavudev
