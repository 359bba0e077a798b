// Triangles and lines. Coverage is exact: vertices are snapped to 1/16 pixel,
// a pixel is covered when its centre is inside, and a centre on an edge
// belongs to the triangle only when the edge is a top or a left edge, so
// triangles sharing an edge cover each pixel once. Colour and alpha are
// iterated in 16.16 fixed point along a span; 1/w, s/w and t/w in floats.
#include "umbrek/glide/fragment.h"

#include <cmath>

using namespace umbrek::glide;

namespace umbrek::glide {

bool preparePipeline(Pipeline& p) {
    if (!ready()) return false;
    Board& b = board();
    const RenderState& s = b.state;
    p.state = &s;
    p.pitch = b.pitch;
    p.colour = b.colour[s.renderBuffer].data();
    p.depth = b.depth.data();
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
    sm.lodScale = sm.levels[0].scale;
    sm.mipmapped = layout.levels > 1 && s.mipMapMode != GR_MIPMAP_DISABLE;
    sm.minBilinear = s.minFilter == GR_TEXTUREFILTER_BILINEAR;
    sm.magBilinear = s.magFilter == GR_TEXTUREFILTER_BILINEAR;
    sm.needLod = sm.mipmapped || sm.minBilinear != sm.magBilinear;
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

template <bool Textured, bool DepthTest, bool Opaque, bool Bilinear565 = false>
void drawSpan(Pipeline& p, const Plane* planes, int y, int x0, int x1) {
    const size_t row = size_t(y) * size_t(p.pitch);
    // Colour in 16.16 along the span, pinned so that the steps stay in range.
    int32_t fixed[4], step[4];
    const float n = float(x1 - x0);
    for (int i = 0; i < 4; ++i) {
        // |start| and |n · step| stay within 2^13, so no sum leaves 2^30 in 16.16.
        const float start = std::clamp(planes[i].at(x0, y), -8192.0f, 8192.0f);
        const float limit = 8192.0f / std::max(n, 1.0f);
        const float dx = std::clamp(planes[i].dx, -limit, limit);
        fixed[i] = int32_t(std::lrint(start * 65536.0f)) + 0x8000;
        step[i] = int32_t(std::lrint(dx * 65536.0f));
    }
    const float oowRow = planes[Oow].at(0, y), sowRow = planes[Sow].at(0, y);
    const float towRow = planes[Tow].at(0, y);
    // The perspective division of a run of pixels first, in a loop of its
    // own that the compiler can vectorise, then the fragments.
    constexpr int run = 32;
    float oow[run], w[run], s[run], t[run];
    for (int from = x0; from < x1; from += run) {
        const int count = std::min(run, x1 - from);
        for (int i = 0; i < count; ++i) {
            const float fx = float(from + i);
            oow[i] = oowRow + planes[Oow].dx * fx;
            if (Textured) {
                w[i] = 1.0f / oow[i];
                s[i] = (sowRow + planes[Sow].dx * fx) * w[i];
                t[i] = (towRow + planes[Tow].dx * fx) * w[i];
            }
        }
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

template <bool Textured, bool DepthTest, bool Opaque>
void drawPoint(Pipeline& p, int x, int y, const Fragment& f) {
    shade<Textured, DepthTest, Opaque>(p, size_t(y) * size_t(p.pitch) + size_t(x), f);
}

constexpr SpanFn spanFns[8] = {drawSpan<false, false, false>, drawSpan<false, false, true>,
                               drawSpan<false, true, false>,  drawSpan<false, true, true>,
                               drawSpan<true, false, false>,  drawSpan<true, false, true>,
                               drawSpan<true, true, false>,   drawSpan<true, true, true>};
// The textured ones again for the common texture, which they sample without
// choosing the level, the filter or the format per fragment.
constexpr SpanFn bilinear565SpanFns[4] = {
    drawSpan<true, false, false, true>, drawSpan<true, false, true, true>,
    drawSpan<true, true, false, true>, drawSpan<true, true, true, true>};

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
    Pipeline p;
    if (!preparePipeline(p) || !usable(va) || !usable(vb) || !usable(vc)) return;
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
    p.dSowDx = planes[Sow].dx, p.dTowDx = planes[Tow].dx, p.dOowDx = planes[Oow].dx;
    p.dSowDy = planes[Sow].dy, p.dTowDy = planes[Tow].dy, p.dOowDy = planes[Oow].dy;

    const RenderState& s = board().state;
    const int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    const int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
    // Pixel rows and columns whose centres can lie inside, within the clip.
    const int top = int(std::max<int64_t>(s.clipY0, floorDiv(minY - 8, 16)));
    const int bottom = int(std::min<int64_t>(s.clipY1, floorDiv(maxY - 8, 16) + 1));
    const int left = int(std::max<int64_t>(s.clipX0, floorDiv(minX - 8, 16)));
    const int right = int(std::min<int64_t>(s.clipX1, floorDiv(maxX - 8, 16) + 1));
    const SpanFn span = p.textured && bilinear565Only(p.sampler) && !options().generalSpans
                            ? bilinear565SpanFns[variant(p) & 3]
                            : spanFns[variant(p)];
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
    Board& b = board();
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
