// Speed of the SoundFX and SoundMon players: a whole song rendered the way the
// decode thread renders it (576-frame reads, a tick whenever the Mixer runs
// short), loading with the length measurement, and for SoundFX the same song
// in libxmp and libopenmpt at 44.1 kHz without interpolation.
#include "pelmit/formats/soundfx_player.h"
#include "pelmit/formats/soundmon_player.h"
#include "pelmit/formats/tests/format_writers.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <benchmark/benchmark.h>
#include <libopenmpt/libopenmpt.h>
#include <xmp.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace pelmit;
using namespace pelmit::test;

namespace {

constexpr int rate = 44100;

std::vector<int8_t> wave(size_t length, int seed) {
    std::vector<int8_t> bytes(length);
    for (size_t k = 0; k < length; ++k)
        bytes[k] = int8_t((k * (7 + seed) + (k >> 3) * seed) & 0xFF);
    return bytes;
}

// Eight orders of four busy channels: a note every second row, arpeggios,
// slides, bends and volume changes, looped samples of tracker sizes.
Bytes busySoundFx() {
    SfxSong song;
    for (int s = 0; s < 4; ++s) {
        SfxSampleSpec spec;
        spec.name = "wave";
        spec.data = wave(4096u << (s % 3), s);
        spec.volume = uint16_t(40 + 8 * s);
        spec.loopLengthWords = uint16_t(spec.data.size() / 2);
        song.samples.push_back(spec);
    }
    song.length = 8;
    song.orders = {0, 1, 2, 3, 0, 1, 2, 3};
    song.patterns.assign(4, SfxPatternSpec{});
    const uint8_t effects[] = {0, 1, 2, 5, 6, 7, 8, 1};
    for (int p = 0; p < 4; ++p)
        for (int r = 0; r < 64; r += 2)
            for (int c = 0; c < 4; ++c) {
                const int note = 12 + (r + 5 * c + 7 * p) % 30;
                song.patterns[size_t(p)][size_t(r)][size_t(c)] = {
                    sfxPeriods[size_t(note)], uint8_t(1 + (r / 2 + c) % 4),
                    effects[(r / 2 + c + p) % 8], uint8_t(0x12 + 0x11 * c)};
            }
    return soundFxBytes(song);
}

// Four steps, all four voices on synth instruments whose ADSR, LFO, EG, FX
// and MOD sequences all run.
Bytes busySoundMon() {
    BpSong song;
    song.version = '3';
    for (int t = 0; t < 4; ++t)
        song.tables.push_back(bpTable([t](int k) { return (k * (3 + t)) % 200 - 100; }));
    for (int i = 0; i < 4; ++i) {
        BpSynthSpec s;
        s.waveTable = uint8_t(i % 3);
        s.waveLengthWords = 16;
        s.adsrControl = 2;
        s.adsrTable = 3;
        s.adsrLength = 64;
        s.adsrSpeed = 1;
        s.lfoControl = 2;
        s.lfoTable = 3;
        s.lfoDepth = 4;
        s.lfoLength = 32;
        s.lfoSpeed = 1;
        s.egControl = 2;
        s.egTable = 2;
        s.egLength = 64;
        s.egSpeed = 1;
        s.fxControl = uint8_t(1 + i);
        s.fxSpeed = 2;
        s.modControl = 2;
        s.modTable = 3;
        s.modSpeed = 1;
        s.modLength = 64;
        song.instruments[size_t(i)] = bpSynth(s);
    }
    for (int k = 0; k < 4; ++k)
        song.steps.push_back(
            {BpStepSpec{1, 0, int8_t(k)}, BpStepSpec{2}, BpStepSpec{3}, BpStepSpec{4}});
    song.patterns.assign(4, BpPatternSpec{});
    for (int p = 0; p < 4; ++p)
        for (int r = 0; r < 16; r += 4)
            song.patterns[size_t(p)][size_t(r)] = {int8_t(1 + (r + 5 * p) % 36), uint8_t(1 + p), 0,
                                                   uint8_t(r ? 0x37 : 0)};
    return soundMonBytes(song);
}

std::string writeTemp(const Bytes& bytes, const char* name) {
    std::string path = jk::test::tempPath(name);
    writeFile(path, bytes);
    return path;
}

void connectMixer() {
    static bool connected = false;
    if (connected) return;
    settings.SampleRate = rate;
    settings.Interpolation = 0;
    connected = mixer.connect() != 0;
    mixer.setSampleRate(rate);
}

void reportFrames(benchmark::State& state, int64_t frames) {
    const double total = double(frames) * double(state.iterations());
    state.counters["x realtime"] = benchmark::Counter(total / rate, benchmark::Counter::kIsRate);
}

template <class Player>
void renderSong(benchmark::State& state, const Bytes& bytes, const char* name) {
    connectMixer();
    const std::string path = writeTemp(bytes, name);
    Player player;
    if (!player.loadSong(path.c_str())) {
        state.SkipWithError("not loaded");
        return;
    }
    int16_t block[576 * 2];
    int64_t frames = 0;
    for (auto _ : state) {
        player.stopSong();
        player.startSong();
        frames = 0;
        while (!player.songFinished()) {
            while (!mixer.readBlock(block, 576) && !player.songFinished()) audioEngine.runTick();
            frames += 576;
        }
        benchmark::DoNotOptimize(block[0]);
    }
    player.stopSong();
    player.releaseSong();
    reportFrames(state, frames);
}

template <class Player>
void loadSong(benchmark::State& state, const Bytes& bytes, const char* name) {
    connectMixer();
    const std::string path = writeTemp(bytes, name);
    int length = 0;
    for (auto _ : state) {
        Player player;
        if (!player.loadSong(path.c_str())) state.SkipWithError("not loaded");
        length = player.songLengthMs();
        player.releaseSong();
    }
    state.counters["song ms"] = length;
}

void pelmitSoundFx(benchmark::State& state) {
    renderSong<SoundFxPlayer>(state, busySoundFx(), "busy.sfx");
}

void pelmitSoundMon(benchmark::State& state) {
    renderSong<SoundMonPlayer>(state, busySoundMon(), "busy.bp3");
}

void pelmitSoundFxLoad(benchmark::State& state) {
    loadSong<SoundFxPlayer>(state, busySoundFx(), "busy.sfx");
}

void pelmitSoundMonLoad(benchmark::State& state) {
    loadSong<SoundMonPlayer>(state, busySoundMon(), "busy.bp3");
}

void libxmpSoundFx(benchmark::State& state) {
    Bytes bytes = busySoundFx();
    xmp_context c = xmp_create_context();
    if (xmp_load_module_from_memory(c, bytes.data(), long(bytes.size())) != 0) {
        state.SkipWithError("libxmp did not load the song");
        xmp_free_context(c);
        return;
    }
    std::vector<int16_t> block(576 * 2);
    int64_t frames = 0;
    for (auto _ : state) {
        xmp_start_player(c, rate, 0);
        xmp_set_player(c, XMP_PLAYER_INTERP, XMP_INTERP_NEAREST);
        frames = 0;
        while (xmp_play_buffer(c, block.data(), int(block.size() * 2), 1) == 0) frames += 576;
        xmp_end_player(c);
    }
    xmp_release_module(c);
    xmp_free_context(c);
    reportFrames(state, frames);
}

void libopenmptSoundFx(benchmark::State& state) {
    Bytes bytes = busySoundFx();
    std::vector<int16_t> block(576 * 2);
    int64_t frames = 0;
    for (auto _ : state) {
        openmpt_module* m =
            openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr,
                                               nullptr, nullptr, nullptr, nullptr, nullptr);
        if (!m) {
            state.SkipWithError("libopenmpt did not load the song");
            return;
        }
        openmpt_module_set_render_param(m, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 1);
        frames = 0;
        size_t got;
        while ((got = openmpt_module_read_interleaved_stereo(m, rate, 576, block.data())) > 0)
            frames += int64_t(got);
        openmpt_module_destroy(m);
    }
    reportFrames(state, frames);
}

} // namespace

BENCHMARK(pelmitSoundFx)->Unit(benchmark::kMillisecond);
BENCHMARK(libxmpSoundFx)->Unit(benchmark::kMillisecond);
BENCHMARK(libopenmptSoundFx)->Unit(benchmark::kMillisecond);
BENCHMARK(pelmitSoundMon)->Unit(benchmark::kMillisecond);
BENCHMARK(pelmitSoundFxLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(pelmitSoundMonLoad)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
