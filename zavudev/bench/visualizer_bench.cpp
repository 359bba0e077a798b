// Frames per second of each module's whole core frame at the native 320 x 192:
// loudness, frame step, palette and drawing or unfolding into the picture.
// "wake up" gets a loud row (a beat: new choices and a new palette) every
// 8th frame and silence between.
#include "zavudev/visualizer.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace zavudev {
namespace {

void runFrames(benchmark::State& state, ModuleKind kind) {
    auto v = std::make_unique<Visualizer>();
    std::vector<uint8_t> picture(picturePixels, 0);
    ColourTable colours;
    fillGreyRamp(colours);
    uint8_t silence[2][spectrumRowLength] = {}, loud[2][spectrumRowLength];
    std::memset(loud, 200, sizeof loud);
    startVisualizer(*v, kind);
    unsigned frame = 0;
    for (auto _ : state) {
        const auto& rows = (++frame % 8 == 0) ? loud : silence;
        benchmark::DoNotOptimize(frameVisualizer(*v, kind, rows, picture.data(), colours));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    state.SetLabel("items = frames");
}

void BM_WakeUpFrame(benchmark::State& state) {
    runFrames(state, ModuleKind::wakeUp);
}

void BM_DezoZazIruFrame(benchmark::State& state) {
    runFrames(state, ModuleKind::dezoZazIru);
}

BENCHMARK(BM_WakeUpFrame);
BENCHMARK(BM_DezoZazIruFrame);

} // namespace
} // namespace zavudev

BENCHMARK_MAIN();
