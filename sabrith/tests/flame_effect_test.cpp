#include "sabrith/flame_effect.h"
#include "sabrith/tests/effect_fixture.h"

#include <random>

namespace sabrith {
namespace {

using test::Canvas;
using test::flatSpectrum;

class FlameEffectTest : public testing::Test, public test::StoreFixture {};

TEST_F(FlameEffectTest, SeedTakesTheBandAndTheColour) {
    FlameEffect effect(context);
    Canvas full(8, 2);
    effect.render(flatSpectrum(255, 0), full.view);
    // Curve 255 gives e = 255: each colour byte x 255 / 256.
    EXPECT_EQ(full.inView(3, 1), 0x00FE7727u); // 0x2878FF
    EXPECT_EQ(full.inView(3, 0), 0u) << "the old bottom row moved up";
    effect.render(flatSpectrum(255, 0), full.view);
    EXPECT_EQ(full.inView(3, 0), 0x00FE7727u);

    // Bin = MinFreq + (MaxFreq - MinFreq) x c / w: 290 x c / 10 with the
    // defaults; a level per bin shows which bin each column read.
    effect.flameColor = 0x0000FF;
    test::SpectrumRows levels{};
    for (int bin = 0; bin < spectrumBins; ++bin) levels[std::size_t(bin)] = uint32_t(bin % 64) << 8;
    Canvas band(10, 3);
    effect.render(levels, band.view);
    const auto& curve = amplitudeCurve();
    for (int c = 0; c < 10; ++c) {
        const uint32_t e = std::min(255u, 2u * curve[std::size_t(290 * c / 10 % 64)]);
        EXPECT_EQ(band.inView(c, 2), (e * 255 >> 8) << 16) << c;
    }
    effect.minFreq = effect.maxFreq = 100;
    Canvas none(10, 3);
    effect.render(levels, none.view);
    EXPECT_EQ(none.inView(3, 2), 0u) << "a band of no width draws nothing";
}

TEST_F(FlameEffectTest, ClimbOnAHandComputedCase) {
    FlameEffect effect(context);
    Canvas canvas(6, 6);
    for (int x = 0; x < 6; ++x) canvas.inView(x, 5) = 80; // blue 80 at the bottom
    canvas.inView(2, 3) = 16 | 0x7F000000;                // its fourth byte stays
    canvas.inView(0, 2) = 5;                              // outer column
    canvas.inView(2, 0) = 9;                              // top row
    effect.render(flatSpectrum(0, 0), canvas.view);
    // Seed: row 4 takes row 5 (80), row 5 becomes 0. Then rows 3, 2, 1 from
    // the bottom, columns 2 and 3, each from the already new rows below:
    // row 3: (2(80 + 80 + 0) + 16 + 80) / 8 = 52 and (320 + 0 + 80) / 8 = 50;
    // row 2: (2(0 + 50 + 80) + 0 + 52) / 8 = 39 and (2(52 + 0 + 80) + 50) / 8 = 39;
    // row 1: (2(0 + 39 + 52) + 39) / 8 = 27 and (2(39 + 0 + 50) + 39) / 8 = 27.
    const uint32_t expected[6][6] = {
        {0, 0, 9, 0, 0, 0},       {0, 0, 27, 27, 0, 0},
        {5, 0, 39, 39, 0, 0},     {0, 0, 52 | 0x7F000000, 50, 0, 0},
        {80, 80, 80, 80, 80, 80}, {0, 0, 0, 0, 0, 0},
    };
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(canvas.inView(x, y), expected[y][x]) << x << "," << y;
}

TEST_F(FlameEffectTest, SmallRectanglesNeverWriteOutside) {
    std::mt19937 rng(3);
    FlameEffect effect(context);
    for (int h = 1; h <= 6; ++h)
        for (int w = 1; w <= 7; ++w) {
            Canvas canvas(w, h);
            test::SpectrumRows levels{};
            for (uint32_t& v : levels) v = rng() % 65281;
            for (int f = 0; f < 3; ++f) effect.render(levels, canvas.view);
            canvas.expectCanariesKept();
            if (HasFatalFailure()) return;
            for (int x = 0; h == 1 && x < w; ++x) EXPECT_EQ(canvas.inView(x, 0), 0u) << "no seed";
        }
}

TEST_F(FlameEffectTest, SettingsDefaultsAndFixUp) {
    {
        FlameEffect effect(context);
        EXPECT_EQ(effect.flameColor, 0x2878FF);
        EXPECT_EQ(effect.maxFreq, 290);
        EXPECT_EQ(effect.dropOff, 1600);
        effect.flameColor = 0x010203;
    }
    FlameEffect effect(context);
    EXPECT_EQ(effect.flameColor, 0x010203) << "the destructor saved it";
    const std::string preset =
        writePreset("flame", "[ZirarovoZ]\nMinFreq=300\nMaxFreq=200\nFlameColor=0x1000000\n");
    effect.loadSettings(preset.c_str());
    EXPECT_EQ(effect.minFreq, 200);
    EXPECT_EQ(effect.flameColor, 0xFFFFFF);
    const std::string other = writePreset("bars", "[RurizirudoviV]\nMaxFreq=20\n");
    effect.loadSettings(other.c_str());
    EXPECT_EQ(effect.maxFreq, 200);
}

} // namespace
} // namespace sabrith
