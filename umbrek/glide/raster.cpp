// Triangles and lines. Coverage is exact: vertices are snapped to 1/16 pixel,
// a pixel is covered when its centre is inside, and a centre on an edge
// belongs to the triangle only when the edge is a top or a left edge, so
// triangles sharing an edge cover each pixel once. Colour and alpha are
// iterated in 16.16 fixed point along a span; 1/w, s/w and t/w in floats.
#include "umbrek/glide/finish_simd.h"
#include "umbrek/glide/fragment.h"
#include "umbrek/glide/texel_quads.h"

#include <cmath>

using namespace umbrek::glide;

namespace umbrek::glide {

namespace {

// Whether all texels of the source's levels are one value, and its colour.
// The answer is kept until a download, a table or the source changes, so
// that a texture is scanned once, not once per primitive; most textures
// differ within their first texels, which ends the scan.
void findUniformTexture(Sampler& sm, const TextureSource& t, const Layout& layout) {
    struct Known {
        uint32_t textureVersion = ~0u, tableVersion = ~0u, start = 0;
        int32_t smallLod = 0, largeLod = 0, aspect = 0, format = 0;
        bool uniform = false;
        uint32_t colour = 0;
    };
    static Known known;
    const Board& b = board();
    if (known.textureVersion != b.textureVersion || known.tableVersion != b.tableVersion ||
        known.start != t.start || known.smallLod != t.smallLod || known.largeLod != t.largeLod ||
        known.aspect != t.aspect || known.format != t.format) {
        known = Known{b.textureVersion, b.tableVersion, t.start, t.smallLod,
                      t.largeLod,       t.aspect,       t.format};
        const uint8_t* bytes = b.textureMemory.data() + t.start;
        const size_t unit = size_t(layout.bytesPerTexel);
        known.uniform = true;
        for (size_t i = unit; i < layout.size && known.uniform; i += unit)
            known.uniform = std::memcmp(bytes + i, bytes, unit) == 0;
        switch (sm.kind) {
        case TexelKind::Lookup8: known.colour = texelAt<TexelKind::Lookup8>(sm, bytes, 0); break;
        case TexelKind::Lookup16: known.colour = texelAt<TexelKind::Lookup16>(sm, bytes, 0); break;
        case TexelKind::Rgb565: known.colour = texelAt<TexelKind::Rgb565>(sm, bytes, 0); break;
        case TexelKind::Argb1555: known.colour = texelAt<TexelKind::Argb1555>(sm, bytes, 0); break;
        default: known.colour = texelAt<TexelKind::Argb4444>(sm, bytes, 0); break;
        }
    }
    sm.uniform = known.uniform;
    sm.uniformColour = known.colour;
}

} // namespace

bool preparePipeline(Pipeline& p) {
    if (!ready()) return false;
    Board& b = board();
    const RenderState& s = b.state;
    p.state = &s;
    p.pitch = b.pitch;
    p.colour = b.colour[s.renderBuffer].data();
    p.depth = b.depth.data();
    p.pixels = b.depth.size();
    const bool wbuffer = s.depthMode == GR_DEPTHBUFFER_WBUFFER;
    p.depthTest = wbuffer && s.depthFunction != GR_CMP_ALWAYS;
    p.depthWrite = wbuffer && s.depthMask;
    p.colourWrite = s.colourMask;
    p.opaque = s.blend[0] == GR_BLEND_ONE && s.blend[1] == GR_BLEND_ZERO;
    auto perChannel = [](uint8_t f) {
        return f == GR_BLEND_DST_COLOR || f == GR_BLEND_ONE_MINUS_DST_COLOR;
    };
    p.blendPerChannel = perChannel(s.blend[0]) || perChannel(s.blend[1]);
    p.fog = s.fogMode == GR_FOG_WITH_TABLE;
    p.chroma = s.chroma;
    p.chromaKey = s.chromaValue >> 8;
    p.alphaTest = s.alphaFunction != GR_CMP_ALWAYS;
    p.constR = int(s.constantColour >> 24), p.constG = int(s.constantColour >> 16 & 255);
    p.constB = int(s.constantColour >> 8 & 255), p.constA = int(s.constantColour & 255);
    p.fogR = int(s.fogColour >> 24), p.fogG = int(s.fogColour >> 16 & 255);
    p.fogB = int(s.fogColour >> 8 & 255);
    const bool wantsTexture =
        s.colour == ColourSource::Texture || s.colour == ColourSource::TextureTimesIterated ||
        s.alpha == AlphaSource::Texture || s.alpha == AlphaSource::TextureTimesIterated;
    Layout layout;
    const TextureSource& t = s.texture;
    // A source is checked against texture memory when it is selected; the
    // check is repeated here so that no texel is ever read outside it.
    p.textured = wantsTexture && t.set &&
                 describe(t.smallLod, t.largeLod, t.aspect, t.format, layout) &&
                 uint64_t(t.start) + layout.size <= b.textureMemory.size();
    if (!p.textured) return true;

    Sampler& sm = p.sampler;
    sm.format = t.format;
    switch (t.format) {
    case GR_TEXFMT_RGB_565: sm.kind = TexelKind::Rgb565; break;
    case GR_TEXFMT_ARGB_1555: sm.kind = TexelKind::Argb1555; break;
    case GR_TEXFMT_ARGB_4444: sm.kind = TexelKind::Argb4444; break;
    default: sm.kind = layout.bytesPerTexel == 2 ? TexelKind::Lookup16 : TexelKind::Lookup8;
    }
    const bool direct = sm.kind == TexelKind::Rgb565 || sm.kind == TexelKind::Argb1555 ||
                        sm.kind == TexelKind::Argb4444;
    // The lookup of the 8-bit formats is rebuilt only when the format or a
    // table changed since the last primitive.
    static int32_t cachedFormat = -1;
    static uint32_t cachedVersion = 0;
    static uint32_t cachedLookup[256];
    if (!direct && (cachedFormat != t.format || cachedVersion != b.tableVersion)) {
        buildLookup(t.format, b.palette, b.ncc[0], cachedLookup);
        cachedFormat = t.format;
        cachedVersion = b.tableVersion;
    }
    if (!direct) std::copy(cachedLookup, cachedLookup + 256, sm.lookup);
    sm.levelCount = layout.levels;
    for (int i = 0; i < layout.levels; ++i) {
        Level& l = sm.levels[i];
        l.texels = b.textureMemory.data() + t.start + layout.offset[i];
        l.width = layout.width[i];
        l.height = layout.height[i];
        l.rowBytes = size_t(l.width) * size_t(layout.bytesPerTexel);
        l.scale = float(256 >> (t.largeLod + i)) / 256.0f;
    }
#if defined(__SSE2__)
    if (sm.kind == TexelKind::Rgb565) {
        const uint64_t* quads = texelQuads(b, t, layout);
        for (int i = 0; i < layout.levels; ++i) sm.levels[i].quads = quads + layout.offset[i] / 2;
    }
#endif
    sm.lodScale = sm.levels[0].scale;
    sm.mipmapped = layout.levels > 1 && s.mipMapMode != GR_MIPMAP_DISABLE;
    sm.minBilinear = s.minFilter == GR_TEXTUREFILTER_BILINEAR;
    sm.magBilinear = s.magFilter == GR_TEXTUREFILTER_BILINEAR;
    sm.needLod = sm.mipmapped || sm.minBilinear != sm.magBilinear;
    findUniformTexture(sm, t, layout);
    return true;
}

} // namespace umbrek::glide

