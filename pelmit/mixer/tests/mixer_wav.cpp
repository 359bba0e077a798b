// Writes WAV files of the renders the mixer tests measure, so that an outside
// tool (sox stat) can check pitch, balance and the LED filter independently.
//   mixer_wav FOLDER
#include "pelmit/mixer/tests/mixer_rig.h"
#include "pelmit/settings.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <numbers>
#include <string>

using namespace pelmit;
using namespace pelmit::test;

namespace {

struct Render {
    const char* name;
    RigOptions options;
    std::vector<int8_t> sample;
    uint32_t loopEnd;
    uint8_t flags;
    uint32_t period;
    bool interpolate;
    bool led;
};

std::vector<int8_t> swappedSquare() {
    const std::vector<int8_t> square = squareWave(32);
    std::vector<int8_t> memory(square.size());
    for (size_t i = 0; i < square.size(); ++i) memory[i ^ 1] = square[i];
    return memory;
}

// One cycle of a sine in 32 bytes, for sox's rough frequency (which only
// reads a sine's pitch well).
std::vector<int8_t> sineWave() {
    std::vector<int8_t> s(32);
    for (int i = 0; i < 32; ++i)
        s[i] = int8_t(std::lround(100 * std::sin(i * std::numbers::pi / 16)));
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mixer_wav FOLDER\n");
        return 2;
    }
    const RigOptions mono44 = {.rate = 44100};
    const RigOptions stereo = {
        .rate = 44100, .voices = 4, .stereo = true, .boost = true, .separation = 64};
    const Render renders[] = {
        // A 32-byte square at period 428: 3,546,894.6 / 428 / 32 = 258.97 Hz.
        {"square428", mono44, squareWave(32), 32, 0, 428, false, false},
        {"square428_interpolated", mono44, squareWave(32), 32, 0, 428, true, false},
        {"square428_swapped", mono44, swappedSquare(), 32, sampleWordSwapped, 428, false, false},
        {"sine428_interpolated", mono44, sineWave(), 32, 0, 428, true, false},
        {"square856_31500", {.rate = 31500}, squareWave(32), 32, 0, 856, false, false},
        // Voice 0 at separation 64: pan 64, left three times as loud as right.
        {"separation64", stereo, squareWave(32), 32, 0, 428, false, false},
        // White noise without and with the LED filter (a four-tap box: a
        // quarter of the power of white noise, half its RMS).
        {"noise", stereo, whiteNoise(65536), 65536, 0, 80, false, false},
        {"noise_led", stereo, whiteNoise(65536), 65536, 0, 80, false, true},
    };
    for (const Render& r : renders) {
        MixerRig rig(r.options);
        rig.load(0, r.sample, 0, r.loopEnd, r.flags);
        rig.play(0, 0, r.period);
        rig.mixer().setLedFilter(r.led);
        settings.Interpolation = r.interpolate;
        const std::vector<int16_t> pcm = rig.read(r.options.rate * 2);
        const std::string path = std::string(argv[1]) + "/" + r.name + ".wav";
        try {
            writeWav(path, pcm, r.options.rate, r.options.stereo ? 2 : 1);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
