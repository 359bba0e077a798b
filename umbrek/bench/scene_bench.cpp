// The whole scene on the headless 640x480 board: frames with six effects at
// once under a loud noise row (every effect at full opacity), per mix of
// effects held still, and the scene's start-up from the archive in memory.
#include "umbrek/fixtures/noise_row.h"
#include "umbrek/fixtures/scene_archive.h"
#include "umbrek/scene.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

using namespace umbrek;

const std::vector<std::uint8_t>& archive() {
    static const std::vector<std::uint8_t> bytes =
        fixtures::writeArchive(fixtures::ArchiveVariant::complete);
    return bytes;
}

SceneStart sceneStart() {
    SceneStart s;
    s.settings.numEffects = 6;
    s.settings.effectFade = 1;       // full opacity from the first frame
    s.settings.effectTime = 1000000; // the mix stays as set
    s.randomSeed = 1;
    s.libraryBytes = archive().data();
    s.librarySize = archive().size();
    return s;
}

// Mixes of effect numbers for the six slots (none: the seed's own picks).
struct Mix {
    const char* name;
    std::array<int, 6> effects;
};
constexpr Mix mixes[] = {
    {"seed 1", {-1, -1, -1, -1, -1, -1}},  {"overlay only", {2, 2, 2, 2, 2, 2}},
    {"6 star fields", {0, 0, 0, 0, 0, 0}}, {"6 flare tubes", {1, 1, 1, 1, 1, 1}},
    {"6 logos", {3, 3, 3, 3, 3, 3}},       {"6 tube sets", {5, 5, 5, 5, 5, 5}},
    {"one of each", {0, 1, 3, 5, 0, 1}},
};

void sceneFrame(benchmark::State& state) {
    const Mix& mix = mixes[state.range(0)];
    state.SetLabel(mix.name);
    if (startScene(sceneStart()) != 0) {
        state.SkipWithError("the scene did not start");
        return;
    }
    EffectSchedule& slots = sceneEffects();
    for (std::size_t i = 0; i < 6; ++i)
        if (mix.effects[i] >= 0) slots.slots[i].effect = mix.effects[i];
    const auto row = fixtures::loudNoiseRow();
    for (int i = 0; i < 3; ++i) renderSceneFrame(row.data(), nullptr);
    for (auto _ : state) renderSceneFrame(row.data(), nullptr);
    state.counters["frames/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    stopScene();
}
BENCHMARK(sceneFrame)->DenseRange(0, int(std::size(mixes)) - 1)->Unit(benchmark::kMillisecond);

// The scene as the plug-in starts it with the default settings (three
// effects, fading in and out and changing as they run out), seed 1, under
// the same loud noise.
void sceneFrameDefaults(benchmark::State& state) {
    SceneStart start = sceneStart();
    start.settings = Settings{};
    if (startScene(start) != 0) {
        state.SkipWithError("the scene did not start");
        return;
    }
    const auto row = fixtures::loudNoiseRow();
    for (auto _ : state) renderSceneFrame(row.data(), nullptr);
    state.counters["frames/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    stopScene();
}
BENCHMARK(sceneFrameDefaults)->Unit(benchmark::kMillisecond);

// Start-up from the archive in memory: engine, board, models, textures,
// flares, overlay and slots. The stop is not timed.
void sceneStartUp(benchmark::State& state) {
    const SceneStart start = sceneStart();
    for (auto _ : state) {
        if (startScene(start) != 0) {
            state.SkipWithError("the scene did not start");
            break;
        }
        state.PauseTiming();
        stopScene();
        state.ResumeTiming();
    }
}
BENCHMARK(sceneStartUp)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
