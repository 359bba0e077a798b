#include "fc_file.h"

#include <algorithm>

namespace pelmit::test {

void putBe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    putBe16(b, at, uint16_t(v >> 16));
    putBe16(b, at + 2, uint16_t(v));
}

void putBe16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    if (b.size() < at + 2) b.resize(at + 2);
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}

void FcFile::addStep(const std::array<uint8_t, 12>& voices, uint8_t speed) {
    sequence.insert(sequence.end(), voices.begin(), voices.end());
    sequence.push_back(speed);
}

void FcFile::setRow(int pattern, int row, uint8_t note, uint8_t info) {
    const size_t at = size_t(pattern) * 64 + size_t(row) * 2;
    if (patterns.size() < size_t(pattern + 1) * 64) patterns.resize(size_t(pattern + 1) * 64);
    patterns[at] = note;
    patterns[at + 1] = info;
}

void FcFile::setSequence(std::vector<uint8_t>& area, int number,
                         const std::vector<uint8_t>& bytes) {
    if (area.size() < size_t(number + 1) * 64) area.resize(size_t(number + 1) * 64, 0xE1);
    std::copy(bytes.begin(), bytes.end(), area.begin() + number * 64);
}

std::vector<uint8_t> FcFile::bytes() const {
    std::vector<uint8_t> b(fc14 ? 180 : 100);
    std::copy_n(fc14 ? "FC14" : "SMOD", 4, b.begin());
    auto append = [&](const std::vector<uint8_t>& section, size_t lengthAt) {
        if (lengthAt) {
            putBe32(b, lengthAt - 4, uint32_t(b.size()));
            putBe32(b, lengthAt, uint32_t(section.size()));
        }
        b.insert(b.end(), section.begin(), section.end());
    };
    putBe32(b, fcSequenceLengthAt, uint32_t(sequence.size()));
    append(sequence, 0);
    append(patterns, fcPatternLengthAt);
    append(frequencySequences, 20);
    append(volumeSequences, fcVolumeLengthAt);
    putBe32(b, fcSampleOffsetAt, uint32_t(b.size()));
    for (int k = 0; k < 10; ++k) {
        const FcSampleData& s = samples[k];
        putBe16(b, fcSampleTableAt + 6 * k, uint16_t(s.bytes.size() / 2));
        putBe16(b, fcSampleTableAt + 6 * k + 2, s.loopStart);
        putBe16(b, fcSampleTableAt + 6 * k + 4, s.loopWords);
        b.insert(b.end(), s.bytes.begin(), s.bytes.end());
        b.insert(b.end(), 2, 0);
    }
    if (fc14) {
        putBe32(b, 36, uint32_t(b.size()));
        for (int i = 0; i < 80; ++i) {
            b[100 + i] = uint8_t(waves[i].size() / 2);
            b.insert(b.end(), waves[i].begin(), waves[i].end());
        }
    }
    return b;
}

std::vector<uint8_t> samplePack(const std::vector<FcPackEntryData>& entries,
                                const std::vector<uint8_t>& data) {
    std::vector<uint8_t> b(324);
    std::copy_n("SSMP", 4, b.begin());
    for (size_t j = 0; j < entries.size(); ++j) {
        const size_t at = 4 + 16 * j;
        putBe32(b, at, entries[j].offset);
        putBe16(b, at + 4, entries[j].words);
        putBe16(b, at + 6, entries[j].loopStart);
        putBe16(b, at + 8, entries[j].loopWords);
    }
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

} // namespace pelmit::test
