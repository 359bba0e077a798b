#include "testhost/vis_signal.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace testhost {

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr float amplitude = 0.8f;
constexpr double sweepLowHz = 40, sweepHighHz = 16000;
constexpr int fftLength = 1024; // the block, zero-padded
constexpr double dbRange = 60;

uint32_t le32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool readWav(const std::string& path, int& rate, int& channels, std::vector<float>& samples,
             std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<unsigned char> raw;
    unsigned char buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        raw.insert(raw.end(), buf, buf + n);
    std::fclose(f);
    if (raw.size() < 12 || std::memcmp(raw.data(), "RIFF", 4) || std::memcmp(&raw[8], "WAVE", 4)) {
        error = path + " is not a WAV file";
        return false;
    }
    int bits = 0;
    channels = 0;
    for (size_t pos = 12; pos + 8 <= raw.size();) {
        uint32_t size = le32(&raw[pos + 4]);
        const unsigned char* body = &raw[pos + 8];
        size_t avail = std::min<size_t>(size, raw.size() - pos - 8);
        if (!std::memcmp(&raw[pos], "fmt ", 4) && avail >= 16) {
            int format = body[0] | body[1] << 8;
            channels = body[2] | body[3] << 8;
            rate = int(le32(body + 4));
            bits = body[14] | body[15] << 8;
            if (format != 1 || (bits != 8 && bits != 16) || channels < 1 || channels > 2 ||
                rate <= 0) {
                error = path + ": only 8- or 16-bit PCM, mono or stereo";
                return false;
            }
        } else if (!std::memcmp(&raw[pos], "data", 4) && bits) {
            size_t bytes = bits / 8;
            for (size_t i = 0; i + bytes <= avail; i += bytes)
                samples.push_back(bits == 8 ? (body[i] - 128) / 128.0f
                                            : int16_t(body[i] | body[i + 1] << 8) / 32768.0f);
            return true;
        }
        pos += 8 + size + (size & 1);
    }
    error = path + " has no PCM data";
    return false;
}

// An in-place radix-2 FFT.
void fft(std::complex<double>* x, int n) {
    for (int i = 1, j = 0; i < n; ++i) {
        int bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (int len = 2; len <= n; len <<= 1) {
        std::complex<double> step = std::polar(1.0, -2 * pi / len);
        for (int i = 0; i < n; i += len) {
            std::complex<double> w = 1;
            for (int k = 0; k < len / 2; ++k, w *= step) {
                std::complex<double> a = x[i + k], b = x[i + k + len / 2] * w;
                x[i + k] = a + b;
                x[i + k + len / 2] = a - b;
            }
        }
    }
}

} // namespace

bool VisSignal::open(const std::string& spec, int rateHz, int channels, int blocks,
                     std::string& error) {
    rate_ = rateHz;
    channels_ = channels;
    blocks_ = std::max(blocks, 1);
    if (rate_ <= 0 || channels_ < 1 || channels_ > 2) {
        error = "the rate must be positive and the channel count 1 or 2";
        return false;
    }
    if (spec == "silence") {
        kind_ = Kind::silence;
    } else if (spec == "noise") {
        kind_ = Kind::noise;
    } else if (spec == "sweep") {
        kind_ = Kind::sweep;
    } else if (spec.rfind("sine:", 0) == 0) {
        kind_ = Kind::sine;
        char* end = nullptr;
        frequency_ = std::strtod(spec.c_str() + 5, &end);
        if (*end || frequency_ <= 0) {
            error = "sine:HZ needs a frequency";
            return false;
        }
    } else {
        kind_ = Kind::file;
        return readWav(spec, rate_, channels_, samples_, error);
    }
    return true;
}

float VisSignal::synth() {
    switch (kind_) {
    case Kind::noise:
        noise_ ^= noise_ << 13;
        noise_ ^= noise_ >> 17;
        noise_ ^= noise_ << 5;
        return amplitude * (float(noise_ >> 8) / float(1 << 23) - 1.0f);
    case Kind::sine:
    case Kind::sweep: {
        double hz = frequency_;
        if (kind_ == Kind::sweep) {
            double t = double(position_) / (double(blocks_) * visBlockLength);
            double high = std::min(sweepHighHz, rate_ * 0.45);
            hz = sweepLowHz * std::pow(high / sweepLowHz, std::min(t, 1.0));
        }
        float s = amplitude * float(std::sin(phase_));
        phase_ = std::fmod(phase_ + 2 * pi * hz / rate_, 2 * pi);
        return s;
    }
    default: return 0;
    }
}

void VisSignal::nextBlock(float (&first)[visBlockLength], float (&second)[visBlockLength]) {
    for (int i = 0; i < visBlockLength; ++i, ++position_) {
        if (kind_ == Kind::file) {
            size_t at = size_t(position_) * size_t(channels_);
            bool inside = at + size_t(channels_) <= samples_.size();
            first[i] = inside ? samples_[at] : 0.0f;
            second[i] = inside ? samples_[at + size_t(channels_) - 1] : 0.0f;
        } else {
            first[i] = second[i] = synth();
        }
    }
}

void makeWaveformRow(const float* block, signed char* row) {
    for (int i = 0; i < visBlockLength; ++i)
        row[i] = static_cast<signed char>(std::clamp(std::lround(block[i] * 128.0f), -128L, 127L));
}

void makeSpectrumRow(const float* block, unsigned char* row) {
    std::complex<double> x[fftLength] = {};
    for (int i = 0; i < visBlockLength; ++i)
        x[i] = block[i] * 0.5 * (1 - std::cos(2 * pi * i / (visBlockLength - 1)));
    fft(x, fftLength);
    // A full-scale sine peaks at a magnitude of the window's sum over two.
    const double fullScale = visBlockLength / 4.0;
    for (int i = 0; i < visBlockLength; ++i) {
        double bin = double(i) * (fftLength / 2) / visBlockLength;
        int k = int(bin);
        double frac = bin - k;
        double mag = std::abs(x[k]) * (1 - frac) + std::abs(x[k + 1]) * frac;
        double db = 20 * std::log10(std::max(mag / fullScale, 1e-12));
        row[i] = static_cast<unsigned char>(
            std::lround(255 * std::clamp((db + dbRange) / dbRange, 0.0, 1.0)));
    }
}

} // namespace testhost
