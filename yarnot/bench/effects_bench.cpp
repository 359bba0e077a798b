// Frames per second of each effect at the native 320 x 240, without blur and
// with the most, on fixed rows (a chord in the waveform, a loud spectrum).
#include "yarnot/effects.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace yarnot;

struct Fixture {
    std::unique_ptr<Texture> texture = std::make_unique<Texture>();
    WaveRows wave{};
    SpectrumRows spectrum{};
    std::vector<uint32_t> pixels = std::vector<uint32_t>(320 * 240);
    Fixture() {
        for (int i = 0; i < texelCount; ++i) texture->texel[i] = uint32_t(i * 40503u) & 0x3F3F3F;
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < rowLength; ++i) {
                wave[c][i] = static_cast<signed char>(60 * std::sin(i * 0.05 * (c + 1)) +
                                                      30 * std::sin(i * 0.31));
                spectrum[c][i] = static_cast<unsigned char>(i < 120 ? 200 - i : 40);
            }
    }
};

template <int Module>
void effect(benchmark::State& state) {
    Fixture f;
    const int blur = int(state.range(0));
    PixelTarget target{f.pixels.data(), 320, 240, 0};
    RotZoomState movement;
    for (auto _ : state) {
        switch (Module) {
        case 0: DrawQuorl1(*f.texture, f.wave, blur, target); break;
        case 1: DrawQuorl2(*f.texture, f.wave, blur, target); break;
        case 2: DrawFakePerspective(movement, *f.texture, f.spectrum, blur, target); break;
        default: DrawRotZoomer(movement, *f.texture, f.spectrum, blur, target); break;
        }
        benchmark::DoNotOptimize(f.pixels.data());
    }
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(effect<0>)->Name("QuorlI")->Arg(0)->Arg(3);
BENCHMARK(effect<1>)->Name("QuorlII")->Arg(0)->Arg(3);
BENCHMARK(effect<2>)->Name("RotZoomerFakePerspective")->Arg(0)->Arg(3);
BENCHMARK(effect<3>)->Name("RotZoomer")->Arg(0)->Arg(3);

} // namespace

BENCHMARK_MAIN();
