// The pipeline for eight fragments at once with SSE2: the level, texel
// coordinates and bilinear filter of 5-6-5 textures, then colour and alpha
// combine, alpha test, blend with the 5-6-5 buffer, pack and the masked
// writes of colour and depth. Every lane computes exactly what sample() and
// finish() give one fragment; states it does not cover (fog, chroma key,
// blends other than the five below) stay with finish(), and a build without
// SSE2 draws every span through it.
#pragma once

#include "umbrek/glide/fragment.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace umbrek::glide {

// The blends the eight-wide end covers.
enum class WideBlend : uint8_t { Opaque, Alpha, Additive, Multiply, AddBoth, None };

inline WideBlend wideBlendOf(const Pipeline& p) {
#if defined(__SSE2__)
    if (p.fog || p.chroma) return WideBlend::None;
    const uint8_t* f = p.state->blend;
    if (f[0] == GR_BLEND_ONE && f[1] == GR_BLEND_ZERO) return WideBlend::Opaque;
    if (f[0] == GR_BLEND_SRC_ALPHA && f[1] == GR_BLEND_ONE_MINUS_SRC_ALPHA) return WideBlend::Alpha;
    if (f[0] == GR_BLEND_SRC_ALPHA && f[1] == GR_BLEND_ONE) return WideBlend::Additive;
    if (f[0] == GR_BLEND_DST_COLOR && f[1] == GR_BLEND_ZERO) return WideBlend::Multiply;
    if (f[0] == GR_BLEND_ONE && f[1] == GR_BLEND_ONE) return WideBlend::AddBoth;
#else
    (void)p;
#endif
    return WideBlend::None;
}

#if defined(__SSE2__)

// The four texels (5-6-5) and the weights of eight fragments' samples, lane
// i the i-th fragment's; a point sample's texel weighs all, its neighbours
// nothing, so the filter gives it back unchanged. Kept in registers: lanes
// written one by one to memory and read back whole would wait on the stores.
struct Quads565 {
    __m128i t00, t10, t01, t11, fx, fy;
};

// The bilinear colour of eight 5-6-5 quads, as filter<Rgb565>() gives it:
// (Σ texel × weight + 32768) / 65536 per channel, the horizontal step in
// 16-bit lanes (at most 255 × 256), the vertical one in 32-bit lanes.
[[gnu::always_inline]] inline void filterEight565(const Quads565& q, __m128i& red, __m128i& green,
                                                  __m128i& blue) {
    const __m128i full = _mm_set1_epi16(256);
    const __m128i hx = q.fx, hy = q.fy;
    const __m128i gx = _mm_sub_epi16(full, hx), gy = _mm_sub_epi16(full, hy);
    struct Channels {
        __m128i r, g, b;
    };
    auto expand = [](__m128i t) {
        const __m128i r5 = _mm_srli_epi16(t, 11), b5 = _mm_and_si128(t, _mm_set1_epi16(31));
        const __m128i g6 = _mm_and_si128(_mm_srli_epi16(t, 5), _mm_set1_epi16(63));
        return Channels{_mm_or_si128(_mm_slli_epi16(r5, 3), _mm_srli_epi16(r5, 2)),
                        _mm_or_si128(_mm_slli_epi16(g6, 2), _mm_srli_epi16(g6, 4)),
                        _mm_or_si128(_mm_slli_epi16(b5, 3), _mm_srli_epi16(b5, 2))};
    };
    const Channels c00 = expand(q.t00), c10 = expand(q.t10);
    const Channels c01 = expand(q.t01), c11 = expand(q.t11);
    auto across = [&](__m128i left, __m128i right) {
        return _mm_add_epi16(_mm_mullo_epi16(left, gx), _mm_mullo_epi16(right, hx));
    };
    auto down = [&](__m128i top, __m128i bottom) {
        const __m128i tl = _mm_mullo_epi16(top, gy), th = _mm_mulhi_epu16(top, gy);
        const __m128i bl = _mm_mullo_epi16(bottom, hy), bh = _mm_mulhi_epu16(bottom, hy);
        const __m128i half = _mm_set1_epi32(32768);
        const __m128i low = _mm_add_epi32(
            _mm_add_epi32(_mm_unpacklo_epi16(tl, th), _mm_unpacklo_epi16(bl, bh)), half);
        const __m128i high = _mm_add_epi32(
            _mm_add_epi32(_mm_unpackhi_epi16(tl, th), _mm_unpackhi_epi16(bl, bh)), half);
        return _mm_packs_epi32(_mm_srli_epi32(low, 16), _mm_srli_epi32(high, 16));
    };
    red = down(across(c00.r, c10.r), across(c01.r, c11.r));
    green = down(across(c00.g, c10.g), across(c01.g, c11.g));
    blue = down(across(c00.b, c10.b), across(c01.b, c11.b));
}