namespace {

// Screen coordinates beyond this many pixels are refused, which keeps the
// 28.4 fixed-point edge products inside 64 bits.
constexpr float coordinateLimit = 1 << 20;

struct Plane {
    float atOrigin = 0; // the value at pixel centre (0, 0) ... (px + 0.5, py + 0.5)
    float dx = 0, dy = 0;
    float at(int px, int py) const { return atOrigin + dx * float(px) + dy * float(py); }
};

struct Edge {
    int64_t a, b, c;   // E(px, py) = a·px + b·py + c at pixel centres, in 1/256 pixel²
    int64_t threshold; // covered when E >= threshold: 0 on top and left edges, else 1
};

Edge makeEdge(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    const int64_t dx = x1 - x0, dy = y1 - y0;
    Edge e;
    // E(P) = dx·(Py − y0) − dy·(Px − x0) with P = (16·px + 8, 16·py + 8).
    e.a = -dy * 16;
    e.b = dx * 16;
    e.c = dx * (8 - y0) - dy * (8 - x0);
    const bool topLeft = (dy == 0 && dx > 0) || dy < 0;
    e.threshold = topLeft ? 0 : 1;
    return e;
}

int64_t floorDiv(int64_t n, int64_t d) {
    int64_t q = n / d;
    if ((n % d != 0) && ((n < 0) != (d < 0))) --q;
    return q;
}

using SpanFn = void (*)(Pipeline&, const Plane*, int, int, int);

enum PlaneIndex { R, G, B, A, Oow, Sow, Tow, PlaneCount };

// The level and filter every fragment of a triangle would choose, settled
// once for the triangle where they cannot differ: the sampler is then one
// level that needs no LOD, which spares the per-fragment choice.
// - 1/w the same over the triangle (a face parallel to the screen, as
//   sprites are): each fragment's derivatives are w times those of s/w and
//   t/w (s × 0 adds nothing), so chooseLevel() at s = t = 0 gives its choice.
// - Otherwise a bound of the LOD over the triangle, from the range of the
//   planes at its corners and generous room for rounding: at most 1/2, and
//   every fragment magnifies from the largest level.
void settleLevel(Pipeline& p, const Plane* planes, const int64_t* X, const int64_t* Y, int left,
                 int top, int right, int bottom) {
    Sampler& sm = p.sampler;
    if (!sm.needLod) return;
    auto settle = [&](LevelChoice c) {
        sm.levels[0] = sm.levels[c.level];
        sm.levelCount = 1;
        sm.mipmapped = false;
        sm.needLod = false;
        sm.magBilinear = c.bilinear;
    };
    // The values of a plane over the triangle (linear: between those at the
    // corners) and the rounding of its evaluation at a pixel.
    const double reachX = std::max(std::abs(double(left)), std::abs(double(right)));
    const double reachY = std::max(std::abs(double(top)), std::abs(double(bottom)));
    struct Range {
        double low, high;
    };
    auto range = [&](const Plane& pl) {
        Range r{HUGE_VAL, -HUGE_VAL};
        for (int i = 0; i < 3; ++i) {
            const double v = double(pl.atOrigin) + double(pl.dx) * (double(X[i]) / 16 - 0.5) +
                             double(pl.dy) * (double(Y[i]) / 16 - 0.5);
            r.low = std::min(r.low, v), r.high = std::max(r.high, v);
        }
        const double slack =
            1e-5 * (std::abs(double(pl.atOrigin)) + std::abs(double(pl.dx)) * reachX +
                    std::abs(double(pl.dy)) * reachY) +
            1e-30;
        return Range{r.low - slack, r.high + slack};
    };
    const Range oow = range(planes[Oow]), sow = range(planes[Sow]), tow = range(planes[Tow]);
    if (!(oow.low > 0)) return;
    const double reach =
        std::max({std::abs(sow.low), std::abs(sow.high), std::abs(tow.low), std::abs(tow.high)});
    const double wMost = 1 / oow.low * (1 + 1e-5);
    // s and t stay far from overflow, so no fragment's derivative is NaN.
    if (!(reach * wMost < 1e30)) return;
    if (planes[Oow].dx == 0 && planes[Oow].dy == 0) {
        const float w = 1.0f / planes[Oow].atOrigin;
        if (std::isfinite(w) && w != 0) settle(chooseLevel(p, 0, 0, w));
        return;
    }
    const double slope = std::max({std::abs(double(p.dSowDx)), std::abs(double(p.dTowDx)),
                                   std::abs(double(p.dSowDy)), std::abs(double(p.dTowDy))});
    const double oowSlope = std::max(std::abs(double(p.dOowDx)), std::abs(double(p.dOowDy)));
    const double lod = wMost * (slope + reach * wMost * oowSlope) * (1 + 1e-4) * sm.lodScale;
    if (lod <= 0.5) settle(LevelChoice{0, sm.magBilinear});
}

// Colour and alpha in 16.16 along a span from x0 to x1, pinned so that the
// steps stay in range.
void spanColourSteps(const Plane* planes, int y, int x0, int x1, int32_t* fixed, int32_t* step) {
    const float n = float(x1 - x0);
#if defined(__SSE2__)
    // The four channels in lanes: the same sums and clamps as below (a NaN
    // passes them as it passes std::clamp), converted to nearest as lrint().
    auto lanes = [&](float Plane::*field) {
        return _mm_setr_ps(planes[0].*field, planes[1].*field, planes[2].*field, planes[3].*field);
    };
    const __m128 at = _mm_add_ps(
        _mm_add_ps(lanes(&Plane::atOrigin), _mm_mul_ps(lanes(&Plane::dx), _mm_set1_ps(float(x0)))),
        _mm_mul_ps(lanes(&Plane::dy), _mm_set1_ps(float(y))));
    auto clamp = [](__m128 v, float bound) {
        return _mm_min_ps(_mm_set1_ps(bound), _mm_max_ps(_mm_set1_ps(-bound), v));
    };
    const __m128 scale = _mm_set1_ps(65536.0f);
    const __m128 start = clamp(at, 8192.0f);
    const __m128 dx = clamp(lanes(&Plane::dx), 8192.0f / std::max(n, 1.0f));
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(fixed),
        _mm_add_epi32(_mm_cvtps_epi32(_mm_mul_ps(start, scale)), _mm_set1_epi32(0x8000)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(step), _mm_cvtps_epi32(_mm_mul_ps(dx, scale)));
#else
    for (int i = 0; i < 4; ++i) {
        // |start| and |n · step| stay within 2^13, so no sum leaves 2^30 in 16.16.
        const float start = std::clamp(planes[i].at(x0, y), -8192.0f, 8192.0f);
        const float limit = 8192.0f / std::max(n, 1.0f);
        const float dx = std::clamp(planes[i].dx, -limit, limit);
        fixed[i] = int32_t(std::lrint(start * 65536.0f)) + 0x8000;
        step[i] = int32_t(std::lrint(dx * 65536.0f));
    }
#endif
}

// 1/w of COUNT pixels of row Y from FROM on and, textured, w and the texture
// coordinates divided by it, in a loop of its own that the compiler can
// vectorise.
template <bool Textured>
void perspectiveRun(const Plane* planes, int y, int from, int count, float* oow, float* w, float* s,
                    float* t) {
    const float oowRow = planes[Oow].at(0, y), sowRow = planes[Sow].at(0, y);
    const float towRow = planes[Tow].at(0, y);
    for (int i = 0; i < count; ++i) {
        const float fx = float(from + i);
        oow[i] = oowRow + planes[Oow].dx * fx;
        if (Textured) {
            w[i] = 1.0f / oow[i];
            s[i] = (sowRow + planes[Sow].dx * fx) * w[i];
            t[i] = (towRow + planes[Tow].dx * fx) * w[i];
        }
    }
}

// The reference span: one fragment after the other through shade().
template <bool Textured, bool DepthTest, bool Opaque, bool Bilinear565 = false>
void drawSpan(Pipeline& p, const Plane* planes, int y, int x0, int x1) {
    const size_t row = size_t(y) * size_t(p.pitch);
    int32_t fixed[4], step[4];
    spanColourSteps(planes, y, x0, x1, fixed, step);
    // The perspective division of a run of pixels first, in a loop of its
    // own that the compiler can vectorise, then the fragments.
    constexpr int run = 32;
    float oow[run], w[run], s[run], t[run];
    for (int from = x0; from < x1; from += run) {
        const int count = std::min(run, x1 - from);
        perspectiveRun<Textured>(planes, y, from, count, oow, w, s, t);
        for (int i = 0; i < count; ++i) {
            Fragment f;
            f.r = std::clamp(fixed[0] >> 16, 0, 255);
            f.g = std::clamp(fixed[1] >> 16, 0, 255);
            f.b = std::clamp(fixed[2] >> 16, 0, 255);
            f.a = std::clamp(fixed[3] >> 16, 0, 255);
            f.oow = oow[i];
            if (Textured)
                f.w = w[i], f.s = s[i], f.t = t[i];
            else
                f.w = f.s = f.t = 0;
            shade<Textured, DepthTest, Opaque, Bilinear565>(p, row + size_t(from + i), f);
            for (int c = 0; c < 4; ++c) fixed[c] += step[c];
        }
    }
}

#if defined(__SSE2__)

// depthOfW() of four w, as the low 16 bits of 32-bit lanes biased by -32768
// (ready for a signed pack): the exponent and mantissa bits of w less 127 in
// the exponent, pinned to 0 .. 0xFFFF; 0xFFFF for w <= 0 and not a number.
inline __m128i depthOfFourW(__m128 w) {
    const __m128i bits = _mm_srli_epi32(_mm_castps_si128(w), 11);
    const __m128i value = _mm_sub_epi32(bits, _mm_set1_epi32((127 << 12) + 32768));
    const __m128i farthest = _mm_castps_si128(_mm_cmpgt_ps(w, _mm_setzero_ps()));
    return _mm_or_si128(_mm_and_si128(farthest, value),
                        _mm_andnot_si128(farthest, _mm_set1_epi32(32767)));
}

// Eight 32-bit lanes of 16.16 colour, as 0..255 in 16-bit lanes.
inline __m128i channelOfEight(__m128i low, __m128i high) {
    const __m128i v = _mm_packs_epi32(_mm_srai_epi32(low, 16), _mm_srai_epi32(high, 16));
    return _mm_min_epi16(_mm_max_epi16(v, _mm_setzero_si128()), _mm_set1_epi16(255));
}

// One channel of eight ARGB words at SHIFT, in 16-bit lanes.
inline __m128i texelChannel(__m128i low, __m128i high, int shift) {
    const __m128i mask = _mm_set1_epi32(255);
    const __m128i count = _mm_cvtsi32_si128(shift);
    return _mm_packs_epi32(_mm_and_si128(_mm_srl_epi32(low, count), mask),
                           _mm_and_si128(_mm_srl_epi32(high, count), mask));
}

// The colour and depth pixels of a group of up to eight fragments at AT,
// read and written eight at a time. The lanes past a short group's end are
// written back as they were read; only at the buffers' very end, where eight
// pixels would reach past them, does it work on copies, which finish()
// writes back.
struct Group {
    Pipeline& p;
    size_t at;
    int n;
    bool copied;
    uint16_t colourCopy[8], depthCopy[8]; // filled only when copied
    uint16_t* colour;
    uint16_t* depth;
    [[gnu::always_inline]] Group(Pipeline& pipeline, size_t from, int count)
        : p(pipeline), at(from), n(count), copied(at + 8 > p.pixels), colour(p.colour + at),
          depth(p.depth + at) {
        if (copied) {
            std::fill_n(colourCopy, 8, uint16_t(0));
            std::fill_n(depthCopy, 8, uint16_t(0));
            std::copy_n(colour, n, colourCopy);
            std::copy_n(depth, n, depthCopy);
            colour = colourCopy, depth = depthCopy;
        }
    }
    // All ones in the lanes of the group's fragments.
    [[gnu::always_inline]] __m128i lanes() const {
        return _mm_cmplt_epi16(_mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7), _mm_set1_epi16(int16_t(n)));
    }
    [[gnu::always_inline]] void finish(WideBlend blend, const Eight& e) {
        p.written += uint64_t(finishEight(p, blend, e, colour, depth));
        if (copied) {
            std::copy_n(colourCopy, n, p.colour + at);
            std::copy_n(depthCopy, n, p.depth + at);
        }
    }
};

