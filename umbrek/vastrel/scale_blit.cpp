// The stretched blit: 16.16 steps through the source. Horizontally the
// fraction's carry advances the source; vertically the fraction drops by
// 65535, not 65536, when it passes 65535, so a tall blit drifts ahead by a
// little: pictures made with the engine show that, and it is kept.
#include "umbrek/vastrel/drawing_surface.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The vertical walk: the integer part of the step every row, and one row
// more when the fraction passes 65535.
struct RowWalk {
    int64_t row = 0;
    uint32_t fraction = 0;

    void advance(int64_t step) {
        row += step >> 16;
        fraction += uint32_t(step & 0xFFFF);
        if (fraction > 65535) {
            ++row;
            fraction -= 65535;
        }
    }
    // COUNT rows at once (clipping may skip billions): the fraction has then
    // gained count x its step and lost 65535 per carry, and it carries only
    // when it passes 65535, which leaves it between 1 and 65535.
    void skip(int64_t step, int64_t count) {
        const int64_t gained = count * (step & 0xFFFF);
        const int64_t carries = gained > 0 ? (gained - 1) / 65535 : 0;
        row += count * (step >> 16) + carries;
        fraction = uint32_t(gained - carries * 65535);
    }
};

// The horizontal walk: a 16-bit fraction whose carry advances the source.
struct ColumnWalk {
    int64_t column = 0;
    uint32_t fraction = 0;

    void advance(int64_t step) {
        column += step >> 16;
        fraction += uint32_t(step & 0xFFFF);
        column += fraction >> 16;
        fraction &= 0xFFFF;
    }
    void skip(int64_t step, int64_t count) {
        column = count * step >> 16;
        fraction = uint32_t(count * step & 0xFFFF);
    }
};

} // namespace

KX_DrawingSurface& KX_CurrentSurface() {
    static KX_DrawingSurface surface;
    return surface;
}

void KX_ScaleBlit(int left, int top, int right, int bottom, const KX_Bitmap* bitmap,
                  bool transparent) {
    scaleBlitInto(KX_CurrentSurface(), left, top, right, bottom, bitmap, transparent);
}

void scaleBlitInto(KX_DrawingSurface& surface, int left, int top, int right, int bottom,
                   const KX_Bitmap* bitmap, bool transparent) {
    if (!bitmap || !surface.pixels || bitmap->width == 0 || bitmap->height == 0) return;
    const int sourceWidth = bitmap->width, sourceHeight = bitmap->height;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const int64_t width = int64_t(right) - left + 1, height = int64_t(bottom) - top + 1;
    const int64_t stepX = int64_t(sourceWidth) * 65536 / width;
    const int64_t stepY = int64_t(sourceHeight) * 65536 / height;

    // The clip rectangle, kept inside the surface whatever it was set to.
    const int clipLeft = std::max(surface.clipLeft, 0);
    const int clipTop = std::max(surface.clipTop, 0);
    const int clipRight = std::min(surface.clipRight, surface.width - 1);
    const int clipBottom = std::min(surface.clipBottom, surface.height - 1);
    // A clip edge on the rectangle's last column or row still leaves that
    // column or row to draw: a blit one pixel wide or high must draw.
    if (clipLeft > right || clipTop > bottom) return;

    ColumnWalk firstColumn;
    if (left < clipLeft) firstColumn.skip(stepX, int64_t(clipLeft) - left);
    RowWalk rows;
    if (top < clipTop) rows.skip(stepY, int64_t(clipTop) - top);
    const int x0 = std::max(left, clipLeft), x1 = std::min(right, clipRight);
    const int y0 = std::max(top, clipTop), y1 = std::min(bottom, clipBottom);
    if (x0 > x1) return;

    const uint8_t* source = KX_BitmapPixels(bitmap);
    for (int y = y0; y <= y1; ++y, rows.advance(stepY)) {
        // The drift could carry a very tall blit past the last source row.
        const int64_t sourceRow = std::min<int64_t>(rows.row, sourceHeight - 1);
        const uint8_t* in = source + sourceRow * sourceWidth;
        uint8_t* out = surface.pixels + int64_t(y) * surface.width;
        ColumnWalk columns = firstColumn;
        for (int x = x0; x <= x1; ++x, columns.advance(stepX)) {
            const uint8_t pixel = in[std::min<int64_t>(columns.column, sourceWidth - 1)];
            if (!transparent || pixel != 0) out[x] = pixel;
        }
    }
}
