#include "zavudev/wake_up.h"

#include "zavudev/picture.h"
#include "zavudev/wake_tables.h"

#include <algorithm>
#include <cstring>

namespace zavudev {

namespace {

// Practically never reached: the first-frame loop ends at the first pair of
// steps that leaves A odd. The cap only keeps a degenerate pair (A and B
// both 0 is a fixed point of the step) from hanging the host.
constexpr int firstFrameMaxPairs = 64;

int32_t step(WakeUp& s) {
    stepRandom(s.pair);
    return s.pair.a;
}

void copyViewTo(const ViewImage& view, uint8_t* target, int pitch) {
    for (int j = 0; j < viewHeight; ++j) std::memcpy(target + j * pitch, view[j], viewWidth);
}

// Scene 1's view: the source buffer sampled at the cycle's scale.
void sampleFolded(WakeUp& s, const uint8_t (&source)[zoomHeight][zoomWidth], uint32_t scale) {
    uint32_t y = 0;
    for (int j = 0; j < viewHeight; ++j, y += scale) {
        const uint8_t* line = source[y >> 16];
        uint32_t x = 0;
        for (int i = 0; i < viewWidth; ++i, x += scale) s.view[j][i] = uint8_t(fold(line[x >> 16]));
    }
}

// Doubles the detail of source rows [first, first + count) into the
// destination, filling between the pixels with a little noise.
void refineRows(WakeUp& s, const uint8_t (&src)[zoomHeight][zoomWidth],
                uint8_t (&dst)[zoomHeight][zoomWidth], int first, int count) {
    for (int y = first; y < first + count; ++y) {
        for (int x = 0; x < 128; ++x) {
            int p = src[y][x], q = src[y][x + 1], r = src[y + 1][x], t = src[y + 1][x + 1];
            dst[2 * y][2 * x] = uint8_t(p);
            dst[2 * y][2 * x + 1] = uint8_t(reflect((p + q + (step(s) & 31) - 15) >> 1));
            dst[2 * y + 1][2 * x] = uint8_t(reflect((p + r + (step(s) & 31) - 15) >> 1));
            dst[2 * y + 1][2 * x + 1] =
                uint8_t(reflect((p + q + r + t + (step(s) & 63) - 31) >> 2));
        }
    }
}

void plantSeeds(WakeUp& s, uint8_t (&dst)[zoomHeight][zoomWidth]) {
    dst[0][1] = uint8_t(step(s) & 127);
    dst[1][0] = uint8_t(step(s) & 127);
    dst[0][0] = 64;
    for (int n = 0; n < s.seedCount; ++n) {
        uint8_t v = uint8_t(step(s) & 127);
        int row = (step(s) & 0xF00) >> 8;
        int column = step(s) & 15;
        dst[row][column] = v;
    }
}

// A byte that glides from its old to its new value as the fade counts down.
int glide(uint8_t oldValue, uint8_t newValue, int c) {
    return (oldValue * c + newValue * (128 - c)) >> 7;
}

void shapeTable(uint8_t (&table)[256], const uint8_t* wave, int amplitude, int frequency,
                int offset) {
    for (int x = 0; x < 256; ++x)
        table[x] = uint8_t((((wave[(x * frequency >> 5) & 255] - 127) * amplitude) >> 7) + offset);
}

void stepVoices(WakeUp& s, WaveVoices& v) {
    v.weight = uint8_t((v.weight + 4) & 127);
    v.nextWeight = uint8_t(v.weight ^ 127);
    if (v.weight == 0) {
        v.voiceSpeed = v.nextSpeed;
        v.voiceWave = v.nextWave;
        v.nextSpeed = uint8_t((step(s) & 0xFE) + 1);
        v.nextWave = uint8_t(step(s) & 7);
    }
}

void mixVoices(uint8_t (&table)[256], const WaveVoices& v, int drift) {
    const WakeTables& t = wakeTables();
    const uint8_t* now = t.shapeWaves[v.voiceWave];
    const uint8_t* next = t.shapeWaves[v.nextWave];
    int w = v.weight;
    for (int x = 0; x < 256; ++x) {
        int a = now[((x * v.voiceSpeed >> 5) + drift) & 255];
        int b = next[((x * v.nextSpeed >> 5) + drift) & 255];
        table[x] = uint8_t((a * (127 - w) + b * w) >> 7);
    }
}

enum class Lookup { summed, chained, crossed };

void lookupView(WakeUp& s, Lookup style) {
    const WakeTables& t = wakeTables();
    const uint8_t* curve = t.contrastCurves[s.curveIndex];
    const uint8_t* A = s.waveA;
    const uint8_t* B = s.waveB;
    for (int j = 0; j < viewHeight; ++j) {
        const uint8_t* mapU = t.mapU[s.mapPlane][j];
        const uint8_t* mapV = t.mapV[s.mapPlane][j];
        for (int i = 0; i < viewWidth; ++i) {
            int v = mapV[i];
            int r = curve[mapU[i]];
            int pixel;
            switch (style) {
            case Lookup::summed: pixel = A[r] + B[v]; break;
            case Lookup::chained: pixel = r + B[(A[r] + v) & 255]; break;
            default: pixel = r + B[(A[v] + r) & 255]; break;
            }
            s.view[j][i] = uint8_t(fold(pixel));
        }
    }
}

void blendImages(WakeUp& s) {
    s.cycleOffset = uint8_t(s.cycleOffset + 4);
    for (int j = 0; j < viewHeight; ++j) {
        for (int i = 0; i < viewWidth; ++i) {
            int view = s.view[j][i];
            int snapshot = s.snapshot[j][i];
            int out;
            switch (s.blendMode) {
            case 2: out = (fold(snapshot + s.cycleOffset) + view) >> 1; break;
            case 3: out = std::max(view - snapshot, 0); break;
            default: out = fold(s.blend[j][i] + ((view - 64) >> 3)); break;
            }
            s.blend[j][i] = uint8_t(out);
        }
    }
}

// One source row into four picture rows, the right half first, the left
// half its mirror image.
void doubleRow(const ViewImage& S, int y, uint8_t* picture) {
    uint8_t* upper[2] = {picture + (96 + 2 * y) * pictureWidth,
                         picture + (95 - 2 * y) * pictureWidth};
    uint8_t* lower[2] = {picture + (97 + 2 * y) * pictureWidth,
                         picture + (94 - 2 * y) * pictureWidth};
    for (int x = 0; x < viewWidth; ++x) {
        int p = S[y][x], q = S[y][x + 1], b = S[y + 1][x], d = S[y + 1][x + 1];
        uint8_t e = uint8_t(p), h = uint8_t((p + q) >> 1);
        uint8_t l = uint8_t((p + b) >> 1), n = uint8_t((p + d) >> 1);
        for (int k = 0; k < 2; ++k) {
            upper[k][160 + 2 * x] = e;
            upper[k][161 + 2 * x] = h;
            lower[k][160 + 2 * x] = l;
            lower[k][161 + 2 * x] = n;
        }
    }
    for (uint8_t* row : {upper[0], upper[1], lower[0], lower[1]})
        for (int k = 0; k < 160; ++k) row[159 - k] = row[160 + k];
}

} // namespace

int fold(int v) {
    int b = v & 255;
    return b < 128 ? b : 255 - b;
}

int reflect(int v) {
    if (v < 0) return -1 - v;
    if (v > 255) return 511 - v;
    return v;
}

int pickFromByte(int n, int lowByte) {
    return ((n * lowByte) >> 8) + 1;
}

int pickRandom(WakeUp& s, int n) {
    return pickFromByte(n, step(s) & 255);
}

uint8_t driftBy(uint8_t drift, uint8_t stepValue) {
    if (stepValue > 63) return uint8_t(drift + (stepValue & 63));
    return uint8_t(drift - stepValue);
}

void startWakeUp(WakeUp& s, RandomWords& shared, CrtRandom& crt) {
    shared = seedWords(crt);
    s.pair = seedWords(crt);
    s.zoomSource = s.zoomPhase = s.zoomSpeed = s.seedCount = 0;
    s.waveIndex = s.fadeCount = s.lookupStyle = s.drift2 = 0;
    s.amp1Old = s.freq1Old = s.amp1New = s.freq1New = 0;
    s.amp2Old = s.freq2Old = s.amp2New = s.freq2New = 0;
    s.driftStep = 0;
    s.mapPlane = 0;
    for (WaveVoices& v : s.voices) v = {128, 0, 0, 128, 0, 0};
    s.drift3 = 0;
    s.modeWord = modeFirstFrame;
    s.scene = pickRandom(s, 3);
    s.blendMode = pickRandom(s, 4);
}

void reconfigureWakeUp(WakeUp& s) {
    s.zoomSource = 0;
    s.zoomPhase = 0;
    s.zoomSpeed = (step(s) & 1) ? 8 : 4;
    s.seedCount = uint8_t((step(s) & 0x18) + 8);
    s.lookupStyle = uint8_t(step(s) & 1);
    s.waveIndex = uint8_t(step(s) & 7);
    s.driftStep = uint8_t((step(s) & 0x46) + 2);
    int plane = step(s) & 3;
    s.mapPlane = plane == 3 ? 0 : plane;
    s.curveIndex = step(s) & 63;
    for (int n = 0; n < 7; ++n) step(s);
}

void buildWakePalette(WakeUp& s) {
    const WakeTables& t = wakeTables();
    int half = (step(s) & 4) ? 4 : 0;
    for (int channel = 0; channel < 3; ++channel) {
        int stride = (step(s) & 31) + 1;
        int phase = step(s) & 7;
        const uint8_t* wave = t.shapeWaves[half + (step(s) & 3)];
        for (int j = 0; j < wakePaletteSize; ++j)
            s.palette[j][channel] = wave[(phase + ((j * stride) >> 4)) & 255];
    }
}

void renderWakeUp(WakeUp& s) {
    uint32_t mode = s.modeWord;
    if (mode != 0) {
        s.pair.a = int32_t(uint32_t(s.pair.a) + mode);
        if (mode & modeReconfigure) reconfigureWakeUp(s);
        if (mode & (modeFirstDrawA | modeFirstDrawB)) step(s);
        if (mode & modeFirstDrawC) {
            for (int pairs = 0; pairs < firstFrameMaxPairs; ++pairs) {
                step(s);
                if (step(s) & 1) break;
            }
            step(s);
        }
        if (mode & modePalette) buildWakePalette(s);
    }
    switch (s.scene) {
    case 1: sceneZoom(s); break;
    case 2: sceneShapedWave(s); break;
    default: sceneWaveVoices(s); break;
    }
}

void sceneZoom(WakeUp& s) {
    int g = s.zoomPhase, f = s.zoomSpeed, z = s.zoomSource;
    // The phase always lands on 64 exactly; ">=" only keeps the table index
    // in range should it not.
    bool lastFrame = g + f >= 64;
    if (lastFrame) {
        s.zoomPhase = 0;
        s.zoomSource = uint8_t(z ^ 1);
    } else {
        s.zoomPhase = uint8_t(g + f);
    }
    auto& source = s.zoom[z];
    auto& destination = s.zoom[z ^ 1];
    if (lastFrame) plantSeeds(s, destination);
    refineRows(s, source, destination, (g >> 1) * 3, (f >> 1) * 3);
    sampleFolded(s, source, wakeTables().zoomSteps[g]);
}

void sceneShapedWave(WakeUp& s) {
    if (s.fadeCount == 0) {
        s.fadeCount = 124;
        s.amp1Old = s.amp1New;
        s.freq1Old = s.freq1New;
        s.amp1New = uint8_t((step(s) & 63) + 1);
        s.freq1New = uint8_t((step(s) & 0xFE) + 1);
        s.amp2Old = s.amp2New;
        s.freq2Old = s.freq2New;
        s.amp2New = uint8_t((step(s) & 63) + 1);
        s.freq2New = uint8_t((step(s) & 0xFE) + 1);
    }
    int c = s.fadeCount;
    const uint8_t* wave = wakeTables().shapeWaves[s.waveIndex];
    shapeTable(s.waveA, wave, glide(s.amp1Old, s.amp1New, c), glide(s.freq1Old, s.freq1New, c),
               127);
    s.drift2 = driftBy(s.drift2, s.driftStep);
    shapeTable(s.waveB, wave, glide(s.amp2Old, s.amp2New, c), glide(s.freq2Old, s.freq2New, c),
               s.drift2 + 127);
    s.fadeCount = uint8_t(c - 4);
    lookupView(s, s.lookupStyle == 0 ? Lookup::chained : Lookup::crossed);
}

void sceneWaveVoices(WakeUp& s) {
    stepVoices(s, s.voices[0]);
    stepVoices(s, s.voices[1]);
    s.drift3 = driftBy(s.drift3, s.driftStep);
    mixVoices(s.waveB, s.voices[0], 0);
    mixVoices(s.waveA, s.voices[1], s.drift3);
    lookupView(s, Lookup::summed);
}

void composePicture(WakeUp& s, uint8_t* picture) {
    const ViewImage* source = &s.view;
    if (s.blendMode != 1) {
        blendImages(s);
        source = &s.blend;
    }
    for (int y = 0; y < 48; ++y) doubleRow(*source, y, picture);
}

void frameWakeUp(WakeUp& s, unsigned flags, uint8_t* picture) {
    if (flags & wakeNewChoices) {
        s.modeWord |= modeReconfigure;
        s.scene = pickRandom(s, 3);
        if (s.scene == 1) copyViewTo(s.view, &s.zoom[0][0][0], zoomWidth);
        s.blendMode = pickRandom(s, 4);
        if (s.blendMode != 1) copyViewTo(s.view, &s.snapshot[0][0], viewPitch);
    }
    if (flags & wakeNewPalette) s.modeWord |= modePalette;
    renderWakeUp(s);
    composePicture(s, picture);
    pickRandom(s, 4);
    s.modeWord = 0;
}

} // namespace zavudev
