// The linear frame buffer (locks and regions), clears and the swap.
#include "umbrek/glide/board.h"
#include "umbrek/glide/presenter.h"
#include "umbrek/glide/texture.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace umbrek::glide;

namespace {

bool validBuffer(GrBuffer_t buffer) {
    return buffer == GR_BUFFER_FRONTBUFFER || buffer == GR_BUFFER_BACKBUFFER;
}

// An RGBA word (the only colour format a screen is opened with) as 5-6-5.
uint16_t rgbaTo565(uint32_t c) {
    return uint16_t((c >> 27) << 11 | (c >> 18 & 63) << 5 | (c >> 11 & 31));
}

uint32_t rgbaOf565(uint16_t p) {
    return expand565(p) << 8 | 0xFF;
}

// A row of 5-6-5 pixels as RGBA words and back. The engine locks the whole
// screen in 8888 at every swap, so both run over every pixel each frame;
// eight at a time they give the same words as rgbaOf565() and rgbaTo565().
void rowTo8888(const uint16_t* in, uint32_t* out, int n) {
    int x = 0;
#if defined(__SSE2__)
    for (; x + 8 <= n; x += 8) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        const __m128i r5 = _mm_srli_epi16(p, 11), b5 = _mm_and_si128(p, _mm_set1_epi16(31));
        const __m128i g6 = _mm_and_si128(_mm_srli_epi16(p, 5), _mm_set1_epi16(63));
        const __m128i r = _mm_or_si128(_mm_slli_epi16(r5, 3), _mm_srli_epi16(r5, 2));
        const __m128i g = _mm_or_si128(_mm_slli_epi16(g6, 2), _mm_srli_epi16(g6, 4));
        const __m128i b = _mm_or_si128(_mm_slli_epi16(b5, 3), _mm_srli_epi16(b5, 2));
        // Each word's high half is red and green, its low half blue and 0xFF.
        const __m128i high = _mm_or_si128(_mm_slli_epi16(r, 8), g);
        const __m128i low = _mm_or_si128(_mm_slli_epi16(b, 8), _mm_set1_epi16(0xFF));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_unpacklo_epi16(low, high));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4), _mm_unpackhi_epi16(low, high));
    }
#endif
    for (; x < n; ++x) out[x] = rgbaOf565(in[x]);
}

void rowTo565(const uint32_t* in, uint16_t* out, int n) {
    int x = 0;
#if defined(__SSE2__)
    auto four = [](__m128i c) {
        const __m128i r = _mm_slli_epi32(_mm_srli_epi32(c, 27), 11);
        const __m128i g =
            _mm_slli_epi32(_mm_and_si128(_mm_srli_epi32(c, 18), _mm_set1_epi32(63)), 5);
        const __m128i b = _mm_and_si128(_mm_srli_epi32(c, 11), _mm_set1_epi32(31));
        // Sign-extended from 16 bits, so that the signed pack keeps every value.
        return _mm_srai_epi32(_mm_slli_epi32(_mm_or_si128(_mm_or_si128(r, g), b), 16), 16);
    };
    for (; x + 8 <= n; x += 8) {
        const __m128i low = four(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x)));
        const __m128i high = four(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x + 4)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packs_epi32(low, high));
    }
#endif
    for (; x < n; ++x) out[x] = rgbaTo565(in[x]);
}

// The part of a w × h rectangle at (x, y) inside the screen, as offsets into
// the rectangle (skipX, skipY) and the screen's corner (x0, y0); false when
// nothing is left. Coordinates are taken as signed, as the engine computes them.
struct Cut {
    int skipX, skipY, x0, y0, width, height;
};

bool cut(FxU32 ux, FxU32 uy, FxU32 uw, FxU32 uh, Cut& c) {
    const Board& b = board();
    const int64_t x = int32_t(ux), y = int32_t(uy), w = int32_t(uw), h = int32_t(uh);
    const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    const int64_t x1 = std::min<int64_t>(x + w, b.width), y1 = std::min<int64_t>(y + h, b.height);
    if (w <= 0 || h <= 0 || x0 >= x1 || y0 >= y1) return false;
    c = Cut{int(x0 - x), int(y0 - y), int(x0), int(y0), int(x1 - x0), int(y1 - y0)};
    return true;
}

} // namespace

