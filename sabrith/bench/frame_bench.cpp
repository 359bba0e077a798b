// Frames per second of the whole frame through the window model: smoothing,
// the effect, the trail copy, the swap and the skin, at the default window
// size 275 x 116, for each effect, on a fixed cycle of eight host spectra;
// without a skin and with a fixture skin of each format.
#include "sabrith/frame/skin_set_seam.h"
#include "sabrith/frame/tests/fake_platform.h"
#include "sabrith/frame/window_model.h"
#include "sabrith/skin/tests/foreign_skin_fixtures.h"
#include "sabrith/skin/tests/skin_fixtures.h"
#include "sabrith/skin/tests/skin_test_rig.h"

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

// Labels by effect id.
constexpr const char* effectNames[] = {"no effect", "fountains", "bars", "flame"};

void BM_WindowFrame(benchmark::State& state) {
    test::FakePlatform platform;
    NoSkin skin;
    MemoryRegistry registry;
    IniFileProfile profile;
    test::FakeChooser chooser;
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
    state.SetLabel(std::string(effectNames[state.range(0)]) + ", 275 x 116, items = frames");
}
BENCHMARK(BM_WindowFrame)->Arg(barsEffect)->Arg(fountainsEffect)->Arg(flameEffect)->Arg(noEffect);

// One host frame and one tick of the skin timer, the work of each 20 ms
// with a skin: the own format draws over the effect in the host's frame; a
// foreign one shows no effect, and its timer tick draws the window instead.
void BM_SkinnedWindowFrame(benchmark::State& state) {
    static const char* const formats[] = {"lbs", "nerrit", "tovrel"};
    const int format = int(state.range(1));
    test::FakePlatform platform;
    test::SkinRig rig;
    rig.host.title = "A song title long enough to scroll across the display";
    rig.host.state = 1;
    rig.host.lengthS = 245;
    const std::string path = format == 0 ? test::addOwnSkinFixture(rig.files, "c:\\skins\\own\\")
                             : format == 1
                                 ? test::addNerritSkinFixture(rig.files, "c:\\skins\\nerrit\\")
                                 : test::addTovrelSkinFixture(rig.files, "c:\\skins\\tovrel\\");
    SkinSetSeam skin(rig.set);
    MemoryRegistry registry;
    IniFileProfile profile;
    test::FakeChooser chooser;
    registry.setDword("Lumbrin", "Module", uint32_t(state.range(0)));
    WindowModel model(WindowContext{platform, skin, registry, profile, chooser, "sabrith.dll"});
    model.create();
    model.loadSkin(path);
    if (!skin.isActive()) {
        state.SkipWithError("the fixture skin was refused");
        return;
    }
    const std::vector<HostRows> rows = spectra();
    std::size_t n = 0;
    for (auto _ : state) {
        rig.clock.time += 20;
        rig.host.positionMs += 20;
        model.renderFrame(rows[n++ % rows.size()]);
        model.timer(skinTimer);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    state.SetLabel(std::string(effectNames[state.range(0)]) + ", " + formats[format] +
                   " skin, 275 x 116, items = frames");
}
BENCHMARK(BM_SkinnedWindowFrame)
    ->ArgsProduct({{barsEffect, fountainsEffect, flameEffect}, {0, 1, 2}});

} // namespace
} // namespace sabrith

BENCHMARK_MAIN();