// The span eight fragments at a time for the states finishEight() covers:
// the perspective division, the depth, its bias and test, the iterated
// colour in SSE2 lanes; the texels of the fragments that passed one by one
// (none for a texture of one colour). Every fragment gets what shade() gives.
template <bool Textured, bool DepthTest>
void drawSpanWide(Pipeline& p, const Plane* planes, int y, int x0, int x1) {
    const RenderState& s = *p.state;
    const Sampler& sm = p.sampler;
    const WideBlend blend = wideBlendOf(p);
    const size_t row = size_t(y) * size_t(p.pitch);
    int32_t fixed[4], step[4];
    spanColourSteps(planes, y, x0, x1, fixed, step);
    __m128i colourLow[4], colourHigh[4], colourStep[4];
    for (int c = 0; c < 4; ++c) {
        // A step may be as large as a one-pixel span allows: the lanes past
        // the span's end then wrap, as the SSE2 sums do, and are never drawn.
        const uint32_t f = uint32_t(fixed[c]), d = uint32_t(step[c]);
        colourLow[c] =
            _mm_setr_epi32(int32_t(f), int32_t(f + d), int32_t(f + 2 * d), int32_t(f + 3 * d));
        colourHigh[c] = _mm_add_epi32(colourLow[c], _mm_set1_epi32(int32_t(4 * d)));
        colourStep[c] = _mm_set1_epi32(int32_t(8 * d));
    }
    const __m128 oowRow = _mm_set1_ps(planes[Oow].at(0, y)), oowDx = _mm_set1_ps(planes[Oow].dx);
    const __m128 sowRow = _mm_set1_ps(planes[Sow].at(0, y)), sowDx = _mm_set1_ps(planes[Sow].dx);
    const __m128 towRow = _mm_set1_ps(planes[Tow].at(0, y)), towDx = _mm_set1_ps(planes[Tow].dx);
    const bool needDepth = DepthTest || p.depthWrite;
    const bool fetch = Textured && !sm.uniform;
    const bool shortcut565 = fetch && bilinear565Only(sm);
    const bool iteratedColour =
        s.colour == ColourSource::Iterated || s.colour == ColourSource::TextureTimesIterated;
    const bool iteratedAlpha =
        s.alpha == AlphaSource::Iterated || s.alpha == AlphaSource::TextureTimesIterated;
    const __m128i sign = _mm_set1_epi16(int16_t(0x8000));
    const __m128i biasUp = _mm_set1_epi16(int16_t(std::max<int>(s.depthBias, 0)));
    const __m128i biasDown = _mm_set1_epi16(int16_t(std::max<int>(-s.depthBias, 0)));
    Eight e{};
    if (Textured && !fetch) {
        const uint32_t t = sm.uniformColour;
        e.tr = _mm_set1_epi16(int16_t(t >> 16 & 255)), e.tg = _mm_set1_epi16(int16_t(t >> 8 & 255));
        e.tb = _mm_set1_epi16(int16_t(t & 255)), e.ta = _mm_set1_epi16(int16_t(t >> 24));
    }
    alignas(16) float sv[8], tv[8], wv[8];
    alignas(16) uint32_t texel[8];
    alignas(16) uint16_t liveLanes[8];
    Quads565 quads;
    for (int from = x0; from < x1; from += 8) {
        const int n = std::min(8, x1 - from);
        const size_t at = row + size_t(from);
        const __m128 fxLow = _mm_cvtepi32_ps(_mm_setr_epi32(from, from + 1, from + 2, from + 3));
        const __m128 fxHigh = _mm_add_ps(fxLow, _mm_set1_ps(4));
        const __m128 oowLow = _mm_add_ps(oowRow, _mm_mul_ps(oowDx, fxLow));
        const __m128 oowHigh = _mm_add_ps(oowRow, _mm_mul_ps(oowDx, fxHigh));
        const __m128 one = _mm_set1_ps(1);
        const __m128 wLow = _mm_div_ps(one, oowLow), wHigh = _mm_div_ps(one, oowHigh);
        Group group(p, at, n);
        e.live = group.lanes();
        e.depth = _mm_setzero_si128();
        if (needDepth) {
            const __m128i d =
                _mm_xor_si128(_mm_packs_epi32(depthOfFourW(wLow), depthOfFourW(wHigh)), sign);
            e.depth = _mm_subs_epu16(_mm_adds_epu16(d, biasUp), biasDown);
        } else {
            e.depth = _mm_subs_epu16(_mm_adds_epu16(e.depth, biasUp), biasDown);
        }
        if (DepthTest) {
            const __m128i stored = _mm_loadu_si128(reinterpret_cast<const __m128i*>(group.depth));
            e.live = _mm_and_si128(e.live,
                                   wide::compareMask(s.depthFunction, _mm_xor_si128(e.depth, sign),
                                                     _mm_xor_si128(stored, sign)));
        }
        // Only the iterated channels that the combine takes.
        if (iteratedColour) {
            e.r = channelOfEight(colourLow[0], colourHigh[0]);
            e.g = channelOfEight(colourLow[1], colourHigh[1]);
            e.b = channelOfEight(colourLow[2], colourHigh[2]);
        }
        if (iteratedAlpha) e.a = channelOfEight(colourLow[3], colourHigh[3]);
        for (int c = iteratedColour ? 0 : 3; c < (iteratedAlpha ? 4 : 3); ++c) {
            colourLow[c] = _mm_add_epi32(colourLow[c], colourStep[c]);
            colourHigh[c] = _mm_add_epi32(colourHigh[c], colourStep[c]);
        }
        if (_mm_movemask_epi8(e.live) == 0) continue;
        if (fetch) {
            _mm_store_ps(wv, wLow), _mm_store_ps(wv + 4, wHigh);
            _mm_store_ps(sv, _mm_mul_ps(_mm_add_ps(sowRow, _mm_mul_ps(sowDx, fxLow)), wLow));
            _mm_store_ps(sv + 4, _mm_mul_ps(_mm_add_ps(sowRow, _mm_mul_ps(sowDx, fxHigh)), wHigh));
            _mm_store_ps(tv, _mm_mul_ps(_mm_add_ps(towRow, _mm_mul_ps(towDx, fxLow)), wLow));
            _mm_store_ps(tv + 4, _mm_mul_ps(_mm_add_ps(towRow, _mm_mul_ps(towDx, fxHigh)), wHigh));
            _mm_store_si128(reinterpret_cast<__m128i*>(liveLanes), e.live);
            if (sm.kind == TexelKind::Rgb565) {
                gatherEight565(p, sv, tv, wv, liveLanes, quads);
                filterEight565(quads, e.tr, e.tg, e.tb);
                e.ta = _mm_set1_epi16(255);
            } else {
                for (int i = 0; i < 8; ++i)
                    texel[i] = !liveLanes[i] ? 0
                               : shortcut565 ? sample<true>(p, sv[i], tv[i], wv[i])
                                             : sample<false>(p, sv[i], tv[i], wv[i]);
                const __m128i low = _mm_load_si128(reinterpret_cast<const __m128i*>(texel));
                const __m128i high = _mm_load_si128(reinterpret_cast<const __m128i*>(texel + 4));
                e.tr = texelChannel(low, high, 16), e.tg = texelChannel(low, high, 8);
                e.tb = texelChannel(low, high, 0), e.ta = texelChannel(low, high, 24);
            }
        }
        group.finish(blend, e);
    }
}

