// Rendering speed: 60 s of 44.1 kHz stereo output through the whole path the
// decode thread drives (ticks of 882 frames, 576-frame reads, 16-bit stereo),
// with 4 or 32 voices, plain or interpolated.
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

using namespace pelmit;

namespace {

constexpr uint32_t rate = 44100;
constexpr uint32_t seconds = 60;
constexpr uint64_t frames = uint64_t(seconds) * rate;

void report(benchmark::State& state, uint32_t voices) {
    const double total = double(frames) * double(state.iterations());
    state.counters["frames/s"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
    state.counters["voice-frames/s"] =
        benchmark::Counter(total * voices, benchmark::Counter::kIsRate);
    state.counters["x realtime"] = benchmark::Counter(total / rate, benchmark::Counter::kIsRate);
}

void renderMinute(benchmark::State& state) {
    const uint32_t voiceCount = static_cast<uint32_t>(state.range(0));
    settings.Interpolation = static_cast<int32_t>(state.range(1));
    const bool led = state.range(2) != 0;

    auto mixer = std::make_unique<Mixer>();
    mixer->openDevice();
    mixer->setStereo();
    mixer->set16Bit();
    mixer->setSigned();
    mixer->setLedFilter(led);
    mixer->setDeviceRate(rate);
    mixer->setBlockSize(rate / 50);
    mixer->boostOn();
    std::vector<uint32_t> list(voiceCount);
    uint32_t inUse[mixerVoiceCount] = {};
    for (uint32_t v = 0; v < voiceCount; ++v) inUse[list[v] = v] = 1;
    VoiceSet set = {list.data(), voiceCount, 0, 0};
    mixer->updateVoiceUsage(inUse);
    mixer->setSeparation(64);
    mixer->resetVoices(&set);

    // Looped noise samples of tracker sizes at tracker pitches (C-1 to B-3).
    std::mt19937 random(7);
    std::vector<std::vector<int8_t>> samples(8);
    for (uint32_t s = 0; s < samples.size(); ++s) {
        samples[s].resize(4096u << (s % 4));
        for (auto& b : samples[s]) b = static_cast<int8_t>(random());
        const SampleDescriptor d = {samples[s].data(),
                                    uint32_t(samples[s].size()),
                                    0,
                                    uint32_t(samples[s].size()),
                                    8363,
                                    uint8_t(s),
                                    0};
        mixer->uploadSample(s, &d);
    }
    const uint32_t periods[] = {856, 428, 214, 113, 640, 320, 160, 381};
    for (uint32_t v = 0; v < voiceCount; ++v) {
        VoiceCommand c = {};
        c.flags = cmdTrigger | cmdPeriod | cmdVolume;
        c.slot = uint8_t(v % samples.size());
        c.volume = 255;
        c.period = periods[v % 8] << 16;
        mixer->voiceCommand(&c, v);
    }

    std::vector<int16_t> block(2 * 576);
    uint64_t loudness = 0;
    for (auto _ : state) {
        for (uint64_t done = 0; done < frames; done += 576) {
            while (!mixer->readBlock(block.data(), 576)) mixer->render(&set);
            loudness += std::abs(block[0]);
        }
    }
    settings.Interpolation = 0;
    if (loudness == 0) state.SkipWithError("the voices were silent");
    report(state, voiceCount);
}

} // namespace

BENCHMARK(renderMinute)
    ->ArgNames({"voices", "interpolated", "led"})
    ->ArgsProduct({{4, 32}, {0, 1}, {0}})
    ->Args({4, 1, 1})
    ->Unit(benchmark::kMillisecond);

#ifdef JK_PEER_MODULE
#include <xmp.h>

namespace {

// The peer: libxmp rendering a real 4-channel MOD for 60 s at the same rate in
// the same 576-frame blocks (its replayer included, which ours is not).
void peerLibxmpMinute(benchmark::State& state) {
    xmp_context context = xmp_create_context();
    if (xmp_load_module(context, const_cast<char*>(JK_PEER_MODULE)) != 0) {
        state.SkipWithError("no test module (run ./run test once to fetch the test data)");
        xmp_free_context(context);
        return;
    }
    std::vector<int16_t> block(2 * 576);
    for (auto _ : state) {
        xmp_start_player(context, rate, 0);
        xmp_set_player(context, XMP_PLAYER_INTERP, static_cast<int>(state.range(0)));
        for (uint64_t done = 0; done < frames; done += 576) {
            xmp_play_buffer(context, block.data(), int(block.size() * 2), 0);
        }
        xmp_end_player(context);
    }
    xmp_release_module(context);
    xmp_free_context(context);
    report(state, 4);
}

} // namespace

BENCHMARK(peerLibxmpMinute)
    ->ArgName("interpolation")
    ->Arg(XMP_INTERP_NEAREST)
    ->Arg(XMP_INTERP_LINEAR)
    ->Arg(XMP_INTERP_SPLINE)
    ->Unit(benchmark::kMillisecond);
#endif

BENCHMARK_MAIN();
