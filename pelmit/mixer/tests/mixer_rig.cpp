#include "pelmit/mixer/tests/mixer_rig.h"
#include "tests/test_files.h"

#include <cstdio>
#include <cstdlib>
#include <random>

namespace pelmit::test {

MixerRig::MixerRig(const RigOptions& o) : stereo(o.stereo) {
    m->openDevice();
    m->set16Bit();
    m->setSigned();
    if (o.stereo) m->setStereo();
    m->setDeviceRate(o.rate);
    m->setBlockSize(o.blockSize);
    if (o.boost) m->boostOn();
    uint32_t inUse[mixerVoiceCount] = {};
    for (uint32_t i = 0; i < o.voices; ++i) {
        inUse[i] = 1;
        voiceList[i] = i;
    }
    set.voices = voiceList;
    set.count = o.voices;
    m->updateVoiceUsage(inUse);
    m->setSeparation(o.separation);
    m->resetVoices(&set);
}

void MixerRig::load(uint8_t slot, const std::vector<int8_t>& bytes, uint32_t loopStart,
                    uint32_t loopEnd, uint8_t flags) {
    SampleDescriptor d = {};
    d.data = bytes.data();
    d.size = static_cast<uint32_t>(bytes.size());
    d.loopStart = loopStart;
    d.loopEnd = loopEnd;
    d.baseRate = 8363;
    d.slot = slot;
    d.flags = flags;
    m->uploadSample(slot, &d);
}

VoiceCommand trigger(uint8_t slot, uint32_t period, uint32_t offset) {
    VoiceCommand c = {};
    c.flags = cmdTrigger | cmdPeriod | cmdVolume;
    c.slot = slot;
    c.volume = 255;
    c.period = period << 16;
    c.offset = offset;
    return c;
}

void MixerRig::play(uint32_t voice, uint8_t slot, uint32_t period, uint32_t offset) {
    command(voice, trigger(slot, period, offset));
}

std::vector<int16_t> MixerRig::read(uint32_t frames) {
    const uint32_t channels = stereo ? 2 : 1;
    std::vector<int16_t> pcm(size_t(frames) * channels);
    for (uint32_t done = 0; done < frames;) {
        const uint32_t chunk = std::min<uint32_t>(576, frames - done);
        while (!m->readBlock(pcm.data() + size_t(done) * channels, chunk)) {
            const uint32_t before = m->frameCount();
            tick();
            if (m->frameCount() == before) std::abort(); // no block size: would never fill
        }
        done += chunk;
    }
    return pcm;
}

double zeroCrossingFrequency(const std::vector<int16_t>& pcm, uint32_t rate, uint32_t stride,
                             uint32_t channel) {
    double first = -1, last = -1;
    uint32_t crossings = 0;
    const size_t frames = pcm.size() / stride;
    for (size_t i = 1; i < frames; ++i) {
        const double a = pcm[(i - 1) * stride + channel];
        const double b = pcm[i * stride + channel];
        if (a < 0 && b >= 0) {
            const double at = double(i - 1) + (-a) / (b - a);
            if (crossings == 0) first = at;
            last = at;
            ++crossings;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) / ((last - first) / rate);
}

std::vector<int8_t> squareWave(uint32_t length, int8_t high) {
    std::vector<int8_t> s(length);
    for (uint32_t i = 0; i < length; ++i) s[i] = i < length / 2 ? high : int8_t(-high);
    return s;
}

std::vector<int8_t> whiteNoise(uint32_t length, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<int8_t> s(length);
    for (auto& b : s) b = static_cast<int8_t>(random() & 0xFF);
    return s;
}

void writeWav(const std::string& path, const std::vector<int16_t>& pcm, uint32_t rate,
              uint32_t channels) {
    std::vector<uint8_t> b;
    const auto le = [&b](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b.push_back(uint8_t(v >> (8 * i)));
    };
    const auto tag = [&b](const char* t) { b.insert(b.end(), t, t + 4); };
    const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    tag("RIFF");
    le(36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    le(16, 4);
    le(1, 2);
    le(channels, 2);
    le(rate, 4);
    le(rate * channels * 2, 4);
    le(channels * 2, 2);
    le(16, 2);
    tag("data");
    le(dataBytes, 4);
    for (int16_t s : pcm) le(static_cast<uint16_t>(s), 2);
    jk::test::writeFile(path, b);
}

} // namespace pelmit::test
