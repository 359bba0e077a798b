#include "sabrith/flame_effect.h"

#include <algorithm>

namespace sabrith {
namespace {

using Key = IntKey<FlameEffect>;

constexpr Key keys[] = {
    {"FlameColor", 0, &FlameEffect::flameColor, 0x2878FF, 0, 0xFFFFFF},
    {"MinFreq", 0, &FlameEffect::minFreq, 0, 0, maxBin},
    {"MaxFreq", 0, &FlameEffect::maxFreq, 290, 0, maxBin},
    {"Blur", 0, &FlameEffect::blur, 1, 0, 1},
    {"Fade", 0, &FlameEffect::fade, 80, 0, 130},
    {"DropOff", 0, &FlameEffect::dropOff, 1600, 0, 2000},
};

} // namespace

FlameEffect::FlameEffect(EffectContext context) : Effect(context) {
    pageTarget<FlameEffect> = nullptr;
    loadSettings(nullptr);
}

FlameEffect::~FlameEffect() {
    forgetPageTarget(this);
    saveSettings(nullptr);
}

void FlameEffect::loadSettings(const char* file) {
    if (file && !context_.store.sectionExists(file, section)) return;
    readKeys<FlameEffect>(context_.store, file, section, keys, *this);
    minFreq = std::min(minFreq, maxFreq);
}

void FlameEffect::saveSettings(const char* file) {
    writeKeys<FlameEffect>(context_.store, file, section, keys, *this);
}

void FlameEffect::render(Spectrum spectrum, const FrameView& view) {
    const int x = view.x, y = view.y, w = view.width, h = view.height;
    // The seed needs two rows (with one it would write above the view).
    if (maxFreq == minFreq || w < 1 || h < 2) return;
    const std::size_t pitch = std::size_t(view.imageWidth);
    const int bottom = y + h;
    uint32_t* seed = view.pixels + std::size_t(bottom - 1) * pitch;
    uint32_t* above = seed - pitch;
    const auto& curve = amplitudeCurve();
    const uint32_t red = uint32_t(flameColor) & 0xFF, green = (uint32_t(flameColor) >> 8) & 0xFF,
                   blue = (uint32_t(flameColor) >> 16) & 0xFF;
    for (int c = 0; c < w; ++c) {
        above[x + c] = seed[x + c];
        const int bin = minFreq + (maxFreq - minFreq) * c / w;
        const uint32_t e = std::min<uint32_t>(
            255, 2u * curve[std::size_t(wholeLevel(spectrum[std::size_t(bin)]))]);
        seed[x + c] = (seed[x + c] & 0xFF000000u) | (e * red >> 8) << 16 | (e * green >> 8) << 8 |
                      (e * blue >> 8);
    }
    if (w < 5 || h < 4) return;
    // Bottom to top, so every row is computed from the new rows below it.
    for (int r = bottom - 3; r >= y + 1; --r) {
        uint32_t* row = view.pixels + std::size_t(r) * pitch;
        const uint32_t* below = row + pitch;
        const uint32_t* below2 = below + pitch;
        for (int c = x + 2; c <= x + w - 3; ++c) {
            uint32_t out = row[c] & 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                auto at = [shift](uint32_t p) { return (p >> shift) & 0xFF; };
                const uint32_t v = (2 * (at(below[c - 1]) + at(below[c + 1]) + at(below2[c])) +
                                    at(row[c]) + at(below[c])) >>
                                   3;
                out |= v << shift;
            }
            row[c] = out;
        }
    }
}

} // namespace sabrith
