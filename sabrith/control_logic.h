// The arithmetic of the three custom controls (the colour box, the two-thumb
// band slider and the plot box), apart from their windows so that it can be
// tested natively: the band rules, pointer to value, the colour preview and
// its swatch picking, and the plot.
#pragma once

#include "sabrith/dib_image.h"

#include <array>
#include <cstdint>
#include <span>

namespace sabrith {

// A band of spectrum bins whose ends stay at least minGap apart.
struct MinMaxRange {
    int rangeMin = 0;
    int rangeMax = 575;
    int valueMin = 0;
    int valueMax = 575;
    int minGap = 10;

    void setMinimum(int value);
    void setMaximum(int value);
};

// Which thumb a drag moves, and the first parameter of the change message.
enum class Thumb { none = 0, minimum = 1, maximum = 2 };

// The bin under the pointer of a slider `width` wide (the pointer's x as the
// window message gives it, a signed 16-bit value); false when the slider is
// too narrow (under 24 pixels) to take the pointer.
bool sliderValueAt(const MinMaxRange& range, int16_t x, int width, int& value);
// Where a thumb for `value` stands; only for a range that is not empty.
int sliderThumbX(const MinMaxRange& range, int value, int width);

// The colour box: colours are Windows colour values 0x00BBGGRR. With one
// swatch, colours 2-4 become colour 1 first. Colour 1 is the preview's
// top-left corner, 2 top-right, 3 bottom-left, 4 bottom-right.
void drawColorPreview(DibImage& preview, std::array<int, 4>& colors, int swatchCount);
// Swatch 1-4 under the pointer: the quadrant with four swatches, else 1.
int pickSwatch(int x, int y, int width, int height, int swatchCount);

// The plot box: background 0x0F280F, and per column x of the preview the
// value values[x * count / W] scaled to the height, plotted in 0x8CDC8C
// unless it reaches the top. The sums are 64-bit: values up to full scale
// times tall boxes pass 32 bits.
void drawScalePlot(DibImage& preview, std::span<const int32_t> values, int32_t scale);

} // namespace sabrith
