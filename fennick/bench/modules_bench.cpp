// Frames per second of each module's update and draw into a counting GL
// table (no rasterising), on fixed rows: a spectrum falling off with the
// bin and a waveform of two sines.
#include "fennick/tests/counting_gl.h"
#include "fennick/block_module.h"
#include "fennick/cube_module.h"
#include "fennick/tunnel_module.h"
#include "fennick/wave_module.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

using namespace fennick;

struct Fixture {
    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    std::uint8_t spectrum[2][soundRowLength];
    std::uint8_t waveform[2][soundRowLength];
    Settings settings = defaultSettings();
    FadeState fade;
    GlEntryPoints gl = testing::countingGl();

    Fixture() {
        setUpScene(*scene, 1);
        for (int row = 0; row < 2; ++row)
            for (int i = 0; i < soundRowLength; ++i) {
                spectrum[row][i] = std::uint8_t(255 * 32 / (32 + i + 7 * row));
                double w = 90 * std::sin(i * 0.05 + row) + 30 * std::sin(i * 0.31);
                waveform[row][i] = std::uint8_t(std::int8_t(w));
            }
    }
    SoundRows rows() const { return {{spectrum[0], spectrum[1]}, {waveform[0], waveform[1]}}; }
};

void report(benchmark::State& state, std::uint64_t callsBefore) {
    state.SetItemsProcessed(state.iterations());
    state.counters["glCallsPerFrame"] =
        double(testing::glCalls - callsBefore) / double(state.iterations());
    state.SetLabel("frames");
}

void waveFrame(benchmark::State& state) {
    Fixture f;
    f.settings.Style = int(state.range(0));
    WaveState wave;
    startWave(*f.scene, f.settings);
    std::uint64_t before = testing::glCalls;
    for (auto _ : state) {
        updateWave(wave, *f.scene, f.settings, f.rows());
        drawWave(f.gl, wave, *f.scene, f.settings, f.fade);
    }
    report(state, before);
}
BENCHMARK(waveFrame)->ArgName("Style")->Arg(0)->Arg(1);

void blockFrame(benchmark::State& state) {
    Fixture f;
    f.settings.GridRes = int(state.range(0));
    auto block = std::make_unique<BlockState>();
    startBlock(*f.scene, f.settings);
    int changed = 0;
    std::uint64_t before = testing::glCalls;
    for (auto _ : state) {
        bool rebuilt = updateBlock(*block, *f.scene, f.settings, f.rows(), changed);
        drawBlock(f.gl, *block, *f.scene, rebuilt, f.fade);
    }
    report(state, before);
}
BENCHMARK(blockFrame)->ArgName("GridRes")->Arg(8)->Arg(20);

void tunnelFrame(benchmark::State& state) {
    Fixture f;
    auto tunnel = std::make_unique<TunnelState>();
    startTunnel(f.gl, *tunnel, *f.scene, f.settings, "/nonexistent/");
    std::uint64_t before = testing::glCalls;
    for (auto _ : state) {
        updateTunnel(*tunnel, *f.scene, f.settings, f.rows());
        drawTunnel(f.gl, *tunnel, f.settings, f.fade);
    }
    report(state, before);
    state.counters["flares"] = tunnel->flareCount;
}
BENCHMARK(tunnelFrame);

void cubeFrame(benchmark::State& state) {
    Fixture f;
    auto cube = std::make_unique<CubeState>();
    std::uint64_t before = testing::glCalls;
    for (auto _ : state) {
        updateCube(*cube, *f.scene, f.rows());
        drawCube(f.gl, *cube, f.fade);
    }
    report(state, before);
}
BENCHMARK(cubeFrame);

} // namespace

BENCHMARK_MAIN();
