// Future Composer replay cost on a busy tune (four voices with a note on every
// row, looping frequency sequences, volume slides, vibrato and portamento):
// a minute of ticks as the decode thread pulls them (44.1 kHz, 576-frame
// reads), and loading the tune with its length measurement.
#include "pelmit/formats/future_composer_player.h"
#include "pelmit/formats/tests/fc_file.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"
#include "tests/test_files.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace pelmit;
using namespace pelmit::test;

namespace {

constexpr int rate = 44100;

std::vector<uint8_t> busyTune() {
    FcFile f;
    for (uint8_t s = 0; s < 16; ++s)
        f.addStep({uint8_t(s % 4), uint8_t(s % 3), 0, uint8_t((s + 1) % 4), 0, 1,
                   uint8_t((s + 2) % 4), 12, 2, uint8_t((s + 3) % 4), 0, 3},
                  s == 0 ? 3 : 0);
    for (int p = 0; p < 4; ++p)
        for (int row = 0; row < 32; ++row)
            f.setRow(p, row, uint8_t(24 + (row * 5 + p) % 24),
                     uint8_t((row % 4) | (row % 8 == 0 ? 0x80 : 0)));
    for (int k = 0; k < 4; ++k) {
        FcFile::setSequence(
            f.volumeSequences, k,
            {1, uint8_t(k), 2, 3, 2, 0x40, 0x38, 0x30, 0xE8, 4, 0xEA, 0xFF, 16, 0xE1});
        FcFile::setSequence(f.frequencySequences, k,
                            {0xE2, uint8_t(10 + 8 * k), 0, 3, 7, 12, 0xE0, 2});
    }
    f.samples[0].bytes.assign(2048, 0x30);
    f.samples[0].loopWords = 512;
    return f.bytes();
}

struct LoadedTune {
    jk::test::ByteStream stream{busyTune()};
    FutureComposerPlayer player;

    LoadedTune() {
        settings.SampleRate = rate;
        mixer.connect();
    }
    ~LoadedTune() {
        player.stopSong();
        player.releaseSong();
        mixer.disconnect();
    }
    bool load() { return player.loadSong(stream, "busy.fc") == 1; }
};

void playMinute(benchmark::State& state) {
    LoadedTune tune;
    if (!tune.load()) {
        state.SkipWithError("the tune did not load");
        return;
    }
    int16_t block[576 * 2];
    for (auto _ : state) {
        tune.player.stopSong();
        tune.player.startSong();
        for (int frames = 0; frames < 60 * rate; frames += 576) {
            while (!mixer.readBlock(block, 576)) {
                if (tune.player.songFinished()) {
                    tune.player.stopSong();
                    tune.player.startSong();
                }
                audioEngine.runTick();
            }
        }
        benchmark::DoNotOptimize(block);
    }
    state.counters["x realtime"] =
        benchmark::Counter(60.0 * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["ticks/s"] =
        benchmark::Counter(3000.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(playMinute)->Unit(benchmark::kMillisecond);

void loadAndMeasure(benchmark::State& state) {
    LoadedTune tune;
    for (auto _ : state) {
        if (!tune.load()) state.SkipWithError("the tune did not load");
        tune.player.releaseSong();
    }
    tune.load();
    state.counters["song ms"] = tune.player.songLengthMs();
}
BENCHMARK(loadAndMeasure)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
