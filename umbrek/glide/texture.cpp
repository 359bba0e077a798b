#include "umbrek/glide/texture.h"

#include <algorithm>

namespace umbrek::glide {

bool validFormat(int32_t format) {
    return (format >= GR_TEXFMT_RGB_332 && format <= GR_TEXFMT_P_8) ||
           (format >= GR_TEXFMT_ARGB_8332 && format <= GR_TEXFMT_AP_88);
}

int bytesPerTexel(int32_t format) {
    return format >= GR_TEXFMT_ARGB_8332 ? 2 : 1;
}

void levelSize(int32_t lod, int32_t aspect, int& width, int& height) {
    const int longSide = 256 >> lod;
    const int ratio =
        1 << (aspect < GR_ASPECT_1x1 ? GR_ASPECT_1x1 - aspect : aspect - GR_ASPECT_1x1);
    const int shortSide = std::max(1, longSide / ratio);
    width = aspect <= GR_ASPECT_1x1 ? longSide : shortSide;
    height = aspect <= GR_ASPECT_1x1 ? shortSide : longSide;
}

bool describe(int32_t smallLod, int32_t largeLod, int32_t aspect, int32_t format, Layout& out) {
    if (largeLod < GR_LOD_256 || smallLod > GR_LOD_1 || largeLod > smallLod) return false;
    if (aspect < GR_ASPECT_8x1 || aspect > GR_ASPECT_1x8 || !validFormat(format)) return false;
    out = Layout{};
    out.levels = smallLod - largeLod + 1;
    out.bytesPerTexel = bytesPerTexel(format);
    for (int i = 0; i < out.levels; ++i) {
        levelSize(largeLod + i, aspect, out.width[i], out.height[i]);
        out.offset[i] = out.size;
        out.size += uint32_t(out.width[i] * out.height[i] * out.bytesPerTexel);
    }
    return true;
}

namespace {

uint8_t clampByte(int v) {
    return uint8_t(std::clamp(v, 0, 255));
}

uint32_t rgb332(uint32_t v) {
    const uint32_t r = v >> 5, g = v >> 2 & 7, b = v & 3;
    return argb(255, r << 5 | r << 2 | r >> 1, g << 5 | g << 2 | g >> 1, b * 0x55);
}

// Y from the high four bits, I and Q from two bits each.
uint32_t yiq(uint32_t v, const GuNccTable& t) {
    const int y = t.yRGB[v >> 4];
    const int i = v >> 2 & 3, q = v & 3;
    return argb(255, clampByte(y + t.iRGB[i][0] + t.qRGB[q][0]),
                clampByte(y + t.iRGB[i][1] + t.qRGB[q][1]),
                clampByte(y + t.iRGB[i][2] + t.qRGB[q][2]));
}

uint32_t grey(uint32_t a, uint32_t v) {
    return argb(a, v, v, v);
}

} // namespace

void buildLookup(int32_t format, const GuTexPalette& palette, const GuNccTable& ncc,
                 uint32_t out[256]) {
    for (uint32_t v = 0; v < 256; ++v) {
        uint32_t c = 0;
        switch (format) {
        case GR_TEXFMT_RGB_332:
        case GR_TEXFMT_ARGB_8332: c = rgb332(v); break;
        case GR_TEXFMT_YIQ_422:
        case GR_TEXFMT_AYIQ_8422: c = yiq(v, ncc); break;
        // An alpha texture carries its value in every channel.
        case GR_TEXFMT_ALPHA_8: c = grey(v, v); break;
        case GR_TEXFMT_INTENSITY_8:
        case GR_TEXFMT_ALPHA_INTENSITY_88: c = grey(255, v); break;
        case GR_TEXFMT_ALPHA_INTENSITY_44: c = grey((v >> 4) * 0x11, (v & 15) * 0x11); break;
        case GR_TEXFMT_P_8:
        case GR_TEXFMT_AP_88: c = 0xFF000000u | (palette.data[v] & 0xFFFFFFu); break;
        default: break;
        }
        out[v] = c;
    }
}

} // namespace umbrek::glide
