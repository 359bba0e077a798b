// "dezo zaz iru": five octaves of value noise whose nodes glide between
// random targets, summed over a 160 x 96 field and drawn as dithered 2 x 2
// blocks of grey. The loudness is not used.
#pragma once

#include "zavudev/random.h"

#include <array>
#include <cstdint>

namespace zavudev {

constexpr int noiseFieldWidth = 160;
constexpr int noiseFieldHeight = 96;
constexpr int noiseOctaves = 5;

struct NoiseNode {
    int32_t start, target, phase, speed, current;
};

// One grid per cell size, finest octave first: cell sizes 2, 4, 8, 16, 32.
struct NoiseGrid {
    int cellSize, columns, rows;
    int offset; // of its first node in NoiseState::nodes
};

constexpr int noiseGridNodes(int cellSize) {
    return (noiseFieldWidth / cellSize + 1) * (noiseFieldHeight / cellSize + 1);
}

constexpr int noiseNodeCount = noiseGridNodes(2) + noiseGridNodes(4) + noiseGridNodes(8) +
                               noiseGridNodes(16) + noiseGridNodes(32);

// Fixed sizes, so that a start has no allocation to fail.
struct NoiseState {
    std::array<NoiseNode, noiseNodeCount> nodes;
    int32_t field[noiseFieldHeight][noiseFieldWidth];
};

// The grid of octave o (1 = cell size 2 ... 5 = cell size 32).
const NoiseGrid& noiseGrid(int octave);

// Every node at rest with a random speed; the field cleared.
void startNoise(NoiseState& s, RandomWords& w);

// One node's glide for a frame of octave o: when phase + speed passes 255 it
// restarts from its old target towards a new one at a new speed.
void stepNoiseNode(NoiseNode& node, int octave, bool inner, RandomWords& w);

// Adds (octave 1: sets, on a bias; octave 5: turns into a colour index) one
// octave's cells into the field.
void fillNoiseOctave(NoiseState& s, int octave);

// Draws the field into picture rows 0..189 and columns 0..315 with the
// dither; the rest of the picture is left as it is.
void drawNoise(const NoiseState& s, RandomWords& w, uint8_t* picture);

// One frame: every octave's nodes and cells, then the drawing.
void frameNoise(NoiseState& s, RandomWords& w, uint8_t* picture);

} // namespace zavudev
