#include "format_writers.h"

#include <algorithm>
#include <cstdio>

namespace pelmit::test {

namespace {

void be16(Bytes& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void be32(Bytes& out, uint32_t v) {
    be16(out, v >> 16);
    be16(out, v);
}

void text(Bytes& out, const std::string& s, size_t width) {
    for (size_t i = 0; i < width; ++i) out.push_back(i < s.size() ? uint8_t(s[i]) : 0);
}

void data(Bytes& out, const std::vector<int8_t>& bytes) {
    for (int8_t b : bytes) out.push_back(uint8_t(b));
}

} // namespace

Bytes soundFxBytes(const SfxSong& song) {
    Bytes out;
    for (size_t i = 0; i < 15; ++i) {
        const SfxSampleSpec* s = i < song.samples.size() ? &song.samples[i] : nullptr;
        be32(out, s ? s->headerSize.value_or(uint32_t(s->data.size())) : 0);
    }
    text(out, "SONG", 4);
    be16(out, song.timer);
    text(out, "", 14);
    for (size_t i = 0; i < 15; ++i) {
        SfxSampleSpec none;
        const SfxSampleSpec& s = i < song.samples.size() ? song.samples[i] : none;
        text(out, s.name, 22);
        be16(out, s.lengthWords.value_or(uint16_t(s.data.size() / 2)));
        be16(out, s.volume);
        be16(out, s.loopStart);
        be16(out, s.loopLengthWords);
    }
    out.push_back(song.length);
    out.push_back(0);
    for (size_t i = 0; i < 128; ++i) out.push_back(i < song.orders.size() ? song.orders[i] : 0);
    for (const SfxPatternSpec& p : song.patterns)
        for (const auto& row : p)
            for (const SfxCellSpec& c : row) {
                be16(out, c.period);
                out.push_back(uint8_t(c.sample << 4 | (c.effect & 15)));
                out.push_back(c.parameter);
            }
    for (const SfxSampleSpec& s : song.samples) data(out, s.data);
    return out;
}

std::array<int8_t, 64> bpTable(const std::function<int(int)>& byte) {
    std::array<int8_t, 64> t{};
    for (int k = 0; k < 64; ++k) t[size_t(k)] = int8_t(byte(k));
    return t;
}

BpInstrumentSpec bpSample(std::vector<int8_t> bytes, uint16_t volume, uint16_t loopStart,
                          uint16_t loopLengthWords) {
    BpInstrumentSpec in;
    in.kind = BpInstrumentSpec::sample;
    in.sampleSpec.name = "sample";
    in.sampleSpec.data = std::move(bytes);
    in.sampleSpec.volume = volume;
    in.sampleSpec.loopStart = loopStart;
    in.sampleSpec.loopLengthWords = loopLengthWords;
    return in;
}

BpInstrumentSpec bpSynth(const BpSynthSpec& spec) {
    BpInstrumentSpec in;
    in.kind = BpInstrumentSpec::synth;
    in.synthSpec = spec;
    return in;
}

Bytes soundMonBytes(const BpSong& song) {
    Bytes out;
    text(out, song.title, 26);
    text(out, "V.", 2);
    out.push_back(uint8_t(song.version));
    out.push_back(song.tableCount.value_or(uint8_t(song.tables.size())));
    be16(out, uint32_t(song.steps.size()));
    const bool v20 = song.version == '2';
    for (const BpInstrumentSpec& in : song.instruments) {
        if (in.kind == BpInstrumentSpec::synth) {
            const BpSynthSpec& s = in.synthSpec;
            out.push_back(0xFF);
            out.push_back(s.waveTable);
            be16(out, s.waveLengthWords);
            out.push_back(s.adsrControl);
            out.push_back(s.adsrTable);
            be16(out, s.adsrLength);
            out.push_back(s.adsrSpeed);
            out.push_back(s.lfoControl);
            out.push_back(s.lfoTable);
            out.push_back(s.lfoDepth);
            be16(out, s.lfoLength);
            if (v20) {
                be16(out, s.lfoDelay);
                out.push_back(s.lfoSpeed);
                out.push_back(s.egControl);
                out.push_back(s.egTable);
                out.push_back(s.egOffset);
                be16(out, s.egLength);
                be16(out, s.egDelay);
                out.push_back(s.egSpeed);
                out.push_back(s.volume);
                text(out, "", 6);
            } else {
                out.push_back(uint8_t(s.lfoDelay));
                out.push_back(s.lfoSpeed);
                out.push_back(s.egControl);
                out.push_back(s.egTable);
                be16(out, s.egLength);
                out.push_back(uint8_t(s.egDelay));
                out.push_back(s.egSpeed);
                out.push_back(s.fxControl);
                out.push_back(s.fxSpeed);
                out.push_back(s.fxDelay);
                out.push_back(s.modControl);
                out.push_back(s.modTable);
                out.push_back(s.modSpeed);
                out.push_back(s.modDelay);
                out.push_back(s.volume);
                be16(out, s.modLength);
            }
        } else {
            const BpSampleSpec& s = in.sampleSpec;
            const bool has = in.kind == BpInstrumentSpec::sample;
            text(out, s.name, 24);
            be16(out, has ? s.lengthWords.value_or(uint16_t(s.data.size() / 2)) : 0);
            be16(out, s.loopStart);
            be16(out, s.loopLengthWords);
            be16(out, s.volume);
        }
    }
    for (const auto& step : song.steps)
        for (const BpStepSpec& e : step) {
            be16(out, e.pattern);
            out.push_back(uint8_t(e.soundTranspose));
            out.push_back(uint8_t(e.noteTranspose));
        }
    for (const BpPatternSpec& p : song.patterns)
        for (const BpRowSpec& r : p) {
            out.push_back(uint8_t(r.note));
            out.push_back(uint8_t(r.instrument << 4 | (r.effect & 15)));
            out.push_back(r.parameter);
        }
    for (const auto& t : song.tables)
        for (int8_t b : t) out.push_back(uint8_t(b));
    for (const BpInstrumentSpec& in : song.instruments)
        if (in.kind == BpInstrumentSpec::sample) data(out, in.sampleSpec.data);
    return out;
}

} // namespace pelmit::test