// toFixed8() of four floats, lane by lane the same integers. The scalar form
// floors v + 2^31 after rounding it to a double, which moves a v within half
// a double step below an integer (2^-22 at and above 0, 2^-23 below) up to
// that integer; floats that fine lie only between -2 and 4, where the lanes
// make the same move.
[[gnu::always_inline]] inline __m128i toFixed8Four(__m128 v) {
    const __m128 limit = _mm_set1_ps(1073741824.0f);
    v = _mm_mul_ps(v, _mm_set1_ps(256.0f));
    v = _mm_max_ps(v, _mm_set1_ps(-1073741824.0f)); // NaN too
    v = _mm_min_ps(v, limit);
    const __m128i truncated = _mm_cvttps_epi32(v);
    __m128i floor =
        _mm_add_epi32(truncated, _mm_castps_si128(_mm_cmpgt_ps(_mm_cvtepi32_ps(truncated), v)));
    const __m128 near =
        _mm_and_ps(_mm_cmplt_ps(v, _mm_set1_ps(4.0f)), _mm_cmpgt_ps(v, _mm_set1_ps(-2.0f)));
    if (_mm_movemask_ps(near) == 0) return floor; // no lane where the double moves it
    const __m128 below = _mm_sub_ps(_mm_add_ps(_mm_cvtepi32_ps(floor), _mm_set1_ps(1.0f)), v);
    const __m128 positive = _mm_cmpge_ps(v, _mm_setzero_ps());
    const __m128 halfStep = _mm_or_ps(_mm_and_ps(positive, _mm_set1_ps(0x1p-22f)),
                                      _mm_andnot_ps(positive, _mm_set1_ps(0x1p-23f)));
    const __m128 moves = _mm_and_ps(_mm_cmple_ps(below, halfStep), near);
    return _mm_sub_epi32(floor, _mm_castps_si128(moves));
}

// chooseLevel() of four fragments: the level in 32-bit lanes and all ones
// in `bilinear` where the fragment filters bilinearly.
[[gnu::always_inline]] inline __m128i chooseLevelFour(const Pipeline& p, __m128 s, __m128 t,
                                                      __m128 w, __m128& bilinear) {
    const Sampler& sm = p.sampler;
    const __m128 minFilter = _mm_castsi128_ps(_mm_set1_epi32(sm.minBilinear ? -1 : 0));
    const __m128 magFilter = _mm_castsi128_ps(_mm_set1_epi32(sm.magBilinear ? -1 : 0));
    if (!sm.needLod) {
        bilinear = magFilter;
        return _mm_setzero_si128();
    }
    auto derivative = [&](float dTop, float dOow, __m128 coordinate) {
        const __m128 d =
            _mm_mul_ps(w, _mm_sub_ps(_mm_set1_ps(dTop), _mm_mul_ps(coordinate, _mm_set1_ps(dOow))));
        return _mm_andnot_ps(_mm_set1_ps(-0.0f), d);
    };
    const __m128 dsdx = derivative(p.dSowDx, p.dOowDx, s), dtdx = derivative(p.dTowDx, p.dOowDx, t);
    const __m128 dsdy = derivative(p.dSowDy, p.dOowDy, s), dtdy = derivative(p.dTowDy, p.dOowDy, t);
    // std::max(a, b) is b > a ? b : a, which _mm_max_ps(b, a) is, NaN too.
    const __m128 m = _mm_mul_ps(_mm_max_ps(_mm_max_ps(dtdy, dsdy), _mm_max_ps(dtdx, dsdx)),
                                _mm_set1_ps(sm.lodScale));
    const __m128 minified = _mm_cmpgt_ps(m, _mm_set1_ps(1.0f));
    bilinear = _mm_or_ps(_mm_and_ps(minified, minFilter), _mm_andnot_ps(minified, magFilter));
    if (!sm.mipmapped) return _mm_setzero_si128();
    const __m128 q = _mm_min_ps(_mm_set1_ps(65536.0f), _mm_mul_ps(m, _mm_set1_ps(1.41421356f)));
    const __m128i lambda =
        _mm_sub_epi32(_mm_srli_epi32(_mm_castps_si128(q), 23), _mm_set1_epi32(127));
    const __m128i packed = _mm_packs_epi32(lambda, lambda);
    const __m128i clamped = _mm_min_epi16(_mm_max_epi16(packed, _mm_setzero_si128()),
                                          _mm_set1_epi16(int16_t(sm.levelCount - 1)));
    const __m128i level = _mm_srai_epi32(_mm_unpacklo_epi16(clamped, clamped), 16);
    return _mm_and_si128(level, _mm_castps_si128(minified));
}