extern "C" {

FxBool grLfbLock(GrLock_t type, GrBuffer_t buffer, GrLfbWriteMode_t mode, GrOriginLocation_t origin,
                 FxBool pixelPipeline, GrLfbInfo_t* info) {
    trace("grLfbLock", type, buffer, mode, origin, pixelPipeline);
    Board& b = board();
    if (!ready() || !info || type != GR_LFB_WRITE_ONLY || !validBuffer(buffer) ||
        origin != GR_ORIGIN_UPPER_LEFT || b.locks[buffer].locked)
        return FXFALSE;
    if (mode != GR_LFBWRITEMODE_565 && (mode != GR_LFBWRITEMODE_8888 || b.options.no8888))
        return FXFALSE;
    LfbLock& lock = b.locks[buffer];
    const std::vector<uint16_t>& pixels = b.colour[buffer];
    if (mode == GR_LFBWRITEMODE_8888) {
        // Words past the width of a row, where the pitch is wider, stay 0.
        if (b.pitch == b.width)
            lock.shadow.resize(pixels.size());
        else
            lock.shadow.assign(pixels.size(), 0);
        for (int y = 0; y < b.height; ++y) {
            const size_t at = size_t(y) * size_t(b.pitch);
            rowTo8888(&pixels[at], &lock.shadow[at], b.width);
        }
        info->lfbPtr = lock.shadow.data();
        info->strideInBytes = FxU32(b.pitch) * 4;
    } else {
        info->lfbPtr = b.colour[buffer].data();
        info->strideInBytes = FxU32(b.pitch) * 2;
    }
    info->size = int(sizeof *info);
    info->writeMode = mode;
    info->origin = GR_ORIGIN_UPPER_LEFT;
    lock.locked = true;
    lock.mode = mode;
    return FXTRUE;
}

FxBool grLfbUnlock(GrLock_t type, GrBuffer_t buffer) {
    trace("grLfbUnlock", type, buffer);
    Board& b = board();
    if (!ready() || type != GR_LFB_WRITE_ONLY || !validBuffer(buffer) || !b.locks[buffer].locked)
        return FXFALSE;
    LfbLock& lock = b.locks[buffer];
    if (lock.mode == GR_LFBWRITEMODE_8888) {
        std::vector<uint16_t>& pixels = b.colour[buffer];
        for (int y = 0; y < b.height; ++y) {
            const size_t at = size_t(y) * size_t(b.pitch);
            rowTo565(&lock.shadow[at], &pixels[at], b.width);
        }
    }
    // The shadow stays allocated for the next lock: a frame's lock costs no
    // allocation and no fresh pages; the screen's release frees it.
    lock.locked = false;
    lock.mode = 0;
    return FXTRUE;
}

// Words written through an 8888 lock are always RGBA: the one format accepted.
void grLfbWriteColorFormat(GrColorFormat_t format) {
    trace("grLfbWriteColorFormat", format);
}

FxBool grLfbReadRegion(GrBuffer_t buffer, FxU32 x, FxU32 y, FxU32 width, FxU32 height,
                       FxU32 strideInBytes, void* dst) {
    trace("grLfbReadRegion", buffer, x, y, width, height, strideInBytes);
    if (!ready() || !validBuffer(buffer) || !dst) return FXFALSE;
    Cut c;
    if (!cut(x, y, width, height, c)) return FXTRUE;
    const Board& b = board();
    auto* out = static_cast<uint8_t*>(dst);
    for (int row = 0; row < c.height; ++row) {
        const uint16_t* from =
            &b.colour[buffer][size_t(c.y0 + row) * size_t(b.pitch) + size_t(c.x0)];
        std::memcpy(out + size_t(c.skipY + row) * strideInBytes + size_t(c.skipX) * 2, from,
                    size_t(c.width) * 2);
    }
    return FXTRUE;
}

// The clip window does not apply: region writes bypass the pixel pipeline.
FxBool grLfbWriteRegion(GrBuffer_t buffer, FxU32 x, FxU32 y, GrLfbSrcFmt_t format, FxU32 width,
                        FxU32 height, FxI32 strideInBytes, void* src) {
    trace("grLfbWriteRegion", buffer, x, y, format, width, height, strideInBytes);
    if (!ready() || !validBuffer(buffer) || !src || format != GR_LFB_SRC_FMT_565 ||
        strideInBytes < 0)
        return FXFALSE;
    Cut c;
    if (!cut(x, y, width, height, c)) return FXTRUE;
    Board& b = board();
    const auto* in = static_cast<const uint8_t*>(src);
    for (int row = 0; row < c.height; ++row) {
        uint16_t* to = &b.colour[buffer][size_t(c.y0 + row) * size_t(b.pitch) + size_t(c.x0)];
        std::memcpy(to, in + size_t(c.skipY + row) * size_t(strideInBytes) + size_t(c.skipX) * 2,
                    size_t(c.width) * 2);
    }
    return FXTRUE;
}

void grBufferClear(GrColor_t colour, GrAlpha_t alpha, FxU16 depth) {
    trace("grBufferClear", colour, alpha, depth);
    if (!ready()) return;
    Board& b = board();
    const RenderState& s = b.state;
    const uint16_t pixel = rgbaTo565(colour);
    for (int y = s.clipY0; y < s.clipY1; ++y) {
        const size_t row = size_t(y) * size_t(b.pitch);
        if (s.colourMask)
            std::fill_n(&b.colour[s.renderBuffer][row + size_t(s.clipX0)], s.clipX1 - s.clipX0,
                        pixel);
        if (s.depthMask) std::fill_n(&b.depth[row + size_t(s.clipX0)], s.clipX1 - s.clipX0, depth);
    }
}

// The back buffer is copied to the front, so it keeps the picture just shown.
void grBufferSwap(int interval) {
    trace("grBufferSwap", interval);
    if (!ready()) return;
    Board& b = board();
    std::copy(b.colour[1].begin(), b.colour[1].end(), b.colour[0].begin());
    ++b.counters.swaps;
    presenterShow();
}

} // extern "C"
