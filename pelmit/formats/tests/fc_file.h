// Future Composer files written by tests: the sections laid out one after
// another behind the header, with the header's offsets and lengths filled in.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelmit::test {

struct FcSampleData {
    std::vector<uint8_t> bytes; // even length
    uint16_t loopStart = 0;     // bytes
    uint16_t loopWords = 1;     // 1: no loop
};

struct FcFile {
    bool fc14 = false;
    std::vector<uint8_t> sequence;                            // 13 bytes per step
    std::vector<uint8_t> patterns;                            // 64 bytes per pattern
    std::vector<uint8_t> frequencySequences, volumeSequences; // 64 bytes each
    FcSampleData samples[10];
    std::vector<uint8_t> waves[80]; // "FC14" only; even lengths

    // Appends a step: pattern, transpose and sound transpose of voices 0-3, and
    // the speed byte.
    void addStep(const std::array<uint8_t, 12>& voices, uint8_t speed = 0);
    // Sets a row of a pattern; the pattern data grows to hold it.
    void setRow(int pattern, int row, uint8_t note, uint8_t info);
    // Sets sequence `number` of an area to the bytes, the rest of its 64 bytes E1.
    static void setSequence(std::vector<uint8_t>& area, int number,
                            const std::vector<uint8_t>& bytes);

    std::vector<uint8_t> bytes() const;
};

// Header field offsets, for tests that break a field.
constexpr size_t fcSequenceLengthAt = 4, fcPatternOffsetAt = 8, fcPatternLengthAt = 12;
constexpr size_t fcVolumeLengthAt = 28, fcSampleOffsetAt = 32, fcSampleTableAt = 40;

void putBe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);
void putBe16(std::vector<uint8_t>& bytes, size_t at, uint16_t value);

// A sample pack: "SSMP", 20 entry records {offset from byte 324, length in
// words, loop start in bytes, loop length in words}, then the data.
struct FcPackEntryData {
    uint32_t offset;
    uint16_t words, loopStart, loopWords;
};
std::vector<uint8_t> samplePack(const std::vector<FcPackEntryData>& entries,
                                const std::vector<uint8_t>& data);

} // namespace pelmit::test
