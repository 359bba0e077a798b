// A fire lit by the left spectrum: each frame the bottom row of the view is
// seeded from a band of bins in one flame colour and the rows above are
// recomputed from the rows below them, so the light climbs and cools. The
// picture itself (with the frame loop's trails) carries the flame on.
#pragma once

#include "sabrith/effect.h"

namespace sabrith {

class FlameEffect final : public Effect {
public:
    static constexpr const char* section = "ZirarovoZ";

    explicit FlameEffect(EffectContext context);
    ~FlameEffect() override;

    void render(Spectrum spectrum, const FrameView& view) override;
    void loadSettings(const char* file) override;
    void saveSettings(const char* file) override;

    int flameColor = 0x2878FF; // 0x00BBGGRR
    int minFreq = 0;
    int maxFreq = 290;
};

} // namespace sabrith
