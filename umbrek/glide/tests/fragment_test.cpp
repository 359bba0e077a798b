// Colour and alpha iteration, the w-buffer, blending, the alpha test, the
// chroma key and table fog, as hand-computed pixels.
#include "umbrek/glide/tests/screen_fixture.h"

using namespace umbrek::glide;
using namespace umbrek::glide::test;

namespace {

using Fragments = Screen;

GrVertex atW(float w, float r = 255, float g = 255, float b = 255) {
    GrVertex v = vertex(0, 0, r, g, b);
    v.oow = 1.0f / w;
    return v;
}

TEST_F(Fragments, ColourAndAlphaAreIteratedAcrossTheTriangle) {
    rect(0, 0, 4, 4, vertex(0, 0, 200, 100, 50));
    EXPECT_EQ(pixel(0, 0), rgb565(200, 100, 50));
    EXPECT_EQ(pixel(3, 3), rgb565(200, 100, 50));

    // r = 30·px and b = 20·py at pixel centres; alpha = 30·px.
    grBufferClear(0, 0, 0);
    const GrVertex a = vertex(0.5f, 0.5f, 0, 0, 0, 0), b = vertex(8.5f, 0.5f, 240, 0, 0, 240);
    const GrVertex c = vertex(0.5f, 8.5f, 0, 0, 160, 0);
    grDrawTriangle(&a, &b, &c);
    struct Expect {
        int x, y, r, b;
    };
    for (const Expect e : {Expect{0, 0, 0, 0},
                           {4, 0, 120, 0},
                           {0, 4, 0, 80},
                           {3, 3, 90, 60},
                           {7, 0, 210, 0},
                           {2, 5, 60, 100}})
        EXPECT_EQ(pixel(e.x, e.y), rgb565(e.r, 0, e.b)) << e.x << "," << e.y;

    // Alpha greater than 100 keeps the columns from 4 on (alpha 120, 150, ...).
    grBufferClear(0, 0, 0);
    grAlphaTestFunction(GR_CMP_GREATER);
    grAlphaTestReferenceValue(100);
    grDrawTriangle(&a, &b, &c);
    EXPECT_EQ(map(8, 3), (std::vector<std::string>{"....####", "....###.", "....##.."}));
}

// Stored depth 0x1000 (w = 2) against fragments at w = 1.5, 2 and 3, whose
// depth values are 0x0800, 0x1000 and 0x1800.
TEST_F(Fragments, EveryDepthCompareFunction) {
    struct Case {
        int function;
        const char* passes; // for w = 1.5, 2, 3
    };
    const Case cases[] = {{GR_CMP_NEVER, "..."},  {GR_CMP_LESS, "#.."},    {GR_CMP_EQUAL, ".#."},
                          {GR_CMP_LEQUAL, "##."}, {GR_CMP_GREATER, "..#"}, {GR_CMP_NOTEQUAL, "#.#"},
                          {GR_CMP_GEQUAL, ".##"}, {GR_CMP_ALWAYS, "###"}};
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthMask(FXFALSE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        grDepthMask(FXTRUE);
        grBufferClear(0, 0, 0x1000);
        grDepthMask(FXFALSE);
        grDepthBufferFunction(c.function);
        const float ws[3] = {1.5f, 2, 3};
        for (int i = 0; i < 3; ++i) rect(float(i), 0, float(i + 1), 1, atW(ws[i]));
        EXPECT_EQ(map(3, 1)[0], c.passes);
    }
}

TEST_F(Fragments, DepthMaskBiasAndDepthOnlyClear) {
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LEQUAL);
    grBufferClear(0, 0, 0xFFFF);
    rect(0, 0, 2, 1, atW(4)); // 2 << 12
    EXPECT_EQ(depthAt(0, 0), 0x2000);
    EXPECT_EQ(depthAt(2, 0), 0xFFFF);
    grDepthMask(FXFALSE);
    rect(1, 0, 2, 1, atW(3, 0, 0, 255));
    EXPECT_EQ(depthAt(1, 0), 0x2000) << "the mask keeps the depth";
    EXPECT_EQ(pixel(1, 0), rgb565(0, 0, 255));
    grDepthMask(FXTRUE);

