// The per-fragment pipeline shared by triangles and lines: texture, colour and
// alpha combine, chroma key, alpha test, depth test, fog, blend and write.
#pragma once

#include "umbrek/glide/board.h"
#include "umbrek/glide/depth.h"
#include "umbrek/glide/texture.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace umbrek::glide {

// How a texel becomes ARGB: through the 256-entry lookup (with the alpha
// from the high byte for the 16-bit ones) or from its own bits.
enum class TexelKind : uint8_t { Lookup8, Lookup16, Rgb565, Argb1555, Argb4444 };

struct Level {
    const uint8_t* texels = nullptr; // inside texture memory, checked when prepared
    int width = 1, height = 1;
    size_t rowBytes = 1;
    // 5-6-5 levels on the eight-wide path: each texel's 2x2 block in one word.
    const uint64_t* quads = nullptr;
    float scale = 1; // texels per unit of s and t at this level: long side / 256
};

// The selected texture, resolved for one primitive.
struct Sampler {
    int32_t format = 0;
    TexelKind kind = TexelKind::Lookup8;
    // Filled for the lookup formats only: left unset, a primitive of another
    // format does not pay for clearing it.
    uint32_t lookup[256];
    Level levels[maxLevels];
    int levelCount = 0;
    bool mipmapped = false; // more than one level to choose from
    bool needLod = false;   // LOD needed for the level or the filter
    float lodScale = 1;     // largest level's texels per unit of s
    bool minBilinear = true, magBilinear = true;
    // Every texel of every level is the same: then every sample, whatever
    // the level and the filter, is that texel's colour (`uniformColour`).
    bool uniform = false;
    uint32_t uniformColour = 0;
};

// A fragment's iterated values.
struct Fragment {
    int r, g, b, a; // 0..255
    float oow;
    float w, s, t; // 1/oow and the texture coordinates divided by it (textured only)
};

// Everything a primitive needs, resolved from the state once.
struct Pipeline {
    const RenderState* state = nullptr;
    uint16_t* colour = nullptr; // the render buffer
    uint16_t* depth = nullptr;
    size_t pixels = 0; // in each of the two
    int pitch = 0;
    bool textured = false;
    bool depthTest = false;
    bool opaque = true;           // blend (1, 0): the destination is not read
    bool blendPerChannel = false; // a factor of the source or destination colour
    bool depthWrite = false;
    bool colourWrite = true;
    bool fog = false;
    bool chroma = false;
    bool alphaTest = false;
    uint32_t chromaKey = 0; // 0x00RRGGBB
    int constR = 0, constG = 0, constB = 0, constA = 0;
    int fogR = 0, fogG = 0, fogB = 0;
    Sampler sampler;
    // Screen-space derivatives of the texture planes, for the LOD; zero on lines.
    float dSowDx = 0, dTowDx = 0, dOowDx = 0, dSowDy = 0, dTowDy = 0, dOowDy = 0;
    uint64_t written = 0;
};

// Resolves the state into `p`; false when nothing can be drawn (no screen).
bool preparePipeline(Pipeline& p);

inline bool compare(int function, uint32_t value, uint32_t reference) {
    switch (function) {
    case GR_CMP_NEVER: return false;
    case GR_CMP_LESS: return value < reference;
    case GR_CMP_EQUAL: return value == reference;
    case GR_CMP_LEQUAL: return value <= reference;
    case GR_CMP_GREATER: return value > reference;
    case GR_CMP_NOTEQUAL: return value != reference;
    case GR_CMP_GEQUAL: return value >= reference;
    default: return true;
    }
}

