#include "fennick/resolution.h"

namespace fennick {

// Every mode is 4:3, and so is its label: entry 8 asks for 1280 by 960.
const Resolution resolutionTable[resolutionCount] = {
    {320, 240, "320x240"},     {400, 300, "400x300"},   {512, 384, "512x384"},
    {640, 480, "640x480"},     {800, 600, "800x600"},   {960, 720, "960x720"},
    {1024, 768, "1024x768"},   {1152, 864, "1152x864"}, {1280, 960, "1280x960"},
    {1600, 1200, "1600x1200"},
};

const Resolution& resolutionAt(int index) {
    if (index < 0) index = 0;
    if (index >= resolutionCount) index = resolutionCount - 1;
    return resolutionTable[index];
}

} // namespace fennick
