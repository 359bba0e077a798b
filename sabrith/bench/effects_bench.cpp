// Frames per second of each effect's render plus the trail copy the frame
// loop makes after it (blurFade with Blur on, else fade), at the default
// window's view (275 x 116) and at 640 x 480, on a fixed cycle of eight
// spectra; and BMP files decoded per second (256 x 256, 8-bit RLE). The
// trail amount is Fade / 16 here: the frame loop's own mapping of Fade comes
// with the window.
#include "sabrith/bmp_reader.h"
#include "sabrith/flame_effect.h"
#include "sabrith/frequency_effect.h"
#include "sabrith/fyre_effect.h"
#include "sabrith/tests/bmp_writer.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace sabrith {
namespace {

using Rows = std::array<uint32_t, 2 * spectrumBins>;

std::vector<Rows> spectra() {
    std::vector<Rows> out(8);
    for (int f = 0; f < 8; ++f)
        for (int i = 0; i < 2 * spectrumBins; ++i) {
            const double bin = i % spectrumBins;
            const double level = 200 * std::exp(-bin / 150) * (0.6 + 0.4 * std::sin(f + bin / 9));
            out[std::size_t(f)][std::size_t(i)] = uint32_t(std::max(0.0, level) * 256);
        }
    return out;
}

template <class E>
void runEffect(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    MemoryRegistry registry;
    IniFileProfile profile;
    SettingsStore store("Lumbrin", registry, profile);
    CrtRandom random;
    E effect(EffectContext{store, nullptr, &random});
    DibImage frame("frame"), trail("trail");
    frame.resize(w, h);
    trail.resize(w, h);
    const std::vector<Rows> levels = spectra();
    DibImage* drawn = &frame;
    DibImage* next = &trail;
    std::size_t n = 0;
    for (auto _ : state) {
        FrameView view{0, 0, w, h};
        drawn->lockView(view);
        effect.render(levels[n++ % levels.size()], view);
        drawn->unlockView(view);
        if (effect.blur) {
            drawn->blurFade(effect.fade / 16, next);
        } else {
            drawn->fade(effect.fade / 16, next);
        }
        std::swap(drawn, next);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    state.SetLabel("items = frames");
}

void BM_SpectrumBars(benchmark::State& state) {
    runEffect<FrequencyEffect>(state);
}
void BM_ParticleFountains(benchmark::State& state) {
    runEffect<FyreEffect>(state);
}
void BM_Flame(benchmark::State& state) {
    runEffect<FlameEffect>(state);
}

BENCHMARK(BM_SpectrumBars)->Args({275, 116})->Args({640, 480});
BENCHMARK(BM_ParticleFountains)->Args({275, 116})->Args({640, 480});
BENCHMARK(BM_Flame)->Args({275, 116})->Args({640, 480});

void BM_ReadRle8Bmp(benchmark::State& state) {
    std::vector<uint8_t> indices(256 * 256);
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = uint8_t((i % 256) / 8 + (i / 256) / 16); // runs of 8 per row
    std::vector<uint32_t> palette(256);
    for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = uint32_t(i * 0x010101);
    const std::vector<uint8_t> file =
        test::writeRle8Bmp(256, 256, palette, test::encodeRle8(256, 256, indices));
    DibImage image("bmp");
    for (auto _ : state) {
        MemorySource source(file.data(), file.size());
        benchmark::DoNotOptimize(readBmp(source, image));
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    state.SetLabel("items = files");
}
BENCHMARK(BM_ReadRle8Bmp);

} // namespace
} // namespace sabrith

BENCHMARK_MAIN();
