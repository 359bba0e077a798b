// The pictures of the board's common passes, held to hashes recorded from the
// per-fragment reference spans: any faster path must leave every colour and
// depth pixel exactly as they did. Each pass draws on a cleared 640x480
// screen: the benchmark's full-screen states, sprites and slanted triangles
// over a perspective ramp, and the other texture formats and tests.
#include "umbrek/glide/glide.h"
#include "umbrek/glide/glide_test.h"
#include "umbrek/glide/tests/ramp_vertex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

using namespace umbrek::glide;

namespace {

constexpr int width = 640, height = 480;

GrVertex vertex(float x, float y, float s, float t, float oow, float alpha = 255) {
    return test::rampVertex(x, y, s, t, oow, alpha);
}

// FNV-1a over the visible rows of the back buffer, then of the depth buffer.
uint64_t pictureHash() {
    uint64_t h = 14695981039346656037ull;
    for (const Buffer& b : {colourBuffer(1), depthBuffer()})
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                const uint16_t p = b.pixels[size_t(y) * size_t(b.pitch) + size_t(x)];
                h = (h ^ (p & 0xFF)) * 1099511628211ull;
                h = (h ^ (p >> 8)) * 1099511628211ull;
            }
    return h;
}

std::vector<uint16_t> noiseTexels(size_t count, uint32_t salt) {
    std::vector<uint16_t> texels(count);
    for (size_t i = 0; i < count; ++i) texels[i] = uint16_t((i + salt) * 2654435761u >> 9);
    return texels;
}

// A texture of FORMAT with LEVELS levels from 256 down, downloaded at 0
// from noise (8-bit formats take its bytes).
void texture(int32_t format, int levels = 1) {
    const std::vector<uint16_t> texels = noiseTexels(2 * 256 * 256, 0);
    GrTexInfo info{GR_LOD_256 + levels - 1, GR_LOD_256, GR_ASPECT_1x1, format,
                   const_cast<uint16_t*>(texels.data())};
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
}

void fullScreen(float alpha = 128) {
    const GrVertex a = vertex(0, 0, 0, 0, 1, alpha), b = vertex(width, 0, 256, 0, 0.2f, alpha);
    const GrVertex c = vertex(width, height, 256, 256, 0.2f, alpha);
    const GrVertex d = vertex(0, height, 0, 256, 1, alpha);
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &c, &d);
}

// Slanted triangles of every size, with w, colour, alpha and texture
// coordinates that vary across them, some partly off the screen.
void slanted() {
    uint32_t seed = 7;
    auto next = [&](float low, float high) {
        seed = seed * 1103515245u + 12345u;
        return low + (high - low) * float(seed >> 8 & 0xFFFF) / 65535.0f;
    };
    for (int i = 0; i < 120; ++i) {
        GrVertex v[3];
        const float size = i < 40 ? 6 : i < 100 ? 60 : 400;
        const float cx = next(-40, width + 40), cy = next(-40, height + 40);
        for (GrVertex& c : v) {
            c = vertex(cx + next(-size, size), cy + next(-size, size), next(-300, 600),
                       next(-300, 600), next(0.05f, 1.5f), next(-10, 265));
            c.r = next(-20, 280), c.g = next(0, 255), c.b = next(0, 255);
        }
        grDrawTriangle(&v[0], &v[1], &v[2]);
    }
}

void sprites() {
    for (int n = 0; n < 300; ++n) {
        const float x = float(n * 37 % (width - 32)) + 0.3f, y = float(n * 53 % (height - 32));
        const float oow = 0.1f + float(n % 17) / 20;
        const GrVertex a = vertex(x, y, 0.5f, 0.5f, oow), b = vertex(x + 32, y, 255.5f, 0.5f, oow);
        const GrVertex c = vertex(x + 32, y + 32, 255.5f, 255.5f, oow);
        const GrVertex d = vertex(x, y + 32, 0.5f, 255.5f, oow);
        grDrawTriangle(&a, &b, &c);
        grDrawTriangle(&a, &c, &d);
    }
}

