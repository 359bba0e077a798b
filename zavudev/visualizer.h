// What the plug-in's two modules share beyond the window: one process-wide
// state (one module runs at a time), the start of a module, and one frame
// from the spectrum rows to the picture and its colour table. The Windows
// shell, zavudev_core_check (the Windows tests' reference) and the benchmark
// all run frames here.
#pragma once

#include "zavudev/loudness.h"
#include "zavudev/picture.h"
#include "zavudev/random.h"
#include "zavudev/value_noise.h"
#include "zavudev/wake_up.h"

namespace zavudev {

enum class ModuleKind { wakeUp, dezoZazIru };

// Large (the zoom buffers): keep it static or on the heap.
struct Visualizer {
    CrtRandom crt;
    RandomWords words; // shared by both modules
    float beatThreshold = defaultBeatThreshold;
    NoiseState noise;
    WakeUp wake;
};

// The module's own start, once the picture exists.
void startVisualizer(Visualizer& v, ModuleKind kind);

// One frame into the picture (320 x 192 indexes, storage order). Returns
// true when entries 0..127 of the colour table were rewritten, which the
// display must then take over.
bool frameVisualizer(Visualizer& v, ModuleKind kind,
                     const uint8_t (&spectrum)[2][spectrumRowLength], uint8_t* picture,
                     ColourTable& table);

} // namespace zavudev