// Four texels at the byte offsets LEFT of a 5-6-5 level, each with its right
// neighbour (at RIGHT) in the high half of its lane: one load where the row
// does not wrap between them. A point sample's neighbour weighs 0.
[[gnu::always_inline]] inline __m128i texelPairs(const Level& l, const int32_t* left,
                                                 const int32_t* right) {
    const int32_t lastPair = int32_t(l.rowBytes) - 4, rowMask = int32_t(l.rowBytes) - 1;
    auto lane = [&](int k) {
        uint32_t both;
        if ((left[k] & rowMask) <= lastPair) {
            std::memcpy(&both, l.texels + left[k], 4); // little-endian, as texture memory holds it
        } else {
            uint16_t a, b;
            std::memcpy(&a, l.texels + left[k], 2);
            std::memcpy(&b, l.texels + right[k], 2);
            both = uint32_t(a) | uint32_t(b) << 16;
        }
        return _mm_cvtsi32_si128(int32_t(both));
    };
    // Built in registers: lanes stored one by one and read back whole would
    // wait on the stores.
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(lane(0), lane(1)),
                              _mm_unpacklo_epi32(lane(2), lane(3)));
}

// The 2x2 blocks of four lanes' samples, two lanes' blocks in each (t00,
// t10, t01, t11 of one lane, then of the next), and their weights (in the
// low half).
struct Four565 {
    __m128i blocks01, blocks23, fx, fy;
};

// Four lanes' blocks from their rows' texel pairs (the left texel low).
[[gnu::always_inline]] inline void blocksOfPairs(Four565& out, __m128i row0, __m128i row1) {
    out.blocks01 = _mm_unpacklo_epi32(row0, row1);
    out.blocks23 = _mm_unpackhi_epi32(row0, row1);
}

