// Emulated playback through the player: one second of a typical replay
// routine (the emulated Amiga's benchmark tune in a Delta Music 2.0 file) as
// the decode thread pulls it (44.1 kHz, 576-frame reads), with its real-time
// factor; and loading a file (detection, boot, placing the tune).
#include "pelmit/formats/emulated_player.h"
#include "pelmit/formats/tests/emulated_fixtures.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"
#include "tests/test_files.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace pelmit;

namespace {

constexpr int rate = 44100;

struct BenchTune {
    std::string path;
    EmulatedPlayer player;

    BenchTune() {
        settings.SampleRate = rate;
        mixer.connect();
        path = jk::test::tempPath("bench.dm2");
        jk::test::writeFile(path, test::emulatedFile("bench_dm2"));
    }
    ~BenchTune() {
        player.stopSong();
        player.releaseSong();
        std::remove(path.c_str());
        mixer.disconnect();
    }
};

void playSecond(benchmark::State& state) {
    BenchTune tune;
    if (!tune.player.loadSong(tune.path.c_str())) {
        state.SkipWithError("the tune did not load");
        return;
    }
    tune.player.startSong();
    int16_t block[576 * 2];
    for (auto _ : state) {
        for (int frames = 0; frames < rate; frames += 576) {
            while (!mixer.readBlock(block, 576)) {
                // Ten minutes are soon played at this speed: start again.
                if (tune.player.songFinished()) {
                    tune.player.stopSong();
                    tune.player.startSong();
                }
                audioEngine.runTick();
            }
            benchmark::DoNotOptimize(block);
        }
    }
    // Seconds of music per second of the host's time.
    state.counters["realTimeFactor"] =
        benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(playSecond)->Unit(benchmark::kMillisecond);

void loadTune(benchmark::State& state) {
    BenchTune tune;
    for (auto _ : state) {
        if (!tune.player.loadSong(tune.path.c_str())) state.SkipWithError("not loaded");
        tune.player.releaseSong();
    }
}
BENCHMARK(loadTune)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
