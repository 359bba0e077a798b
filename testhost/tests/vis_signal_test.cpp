// The rows testhost vis makes: the spectrum peaks where the tone is, the
// waveform follows the samples, and WAV files keep their channels apart.
#include "testhost/vis_signal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace testhost {
namespace {

struct Rows {
    unsigned char spectrum[2][visBlockLength];
    signed char waveform[2][visBlockLength];
};

Rows nextRows(VisSignal& s) {
    float a[visBlockLength], b[visBlockLength];
    s.nextBlock(a, b);
    Rows r;
    makeSpectrumRow(a, r.spectrum[0]);
    makeSpectrumRow(b, r.spectrum[1]);
    makeWaveformRow(a, r.waveform[0]);
    makeWaveformRow(b, r.waveform[1]);
    return r;
}

int peakIndex(const unsigned char* row) {
    return int(std::max_element(row, row + visBlockLength) - row);
}

TEST(VisSignal, SinePeaksAtItsFrequency) {
    struct Case {
        double hz;
        int rate;
    } cases[] = {{1000, 44100}, {440, 44100}, {5000, 22050}, {15000, 48000}};
    for (const Case& c : cases) {
        VisSignal s;
        std::string error;
        ASSERT_TRUE(s.open("sine:" + std::to_string(c.hz), c.rate, 2, 10, error)) << error;
        Rows r = nextRows(s);
        int expected = int(std::lround(c.hz / (c.rate / 2.0) * visBlockLength));
        EXPECT_NEAR(peakIndex(r.spectrum[0]), expected, 1) << c.hz << " Hz at " << c.rate;
        EXPECT_GE(r.spectrum[0][peakIndex(r.spectrum[0])], 240);
        // Far from the tone the row is near the floor.
        int far = expected > visBlockLength / 2 ? 20 : visBlockLength - 20;
        EXPECT_LT(r.spectrum[0][far], 40) << c.hz;
        EXPECT_EQ(*std::max_element(r.waveform[0], r.waveform[0] + visBlockLength), 102);
        EXPECT_EQ(*std::min_element(r.waveform[0], r.waveform[0] + visBlockLength), -102);
    }
}

TEST(VisSignal, SilenceAndNoise) {
    VisSignal s;
    std::string error;
    ASSERT_TRUE(s.open("silence", 44100, 1, 1, error));
    Rows r = nextRows(s);
    EXPECT_EQ(*std::max_element(r.spectrum[1], r.spectrum[1] + visBlockLength), 0);
    EXPECT_EQ(*std::max_element(r.waveform[1], r.waveform[1] + visBlockLength), 0);

    ASSERT_TRUE(s.open("noise", 44100, 2, 1, error));
    r = nextRows(s);
    int lit = int(std::count_if(r.spectrum[0], r.spectrum[0] + visBlockLength,
                                [](unsigned char v) { return v > 100; }));
    EXPECT_GT(lit, visBlockLength * 3 / 4); // noise fills the whole row
}

TEST(VisSignal, SweepRisesOverTheRun) {
    VisSignal s;
    std::string error;
    ASSERT_TRUE(s.open("sweep", 44100, 2, 20, error));
    int first = peakIndex(nextRows(s).spectrum[0]);
    for (int i = 0; i < 18; ++i) nextRows(s);
    int last = peakIndex(nextRows(s).spectrum[0]);
    EXPECT_LT(first, 3);
    EXPECT_GT(last, 300);
}

TEST(VisSignal, WavFileKeepsItsChannelsAndEnds) {
    std::string path = testing::TempDir() + "vis_signal_test.wav";
    const int frames = 700;
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(f) << path << ": " << std::strerror(errno);
        auto put32 = [f](uint32_t v) { std::fwrite(&v, 4, 1, f); };
        auto put16 = [f](uint16_t v) { std::fwrite(&v, 2, 1, f); };
        std::fwrite("RIFF", 1, 4, f);
        put32(36 + frames * 4);
        std::fwrite("WAVEfmt ", 1, 8, f);
        put32(16);
        put16(1);
        put16(2);
        put32(22050);
        put32(22050 * 4);
        put16(4);
        put16(16);
        std::fwrite("data", 1, 4, f);
        put32(frames * 4);
        for (int i = 0; i < frames; ++i) {
            put16(uint16_t(16384));  // left: half scale
            put16(uint16_t(-32768)); // right: full negative
        }
        std::fclose(f);
    }
    VisSignal s;
    std::string error;
    ASSERT_TRUE(s.open(path, 44100, 1, 5, error)) << error;
    EXPECT_EQ(s.rateHz(), 22050);
    EXPECT_EQ(s.channels(), 2);
    Rows r = nextRows(s);
    EXPECT_EQ(r.waveform[0][0], 64);
    EXPECT_EQ(r.waveform[1][0], -128);
    r = nextRows(s); // frames 576..1151: the file ends at 700
    EXPECT_EQ(r.waveform[0][700 - 576 - 1], 64);
    EXPECT_EQ(r.waveform[0][700 - 576], 0);
    std::remove(path.c_str());

    EXPECT_FALSE(s.open(path, 44100, 2, 5, error));
    EXPECT_FALSE(s.open("sine:x", 44100, 2, 5, error));
}

} // namespace
} // namespace testhost