// The span of a triangle whose colour, alpha and 1/w are the same all over
// and that fetches no texel (untextured, or a texture of one colour), as
// the full-screen overlay is: every fragment is the same but for its pixel,
// so the fragment is made once and only the depth test, the blend and the
// writes run eight pixels at a time. Every fragment gets what shade() gives.
template <bool DepthTest>
void drawSpanFlat(Pipeline& p, const Plane* planes, int y, int x0, int x1) {
    const RenderState& s = *p.state;
    const Sampler& sm = p.sampler;
    const WideBlend blend = wideBlendOf(p);
    const size_t row = size_t(y) * size_t(p.pitch);
    int32_t fixed[4], step[4];
    spanColourSteps(planes, y, x0, x1, fixed, step);
    Eight e{};
    e.r = _mm_set1_epi16(int16_t(std::clamp(fixed[0] >> 16, 0, 255)));
    e.g = _mm_set1_epi16(int16_t(std::clamp(fixed[1] >> 16, 0, 255)));
    e.b = _mm_set1_epi16(int16_t(std::clamp(fixed[2] >> 16, 0, 255)));
    e.a = _mm_set1_epi16(int16_t(std::clamp(fixed[3] >> 16, 0, 255)));
    if (p.textured) {
        const uint32_t t = sm.uniformColour;
        e.tr = _mm_set1_epi16(int16_t(t >> 16 & 255)), e.tg = _mm_set1_epi16(int16_t(t >> 8 & 255));
        e.tb = _mm_set1_epi16(int16_t(t & 255)), e.ta = _mm_set1_epi16(int16_t(t >> 24));
    }
    // The same sums as the eight-wide span's first lane.
    const __m128 oow = _mm_add_ps(_mm_set1_ps(planes[Oow].at(0, y)),
                                  _mm_mul_ps(_mm_set1_ps(planes[Oow].dx), _mm_set1_ps(float(x0))));
    const __m128i sign = _mm_set1_epi16(int16_t(0x8000));
    const __m128i biasUp = _mm_set1_epi16(int16_t(std::max<int>(s.depthBias, 0)));
    const __m128i biasDown = _mm_set1_epi16(int16_t(std::max<int>(-s.depthBias, 0)));
    __m128i depth = _mm_setzero_si128();
    if (DepthTest || p.depthWrite) {
        const __m128i d = depthOfFourW(_mm_div_ps(_mm_set1_ps(1), oow));
        depth = _mm_xor_si128(_mm_packs_epi32(d, d), sign);
    }
    e.depth = _mm_subs_epu16(_mm_adds_epu16(depth, biasUp), biasDown);
    const __m128i signedDepth = _mm_xor_si128(e.depth, sign);
    for (int from = x0; from < x1; from += 8) {
        const int n = std::min(8, x1 - from);
        const size_t at = row + size_t(from);
        Group group(p, at, n);
        e.live = group.lanes();
        if (DepthTest) {
            const __m128i stored = _mm_loadu_si128(reinterpret_cast<const __m128i*>(group.depth));
            e.live = _mm_and_si128(e.live, wide::compareMask(s.depthFunction, signedDepth,
                                                             _mm_xor_si128(stored, sign)));
            if (_mm_movemask_epi8(e.live) == 0) continue;
        }
        group.finish(blend, e);
    }
}