// The samples of the live ones of four fragments (s, t and w in arrays) of a
// 5-6-5 texture: the level, filter, texels and weights that sample() takes.
[[gnu::always_inline]] inline Four565 gatherFour565(const Pipeline& p, const float* s,
                                                    const float* t, const float* w,
                                                    const uint16_t* live) {
    const Sampler& sm = p.sampler;
    Four565 out;
    alignas(16) int32_t level[4] = {};
    const __m128 sv = _mm_load_ps(s), tv = _mm_load_ps(t);
    __m128 filter, scale;
    const Level* one = nullptr; // the level of all four, if one
    if (!sm.needLod) {
        // The largest level and the magnification filter for every fragment.
        one = &sm.levels[0];
        filter = _mm_castsi128_ps(_mm_set1_epi32(sm.magBilinear ? -1 : 0));
        scale = _mm_set1_ps(one->scale);
    } else {
        _mm_store_si128(reinterpret_cast<__m128i*>(level),
                        chooseLevelFour(p, sv, tv, _mm_load_ps(w), filter));
        scale = _mm_setr_ps(sm.levels[level[0]].scale, sm.levels[level[1]].scale,
                            sm.levels[level[2]].scale, sm.levels[level[3]].scale);
        const __m128i sameLevel =
            _mm_cmpeq_epi32(_mm_castps_si128(scale), _mm_shuffle_epi32(_mm_castps_si128(scale), 0));
        if (_mm_movemask_epi8(sameLevel) == 0xFFFF) one = &sm.levels[level[0]];
    }
    const __m128 offset = _mm_and_ps(filter, _mm_set1_ps(0.5f));
    const __m128i uf = toFixed8Four(_mm_sub_ps(_mm_mul_ps(sv, scale), offset));
    const __m128i vf = toFixed8Four(_mm_sub_ps(_mm_mul_ps(tv, scale), offset));
    if (one) {
        // One level for the four: the texel offsets in lanes too (the
        // sizes are powers of two), every one inside the level, so the
        // loads need no test; a point sample takes its texel four times.
        const Level& l = *one;
        const __m128i xMask = _mm_set1_epi32(l.width - 1), yMask = _mm_set1_epi32(l.height - 1);
        const __m128i one = _mm_set1_epi32(1);
        const __m128i bilinearLanes = _mm_castps_si128(filter);
        const __m128i x0 = _mm_and_si128(_mm_srai_epi32(uf, 8), xMask);
        const __m128i y0 = _mm_and_si128(_mm_srai_epi32(vf, 8), yMask);
        const __m128i x1 =
            _mm_and_si128(_mm_add_epi32(x0, _mm_and_si128(one, bilinearLanes)), xMask);
        const __m128i y1 =
            _mm_and_si128(_mm_add_epi32(y0, _mm_and_si128(one, bilinearLanes)), yMask);
        auto weights = [&](__m128i fixed) {
            const __m128i w =
                _mm_and_si128(_mm_and_si128(fixed, _mm_set1_epi32(255)), bilinearLanes);
            return _mm_packs_epi32(w, w);
        };
        out.fx = weights(uf), out.fy = weights(vf);
        if (l.quads) {
            // The block of each texel is one word: only its index is needed.
            const __m128i widthShift = _mm_cvtsi32_si128(std::countr_zero(uint32_t(l.width)));
            alignas(16) int32_t at[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(at),
                            _mm_add_epi32(_mm_sll_epi32(y0, widthShift), x0));
            auto block = [&](int k) {
                return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(l.quads + at[k]));
            };
            out.blocks01 = _mm_unpacklo_epi64(block(0), block(1));
            out.blocks23 = _mm_unpacklo_epi64(block(2), block(3));
            return out;
        }
        const __m128i rowShift = _mm_cvtsi32_si128(std::countr_zero(uint32_t(l.rowBytes)));
        const __m128i row0Lanes = _mm_sll_epi32(y0, rowShift);
        const __m128i row1Lanes = _mm_sll_epi32(y1, rowShift);
        alignas(16) int32_t offsets[4][4];
        auto put = [&](int which, __m128i row, __m128i x) {
            _mm_store_si128(reinterpret_cast<__m128i*>(offsets[which]),
                            _mm_add_epi32(row, _mm_slli_epi32(x, 1)));
        };
        put(0, row0Lanes, x0), put(1, row0Lanes, x1), put(2, row1Lanes, x0);
        put(3, row1Lanes, x1);
        blocksOfPairs(out, texelPairs(l, offsets[0], offsets[1]),
                      texelPairs(l, offsets[2], offsets[3]));
        return out;
    }
    alignas(16) int32_t u[4], v[4], bilinear[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(u), uf);
    _mm_store_si128(reinterpret_cast<__m128i*>(v), vf);
    _mm_store_si128(reinterpret_cast<__m128i*>(bilinear), _mm_castps_si128(filter));
    auto at = [](const uint8_t* row, int x) { return uint32_t(row[2 * x] | row[2 * x + 1] << 8); };
    uint32_t top[4] = {}, bottom[4] = {};
    int16_t wx[4] = {}, wy[4] = {};
    for (int k = 0; k < 4; ++k) {
        if (!live[k]) continue;
        const Level& l = sm.levels[level[k]];
        const int x0 = (u[k] >> 8) & (l.width - 1), y0 = (v[k] >> 8) & (l.height - 1);
        const uint8_t* r0 = l.texels + size_t(y0) * l.rowBytes;
        if (!bilinear[k]) {
            top[k] = bottom[k] = at(r0, x0) * 0x10001u;
            continue;
        }
        const int x1 = (x0 + 1) & (l.width - 1), y1 = (y0 + 1) & (l.height - 1);
        const uint8_t* r1 = l.texels + size_t(y1) * l.rowBytes;
        top[k] = at(r0, x0) | at(r0, x1) << 16;
        bottom[k] = at(r1, x0) | at(r1, x1) << 16;
        wx[k] = int16_t(u[k] & 255), wy[k] = int16_t(v[k] & 255);
    }
    blocksOfPairs(
        out, _mm_setr_epi32(int32_t(top[0]), int32_t(top[1]), int32_t(top[2]), int32_t(top[3])),
        _mm_setr_epi32(int32_t(bottom[0]), int32_t(bottom[1]), int32_t(bottom[2]),
                       int32_t(bottom[3])));
    out.fx = _mm_setr_epi16(wx[0], wx[1], wx[2], wx[3], 0, 0, 0, 0);
    out.fy = _mm_setr_epi16(wy[0], wy[1], wy[2], wy[3], 0, 0, 0, 0);
    return out;
}

