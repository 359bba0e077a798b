#include "pelmit/formats/tests/mod_writer.h"

#include "pelmit/formats/mod_tables.h"
#include "tests/test_files.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelmit::test {

namespace {

void put16(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(uint8_t(value >> 8));
    out.push_back(uint8_t(value));
}

void putText(std::vector<uint8_t>& out, const std::string& text, size_t size) {
    for (size_t i = 0; i < size; ++i) out.push_back(i < text.size() ? uint8_t(text[i]) : 0);
}

} // namespace

ModWriter::ModWriter(int channels, std::string tag) : channelCount(channels), tag(std::move(tag)) {}

WriterCell& ModWriter::cell(int pattern, int row, int channel) {
    if (int(patterns.size()) <= pattern) patterns.resize(size_t(pattern) + 1);
    auto& p = patterns[size_t(pattern)];
    if (p.empty()) p.resize(size_t(64 * channelCount));
    return p[size_t(row * channelCount + channel)];
}

void ModWriter::note(int pattern, int row, int channel, uint16_t period, uint8_t sample,
                     uint8_t effect, uint8_t parameter) {
    cell(pattern, row, channel) = {period, sample, effect, parameter};
}

std::vector<uint8_t> ModWriter::bytes() const {
    std::vector<uint8_t> out;
    putText(out, title, 20);
    const size_t records = tag.empty() ? 15 : 31;
    for (size_t i = 0; i < records; ++i) {
        const WriterSample s = i < samples.size() ? samples[i] : WriterSample{};
        putText(out, s.name, 22);
        put16(out, s.lengthWords >= 0 ? unsigned(s.lengthWords) : unsigned(s.data.size() / 2));
        out.push_back(s.finetune);
        out.push_back(s.volume);
        put16(out, s.loopStart);
        put16(out, s.loopLength);
    }
    out.push_back(uint8_t(songLengthOverride >= 0 ? songLengthOverride : int(order.size())));
    out.push_back(restart);
    std::vector<uint8_t> entries = order;
    entries.insert(entries.end(), unusedOrder.begin(), unusedOrder.end());
    entries.resize(128, 0);
    out.insert(out.end(), entries.begin(), entries.end());
    if (!tag.empty()) putText(out, tag, 4);

    const int highest = *std::max_element(entries.begin(), entries.end());
    for (int p = 0; p <= highest; ++p) {
        for (int i = 0; i < 64 * channelCount; ++i) {
            WriterCell c;
            if (size_t(p) < patterns.size() && !patterns[size_t(p)].empty())
                c = patterns[size_t(p)][size_t(i)];
            out.push_back(uint8_t((c.sample & 0xF0) | ((c.period >> 8) & 0x0F)));
            out.push_back(uint8_t(c.period));
            out.push_back(uint8_t((c.sample & 0x0F) << 4 | (c.effect & 0x0F)));
            out.push_back(c.parameter);
        }
    }
    for (size_t i = 0; i < records && i < samples.size(); ++i)
        for (int8_t b : samples[i].data) out.push_back(uint8_t(b));
    return out;
}

void ModWriter::save(const std::string& path) const {
    jk::test::writeFile(path, bytes());
}

uint16_t periodOf(int note) {
    return modPeriodTable[size_t(std::clamp(note, 0, modNoteCount - 1))];
}

std::vector<int8_t> waveCycle(int length, int shape, int amplitude) {
    std::vector<int8_t> w(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        double v = 0;
        const double phase = double(i) / length;
        if (shape == 0) v = std::sin(2 * std::numbers::pi * phase);
        if (shape == 1) v = phase < 0.5 ? 1 : -1;
        if (shape == 2) v = 2 * phase - 1;
        w[size_t(i)] = int8_t(std::lround(v * amplitude));
    }
    return w;
}

} // namespace pelmit::test
