// Speed of the depacker, the loader and the conversion on a long song: the
// demo's frames repeated to 65,536 (256 full patterns, about 1 MB of registers),
// with a vibrato and volume jitter (it packs about 13:1, as chip songs do).
#include "tolvern/lha.h"
#include "tolvern/tests/demo_song.h"
#include "tolvern/xm_channel.h"
#include "tolvern/xm_module.h"
#include "tolvern/ym.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace tolvern;
using namespace tolvern::test;

namespace {

struct Fixture {
    std::vector<uint8_t> image;
    std::vector<uint8_t> archive;
    TempDir dir;

    Fixture() {
        YmSong song = demoSong();
        const std::vector<Registers> base = song.frames;
        song.frames.clear();
        while (song.frames.size() < 65536)
            song.frames.insert(song.frames.end(), base.begin(), base.end());
        song.frames.resize(65536);
        uint32_t seed = 1;
        for (Registers& r : song.frames) {
            seed = seed * 1103515245 + 12345;
            r[rToneA] = uint8_t(r[rToneA] + (seed >> 16) % 5);
            r[rVolumeA] = uint8_t((r[rVolumeA] & 0xF0) | (seed >> 24) % 16);
        }
        image = buildYm(song);
        archive = packLh5(image, dir.path());
        if (const char* keep = std::getenv("TOLVERN_BENCH_ARCHIVE")) writeFile(keep, archive);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_Depack(benchmark::State& state) {
    const std::vector<uint8_t>& archive = fixture().archive;
    std::vector<uint8_t> out;
    for (auto _ : state) {
        if (depackLha(archive.data(), archive.size(), out) != LhaStatus::ok)
            state.SkipWithError("depack");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fixture().image.size()));
    state.counters["packed_bytes"] = double(archive.size());
}
BENCHMARK(BM_Depack)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
    const std::vector<uint8_t>& image = fixture().image;
    for (auto _ : state) {
        _corvel_YM ym;
        ym.ymLoadImage(image.data(), image.size());
        benchmark::DoNotOptimize(ym.GetLines());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(image.size()));
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_Convert(benchmark::State& state) {
    const std::vector<uint8_t>& image = fixture().image;
    _corvel_YM ym;
    ym.ymLoadImage(image.data(), image.size());
    const std::string xm = fixture().dir / "bench.xm";
    for (auto _ : state) {
        auto module = std::make_unique<XmModule>();
        auto channels = std::make_unique<XmChannel[]>(kXmChannels);
        if (ym.Convert(xm.c_str(), *module, channels.get()) != 1) state.SkipWithError("convert");
    }
    state.counters["frames_per_s"] = benchmark::Counter(
        double(ym.GetLines()) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["xm_bytes"] = double(std::filesystem::file_size(xm));
}
BENCHMARK(BM_Convert)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