// The quads of the live lanes of eight fragments, four lanes at a time, then
// the blocks turned into one register per corner.
[[gnu::always_inline]] inline void gatherEight565(const Pipeline& p, const float* s, const float* t,
                                                  const float* w, const uint16_t* live,
                                                  Quads565& q) {
    const Four565 a = gatherFour565(p, s, t, w, live);
    const Four565 b = gatherFour565(p, s + 4, t + 4, w + 4, live + 4);
    // Lanes 0, 2 | 1, 3 | 4, 6 | 5, 7 interleaved, then 0-3 and 4-7 of each
    // corner side by side.
    const __m128i lanes02 = _mm_unpacklo_epi16(a.blocks01, a.blocks23);
    const __m128i lanes13 = _mm_unpackhi_epi16(a.blocks01, a.blocks23);
    const __m128i lanes46 = _mm_unpacklo_epi16(b.blocks01, b.blocks23);
    const __m128i lanes57 = _mm_unpackhi_epi16(b.blocks01, b.blocks23);
    const __m128i top = _mm_unpacklo_epi16(lanes02, lanes13);
    const __m128i bottom = _mm_unpackhi_epi16(lanes02, lanes13);
    const __m128i top4 = _mm_unpacklo_epi16(lanes46, lanes57);
    const __m128i bottom4 = _mm_unpackhi_epi16(lanes46, lanes57);
    q.t00 = _mm_unpacklo_epi64(top, top4), q.t10 = _mm_unpackhi_epi64(top, top4);
    q.t01 = _mm_unpacklo_epi64(bottom, bottom4), q.t11 = _mm_unpackhi_epi64(bottom, bottom4);
    q.fx = _mm_unpacklo_epi64(a.fx, b.fx);
    q.fy = _mm_unpacklo_epi64(a.fy, b.fy);
}

#endif

#if defined(__SSE2__)

namespace wide {

// a × b / 255 rounded to nearest, as mul8().
inline __m128i mul8(__m128i a, __m128i b) {
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// x / 255 rounded down for x below 65535.
inline __m128i div255(__m128i x) {
    const __m128i t = _mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8));
    return _mm_srli_epi16(t, 8);
}

inline __m128i min255(__m128i x) {
    return _mm_min_epi16(x, _mm_set1_epi16(255));
}

// The lanes where compare(function, value, reference) holds; values below 32768.
inline __m128i compareMask(int function, __m128i value, __m128i reference) {
    const __m128i lt = _mm_cmplt_epi16(value, reference), eq = _mm_cmpeq_epi16(value, reference);
    const __m128i all = _mm_set1_epi16(-1);
    switch (function) {
    case GR_CMP_NEVER: return _mm_setzero_si128();
    case GR_CMP_LESS: return lt;
    case GR_CMP_EQUAL: return eq;
    case GR_CMP_LEQUAL: return _mm_or_si128(lt, eq);
    case GR_CMP_GREATER: return _mm_xor_si128(_mm_or_si128(lt, eq), all);
    case GR_CMP_NOTEQUAL: return _mm_xor_si128(eq, all);
    case GR_CMP_GEQUAL: return _mm_xor_si128(lt, all);
    default: return all;
    }
}

inline __m128i select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

} // namespace wide

// Eight fragments, lane i the i-th: iterated colour and alpha (0..255),
// the texel's channels, the depth after the bias, and all ones in `live`
// for a fragment that passed the depth test.
struct Eight {
    __m128i r, g, b, a, tr, tg, tb, ta, depth, live;
};

