// "wake up": a kaleidoscope. Each frame one of three scenes renders a small
// view image of colour indexes 0..127, which may be blended with a snapshot
// or its own history and is then unfolded, twice enlarged and mirrored four
// ways, into the picture. Beats pick a new scene, blend and parameters and
// build a new palette from the wave shapes.
#pragma once

#include "zavudev/random.h"

#include <cstdint>

namespace zavudev {

constexpr int zoomWidth = 256;
constexpr int zoomHeight = 192;
constexpr int viewWidth = 80;
constexpr int viewHeight = 64;
// Columns 80..127 of the small images are never written: the unfold reads
// column 80 as 0, so the pitch is part of the picture.
constexpr int viewPitch = 128;
constexpr int wakePaletteSize = 128;

using ViewImage = uint8_t[viewHeight][viewPitch];

// A voice record of scene 3: a pair of wave voices crossfading.
struct WaveVoices {
    uint8_t voiceSpeed, voiceWave, weight, nextSpeed, nextWave, nextWeight;
};

// Everything "wake up" keeps, one copy per process. Zero at load; a start
// resets the state but not the images, the zoom buffers or cycleOffset, so a
// new run goes on from the last one.
struct WakeUp {
    // Working memory.
    uint8_t zoom[2][zoomHeight][zoomWidth];
    ViewImage view;
    ViewImage blend;
    ViewImage snapshot;
    uint8_t waveA[256];
    uint8_t waveB[256];
    uint8_t palette[wakePaletteSize][4]; // red, green, blue, 0

    // State.
    RandomWords pair;
    uint32_t modeWord;
    int scene;     // 1..3
    int blendMode; // 1..4
    uint8_t zoomSource, zoomPhase, zoomSpeed, seedCount;
    uint8_t waveIndex, fadeCount, lookupStyle, drift2;
    uint8_t amp1Old, freq1Old, amp1New, freq1New;
    uint8_t amp2Old, freq2Old, amp2New, freq2New;
    uint8_t driftStep;
    int mapPlane;   // 0..2
    int curveIndex; // 0..63
    WaveVoices voices[2];
    uint8_t drift3;
    uint8_t cycleOffset;
};

// Flags of a frame: bit 0 new random choices, bit 1 a new palette.
enum : unsigned { wakeNewChoices = 1, wakeNewPalette = 2, wakeBeat = 3 };

enum : uint32_t {
    modeReconfigure = 1,
    modeFirstDrawA = 2,
    modePalette = 4,
    modeFirstDrawB = 8,
    modeFirstDrawC = 16,
    modeFirstFrame = 31,
};

// fold: a byte's low seven bits mirrored at 128, a colour index 0..127.
int fold(int v);
// reflect: -256..511 mirrored into 0..255.
int reflect(int v);

// pickRandom's mapping of A's low byte to 1..n.
int pickFromByte(int n, int lowByte);
// One step of the module's own pair, then 1..n.
int pickRandom(WakeUp& s, int n);

// Draws four run-time values: the first two seed the shared words, the
// other two the module's pair; then the first frame asks for everything.
void startWakeUp(WakeUp& s, RandomWords& shared, CrtRandom& crt);

// One frame into the 320 x 192 picture (storage order).
void frameWakeUp(WakeUp& s, unsigned flags, uint8_t* picture);

// The parts of a frame, in the order the frame runs them.
void renderWakeUp(WakeUp& s);
void reconfigureWakeUp(WakeUp& s);
void buildWakePalette(WakeUp& s);
void sceneZoom(WakeUp& s);
void sceneShapedWave(WakeUp& s);
void sceneWaveVoices(WakeUp& s);
void composePicture(WakeUp& s, uint8_t* picture);

// A drift byte moved by one frame of the drift rule.
uint8_t driftBy(uint8_t drift, uint8_t step);

} // namespace zavudev
