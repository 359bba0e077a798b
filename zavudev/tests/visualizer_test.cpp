// A module's start and frames as the shell runs them: the run-time values
// each start takes, beats turning into colour, the threshold, and rows of
// any bytes keeping the picture's indexes in range.
#include "zavudev/visualizer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace zavudev {
namespace {

using SpectrumRows = uint8_t[2][spectrumRowLength];

struct Fixture {
    std::unique_ptr<Visualizer> v = std::make_unique<Visualizer>();
    std::vector<uint8_t> picture = std::vector<uint8_t>(picturePixels, 0);
    ColourTable table;
    Fixture() { fillGreyRamp(table); }
    bool frame(ModuleKind kind, const SpectrumRows& rows) {
        return frameVisualizer(*v, kind, rows, picture.data(), table);
    }
};

bool isGrey(const ColourEntry& e, int i) {
    return e.red == i && e.green == i && e.blue == i && e.unused == 0;
}

// "dezo zaz iru" takes two values of the run-time generator per start,
// "wake up" four, and the sequence goes on across starts.
TEST(Visualizer, StartsShareTheRunTimeSequence) {
    Fixture f;
    startVisualizer(*f.v, ModuleKind::dezoZazIru);
    startVisualizer(*f.v, ModuleKind::wakeUp);
    EXPECT_EQ(uint32_t(f.v->words.a), 6334u + 0x01234567u);
    EXPECT_EQ(uint32_t(f.v->words.b), 26500u - 0x76543211u);
    RandomWords pair{int32_t(19169u + 0x01234567u), int32_t(15724u - 0x76543211u)};
    stepRandom(pair);
    stepRandom(pair); // the scene and the blend
    EXPECT_EQ(f.v->wake.pair.a, pair.a);
    EXPECT_EQ(f.v->wake.pair.b, pair.b);
}

TEST(Visualizer, BeatsColourTheLowerHalfOfTheTable) {
    Fixture f;
    SpectrumRows silence = {}, loud;
    std::memset(loud, 255, sizeof loud);
    startVisualizer(*f.v, ModuleKind::wakeUp);
    // The first frame builds a palette, but only a beat shows it.
    EXPECT_FALSE(f.frame(ModuleKind::wakeUp, silence));
    for (int i = 0; i < 256; ++i) ASSERT_TRUE(isGrey(f.table[i], i)) << i;
    EXPECT_TRUE(f.frame(ModuleKind::wakeUp, loud));
    bool coloured = false;
    for (int j = 0; j < wakePaletteSize; ++j) {
        const uint8_t* rgb = f.v->wake.palette[j];
        ASSERT_EQ(f.table[j].red, rgb[0]);
        ASSERT_EQ(f.table[j].green, rgb[1]);
        ASSERT_EQ(f.table[j].blue, rgb[2]);
        ASSERT_EQ(f.table[j].unused, 0);
        coloured |= !isGrey(f.table[j], j);
    }
    EXPECT_TRUE(coloured);
    for (int i = 128; i < 256; ++i) ASSERT_TRUE(isGrey(f.table[i], i)) << i;
    // Loudness means nothing to the noise.
    startVisualizer(*f.v, ModuleKind::dezoZazIru);
    EXPECT_FALSE(f.frame(ModuleKind::dezoZazIru, loud));
}

TEST(Visualizer, ThresholdDecidesTheBeat) {
    SpectrumRows rows = {};
    rows[0][100] = rows[0][101] = rows[1][100] = rows[1][101] = 255; // level 0.4
    struct Case {
        int command;
        bool beat;
    } cases[] = {{0, true}, {3, true}, {4, false}, {6, false}};
    for (const Case& c : cases) {
        Fixture f;
        startVisualizer(*f.v, ModuleKind::wakeUp);
        f.v->beatThreshold = thresholdAfterCommand(defaultBeatThreshold, c.command);
        EXPECT_EQ(f.frame(ModuleKind::wakeUp, rows), c.beat) << "command " << c.command;
    }
}

TEST(Visualizer, RowsOfAnyBytesKeepIndexesInRange) {
    SpectrumRows zero = {}, full, noise;
    std::memset(full, 255, sizeof full);
    std::mt19937 random(7);
    for (auto& row : noise)
        for (uint8_t& bin : row) bin = uint8_t(random());
    const SpectrumRows* kinds[] = {&zero, &full, &noise};
    for (ModuleKind kind : {ModuleKind::wakeUp, ModuleKind::dezoZazIru}) {
        Fixture f;
        startVisualizer(*f.v, kind);
        for (int frame = 0; frame < 60; ++frame) {
            f.frame(kind, *kinds[frame / 20]);
            for (int row = 0; row < pictureHeight; ++row) {
                for (int column = 0; column < pictureWidth; ++column) {
                    uint8_t v = f.picture[size_t(row * pictureWidth + column)];
                    if (kind == ModuleKind::wakeUp) {
                        ASSERT_LE(v, 127);
                    } else if (row < 190 && column < 316) {
                        ASSERT_GE(v, 10);
                        ASSERT_LE(v, 245);
                    } else {
                        ASSERT_EQ(v, 0);
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace zavudev