// Finishes eight fragments over the colour and depth pixels at `colour` and
// `depth` (eight each, read and written whole); returns how many were
// written.
[[gnu::always_inline]] inline int finishEight(const Pipeline& p, WideBlend blend, const Eight& in,
                                              uint16_t* colour, uint16_t* depth) {
    using namespace wide;
    const RenderState& s = *p.state;
    __m128i r = in.r, g = in.g, b = in.b, a = in.a;
    const __m128i tr = in.tr, tg = in.tg, tb = in.tb, ta = in.ta;
    switch (s.colour) {
    case ColourSource::Constant:
        r = _mm_set1_epi16(int16_t(p.constR)), g = _mm_set1_epi16(int16_t(p.constG));
        b = _mm_set1_epi16(int16_t(p.constB));
        break;
    case ColourSource::Iterated: break;
    case ColourSource::Texture: r = tr, g = tg, b = tb; break;
    case ColourSource::TextureTimesIterated:
        r = mul8(tr, r), g = mul8(tg, g), b = mul8(tb, b);
        break;
    }
    switch (s.alpha) {
    case AlphaSource::Constant: a = _mm_set1_epi16(int16_t(p.constA)); break;
    case AlphaSource::Iterated: break;
    case AlphaSource::Texture: a = ta; break;
    case AlphaSource::TextureTimesIterated: a = mul8(ta, a); break;
    }
    __m128i mask = in.live;
    if (p.alphaTest)
        mask = _mm_and_si128(
            mask, compareMask(s.alphaFunction, a, _mm_set1_epi16(int16_t(s.alphaReference))));
    if (_mm_movemask_epi8(mask) == 0) return 0;
    __m128i* colourAt = reinterpret_cast<__m128i*>(colour);
    const __m128i old = _mm_loadu_si128(colourAt);
    if (blend != WideBlend::Opaque) {
        const __m128i r5 = _mm_srli_epi16(old, 11), b5 = _mm_and_si128(old, _mm_set1_epi16(31));
        const __m128i g6 = _mm_and_si128(_mm_srli_epi16(old, 5), _mm_set1_epi16(63));
        const __m128i dr = _mm_or_si128(_mm_slli_epi16(r5, 3), _mm_srli_epi16(r5, 2));
        const __m128i dg = _mm_or_si128(_mm_slli_epi16(g6, 2), _mm_srli_epi16(g6, 4));
        const __m128i db = _mm_or_si128(_mm_slli_epi16(b5, 3), _mm_srli_epi16(b5, 2));
        const __m128i half = _mm_set1_epi16(127);
        switch (blend) {
        case WideBlend::Alpha: {
            const __m128i rest = _mm_sub_epi16(_mm_set1_epi16(255), a);
            auto mix = [&](__m128i src, __m128i dst) {
                return div255(_mm_add_epi16(
                    _mm_add_epi16(_mm_mullo_epi16(src, a), _mm_mullo_epi16(dst, rest)), half));
            };
            r = mix(r, dr), g = mix(g, dg), b = mix(b, db);
            break;
        }
        case WideBlend::Additive: {
            // (src·a + dst·255 + 127) / 255 = dst + (src·a + 127) / 255.
            auto add = [&](__m128i src, __m128i dst) {
                return min255(
                    _mm_add_epi16(dst, div255(_mm_add_epi16(_mm_mullo_epi16(src, a), half))));
            };
            r = add(r, dr), g = add(g, dg), b = add(b, db);
            break;
        }
        case WideBlend::Multiply: {
            auto times = [&](__m128i src, __m128i dst) {
                return div255(_mm_add_epi16(_mm_mullo_epi16(src, dst), half));
            };
            r = times(r, dr), g = times(g, dg), b = times(b, db);
            break;
        }
        default: // one and one: (src·255 + dst·255 + 127) / 255 = src + dst
            r = min255(_mm_add_epi16(r, dr)), g = min255(_mm_add_epi16(g, dg));
            b = min255(_mm_add_epi16(b, db));
            break;
        }
    }
    if (p.colourWrite) {
        const __m128i packed = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_srli_epi16(r, 3), 11),
                                                         _mm_slli_epi16(_mm_srli_epi16(g, 2), 5)),
                                            _mm_srli_epi16(b, 3));
        _mm_storeu_si128(colourAt, select(mask, packed, old));
    }
    if (p.depthWrite) {
        __m128i* depthAt = reinterpret_cast<__m128i*>(depth);
        _mm_storeu_si128(depthAt, select(mask, in.depth, _mm_loadu_si128(depthAt)));
    }
    // One bit per lane, counted without a library call (no popcnt in SSE2).
    unsigned lanes = unsigned(_mm_movemask_epi8(_mm_packs_epi16(mask, mask))) & 0xFF;
    lanes = lanes - (lanes >> 1 & 0x55);
    lanes = (lanes & 0x33) + (lanes >> 2 & 0x33);
    return int((lanes + (lanes >> 4)) & 0x0F);
}

#endif

} // namespace umbrek::glide