#endif

// The span of a triangle in stages over runs of pixels, each stage a loop of
// its own: the perspective division, the depth and its test, the texels of
// the fragments that passed (none to fetch for a texture of one colour),
// then the rest of each fragment. Every fragment gets what shade() gives it.
template <bool Textured, bool DepthTest, bool Opaque>
void drawSpanInStages(Pipeline& p, const Plane* planes, int y, int x0, int x1) {
    const RenderState& s = *p.state;
    const Sampler& sm = p.sampler;
    const size_t row = size_t(y) * size_t(p.pitch);
    int32_t fixed[4], step[4];
    spanColourSteps(planes, y, x0, x1, fixed, step);
    const bool needDepth = DepthTest || p.fog || p.depthWrite;
    const bool fetch = Textured && !sm.uniform;
    const bool shortcut565 = fetch && bilinear565Only(sm);
    constexpr int run = 64;
    float oow[run], w[run], sv[run], tv[run];
    uint32_t depth[run], biased[run], texel[run];
    int iterated[4][run];
    bool live[run];
    for (int from = x0; from < x1; from += run) {
        const int count = std::min(run, x1 - from);
        const size_t at = row + size_t(from);
        perspectiveRun<Textured>(planes, y, from, count, oow, w, sv, tv);
        if (needDepth)
            for (int i = 0; i < count; ++i) {
                depth[i] = fragmentDepth<Textured>(Textured ? w[i] : 0.0f, oow[i]);
                biased[i] = biasedDepth(s, depth[i]);
            }
        else
            for (int i = 0; i < count; ++i) depth[i] = 0, biased[i] = biasedDepth(s, 0);
        if (DepthTest)
            for (int i = 0; i < count; ++i)
                live[i] = compare(s.depthFunction, biased[i], p.depth[at + size_t(i)]);
        else
            std::fill_n(live, count, true);
        if (!Textured)
            std::fill_n(texel, count, 0u);
        else if (!fetch)
            std::fill_n(texel, count, sm.uniformColour);
        else if (shortcut565)
            for (int i = 0; i < count; ++i)
                texel[i] = live[i] ? sample<true>(p, sv[i], tv[i], w[i]) : 0;
        else
            for (int i = 0; i < count; ++i)
                texel[i] = live[i] ? sample<false>(p, sv[i], tv[i], w[i]) : 0;
        for (int c = 0; c < 4; ++c)
            for (int i = 0; i < count; ++i) {
                iterated[c][i] = std::clamp(fixed[c] >> 16, 0, 255);
                fixed[c] += step[c];
            }
        for (int i = 0; i < count; ++i)
            if (live[i])
                finish<Opaque>(p, at + size_t(i), iterated[0][i], iterated[1][i], iterated[2][i],
                               iterated[3][i], texel[i], depth[i], biased[i]);
    }
}

