#include "sabrith/frequency_effect.h"
#include "sabrith/tests/effect_fixture.h"

#include <random>

namespace sabrith {
namespace {

using test::Canvas;
using test::flatSpectrum;

class FrequencyEffectTest : public testing::Test, public test::StoreFixture {};

TEST(EffectCommon, CurveHzTextAndRandomSource) {
    const auto& curve = amplitudeCurve();
    EXPECT_EQ(curve[0], 0);
    EXPECT_EQ(curve[1], 0);
    EXPECT_EQ(curve[2], 1);
    EXPECT_EQ(curve[10], 23);
    EXPECT_EQ(curve[30], 102);
    EXPECT_EQ(curve[50], 195);
    EXPECT_LT(curve[61], 255);
    EXPECT_EQ(curve[62], 255);
    EXPECT_EQ(binToHz(325), 24869);
    EXPECT_EQ(binToHz(575), 44000);
    CrtRandom random; // the run-time's sequence from seed 1
    EXPECT_EQ(random.next(), 41);
    EXPECT_EQ(random.next(), 18467);
    EXPECT_EQ(random.next(), 6334);
}

TEST_F(FrequencyEffectTest, GradientCornersFromTheDefaultColours) {
    FrequencyEffect effect(context);
    EXPECT_EQ(effect.barColor(0, 63), 0xFF00FFu);  // Color_3 at the base
    EXPECT_EQ(effect.barColor(0, 0), 0xFFFB04u);   // toward Color_1 at the top
    EXPECT_EQ(effect.barColor(63, 0), 0xFF08F7u);  // toward Color_2 on the right
    EXPECT_EQ(effect.peakColor(0, 63), 0xFFFFFFu); // a fresh peak
    EXPECT_EQ(effect.peakColor(0, 0), 0x040C04u);  // an old one, near PeakColor_3
}

// Rows lit in one pixel column of the view.
int litRows(Canvas& canvas, int x) {
    int count = 0;
    for (int y = 0; y < canvas.view.height; ++y) count += canvas.inView(x, y) != 0;
    return count;
}

TEST_F(FrequencyEffectTest, ColumnsFillFromTheBaseBlocksFloat) {
    FrequencyEffect effect(context);
    effect.mono = 0;
    effect.monoFlipX = 0;
    effect.peaks = 0;
    const auto loud = flatSpectrum(100, 100); // curve 255: lit = 8 of 8 steps
    // Graph (1, 1, 18, 18): 8 steps of 2 rows; the bar ends at row 15 of 17.
    Canvas columns(20, 20);
    effect.render(loud, columns.view);
    EXPECT_EQ(litRows(columns, 5), 15);
    EXPECT_NE(columns.inView(5, 3), 0u);
    EXPECT_EQ(columns.inView(5, 2), 0u);
    EXPECT_EQ(columns.inView(5, 18), 0u) << "the graph's own last row stays dark";
    effect.columns = 0;
    Canvas block(20, 20);
    effect.render(loud, block.view);
    EXPECT_EQ(litRows(block, 5), 1);
    EXPECT_NE(block.inView(5, 3), 0u);
    // One bar per pixel column with the defaults; the graph's last column is
    // never part of a bar.
    for (int x = 1; x < 18; ++x) EXPECT_EQ(litRows(block, x), 1) << x;
    EXPECT_EQ(litRows(block, 18), 0);
}

TEST_F(FrequencyEffectTest, LeftChannelStaysLeftOrOnTop) {
    struct Layout {
        int mono, stackVert;
        bool leftHalf; // else top half (each graph includes the middle line)
    };
    for (const Layout& l : {Layout{1, 0, true}, Layout{1, 1, false}, Layout{2, 0, true}}) {
        FrequencyEffect effect(context);
        effect.mono = l.mono;
        effect.stackVert = l.stackVert;
        Canvas canvas(40, 30);
        effect.render(flatSpectrum(120, 0), canvas.view);
        int inside = 0, outside = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                if (!canvas.inView(x, y)) continue;
                const bool leftSide = l.leftHalf ? x <= 20 : y <= 15;
                (leftSide ? inside : outside) += 1;
            }
        EXPECT_GT(inside, 0) << "mono " << l.mono << " stack " << l.stackVert;
        EXPECT_EQ(outside, 0) << "mono " << l.mono << " stack " << l.stackVert;
    }
}

TEST_F(FrequencyEffectTest, DiamondQuadrantsMirrorExactlyAcrossTheMiddle) {
    // Top-left graph: x 1..72; top-right: x 72..142. With bar layouts that
    // fit both widths alike, the right quadrant is the left one mirrored
    // about x = 71.5 (the narrower right graph has one bar less at 72).
    for (auto [bw, s] : {std::pair{1, 0}, {5, 3}}) {
        FrequencyEffect effect(context);
        effect.barWidth = bw;
        effect.horizSpacing = s;
        effect.peaks = 0;
        Canvas canvas(144, 40);
        effect.render(flatSpectrum(90, 90), canvas.view);
        for (int y = 1; y < 20; ++y)
            for (int x = 73; x < 143; ++x)
                if ((canvas.inView(x, y) != 0) != (canvas.inView(143 - x, y) != 0)) {
                    ADD_FAILURE() << bw << "/" << s << " not mirrored at " << x << "," << y;
                }
    }
    // Wide bars with spacing, flipped: mirrored within the graph and then
    // shifted by the centring offset they would land up to 24 pixels past
    // the graph; mirrored about the graph they stay inside it.
    FrequencyEffect effect(context);
    effect.barWidth = 21;
    effect.horizSpacing = 30;
    effect.diamondFlipX = 1;
    effect.peaks = 0;
    Canvas canvas(144, 40);
    effect.render(flatSpectrum(90, 0), canvas.view);
    for (int y = 0; y < 40; ++y)
        for (int x = 73; x < 144; ++x) EXPECT_EQ(canvas.inView(x, y), 0u) << x << "," << y;
    canvas.expectCanariesKept();
}

TEST_F(FrequencyEffectTest, PeakHoldsFallsVanishesAndRearms) {
    FrequencyEffect effect(context); // drop-off 793, aging 2048, drop age 49
    Canvas canvas(20, 20);
    auto frame = [&](int level) {
        effect.render(flatSpectrum(level, level), canvas.view);
        return effect.peak(0, 7);
    };
    EXPECT_EQ(frame(0).life, 0) << "a level of 0 never arms";
    FrequencyEffect::Peak p = frame(100);
    EXPECT_EQ(p.level, 25600);
    EXPECT_EQ(p.life, 65280);
    for (int i = 1; i <= 26; ++i) p = frame(0); // life still >= 49 * 256 at each start
    EXPECT_EQ(p.level, 25600);
    EXPECT_EQ(p.life, 65280 - 26 * 2048);
    for (int i = 27; i <= 31; ++i) p = frame(0);
    EXPECT_EQ(p.level, 25600 - 5 * 793);
    EXPECT_EQ(p.life, 1792);
    p = frame(0);
    EXPECT_EQ(p.level, 0);
    EXPECT_EQ(p.life, 0);
    frame(50);
    p = frame(40); // lower, so it only ages
    EXPECT_EQ(p.level, 50 << 8);
    EXPECT_EQ(p.life, 65280 - 2048);
    p = frame(60); // higher re-arms at full life
    EXPECT_EQ(p.level, 60 << 8);
    EXPECT_EQ(p.life, 65280);
}

TEST_F(FrequencyEffectTest, NoPixelOutsideTheViewForRandomSettings) {
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 400; ++round) {
        FrequencyEffect effect(context);
        effect.mono = pick(0, 2);
        effect.stackVert = pick(0, 1);
        for (int* flag :
             {&effect.monoFlipX, &effect.monoFlipY, &effect.leftFlipX, &effect.leftFlipY,
              &effect.rightFlipX, &effect.rightFlipY, &effect.diamondFlipX, &effect.diamondFlipY,
              &effect.columns, &effect.peaks})
            *flag = pick(0, 1);
        effect.barWidth = pick(1, 21);
        effect.barHeight = pick(1, 21);
        effect.horizSpacing = pick(0, 30);
        effect.maxFreq = pick(0, 575);
        effect.minFreq = pick(0, effect.maxFreq);
        const int w = round < 64 ? round % 8 + 1 : pick(1, 300);
        const int h = round < 64 ? round / 8 + 1 : pick(1, 200);
        Canvas canvas(w, h);
        test::SpectrumRows levels{};
        for (uint32_t& v : levels) v = uint32_t(pick(0, 65280));
        for (int f = 0; f < 3; ++f) effect.render(levels, canvas.view);
        canvas.expectCanariesKept();
        if (HasFatalFailure()) return;
    }
}

