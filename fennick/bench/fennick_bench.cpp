// The per-frame scene work of Wave and Block (moving the lights and lighting
// the grid) and the texture path (reading and converting a 256 x 256 24-bit
// bitmap), in lit grids and textures per second.
#include "fennick/bitmap.h"
#include "fennick/scene.h"
#include "fennick/tests/bmp_writer.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace fennick;

void litGrid(benchmark::State& state) {
    auto scene = std::make_unique<Scene>();
    setUpScene(*scene, 1);
    int n = int(state.range(0));
    buildGrid(*scene, n, n, -330, 330, -300, 300);
    placeLights(*scene);
    for (auto _ : state) {
        moveLights(*scene);
        lightGrid(*scene);
        benchmark::DoNotOptimize(scene->grid[n / 2][n / 2].r);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("lit grids");
}
BENCHMARK(litGrid)->Arg(8)->Arg(24);

std::uint32_t gradient(int x, int y) {
    return std::uint32_t(x | y << 8 | (x ^ y) << 16);
}

void readTexture(benchmark::State& state) {
    testing::BmpSpec spec;
    spec.width = 256;
    spec.height = 256;
    spec.pixel = gradient;
    std::vector<std::uint8_t> file = testing::makeBmp(spec);
    for (auto _ : state) {
        MemorySource source(file.data(), file.size());
        std::optional<BmpImage> bmp = readBmp(source);
        std::optional<RgbImage> rgb = toRgb(*bmp);
        benchmark::DoNotOptimize(rgb->rgb.data());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * std::int64_t(file.size()));
    state.SetLabel("textures");
}
BENCHMARK(readTexture);

} // namespace

BENCHMARK_MAIN();
