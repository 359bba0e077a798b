// Skin frames per second (the 20 ms skin tick plus drawing the skin over the
// default window's 275 x 116 picture) and skin loads per second, for a skin
// of each format. The player, clock and text renderer are the test fakes, so
// system-font text costs only a rectangle fill here.
#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/skin_gizmos.h"
#include "sabrith/skin/tests/foreign_skin_fixtures.h"
#include "sabrith/skin/tests/skin_fixtures.h"
#include "sabrith/skin/tests/skin_test_rig.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace sabrith::test {
namespace {

std::string addFixture(MemoryFiles& files, int format) {
    switch (format) {
    case 0: return addOwnSkinFixture(files, "c:\\skins\\own\\");
    case 1: return addNerritSkinFixture(files, "c:\\skins\\nerrit\\");
    default: return addTovrelSkinFixture(files, "c:\\skins\\tovrel\\");
    }
}

const char* formatName(int format) {
    return format == 0 ? "lbs" : format == 1 ? "nerrit" : "tovrel";
}

void skinFrames(benchmark::State& state) {
    const int format = int(state.range(0));
    SkinRig rig;
    rig.host.title = "A song title long enough to scroll across the display";
    rig.host.state = 1;
    rig.host.lengthS = 245;
    rig.host.positionMs = 1000;
    if (!rig.set.loadSkinFile(addFixture(rig.files, format)) || !rig.set.isActive()) std::abort();
    rig.set.setWindowSize(275, 116);
    DibImage frame("frame");
    frame.resize(275, 116);
    int32_t mouseX = 0;
    for (auto _ : state) {
        rig.clock.time += 20;
        rig.host.positionMs += 20;
        // The mouse wanders, so that hover faces switch now and then.
        mouseX = (mouseX + 3) % 275;
        skinMouseEvent(rig.set, mouseX, 90, mouseMove);
        skinTick(rig.set);
        drawSkin(rig.set, frame);
        benchmark::DoNotOptimize(frame.pixels());
    }
    state.SetLabel(formatName(format));
    state.SetItemsProcessed(state.iterations());
}

void skinLoads(benchmark::State& state) {
    const int format = int(state.range(0));
    SkinRig rig;
    const std::string path = addFixture(rig.files, format);
    for (auto _ : state) {
        if (!rig.set.loadSkinFile(path)) std::abort();
        rig.set.setWindowSize(275, 116);
        benchmark::DoNotOptimize(rig.set.currentSkin);
    }
    state.SetLabel(formatName(format));
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(skinFrames)->DenseRange(0, 2);
BENCHMARK(skinLoads)->DenseRange(0, 2);

} // namespace
} // namespace sabrith::test

BENCHMARK_MAIN();