TEST_F(FrequencyEffectTest, SettingsDefaultsClampsPresetsAndRoundTrip) {
    {
        FrequencyEffect effect(context);
        EXPECT_EQ(effect.mono, 2);
        EXPECT_EQ(effect.maxFreq, 325);
        EXPECT_EQ(effect.peakDropOff, 793);
        EXPECT_EQ(effect.color[3], 0x00FFFF);
    } // destruction writes the store
    EXPECT_TRUE(registry.keys["RurizirudoviV"].count("PeakColor_4"));

    const std::string wild = writePreset("wild", "[RurizirudoviV]\n"
                                                 "Color_1=-1\nBarWidth=99\nHorizSpacing=-3\n"
                                                 "PeakAging=9000\nMinFreq=500\nMaxFreq=600\n"
                                                 "Fade=131\n");
    FrequencyEffect effect(context);
    effect.loadSettings(wild.c_str());
    EXPECT_EQ(effect.color[0], 0);
    EXPECT_EQ(effect.barWidth, 21);
    EXPECT_EQ(effect.horizSpacing, 0);
    EXPECT_EQ(effect.peakAging, 8000);
    EXPECT_EQ(effect.maxFreq, 575);
    EXPECT_EQ(effect.minFreq, 500);
    EXPECT_EQ(effect.fade, 130);
    const std::string reversed =
        writePreset("reversed", "[RurizirudoviV]\nMinFreq=400\nMaxFreq=100\n");
    effect.loadSettings(reversed.c_str());
    EXPECT_EQ(effect.minFreq, 100) << "MinFreq is lowered to MaxFreq";

    const std::string other = writePreset("other", "[ZirarovoZ]\nMaxFreq=10\n");
    effect.barHeight = 7;
    effect.loadSettings(other.c_str());
    EXPECT_EQ(effect.barHeight, 7) << "a preset for another effect changes nothing";
    EXPECT_EQ(effect.maxFreq, 100);

    effect.color = {0x123456, 0x010203, 0xABCDEF, 0};
    effect.rebuildGradients(); // as the pages do after a colour change
    effect.diamondFlipY = 1;
    effect.peakDropAge = 260;
    const std::string saved = presetPath("saved");
    effect.saveSettings(saved.c_str());
    FrequencyEffect loaded(context);
    loaded.loadSettings(saved.c_str());
    EXPECT_EQ(loaded.color, effect.color);
    EXPECT_EQ(loaded.diamondFlipY, 1);
    EXPECT_EQ(loaded.peakDropAge, 260);
    EXPECT_EQ(loaded.barHeight, 7);
    EXPECT_EQ(loaded.barColor(5, 5), effect.barColor(5, 5));
}

} // namespace
} // namespace sabrith
