// Frames per second of the whole frame through the window model: smoothing,
// the effect, the trail copy, the swap and the (here empty) skin, at the
// default window size 275 x 116, for each effect, on a fixed cycle of eight
// host spectra.
#include "sabrith/frame/tests/fake_platform.h"
#include "sabrith/frame/window_model.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <vector>

namespace sabrith {
namespace {

using HostRows = std::array<uint8_t, 2 * spectrumBins>;

std::vector<HostRows> spectra() {
    std::vector<HostRows> out(8);
    for (int f = 0; f < 8; ++f)
        for (int i = 0; i < 2 * spectrumBins; ++i) {
            const double bin = i % spectrumBins;
            const double level = 220 * std::exp(-bin / 150) * (0.6 + 0.4 * std::sin(f + bin / 9));
            out[std::size_t(f)][std::size_t(i)] = uint8_t(std::clamp(level, 0.0, 255.0));
        }
    return out;
}

struct NoFiles final : FileChooser {
    bool choose(bool, FileRequest&) override { return false; }
};

void BM_WindowFrame(benchmark::State& state) {
    test::FakePlatform platform;
    NoSkin skin;
    MemoryRegistry registry;
    IniFileProfile profile;
    NoFiles chooser;
    registry.setDword("Lumbrin", "Module", uint32_t(state.range(0)));
    WindowModel model(WindowContext{platform, skin, registry, profile, chooser, "sabrith.dll"});
    model.create();
    const std::vector<HostRows> rows = spectra();
    std::size_t n = 0;
    for (auto _ : state) {
        model.renderFrame(rows[n++ % rows.size()]);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    static const char* const names[] = {"no effect", "fountains", "bars", "flame"};
    state.SetLabel(std::string(names[state.range(0)]) + ", 275 x 116, items = frames");
}
BENCHMARK(BM_WindowFrame)->Arg(barsEffect)->Arg(fountainsEffect)->Arg(flameEffect)->Arg(noEffect);

} // namespace
} // namespace sabrith

BENCHMARK_MAIN();
