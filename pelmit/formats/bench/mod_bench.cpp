// Playing real MOD modules to PCM the way the plug-in does (load with the
// length measurement, then 576-frame blocks of 44.1 kHz 16-bit stereo until
// the song ends), beside the peers xmp and openmpt123 rendering the same
// modules to /dev/null. pelmit_render, the plug-in's playback shell as a
// program, runs as the peers do, so that the three compare like for like.
// The counter "music s/CPU s" is seconds of music per second of CPU time; the
// programs are timed by their processes' CPU time.
#include "pelmit/formats/mod_player.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace pelmit;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> realModules() {
    std::vector<std::string> found;
    for (const char* package : {"tecnoballz-data", "freedroid-data", "circuslinux-data"}) {
        const fs::path dir = fs::path(JK_TESTDATA_DIR) / package;
        if (!fs::exists(dir)) continue;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (e.path().extension() == ".mod" && e.path().filename() != "area1-game2.mod")
                found.push_back(e.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

const std::vector<std::string>& modules() {
    static const std::vector<std::string> list = realModules();
    return list;
}

// Renders one module to the end; returns its length in seconds.
double renderModule(const std::string& path, std::vector<int16_t>& block, uint64_t& sum) {
    ModPlayer player;
    if (!player.loadSong(path.c_str())) return 0;
    player.startSong();
    mixer.resetOutput();
    while (!player.songFinished()) {
        while (!mixer.readBlock(block.data(), 576) && !player.songFinished()) audioEngine.runTick();
        sum += uint16_t(block[0]);
    }
    const double seconds = player.songLengthMs() / 1000.0;
    player.stopSong();
    player.releaseSong();
    return seconds;
}

void pelmitRender(benchmark::State& state) {
    if (modules().empty()) {
        state.SkipWithError("no test data (tools/fetch-testdata)");
        return;
    }
    settings.SampleRate = 44100;
    settings.Interpolation = int32_t(state.range(0));
    mixer.connect();
    std::vector<int16_t> block(2 * 576);
    uint64_t sum = 0;
    double music = 0;
    for (auto _ : state)
        for (const std::string& m : modules()) music += renderModule(m, block, sum);
    benchmark::DoNotOptimize(sum);
    state.counters["music s/CPU s"] = benchmark::Counter(music, benchmark::Counter::kIsRate);
    state.counters["modules"] = double(modules().size());
    mixer.disconnect();
    settings.Interpolation = 0;
}

// CPU seconds (user and system) of the children that ended so far.
double childCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void peerRender(benchmark::State& state, const char* command) {
    if (modules().empty()) {
        state.SkipWithError("no test data (tools/fetch-testdata)");
        return;
    }
    settings.SampleRate = 44100;
    mixer.connect();
    double music = 0;
    for (const std::string& m : modules()) {
        ModPlayer player;
        if (player.loadSong(m.c_str())) music += player.songLengthMs() / 1000.0;
    }
    mixer.disconnect();
    double total = 0, cpu = 0;
    for (auto _ : state) {
        const double before = childCpuSeconds();
        for (const std::string& m : modules()) {
            const std::string line = std::string(command) + " '" + m + "' > /dev/null 2>&1";
            if (std::system(line.c_str()) != 0) state.SkipWithError(command);
        }
        cpu = childCpuSeconds() - before;
        state.SetIterationTime(cpu);
        total += music;
    }
    state.counters["music s/CPU s"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(pelmitRender)->Arg(0)->Arg(1)->ArgName("interpolation")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(peerRender, pelmit_render, JK_PELMIT_RENDER)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(peerRender, xmp, "xmp --norc --nocmd -q -c")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(peerRender, openmpt123,
                  "openmpt123 -q --batch --subsong 0 --samplerate 44100 --no-float --stdout")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
