// "dezo zaz iru": the node glide, the cell fill, the dithered drawing and
// its bounds, on a fresh field whose values are known by hand.
#include "zavudev/picture.h"
#include "zavudev/value_noise.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

namespace zavudev {
namespace {

struct Fixture {
    std::unique_ptr<NoiseState> noise = std::make_unique<NoiseState>();
    std::vector<uint8_t> picture = std::vector<uint8_t>(picturePixels, 0);
    RandomWords words{0x01234590, int32_t(0x89AC1612u)};

    uint8_t at(int row, int column) const { return picture[size_t(row * pictureWidth + column)]; }
};

bool drawn(int row, int column) {
    return row < 190 && column < 316;
}

TEST(ValueNoise, StartGivesEveryNodeARestingSpeed) {
    Fixture f;
    startNoise(*f.noise, f.words);
    for (const NoiseNode& n : f.noise->nodes) {
        EXPECT_EQ(n.start | n.target | n.phase | n.current, 0);
        EXPECT_GE(n.speed, 8);
        EXPECT_LE(n.speed, 23);
    }
    EXPECT_EQ(noiseNodeCount, 6 * 4 + 11 * 7 + 21 * 13 + 41 * 25 + 81 * 49);
}

// Straight after the start every node still rests at 0, so the field is the
// bias alone: (0x2000000 >> 18) x 224 >> 8 + 10 = 122 everywhere, and the
// dither can move a pixel only by half of its 0..31 or a quarter of its
// 0..63 around that.
TEST(ValueNoise, FirstFrameDrawsTheBiasGrey) {
    Fixture f;
    startNoise(*f.noise, f.words);
    frameNoise(*f.noise, f.words, f.picture.data());
    for (int y = 0; y < noiseFieldHeight; ++y)
        for (int x = 0; x < noiseFieldWidth; ++x) ASSERT_EQ(f.noise->field[y][x], 122);
    for (int row = 0; row < pictureHeight; ++row) {
        for (int column = 0; column < pictureWidth; ++column) {
            uint8_t v = f.at(row, column);
            if (!drawn(row, column)) {
                ASSERT_EQ(v, 0) << row << "," << column;
            } else if (row % 2 == 0 && column % 2 == 0) {
                ASSERT_EQ(v, 122) << row << "," << column; // the field's own values
            } else {
                ASSERT_GE(v, 114) << row << "," << column;
                ASSERT_LE(v, 130) << row << "," << column;
            }
        }
    }
}

TEST(ValueNoise, CellFillOfEqualCorners) {
    Fixture f;
    startNoise(*f.noise, f.words);
    const int K = 1000;
    for (NoiseNode& n : f.noise->nodes) n.current = K;
    fillNoiseOctave(*f.noise, 1); // cell size 2: weights sum to 9, on the bias
    EXPECT_EQ(f.noise->field[0][0], 0x2000000 + 9 * K);
    EXPECT_EQ(f.noise->field[95][159], 0x2000000 + 9 * K);
    fillNoiseOctave(*f.noise, 3); // cell size 8: adds 81 K
    for (int y = 0; y < noiseFieldHeight; ++y)
        for (int x = 0; x < noiseFieldWidth; ++x)
            ASSERT_EQ(f.noise->field[y][x], 0x2000000 + 90 * K);
    for (NoiseNode& n : f.noise->nodes) n.current = -K;
    fillNoiseOctave(*f.noise, 5); // cell size 32: 1089 (-K), then to an index
    int32_t expected = (((0x2000000 + 90 * K - 1089 * K) >> 18) * 224 >> 8) + 10;
    EXPECT_EQ(f.noise->field[50][100], expected);
}

TEST(ValueNoise, NodeGlideAndRollOver) {
    RandomWords words{0x01234590, int32_t(0x89AC1612u)};
    // Below 256: no step, the glide moves on.
    NoiseNode node{100, 1100, 200, 55, 0};
    RandomWords before = words;
    stepNoiseNode(node, 2, true, words);
    EXPECT_EQ(node.phase, 255);
    EXPECT_EQ(node.start, 100);
    EXPECT_EQ(node.current, (100 * 1 + 255 * 1100) >> 8);
    EXPECT_EQ(words.a, before.a);

    // Reaching 256: restart from the old target, three steps for the new one.
    node = {100, 1100, 250, 6, 0};
    stepNoiseNode(node, 2, true, words);
    EXPECT_EQ(node.start, 1100);
    EXPECT_EQ(node.phase, 0);
    EXPECT_EQ(node.current, 1100);
    RandomWords three = before;
    for (int n = 0; n < 3; ++n) stepRandom(three);
    EXPECT_EQ(words.a, three.a);
    EXPECT_EQ(words.b, three.b);
    node.phase = 250;
    node.speed = 10;
    int32_t target = node.target;
    stepNoiseNode(node, 2, true, words);
    EXPECT_EQ(node.start, target);
    EXPECT_EQ(node.phase, 4);
    EXPECT_EQ(node.current, (target * 252 + 4 * node.target) >> 8);
}

// New speeds are ((A & 15) - b + 34) / 2 for cell size b: every one of the
// eight values of its octave turns up, and nothing else.
TEST(ValueNoise, NewSpeedsPerOctave) {
    RandomWords words{0x01234590, int32_t(0x89AC1612u)};
    for (int octave = 1; octave <= noiseOctaves; ++octave) {
        int b = noiseGrid(octave).cellSize;
        std::set<int32_t> speeds;
        int32_t largest = 0;
        for (int n = 0; n < 2000; ++n) {
            NoiseNode node{0, 0, 255, 1, 0};
            stepNoiseNode(node, octave, n % 2 == 0, words);
            speeds.insert(node.speed);
            largest = std::max(largest, std::abs(node.target));
        }
        std::set<int32_t> expected;
        for (int low = 0; low < 16; ++low) expected.insert((low - b + 34) / 2);
        EXPECT_EQ(speeds, expected) << "cell size " << b;
        EXPECT_LE(largest, (b * (256 >> (2 * (octave - 1))) * 32 - 1) * 128) << "cell size " << b;
    }
}

TEST(ValueNoise, ManyFramesStayInRangeAndRepeat) {
    Fixture f, g;
    startNoise(*f.noise, f.words);
    startNoise(*g.noise, g.words);
    long long sum = 0, count = 0;
    for (int frame = 0; frame < 120; ++frame) {
        frameNoise(*f.noise, f.words, f.picture.data());
        frameNoise(*g.noise, g.words, g.picture.data());
        ASSERT_EQ(f.picture, g.picture) << "frame " << frame;
    }
    for (int row = 0; row < pictureHeight; ++row) {
        for (int column = 0; column < pictureWidth; ++column) {
            uint8_t v = f.at(row, column);
            if (drawn(row, column)) {
                ASSERT_GE(v, 10);
                ASSERT_LE(v, 245);
                sum += v;
                ++count;
            } else {
                ASSERT_EQ(v, 0);
            }
        }
    }
    // The clouds drift around the bias grey.
    double mean = double(sum) / double(count);
    EXPECT_GT(mean, 100);
    EXPECT_LT(mean, 145);
}

} // namespace
} // namespace zavudev