    // Coplanar under LESS: only a negative bias lets the fragment through,
    // and the biased value is what is written.
    grDepthBufferFunction(GR_CMP_LESS);
    rect(0, 0, 1, 1, atW(4, 255, 0, 0));
    EXPECT_EQ(pixel(0, 0), 0xFFFF);
    grDepthBiasLevel(-1);
    rect(0, 0, 1, 1, atW(4, 255, 0, 0));
    EXPECT_EQ(pixel(0, 0), rgb565(255, 0, 0));
    EXPECT_EQ(depthAt(0, 0), 0x1FFF);
    grDepthBiasLevel(-3);
    rect(0, 0, 1, 1, atW(4, 0, 255, 0));
    EXPECT_EQ(pixel(0, 0), rgb565(0, 255, 0));
    EXPECT_EQ(depthAt(0, 0), 0x1FFD);
    // The bias is clamped at 0: w < 1 is depth 0, and 0 - 3 stays 0.
    grDepthBufferFunction(GR_CMP_ALWAYS);
    rect(0, 0, 1, 1, atW(0.5f));
    EXPECT_EQ(depthAt(0, 0), 0);
    grDepthBiasLevel(0);
    // Far and beyond: 0xFFFF; behind the eye (1/w <= 0): 0xFFFF too.
    rect(0, 0, 1, 1, atW(65536));
    EXPECT_EQ(depthAt(0, 0), 0xFFFF);
    rect(1, 0, 2, 1, atW(40000)); // 15 << 12 | (40000 / 32768 - 1) · 4096 = 0xF388
    EXPECT_EQ(depthAt(1, 0), 0xF388);
    rect(2, 0, 3, 1, atW(-1));
    EXPECT_EQ(depthAt(2, 0), 0xFFFF);

    // A depth-only clear.
    grColorMask(FXFALSE, FXFALSE);
    grBufferClear(0x00FF0000, 0, 0x1234);
    EXPECT_EQ(depthAt(0, 0), 0x1234);
    EXPECT_EQ(pixel(0, 0), 0xFFFF);
    // With the colour mask off nothing is drawn but depth.
    grDepthBufferFunction(GR_CMP_ALWAYS);
    rect(0, 0, 1, 1, atW(2, 0, 0, 0));
    EXPECT_EQ(pixel(0, 0), 0xFFFF);
    EXPECT_EQ(depthAt(0, 0), 0x1000);
    // Depth mode off: neither tested nor written.
    grColorMask(FXTRUE, FXFALSE);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grDepthBufferFunction(GR_CMP_NEVER);
    rect(0, 0, 1, 1, atW(8, 0, 0, 0));
    EXPECT_EQ(pixel(0, 0), 0);
    EXPECT_EQ(depthAt(0, 0), 0x1000);
}

struct BlendCase {
    uint16_t background;
    int r, g, b, a;
    uint16_t expected;
};

void checkBlend(Screen& s, int sf, int df, const std::vector<BlendCase>& cases) {
    grAlphaBlendFunction(sf, df, GR_BLEND_ONE, GR_BLEND_ZERO);
    for (const BlendCase& c : cases) {
        uint16_t bg = c.background;
        grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 0, GR_LFB_SRC_FMT_565, 1, 1, 2, &bg);
        s.rect(0, 0, 1, 1, vertex(0, 0, float(c.r), float(c.g), float(c.b), float(c.a)));
        EXPECT_EQ(s.pixel(0, 0), c.expected)
            << "blend " << sf << "," << df << " background " << c.background << " source " << c.r
            << "," << c.g << "," << c.b << "," << c.a;
    }
}

// out = (src·S + dst·D + 127) / 255 per channel, clamped, then truncated to 5-6-5;
// the 5-6-5 background is expanded by bit replication (0x8410 is 132, 130, 132).
TEST_F(Fragments, TheBlendTuplesTheEngineUses) {
    // Opaque: the source as it is.
    checkBlend(*this, GR_BLEND_ONE, GR_BLEND_ZERO,
               {{0x8410, 200, 100, 50, 0, rgb565(200, 100, 50)}, {0xFFFF, 0, 0, 0, 255, 0}});
    checkBlend(*this, GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA,
               {
                   // red under blue at 51: r (255·204 + 127) / 255 = 204, b 51.
                   {0xF800, 0, 0, 255, 51, 0xC806},
                   // black over white at 128: (255·127 + 127) / 255 = 127 → 15, 31, 15.
                   {0xFFFF, 0, 0, 0, 128, 0x7BEF},
                   {0x8410, 255, 255, 255, 0, 0x8410},
                   {0x8410, 10, 20, 30, 255, rgb565(10, 20, 30)},
               });
    checkBlend(*this, GR_BLEND_SRC_ALPHA, GR_BLEND_ONE,
               {
                   // 200 + 132 saturates.
                   {0x8410, 200, 200, 200, 255, 0xFFFF},
                   // r (200·128 + 132·255 + 127) / 255 = 232, g 230 → 29, 57, 29.
                   {0x8410, 200, 200, 200, 128, 0xEF3D},
                   {0x0000, 255, 0, 0, 0, 0x0000},
               });
    checkBlend(*this, GR_BLEND_DST_COLOR, GR_BLEND_ZERO,
               {
                   // (128·132 + 127) / 255 = 66, 255·130 → 130, (64·132 + 127) / 255 = 33.
                   {0x8410, 128, 255, 64, 0, 0x4404},
                   {0xFFFF, 40, 80, 120, 0, rgb565(40, 80, 120)},
                   {0x0000, 255, 255, 255, 255, 0},
               });
}

