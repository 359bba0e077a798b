// Tovrel player skins: a ".design" profile file naming one face bitmap, the
// window's size and outline, a section per button with its normal and
// hover faces, a song-title label and two position gauges. They become one
// fixed-size skin that shows no effect.
#pragma once

#include "sabrith/skin/polygon_fill.h"
#include "sabrith/skin/skin_set.h"

#include <string>
#include <vector>

namespace sabrith {

// Outline points beyond this many are ignored.
constexpr int maxOutlinePoints = 1000;

// The extension (from the last ".") compared with ".design" over its own
// length, without case, a "General" section, and a window size (the file's
// WindowWidth x WindowHeight, which the skin forces) of at least 1 x 1 that
// a screen can show (skinWindowFits).
bool isTovrelSkin(SkinSet& set, std::string& path);
void readTovrelSkin(SkinSet& set, const std::string& path);

// The outline's figures as the file gives them; empty when the skin uses
// no outline (UseWindowShape not 1, or fewer than two points). The window
// shell may fill them itself where the platform's own filling differs.
std::vector<OutlineFigure> readOutlineFigures(SkinSet& set, const std::string& path);

// "$BBGGRR": all hexadecimal digits of the text in order, other characters
// skipped; the low 24 bits are a Windows colour value.
uint32_t parseHexColour(std::string_view text);

} // namespace sabrith
