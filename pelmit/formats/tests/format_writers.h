// Small writers of SoundFX and SoundMon files for the tests, the fuzz seeds and
// the fixtures that the Windows integration tests play.
#pragma once

#include "tests/test_files.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelmit::test {

using jk::test::writeFile;

using Bytes = std::vector<uint8_t>;

// --- SoundFX 1.3 -------------------------------------------------------------

struct SfxSampleSpec {
    std::string name;
    std::vector<int8_t> data;
    uint16_t volume = 64;
    uint16_t loopStart = 0;              // bytes
    uint16_t loopLengthWords = 1;        // 1: no loop
    std::optional<uint32_t> headerSize;  // the size in the header; default data.size()
    std::optional<uint16_t> lengthWords; // the record's length; default data.size() / 2
};

struct SfxCellSpec {
    uint16_t period = 0;
    uint8_t sample = 0, effect = 0, parameter = 0;
};

using SfxPatternSpec = std::array<std::array<SfxCellSpec, 4>, 64>;

struct SfxSong {
    uint16_t timer = 14187;
    std::vector<SfxSampleSpec> samples; // up to 15
    uint8_t length = 1;
    std::vector<uint8_t> orders{0};
    std::vector<SfxPatternSpec> patterns{SfxPatternSpec{}};
};

Bytes soundFxBytes(const SfxSong& song);

// --- SoundMon 2.0 ("V.2") and 2.2 ("V.3") ------------------------------------------

struct BpSynthSpec {
    uint8_t waveTable = 0;
    uint16_t waveLengthWords = 16;
    uint8_t adsrControl = 0, adsrTable = 0;
    uint16_t adsrLength = 0;
    uint8_t adsrSpeed = 0;
    uint8_t lfoControl = 0, lfoTable = 0, lfoDepth = 0;
    uint16_t lfoLength = 0, lfoDelay = 0;
    uint8_t lfoSpeed = 0;
    uint8_t egControl = 0, egTable = 0;
    uint16_t egLength = 0, egDelay = 0;
    uint8_t egSpeed = 0, egOffset = 0; // egOffset: 2.0 only
    // 2.2 only.
    uint8_t fxControl = 0, fxSpeed = 0, fxDelay = 0;
    uint8_t modControl = 0, modTable = 0, modSpeed = 0, modDelay = 0;
    uint16_t modLength = 0;
    uint8_t volume = 64;
};

struct BpSampleSpec {
    std::string name;
    std::vector<int8_t> data;
    uint16_t volume = 64;
    uint16_t loopStart = 0;              // bytes
    uint16_t loopLengthWords = 0;        // 0 or 1: no loop
    std::optional<uint16_t> lengthWords; // default data.size() / 2
};

struct BpInstrumentSpec {
    enum Kind { empty, sample, synth } kind = empty;
    BpSampleSpec sampleSpec;
    BpSynthSpec synthSpec;
};

struct BpRowSpec {
    int8_t note = 0;
    uint8_t instrument = 0, effect = 0, parameter = 0;
};

using BpPatternSpec = std::array<BpRowSpec, 16>;

struct BpStepSpec {
    uint16_t pattern = 1; // counted from 1
    int8_t soundTranspose = 0, noteTranspose = 0;
};

struct BpSong {
    std::string title = "test tune";
    char version = '3';
    std::optional<uint8_t> tableCount;            // default tables.size()
    std::vector<std::array<BpStepSpec, 4>> steps; // one entry per channel
    std::vector<BpPatternSpec> patterns;
    std::vector<std::array<int8_t, 64>> tables;
    std::array<BpInstrumentSpec, 15> instruments;
};

Bytes soundMonBytes(const BpSong& song);

// A synth table whose byte k is byte(k).
std::array<int8_t, 64> bpTable(const std::function<int(int)>& byte);
BpInstrumentSpec bpSample(std::vector<int8_t> data, uint16_t volume = 64, uint16_t loopStart = 0,
                          uint16_t loopLengthWords = 0);
BpInstrumentSpec bpSynth(const BpSynthSpec& spec);

} // namespace pelmit::test
