#include "tolvern/xm_module.h"

#include "tolvern/byte_writer.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace tolvern {

namespace {

enum class Wave { sine, noise, sawtooth, square };

enum : uint8_t { kForwardLoop = 1, kPingPongLoop = 2, k16Bit = 0x10 };

struct InstrumentSpec {
    const char* name;
    uint32_t length; // bytes
    uint32_t loopStart;
    uint32_t loopLength;
    uint8_t volume;
    int8_t finetune;
    uint8_t type;
    int8_t relativeNote;
    Wave wave;
};

// The loops hold one cycle each (80, 96 and 64 samples), so that note 37 of the
// tone instruments sounds close to the chip's C of period 478.
const InstrumentSpec kInstruments[] = {
    {"Converted by VANTO", 136, 56, 80, 44, 0, kForwardLoop, 28, Wave::sine},
    {"by Melchorbrand", 136, 48, 83, 44, 82, kForwardLoop, 28, Wave::sine},
    {"of Corvel ...", 4560, 56, 4466, 64, -28, kPingPongLoop | k16Bit, -21, Wave::noise},
    {"", 147, 0, 96, 64, 19, kForwardLoop, 31, Wave::sawtooth},
    {"", 64, 0, 64, 44, 24, kForwardLoop, 24, Wave::square},
    {"", 136, 56, 80, 44, 0, kForwardLoop, 16, Wave::sine},
};

constexpr uint32_t kInstrumentHeaderSize = 263;
constexpr uint32_t kEmptyInstrumentSize = 33;
constexpr uint32_t kSampleHeaderSize = 40;
constexpr int kEmptyInstruments = 2;

// Sample values before delta coding: 8-bit in -128..127, or 16-bit.
std::vector<int> waveform(const InstrumentSpec& s) {
    const bool wide = s.type & k16Bit;
    const size_t count = wide ? s.length / 2 : s.length;
    std::vector<int> v(count);
    uint32_t noise = 0x1u;
    for (size_t i = 0; i < count; ++i) {
        switch (s.wave) {
        case Wave::sine:
            v[i] = int(std::lround(127.0 * std::sin(2.0 * std::numbers::pi * double(i) / 80.0)));
            break;
        case Wave::noise:
            // A 17-bit shift register like the chip's noise generator.
            for (int k = 0; k < 16; ++k)
                noise = (noise >> 1) | (((noise ^ (noise >> 3)) & 1) << 16);
            v[i] = int(int16_t(noise & 0xFFFF)) / 2;
            break;
        case Wave::sawtooth:
            v[i] = 127 - int(i % s.loopLength) * 255 / int(s.loopLength - 1);
            break;
        case Wave::square: v[i] = (i % s.loopLength) < s.loopLength / 2 ? 127 : -128; break;
        }
    }
    return v;
}

std::vector<uint8_t> buildInstruments() {
    std::vector<uint8_t> out;
    for (const InstrumentSpec& s : kInstruments) {
        const size_t start = out.size();
        put32(out, kInstrumentHeaderSize);
        putText(out, s.name, 22);
        out.push_back(0); // instrument type
        put16(out, 1);    // one sample, which every note plays
        put32(out, kSampleHeaderSize);
        out.resize(start + kInstrumentHeaderSize, 0); // key map and envelopes off
        put32(out, s.length);
        put32(out, s.loopStart);
        put32(out, s.loopLength);
        out.push_back(s.volume);
        out.push_back(uint8_t(s.finetune));
        out.push_back(s.type);
        out.push_back(128); // panning
        out.push_back(uint8_t(s.relativeNote));
        out.push_back(0);
        putText(out, "", 22);
        int previous = 0;
        for (int value : waveform(s)) {
            const int delta = value - previous;
            previous = value;
            if (s.type & k16Bit)
                put16(out, unsigned(delta) & 0xFFFF);
            else
                out.push_back(uint8_t(delta));
        }
    }
    for (int i = 0; i < kEmptyInstruments; ++i) {
        put32(out, kEmptyInstrumentSize);
        out.resize(out.size() + kEmptyInstrumentSize - 4, 0);
    }
    return out;
}

} // namespace

const std::vector<uint8_t>& Instruments() {
    static const std::vector<uint8_t> block = buildInstruments();
    return block;
}

} // namespace tolvern
