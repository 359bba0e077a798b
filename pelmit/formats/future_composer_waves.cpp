// The built-in waves are generated at compile time from the rules they were
// drawn by; only the three shapes that follow no rule are written out.
#include "pelmit/formats/future_composer_waves.h"

namespace pelmit {

namespace {

constexpr int builtInWaves = 48;

constexpr std::array<uint8_t, fcWaveCount> makeLengths() {
    std::array<uint8_t, fcWaveCount> lengths{};
    constexpr uint8_t lastSixteen[16] = {8, 8, 8, 8, 8, 8, 8, 8, 16, 8, 16, 16, 8, 8, 16, 8};
    for (int n = 0; n < 32; ++n) lengths[n] = 16;
    for (int n = 0; n < 16; ++n) lengths[32 + n] = lastSixteen[n];
    return lengths;
}

// Waves 44 and 45.
constexpr int8_t roundedTriangle[16] = {0, 0,   64,  96,  127,  96,  64,  32,
                                        0, -32, -64, -96, -128, -96, -64, -32};
constexpr int8_t wave42[32] = {69,  69,  121, 125, 122, 119,  112,  102,  97,   88,  83,
                               77,  44,  32,  24,  18,  4,    -37,  -45,  -51,  -58, -68,
                               -75, -82, -88, -93, -99, -103, -109, -114, -117, -118};
constexpr int8_t wave43[32] = {69,  69,  121, 125, 122, 119,  112,  102,  91,   75,  67,
                               55,  44,  32,  24,  18,  4,    -8,   -24,  -37,  -49, -58,
                               -66, -80, -88, -92, -98, -102, -107, -108, -115, -125};

// Byte j of wave n (0-47).
constexpr int waveByte(int n, int j) {
    if (n < 16) {
        // A triangle whose second half turns from the upper ramp to the lower
        // one after n bytes.
        constexpr int firstHalf[16] = {-64, -64, -48, -40, -32, -24, -16, -8,
                                       0,   -8,  -16, -24, -32, -40, -48, -56};
        if (j < 16) return firstHalf[j];
        const int k = j - 16;
        if (k < n) return k <= 8 ? -64 - 8 * k : -128 + 8 * (k - 8);
        return k <= 8 ? 63 - 8 * k : -1 + 8 * (k - 8);
    }
    // Pulses of growing width.
    if (n < 30) return j < n ? -127 : 127;
    if (n < 32) return j < n ? -128 : 127;
    if (n < 40) return j < (n == 39 ? 2 : 40 - n) ? -128 : 127;
    switch (n) {
    case 40:
    case 46: return j < 2 ? -128 : j == 31 ? 127 : -128 + 8 * j; // saw
    case 41:
    case 47: return j < 2 ? -128 : -128 + 16 * j; // short saw
    case 42: return wave42[j];
    case 43: return wave43[j];
    default: return roundedTriangle[j];
    }
}

constexpr std::array<int8_t, fcBuiltInWaveBytes> makeWaves() {
    constexpr std::array<uint8_t, fcWaveCount> lengths = makeLengths();
    std::array<int8_t, fcBuiltInWaveBytes> waves{};
    int at = 0;
    for (int n = 0; n < builtInWaves; ++n) {
        const int size = 2 * lengths[n];
        for (int j = 0; j < size; ++j) waves[at + j] = int8_t(waveByte(n, j));
        at += size;
    }
    return waves;
}

constexpr int totalLength() {
    int words = 0;
    for (uint8_t w : makeLengths()) words += w;
    return 2 * words;
}
static_assert(totalLength() == fcBuiltInWaveBytes);

} // namespace

const std::array<uint8_t, fcWaveCount> fcWaveLengths = makeLengths();
const std::array<int8_t, fcBuiltInWaveBytes> fcWaves = makeWaves();

} // namespace pelmit