template <bool Textured, bool DepthTest, bool Opaque>
void drawPoint(Pipeline& p, int x, int y, const Fragment& f) {
    shade<Textured, DepthTest, Opaque>(p, size_t(y) * size_t(p.pitch) + size_t(x), f);
}

constexpr SpanFn spanFns[8] = {drawSpan<false, false, false>, drawSpan<false, false, true>,
                               drawSpan<false, true, false>,  drawSpan<false, true, true>,
                               drawSpan<true, false, false>,  drawSpan<true, false, true>,
                               drawSpan<true, true, false>,   drawSpan<true, true, true>};
#if defined(__SSE2__)
constexpr SpanFn wideSpanFns[4] = {drawSpanWide<false, false>, drawSpanWide<false, true>,
                                   drawSpanWide<true, false>, drawSpanWide<true, true>};
#else
constexpr SpanFn wideSpanFns[4] = {drawSpan<false, false, false>, drawSpan<false, true, false>,
                                   drawSpan<true, false, false>, drawSpan<true, true, false>};
#endif

// Whether a plane has one value over the whole triangle.
bool flat(const Plane& pl) {
    return pl.dx == 0 && pl.dy == 0;
}
constexpr SpanFn stagedSpanFns[8] = {
    drawSpanInStages<false, false, false>, drawSpanInStages<false, false, true>,
    drawSpanInStages<false, true, false>,  drawSpanInStages<false, true, true>,
    drawSpanInStages<true, false, false>,  drawSpanInStages<true, false, true>,
    drawSpanInStages<true, true, false>,   drawSpanInStages<true, true, true>};

