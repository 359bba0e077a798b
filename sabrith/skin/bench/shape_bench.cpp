// Window shapes per second: a see-through face scanned pixel by pixel into
// a region (a 275 x 116 face with a margin and round corners), the window
// rectangle minus a tiled cut-out, and outlines of 9 and 1,000 points
// filled at the default window's size.
#include "sabrith/skin/polygon_fill.h"
#include "sabrith/skin/region.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace sabrith {
namespace {

constexpr int faceWidth = 275, faceHeight = 116;

bool seeThrough(int x, int y) {
    const int dx = std::max(std::max(12 - x, x - (faceWidth - 13)), 0);
    const int dy = std::max(std::max(12 - y, y - (faceHeight - 13)), 0);
    return x < 3 || y < 3 || x >= faceWidth - 3 || y >= faceHeight - 3 || dx * dx + dy * dy > 81;
}

void scanFace(benchmark::State& state) {
    for (auto _ : state) {
        RegionBuilder builder;
        for (int y = 0; y < faceHeight; ++y)
            for (int x = 0; x < faceWidth; ++x)
                if (seeThrough(x, y)) builder.addSpan(y, x, x + 1);
        benchmark::DoNotOptimize(builder.finish());
    }
}
BENCHMARK(scanFace);

void windowMinusTiles(benchmark::State& state) {
    Region holes = Region::rect(0, 0, 3, 3);
    holes.unite(Region::rect(27, 0, 30, 3)).unite(Region::rect(10, 5, 20, 6));
    for (auto _ : state) {
        Region shape = Region::rect(0, 0, faceWidth, faceHeight);
        Region tiles = holes.tiled(faceWidth / 30 + 1, 30, 0);
        shape.subtract(tiles.offset(0, faceHeight - 6));
        shape.subtract(tiles.offset(0, 6 - faceHeight));
        benchmark::DoNotOptimize(shape.rects());
    }
}
BENCHMARK(windowMinusTiles);

void fillOutline(benchmark::State& state) {
    const int points = int(state.range(0));
    OutlineFigure figure;
    for (int i = 0; i < points; ++i) {
        // A wavy ring around the face's centre, crossing itself when dense.
        const double angle = 2 * 3.14159265358979 * i / points * 7;
        const double radius = 50 + 8 * std::sin(i * 0.37);
        figure.push_back({int32_t(137 + radius * 2.4 * std::cos(angle / 7)),
                          int32_t(58 + radius * std::sin(angle / 7 + std::sin(angle)))});
    }
    const std::vector<OutlineFigure> figures{figure};
    for (auto _ : state)
        benchmark::DoNotOptimize(fillEvenOdd(figures, RegionRect{0, 0, faceWidth, faceHeight}));
}
BENCHMARK(fillOutline)->Arg(9)->Arg(1000);

} // namespace
} // namespace sabrith

BENCHMARK_MAIN();
