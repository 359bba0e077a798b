#include "zavudev/visualizer.h"

namespace zavudev {

void startVisualizer(Visualizer& v, ModuleKind kind) {
    if (kind == ModuleKind::dezoZazIru) {
        v.words = seedWords(v.crt);
        startNoise(v.noise, v.words);
    } else {
        startWakeUp(v.wake, v.words, v.crt);
    }
}

bool frameVisualizer(Visualizer& v, ModuleKind kind,
                     const uint8_t (&spectrum)[2][spectrumRowLength], uint8_t* picture,
                     ColourTable& table) {
    if (kind == ModuleKind::dezoZazIru) {
        frameNoise(v.noise, v.words, picture);
        return false;
    }
    bool beat = isBeat(frameLevel(spectrum), v.beatThreshold);
    frameWakeUp(v.wake, beat ? unsigned(wakeBeat) : 0u, picture);
    if (!beat) return false;
    for (int j = 0; j < wakePaletteSize; ++j) {
        const uint8_t* rgb = v.wake.palette[j];
        table[j] = {rgb[2], rgb[1], rgb[0], 0};
    }
    return true;
}

} // namespace zavudev