TEST_F(Fragments, ChromaKeyDiscardsTheKeyColour) {
    grChromakeyValue(0);
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    grBufferClear(0xFFFFFFFF, 0, 0);
    rect(0, 0, 1, 1, vertex(0, 0, 0, 0, 0));
    rect(1, 0, 2, 1, vertex(0, 0, 0, 0, 8));
    EXPECT_EQ(pixel(0, 0), 0xFFFF);
    EXPECT_EQ(pixel(1, 0), rgb565(0, 0, 8));
    grChromakeyValue(0x10203000);
    rect(2, 0, 3, 1, vertex(0, 0, 16, 32, 48));
    rect(3, 0, 4, 1, vertex(0, 0, 16, 32, 49));
    EXPECT_EQ(pixel(2, 0), 0xFFFF);
    EXPECT_EQ(pixel(3, 0), rgb565(16, 32, 49));
    grChromakeyMode(GR_CHROMAKEY_DISABLE);
    rect(2, 0, 3, 1, vertex(0, 0, 16, 32, 48));
    EXPECT_EQ(pixel(2, 0), rgb565(16, 32, 48));
}

// The engine's alpha test: greater than 1. A discarded fragment writes no depth either.
TEST_F(Fragments, AlphaTestGreaterThanOne) {
    grAlphaTestFunction(GR_CMP_GREATER);
    grAlphaTestReferenceValue(1);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_ALWAYS);
    grBufferClear(0, 0, 0xFFFF);
    for (int a = 0; a < 4; ++a) rect(float(a), 0, float(a + 1), 1, atW(2));
    GrVertex v[4];
    for (int a = 0; a < 4; ++a) {
        v[a] = atW(2);
        v[a].a = float(a);
        rect(float(a), 1, float(a + 1), 2, v[a]);
    }
    EXPECT_EQ(map(4, 2), (std::vector<std::string>{"####", "..##"}));
    EXPECT_EQ(depthAt(1, 1), 0xFFFF);
    EXPECT_EQ(depthAt(2, 1), 0x1000);
}

// Table fog with near 2 and far 18: entries for w = 8 (index 12) and w = 16
// (index 16) are 255·6/16 → 96 and 255·14/16 → 223.
TEST_F(Fragments, TableFogTakesTheTablesShareOfTheFogColour) {
    GrFog_t table[GR_FOG_TABLE_SIZE];
    guFogGenerateLinear(table, 2, 18);
    EXPECT_EQ(table[4], 0);
    EXPECT_EQ(table[12], 96);
    EXPECT_EQ(table[16], 223);
    EXPECT_EQ(table[17], 255);
    EXPECT_EQ(table[63], 255);
    grFogTable(table);
    grFogColorValue(0xFFFFFF00);
    grFogMode(GR_FOG_WITH_TABLE);
    const float ws[4] = {1.5f, 8, 16, 32};
    for (int i = 0; i < 4; ++i) rect(float(i), 0, float(i + 1), 1, atW(ws[i], 0, 0, 0));
    EXPECT_EQ(pixel(0, 0), 0);
    // (255·96 + 127) / 255 = 96; (255·223 + 127) / 255 = 223.
    EXPECT_EQ(pixel(1, 0), rgb565(96, 96, 96));
    EXPECT_EQ(pixel(2, 0), rgb565(223, 223, 223));
    EXPECT_EQ(pixel(3, 0), 0xFFFF);
    grFogMode(GR_FOG_DISABLE);
    rect(3, 0, 4, 1, atW(32, 0, 0, 0));
    EXPECT_EQ(pixel(3, 0), 0);
}

} // namespace
