// Turning an 8-bit bitmap into board texels by the engine's conversion mode:
// the palettised formats keep the bitmap's indexes beside a (shared) palette
// table; every other format goes through Texora from a 32-bit image.
#include "umbrek/vastrel/drawing_surface.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/texture_manager.h"

#include <algorithm>
#include <cstring>

namespace umbrek::vastrel {

namespace {

struct ConversionMode {
    int format;
    bool bleeds;
};

constexpr ConversionMode conversionModes[13] = {{GR_TEXFMT_RGB_565, false},
                                                {GR_TEXFMT_ARGB_1555, true},
                                                {GR_TEXFMT_RGB_332, false},
                                                {GR_TEXFMT_ARGB_8332, true},
                                                {GR_TEXFMT_ARGB_4444, true},
                                                {GR_TEXFMT_YIQ_422, false},
                                                {GR_TEXFMT_AYIQ_8422, true},
                                                {GR_TEXFMT_INTENSITY_8, false},
                                                {GR_TEXFMT_ALPHA_8, false},
                                                {GR_TEXFMT_ALPHA_INTENSITY_44, false},
                                                {GR_TEXFMT_ALPHA_INTENSITY_88, false},
                                                {GR_TEXFMT_P_8, false},
                                                {GR_TEXFMT_AP_88, false}};

int powerOfTwoSide(int side, bool oneStays) {
    if (side == 1 && oneStays) return 1;
    int rounded = 2;
    while (rounded < side && rounded < 256) rounded *= 2;
    return rounded;
}

int log2Of(int powerOfTwo) {
    int n = 0;
    while ((1 << n) < powerOfTwo) ++n;
    return n;
}

// The first other record with an identical palette lends its table.
std::shared_ptr<TextureColourTable> sharedPalette(const TextureRecord& self,
                                                  const std::array<std::uint8_t, 768>& palette) {
    for (const TextureRecord& r : textureManager().records)
        if (&r != &self && r.used && r.paletteCopy && *r.paletteCopy == palette && r.colourTable)
            return r.colourTable;
    auto table = std::make_shared<TextureColourTable>();
    table->type = GR_TEXTABLE_PALETTE;
    for (int i = 0; i < 256; ++i)
        table->table.palette.data[i] = std::uint32_t(palette[std::size_t(3 * i)] & 63) << 18 |
                                       std::uint32_t(palette[std::size_t(3 * i + 1)] & 63) << 10 |
                                       std::uint32_t(palette[std::size_t(3 * i + 2)] & 63) << 2;
    return table;
}

bool convertPalettised(TextureRecord& r, OwnedBitmap bitmap, int format) {
    auto palette = std::make_unique<std::array<std::uint8_t, 768>>();
    std::memcpy(palette->data(), engine().palette, 768);
    r.colourTable = sharedPalette(r, *palette);
    r.paletteCopy = std::move(palette);
    const int width = KX_BitmapWidth(bitmap.get()), height = KX_BitmapHeight(bitmap.get());
    const int w = powerOfTwoSide(width, false), h = powerOfTwoSide(height, true);
    if (w != width || h != height) {
        OwnedBitmap resized(KX_NewBitmap(w, h));
        if (!resized) return false;
        KX_DrawingSurface surface{KX_BitmapPixels(resized.get()), w, h, 0, 0, w - 1, h - 1};
        scaleBlitInto(surface, 0, 0, w - 1, h - 1, bitmap.get(), false);
        bitmap = std::move(resized);
    }
    const int larger = std::max(w, h), ratio = larger / std::min(w, h);
    // The board has no aspect beyond 8 to 1: such a texture gets no texels.
    if (ratio > 8) return false;
    const int steps = log2Of(ratio);
    const int aspect = w >= h ? GR_ASPECT_1x1 - steps : GR_ASPECT_1x1 + steps;
    const int lod = 8 - log2Of(larger);
    r.width = w, r.height = h;
    if (format == GR_TEXFMT_AP_88) {
        // Two bytes a texel: the index under an opaque alpha.
        r.data.resize(std::size_t(w) * std::size_t(h) * 2);
        const std::uint8_t* in = KX_BitmapPixels(bitmap.get());
        for (std::size_t i = 0; i < std::size_t(w) * std::size_t(h); ++i)
            r.data[2 * i] = in[i], r.data[2 * i + 1] = 0xFF;
        r.info = {lod, lod, aspect, format, r.data.data()};
    } else {
        r.info = {lod, lod, aspect, format, KX_BitmapPixels(bitmap.get())};
    }
    r.bitmap = std::move(bitmap);
    r.texBytes = grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &r.info);
    aspectScales(aspect, r.sScale, r.tScale);
    return true;
}

// Index-0 pixels take the colour (not the alpha) of their non-zero
// neighbours, so that filtering at the edge of a see-through area does not
// blend in black.
void bleedColourZero(std::vector<std::uint32_t>& argb, const std::uint8_t* index, int width,
                     int height) {
    for (int y = 1; y < height - 1; ++y)
        for (int x = 1; x < width - 1; ++x) {
            const std::size_t at = std::size_t(y) * std::size_t(width) + std::size_t(x);
            if (index[at] == 0) continue;
            const std::uint32_t colour = argb[at] & 0x00FFFFFF;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const std::size_t n =
                        std::size_t(y + dy) * std::size_t(width) + std::size_t(x + dx);
                    if (index[n] == 0) argb[n] = (argb[n] & 0xFF000000) | colour;
                }
        }
}

