// The end of the pipeline for eight fragments at once with SSE2: colour and
// alpha combine, alpha test, blend with the 5-6-5 buffer, pack and the masked
// writes of colour and depth. Every lane computes exactly what finish() does
// for one fragment; states it does not cover (fog, chroma key, blends other
// than the engine's four) stay with finish().
#pragma once

#include "umbrek/glide/fragment.h"

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
inline int finishEight(const Pipeline& p, WideBlend blend, const Eight& in, uint16_t* colour,
                       uint16_t* depth) {
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
    return __builtin_popcount(unsigned(_mm_movemask_epi8(mask))) / 2;
}

#endif

} // namespace umbrek::glide