using PointFn = void (*)(Pipeline&, int, int, const Fragment&);
constexpr PointFn pointFns[8] = {drawPoint<false, false, false>, drawPoint<false, false, true>,
                                 drawPoint<false, true, false>,  drawPoint<false, true, true>,
                                 drawPoint<true, false, false>,  drawPoint<true, false, true>,
                                 drawPoint<true, true, false>,   drawPoint<true, true, true>};

int variant(const Pipeline& p) {
    return (p.textured ? 4 : 0) | (p.depthTest ? 2 : 0) | (p.opaque ? 1 : 0);
}

float vertexValue(const GrVertex& v, int plane) {
    switch (plane) {
    case R: return v.r;
    case G: return v.g;
    case B: return v.b;
    case A: return v.a;
    case Oow: return v.oow;
    case Sow: return v.tmuvtx[0].sow;
    default: return v.tmuvtx[0].tow;
    }
}

bool usable(const GrVertex* v) {
    if (!v) return false;
    for (float f : {v->r, v->g, v->b, v->a, v->oow, v->tmuvtx[0].sow, v->tmuvtx[0].tow})
        if (!std::isfinite(f)) return false;
    return std::fabs(v->x) <= coordinateLimit && std::fabs(v->y) <= coordinateLimit;
}

} // namespace

extern "C" {

void grDrawTriangle(const GrVertex* va, const GrVertex* vb, const GrVertex* vc) {
    trace("grDrawTriangle", va, vb, vc);
    if (!ready() || !usable(va) || !usable(vb) || !usable(vc)) return;
    const GrVertex* v[3] = {va, vb, vc};
    int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = int64_t(std::nearbyint(v[i]->x * 16.0f));
        Y[i] = int64_t(std::nearbyint(v[i]->y * 16.0f));
    }
    int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0) return;
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
        area = -area;
    }
    const Edge edges[3] = {makeEdge(X[0], Y[0], X[1], Y[1]), makeEdge(X[1], Y[1], X[2], Y[2]),
                           makeEdge(X[2], Y[2], X[0], Y[0])};

    // Plane equations over the snapped positions.
    const float x0 = float(X[0]) / 16, y0 = float(Y[0]) / 16;
    const float dx1 = float(X[1] - X[0]) / 16, dy1 = float(Y[1] - Y[0]) / 16;
    const float dx2 = float(X[2] - X[0]) / 16, dy2 = float(Y[2] - Y[0]) / 16;
    const float area2 = float(area) / 256;
    Plane planes[PlaneCount];
    for (int i = 0; i < PlaneCount; ++i) {
        const float a0 = vertexValue(*v[0], i);
        const float d1 = vertexValue(*v[1], i) - a0, d2 = vertexValue(*v[2], i) - a0;
        Plane& pl = planes[i];
        pl.dx = (d1 * dy2 - d2 * dy1) / area2;
        pl.dy = (d2 * dx1 - d1 * dx2) / area2;
        if (!std::isfinite(pl.dx) || !std::isfinite(pl.dy)) return;
        pl.atOrigin = a0 + pl.dx * (0.5f - x0) + pl.dy * (0.5f - y0);
    }

    Board& b = board();
    const RenderState& s = b.state;
    const int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    const int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
    // Pixel rows and columns whose centres lie within the corners' extent and
    // the clip (centre of pixel px: 16·px + 8).
    const int top = int(std::max<int64_t>(s.clipY0, -floorDiv(8 - minY, 16)));
    const int bottom = int(std::min<int64_t>(s.clipY1, floorDiv(maxY - 8, 16) + 1));
    const int left = int(std::max<int64_t>(s.clipX0, -floorDiv(8 - minX, 16)));
    const int right = int(std::min<int64_t>(s.clipX1, floorDiv(maxX - 8, 16) + 1));
    // No pixel centre inside (a far sprite smaller than a pixel, or all of it
    // clipped): the triangle counts as drawn, with nothing to resolve.
    if (top >= bottom || left >= right) {
        ++b.counters.triangles;
        return;
    }
    Pipeline p;
    preparePipeline(p);
    p.dSowDx = planes[Sow].dx, p.dTowDx = planes[Tow].dx, p.dOowDx = planes[Oow].dx;
    p.dSowDy = planes[Sow].dy, p.dTowDy = planes[Tow].dy, p.dOowDy = planes[Oow].dy;
    // The reference spans choose the level fragment by fragment.
    if (p.textured && !options().generalSpans)
        settleLevel(p, planes, X, Y, left, top, right, bottom);
    const bool wide = !options().generalSpans && wideBlendOf(p) != WideBlend::None;
    SpanFn span = options().generalSpans ? spanFns[variant(p)]
                  : wide                 ? wideSpanFns[variant(p) >> 1]
                                         : stagedSpanFns[variant(p)];
