// The data path's speed: Texora building a 256 x 256 texture with all its
// levels in three formats, the PCX and IFF run-length decoders on a 640 x 480
// picture in memory, and the scaled blit at the texture manager's sizes.
#include "umbrek/texora/texora.h"
#include "umbrek/vastrel/drawing_surface.h"
#include "umbrek/vastrel/image_readers.h"
#include "umbrek/vastrel/tests/image_writers.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace umbrek::test;

namespace {

// A picture with what real ones have: flat runs and noisy stretches.
IndexedImage picture() {
    return makeImage(640, 480, [](int x, int y) {
        if ((x / 40 + y / 30) % 2) return uint8_t(x / 40 * 16);
        return uint8_t((uint32_t(x * 7919 + y * 104729) * 2654435761u) >> 24);
    });
}

void buildTexture(benchmark::State& state, int format) {
    std::vector<uint32_t> image(256 * 256);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
    TxMip mip{};
    int w = 256, h = 256;
    std::vector<uint8_t> data(txSetUpMip(&mip, format, &w, &h, -1, TX_ROUND_UP));
    mip.info.data = data.data();
    for (auto _ : state) {
        const int ok = txBuildTexture(&mip, TX_ARGB_8888, 256, 256, image.data(), 0, nullptr);
        benchmark::DoNotOptimize(ok);
    }
    state.counters["levels"] = mip.depth;
}

void decode(benchmark::State& state, const std::vector<uint8_t>& file, bool pcx) {
    uint8_t palette[kPaletteSize];
    for (auto _ : state) {
        std::unique_ptr<DataStream> stream = openMemoryStream(file.data(), file.size());
        OwnedBitmap bitmap(pcx ? KX_ReadPCX(*stream, palette) : KX_ReadIFF(*stream, palette));
        benchmark::DoNotOptimize(bitmap.get());
    }
    // Decoded bytes per second.
    state.SetBytesProcessed(int64_t(state.iterations()) * 640 * 480);
}

void blit(benchmark::State& state) {
    const int sw = int(state.range(0)), sh = int(state.range(1));
    const int dw = int(state.range(2)), dh = int(state.range(3));
    OwnedBitmap source(KX_NewBitmap(sw, sh));
    for (int i = 0; i < sw * sh; ++i) KX_BitmapPixels(source.get())[i] = uint8_t(i * 13);
    std::vector<uint8_t> pixels(size_t(dw) * size_t(dh));
    KX_DrawingSurface surface{pixels.data(), dw, dh, 0, 0, dw - 1, dh - 1};
    for (auto _ : state) {
        scaleBlitInto(surface, 0, 0, dw - 1, dh - 1, source.get(), false);
        benchmark::ClobberMemory();
    }
    state.counters["Mpixel/s"] =
        benchmark::Counter(double(state.iterations()) * dw * dh / 1e6, benchmark::Counter::kIsRate);
}

void BM_TextureRgb565(benchmark::State& state) {
    buildTexture(state, TX_RGB_565);
}
void BM_TextureArgb1555(benchmark::State& state) {
    buildTexture(state, TX_ARGB_1555);
}
void BM_TextureYiq(benchmark::State& state) {
    buildTexture(state, TX_YIQ_422);
}
void BM_DecodePcx(benchmark::State& state) {
    static const std::vector<uint8_t> file = writePcx(picture());
    decode(state, file, true);
}
void BM_DecodeIffByteRun1(benchmark::State& state) {
    static const std::vector<uint8_t> file = writeIff(picture(), {.pbm = true, .compress = true});
    decode(state, file, false);
}

BENCHMARK(BM_TextureRgb565)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextureArgb1555)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextureYiq)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePcx)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeIffByteRun1)->Unit(benchmark::kMicrosecond);
BENCHMARK(blit)->Args({100, 30, 128, 32})->Args({320, 200, 256, 256});

} // namespace

BENCHMARK_MAIN();