bool convertThroughTexora(TextureRecord& r, OwnedBitmap bitmap, const ConversionMode& mode) {
    const int width = KX_BitmapWidth(bitmap.get()), height = KX_BitmapHeight(bitmap.get());
    TxMip mip{};
    int w = width, h = height;
    const std::uint32_t size = txSetUpMip(&mip, mode.format, &w, &h, -1, TX_ROUND_UP);
    if (size == 0) return false;
    const std::uint8_t* index = KX_BitmapPixels(bitmap.get());
    const std::uint8_t* palette = engine().palette;
    std::vector<std::uint32_t> argb(std::size_t(width) * std::size_t(height));
    for (std::size_t i = 0; i < argb.size(); ++i) {
        const std::uint32_t red = (palette[3 * index[i]] & 63u) * 4,
                            green = (palette[3 * index[i] + 1] & 63u) * 4,
                            blue = (palette[3 * index[i] + 2] & 63u) * 4;
        const std::uint32_t alpha = red + green + blue != 0 ? 0xFF000000 : 0;
        argb[i] = alpha | red << 16 | green << 8 | blue;
    }
    if (mode.bleeds && height > 2) bleedColourZero(argb, index, width, height);
    r.data.assign(size, 0);
    mip.info.data = r.data.data();
    if (!txBuildTexture(&mip, TX_ARGB_8888, width, height, argb.data(), 0, nullptr)) {
        r.data.clear();
        return false;
    }
    r.width = mip.width, r.height = mip.height;
    r.info = {mip.info.smallLod, mip.info.largeLod, mip.info.aspectRatio, mip.info.format,
              r.data.data()};
    r.texBytes = size;
    aspectScales(r.info.aspectRatio, r.sScale, r.tScale);
    if (mode.format == GR_TEXFMT_YIQ_422 || mode.format == GR_TEXFMT_AYIQ_8422) {
        auto table = std::make_shared<TextureColourTable>();
        table->type = GR_TEXTABLE_NCC0;
        static_assert(sizeof(TxNccTable) == sizeof(GuNccTable));
        std::memcpy(&table->table.nccTable, &mip.ncc, sizeof(GuNccTable));
        r.colourTable = std::move(table);
    }
    return true;
}

} // namespace

bool convertTexture(TextureRecord& r, OwnedBitmap bitmap, int mode) {
    if (!bitmap || KX_BitmapWidth(bitmap.get()) == 0 || KX_BitmapHeight(bitmap.get()) == 0 ||
        mode < 0 || mode >= int(std::size(conversionModes)))
        return false;
    const ConversionMode& m = conversionModes[mode];
    if (m.format == GR_TEXFMT_P_8 || m.format == GR_TEXFMT_AP_88)
        return convertPalettised(r, std::move(bitmap), m.format);
    return convertThroughTexora(r, std::move(bitmap), m);
}

} // namespace umbrek::vastrel
