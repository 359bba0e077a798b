// The device's 2D slots: clip window, fills, lines, regions, paletted bitmaps
// and textured rectangles. Fills go through the board's buffer clear inside a
// clip window, so they cost no triangles and leave the depth buffer clear.
#include "umbrek/glide/glide.h"
#include "umbrek/vastrel/bitmap.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/glide_device.h"

#include <algorithm>
#include <cstdlib>

namespace umbrek::vastrel {

namespace {

// The board's window takes exclusive unsigned corners; a rectangle reaching
// left of or above the screen starts at 0.
void boardClipWindow(int x1, int y1, int x2, int y2) {
    grClipWindow(FxU32(std::max(x1, 0)), FxU32(std::max(y1, 0)), FxU32(std::max(x2 + 1, 0)),
                 FxU32(std::max(y2 + 1, 0)));
}

bool outsideClip(const GlideDevice& d, int x1, int y1, int x2, int y2) {
    return x1 > d.clipX2 || y1 > d.clipY2 || x2 < d.clipX1 || y2 < d.clipY1;
}

void waitForPendingBuffers() {
    while (grBufferNumPending() > 0) {
    }
}

} // namespace

void KX_SetClipWindow(int x1, int y1, int x2, int y2) {
    GlideDevice& d = glideDevice();
    d.clipX1 = x1, d.clipY1 = y1, d.clipX2 = x2, d.clipY2 = y2;
    boardClipWindow(x1, y1, x2, y2);
}

void KX_SetColour(std::uint32_t colour) {
    glideDevice().colour = colour;
    grConstantColorValue(colour);
}

std::uint32_t KX_PackRGB(int r, int g, int b) {
    return std::uint32_t(b + r * 65536 + g * 256) << 10 | 0xFF;
}

void KX_FillRect(int x1, int y1, int x2, int y2) {
    const GlideDevice& d = glideDevice();
    if (outsideClip(d, x1, y1, x2, y2)) return;
    boardClipWindow(std::max(x1, d.clipX1), std::max(y1, d.clipY1), std::min(x2, d.clipX2),
                    std::min(y2, d.clipY2));
    grBufferClear(d.colour, 255, 0xFFFF);
    boardClipWindow(d.clipX1, d.clipY1, d.clipX2, d.clipY2);
}

void KX_Rectangle(int x1, int y1, int x2, int y2) {
    KX_FillRect(x1, y1, x2, y1);
    KX_FillRect(x1, y2, x2, y2);
    KX_FillRect(x1, y1, x1, y2);
    KX_FillRect(x2, y1, x2, y2);
}

void KX_VLine(int x, int y1, int y2) {
    KX_FillRect(x, y1, x, y2);
}

void KX_HLine(int x1, int x2, int y) {
    KX_FillRect(x1, y, x2, y);
}

void KX_Line(int x1, int y1, int x2, int y2) {
    GlideDevice& d = glideDevice();
    d.appliedGroup = -1;
    engine().lastBoundMaterial = -1;
    // 2D drawing has 1/w = 1, which the depth test would compare with the
    // scene's depths.
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
    GrVertex a{}, b{};
    for (GrVertex* v : {&a, &b}) {
        v->r = float(d.colour >> 24);
        v->g = float((d.colour >> 16) & 0xFF);
        v->b = float((d.colour >> 8) & 0xFF);
        v->a = float(d.colour & 0xFF);
        v->oow = 1;
    }
    a.x = float(x1), a.y = float(y1), b.x = float(x2), b.y = float(y2);
    grDrawLine(&a, &b);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
}

void KX_ClearScreen() {
    grBufferClear(glideDevice().colour, 0, 0xFFFF);
}

void KX_ClearViewport(const Viewport* viewport) {
    if (!viewport) return;
    KX_SetRenderBuffer(GR_BUFFER_BACKBUFFER);
    KX_SetClipWindow(viewport->x1, viewport->y1, viewport->x2, viewport->y2);
    KX_FillRect(viewport->x1, viewport->y1, viewport->x2, viewport->y2);
}

// Only the depth is cleared: the colour buffer keeps the last picture, which
// the trails of the scenes draw over.
void KX_ClearViewportAll(const Viewport* viewport) {
    grColorMask(FXFALSE, FXFALSE);
    grDepthMask(FXTRUE);
    KX_ClearViewport(viewport);
    grColorMask(FXTRUE, FXTRUE);
}

std::uint16_t* KX_ReadRegion(int x1, int y1, int x2, int y2) {
    const GlideDevice& d = glideDevice();
    if (x1 < 0 || y1 < 0 || x2 < x1 || y2 < y1) return nullptr;
    const std::size_t width = std::size_t(x2 - x1) + 1, height = std::size_t(y2 - y1) + 1;
    auto* pixels = static_cast<std::uint16_t*>(std::calloc(width * height, 2));
    if (!pixels) return nullptr;
    if (d.renderBuffer == 0 || d.renderBuffer == 1) {
        grRenderBuffer(d.renderBuffer);
        waitForPendingBuffers();
        grLfbReadRegion(d.renderBuffer, FxU32(x1), FxU32(y1), FxU32(width), FxU32(height),
                        FxU32(width * 2), pixels);
    }
    return pixels;
}

void KX_WriteRegion(int x, int y, int width, int height, const std::uint16_t* pixels) {
    const GlideDevice& d = glideDevice();
    if (!pixels || x < 0 || y < 0 || width <= 0 || height <= 0) return;
    if (d.renderBuffer != 0 && d.renderBuffer != 1) return;
    grRenderBuffer(d.renderBuffer);
    waitForPendingBuffers();
    grLfbWriteRegion(d.renderBuffer, FxU32(x), FxU32(y), GR_LFB_SRC_FMT_565, FxU32(width),
                     FxU32(height), width * 2, const_cast<std::uint16_t*>(pixels));
    waitForPendingBuffers();
}

void KX_DrawBitmap8(int x, int y, const KX_Bitmap* bitmap, const std::uint8_t* palette,
                    int transparent) {
    GlideDevice& d = glideDevice();
    if (!bitmap || !palette) return;
    const int width = KX_BitmapWidth(bitmap), height = KX_BitmapHeight(bitmap);
    const int left = std::max(x, d.clipX1), right = std::min(x + width - 1, d.clipX2);
    const int top = std::max(y, d.clipY1), bottom = std::min(y + height - 1, d.clipY2);
    if (left > right || top > bottom) return;
    KX_EndScreen();
    GrState saved;
    grGlideGetState(&saved);
    grDisableAllEffects();
    KX_BeginScreen();
    if (d.frameBuffer) {
        std::uint32_t lookup[256];
        for (int i = 0; i < 256; ++i) {
            const std::uint32_t r = palette[3 * i] & 63u, g = palette[3 * i + 1] & 63u,
                                b = palette[3 * i + 2] & 63u;
            lookup[i] = d.bytesPerPixel == 4
                            ? (r << 2) << 24 | (g << 2) << 16 | (b << 2) << 8 | 0xFF
                            : (r >> 1) << 11 | g << 5 | (b >> 1);
        }
        waitForPendingBuffers();
        const std::uint8_t* source = KX_BitmapPixels(bitmap);
        for (int row = top; row <= bottom; ++row) {
            const std::uint8_t* in = source + std::size_t(row - y) * std::size_t(width);
            for (int column = left; column <= right; ++column) {
                const std::uint8_t index = in[column - x];
                // Index 0 is the see-through colour whatever the palette
                // holds there (black is a colour too).
                if (transparent && index == 0) continue;
                const std::size_t at =
                    std::size_t(row) * std::size_t(d.pitch) + std::size_t(column);
                if (d.bytesPerPixel == 4)
                    static_cast<std::uint32_t*>(d.frameBuffer)[at] = lookup[index];
                else
                    static_cast<std::uint16_t*>(d.frameBuffer)[at] = std::uint16_t(lookup[index]);
            }
        }
    }
    KX_EndScreen();
    grGlideSetState(&saved);
    KX_BeginScreen();
}

void KX_DrawSprite(int x, int y, int texture, int chromaKey) {
    const TextureTable* table = engine().textures;
    if (!table || texture < 0 || texture >= table->count()) return;
    const TextureInfo info = table->info(texture);
    if (info.width <= 0 || info.height <= 0) return;
    KX_DrawTexturedRect(x, y, x + info.width - 1, y + info.height - 1, texture, chromaKey);
}

void KX_DrawTexturedRect(int x1, int y1, int x2, int y2, int texture, int chromaKey) {
    GlideDevice& d = glideDevice();
    if (x2 < x1 || y2 < y1 || outsideClip(d, x1, y1, x2, y2)) return;
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    grDepthBiasLevel(0);
    grAlphaTestFunction(GR_CMP_ALWAYS);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    d.appliedGroup = -1;
    engine().lastBoundMaterial = -1;
    if (d.bindTexture) d.bindTexture(texture);
    float sScale = 1, tScale = 1;
    if (const TextureTable* table = engine().textures;
        table && texture >= 0 && texture < table->count()) {
        const TextureInfo info = table->info(texture);
        sScale = info.sScale, tScale = info.tScale;
    }
    // A rectangle one pixel wide or high has no step to take across it.
    const float sStep = x2 > x1 ? 255.0f / float(x2 - x1) : 0;
    const float tStep = y2 > y1 ? 255.0f / float(y2 - y1) : 0;
    float s1 = 0.5f, s2 = 255.5f, t1 = 0.5f, t2 = 255.5f;
    if (x1 < d.clipX1) s1 += sStep * float(d.clipX1 - x1), x1 = d.clipX1;
    if (x2 > d.clipX2) s2 -= sStep * float(x2 - d.clipX2), x2 = d.clipX2;
    if (y1 < d.clipY1) t1 += tStep * float(d.clipY1 - y1), y1 = d.clipY1;
    if (y2 > d.clipY2) t2 -= tStep * float(y2 - d.clipY2), y2 = d.clipY2;
    if (chromaKey == 1) {
        grChromakeyValue(0);
        grChromakeyMode(GR_CHROMAKEY_ENABLE);
    } else {
        grChromakeyMode(GR_CHROMAKEY_DISABLE);
    }
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    GrVertex corner[4]{};
    const float xs[4] = {float(x1), float(x2 + 1), float(x2 + 1), float(x1)};
    const float ys[4] = {float(y1), float(y1), float(y2 + 1), float(y2 + 1)};
    const float ss[4] = {s1, s2, s2, s1}, ts[4] = {t1, t1, t2, t2};
    for (int i = 0; i < 4; ++i) {
        GrVertex& v = corner[i];
        v.x = xs[i], v.y = ys[i];
        v.r = v.g = v.b = v.a = 255;
        v.oow = 1;
        v.tmuvtx[0].sow = ss[i] * sScale;
        v.tmuvtx[0].tow = ts[i] * tScale;
        v.tmuvtx[0].oow = 1;
    }
    grDrawTriangle(&corner[0], &corner[1], &corner[2]);
    grDrawTriangle(&corner[0], &corner[2], &corner[3]);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grChromakeyMode(GR_CHROMAKEY_DISABLE);
}

} // namespace umbrek::vastrel