// a × b / 255, rounded to nearest, exact for 8-bit values.
inline int mul8(int a, int b) {
    const int t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

// A float as 24.8 fixed point; absurd and NaN values are pinned so that the
// conversion stays defined (they sample some texel, never outside memory).
inline int32_t toFixed8(float v) {
    constexpr float limit = 1073741824.0f; // 2^30
    v *= 256.0f;
    v = v > -limit ? v : -limit; // NaN too
    v = v < limit ? v : limit;
    // Floor without a branch: truncation of a positive double is its floor.
    return int32_t(int64_t(double(v) + 2147483648.0) - 2147483648);
}

template <TexelKind Kind>
[[gnu::always_inline]] inline uint32_t texelAt(const Sampler& s, const uint8_t* row, int x) {
    if constexpr (Kind == TexelKind::Lookup8) {
        return s.lookup[row[x]];
    } else {
        const uint16_t t = uint16_t(row[2 * x] | row[2 * x + 1] << 8);
        if constexpr (Kind == TexelKind::Lookup16)
            return (s.lookup[t & 0xFF] & 0xFFFFFFu) | uint32_t(t >> 8) << 24;
        else if constexpr (Kind == TexelKind::Rgb565)
            return expand565(t);
        else if constexpr (Kind == TexelKind::Argb1555)
            return decodeDirect(GR_TEXFMT_ARGB_1555, t);
        else
            return decodeDirect(GR_TEXFMT_ARGB_4444, t);
    }
}

// Σ texel × weight / 65536, rounded, per channel; the weights sum to 65536.
// Two channels share a 64-bit product, a lane of 32 bits each.
[[gnu::always_inline]] inline uint32_t bilinear(uint32_t c00, uint32_t c10, uint32_t c01,
                                                uint32_t c11, int fx, int fy) {
    const uint64_t w00 = uint64_t((256 - fx) * (256 - fy)), w10 = uint64_t(fx * (256 - fy));
    const uint64_t w01 = uint64_t((256 - fx) * fy), w11 = uint64_t(fx * fy);
    auto low = [](uint32_t c) { return uint64_t(c & 0xFF) | uint64_t(c >> 8 & 0xFF) << 32; };
    auto high = [](uint32_t c) { return uint64_t(c >> 16 & 0xFF) | uint64_t(c >> 24) << 32; };
    constexpr uint64_t half = 32768 | uint64_t(32768) << 32;
    const uint64_t lo = low(c00) * w00 + low(c10) * w10 + low(c01) * w01 + low(c11) * w11 + half;
    const uint64_t hi =
        high(c00) * w00 + high(c10) * w10 + high(c01) * w01 + high(c11) * w11 + half;
    return uint32_t(lo >> 16 & 0xFF) | uint32_t(lo >> 48 & 0xFF) << 8 |
           uint32_t(hi >> 16 & 0xFF) << 16 | uint32_t(hi >> 48 & 0xFF) << 24;
}

// A 5-6-5 texel with its channels expanded to eight bits, red and blue in
// the 16-bit halves of one word, green in another: the sum of the high
// byte's part and the low byte's part, which share no bits (green takes its
// top three bits and their copy from the high byte, its low three from the
// low byte).
struct Spread565 {
    uint32_t redBlue, green;
};
struct Spread565Tables {
    Spread565 high[256], low[256];
    constexpr Spread565Tables() : high(), low() {
        for (uint32_t v = 0; v < 256; ++v) {
            const uint32_t green = v & 7;
            high[v] = {expand5(v >> 3), green << 5 | green >> 1};
            low[v] = {uint32_t(expand5(v & 31)) << 16, (v >> 5) << 2};
        }
    }
};
inline constexpr Spread565Tables spread565;

template <TexelKind K>
[[gnu::always_inline]] inline uint32_t filter(const Sampler& sm, const uint8_t* r0,
                                              const uint8_t* r1, int x0, int x1, int fx, int fy) {
    if constexpr (K == TexelKind::Rgb565) {
        // The same sums as bilinear(), straight from the 5-6-5 fields, taken
        // in two steps: Σ c·w = (c00·(256−fx) + c10·fx)·(256−fy) + (c01·(256−fx)
        // + c11·fx)·fy exactly. A first step's channel is at most 255·256, so
        // red and blue share its products in 32-bit words, which keeps the
        // arithmetic as cheap on the 32-bit build as on the 64-bit one.
        const uint32_t gx = uint32_t(256 - fx), hx = uint32_t(fx);
        const uint32_t gy = uint32_t(256 - fy), hy = uint32_t(fy);
        auto at = [](const uint8_t* row, int x) {
            const Spread565 h = spread565.high[row[2 * x + 1]], l = spread565.low[row[2 * x]];
            return Spread565{h.redBlue | l.redBlue, h.green | l.green};
        };
        const Spread565 t00 = at(r0, x0), t10 = at(r0, x1), t01 = at(r1, x0), t11 = at(r1, x1);
        const uint32_t rbTop = t00.redBlue * gx + t10.redBlue * hx;
        const uint32_t rbBottom = t01.redBlue * gx + t11.redBlue * hx;
        const uint32_t gTop = t00.green * gx + t10.green * hx;
        const uint32_t gBottom = t01.green * gx + t11.green * hx;
        const uint32_t r = (rbTop & 0xFFFF) * gy + (rbBottom & 0xFFFF) * hy + 32768;
        const uint32_t g = gTop * gy + gBottom * hy + 32768;
        const uint32_t b = (rbTop >> 16) * gy + (rbBottom >> 16) * hy + 32768;
        return argb(255, r >> 16, g >> 16, b >> 16);
    } else {
        return bilinear(texelAt<K>(sm, r0, x0), texelAt<K>(sm, r0, x1), texelAt<K>(sm, r1, x0),
                        texelAt<K>(sm, r1, x1), fx, fy);
    }
}

// The bilinear texel colour (ARGB) at s, t of one level.
template <TexelKind K>
[[gnu::always_inline]] inline uint32_t bilinearAt(const Sampler& sm, const Level& l, float s,
                                                  float t) {
    const int32_t u = toFixed8(s * l.scale - 0.5f), v = toFixed8(t * l.scale - 0.5f);
    const int x0 = (u >> 8) & (l.width - 1), y0 = (v >> 8) & (l.height - 1);
    const int x1 = (x0 + 1) & (l.width - 1), y1 = (y0 + 1) & (l.height - 1);
    const uint8_t* r0 = l.texels + size_t(y0) * l.rowBytes;
    const uint8_t* r1 = l.texels + size_t(y1) * l.rowBytes;
    return filter<K>(sm, r0, r1, x0, x1, u & 255, v & 255);
}

// Whether a primitive's texture is the common one that sample<true> serves:
// 5-6-5, bilinear, from the largest level whatever the LOD.
inline bool bilinear565Only(const Sampler& sm) {
    return sm.kind == TexelKind::Rgb565 && sm.magBilinear && !sm.needLod;
}

// The level a fragment samples and whether it filters bilinearly: the LOD
// from the larger screen-space derivative of s and t, when the sampler
// needs one.
struct LevelChoice {
    int level;
    bool bilinear;
};
[[gnu::always_inline]] inline LevelChoice chooseLevel(const Pipeline& p, float s, float t,
                                                      float w) {
    const Sampler& sm = p.sampler;
    LevelChoice c{0, sm.magBilinear};
    if (sm.needLod) {
        // The larger screen-space derivative of s and t, in largest-level texels.
        const float dsdx = w * (p.dSowDx - s * p.dOowDx), dtdx = w * (p.dTowDx - t * p.dOowDx);
        const float dsdy = w * (p.dSowDy - s * p.dOowDy), dtdy = w * (p.dTowDy - t * p.dOowDy);
        const float m = std::max(std::max(std::fabs(dsdx), std::fabs(dtdx)),
                                 std::max(std::fabs(dsdy), std::fabs(dtdy))) *
                        sm.lodScale;
        if (m > 1.0f) {
            c.bilinear = sm.minBilinear;
            if (sm.mipmapped) {
                // round(log2 m) is the exponent of m·√2.
                const float q = std::min(m * 1.41421356f, 65536.0f);
                const int lambda = int(std::bit_cast<uint32_t>(q) >> 23) - 127;
                c.level = std::clamp(lambda, 0, sm.levelCount - 1);
            }
        }
    }
    return c;
}

// The texel colour (ARGB) at s, t (already divided by w). Bilinear565: the
// sampler is known to be one of bilinear565Only(), so nothing is chosen per
// fragment.
template <bool Bilinear565 = false>
[[gnu::always_inline]] inline uint32_t sample(const Pipeline& p, float s, float t, float w) {
    const Sampler& sm = p.sampler;
    if constexpr (Bilinear565) return bilinearAt<TexelKind::Rgb565>(sm, sm.levels[0], s, t);
    const LevelChoice c = chooseLevel(p, s, t, w);
    const int level = c.level;
    const bool bilinearFilter = c.bilinear;
    const Level& l = sm.levels[level];
    if (!bilinearFilter) {
        const int32_t u = toFixed8(s * l.scale) >> 8, v = toFixed8(t * l.scale) >> 8;
        const uint8_t* row = l.texels + size_t(v & (l.height - 1)) * l.rowBytes;
        const int x = u & (l.width - 1);
        switch (sm.kind) {
        case TexelKind::Lookup8: return texelAt<TexelKind::Lookup8>(sm, row, x);
        case TexelKind::Lookup16: return texelAt<TexelKind::Lookup16>(sm, row, x);
        case TexelKind::Rgb565: return texelAt<TexelKind::Rgb565>(sm, row, x);
        case TexelKind::Argb1555: return texelAt<TexelKind::Argb1555>(sm, row, x);
        default: return texelAt<TexelKind::Argb4444>(sm, row, x);
        }
    }
    switch (sm.kind) {
    case TexelKind::Lookup8: return bilinearAt<TexelKind::Lookup8>(sm, l, s, t);
    case TexelKind::Lookup16: return bilinearAt<TexelKind::Lookup16>(sm, l, s, t);
    case TexelKind::Rgb565: return bilinearAt<TexelKind::Rgb565>(sm, l, s, t);
    case TexelKind::Argb1555: return bilinearAt<TexelKind::Argb1555>(sm, l, s, t);
    default: return bilinearAt<TexelKind::Argb4444>(sm, l, s, t);
    }
}

inline int blendFactor(int code, bool source, int srcAlpha, int srcChannel, int dstChannel) {
    switch (code) {
    case GR_BLEND_ZERO: return 0;
    case GR_BLEND_SRC_ALPHA: return srcAlpha;
    case GR_BLEND_DST_COLOR: return source ? dstChannel : srcChannel;
    case GR_BLEND_ONE_MINUS_SRC_ALPHA: return 255 - srcAlpha;
    case GR_BLEND_ONE_MINUS_DST_COLOR: return 255 - (source ? dstChannel : srcChannel);
    default: return 255; // one
    }
}

inline int blendChannel(const RenderState& s, int src, int dst, int alpha) {
    const int sf = blendFactor(s.blend[0], true, alpha, src, dst);
    const int df = blendFactor(s.blend[1], false, alpha, src, dst);
    return std::min(255, (src * sf + dst * df + 127) / 255);
}

// The depth value of a fragment, before the bias.
template <bool Textured>
[[gnu::always_inline]] inline uint32_t fragmentDepth(float w, float oow) {
    return Textured ? depthOfW(w) : depthOfOow(oow);
}

inline uint32_t biasedDepth(const RenderState& s, uint32_t depth) {
    return uint32_t(std::clamp(int(depth) + s.depthBias, 0, 0xFFFF));
}

// The rest of a fragment that passed the depth test, from its iterated
// colour and its texel (ARGB) on: combine, chroma key, alpha test, fog,
// blend and write.
template <bool Opaque>
[[gnu::always_inline]] inline void finish(Pipeline& p, size_t at, int r, int g, int b, int a,
                                          uint32_t texel, uint32_t depth, uint32_t biased) {
    const RenderState& s = *p.state;
    const int tr = int(texel >> 16 & 255), tg = int(texel >> 8 & 255), tb = int(texel & 255);
    const int ta = int(texel >> 24);
    switch (s.colour) {
    case ColourSource::Constant: r = p.constR, g = p.constG, b = p.constB; break;
    case ColourSource::Iterated: break;
    case ColourSource::Texture: r = tr, g = tg, b = tb; break;
    case ColourSource::TextureTimesIterated:
        r = mul8(tr, r), g = mul8(tg, g), b = mul8(tb, b);
        break;
    }
    switch (s.alpha) {
    case AlphaSource::Constant: a = p.constA; break;
    case AlphaSource::Iterated: break;
    case AlphaSource::Texture: a = ta; break;
    case AlphaSource::TextureTimesIterated: a = mul8(ta, a); break;
    }
    if (p.chroma && uint32_t(r << 16 | g << 8 | b) == p.chromaKey) return;
    if (p.alphaTest && !compare(s.alphaFunction, uint32_t(a), s.alphaReference)) return;
    if (p.fog) {
        const int k = s.fogTable[fogIndex(depth)];
        r = (r * (255 - k) + p.fogR * k + 127) / 255;
        g = (g * (255 - k) + p.fogG * k + 127) / 255;
        b = (b * (255 - k) + p.fogB * k + 127) / 255;
    }
    if (!Opaque) {
        const uint16_t d = p.colour[at];
        const int dr = expand5(d >> 11), dg = expand6(d >> 5 & 63), db = expand5(d & 31);
        if (p.blendPerChannel) {
            r = blendChannel(s, r, dr, a);
            g = blendChannel(s, g, dg, a);
            b = blendChannel(s, b, db, a);
        } else {
            // Factors of the source alpha or constants: the same for every channel.
            const int sf = blendFactor(s.blend[0], true, a, 0, 0);
            const int df = blendFactor(s.blend[1], false, a, 0, 0);
            r = std::min(255, (r * sf + dr * df + 127) / 255);
            g = std::min(255, (g * sf + dg * df + 127) / 255);
            b = std::min(255, (b * sf + db * df + 127) / 255);
        }
    }
    if (p.colourWrite) p.colour[at] = uint16_t((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
    if (p.depthWrite) p.depth[at] = uint16_t(biased);
    ++p.written;
}

// Runs one fragment at `at` (its colour pixel; the depth pixel at the same
// index of the depth buffer).
template <bool Textured, bool DepthTest, bool Opaque, bool Bilinear565 = false>
[[gnu::always_inline]] inline void shade(Pipeline& p, size_t at, const Fragment& f) {
    const RenderState& s = *p.state;
    uint32_t depth = 0;
    if (DepthTest || p.fog || p.depthWrite) depth = fragmentDepth<Textured>(f.w, f.oow);
    const uint32_t biased = biasedDepth(s, depth);
    if (DepthTest && !compare(s.depthFunction, biased, p.depth[at])) return;
    uint32_t texel = 0;
    if (Textured) texel = sample<Bilinear565>(p, f.s, f.t, f.w);
    finish<Opaque>(p, at, f.r, f.g, f.b, f.a, texel, depth, biased);
}

} // namespace umbrek::glide
