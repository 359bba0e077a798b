#include "kalvo/mpeg/tests/crafted_streams.h"

namespace kalvo::test {

void fillPattern(CraftGranule& g, int seed, int lines) {
    uint32_t x = uint32_t(seed) * 2654435761u + 1;
    for (int i = 0; i < 576; ++i) {
        x = x * 1103515245u + 12345u;
        // Mostly low lines, a few high ones, as music has.
        int chance = i < 64 ? 2 : i < lines ? 6 : 1000;
        g.lines[i] = int8_t((x >> 16) % uint32_t(chance) == 0 ? ((x >> 8) & 1 ? 1 : -1) : 0);
    }
}

CraftFrame patternFrame(int version, uint32_t samplingIndex, uint32_t mode, int seed, int lines) {
    CraftFrame f;
    f.version = version;
    f.samplingIndex = samplingIndex;
    f.mode = mode;
    for (int gr = 0; gr < 2; ++gr)
        for (int ch = 0; ch < 2; ++ch) {
            fillPattern(f.gr[gr][ch], seed * 4 + gr * 2 + ch, lines);
            f.gr[gr][ch].globalGain = 170 + uint32_t(ch) * 4;
        }
    return f;
}

std::vector<uint8_t> patternStream(int n, int version, uint32_t samplingIndex, uint32_t mode) {
    std::vector<uint8_t> s;
    for (int i = 0; i < n; ++i) {
        std::vector<uint8_t> f = writeFrame(patternFrame(version, samplingIndex, mode, i));
        s.insert(s.end(), f.begin(), f.end());
    }
    return s;
}

std::vector<uint8_t> behindFiller(const std::vector<uint8_t>& data, int bits) {
    BitWriter w;
    // ...100100: never 11 ones in a row, and a zero bit right before the data.
    for (int i = 0; i < bits; ++i) w.put((bits - 1 - i) % 3 == 2 ? 1 : 0, 1);
    for (uint8_t b : data) w.put(b, 8);
    return w.bytes();
}

} // namespace kalvo::test
