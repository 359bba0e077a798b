// The board's speed at 640x480: full-screen passes of the engine's common
// states, small sprites and tiny triangles, the depth-only clear and the swap.
#include "umbrek/glide/glide.h"
#include "umbrek/glide/glide_test.h"
#include "umbrek/glide/tests/ramp_vertex.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace umbrek::glide;

namespace {

constexpr int width = 640, height = 480;

void open() {
    resetOptions();
    grGlideInit();
    grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA, 0, 2, 1);
}

GrVertex vertex(float x, float y, float s, float t, float oow, float alpha = 255) {
    return test::rampVertex(x, y, s, t, oow, alpha);
}

// A 256x256 rgb565 texture, one level, at address 0.
void texture() {
    std::vector<uint16_t> texels(256 * 256);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = uint16_t(i * 2654435761u >> 9);
    GrTexInfo info{GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels.data()};
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
}

// Two triangles over the screen; 1/w from 1 on the left to 0.2 on the right.
void fullScreen(benchmark::State& state) {
    const GrVertex a = vertex(0, 0, 0, 0, 1, 128), b = vertex(width, 0, 256, 0, 0.2f, 128);
    const GrVertex c = vertex(width, height, 256, 256, 0.2f, 128);
    const GrVertex d = vertex(0, height, 0, 256, 1, 128);
    for (auto _ : state) {
        grDrawTriangle(&a, &b, &c);
        grDrawTriangle(&a, &c, &d);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * width * height);
    grGlideShutdown();
}

void FlatIteratedColour(benchmark::State& state) {
    open();
    guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
    fullScreen(state);
}

void PerspectiveBilinear565(benchmark::State& state) {
    open();
    texture();
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    fullScreen(state);
}

// The motion-blur overlay: textured, alpha blended, w-tested.
void BlendedOverlayWithWTest(benchmark::State& state) {
    open();
    texture();
    guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
    guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                         GR_BLEND_ZERO);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LEQUAL);
    grBufferClear(0, 0, 0xFFFF);
    grDepthMask(FXFALSE);
    fullScreen(state);
}

// The flares: 32x32 additive textured squares (two triangles each).
void AdditiveSprites32(benchmark::State& state) {
    open();
    texture();
    guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LEQUAL);
    grDepthBiasLevel(-1);
    int n = 0;
    for (auto _ : state) {
        const float x = float(n * 37 % (width - 32)), y = float(n * 53 % (height - 32));
        ++n;
        const GrVertex a = vertex(x, y, 0, 0, 0.5f), b = vertex(x + 32, y, 256, 0, 0.5f);
        const GrVertex c = vertex(x + 32, y + 32, 256, 256, 0.5f);
        const GrVertex d = vertex(x, y + 32, 0, 256, 0.5f);
        grDrawTriangle(&a, &b, &c);
        grDrawTriangle(&a, &c, &d);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 2);
    grGlideShutdown();
}

// Set-up cost: triangles of about four pixels, flat colour.
void TinyTriangles(benchmark::State& state) {
    open();
    guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
    int n = 0;
    for (auto _ : state) {
        const float x = float(n * 37 % (width - 4)), y = float(n * 53 % (height - 4));
        ++n;
        const GrVertex a = vertex(x, y, 0, 0, 1), b = vertex(x + 3, y, 0, 0, 1);
        const GrVertex c = vertex(x, y + 3, 0, 0, 1);
        grDrawTriangle(&a, &b, &c);
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    grGlideShutdown();
}

void DepthOnlyClear(benchmark::State& state) {
    open();
    grColorMask(FXFALSE, FXFALSE);
    for (auto _ : state) grBufferClear(0, 0, 0xFFFF);
    grGlideShutdown();
}

void SwapCopy(benchmark::State& state) {
    open();
    for (auto _ : state) grBufferSwap(0);
    grGlideShutdown();
}

// The reference the board is measured against: one plain scalar loop over the
// screen doing what the overlay pass does (perspective division, bilinear
// 5-6-5 fetch with wrap, blend with the 5-6-5 buffer, w test and write).
void PlainLoopReference(benchmark::State& state) {
    std::vector<uint16_t> texels(256 * 256), colour(width * height), depth(width * height, 0xFFFF);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = uint16_t(i * 2654435761u >> 9);
    auto channel = [](uint16_t p, int c) {
        return c == 0 ? (p >> 11) << 3 : c == 1 ? (p >> 5 & 63) << 2 : (p & 31) << 3;
    };
    for (auto _ : state) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const float f = float(x) / width, oow = 1 - 0.8f * f;
                const float w = 1 / oow, s = 256 * f * oow * w, t = 256.0f * y / height;
                const int u = int(s * 256) - 128, v = int(t * 256) - 128;
                const int x0 = u >> 8 & 255, y0 = v >> 8 & 255, fx = u & 255, fy = v & 255;
                const uint16_t d = uint16_t(w * 4096);
                const size_t at = size_t(y) * width + size_t(x);
                if (d > depth[at]) continue;
                int out[3];
                for (int c = 0; c < 3; ++c) {
                    const int t00 = channel(texels[y0 * 256 + x0], c);
                    const int t10 = channel(texels[y0 * 256 + ((x0 + 1) & 255)], c);
                    const int t01 = channel(texels[((y0 + 1) & 255) * 256 + x0], c);
                    const int t11 = channel(texels[((y0 + 1) & 255) * 256 + ((x0 + 1) & 255)], c);
                    const int top = t00 * (256 - fx) + t10 * fx,
                              bottom = t01 * (256 - fx) + t11 * fx;
                    const int texel = (top * (256 - fy) + bottom * fy) >> 16;
                    out[c] = (texel * 128 + channel(colour[at], c) * 127) / 255;
                }
                colour[at] = uint16_t((out[0] >> 3) << 11 | (out[1] >> 2) << 5 | out[2] >> 3);
            }
        benchmark::DoNotOptimize(colour.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * width * height);
}

} // namespace

BENCHMARK(PlainLoopReference)->Unit(benchmark::kMillisecond);
BENCHMARK(FlatIteratedColour)->Unit(benchmark::kMillisecond);
BENCHMARK(PerspectiveBilinear565)->Unit(benchmark::kMillisecond);
BENCHMARK(BlendedOverlayWithWTest)->Unit(benchmark::kMillisecond);
BENCHMARK(AdditiveSprites32)->Unit(benchmark::kMicrosecond);
BENCHMARK(TinyTriangles)->Unit(benchmark::kMicrosecond);
BENCHMARK(DepthOnlyClear)->Unit(benchmark::kMillisecond);
BENCHMARK(SwapCopy)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
