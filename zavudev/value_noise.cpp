#include "zavudev/value_noise.h"

#include "zavudev/picture.h"

#include <algorithm>

namespace zavudev {

namespace {

constexpr int fieldBias = 0x2000000;

constexpr NoiseGrid grid(int cellSize, int offset) {
    return {cellSize, noiseFieldWidth / cellSize + 1, noiseFieldHeight / cellSize + 1, offset};
}

constexpr NoiseGrid grids[noiseOctaves] = {
    grid(2, 0),
    grid(4, noiseGridNodes(2)),
    grid(8, noiseGridNodes(2) + noiseGridNodes(4)),
    grid(16, noiseGridNodes(2) + noiseGridNodes(4) + noiseGridNodes(8)),
    grid(32, noiseGridNodes(2) + noiseGridNodes(4) + noiseGridNodes(8) + noiseGridNodes(16)),
};

// The finest octave carries the largest amplitude: 256, 64, 16, 4, 1.
int32_t amplitude(int octave) {
    return 256 >> (2 * (octave - 1));
}

int32_t clampIndex(int32_t v) {
    return std::clamp(v, int32_t(10), int32_t(245));
}

} // namespace

const NoiseGrid& noiseGrid(int octave) {
    return grids[octave - 1];
}

void startNoise(NoiseState& s, RandomWords& w) {
    // Speeds are drawn coarsest grid first.
    for (int octave = noiseOctaves; octave >= 1; --octave) {
        const NoiseGrid& g = noiseGrid(octave);
        for (int i = 0; i < g.columns * g.rows; ++i) {
            stepRandom(w);
            s.nodes[size_t(g.offset + i)] = {0, 0, 0, (w.a & 15) + 8, 0};
        }
    }
    std::fill(&s.field[0][0], &s.field[0][0] + noiseFieldWidth * noiseFieldHeight, 0);
}

void stepNoiseNode(NoiseNode& node, int octave, bool inner, RandomWords& w) {
    int32_t b = noiseGrid(octave).cellSize;
    int32_t c = amplitude(octave);
    int32_t e = node.phase + node.speed;
    if (e > 255) {
        node.start = node.target;
        stepRandom(w);
        int32_t mask = (w.b & ((16 << octave) - 1)) == 1 ? b * c * 32 - 1 : b * c * 16 - 1;
        int32_t m = w.a & mask;
        stepRandom(w);
        int32_t r = (inner ? w.b : w.a) & 255;
        node.target = m * (r - 127);
        stepRandom(w);
        node.speed = ((w.a & 15) - b + 34) / 2;
    }
    node.phase = e & 255;
    node.current = (node.start * (256 - node.phase) + node.phase * node.target) >> 8;
}

void fillNoiseOctave(NoiseState& s, int octave) {
    const NoiseGrid& g = noiseGrid(octave);
    const int b = g.cellSize;
    const NoiseNode* nodes = &s.nodes[size_t(g.offset)];
    for (int cy = 0; cy + 1 < g.rows; ++cy) {
        for (int cx = 0; cx + 1 < g.columns; ++cx) {
            int32_t tl = nodes[cy * g.columns + cx].current;
            int32_t tr = nodes[cy * g.columns + cx + 1].current;
            int32_t bl = nodes[(cy + 1) * g.columns + cx].current;
            int32_t br = nodes[(cy + 1) * g.columns + cx + 1].current;
            for (int y = 0; y < b; ++y) {
                int32_t* out = &s.field[cy * b + y][cx * b];
                for (int x = 0; x < b; ++x) {
                    // Weights sum to (b + 1)^2: not normalised, on purpose.
                    int32_t v = tl * (b - y) * (b - x) + tr * (b - y) * (x + 1) +
                                bl * (y + 1) * (b - x) + br * (y + 1) * (x + 1);
                    if (octave == 1) {
                        out[x] = fieldBias + v;
                    } else if (octave < noiseOctaves) {
                        out[x] += v;
                    } else {
                        out[x] = (((out[x] + v) >> 18) * 224 >> 8) + 10;
                    }
                }
            }
        }
    }
}

void drawNoise(const NoiseState& s, RandomWords& w, uint8_t* picture) {
    for (int y = 0; y + 1 < noiseFieldHeight; ++y) {
        const int32_t* row = s.field[y];
        const int32_t* below = s.field[y + 1];
        uint8_t* upper = picture + 2 * y * pictureWidth;
        uint8_t* lower = upper + pictureWidth;
        for (int x = 0; x + 3 < noiseFieldWidth; x += 2) {
            int32_t a = row[x], d = row[x + 1], h = row[x + 2];
            int32_t l = below[x], m = below[x + 1], n = below[x + 2];
            stepRandom(w);
            RandomWords first = w;
            stepRandom(w);
            RandomWords second = w;
            stepRandom(w);
            RandomWords third = w;
            uint8_t* up = upper + 2 * x;
            uint8_t* lo = lower + 2 * x;
            up[0] = uint8_t(clampIndex(a));
            up[1] = uint8_t(clampIndex((d + (first.a & 31) + a - 16) / 2));
            up[2] = uint8_t(clampIndex(d));
            up[3] = uint8_t(clampIndex((d + (third.a & 31) + h - 16) / 2));
            lo[0] = uint8_t(clampIndex((a + (second.a & 31) + l - 16) / 2));
            lo[1] = uint8_t(clampIndex((m + (first.b & 63) + d + a + l - 31) / 4));
            lo[2] = uint8_t(clampIndex((m + (second.b & 31) + d - 16) / 2));
            lo[3] = uint8_t(clampIndex((m + (third.b & 63) + d + h + n - 31) / 4));
        }
    }
}

void frameNoise(NoiseState& s, RandomWords& w, uint8_t* picture) {
    for (int octave = 1; octave <= noiseOctaves; ++octave) {
        const NoiseGrid& g = noiseGrid(octave);
        for (int j = 0; j < g.rows; ++j) {
            for (int k = 0; k < g.columns; ++k) {
                bool inner = j > 0 && k > 0 && j + 1 < g.rows && k + 1 < g.columns;
                stepNoiseNode(s.nodes[size_t(g.offset + j * g.columns + k)], octave, inner, w);
            }
        }
        fillNoiseOctave(s, octave);
    }
    drawNoise(s, w, picture);
}

} // namespace zavudev
