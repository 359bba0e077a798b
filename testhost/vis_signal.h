// The sound that testhost vis shows a visualization: a test signal or a WAV
// file, cut into the 576-sample blocks a player hands its visualizations, and
// the rows a player makes of each block: the waveform as signed bytes and the
// spectrum as unsigned bytes from an FFT of the same block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

constexpr int visBlockLength = 576;

class VisSignal {
public:
    // spec: "silence", "sine:HZ", "noise", "sweep" or the path of a PCM WAV file
    // (8 or 16 bits, mono or stereo; it brings its own rate and channel count).
    // blocks: how many blocks the run will take, over which the sweep rises.
    bool open(const std::string& spec, int rateHz, int channels, int blocks, std::string& error);
    int rateHz() const { return rate_; }
    int channels() const { return channels_; }
    // The next block of each channel, samples in -1..1; a mono sound gives the
    // same block twice, and a file that has ended gives silence.
    void nextBlock(float (&first)[visBlockLength], float (&second)[visBlockLength]);

private:
    enum class Kind { silence, sine, noise, sweep, file };
    float synth();
    Kind kind_ = Kind::silence;
    int rate_ = 44100, channels_ = 2, blocks_ = 1;
    double frequency_ = 0, phase_ = 0;
    int64_t position_ = 0; // samples produced per channel
    uint32_t noise_ = 0x2545F491u;
    std::vector<float> samples_; // a file's samples, interleaved
};

// 576 samples as one waveform row: -1..1 to -128..127.
void makeWaveformRow(const float* block, signed char* row);

// 576 samples as one spectrum row: the magnitudes of a Hann-windowed FFT,
// 0 Hz to half the rate across the row, on a 60 dB scale (a full-scale sine
// reaches 255, -60 dB and below give 0).
void makeSpectrumRow(const float* block, unsigned char* row);

} // namespace testhost