#if defined(__SSE2__)
    if (wide && (!p.textured || p.sampler.uniform) && flat(planes[R]) && flat(planes[G]) &&
        flat(planes[B]) && flat(planes[A]) && flat(planes[Oow]))
        span = p.depthTest ? drawSpanFlat<true> : drawSpanFlat<false>;
#endif
    for (int y = top; y < bottom; ++y) {
        int64_t from = left, to = right; // [from, to)
        for (const Edge& e : edges) {
            // a·px >= threshold − b·py − c
            const int64_t need = e.threshold - e.b * y - e.c;
            if (e.a > 0)
                from = std::max(from, -floorDiv(-need, e.a));
            else if (e.a < 0)
                to = std::min(to, floorDiv(need, e.a) + 1);
            else if (need > 0)
                to = from;
        }
        if (from < to) span(p, planes, y, int(from), int(to));
    }
    ++b.counters.triangles;
    b.counters.pixels += p.written;
}

// A one-pixel line: the pixels containing the points a + (b − a)·i/n for
// i = 0 .. n − 1, n the longer of the two extents rounded up; the end point
// itself is left to the next line.
void grDrawLine(const GrVertex* va, const GrVertex* vb) {
    trace("grDrawLine", va, vb);
    Pipeline p;
    if (!preparePipeline(p) || !usable(va) || !usable(vb)) return;
    const float dx = vb->x - va->x, dy = vb->y - va->y;
    const int n = int(std::ceil(std::max(std::fabs(dx), std::fabs(dy))));
    if (n == 0) return;
    const RenderState& s = board().state;
    const PointFn point = pointFns[variant(p)];
    auto mix = [](float a, float b, float t) { return a + (b - a) * t; };
    auto channel = [&](float a, float b, float t) {
        return int(std::clamp(std::floor(mix(a, b, t) + 0.5f), 0.0f, 255.0f));
    };
    // Only the steps near the clip window can land in it.
    float t0 = 0, t1 = 1;
    auto slab = [&](float from, float delta, float low, float high) {
        if (delta == 0) {
            if (from < low || from > high) t1 = -1;
            return;
        }
        float a = (low - from) / delta, b = (high - from) / delta;
        if (a > b) std::swap(a, b);
        t0 = std::max(t0, a);
        t1 = std::min(t1, b);
    };
    slab(va->x, dx, float(s.clipX0 - 1), float(s.clipX1 + 1));
    slab(va->y, dy, float(s.clipY0 - 1), float(s.clipY1 + 1));
    if (!(t0 <= t1)) return;
    const int first = std::max(0, int(t0 * float(n)) - 1);
    const int last = std::min(n, int(t1 * float(n)) + 2);
    for (int i = first; i < last; ++i) {
        const float t = float(i) / float(n);
        const float fx = std::floor(mix(va->x, vb->x, t)), fy = std::floor(mix(va->y, vb->y, t));
        if (fx < float(s.clipX0) || fx >= float(s.clipX1) || fy < float(s.clipY0) ||
            fy >= float(s.clipY1))
            continue;
        Fragment f;
        f.r = channel(va->r, vb->r, t);
        f.g = channel(va->g, vb->g, t);
        f.b = channel(va->b, vb->b, t);
        f.a = channel(va->a, vb->a, t);
        f.oow = mix(va->oow, vb->oow, t);
        f.w = 1.0f / f.oow;
        f.s = mix(va->tmuvtx[0].sow, vb->tmuvtx[0].sow, t) * f.w;
        f.t = mix(va->tmuvtx[0].tow, vb->tmuvtx[0].tow, t) * f.w;
        point(p, int(fx), int(fy), f);
    }
    Board& b = board();
    ++b.counters.lines;
    b.counters.pixels += p.written;
}

} // extern "C"
