// The multiplexer's cost per frame on top of its children's own: with 4 or 30
// children that ask for every row, one frame asks each for its module again
// and copies 2 x 1,152 bytes to each.
#include "morsk/multiplexer.h"
#include "morsk/tests/fake_children.h"

#include <benchmark/benchmark.h>

namespace morsk {
namespace {

void BM_RenderChildren(benchmark::State& state) {
    int children = int(state.range(0));
    fake::Loader loader;
    fake::Store settings;
    for (int n = 1; n <= children; ++n) {
        std::string name = "lib" + std::to_string(n);
        loader.add(name).keepCalls = false;
        settings.values["Vis" + std::to_string(n)] = name;
    }
    settings.values["REDO_ZODODEZ"] = std::to_string(children);
    VisModule record{};
    record.spectrumChannels = record.waveformChannels = 2;
    Multiplexer mux("Morsk");
    mux.Start(record, settings, loader);
    for (auto _ : state) {
        record.spectrumRows[0][0]++;
        benchmark::DoNotOptimize(mux.Render(record));
    }
    mux.Stop(loader);
    state.SetItemsProcessed(state.iterations() * children);
}
BENCHMARK(BM_RenderChildren)->Arg(4)->Arg(30);

} // namespace
} // namespace morsk

BENCHMARK_MAIN();
