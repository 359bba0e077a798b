#include "kalvo/mpeg/tests/test_signal.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <string_view>

namespace kalvo::test {

namespace {

constexpr double pi = 3.14159265358979323846;

void put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

std::vector<uint8_t> wav(uint32_t rate, int channels, const std::vector<int16_t>& samples) {
    std::vector<uint8_t> v = {'R', 'I', 'F', 'F'};
    uint32_t data = uint32_t(samples.size() * 2);
    put32(v, 36 + data);
    for (char c : std::string_view("WAVEfmt ")) v.push_back(uint8_t(c));
    put32(v, 16);
    put32(v, 1 | uint32_t(channels) << 16);
    put32(v, rate);
    put32(v, rate * uint32_t(channels) * 2);
    put32(v, uint32_t(channels) * 2 | 16u << 16);
    for (char c : std::string_view("data")) v.push_back(uint8_t(c));
    put32(v, data);
    size_t at = v.size();
    v.resize(at + data);
    std::memcpy(v.data() + at, samples.data(), data);
    return v;
}

} // namespace

std::vector<uint8_t> testSignalWav(uint32_t rate, int channels, double seconds) {
    size_t frames = size_t(rate * seconds);
    std::vector<int16_t> s(frames * size_t(channels));
    uint32_t noise = 12345;
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / rate;
        double beat = std::fmod(t, 0.5); // a new note every half second
        int note = int(t / 0.5) % 5;
        double f = 110.0 * std::pow(2.0, note * 3 / 12.0);
        double pluck =
            std::exp(-6 * beat) * (std::sin(2 * pi * f * t) + 0.4 * std::sin(6 * pi * f * t));
        double high = 0.05 * std::sin(2 * pi * 0.21 * rate * t);
        noise = noise * 1103515245u + 12345u;
        double burst = beat < 0.015 ? (double(noise >> 8 & 0xFFFF) / 32768.0 - 1.0) * 0.6 : 0.0;
        for (int ch = 0; ch < channels; ++ch) {
            double pan = ch == 0 ? 1.0 : 0.6;
            double v = 0.35 * pluck * pan + high * (ch ? -1 : 1) + burst;
            s[i * size_t(channels) + size_t(ch)] =
                int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32000));
        }
    }
    return wav(rate, channels, s);
}

std::vector<uint8_t> sineWav(uint32_t rate, int channels, double seconds, double hz,
                             double amplitude) {
    size_t frames = size_t(rate * seconds);
    std::vector<int16_t> s(frames * size_t(channels));
    for (size_t i = 0; i < frames; ++i) {
        double v = amplitude * std::sin(2 * pi * hz * double(i) / rate);
        for (int ch = 0; ch < channels; ++ch)
            s[i * size_t(channels) + size_t(ch)] =
                int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
    }
    return wav(rate, channels, s);
}

} // namespace kalvo::test
