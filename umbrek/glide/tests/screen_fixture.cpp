#include "umbrek/glide/tests/screen_fixture.h"

namespace umbrek::glide::test {

GrVertex vertex(float x, float y, float r, float g, float b, float a) {
    GrVertex v{};
    v.x = x, v.y = y, v.r = r, v.g = g, v.b = b, v.a = a, v.oow = 1;
    return v;
}

GrVertex texVertex(float x, float y, float s, float t, float oow) {
    GrVertex v = vertex(x, y);
    v.oow = oow;
    v.tmuvtx[0].sow = s * oow;
    v.tmuvtx[0].tow = t * oow;
    return v;
}

void Screen::SetUp() {
    resetOptions();
    grGlideInit();
    ASSERT_TRUE(
        grSstWinOpen(0, 0, GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA, GR_ORIGIN_UPPER_LEFT, 2, 1));
    counters() = Counters{};
}

void Screen::TearDown() {
    grGlideShutdown();
    resetOptions();
}

uint16_t Screen::pixel(int x, int y, int buffer) const {
    const Buffer b = colourBuffer(buffer);
    return b.pixels[y * b.pitch + x];
}

uint16_t Screen::depthAt(int x, int y) const {
    const Buffer b = depthBuffer();
    return b.pixels[y * b.pitch + x];
}

std::vector<std::string> Screen::map(int width, int height, uint16_t background) const {
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) row += pixel(x, y) == background ? '.' : '#';
        rows.push_back(row);
    }
    return rows;
}

void Screen::rect(float x0, float y0, float x1, float y1, GrVertex v) {
    GrVertex a = v, b = v, c = v, d = v;
    a.x = x0, a.y = y0, b.x = x1, b.y = y0, c.x = x1, c.y = y1, d.x = x0, d.y = y1;
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &c, &d);
}

void Screen::texRect(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1,
                     float oowLeft, float oowRight) {
    const GrVertex a = texVertex(x0, y0, s0, t0, oowLeft), b = texVertex(x1, y0, s1, t0, oowRight);
    const GrVertex c = texVertex(x1, y1, s1, t1, oowRight), d = texVertex(x0, y1, s0, t1, oowLeft);
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &c, &d);
}

void Screen::useTexture(const GrTexInfo& info, uint32_t start) {
    GrTexInfo copy = info;
    grTexDownloadMipMap(GR_TMU0, start, GR_MIPMAPLEVELMASK_BOTH, &copy);
    grTexSource(GR_TMU0, start, GR_MIPMAPLEVELMASK_BOTH, &copy);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    grAlphaCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
}

} // namespace umbrek::glide::test
