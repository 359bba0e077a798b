// Texture memory: downloads, the selected texture and the texel tables.
#include "umbrek/glide/board.h"
#include "umbrek/glide/depth.h"
#include "umbrek/glide/texture.h"

#include <algorithm>
#include <cstring>

using namespace umbrek::glide;

namespace {

bool layoutOf(FxU32 levels, const GrTexInfo* info, Layout& layout) {
    return levels == GR_MIPMAPLEVELMASK_BOTH && info &&
           describe(info->smallLod, info->largeLod, info->aspectRatio, info->format, layout);
}

bool fits(FxU32 start, uint32_t size) {
    const uint64_t end = uint64_t(start) + size;
    return end <= board().textureMemory.size();
}

} // namespace

extern "C" {

FxU32 grTexMinAddress(GrChipID_t tmu) {
    trace("grTexMinAddress", tmu);
    return 0;
}

FxU32 grTexMaxAddress(GrChipID_t tmu) {
    trace("grTexMaxAddress", tmu);
    return board().initialised ? board().options.textureMemory : 0;
}

FxU32 grTexTextureMemRequired(FxU32 levels, GrTexInfo* info) {
    Layout layout;
    return layoutOf(levels, info, layout) ? layout.size : 0;
}

void grTexDownloadMipMap(GrChipID_t tmu, FxU32 start, FxU32 levels, GrTexInfo* info) {
    trace("grTexDownloadMipMap", tmu, start, levels, static_cast<const GrTexInfo*>(info));
    Layout layout;
    if (!ready() || tmu != GR_TMU0 || !layoutOf(levels, info, layout) || !info->data ||
        !fits(start, layout.size))
        return;
    Board& b = board();
    const auto* src = static_cast<const uint8_t*>(info->data);
    uint8_t* dst = b.textureMemory.data() + start;
    if (layout.bytesPerTexel == 1) {
        std::memcpy(dst, src, layout.size);
    } else {
        // 16-bit texels are stored little-endian, whatever the host.
        const auto* texels = static_cast<const uint16_t*>(info->data);
        for (uint32_t i = 0; i < layout.size / 2; ++i) {
            dst[2 * i] = uint8_t(texels[i]);
            dst[2 * i + 1] = uint8_t(texels[i] >> 8);
        }
    }
    ++b.textureVersion;
    ++b.counters.textureDownloads;
}

void grTexDownloadTable(GrChipID_t tmu, GrTexTable_t type, void* data) {
    trace("grTexDownloadTable", tmu, type, static_cast<const void*>(data));
    if (!ready() || tmu != GR_TMU0 || !data) return;
    Board& b = board();
    if (type == GR_TEXTABLE_PALETTE)
        std::memcpy(&b.palette, data, sizeof b.palette);
    else if (type == GR_TEXTABLE_NCC0 || type == GR_TEXTABLE_NCC1)
        std::memcpy(&b.ncc[type], data, sizeof(GuNccTable));
    else
        return;
    ++b.tableVersion;
    ++b.counters.tableDownloads;
}

void grTexSource(GrChipID_t tmu, FxU32 start, FxU32 levels, GrTexInfo* info) {
    trace("grTexSource", tmu, start, levels, static_cast<const GrTexInfo*>(info));
    Layout layout;
    if (!ready() || tmu != GR_TMU0 || !layoutOf(levels, info, layout) || !fits(start, layout.size))
        return;
    TextureSource& t = board().state.texture;
    t.set = true;
    t.start = start;
    t.smallLod = info->smallLod;
    t.largeLod = info->largeLod;
    t.aspect = info->aspectRatio;
    t.format = info->format;
}

void guFogGenerateLinear(GrFog_t* table, float nearW, float farW) {
    if (!table) return;
    for (uint32_t i = 0; i < GR_FOG_TABLE_SIZE; ++i) {
        const float w = wOfDepth(i << 10);
        float f = farW > nearW ? (w - nearW) / (farW - nearW) : (w >= farW ? 1.0f : 0.0f);
        if (!(f > 0.0f)) f = 0.0f; // NaN too
        table[i] = GrFog_t(255.0f * std::min(f, 1.0f) + 0.5f);
    }
}

} // extern "C"