void wTest() {
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LEQUAL);
}

void alphaBlend() {
    guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                         GR_BLEND_ZERO);
}

struct Pass {
    const char* name;
    std::function<void()> draw;
    uint64_t hash;
};

TEST(PictureReference, EveryPassLeavesItsRecordedPicture) {
    const Pass passes[] = {
        {"flat iterated colour",
         [] {
             guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
             fullScreen();
             slanted();
         },
         0x94cdb35cac12795ull},
        {"perspective bilinear 565",
         [] {
             texture(GR_TEXFMT_RGB_565);
             guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
             fullScreen();
         },
         0xf035e3d357c30f4eull},
        {"blended overlay with w test",
         [] {
             texture(GR_TEXFMT_RGB_565);
             guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
             fullScreen();
             guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
             alphaBlend();
             wTest();
             grBufferClear(0, 0, 0xFFFF);
             grDepthMask(FXFALSE);
             fullScreen();
             slanted();
         },
         0x87150b21725ac374ull},
        {"additive sprites, bias and w test",
         [] {
             texture(GR_TEXFMT_RGB_565);
             guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
             guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA);
             grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
             wTest();
             grBufferClear(0, 0, 0xFFFF);
             grDepthBiasLevel(-1);
             sprites();
             slanted();
         },
         0x96d4acbfa3ff1ceeull},
        {"opaque w-buffered triangles",
         [] {
             texture(GR_TEXFMT_RGB_565);
             guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
             grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
             grDepthBufferFunction(GR_CMP_LESS);
             grBufferClear(0, 0, 0xFFFF);
             slanted();
         },
         0xfc248884c7f8c4a1ull},
        {"palette texture, point sampled, alpha tested",
         [] {
             GuTexPalette palette{};
             for (int i = 0; i < 256; ++i)
                 palette.data[i] = uint32_t(i * 0x010305 + (i << 24)) & 0xFFFFFFFFu;
             grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, &palette);
             texture(GR_TEXFMT_P_8);
             grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED,
                             GR_TEXTUREFILTER_POINT_SAMPLED);
             guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
             grAlphaCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_ONE,
                            GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
             grAlphaTestReferenceValue(100);
             grAlphaTestFunction(GR_CMP_GREATER);
             fullScreen();
             slanted();
         },
         0x3aab0fe4d8bde406ull},
        {"mipmapped 1555 with chroma key and multiply",
         [] {
             texture(GR_TEXFMT_ARGB_1555, 4);
             grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, FXFALSE);
             guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
             fullScreen();
             guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
             grChromakeyValue(0x00000000);
             grChromakeyMode(GR_CHROMAKEY_ENABLE);
             grAlphaBlendFunction(GR_BLEND_DST_COLOR, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
             slanted();
         },
         0x6789e0c499c1855full},
        {"table fog over 4444",
         [] {
             texture(GR_TEXFMT_ARGB_4444);
             guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
             GrFog_t fog[GR_FOG_TABLE_SIZE];
             guFogGenerateLinear(fog, 1, 5);
             grFogTable(fog);
             grFogColorValue(0x4080C000);
             grFogMode(GR_FOG_WITH_TABLE);
             wTest();
             grBufferClear(0, 0, 0xFFFF);
             slanted();
         },
         0x5aa49db74b0043a0ull},
    };
    for (int reference = 0; reference < 2; ++reference)
        for (const Pass& pass : passes) {
            resetOptions();
            options().generalSpans = reference == 1;
            grGlideInit();
            ASSERT_TRUE(grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA,
                                     GR_ORIGIN_UPPER_LEFT, 2, 1));
            pass.draw();
            const uint64_t hash = pictureHash();
            EXPECT_EQ(hash, pass.hash) << pass.name << (reference ? " (reference spans)" : "")
                                       << ": 0x" << std::hex << hash;
            grGlideShutdown();
        }
    resetOptions();
}

} // namespace
