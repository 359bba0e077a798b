// Pitch against the hardware: what the PAL Amiga would play, measured from the
// zero crossings of the rendered PCM.
#include "pelmit/mixer/tests/mixer_rig.h"
#include "pelmit/settings.h"

#include <gtest/gtest.h>

using namespace pelmit;
using namespace pelmit::test;

namespace {

// The PAL Amiga's audio clock: a voice at period p reads one byte every p ticks.
constexpr double palAudioClock = 3546894.6;

double renderedPitch(uint32_t rate, uint32_t period, bool interpolate, bool swapped) {
    MixerRig rig({.rate = rate});
    const std::vector<int8_t> square = squareWave(32);
    if (swapped) {
        std::vector<int8_t> memory(square.size());
        for (size_t i = 0; i < square.size(); ++i) memory[i ^ 1] = square[i];
        rig.load(0, memory, 0, 32, sampleWordSwapped);
    } else {
        rig.load(0, square, 0, 32);
    }
    rig.play(0, 0, period);
    settings.Interpolation = interpolate;
    const std::vector<int16_t> pcm = rig.read(rate); // one second
    settings.Interpolation = 0;
    return zeroCrossingFrequency(pcm, rate);
}

} // namespace

TEST(Pitch, LoopedSquareAtPalFrequencies) {
    // 428 at 44.1 kHz is the reference case: 8,287.14 bytes/s over 32 bytes.
    EXPECT_NEAR(renderedPitch(44100, 428, false, false), 258.97, 0.03);

    for (uint32_t rate : {8000u, 31500u, 44100u, 48000u, 96000u}) {
        for (uint32_t period : {113u, 214u, 428u, 856u, 1712u}) {
            for (bool interpolate : {false, true}) {
                for (bool swapped : {false, true}) {
                    const double expected = palAudioClock / period / 32;
                    if (expected * 2 > rate) continue; // above Nyquist
                    const double measured = renderedPitch(rate, period, interpolate, swapped);
                    // The 16.16 step truncates; 0.1% is far below a semitone (6%).
                    EXPECT_NEAR(measured, expected, expected * 0.001)
                        << rate << " Hz, period " << period << (interpolate ? ", interpolated" : "")
                        << (swapped ? ", word-swapped" : "");
                }
            }
        }
    }
}
