// Writes one picture of each effect after some frames of a synthetic,
// beat-like spectrum, with the trail copy between frames, as the window's
// frame loop will make them: FOLDER/bars.png, fountains.png, flame.png.
#include "sabrith/flame_effect.h"
#include "sabrith/frequency_effect.h"
#include "sabrith/fyre_effect.h"
#include "testhost/image_file.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

using namespace sabrith;

namespace {

std::array<uint32_t, 2 * spectrumBins> spectrumAt(int frame) {
    std::array<uint32_t, 2 * spectrumBins> rows{};
    const double beat = frame % 12 < 3 ? 1.0 : 0.55;
    for (int ch = 0; ch < 2; ++ch)
        for (int bin = 0; bin < spectrumBins; ++bin) {
            const double shape = std::exp(-bin / (ch ? 120.0 : 170.0));
            const double wobble = 0.65 + 0.35 * std::sin(frame * 0.3 + bin * 0.21 + ch);
            const double level = std::min(255.0, 260 * beat * shape * wobble + 18 * wobble);
            rows[std::size_t(ch * spectrumBins + bin)] = uint32_t(level * 256);
        }
    return rows;
}

bool picture(Effect& effect, int frames, const std::string& path) {
    const int w = 275, h = 116;
    DibImage a("frame"), b("trail");
    a.resize(w, h);
    b.resize(w, h);
    DibImage* drawn = &a;
    DibImage* next = &b;
    for (int f = 0; f < frames; ++f) {
        FrameView view{0, 0, w, h};
        drawn->lockView(view);
        effect.render(spectrumAt(f), view);
        drawn->unlockView(view);
        if (f + 1 == frames) break;
        if (effect.blur) {
            drawn->blurFade(effect.fade / 16, next);
        } else {
            drawn->fade(effect.fade / 16, next);
        }
        std::swap(drawn, next);
    }
    std::vector<uint8_t> rgb;
    for (int i = 0; i < w * h; ++i) {
        const uint32_t p = drawn->pixels()[i];
        rgb.insert(rgb.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
    }
    if (!testhost::writeImage(path, w, h, rgb)) {
        std::fprintf(stderr, "%s: cannot write\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    MemoryRegistry registry;
    IniFileProfile profile;
    SettingsStore store("Lumbrin", registry, profile);
    CrtRandom random;
    const EffectContext context{store, nullptr, &random};
    FrequencyEffect bars(context);
    FyreEffect fountains(context);
    FlameEffect flame(context);
    const bool ok = picture(bars, 40, folder + "bars.png") &&
                    picture(fountains, 40, folder + "fountains.png") &&
                    picture(flame, 40, folder + "flame.png");
    return ok ? 0 : 1;
}
